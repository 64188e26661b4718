/* The peer of first_lookup: inih's parse of the file as the first thing a
 * process does, with a handler that picks out one key (names compared
 * without ASCII case), timed inside the process. Prints, in nanoseconds,
 * the wall time and the process's CPU time: "wall cpu".
 * Usage: first_inih FILE SECTION KEY */
#include <ini.h>
#include <stdio.h>
#include <string.h>
#include <strings.h>
#include <time.h>

#include "now_ns.h"

struct Query {
  const char* section;
  const char* key;
  char value[256];
  int found;
};

static int handler(void* user, const char* section, const char* name, const char* value) {
  struct Query* q = user;
  if (!q->found && strcasecmp(section, q->section) == 0 && strcasecmp(name, q->key) == 0) {
    snprintf(q->value, sizeof q->value, "%s", value);
    q->found = 1;
  }
  return 1;
}

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  struct Query q = {argv[2], argv[3], "", 0};
  const long long start = nowNs(CLOCK_MONOTONIC);
  const long long startCpu = nowNs(CLOCK_PROCESS_CPUTIME_ID);
  const int rc = ini_parse(argv[1], handler, &q);
  const long long end = nowNs(CLOCK_MONOTONIC);
  const long long endCpu = nowNs(CLOCK_PROCESS_CPUTIME_ID);
  if (rc != 0 || !q.found) return 1;
  printf("%lld %lld\n", end - start, endCpu - startCpu);
  return 0;
}
