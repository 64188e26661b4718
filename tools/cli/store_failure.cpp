#include "store_failure.h"

namespace zidevuv10::cli {

std::string causeOf(store::Status status) {
  using store::Status;
  switch (status) {
    case Status::Ok:
      return "no error";
    case Status::FileNotFound:
      return "no such file";
    case Status::PathNotFound:
      return "its folder does not exist";
    case Status::InvalidArgument:
      return "a required argument is missing";
    case Status::AccessDenied:
      return "access denied (no permission, or it is a folder)";
    case Status::LockTimeout:
      return "another writer held the file's lock too long";
    case Status::DiskFull:
      return "the disk is full";
    case Status::OutOfMemory:
      return "out of memory";
    case Status::InjectedStructure:
      return "the text would add lines or sections (names and values must be one line, and a "
             "key may not hold '=' or start with '[')";
    case Status::InvalidText:
      return "the text is not valid UTF-8";
    case Status::Unencodable:
      return "the file's encoding cannot hold the text";
    case Status::FileTooLarge:
      return "the file is too large";
    case Status::BadLength:
    case Status::BadChecksum:
      return "the stored structure does not match";
    case Status::ReadFault:
      return "read error";
    case Status::WriteFault:
      return "write error";
  }
  return "failed";
}

}  // namespace zidevuv10::cli
