// Files opened for input by number (1..511), as Open ... For Input, Line
// Input, EOF and Close use them. Each file is read whole when it is opened
// and decoded as the profile store reads files: a byte-order mark decides
// (UTF-8, UTF-16 LE or BE), else valid UTF-8 is UTF-8 and anything else is
// Windows-1252. Lines end at CR, LF or CRLF and are handed out as UTF-8.
//
// Thread safety: every thread has its own table (forThread), as every thread
// has its own file numbers; one table must not be used from two threads.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "fs/file_system.h"

namespace zidevuv10::runtime {

// Errors are host runtime error numbers (0: none):
//   52 bad file number (outside 1..511, or not open)   53 file not found
//   55 file already open        57 device I/O error    62 input past end of file
//   67 too many files           68 device unavailable (drive without a mapping)
//   75 path/file access error (a folder, no permission) 76 path not found
class InputFiles {
 public:
  static constexpr int kMaxFiles = 511;

  InputFiles();
  ~InputFiles();
  InputFiles(const InputFiles&) = delete;
  InputFiles& operator=(const InputFiles&) = delete;

  // The calling thread's table.
  static InputFiles& forThread();

  // The lowest number not in use, or 0 when all are (callers raise 67).
  int freeFile() const;

  // Opens `path` (Windows form or native; a bare name is relative to the
  // current folder) for input as `number` and reads it whole.
  int open(fs::FileSystem& fs, int number, std::string_view path);

  // Whether no line is left; error 52 (and true) when `number` is not open.
  bool eof(int number, int& error) const;

  // The next line without its line end; 62 past the end, 52 when `number`
  // is not open. `line` is left as it was on error.
  int readLine(int number, std::string& line);

  // Closing a number that is not open does nothing.
  void close(int number);
  void closeAll();

 private:
  struct OpenFile {
    std::string text;      // the whole file as UTF-8, byte-order mark removed
    std::size_t next = 0;  // where the next line starts
  };

  const OpenFile* find(int number) const;

  std::array<std::unique_ptr<OpenFile>, kMaxFiles> files_;
};

}  // namespace zidevuv10::runtime
