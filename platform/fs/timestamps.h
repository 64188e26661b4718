// File times as nanoseconds, and how far a file's times can be trusted to
// show a change: the rule the store's caches share (parsed files, folder
// listings).
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <ctime>

namespace zidevuv10::fs {

int64_t nanoseconds(const timespec& ts);

// The real-time clock, in nanoseconds.
int64_t nowNanoseconds();

// How long after a change a file's (or folder's) timestamps may still stay
// the same for another change, from the times it shows. Whole seconds may
// be FAT's even seconds (two seconds and a bit). Otherwise the tick is the
// largest power of ten that divides the nanoseconds of both times (a
// nanosecond for most files; the chance of ending in zeros misjudges only
// towards caution), plus the tick of the kernel's coarse clock, which
// stamps files a little behind the real time.
int64_t timestampGranularity(const struct stat& st);

// Whether what was seen of a file at `seenAt` (nanoseconds) is still all
// there is while its times stay as `st` shows: it was seen at least the
// granularity after its last modification and change.
bool seenSettled(const struct stat& st, int64_t seenAt);

}  // namespace zidevuv10::fs
