/* A process's first lookup, timed inside the process: the first
 * GetPrivateProfileStringA call of the program, on FILE_A, and then the
 * first call on FILE_B, a second file of the same size that the library has
 * not read either. The first time holds what the first call of a process
 * sets up once; the second does not. Prints, in nanoseconds, the wall time
 * and the process's CPU time of each call: "wallA cpuA wallB cpuB".
 * Usage: first_lookup FILE_A FILE_B SECTION KEY */
#include <stdio.h>
#include <time.h>

#include "now_ns.h"
#include "zidevuv10/profile.h"

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  char a[256];
  char b[256];
  const long long start = nowNs(CLOCK_MONOTONIC);
  const long long startCpu = nowNs(CLOCK_PROCESS_CPUTIME_ID);
  const unsigned n = GetPrivateProfileStringA(argv[3], argv[4], "", a, sizeof a, argv[1]);
  const long long between = nowNs(CLOCK_MONOTONIC);
  const long long betweenCpu = nowNs(CLOCK_PROCESS_CPUTIME_ID);
  const unsigned m = GetPrivateProfileStringA(argv[3], argv[4], "", b, sizeof b, argv[2]);
  const long long end = nowNs(CLOCK_MONOTONIC);
  const long long endCpu = nowNs(CLOCK_PROCESS_CPUTIME_ID);
  if (n == 0 || m == 0) return 1;
  printf("%lld %lld %lld %lld\n", between - start, betweenCpu - startCpu, end - between,
         endCpu - betweenCpu);
  return 0;
}
