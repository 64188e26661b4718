// Gives a new copy of a file everything of the file's own that a rename
// would otherwise drop: owner, group, mode and extended attributes (POSIX
// ACLs are the system.posix_acl_access attribute).
#pragma once

#include <sys/stat.h>

#include "fs/file_system.h"

namespace zidevuv10::store {

// Copies the metadata of the open file `fromFd` (whose stat is `from`) to
// the open file `toFd`. 0 or -errno; -EPERM or -ENOTSUP when the copy
// cannot carry the owner, group or an attribute.
int carryMetadata(fs::FileSystem& fs, int fromFd, const struct stat& from, int toFd);

}  // namespace zidevuv10::store
