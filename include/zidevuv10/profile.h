// Windows-compatible profile functions: read and write initialization files
// ([section] headers, key=value lines) with the answers, return counts and
// file contents of the Windows profile API.
//
// Text is UTF-8; sizes and counts are bytes. A null pointer is an absent
// argument, which differs from the empty text "" exactly as on Windows (a
// null key lists keys, a null value deletes a key, and so on). A file name
// without any folder part lives in the Windows directory (C:\WINDOWS).
//
// Thread and process safety: every function may be called from any thread.
// Writes are atomic (the file is replaced as a whole and synced before the
// call returns) and read-modify-write cycles of all threads and processes
// using this library on one file are serialised, so no update is lost.
#pragma once

#include <stdint.h>

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

#ifdef __cplusplus
}
#endif
