// Fuzz target for the profile store's parser and writer.
//
// Input: two bytes (little endian) giving the length of the file's bytes,
// those bytes, then a script of operations read one byte at a time. The
// file is written to a scratch folder and the script runs reads and writes
// on it through one ProfileStore. Checked on every step:
//  - a read never reports more than it may place (count < buffer size, 0 for
//    an empty buffer), ends the answer with a NUL, and writes nothing past
//    the buffer (a guard region follows every buffer);
//  - a successful writeString(section, key, value) reads back as the value
//    trimmed of blanks and without one pair of matching quotes;
//  - a fresh ProfileStore reading the file from disk answers exactly as the
//    store that wrote it (nothing stale in the writer's cache).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "store/profile_store.h"

namespace {

using zidevuv10::fuzz::Bytes;
using zidevuv10::store::OptText;
using zidevuv10::store::ProfileStore;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "store_fuzz: invariant broken: %s\n", what);
  std::abort();
}

constexpr bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}
std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}
std::string_view unquoted(std::string_view s) {
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
    return s.substr(1, s.size() - 2);
  }
  return s;
}

constexpr std::string_view kPool[] = {
    "",      " ",     "sec",      "Sec",     " sec ",  "key",    "KEY",   "k",
    "\"v\"", "'v'",   ";c",       "[x]",     "a=b",    "\xc3\xa9", "\xff", std::string_view("x\0y", 3),
    "v",     "  v  ", "\"a\" b",  "\"",      "=",      "x]",     "]",     "[",
};

// A buffer with a guard region behind it.
class GuardedBuffer {
 public:
  explicit GuardedBuffer(std::size_t size) : size_(size), bytes_(size + kGuard, kFill) {}
  std::span<char> span() { return std::span<char>(bytes_.data(), size_); }
  std::string_view answer(uint32_t count) const { return std::string_view(bytes_.data(), count); }
  // The common rules for every read answer.
  void check(uint32_t count, bool listing, bool answered = true) const {
    for (std::size_t i = size_; i < bytes_.size(); ++i) {
      if (bytes_[i] != kFill) fail("write past the end of the buffer");
    }
    if (size_ == 0) {
      if (count != 0) fail("nonzero count for an empty buffer");
      return;
    }
    if (count >= size_) fail("count not below the buffer size");
    if (!answered) {
      if (count != 0) fail("nonzero count without an answer");
      return;
    }
    if (bytes_[count] != '\0') fail("answer not ended by NUL");
    // A listing ends with an empty item: NUL after the count's last NUL.
    if (listing && count > 0 && bytes_[count - 1] != '\0' && count + 1 < size_ &&
        bytes_[count + 1] != '\0') {
      fail("listing not ended by two NULs");
    }
  }

 private:
  static constexpr std::size_t kGuard = 32;
  static constexpr char kFill = '\x5a';
  std::size_t size_;
  std::vector<char> bytes_;
};

class Session {
 public:
  Session(Bytes script, std::string_view fileBytes, std::string primary, std::string folder)
      : in_(script), fileBytes_(fileBytes), primary_(std::move(primary)), folder_(std::move(folder)) {
    files_ = {primary_, folder_ + "/F.INI", "sub.ini", "C:\\WINDOWS\\SUB.INI", folder_ + "/none/x.ini",
              folder_};
  }

  void run() {
    for (int step = 0; step < 24 && !in_.empty(); ++step) {
      switch (in_.byte() % 8) {
        case 0: readString(); break;
        case 1: store_.getInt(text(), text(), static_cast<int32_t>(in_.u32()), file()); break;
        case 2: readSection(); break;
        case 3: readNames(); break;
        case 4:
        case 5: writeString(); break;
        case 6: writeSection(); break;
        case 7: compareWithFresh(primary_); break;
      }
    }
    compareWithFresh(primary_);
  }

 private:
  OptText text() {
    const uint8_t sel = in_.byte();
    switch (sel % 8) {
      case 0: return std::nullopt;
      case 1:
      case 2: return kPool[in_.byte() % std::size(kPool)];
      case 3:
      case 4: {
        // A piece of the file: likely a name that is in it.
        if (fileBytes_.empty()) return std::string_view();
        const std::size_t at = in_.u16() % fileBytes_.size();
        return fileBytes_.substr(at, in_.byte() % 16);
      }
      default: return in_.take(in_.byte() % 24);
    }
  }
  // Like text(), but seldom absent: absent names and values ask for other operations.
  OptText presentText() {
    OptText t = text();
    if (!t && (in_.byte() & 3) != 0) return kPool[2];
    return t;
  }
  OptText file() {
    const uint8_t sel = in_.byte();
    if (sel < 200) return primary_;
    if (sel == 255) return std::nullopt;  // WIN.INI, on the scratch drive C
    return files_[sel % files_.size()];
  }
  std::size_t bufferSize() {
    static constexpr std::size_t kSizes[] = {0, 1, 2, 3, 4, 5, 8, 16, 64, 4096};
    const uint8_t sel = in_.byte();
    return sel < 160 ? kSizes[sel % std::size(kSizes)] : sel - 160u;
  }

  void readString() {
    const OptText section = text(), key = text(), def = text();
    GuardedBuffer b(bufferSize());
    const uint32_t n = store_.getString(section, key, def, b.span(), file());
    b.check(n, !section);  // without a key, a missing section answers the default
  }
  void readSection() {
    const OptText section = text();
    GuardedBuffer b(bufferSize());
    const uint32_t n = store_.getSection(section, b.span(), file());
    // Without a section there is no answer: the buffer is left alone.
    b.check(n, true, section.has_value());
  }
  void readNames() {
    GuardedBuffer b(bufferSize());
    const uint32_t n = store_.getSectionNames(b.span(), file());
    b.check(n, true);
  }

  void writeString() {
    const OptText section = presentText(), key = presentText(), value = presentText();
    const OptText f = file();
    if (store_.writeString(section, key, value, f) == 0 || !section || !key || !value) return;
    const std::string_view s = trimmed(*section), k = trimmed(*key);
    if (s.empty() || k.empty() || k.front() == ';') return;
    const std::string_view expected = unquoted(trimmed(*value));
    GuardedBuffer b(expected.size() + 2);
    const uint32_t n = store_.getString(section, key, "\x01missing", b.span(), f);
    b.check(n, false);
    if (b.answer(n) != expected) {
      std::fprintf(stderr, "section [%.*s] key [%.*s] value [%.*s] read back [%.*s]\n",
                   int(section->size()), section->data(), int(key->size()), key->data(),
                   int(value->size()), value->data(), int(n), b.answer(n).data());
      fail("written value does not read back");
    }
    if (f) compareWithFresh(std::string(*f));
  }
  void writeSection() {
    const OptText section = presentText();
    // Entries: a few texts joined with NULs.
    std::string entries;
    const int count = in_.byte() % 5;
    for (int i = 0; i < count; ++i) {
      const OptText t = text();
      if (t) entries.append(*t);
      entries.push_back(in_.byte() & 1 ? '=' : '\0');
      if (const OptText v = text()) entries.append(*v);
      entries.push_back('\0');
    }
    const bool absent = count == 0 && (in_.byte() & 1);
    store_.writeSection(section, absent ? OptText() : OptText(entries), file());
  }

  // The writer's answers against a store that has never seen the file.
  void compareWithFresh(const std::string& f) {
    ProfileStore fresh;
    std::vector<char> mine(1 << 16), theirs(1 << 16);
    const uint32_t n1 = store_.getSectionNames(mine, f);
    const uint32_t n2 = fresh.getSectionNames(theirs, f);
    const std::string names(mine.data(), n1);
    if (names != std::string_view(theirs.data(), n2)) fail("section names differ from a fresh read");
    std::size_t pos = 0;
    for (int i = 0; i < 8 && pos < names.size(); ++i) {
      const std::size_t end = names.find('\0', pos);
      const std::string name = names.substr(pos, end - pos);
      pos = end == std::string::npos ? names.size() : end + 1;
      const uint32_t e1 = store_.getSection(name, mine, f);
      const uint32_t e2 = fresh.getSection(name, theirs, f);
      if (std::string_view(mine.data(), e1) != std::string_view(theirs.data(), e2)) {
        fail("section entries differ from a fresh read");
      }
      const uint32_t k1 = store_.getString(name, std::nullopt, "", mine, f);
      const uint32_t k2 = fresh.getString(name, std::nullopt, "", theirs, f);
      if (std::string_view(mine.data(), k1) != std::string_view(theirs.data(), k2)) {
        fail("key names differ from a fresh read");
      }
    }
  }

  Bytes in_;
  std::string_view fileBytes_;
  std::string primary_;
  std::string folder_;
  std::vector<std::string> files_;
  ProfileStore store_;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const auto& folder = zidevuv10::fuzz::scratchFolder("store");
  // Drive C (and with it WIN.INI and the Windows directory) inside the scratch folder.
  setenv("ZIDEVUV10_DRIVE_C", (folder / "c").c_str(), 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const std::string folder = [] {
    int argc = 0;
    char** argv = nullptr;
    LLVMFuzzerInitialize(&argc, &argv);
    return zidevuv10::fuzz::scratchFolder("store").string();
  }();
  Bytes in(data, size);
  const std::size_t length = in.u16();
  const std::string_view fileBytes = in.take(length);
  const std::string primary = folder + "/f.ini";
  const uint8_t mode = in.byte();
  std::error_code ec;
  std::filesystem::remove_all(folder + "/c", ec);
  std::filesystem::remove(folder + "/F.INI", ec);
  if (mode & 1) {
    std::filesystem::remove(primary, ec);
  } else {
    std::ofstream(primary, std::ios::binary | std::ios::trunc)
        .write(fileBytes.data(), static_cast<std::streamsize>(fileBytes.size()));
  }
  Session(in, fileBytes, primary, folder).run();
  return 0;
}
