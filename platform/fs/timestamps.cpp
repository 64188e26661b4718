#include "fs/timestamps.h"

#include <algorithm>

namespace zidevuv10::fs {

int64_t nanoseconds(const timespec& ts) {
  return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

int64_t nowNanoseconds() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return nanoseconds(ts);
}

int64_t timestampGranularity(const struct stat& st) {
  constexpr int64_t kClockTick = 50'000'000;
  int64_t tick = 1;
  for (const timespec* t : {&st.st_mtim, &st.st_ctim}) {
    if (t->tv_nsec == 0) return 2'100'000'000;
    int64_t step = 1;
    while (step < 100'000'000 && t->tv_nsec % (step * 10) == 0) step *= 10;
    tick = std::max(tick, step);
  }
  return tick + kClockTick;
}

bool seenSettled(const struct stat& st, int64_t seenAt) {
  const int64_t granularity = timestampGranularity(st);
  return seenAt - nanoseconds(st.st_mtim) >= granularity &&
         seenAt - nanoseconds(st.st_ctim) >= granularity;
}

}  // namespace zidevuv10::fs
