#include "store/file_bytes.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

// Linux 5.14's request, for C libraries whose headers predate it (an older
// kernel refuses it, and the pages fault in as before).
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace zidevuv10::store {

namespace {

constexpr std::size_t kPage = 4096;
constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Buffers from this size on have their pages mapped in one call.
constexpr std::size_t kPopulateFrom = 64 * 1024;
// Buffers from this size on get a mapping of their own, in whole huge
// pages: a 256 KiB file takes at most 2 MiB (the cache counts what a file
// takes, not its size), and is read with a few faults instead of 64.
constexpr std::size_t kHugeFrom = 256 * 1024;

std::uintptr_t roundUp(std::uintptr_t n, std::size_t to) { return (n + to - 1) & ~(to - 1); }

// Maps the pages of [p, p + n) now, in one call. Before Linux 5.14 the
// kernel does not know the request and the pages fault in as the read
// reaches them, as they would anyway.
void populate(char* p, std::size_t n) {
  const std::uintptr_t begin = roundUp(reinterpret_cast<std::uintptr_t>(p), kPage);
  const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(p) + n) & ~(kPage - 1);
  if (end > begin) {
    (void)::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
  }
}

// A mapping of its own, aligned to a huge page and asking for huge pages
// (a system without them, or with none free, gives ordinary ones).
FileBytes::Buffer mapHuge(std::size_t n) {
  const std::size_t length = roundUp(n, kHugePage);
  void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  // Keep the aligned part only: give back what lies before it, and the
  // rest of the extra huge page after it.
  const auto base = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = roundUp(base, kHugePage);
  if (aligned > base) ::munmap(raw, aligned - base);
  if (const std::size_t after = base + kHugePage - aligned; after > 0) {
    ::munmap(reinterpret_cast<void*>(aligned + length), after);
  }
  char* p = reinterpret_cast<char*>(aligned);
  (void)::madvise(p, length, MADV_HUGEPAGE);
  populate(p, roundUp(n, kPage));
  return FileBytes::Buffer(p, BufferRelease{length, true});
}

// A buffer of n bytes, not filled.
FileBytes::Buffer allocate(std::size_t n) {
  if (n >= kHugeFrom) return mapHuge(n);
  FileBytes::Buffer p(new char[n], BufferRelease{n, false});
  if (n >= kPopulateFrom) populate(p.get(), n);
  return p;
}

}  // namespace

void BufferRelease::operator()(char* p) const {
  if (mapped) {
    ::munmap(p, length);
  } else {
    delete[] p;
  }
}

int readFileBytes(fs::FileSystem& fs, int fd, std::size_t sizeHint, FileBytes& out) {
  // One byte more than expected, so that a file read whole is seen to end
  // without a second buffer.
  std::size_t capacity = sizeHint + 1;
  FileBytes::Buffer buffer = allocate(capacity);
  std::size_t len = 0;
  for (;;) {
    if (len == capacity) {
      // The file grew since its stat: room for twice as much.
      FileBytes::Buffer bigger = allocate(capacity * 2);
      std::memcpy(bigger.get(), buffer.get(), len);
      buffer = std::move(bigger);
      capacity *= 2;
    }
    const ssize_t n = fs.read(fd, buffer.get() + len, capacity - len);
    if (n < 0) return static_cast<int>(n);
    if (n == 0) break;
    const bool shortRead = static_cast<std::size_t>(n) < capacity - len;
    len += static_cast<std::size_t>(n);
    // A short read of a regular file that has delivered all it was expected
    // to hold is its end: no second read needed to see 0.
    if (shortRead && sizeHint > 0 && len >= sizeHint) break;
  }
  out.text_.clear();
  out.buffer_ = std::move(buffer);
  out.size_ = len;
  return 0;
}

int fileHolds(fs::FileSystem& fs, int fd, std::string_view expected, bool& same) {
  constexpr std::size_t kChunk = 64 * 1024;
  same = false;
  const std::unique_ptr<char[]> chunk(new char[kChunk]);
  std::size_t done = 0;
  for (;;) {
    // One byte past the expected end is asked for too, to see the file end.
    const std::size_t want = std::min(kChunk, expected.size() - done + 1);
    const ssize_t n = fs.pread(fd, chunk.get(), want, static_cast<off_t>(done));
    if (n < 0) return static_cast<int>(n);
    const auto got = static_cast<std::size_t>(n);
    if (got > expected.size() - done) return 0;  // longer than expected
    if (std::memcmp(chunk.get(), expected.data() + done, got) != 0) return 0;
    if (got == 0) break;
    done += got;
  }
  same = done == expected.size();
  return 0;
}

}  // namespace zidevuv10::store
