// A file's bytes as read: either a buffer the file was read straight into
// (allocated without being filled first) or a text handed in.
//
// Fresh memory costs a page fault per page on its first touch, and on some
// machines (virtual ones above all) each fault costs more than copying the
// page. Reading into a std::string touches every page twice: resize() fills
// the buffer with zeros, read() copies the file over them. readFileBytes()
// allocates the buffer without filling it, asks the kernel to map its pages
// in one call before the read copies into them, and gives a big file's
// buffer huge pages where the system has them, so that a few faults cover
// it all.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "fs/file_system.h"

namespace zidevuv10::store {

// How a buffer of FileBytes was allocated, and so how it is given back:
// `mapped` buffers are a mapping of their own of `length` bytes.
struct BufferRelease {
  std::size_t length = 0;
  bool mapped = false;
  void operator()(char* p) const;
};

class FileBytes {
 public:
  using Buffer = std::unique_ptr<char[], BufferRelease>;

  FileBytes() = default;
  // A text kept as it is (implicit, so that any text can be parsed).
  FileBytes(std::string text) : text_(std::move(text)) {}  // NOLINT(google-explicit-constructor)

  std::string_view view() const {
    return buffer_ ? std::string_view(buffer_.get(), size_) : std::string_view(text_);
  }
  // Bytes of memory held (a buffer may be bigger than the file).
  std::size_t capacity() const { return buffer_ ? buffer_.get_deleter().length : text_.capacity(); }

 private:
  friend int readFileBytes(fs::FileSystem& fs, int fd, std::size_t sizeHint, FileBytes& out);
  std::string text_;
  Buffer buffer_;
  std::size_t size_ = 0;
};

// Reads a whole open file that is expected to hold about sizeHint bytes
// (from its stat); a file that grew meanwhile is read to its end all the
// same. 0 or -errno; throws std::bad_alloc when there is no room.
int readFileBytes(fs::FileSystem& fs, int fd, std::size_t sizeHint, FileBytes& out);

// Whether an open file holds exactly `expected`, read through a small
// buffer with pread (the descriptor's offset is left alone, so that the
// file can still be read whole after a difference): a file read again
// unchanged costs no fresh memory. 0 or -errno; throws std::bad_alloc
// when there is no room for the buffer.
int fileHolds(fs::FileSystem& fs, int fd, std::string_view expected, bool& same);

}  // namespace zidevuv10::store
