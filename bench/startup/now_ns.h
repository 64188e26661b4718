/* The time of a clock in nanoseconds, for the children that time their own
 * first call (wall clock and the process's CPU time). */
#pragma once

#include <time.h>

static inline long long nowNs(clockid_t clock) {
  struct timespec t;
  clock_gettime(clock, &t);
  return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}
