// Why a profile store call did not do all it was asked to. The store keeps
// the cause as far as the edge; only the C functions and the classes reduce
// it to their Windows answers.
#pragma once

#include <cstdint>

namespace zidevuv10::store {

enum class Status : uint8_t {
  Ok,
  FileNotFound,      // a read found no file; a write named no section
  PathNotFound,      // the file's folder does not exist, or the name maps to no path
  InvalidArgument,   // a required argument is absent
  AccessDenied,      // the caller may not read or write the file, or it is a folder
  LockTimeout,       // the writers' lock was not obtained in time
  DiskFull,          // no space (or quota) left for the new version
  OutOfMemory,
  InjectedStructure, // text with a line end, "=" in a key or a key starting with "["
  InvalidText,       // text that is not valid UTF-8 or UTF-16
  Unencodable,       // the file's encoding cannot hold the text, and it cannot be converted
  FileTooLarge,      // the file is larger than the store handles
  BadLength,         // a structure's stored text has the wrong length
  BadChecksum,       // a structure's stored text does not match its checksum
  ReadFault,         // any other failure to read the file
  WriteFault,        // any other failure to write the file
};

enum class Access : uint8_t { Read, Write };

// The status of a -errno result of a file operation (0 is Ok).
Status statusOfErrno(int negativeErrno, Access access);

}  // namespace zidevuv10::store
