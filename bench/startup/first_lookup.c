/* A process's first lookup, timed inside the process: the first
 * GetPrivateProfileStringA call of the program, on FILE_A, and then the
 * first call on FILE_B, a second file of the same size that the library has
 * not read either. The first time holds what the first call of a process
 * sets up once; the second does not. Prints both in nanoseconds.
 * Usage: first_lookup FILE_A FILE_B SECTION KEY */
#include <stdio.h>
#include <time.h>

#include "zidevuv10/profile.h"

static long long nowNs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  char a[256];
  char b[256];
  const long long start = nowNs();
  const unsigned n = GetPrivateProfileStringA(argv[3], argv[4], "", a, sizeof a, argv[1]);
  const long long between = nowNs();
  const unsigned m = GetPrivateProfileStringA(argv[3], argv[4], "", b, sizeof b, argv[2]);
  const long long end = nowNs();
  if (n == 0 || m == 0) return 1;
  printf("%lld %lld\n", between - start, end - between);
  return 0;
}
