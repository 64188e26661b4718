/* One lookup through the library, as a C client makes it: the shared
 * library is loaded at start, GetPrivateProfileStringA reads one value, the
 * program prints it and ends.
 * Usage: one_lookup FILE SECTION KEY */
#include <stdio.h>

#include "zidevuv10/profile.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  char value[256];
  GetPrivateProfileStringA(argv[2], argv[3], "", value, sizeof value, argv[1]);
  puts(value);
  return 0;
}
