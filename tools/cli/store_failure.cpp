#include "store_failure.h"

#include "command_line.h"
#include "zidevuv10/winprofile.h"

namespace zidevuv10::cli {

std::string causeOf(uint32_t lastError) {
  switch (lastError) {
    case ERROR_FILE_NOT_FOUND:
      return "no such file";
    case ERROR_PATH_NOT_FOUND:
      return "its folder does not exist";
    case ERROR_ACCESS_DENIED:
      return "access denied (no permission, or it is a folder)";
    case ERROR_NOT_ENOUGH_MEMORY:
      return "out of memory";
    case ERROR_INVALID_DATA:
      return "the text would add lines or sections (names and values must be one line, and a "
             "key may not hold '=' or start with '[')";
    case ERROR_NO_UNICODE_TRANSLATION:
      return "the text is not valid UTF-8, or the file's 8-bit encoding cannot hold it";
    case ERROR_LOCK_VIOLATION:
      return "another writer held the file's folder lock too long";
    case ERROR_DISK_FULL:
      return "the disk is full";
    case ERROR_FILE_TOO_LARGE:
      return "the file is too large";
    case ERROR_READ_FAULT:
      return "read error";
    case ERROR_WRITE_FAULT:
      return "write error";
    default:
      return "failed with error " + std::to_string(lastError);
  }
}

void requireFileRead(const std::string& argument) {
  const uint32_t error = GetLastError();
  if (error != ERROR_SUCCESS) throw Failure(argument + ": " + causeOf(error));
}

}  // namespace zidevuv10::cli
