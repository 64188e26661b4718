// Pieces both fuzz targets share: a reader that takes bytes off the front of
// the input (running dry gives zeros, never an error), the per-process
// scratch folder, and, with ZIDEVUV10_FUZZ_REPLAY, a main() that feeds every
// file of the folders (or files) named on the command line to the target,
// so the seed corpora run as ordinary tests without libFuzzer.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zidevuv10::fuzz {

class Bytes {
 public:
  Bytes(const uint8_t* data, std::size_t size) : p_(data), n_(size) {}
  bool empty() const { return n_ == 0; }
  std::size_t left() const { return n_; }
  uint8_t byte() {
    if (n_ == 0) return 0;
    --n_;
    return *p_++;
  }
  uint16_t u16() { return static_cast<uint16_t>(byte() | (byte() << 8)); }
  uint32_t u32() { return static_cast<uint32_t>(u16()) | (static_cast<uint32_t>(u16()) << 16); }
  // Up to n bytes, fewer when the input runs out.
  std::string_view take(std::size_t n) {
    n = std::min(n, n_);
    std::string_view s(reinterpret_cast<const char*>(p_), n);
    p_ += n;
    n_ -= n;
    return s;
  }

 private:
  const uint8_t* p_;
  std::size_t n_;
};

// A scratch folder of this process under /tmp, removed at exit. The path
// is never destroyed, so the exit handler can still use it.
inline const std::filesystem::path& scratchFolder(const char* name) {
  static const std::filesystem::path* const folder = [name] {
    auto* p = new std::filesystem::path(std::filesystem::temp_directory_path() /
                                        ("zidevuv10-fuzz-" + std::string(name) + "-" +
                                         std::to_string(getpid())));
    std::filesystem::remove_all(*p);
    std::filesystem::create_directories(*p);
    return p;
  }();
  static const bool cleanup = [] {
    return std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(*folder, ec);
    }) == 0;
  }();
  (void)cleanup;
  return *folder;
}

}  // namespace zidevuv10::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

#ifdef ZIDEVUV10_FUZZ_REPLAY
#include <fstream>
#include <iterator>

int main(int argc, char** argv) {
  LLVMFuzzerInitialize(&argc, &argv);
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& e : std::filesystem::directory_iterator(arg)) {
        if (e.is_regular_file()) files.push_back(e.path());
      }
    } else {
      files.push_back(arg);
    }
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    std::fprintf(stderr, "no inputs\n");
    return 1;
  }
  for (const auto& f : files) {
    std::ifstream in(f, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::fprintf(stderr, "replay %s (%zu bytes)\n", f.filename().c_str(), bytes.size());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  std::fprintf(stderr, "%zu inputs replayed\n", files.size());
  return 0;
}
#endif
