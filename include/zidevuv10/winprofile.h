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
 * WCHAR is char16_t (UTF-16, as on Windows), not wchar_t: in C, UNICODE
 * text literals are u"..." literals. DWORD is 32 bits wide, as on Windows. */
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
typedef char16_t WCHAR;
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
#ifdef UNICODE
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
