/* A C client built only from `pkg-config --cflags --libs zidevuv10` (or zidevuv10-profile): writes
 * and reads back one value through the C profile functions and compares
 * version.h's version with the one pkg-config reports.
 * Usage: pkgconfig_check FOLDER PKG_CONFIG_VERSION; exits 1 on a mismatch. */
#include <stdio.h>
#include <string.h>

#include "zidevuv10/profile.h"
#include "zidevuv10/version.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s FOLDER PKG_CONFIG_VERSION\n", argv[0]);
    return 2;
  }
  int failures = 0;
  if (strcmp(argv[2], ZIDEVUV10_VERSION_STRING) != 0) {
    fprintf(stderr, "pkgconfig_check: pkg-config says %s, version.h says %s\n", argv[2],
            ZIDEVUV10_VERSION_STRING);
    failures++;
  }
  char file[4096];
  snprintf(file, sizeof file, "%s/pkgconfig_check.ini", argv[1]);
  if (!WritePrivateProfileStringA("Check", "answer", "42", file)) {
    fprintf(stderr, "pkgconfig_check: the write to %s failed\n", file);
    return 1;
  }
  char value[64];
  GetPrivateProfileStringA("Check", "answer", "", value, sizeof value, file);
  if (strcmp(value, "42") != 0) {
    fprintf(stderr, "pkgconfig_check: read back \"%s\", expected \"42\"\n", value);
    failures++;
  }
  if (remove(file) != 0) {
    perror("pkgconfig_check: remove");
    failures++;
  }
  printf("pkgconfig_check: zidevuv10 %s, [Check] answer=%s\n", ZIDEVUV10_VERSION_STRING, value);
  return failures == 0 ? 0 : 1;
}
