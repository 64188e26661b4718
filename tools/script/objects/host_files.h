// The file system as the script's file objects see it: Windows or host
// paths mapped onto host paths (the library's drive mapping), host paths
// shown in Windows form, and each failure turned into the runtime's error
// (53 file not found, 58 file already exists, 61 disk full, 70 permission
// denied, 76 path not found, ...).
// Functions of the process's file system and current folder; called on the
// thread running the script.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "zidevuv10/text.h"

namespace zidevuv10::script::files {

// What a path names, for the error a missing entry raises.
enum class Kind { File, Folder };

// The absolute host path a script's path names; error 5 for an empty path,
// 52 for one holding a NUL, 76 for a drive without a folder.
std::string hostPath(const Text& path);
// The Windows form of an absolute host path ("Z:\srv\a.txt").
Text windowsPath(const std::string& hostPath);

// The runtime's error for an errno met on `hostPath`: a missing entry is 53
// (or 76 for a folder, or when its folder is missing too).
[[noreturn]] void raiseFor(int error, const std::string& hostPath, Kind kind);

// Status of the entry itself (a link is not followed); false when there is none.
bool lstatOf(const std::string& path, struct stat& st);
// Status of what the path leads to; false when there is none.
bool statOf(const std::string& path, struct stat& st);
bool isFolder(const std::string& path);
// What a symbolic link holds; `st` is its own status (lstatOf).
std::string linkTarget(const std::string& path, const struct stat& st);
bool isFile(const std::string& path);

// The names in a folder (without "." and ".."), sorted without regard to
// case as Windows lists them; raises for a folder that cannot be listed.
std::vector<std::string> listFolder(const std::string& folder);

// Whether a name fits a pattern with `*` and `?`, without regard to case.
bool matchesWildcards(std::string_view pattern, std::string_view name);
bool hasWildcards(std::string_view name);

// Opens a file for writing (O_WRONLY or O_RDWR with O_CREAT, O_TRUNC,
// O_APPEND, O_EXCL as asked). A symbolic link in a sticky folder anyone may
// write (/tmp) is followed only when it belongs to the caller or to the
// folder's owner, so nobody can steer the script's write into another
// user's file; otherwise error 70.
int openForWriting(const std::string& path, int flags);
// Opens a file for reading; raises 53, 70, ... as the runtime does.
int openForReading(const std::string& path);

// Copies a file's bytes and permission bits to `to` (replaced when there,
// through openForWriting's rule); raises on failure.
void copyFile(const std::string& from, const std::string& to);
// Copies a folder and everything in it; files already in `to` are
// replaced only with `overwrite`, else error 58.
void copyFolder(const std::string& from, const std::string& to, bool overwrite);
// Deletes a folder and everything in it.
void deleteTree(const std::string& path);
// Renames, or copies and deletes across file systems.
void move(const std::string& from, const std::string& to, Kind kind);

// Writes all of `bytes`; raises 61 for a full disk, 57 for other failures.
void writeAll(int fd, std::string_view bytes, const std::string& path);

// The Windows date text of a file time (as Now prints dates: M/D/YYYY h:mm:ss AM).
Text fileTime(const struct timespec& time);

}  // namespace zidevuv10::script::files
