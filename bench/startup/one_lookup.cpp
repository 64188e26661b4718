// One lookup from a C++ program that links zidevuv10.so: the library is
// loaded at start, GetPrivateProfileStringA reads one value, the program
// prints it with iostreams and ends.
// Usage: one_lookup_cpp FILE SECTION KEY
#include <iostream>

#include "zidevuv10/profile.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  char value[256];
  if (GetPrivateProfileStringA(argv[2], argv[3], "", value, sizeof value, argv[1]) == 0) return 1;
  std::cout << value << '\n';
  return 0;
}
