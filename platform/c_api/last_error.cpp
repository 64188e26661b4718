// The calling thread's last error and the Windows code of each store status.
#include "c_api/c_edge.h"
#include "zidevuv10/profile.h"

namespace zidevuv10::capi {

namespace {

thread_local uint32_t lastError = kErrorSuccess;

}  // namespace

void setLastError(uint32_t code) noexcept { lastError = code; }

void setReadError(store::Status status, store::Found found) noexcept {
  if (status != store::Status::Ok) {
    setLastError(status);
  } else if (found == store::Found::All) {
    setLastError(kErrorSuccess);
  } else if (found == store::Found::NoSection) {
    setLastError(kErrorFileNotFound);
  }
}

uint32_t windowsCode(store::Status status) {
  using store::Status;
  switch (status) {
    case Status::Ok:
      return kErrorSuccess;
    case Status::FileNotFound:
      return kErrorFileNotFound;
    case Status::PathNotFound:
      return kErrorPathNotFound;
    case Status::InvalidArgument:
      return kErrorInvalidParameter;
    case Status::AccessDenied:
      return kErrorAccessDenied;
    case Status::LockTimeout:
      return kErrorLockViolation;
    case Status::DiskFull:
      return kErrorDiskFull;
    case Status::OutOfMemory:
      return kErrorNotEnoughMemory;
    case Status::InjectedStructure:
    case Status::BadChecksum:
      return kErrorInvalidData;
    case Status::InvalidText:
    case Status::Unencodable:
      return kErrorNoUnicodeTranslation;
    case Status::FileTooLarge:
      return kErrorFileTooLarge;
    case Status::BadLength:
      return kErrorBadLength;
    case Status::ReadFault:
      return kErrorReadFault;
    case Status::WriteFault:
      return kErrorWriteFault;
  }
  return kErrorWriteFault;
}

}  // namespace zidevuv10::capi

extern "C" {

uint32_t GetLastError(void) { return zidevuv10::capi::lastError; }

void SetLastError(uint32_t code) { zidevuv10::capi::setLastError(code); }

}  // extern "C"
