// The FileSystemObject's copy, move and delete, with the runtime's rules.
// A source may hold `*` and `?` in its last component; then, or when the
// destination ends with a separator, the destination is an existing folder
// (else error 76) that receives each match under its own name, otherwise
// it is the new name. No match is error 53 (files) or 76 (folders).
//   Copy: a destination file is replaced only with overwrite (else 58), a
//   folder in the way of a file is 70; a folder's files are merged into an
//   existing destination folder under the same rule; a folder is never
//   copied into itself (70).
//   Move: nothing is replaced (58 when the destination exists).
//   Delete: a read-only file (or a folder holding one) is deleted only
//   with force, else 70 and nothing is deleted.
// Called on the thread running the script.
#pragma once

#include "zidevuv10/text.h"

namespace zidevuv10::script::file_operations {

void copyFiles(const Text& source, const Text& destination, bool overwrite);
void moveFiles(const Text& source, const Text& destination);
void deleteFiles(const Text& given, bool force);
void copyFolders(const Text& source, const Text& destination, bool overwrite);
void moveFolders(const Text& source, const Text& destination);
void deleteFolders(const Text& given, bool force);

}  // namespace zidevuv10::script::file_operations
