/* Checks the exported C functions through the shared object, as a C client
 * links them: a write creates the file in the Windows form, reads, lists and
 * counts come back, and only the profile functions are visible.
 * Built once per shared object, ZIDEVUV10_SONAME naming it.
 * Usage: c_interface_check FOLDER */
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "zidevuv10/profile.h"

static int failures = 0;

#define CHECK(cond)                                                   \
  do {                                                                \
    if (!(cond)) {                                                    \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      failures++;                                                     \
    }                                                                 \
  } while (0)

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  char file[4096];
  /* One file per shared object: the checks of both may run at once. */
  snprintf(file, sizeof file, "%s/c_interface_check-%s.ini", argv[1], ZIDEVUV10_SONAME);
  remove(file);

  CHECK(WritePrivateProfileStringA("App", "key", "string", file) != 0);
  CHECK(WritePrivateProfileStringA("App", "other", "2", file) != 0);

  FILE* f = fopen(file, "rb");
  char bytes[256] = {0};
  size_t n = f ? fread(bytes, 1, sizeof bytes - 1, f) : 0;
  if (f) fclose(f);
  CHECK(n == strlen("[App]\nkey=string\nother=2\n"));
  CHECK(strcmp(bytes, "[App]\nkey=string\nother=2\n") == 0);

  char buf[64];
  CHECK(GetPrivateProfileStringA("app", "KEY", "d", buf, sizeof buf, file) == 6);
  CHECK(strcmp(buf, "string") == 0);
  CHECK(GetPrivateProfileStringA("App", NULL, "", buf, sizeof buf, file) == 10);
  CHECK(memcmp(buf, "key\0other\0\0", 11) == 0);
  CHECK(GetPrivateProfileIntA("App", "other", 7, file) == 2);
  CHECK(GetPrivateProfileStringA("App", "missing", "dflt  ", buf, sizeof buf, file) == 4);
  CHECK(strcmp(buf, "dflt") == 0);
  /* The wide forms take C11 char16_t text. */
  char16_t wfile[4096];
  size_t i;
  for (i = 0; (wfile[i] = (char16_t)(unsigned char)file[i]) != 0; i++) continue;
  char16_t wbuf[64];
  CHECK(GetPrivateProfileStringW(u"APP", u"key", u"d", wbuf, 64, wfile) == 6);
  CHECK(memcmp(wbuf, u"string", 7 * sizeof(char16_t)) == 0);
  CHECK(GetPrivateProfileStringA("App", "missing", "d", buf, sizeof buf, "/nonexistent/x.ini") == 1);
  CHECK(GetLastError() == 2);
  CHECK(GetWindowsDirectoryA(buf, sizeof buf) == 10);
  CHECK(strcmp(buf, "C:\\WINDOWS") == 0);

  /* Internal C++ symbols stay hidden (the store the C functions use). */
  void* self = dlopen(ZIDEVUV10_SONAME, RTLD_NOW | RTLD_NOLOAD);
  CHECK(self != NULL);
  if (self) {
    CHECK(dlsym(self, "GetPrivateProfileStringA") != NULL);
    /* The file and module functions of winport.h come with them. */
    CHECK(dlsym(self, "GetModuleFileNameW") != NULL);
    CHECK(dlsym(self, "zidevuv10_vswprintf") != NULL);
    CHECK(dlsym(self, "_ZN9zidevuv108services5storeEv") == NULL);
    dlclose(self);
  }
  remove(file);
  if (failures == 0) printf("c_interface_check: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
