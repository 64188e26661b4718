/* Writes a setting into a copy of a sample settings file and reads the file
 * back through the C profile functions, the way a program ported from
 * Windows does. Usage: settings_roundtrip SAMPLE.ini WORK.ini */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "zidevuv10/profile.h"

static int copy_file(const char* from, const char* to) {
  FILE* in = fopen(from, "rb");
  if (!in) return -1;
  FILE* out = fopen(to, "wb");
  if (!out) {
    fclose(in);
    return -1;
  }
  char chunk[4096];
  size_t n;
  int rc = 0;
  while ((n = fread(chunk, 1, sizeof chunk, in)) > 0) {
    if (fwrite(chunk, 1, n, out) != n) rc = -1;
  }
  fclose(in);
  if (fclose(out) != 0) rc = -1;
  return rc;
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s SAMPLE.ini WORK.ini\n", argv[0]);
    return 2;
  }
  const char* work = argv[2];
  if (copy_file(argv[1], work) != 0) {
    fprintf(stderr, "settings_roundtrip: cannot copy %s to %s\n", argv[1], work);
    return 1;
  }
  if (!WritePrivateProfileStringA("Window", "Width", "1024", work)) {
    fprintf(stderr, "settings_roundtrip: the write to %s failed\n", work);
    return 1;
  }
  char names[1024];
  GetPrivateProfileSectionNamesA(names, sizeof names, work);
  for (const char* section = names; *section; section += strlen(section) + 1) {
    printf("[%s]\n", section);
    char entries[4096];
    GetPrivateProfileSectionA(section, entries, sizeof entries, work);
    for (const char* e = entries; *e; e += strlen(e) + 1) printf("%s\n", e);
  }
  printf("Window.Width as a number: %u\n", GetPrivateProfileIntA("Window", "Width", 0, work));
  return 0;
}
