// Windows-compatible profile functions: read and write initialization files
// ([section] headers, key=value lines) with the answers, return counts and
// file contents of the Windows profile API.
//
// Narrow (A) functions take UTF-8 text, with sizes and counts in bytes; wide
// (W) functions take UTF-16 text (char16_t, Windows' WCHAR), with sizes and
// counts in UTF-16 code units. Both follow the same rules and read and write
// files in their own encoding; a cut never splits a character (a UTF-8
// sequence or a surrogate pair). A null pointer is an absent argument,
// which differs from the empty text "" exactly as on Windows (a null key
// lists keys, a null value deletes a key, and so on). Empty names are
// names: section "" is the one headed "[]" (not the lines before the first
// header), key "" a line "=value"; reads and writes reach both, but the
// section list and key lists leave them out (an empty item would end the
// list). File names follow Windows: a name without any folder part (no "\"
// or "/") lives in the Windows directory (C:\WINDOWS); ".\name",
// "..\name" and other relative paths start in the current folder.
//
// Writes refuse text that would add lines or sections the caller never
// named (a line end anywhere, "=" in a key, a key starting with "[") and
// text that is not valid UTF-8 or UTF-16: they return 0 and change nothing.
// A write keeps the file's encoding, with one exception: a file in an 8-bit
// encoding (Windows-1252) that cannot hold the new text is rewritten as
// UTF-8, so that no character is lost. Deleting a key or a section of a
// missing file succeeds and leaves an empty file, as on Windows (in a
// missing folder it succeeds and makes nothing).
//
// New lines take the file's own line end. A file without one (a new or empty
// file) gets LF, or CRLF, as Windows writes, when the environment holds
// ZIDEVUV10_NEWLINE=crlf at the first call of a profile function.
//
// Last error: writes set the calling thread's last error (GetLastError) to
// ERROR_SUCCESS (0) when they did all they were asked to. Reads set it to say
// where their answer comes from: 0 when it is the file's (a value or list
// found), 2 when the file or the section asked for is missing (the default,
// or an empty list, is answered), and the cause when the file could not be
// read; a read of a section that exists but lacks the key answers the
// default and leaves the last error as the caller set it (as Windows does;
// Windows 7 set 2); a read into a buffer of size 0 reads nothing and sets 0.
// A struct read answers TRUE with 0, or FALSE with the
// cause: 24 when no text of the structure's length is stored (no file,
// section or key counts as none), 13 when the checksum does not match. The
// codes:
//   2   ERROR_FILE_NOT_FOUND      a read found no file or no section (the
//                                 default is answered); a write named no
//                                 section
//   3   ERROR_PATH_NOT_FOUND      the file's folder does not exist
//   5   ERROR_ACCESS_DENIED       the caller may not read or write the file,
//                                 it is a folder, or the file name is ""
//   8   ERROR_NOT_ENOUGH_MEMORY   out of memory
//   13  ERROR_INVALID_DATA        text that would add lines or sections the
//                                 caller never named; a struct whose stored
//                                 checksum does not match
//   24  ERROR_BAD_LENGTH          a struct with no stored text of its length
//   29  ERROR_WRITE_FAULT         any other failure to write the file
//   30  ERROR_READ_FAULT          any other failure to read the file
//   33  ERROR_LOCK_VIOLATION      the writers' lock was not obtained in time
//   87  ERROR_INVALID_PARAMETER   a null buffer or a required argument absent
//   112 ERROR_DISK_FULL           no space (or quota) left for the new version
//   223 ERROR_FILE_TOO_LARGE      the file is larger than the library handles
//   1113 ERROR_NO_UNICODE_TRANSLATION  text that is not valid UTF-8 or UTF-16,
//                                 or that an 8-bit file holding binary bytes
//                                 (NUL, control characters) cannot hold: such
//                                 a file is not rewritten as UTF-8
// Reads that meet an error answer as for a missing file (the default, or an
// empty list); writes that meet one return 0 and leave the file unchanged.
//
// Thread and process safety: every function may be called from any thread.
// Writes are atomic (the file is replaced as a whole, its new copy synced
// before the call returns, so a crash or power loss leaves the old or the
// new file) and read-modify-write cycles of all threads and processes
// using this library on one file are serialised, so no update is lost.
// The flush (WritePrivateProfileStringA with section, key and value all
// NULL) makes every earlier write of the file durable: until it, or the
// file system's own writeback, syncs the folder, a power loss may bring
// back the old file.
#pragma once

#include <stdint.h>
#ifndef __cplusplus
#include <uchar.h>
#endif

#include "zidevuv10/export.h"

#ifdef __cplusplus
extern "C" {
#endif

ZIDEVUV10_API uint32_t GetPrivateProfileStringA(const char* section, const char* key,
                                                const char* default_value, char* buffer,
                                                uint32_t size, const char* file);
ZIDEVUV10_API uint32_t GetProfileStringA(const char* section, const char* key,
                                         const char* default_value, char* buffer, uint32_t size);
ZIDEVUV10_API uint32_t GetPrivateProfileIntA(const char* section, const char* key,
                                             int32_t default_value, const char* file);
ZIDEVUV10_API uint32_t GetProfileIntA(const char* section, const char* key, int32_t default_value);
ZIDEVUV10_API uint32_t GetPrivateProfileSectionA(const char* section, char* buffer, uint32_t size,
                                                 const char* file);
ZIDEVUV10_API uint32_t GetProfileSectionA(const char* section, char* buffer, uint32_t size);
ZIDEVUV10_API uint32_t GetPrivateProfileSectionNamesA(char* buffer, uint32_t size,
                                                      const char* file);
ZIDEVUV10_API int32_t WritePrivateProfileStringA(const char* section, const char* key,
                                                 const char* value, const char* file);
ZIDEVUV10_API int32_t WriteProfileStringA(const char* section, const char* key, const char* value);
ZIDEVUV10_API int32_t WritePrivateProfileSectionA(const char* section, const char* entries,
                                                  const char* file);
ZIDEVUV10_API int32_t WriteProfileSectionA(const char* section, const char* entries);
ZIDEVUV10_API uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size);

ZIDEVUV10_API uint32_t GetPrivateProfileStringW(const char16_t* section, const char16_t* key,
                                                const char16_t* default_value, char16_t* buffer,
                                                uint32_t size, const char16_t* file);
ZIDEVUV10_API uint32_t GetProfileStringW(const char16_t* section, const char16_t* key,
                                         const char16_t* default_value, char16_t* buffer,
                                         uint32_t size);
ZIDEVUV10_API uint32_t GetPrivateProfileIntW(const char16_t* section, const char16_t* key,
                                             int32_t default_value, const char16_t* file);
ZIDEVUV10_API uint32_t GetProfileIntW(const char16_t* section, const char16_t* key,
                                      int32_t default_value);
ZIDEVUV10_API uint32_t GetPrivateProfileSectionW(const char16_t* section, char16_t* buffer,
                                                 uint32_t size, const char16_t* file);
ZIDEVUV10_API uint32_t GetProfileSectionW(const char16_t* section, char16_t* buffer,
                                          uint32_t size);
ZIDEVUV10_API uint32_t GetPrivateProfileSectionNamesW(char16_t* buffer, uint32_t size,
                                                      const char16_t* file);
ZIDEVUV10_API int32_t WritePrivateProfileStringW(const char16_t* section, const char16_t* key,
                                                 const char16_t* value, const char16_t* file);
ZIDEVUV10_API int32_t WriteProfileStringW(const char16_t* section, const char16_t* key,
                                          const char16_t* value);
ZIDEVUV10_API int32_t WritePrivateProfileSectionW(const char16_t* section,
                                                  const char16_t* entries, const char16_t* file);
ZIDEVUV10_API int32_t WriteProfileSectionW(const char16_t* section, const char16_t* entries);
ZIDEVUV10_API uint32_t GetWindowsDirectoryW(char16_t* buffer, uint32_t size);

// A structure of `size` bytes stored as a value: each byte as two upper-case
// hexadecimal digits, then a checksum byte (the sum of the bytes modulo 256)
// in the same form. A read succeeds (nonzero) and fills `data` only when the
// stored text has exactly 2*size+2 digits and the checksum matches. A write
// with a null `data` deletes the key; with a null key, the section.
ZIDEVUV10_API int32_t GetPrivateProfileStructA(const char* section, const char* key, void* data,
                                               uint32_t size, const char* file);
ZIDEVUV10_API int32_t GetPrivateProfileStructW(const char16_t* section, const char16_t* key,
                                               void* data, uint32_t size, const char16_t* file);
ZIDEVUV10_API int32_t WritePrivateProfileStructA(const char* section, const char* key,
                                                 const void* data, uint32_t size,
                                                 const char* file);
ZIDEVUV10_API int32_t WritePrivateProfileStructW(const char16_t* section, const char16_t* key,
                                                 const void* data, uint32_t size,
                                                 const char16_t* file);

// The calling thread's last error (see above); SetLastError sets it.
ZIDEVUV10_API uint32_t GetLastError(void);
ZIDEVUV10_API void SetLastError(uint32_t code);

#ifdef __cplusplus
}
#endif
