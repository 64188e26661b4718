/* Windows names that settings code uses around the profile functions, so
 * that a settings module written for Windows compiles unchanged on Linux.
 * Include it directly, or define ZIDEVUV10_WINPORT before including
 * winprofile.h, which then includes it.
 *
 * Covered:
 *  - types: VOID, WORD, LONG (32 bits, as on Windows), RECT (with PRECT,
 *    LPRECT), HINSTANCE, HMODULE, LPDWORD;
 *  - text helpers: _stricmp, _strnicmp, _snprintf, sprintf_s, _countof,
 *    wsprintf (A and W), swprintf_s (with a size, or on an array in C++);
 *    the wide ones take 16-bit WCHAR text with Windows' meaning of %s in a
 *    wide format (a wide string; %hs and %S a narrow one);
 *  - files and modules: GetFileAttributes (INVALID_FILE_ATTRIBUTES and
 *    FILE_ATTRIBUTE_*), CreateDirectory, GetModuleHandle and
 *    GetModuleFileName, each in A and W forms, answering as Windows does
 *    over the library's path mapping: GetModuleFileName gives the program's
 *    own path as a Windows path (Z:\...), so settings placed beside the
 *    program are found there. They set the last error as Windows does
 *    (2, 3, 5, 122, 126, 183).
 *
 * Deliberately not covered: windows, messages, the registry, open file
 * handles (CreateFile, ReadFile, ...), modules other than the program
 * itself, and the C library's own functions (fopen does not map "C:\..."
 * or backslashes). Where wchar_t is 16 bits (-fshort-wchar), WCHAR is
 * wchar_t and L"..." text goes to the W functions directly; the C
 * library's wide functions (wcslen, swprintf, ...) still assume 32 bits
 * there, so ported code must not call them on such text.
 *
 * Like winprofile.h, each name is defined only where it is not defined yet. */
#pragma once

#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>
#include <strings.h>

#include "zidevuv10/winprofile.h"

#if !defined(ZIDEVUV10_NO_WINDOWS_TYPES) && !defined(_WINDEF_) && !defined(_MINWINDEF_)
typedef uint16_t WORD;
typedef int32_t LONG;
typedef DWORD* LPDWORD;
typedef struct tagRECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT, *PRECT, *LPRECT;
typedef struct ZIDEVUV10_HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
#endif
#ifndef VOID
#define VOID void
#endif

#ifndef INVALID_FILE_ATTRIBUTES
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#endif
#ifndef FILE_ATTRIBUTE_READONLY
#define FILE_ATTRIBUTE_READONLY 0x00000001
#endif
#ifndef FILE_ATTRIBUTE_DIRECTORY
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#endif
#ifndef FILE_ATTRIBUTE_NORMAL
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#endif
#ifndef ERROR_INSUFFICIENT_BUFFER
#define ERROR_INSUFFICIENT_BUFFER 122
#endif
#ifndef ERROR_MOD_NOT_FOUND
#define ERROR_MOD_NOT_FOUND 126
#endif
#ifndef ERROR_ALREADY_EXISTS
#define ERROR_ALREADY_EXISTS 183
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Attributes of the file or folder a Windows or host path names, or
 * INVALID_FILE_ATTRIBUTES with the last error 2 (no such file) or 3 (no
 * such folder on the way). */
ZIDEVUV10_API uint32_t GetFileAttributesA(const char* path);
ZIDEVUV10_API uint32_t GetFileAttributesW(const char16_t* path);
/* Makes one folder (not its parents); FALSE with 183 when it exists, 3 when
 * its parent does not. The security argument is ignored. */
ZIDEVUV10_API int32_t CreateDirectoryA(const char* path, void* security);
ZIDEVUV10_API int32_t CreateDirectoryW(const char16_t* path, void* security);
/* The program's own module for a null name; null with 126 for any other. */
ZIDEVUV10_API HMODULE GetModuleHandleA(const char* name);
ZIDEVUV10_API HMODULE GetModuleHandleW(const char16_t* name);
/* The program's path as a Windows path, for a null module or the program's
 * own: its length, or `size` with the text cut to size-1 units and the
 * last error 122 when it does not fit. 0 with 126 for another module. */
ZIDEVUV10_API uint32_t GetModuleFileNameA(HMODULE module, char* buffer, uint32_t size);
ZIDEVUV10_API uint32_t GetModuleFileNameW(HMODULE module, char16_t* buffer, uint32_t size);

/* Formats 16-bit text into at most `count` units, NUL included, with
 * Windows' wide conventions (%s and %ls a wide string, %hs and %S a narrow
 * one, %c a wide character). The units written before the NUL, or -1 with
 * an empty buffer when the text does not fit. `buffer` and `format` point
 * to 16-bit units (WCHAR). */
ZIDEVUV10_API int zidevuv10_vswprintf(void* buffer, size_t count, const void* format,
                                      va_list args);

#ifdef __cplusplus
}
#endif

/* wchar_t forms where wchar_t is 16 bits. GetModuleHandleW's is a template,
 * so that its usual argument, NULL, still picks the one function. */
#if defined(__cplusplus) && defined(__SIZEOF_WCHAR_T__) && __SIZEOF_WCHAR_T__ == 2
template <typename Unit>
inline HMODULE GetModuleHandleW(const Unit* name) {
  return GetModuleHandleW(zidevuv10_u16(name));
}
inline uint32_t GetFileAttributesW(const wchar_t* path) {
  return GetFileAttributesW(zidevuv10_u16(path));
}
inline int32_t CreateDirectoryW(const wchar_t* path, void* security) {
  return CreateDirectoryW(zidevuv10_u16(path), security);
}
inline uint32_t GetModuleFileNameW(HMODULE module, wchar_t* buffer, uint32_t size) {
  return GetModuleFileNameW(module, zidevuv10_u16(buffer), size);
}
#endif

#ifndef _stricmp
#define _stricmp strcasecmp
#endif
#ifndef _strnicmp
#define _strnicmp strncasecmp
#endif
#ifndef _snprintf
#define _snprintf snprintf
#endif
#ifndef _countof
#define _countof(array) (sizeof(array) / sizeof((array)[0]))
#endif
#ifndef wsprintfA
#define wsprintfA sprintf
#endif

#ifdef __cplusplus
#define ZIDEVUV10_PORT_INLINE inline
#else
#define ZIDEVUV10_PORT_INLINE static inline
#endif

/* sprintf_s: -1 and an empty buffer when the text does not fit. */
ZIDEVUV10_PORT_INLINE int zidevuv10_vsprintf_s(char* buffer, size_t count, const char* format,
                                               va_list args) {
  const int n = vsnprintf(buffer, count, format, args);
  if (n < 0 || (size_t)n >= count) {
    if (count > 0) buffer[0] = 0;
    return -1;
  }
  return n;
}

ZIDEVUV10_PORT_INLINE int sprintf_s(char* buffer, size_t count, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int n = zidevuv10_vsprintf_s(buffer, count, format, args);
  va_end(args);
  return n;
}

#ifdef __cplusplus
template <size_t N>
inline int sprintf_s(char (&buffer)[N], const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int n = zidevuv10_vsprintf_s(buffer, N, format, args);
  va_end(args);
  return n;
}
#endif

/* wsprintfW: Windows' limit of 1024 units, NUL included. */
ZIDEVUV10_PORT_INLINE int wsprintfW(WCHAR* buffer, const WCHAR* format, ...) {
  va_list args;
  va_start(args, format);
  const int n = zidevuv10_vswprintf(buffer, 1024, format, args);
  va_end(args);
  return n;
}

ZIDEVUV10_PORT_INLINE int swprintf_s(WCHAR* buffer, size_t count, const WCHAR* format, ...) {
  va_list args;
  va_start(args, format);
  const int n = zidevuv10_vswprintf(buffer, count, format, args);
  va_end(args);
  return n;
}

#ifdef __cplusplus
/* The C++ form that takes the array's size from its type. */
template <size_t N>
inline int swprintf_s(WCHAR (&buffer)[N], const WCHAR* format, ...) {
  va_list args;
  va_start(args, format);
  const int n = zidevuv10_vswprintf(buffer, N, format, args);
  va_end(args);
  return n;
}
#endif

#undef ZIDEVUV10_PORT_INLINE

#ifndef wsprintf
#define wsprintf ZIDEVUV10_AW(wsprintf)
#endif
#ifndef GetFileAttributes
#define GetFileAttributes ZIDEVUV10_AW(GetFileAttributes)
#endif
#ifndef CreateDirectory
#define CreateDirectory ZIDEVUV10_AW(CreateDirectory)
#endif
#ifndef GetModuleHandle
#define GetModuleHandle ZIDEVUV10_AW(GetModuleHandle)
#endif
#ifndef GetModuleFileName
#define GetModuleFileName ZIDEVUV10_AW(GetModuleFileName)
#endif
