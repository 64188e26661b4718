// A settings module as Windows programs write it: the settings file lies
// beside the program, found through GetModuleFileName; a window rectangle is
// kept as a structure, a cache folder is made next to it, and text is
// formatted with the Windows helpers. It compiles unchanged against the
// porting header, narrow or with UNICODE (then with 16-bit wchar_t, so
// that L"..." text reaches the W functions), and prints the same either way.
#define ZIDEVUV10_WINPORT
#include "zidevuv10/winprofile.h"

#include <stdio.h>

static TCHAR g_iniPath[MAX_PATH];

// ASCII text of either width as narrow text, for printing.
static void ToNarrow(const TCHAR* text, char* out, size_t size) {
  size_t i = 0;
  for (; text[i] != 0 && i + 1 < size; ++i) out[i] = (char)text[i];
  out[i] = 0;
}

static size_t Length(const TCHAR* text) {
  size_t n = 0;
  while (text[n] != 0) ++n;
  return n;
}

// "<program>.ini" beside the program.
static BOOL BuildIniPath(void) {
  const DWORD n = GetModuleFileName(GetModuleHandle(NULL), g_iniPath, _countof(g_iniPath));
  if (n == 0 || n + 5 > _countof(g_iniPath)) return FALSE;
  const TCHAR ext[] = TEXT(".ini");
  for (size_t i = 0; i < _countof(ext); ++i) g_iniPath[n + i] = ext[i];
  return TRUE;
}

static void SaveSettings(void) {
  RECT window = {10, 20, 650, 500};
  WritePrivateProfileStruct(TEXT("Window"), TEXT("Rect"), &window, sizeof window, g_iniPath);
  TCHAR number[16];
  wsprintf(number, TEXT("%d"), 3);
  WritePrivateProfileString(TEXT("Window"), TEXT("Monitor"), number, g_iniPath);
  WritePrivateProfileString(TEXT("Paths"), TEXT("Mode"), TEXT("Fast"), g_iniPath);
}

int main(void) {
  if (!BuildIniPath()) return 1;
  printf("settings path is a Windows path: %s\n",
         g_iniPath[1] == ':' && g_iniPath[2] == '\\' ? "yes" : "no");
  // A fresh start: whatever an earlier run left goes.
  if (GetFileAttributes(g_iniPath) != INVALID_FILE_ATTRIBUTES) {
    WritePrivateProfileString(TEXT("Window"), NULL, NULL, g_iniPath);
    WritePrivateProfileString(TEXT("Paths"), NULL, NULL, g_iniPath);
  }
  SaveSettings();
  const DWORD attributes = GetFileAttributes(g_iniPath);
  printf("settings file beside the program: %s\n",
         attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)
             ? "yes" : "no");

  RECT window;
  if (GetPrivateProfileStruct(TEXT("Window"), TEXT("Rect"), &window, sizeof window, g_iniPath)) {
    printf("window: %ld,%ld %ldx%ld\n", (long)window.left, (long)window.top,
           (long)(window.right - window.left), (long)(window.bottom - window.top));
  }
  const WORD monitor = (WORD)GetPrivateProfileInt(TEXT("Window"), TEXT("Monitor"), 0, g_iniPath);
  printf("monitor: %u\n", (unsigned)monitor);

  TCHAR value[32];
  char mode[32];
  GetPrivateProfileString(TEXT("Paths"), TEXT("Mode"), TEXT("Slow"), value, _countof(value),
                          g_iniPath);
  ToNarrow(value, mode, sizeof mode);
  printf("fast mode: %s\n", _stricmp(mode, "FAST") == 0 ? "on" : "off");

  // A cache folder beside the settings file.
  TCHAR cache[MAX_PATH];
#ifdef UNICODE
  if (swprintf_s(cache, L"%s.cache", g_iniPath) < 0) return 1;
#else
  if (_snprintf(cache, _countof(cache), "%s.cache", g_iniPath) >= (int)_countof(cache)) return 1;
#endif
  const BOOL made = CreateDirectory(cache, NULL);
  printf("cache folder: %s\n", made || GetLastError() == ERROR_ALREADY_EXISTS ? "ready" : "failed");
  printf("cache is a folder: %s\n",
         (GetFileAttributes(cache) & FILE_ATTRIBUTE_DIRECTORY) ? "yes" : "no");
  printf("cache name length: %s\n",
         Length(cache) == Length(g_iniPath) + 6 ? "settings path + 6" : "wrong");

  char line[8];
  if (sprintf_s(line, "%s-%d", "done", 1) < 0) return 1;
  printf("%s, ", line);
  printf("too long: %d\n", sprintf_s(line, "%s", "longer than eight"));
  TCHAR small[4];
  printf("short buffer: %s\n",
         GetModuleFileName(NULL, small, _countof(small)) == _countof(small) &&
                 GetLastError() == ERROR_INSUFFICIENT_BUFFER && small[3] == 0
             ? "cut"
             : "wrong");
  printf("other module: %s\n",
         GetModuleHandle(TEXT("other.dll")) == NULL && GetLastError() == ERROR_MOD_NOT_FOUND
             ? "not found"
             : "wrong");
  return 0;
}
