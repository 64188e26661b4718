// The floor of the C++ start-up case: a plain C++ program (the C++ runtime
// loaded, no library of ours) that reads an INI file with std::ifstream and
// prints the value of one key of one section, as a one-lookup client would.
// Usage: plain_read_cpp FILE SECTION KEY
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  std::ifstream in(argv[1]);
  if (!in) return 1;
  const std::string section = argv[2];
  const std::string prefix = std::string(argv[3]) + "=";
  std::string line;
  std::string current;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      current = line.substr(1, line.find(']') - 1);
    } else if (current == section && line.compare(0, prefix.size(), prefix) == 0) {
      std::cout << line.substr(prefix.size()) << '\n';
      return 0;
    }
  }
  return 1;
}
