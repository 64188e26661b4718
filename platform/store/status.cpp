#include "store/status.h"

#include <cerrno>

namespace zidevuv10::store {

Status statusOfErrno(int negativeErrno, Access access) {
  switch (-negativeErrno) {
    case 0:
      return Status::Ok;
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return Status::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return Status::AccessDenied;
    case ETIMEDOUT:
      return Status::LockTimeout;
    case ENOSPC:
    case EDQUOT:
      return Status::DiskFull;
    case ENOMEM:
      return Status::OutOfMemory;
    case EFBIG:
    case EOVERFLOW:
      return Status::FileTooLarge;
    default:
      return access == Access::Read ? Status::ReadFault : Status::WriteFault;
  }
}

}  // namespace zidevuv10::store
