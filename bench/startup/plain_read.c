/* The floor of start_bench: a plain C program that reads an INI file with
 * stdio and prints the value of one key of one section (names compared
 * without ASCII case), as a one-lookup client would.
 * Usage: plain_read FILE SECTION KEY */
#include <stdio.h>
#include <string.h>
#include <strings.h>

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  FILE* f = fopen(argv[1], "r");
  if (f == NULL) return 1;
  char line[4096];
  int inSection = 0;
  const size_t keyLength = strlen(argv[3]);
  while (fgets(line, sizeof line, f) != NULL) {
    line[strcspn(line, "\r\n")] = '\0';
    if (line[0] == '[') {
      char* end = strchr(line, ']');
      if (end != NULL) *end = '\0';
      inSection = strcasecmp(line + 1, argv[2]) == 0;
    } else if (inSection && strncasecmp(line, argv[3], keyLength) == 0 &&
               line[keyLength] == '=') {
      puts(line + keyLength + 1);
      break;
    }
  }
  fclose(f);
  return 0;
}
