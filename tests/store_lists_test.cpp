// The three list answers (key names, section names, a section's entries):
// what they contain, and how they and single values are cut to the caller's
// buffer at every size, without writing past it or splitting a character.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "support/test_files.h"
#include "zidevuv10/profile.h"

namespace {

using namespace std::string_literals;
using zidevuv10::testing::ScopedDriveC;
using zidevuv10::testing::TempDir;
using zidevuv10::testing::writeFile;

// Fills buffers before each call, so that every byte a call writes shows.
constexpr char kGuard = '\x7f';
constexpr uint32_t kGuardBytes = 8;

// A list as the API returns it: every item ended by a NUL, then one more NUL.
std::string joined(std::initializer_list<std::string_view> items) {
  std::string out;
  for (auto item : items) {
    out += item;
    out += '\0';
  }
  out += '\0';
  return out;
}

// A call that fills a buffer of the given size.
using Fill = std::function<uint32_t(char*, uint32_t)>;

struct Filled {
  std::vector<char> bytes;  // size + kGuardBytes bytes, guard where nothing was written
  uint32_t ret;
};

Filled fill(const Fill& call, uint32_t size) {
  Filled f{std::vector<char>(size + kGuardBytes, kGuard), 0};
  f.ret = call(f.bytes.data(), size);
  return f;
}

// The answer of a call with room to spare: the bytes through the final NUL
// of a list (ret + 1 bytes).
std::string listed(const Fill& call) {
  const Filled f = fill(call, 4096);
  return std::string(f.bytes.data(), f.ret + 1);
}

// The largest cut position at or before n that does not split a UTF-8 character.
std::size_t boundaryAtOrBefore(const std::string& s, std::size_t n) {
  while (n > 0 && n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return n;
}

enum class Kind { Value, List };

// Calls at every size from 0 to the full length + 3 and checks the cut:
// nothing at or beyond the size is touched; a value keeps the longest whole-
// character prefix that leaves room for its NUL; a list that does not fit
// (an exact fit included) keeps the longest whole-character prefix that
// leaves room for two NULs, and returns that prefix's length. A null buffer
// is a buffer of size 0 whatever size comes with it.
// `full` is the value's text, or the whole list with its final NUL.
void expectCutsAtEverySize(const Fill& call, const std::string& full, Kind kind) {
  for (uint32_t size = 0; size <= full.size() + 3; ++size) {
    SCOPED_TRACE("buffer size " + std::to_string(size));
    const Filled f = fill(call, size);
    const char* b = f.bytes.data();
    for (uint32_t i = size; i < size + kGuardBytes; ++i) {
      EXPECT_EQ(b[i], kGuard) << "byte " << i << " written beyond the buffer";
    }
    EXPECT_EQ(call(nullptr, size), 0u) << "null buffer";
    if (size == 0) {
      EXPECT_EQ(f.ret, 0u);
    } else if (kind == Kind::Value) {
      const std::size_t n = size > full.size() ? full.size() : boundaryAtOrBefore(full, size - 1);
      EXPECT_EQ(f.ret, n);
      EXPECT_EQ(std::string(b, n), full.substr(0, n));
      EXPECT_EQ(b[n], '\0');
    } else if (size > full.size()) {
      EXPECT_EQ(f.ret, full.size() - 1);
      EXPECT_EQ(std::string(b, full.size()), full);
    } else if (size == 1) {
      EXPECT_EQ(f.ret, 0u);
      EXPECT_EQ(b[0], '\0');
    } else {
      const std::size_t n = boundaryAtOrBefore(full, size - 2);
      EXPECT_EQ(f.ret, n);
      EXPECT_EQ(std::string(b, n), full.substr(0, n));
      EXPECT_EQ(b[n], '\0');
      EXPECT_EQ(b[n + 1], '\0');
    }
    if (::testing::Test::HasFailure()) return;  // one failing size is enough to read
  }
}

class StoreLists : public ::testing::Test {
 protected:
  std::string ini(const std::string& bytes) {
    const std::string path = dir_.file("f" + std::to_string(++count_) + ".ini");
    writeFile(path, bytes);
    return path;
  }

  static Fill keys(const char* section, const char* def, const std::string& file) {
    return [=](char* buf, uint32_t size) {
      return GetPrivateProfileStringA(section, nullptr, def, buf, size, file.c_str());
    };
  }
  static Fill value(const char* section, const char* key, const char* def,
                    const std::string& file) {
    return [=](char* buf, uint32_t size) {
      return GetPrivateProfileStringA(section, key, def, buf, size, file.c_str());
    };
  }
  static Fill names(const std::string& file) {
    return [=](char* buf, uint32_t size) {
      return GetPrivateProfileSectionNamesA(buf, size, file.c_str());
    };
  }
  // Section names through GetPrivateProfileStringA with no section.
  static Fill namesByString(const char* key, const std::string& file) {
    return [=](char* buf, uint32_t size) {
      return GetPrivateProfileStringA(nullptr, key, "def", buf, size, file.c_str());
    };
  }
  static Fill entries(const char* section, const std::string& file) {
    return [=](char* buf, uint32_t size) {
      return GetPrivateProfileSectionA(section, buf, size, file.c_str());
    };
  }

  ScopedDriveC drive_;
  TempDir dir_;
  int count_ = 0;
};

// The test file of the Windows examples.
const std::string kExample =
    "[section1]\n"
    "name1=val1\n"
    "name2=\n"
    "name3\n"
    "name4=val4\n"
    "[section2]\n"
    "=val5\n"
    "[section3]\n";

// Names and values with 2-, 3- and 4-byte UTF-8 characters.
const std::string kWide =
    "[ä]\n"
    "ä=é\n"
    "k€=€€x\n"
    "😀x=😀\n"
    "aé€😀=ü😀\n"
    "[k€]\n"
    "[😀x]\n"
    "[aé€😀]\n";

TEST_F(StoreLists, KeyListHoldsEntryNamesInFileOrder) {
  const std::string f = ini(
      "k0=before the first header\n"
      "[s]\n"
      "  b = 1\n"
      "a=2\n"
      "B=3\n"
      "a=4\n"
      ";c=5\n"
      "=v\n"
      "bare\n"
      "[broken\n"
      "#h=6\n"
      "\n"
      "[t]\n"
      "x=1\n"
      "[nokeys]\n"
      ";c=1\n"
      "=v\n"
      "bare\n"
      "[S]\n"
      "late=1\n");
  // Trimmed, duplicates kept, no comments, no "=value" lines, no lines
  // without '=', only the first [s].
  EXPECT_EQ(listed(keys("s", "def", f)), joined({"b", "a", "B", "a", "#h"}));
  EXPECT_EQ(listed(keys("T", "def", f)), joined({"x"}));
  // No keys to list: the default comes back as a plain value.
  EXPECT_EQ(listed(keys("nokeys", "def", f)), "def\0"s);
  EXPECT_EQ(listed(keys("missing", "def  ", f)), "def\0"s);
  EXPECT_EQ(listed(keys("s", "def", dir_.file("missing.ini"))), "def\0"s);
  EXPECT_EQ(listed(keys("missing", nullptr, f)), "\0"s);
}

TEST_F(StoreLists, SectionNamesInFileOrder) {
  const std::string f = ini(
      "k0=before\n"
      "[ section1 ]\n"
      "a=1\n"
      "[b]  tail\n"
      "[broken\n"
      "[section1]\n"
      "[x]y]\n"
      "[ inner  blanks ]\n");
  const std::string expected = joined({"section1", "b", "section1", "x]y", "inner  blanks"});
  EXPECT_EQ(listed(names(f)), expected);
  // Without a section GetPrivateProfileStringA lists the same, whatever the key.
  EXPECT_EQ(listed(namesByString(nullptr, f)), expected);
  EXPECT_EQ(listed(namesByString("a", f)), expected);
}

TEST_F(StoreLists, NoSectionNamesIsOneNulAndNoDefault) {
  const std::string withoutSections = ini("a=1\nb=2\n");
  for (const std::string& f : {dir_.file("missing.ini"), withoutSections}) {
    SCOPED_TRACE(f);
    for (const Fill& call : {names(f), namesByString("a", f)}) {
      const Filled r = fill(call, 16);
      EXPECT_EQ(r.ret, 0u);
      EXPECT_EQ(r.bytes[0], '\0');
      EXPECT_EQ(r.bytes[1], kGuard) << "buf[1] must stay untouched";
    }
  }
}

TEST_F(StoreLists, SectionEntriesAreTrimmedLinesWithQuotesKept) {
  const std::string f = ini(
      "[s]\n"
      "  name1 = val1 \n"
      "name2=\n"
      "\tname3 \n"
      " name4=\"val4\"\n"
      ";comment=1\n"
      "\n"
      "   \n"
      "=val5\n"
      "[broken\n"
      "key = a = b\n"
      "#h\n"
      "v='x' \n"
      "[t]\n"
      "x=1\n"
      "[empty]\n"
      "; only a comment\n"
      "\n"
      "[S]\n"
      "late=1\n");
  EXPECT_EQ(listed(entries("s", f)),
            joined({"name1=val1", "name2=", "name3", "name4=\"val4\"", "=val5", "[broken",
                    "key=a = b", "#h", "v='x'"}));
  EXPECT_EQ(listed(entries("T", f)), joined({"x=1"}));
}

TEST_F(StoreLists, NoSectionEntriesIsTwoNuls) {
  const std::string f = ini("[s]\na=1\n[empty]\n; only a comment\n\n");
  for (const char* section : {"missing", "empty"}) {
    SCOPED_TRACE(section);
    const Filled r = fill(entries(section, f), 16);
    EXPECT_EQ(r.ret, 0u);
    EXPECT_EQ(r.bytes[0], '\0');
    EXPECT_EQ(r.bytes[1], '\0');
  }
  const Filled missingFile = fill(entries("s", dir_.file("missing.ini")), 16);
  EXPECT_EQ(missingFile.ret, 0u);
  EXPECT_EQ(missingFile.bytes[0], '\0');
  EXPECT_EQ(missingFile.bytes[1], '\0');
  // The last error: 2 for a missing section (here of WIN.INI, a NULL file
  // name), 0 for a section found, even one without entries.
  std::filesystem::create_directories(drive_.windowsDir());
  zidevuv10::testing::writeFile(drive_.windowsDir() + "/WIN.INI", "[other]\na=1\n[empty]\n");
  char buf[16];
  SetLastError(99);
  EXPECT_EQ(GetPrivateProfileSectionA("section1", buf, sizeof buf, nullptr), 0u);
  EXPECT_EQ(GetLastError(), 2u);
  EXPECT_EQ(GetPrivateProfileSectionA("empty", buf, sizeof buf, nullptr), 0u);
  EXPECT_EQ(GetLastError(), 0u);
  // No section at all is refused.
  EXPECT_EQ(GetPrivateProfileSectionA(nullptr, buf, sizeof buf, f.c_str()), 0u);
}

TEST_F(StoreLists, WindowsExamplesOfCutLists) {
  const std::string f = ini(kExample);
  const Filled k = fill(keys("section1", "def", f), 16);
  EXPECT_EQ(k.ret, 14u);
  EXPECT_EQ(std::string(k.bytes.data(), 16), "name1\0name2\0na\0\0"s);
  EXPECT_EQ(listed(keys("section1", "def", f)), joined({"name1", "name2", "name4"}));
  EXPECT_EQ(fill(keys("section1", "def", f), 4096).ret, 18u);

  const Filled n16 = fill(names(f), 16);
  EXPECT_EQ(n16.ret, 14u);
  EXPECT_EQ(std::string(n16.bytes.data(), 16), "section1\0secti\0\0"s);
  // An exact fit (27 characters and the final NUL) still counts as cut.
  const Filled n28 = fill(names(f), 28);
  EXPECT_EQ(n28.ret, 26u);
  EXPECT_EQ(std::string(n28.bytes.data(), 28), "section1\0section2\0section3\0\0"s);
  const Filled n29 = fill(names(f), 29);
  EXPECT_EQ(n29.ret, 27u);
  EXPECT_EQ(std::string(n29.bytes.data(), 28), joined({"section1", "section2", "section3"}));

  const Filled e = fill(entries("section1", f), 24);
  EXPECT_EQ(e.ret, 22u);
  EXPECT_EQ(std::string(e.bytes.data(), 24), "name1=val1\0name2=\0name\0\0"s);
  EXPECT_EQ(fill(entries("section1", f), 4096).ret, 35u);
  EXPECT_EQ(listed(entries("section2", f)), "=val5\0\0"s);
  EXPECT_EQ(fill(entries("section2", f), 4096).ret, 6u);

  const Filled v4 = fill(value("section1", "name1", "def", f), 4);
  EXPECT_EQ(v4.ret, 3u);
  EXPECT_EQ(std::string(v4.bytes.data(), 4), "val\0"s);
}

TEST_F(StoreLists, KeyListIsCutRightAtEverySize) {
  const std::string f = ini(kExample);
  expectCutsAtEverySize(keys("section1", "def", f), joined({"name1", "name2", "name4"}),
                        Kind::List);
  const std::string w = ini(kWide);
  expectCutsAtEverySize(keys("ä", "def", w), joined({"ä", "k€", "😀x", "aé€😀"}), Kind::List);
  // The default that stands in for a missing list is cut as a value.
  expectCutsAtEverySize(keys("missing", "dé€😀ault", w), "dé€😀ault", Kind::Value);
}

TEST_F(StoreLists, SectionNamesAreCutRightAtEverySize) {
  const std::string f = ini(kExample);
  const std::string example = joined({"section1", "section2", "section3"});
  expectCutsAtEverySize(names(f), example, Kind::List);
  expectCutsAtEverySize(namesByString("name1", f), example, Kind::List);
  const std::string w = ini(kWide);
  const std::string wide = joined({"ä", "k€", "😀x", "aé€😀"});
  expectCutsAtEverySize(names(w), wide, Kind::List);
  expectCutsAtEverySize(namesByString(nullptr, w), wide, Kind::List);
}

TEST_F(StoreLists, SectionEntriesAreCutRightAtEverySize) {
  const std::string f = ini(kExample);
  expectCutsAtEverySize(entries("section1", f),
                        joined({"name1=val1", "name2=", "name3", "name4=val4"}), Kind::List);
  expectCutsAtEverySize(entries("section2", f), joined({"=val5"}), Kind::List);
  const std::string w = ini(kWide);
  expectCutsAtEverySize(entries("ä", w), joined({"ä=é", "k€=€€x", "😀x=😀", "aé€😀=ü😀"}),
                        Kind::List);
}

TEST_F(StoreLists, ValuesAreCutRightAtEverySize) {
  const std::string f = ini(kExample);
  expectCutsAtEverySize(value("section1", "name1", "def", f), "val1", Kind::Value);
  expectCutsAtEverySize(value("section1", "missing", "default  ", f), "default", Kind::Value);
  const std::string w = ini(kWide);
  expectCutsAtEverySize(value("ä", "aé€😀", "def", w), "ü😀", Kind::Value);
  expectCutsAtEverySize(value("ä", "k€", "def", w), "€€x", Kind::Value);
}

TEST_F(StoreLists, EmptyListsAtEverySize) {
  const std::string f = ini("[s]\n; nothing\n");
  for (uint32_t size = 0; size <= 4; ++size) {
    SCOPED_TRACE("buffer size " + std::to_string(size));
    // No section names: one NUL, nothing more.
    const Filled n = fill(names(dir_.file("missing.ini")), size);
    EXPECT_EQ(n.ret, 0u);
    for (uint32_t i = 0; i < size + kGuardBytes; ++i) {
      EXPECT_EQ(n.bytes[i], i == 0 && size > 0 ? '\0' : kGuard) << "byte " << i;
    }
    // No entries: two NULs where they fit.
    const Filled e = fill(entries("s", f), size);
    EXPECT_EQ(e.ret, 0u);
    for (uint32_t i = 0; i < size + kGuardBytes; ++i) {
      if (i < size && i < 2) {
        EXPECT_EQ(e.bytes[i], '\0') << "byte " << i;
      } else if (i >= size) {
        EXPECT_EQ(e.bytes[i], kGuard) << "byte " << i;
      }
    }
    EXPECT_EQ(names(dir_.file("missing.ini"))(nullptr, size), 0u);
    EXPECT_EQ(entries("s", f)(nullptr, size), 0u);
  }
}

}  // namespace
