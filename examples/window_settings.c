/* The settings code of a Windows program, as it was written for Windows:
 * the main window's position kept as a structure, a colour and a title
 * kept as text, and GetLastError() reported when something is missing or
 * refused. The same text builds with and without UNICODE and leaves the
 * same file. Usage: window_settings FOLDER */
#include <stdio.h>
#include <string.h>

#include "zidevuv10/winprofile.h"

typedef struct {
  INT left, top, right, bottom;
  BOOL maximized;
} WINDOW_STATE;

static TCHAR iniFile[MAX_PATH];

/* The file's name in this build's text width (ASCII folder names only). */
static BOOL setIniFile(const char* folder) {
  const char* name = "/window_settings.ini";
  size_t n = strlen(folder), m = strlen(name), i;
  if (n + m >= MAX_PATH) return FALSE;
  for (i = 0; i < n; i++) iniFile[i] = (TCHAR)folder[i];
  for (i = 0; i <= m; i++) iniFile[n + i] = (TCHAR)name[i];
  return TRUE;
}

static void loadWindowState(WINDOW_STATE* state) {
  if (!GetPrivateProfileStruct(TEXT("Window"), TEXT("Placement"), state, sizeof *state,
                               iniFile)) {
    printf("no saved placement (last error %u); using the default\n", (unsigned)GetLastError());
    state->left = 100;
    state->top = 100;
    state->right = 740;
    state->bottom = 580;
    state->maximized = FALSE;
  }
}

/* The file's name as the C library takes it. */
static const char* narrowName(void) {
  static char path[MAX_PATH];
  size_t i;
  for (i = 0; (path[i] = (char)iniFile[i]) != 0; i++) continue;
  return path;
}

static void printFile(void) {
  FILE* f = fopen(narrowName(), "rb");
  char bytes[1024];
  size_t n = f ? fread(bytes, 1, sizeof bytes, f) : 0;
  if (f) fclose(f);
  fwrite(bytes, 1, n, stdout);
}

int main(int argc, char** argv) {
  WINDOW_STATE state;
  TCHAR title[64];
  DWORD length;
  UINT background;

  if (argc != 2 || !setIniFile(argv[1])) {
    fprintf(stderr, "usage: window_settings FOLDER\n");
    return 2;
  }
  remove(narrowName());

  /* First run: nothing saved yet. */
  loadWindowState(&state);
  length = GetPrivateProfileString(TEXT("Window"), TEXT("Title"), TEXT("Untitled"), title,
                                   sizeof title / sizeof title[0], iniFile);
  printf("title of %u characters, last error %u\n", (unsigned)length, (unsigned)GetLastError());

  /* The user moved the window; the program saves its settings. */
  state.left = 20;
  state.top = 40;
  state.right = 1044;
  state.bottom = 808;
  if (!WritePrivateProfileStruct(TEXT("Window"), TEXT("Placement"), &state, sizeof state,
                                 iniFile) ||
      !WritePrivateProfileString(TEXT("Window"), TEXT("Title"), TEXT("Main window"), iniFile) ||
      !WritePrivateProfileString(TEXT("Colors"), TEXT("Background"), TEXT("0xFFFFFF"), iniFile)) {
    printf("saving failed: last error %u\n", (unsigned)GetLastError());
    return 1;
  }

  /* Next run: everything comes back. */
  memset(&state, 0, sizeof state);
  loadWindowState(&state);
  printf("window at %d,%d to %d,%d, maximized %d\n", state.left, state.top, state.right,
         state.bottom, state.maximized);
  length = GetPrivateProfileString(TEXT("Window"), TEXT("Title"), TEXT("Untitled"), title,
                                   sizeof title / sizeof title[0], iniFile);
  printf("title of %u characters\n", (unsigned)length);
  background = GetPrivateProfileInt(TEXT("Colors"), TEXT("Background"), 0, iniFile);
  printf("background colour %06X\n", background);

  /* A structure of another size does not match what was saved. */
  {
    BYTE small[4];
    BOOL ok = GetPrivateProfileStruct(TEXT("Window"), TEXT("Placement"), small, sizeof small,
                                      iniFile);
    printf("read as 4 bytes: %d, last error %u\n", ok, (unsigned)GetLastError());
  }
  /* A title with a line end would add a line nobody asked for. */
  {
    BOOL ok = WritePrivateProfileString(TEXT("Window"), TEXT("Title"), TEXT("two\r\nlines"),
                                        iniFile);
    printf("title with a line end: %d, last error %u\n", ok, (unsigned)GetLastError());
  }
  printFile();

  /* Forgetting the placement deletes the key. */
  WritePrivateProfileStruct(TEXT("Window"), TEXT("Placement"), NULL, 0, iniFile);
  loadWindowState(&state);
  return 0;
}
