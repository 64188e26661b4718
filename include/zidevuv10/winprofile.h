/* Windows names for the profile functions, so that settings code written
 * for Windows compiles unchanged: the type names of their signatures, the
 * error codes GetLastError() answers, TRUE and FALSE, and the generic names
 * (GetPrivateProfileString, WritePrivateProfileStruct, ...) that choose the
 * A or W form by UNICODE, with TEXT() and _T() for literals.
 *
 * Each name is defined only where it is not defined yet, so that this header
 * can live beside other porting layers: a macro is skipped when a macro of
 * that name exists; the types are skipped when a Windows header (or a layer
 * imitating one) has defined its guard (_WINDEF_, _MINWINDEF_, _WINNT_), or
 * when ZIDEVUV10_NO_WINDOWS_TYPES is defined.
 *
 * WCHAR is 16 bits (UTF-16, as on Windows): wchar_t where the compiler
 * makes wchar_t 16 bits wide (-fshort-wchar, as Windows ports usually
 * build), so L"..." text goes to the W functions directly; else char16_t,
 * and UNICODE text literals are u"..." literals. DWORD is 32 bits wide, as
 * on Windows.
 *
 * With ZIDEVUV10_WINPORT defined, winport.h comes too: the other types,
 * text helpers and file and module functions settings code uses. */
#pragma once

#include "zidevuv10/profile.h"

#if !defined(ZIDEVUV10_NO_WINDOWS_TYPES) && !defined(_WINDEF_) && !defined(_MINWINDEF_)
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef int INT;
typedef int BOOL;
typedef unsigned char BYTE;
typedef void* LPVOID;
typedef const void* LPCVOID;
#endif

#if !defined(ZIDEVUV10_NO_WINDOWS_TYPES) && !defined(_WINNT_)
typedef char CHAR;
#if defined(__SIZEOF_WCHAR_T__) && __SIZEOF_WCHAR_T__ == 2
#define ZIDEVUV10_SHORT_WCHAR 1
typedef wchar_t WCHAR;
#else
typedef char16_t WCHAR;
#endif
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
#ifdef UNICODE
typedef WCHAR TCHAR;
#else
typedef char TCHAR;
#endif
typedef TCHAR* LPTSTR;
typedef const TCHAR* LPCTSTR;
#endif

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef MAX_PATH
#define MAX_PATH 260
#endif

/* Text literals of the chosen width. */
#ifndef __TEXT
#if defined(UNICODE) && defined(ZIDEVUV10_SHORT_WCHAR)
#define __TEXT(quote) L##quote
#elif defined(UNICODE)
#define __TEXT(quote) u##quote
#else
#define __TEXT(quote) quote
#endif
#endif
#ifndef TEXT
#define TEXT(quote) __TEXT(quote)
#endif
#ifndef _T
#define _T(quote) __TEXT(quote)
#endif

/* The last error codes the profile functions set (see profile.h). */
#ifndef ERROR_SUCCESS
#define ERROR_SUCCESS 0
#endif
#ifndef ERROR_FILE_NOT_FOUND
#define ERROR_FILE_NOT_FOUND 2
#endif
#ifndef ERROR_PATH_NOT_FOUND
#define ERROR_PATH_NOT_FOUND 3
#endif
#ifndef ERROR_ACCESS_DENIED
#define ERROR_ACCESS_DENIED 5
#endif
#ifndef ERROR_NOT_ENOUGH_MEMORY
#define ERROR_NOT_ENOUGH_MEMORY 8
#endif
#ifndef ERROR_INVALID_DATA
#define ERROR_INVALID_DATA 13
#endif
#ifndef ERROR_BAD_LENGTH
#define ERROR_BAD_LENGTH 24
#endif
#ifndef ERROR_WRITE_FAULT
#define ERROR_WRITE_FAULT 29
#endif
#ifndef ERROR_READ_FAULT
#define ERROR_READ_FAULT 30
#endif
#ifndef ERROR_LOCK_VIOLATION
#define ERROR_LOCK_VIOLATION 33
#endif
#ifndef ERROR_INVALID_PARAMETER
#define ERROR_INVALID_PARAMETER 87
#endif
#ifndef ERROR_DISK_FULL
#define ERROR_DISK_FULL 112
#endif
#ifndef ERROR_FILE_TOO_LARGE
#define ERROR_FILE_TOO_LARGE 223
#endif
#ifndef ERROR_NO_UNICODE_TRANSLATION
#define ERROR_NO_UNICODE_TRANSLATION 1113
#endif

/* The generic names: the W form with UNICODE, else the A form. */
#ifdef UNICODE
#define ZIDEVUV10_AW(name) name##W
#else
#define ZIDEVUV10_AW(name) name##A
#endif
#ifndef GetPrivateProfileString
#define GetPrivateProfileString ZIDEVUV10_AW(GetPrivateProfileString)
#endif
#ifndef GetProfileString
#define GetProfileString ZIDEVUV10_AW(GetProfileString)
#endif
#ifndef GetPrivateProfileInt
#define GetPrivateProfileInt ZIDEVUV10_AW(GetPrivateProfileInt)
#endif
#ifndef GetProfileInt
#define GetProfileInt ZIDEVUV10_AW(GetProfileInt)
#endif
#ifndef GetPrivateProfileSection
#define GetPrivateProfileSection ZIDEVUV10_AW(GetPrivateProfileSection)
#endif
#ifndef GetProfileSection
#define GetProfileSection ZIDEVUV10_AW(GetProfileSection)
#endif
#ifndef GetPrivateProfileSectionNames
#define GetPrivateProfileSectionNames ZIDEVUV10_AW(GetPrivateProfileSectionNames)
#endif
#ifndef WritePrivateProfileString
#define WritePrivateProfileString ZIDEVUV10_AW(WritePrivateProfileString)
#endif
#ifndef WriteProfileString
#define WriteProfileString ZIDEVUV10_AW(WriteProfileString)
#endif
#ifndef WritePrivateProfileSection
#define WritePrivateProfileSection ZIDEVUV10_AW(WritePrivateProfileSection)
#endif
#ifndef WriteProfileSection
#define WriteProfileSection ZIDEVUV10_AW(WriteProfileSection)
#endif
#ifndef GetPrivateProfileStruct
#define GetPrivateProfileStruct ZIDEVUV10_AW(GetPrivateProfileStruct)
#endif
#ifndef WritePrivateProfileStruct
#define WritePrivateProfileStruct ZIDEVUV10_AW(WritePrivateProfileStruct)
#endif
#ifndef GetWindowsDirectory
#define GetWindowsDirectory ZIDEVUV10_AW(GetWindowsDirectory)
#endif

/* Where wchar_t is 16 bits, C++ code passes wchar_t text to the W functions
 * (in C, wchar_t and char16_t are then the same type). */
#if defined(__cplusplus) && defined(__SIZEOF_WCHAR_T__) && __SIZEOF_WCHAR_T__ == 2
inline const char16_t* zidevuv10_u16(const wchar_t* s) {
  return reinterpret_cast<const char16_t*>(s);
}
inline char16_t* zidevuv10_u16(wchar_t* s) { return reinterpret_cast<char16_t*>(s); }
inline uint32_t GetPrivateProfileStringW(const wchar_t* section, const wchar_t* key,
                                         const wchar_t* default_value, wchar_t* buffer,
                                         uint32_t size, const wchar_t* file) {
  return GetPrivateProfileStringW(zidevuv10_u16(section), zidevuv10_u16(key),
                                  zidevuv10_u16(default_value), zidevuv10_u16(buffer), size,
                                  zidevuv10_u16(file));
}
inline uint32_t GetProfileStringW(const wchar_t* section, const wchar_t* key,
                                  const wchar_t* default_value, wchar_t* buffer, uint32_t size) {
  return GetProfileStringW(zidevuv10_u16(section), zidevuv10_u16(key),
                           zidevuv10_u16(default_value), zidevuv10_u16(buffer), size);
}
inline uint32_t GetPrivateProfileIntW(const wchar_t* section, const wchar_t* key,
                                      int32_t default_value, const wchar_t* file) {
  return GetPrivateProfileIntW(zidevuv10_u16(section), zidevuv10_u16(key), default_value,
                               zidevuv10_u16(file));
}
inline uint32_t GetProfileIntW(const wchar_t* section, const wchar_t* key, int32_t default_value) {
  return GetProfileIntW(zidevuv10_u16(section), zidevuv10_u16(key), default_value);
}
inline uint32_t GetPrivateProfileSectionW(const wchar_t* section, wchar_t* buffer, uint32_t size,
                                          const wchar_t* file) {
  return GetPrivateProfileSectionW(zidevuv10_u16(section), zidevuv10_u16(buffer), size,
                                   zidevuv10_u16(file));
}
inline uint32_t GetProfileSectionW(const wchar_t* section, wchar_t* buffer, uint32_t size) {
  return GetProfileSectionW(zidevuv10_u16(section), zidevuv10_u16(buffer), size);
}
inline uint32_t GetPrivateProfileSectionNamesW(wchar_t* buffer, uint32_t size,
                                               const wchar_t* file) {
  return GetPrivateProfileSectionNamesW(zidevuv10_u16(buffer), size, zidevuv10_u16(file));
}
inline int32_t WritePrivateProfileStringW(const wchar_t* section, const wchar_t* key,
                                          const wchar_t* value, const wchar_t* file) {
  return WritePrivateProfileStringW(zidevuv10_u16(section), zidevuv10_u16(key),
                                    zidevuv10_u16(value), zidevuv10_u16(file));
}
inline int32_t WriteProfileStringW(const wchar_t* section, const wchar_t* key,
                                   const wchar_t* value) {
  return WriteProfileStringW(zidevuv10_u16(section), zidevuv10_u16(key), zidevuv10_u16(value));
}
inline int32_t WritePrivateProfileSectionW(const wchar_t* section, const wchar_t* entries,
                                           const wchar_t* file) {
  return WritePrivateProfileSectionW(zidevuv10_u16(section), zidevuv10_u16(entries),
                                     zidevuv10_u16(file));
}
inline int32_t WriteProfileSectionW(const wchar_t* section, const wchar_t* entries) {
  return WriteProfileSectionW(zidevuv10_u16(section), zidevuv10_u16(entries));
}
inline uint32_t GetWindowsDirectoryW(wchar_t* buffer, uint32_t size) {
  return GetWindowsDirectoryW(zidevuv10_u16(buffer), size);
}
inline int32_t GetPrivateProfileStructW(const wchar_t* section, const wchar_t* key, void* data,
                                        uint32_t size, const wchar_t* file) {
  return GetPrivateProfileStructW(zidevuv10_u16(section), zidevuv10_u16(key), data, size,
                                  zidevuv10_u16(file));
}
inline int32_t WritePrivateProfileStructW(const wchar_t* section, const wchar_t* key,
                                          const void* data, uint32_t size, const wchar_t* file) {
  return WritePrivateProfileStructW(zidevuv10_u16(section), zidevuv10_u16(key), data, size,
                                    zidevuv10_u16(file));
}
#endif

#ifdef ZIDEVUV10_WINPORT
#include "zidevuv10/winport.h"
#endif
