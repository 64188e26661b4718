// The wide (UTF-16) C functions checked against the narrow ones on the same
// files: every read of a table, at every buffer size, and every write of a
// table must give the same answers, counts (in their own units), last
// errors and file bytes; text that is not Unicode is refused by both. Where a cut falls inside a character the forms
// differ by design; there the wide answer must be the longest prefix that
// keeps every surrogate pair whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "support/test_files.h"
#include "text/utf16.h"
#include "text/utf8.h"
#include "zidevuv10/profile.h"
#include "zidevuv10/winport.h"

namespace {

namespace zt = zidevuv10::testing;
using zidevuv10::text::utf8ToUtf16;

// A text in both forms; null for an absent argument.
struct Arg {
  const char* narrow = nullptr;
  const char16_t* wide = nullptr;
};
#define ARG(s) Arg{s, u"" s}
constexpr Arg kAbsent{};

// The UTF-16LE bytes of a file holding this text, with its mark.
std::string utf16File(std::u16string_view text) {
  std::string out("\xFF\xFE");
  for (const char16_t u : text) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  }
  return out;
}

#define FILE_TEXT                                                                        \
  "ignored=1\r\n[Sec]\nkey=value\nname=Größe 😀 end\r\n" \
  "q=\"quoted\"\n;c=1\nbare\n[Émoji 😀]\nk😀=😀" \
  "😀\n[Sec]\ndup=2\n=no key\n[]\nkey=empty section\n"

enum class Call { String, Section, Names, Int };

struct Read {
  Call call;
  Arg section, key, defaultValue;
  bool list = false;  // the answer is a list (else a value)
};

const std::vector<Read> kReads = {
    {Call::String, ARG("Sec"), ARG("key"), ARG("d")},
    {Call::String, ARG(" sec "), ARG("NAME"), ARG("d")},
    {Call::String, ARG("Sec"), ARG("q"), ARG("d")},
    {Call::String, ARG("Émoji 😀"), ARG("K😀"), ARG("d")},
    {Call::String, ARG("Sec"), ARG("missing"), ARG("'déf😀'  ")},
    {Call::String, ARG("Sec"), ARG("dup"), kAbsent},
    {Call::String, ARG("Sec"), kAbsent, ARG("d"), true},
    {Call::String, ARG("ÉMOJI 😀"), kAbsent, ARG("d"), true},
    {Call::String, ARG("None"), kAbsent, ARG("d😀")},
    {Call::String, kAbsent, ARG("ignored"), ARG("d"), true},
    {Call::Section, ARG("Sec"), kAbsent, kAbsent, true},
    {Call::Section, ARG("Émoji 😀"), kAbsent, kAbsent, true},
    {Call::Section, ARG("None"), kAbsent, kAbsent, true},
    {Call::Section, kAbsent, kAbsent, kAbsent, true},
    {Call::Names, kAbsent, kAbsent, kAbsent, true},
    {Call::Int, ARG("Sec"), ARG("dup"), kAbsent},
    {Call::Int, ARG("Sec"), ARG("missing"), kAbsent},
    {Call::String, ARG(""), ARG("key"), ARG("d")},
    {Call::String, ARG("Sec"), ARG(""), ARG("d")},
    {Call::Section, ARG(""), kAbsent, kAbsent, true},
};

constexpr std::size_t kRoom = 128;
constexpr char kCanary = '#';

struct NarrowResult {
  uint32_t count;
  uint32_t error;
  std::string buffer;
};
struct WideResult {
  uint32_t count;
  uint32_t error;
  std::u16string buffer;
};

NarrowResult readNarrow(const Read& r, uint32_t size, const char* file) {
  std::string buf(kRoom, kCanary);
  SetLastError(12345);
  uint32_t n = 0;
  switch (r.call) {
    case Call::String:
      n = GetPrivateProfileStringA(r.section.narrow, r.key.narrow, r.defaultValue.narrow,
                                   buf.data(), size, file);
      break;
    case Call::Section:
      n = GetPrivateProfileSectionA(r.section.narrow, buf.data(), size, file);
      break;
    case Call::Names:
      n = GetPrivateProfileSectionNamesA(buf.data(), size, file);
      break;
    case Call::Int:
      n = GetPrivateProfileIntA(r.section.narrow, r.key.narrow, 77, file);
      break;
  }
  return {n, GetLastError(), buf};
}

WideResult readWide(const Read& r, uint32_t size, const char16_t* file) {
  std::u16string buf(kRoom, char16_t(kCanary));
  SetLastError(12345);
  uint32_t n = 0;
  switch (r.call) {
    case Call::String:
      n = GetPrivateProfileStringW(r.section.wide, r.key.wide, r.defaultValue.wide, buf.data(),
                                   size, file);
      break;
    case Call::Section:
      n = GetPrivateProfileSectionW(r.section.wide, buf.data(), size, file);
      break;
    case Call::Names:
      n = GetPrivateProfileSectionNamesW(buf.data(), size, file);
      break;
    case Call::Int:
      n = GetPrivateProfileIntW(r.section.wide, r.key.wide, 77, file);
      break;
  }
  return {n, GetLastError(), buf};
}

bool isHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }

class StoreWide : public ::testing::Test {
 protected:
  // The same text as a UTF-8 file and as a UTF-16 file; and no file.
  std::vector<std::string> files() {
    const std::string u8 = dir_.file("u8.ini");
    const std::string u16 = dir_.file("u16.ini");
    zt::writeFile(u8, FILE_TEXT);
    zt::writeFile(u16, utf16File(u"" FILE_TEXT));
    return {u8, u16, dir_.file("missing.ini")};
  }

  zt::ScopedDriveC drive_;
  zt::TempDir dir_;
};

TEST_F(StoreWide, ReadsAnswerAsTheNarrowFormsAtEverySize) {
  for (const std::string& file : files()) {
    const std::u16string wideFile = utf8ToUtf16(file);
    for (std::size_t row = 0; row < kReads.size(); ++row) {
      const Read& r = kReads[row];
      // The whole answers, which every cut answer must be a prefix of.
      const NarrowResult fullNarrow = readNarrow(r, kRoom, file.c_str());
      const WideResult fullWide = readWide(r, kRoom, wideFile.c_str());
      SCOPED_TRACE(file + " row " + std::to_string(row));
      EXPECT_EQ(fullWide.error, fullNarrow.error);
      if (r.call == Call::Int) {
        EXPECT_EQ(fullWide.count, fullNarrow.count);
        continue;
      }
      const std::size_t tail = r.list && fullNarrow.count > 0 ? 2 : 1;
      // Whole answers: the same text, counted in each form's units.
      const std::u16string expected =
          utf8ToUtf16(std::string_view(fullNarrow.buffer).substr(0, fullNarrow.count + tail));
      EXPECT_EQ(fullWide.count + tail, expected.size());
      EXPECT_EQ(fullWide.buffer.substr(0, expected.size()), expected);

      const bool ascii = expected.size() == fullNarrow.count + tail;
      for (uint32_t size = 0; size < fullWide.count + 4; ++size) {
        SCOPED_TRACE("size " + std::to_string(size));
        const NarrowResult n = readNarrow(r, size, file.c_str());
        const WideResult w = readWide(r, size, wideFile.c_str());
        EXPECT_EQ(w.error, n.error);
        // Nothing at or beyond the buffer's size.
        EXPECT_EQ(w.buffer.find_first_not_of(char16_t(kCanary), size), std::u16string::npos);
        if (ascii) {
          // Plain ASCII cuts at the same places in both forms.
          EXPECT_EQ(w.count, n.count);
          EXPECT_EQ(w.buffer, utf8ToUtf16(n.buffer));
          continue;
        }
        if (size == 0) {
          EXPECT_EQ(w.count, 0u);
          continue;
        }
        // A prefix of the whole answer, at most one unit short of the
        // Windows cut (a surrogate pair kept whole), properly ended.
        // (An exact fit of a list counts as cut.)
        const bool fits = r.list ? fullWide.count + 1 < size : fullWide.count < size;
        const std::size_t limit = r.list ? (size >= 2 ? size - 2 : 0) : size - 1;
        const std::size_t windowsCount = fits ? fullWide.count : limit;
        EXPECT_TRUE(w.count == windowsCount ||
                    (w.count + 1 == windowsCount && isHigh(fullWide.buffer[w.count])));
        EXPECT_EQ(w.buffer.substr(0, w.count), fullWide.buffer.substr(0, w.count));
        EXPECT_TRUE(w.count == 0 || !isHigh(w.buffer[w.count - 1]));
        EXPECT_TRUE(w.count >= size || w.buffer[w.count] == u'\0');
      }
    }
  }
}

// Windows' wide answers for empty names: section "" is the one headed "[]",
// key "" a line "=value".
TEST_F(StoreWide, EmptyNamesAreNames) {
  const std::string file = dir_.file("empty_names.ini");
  zt::writeFile(file, utf16File(u"\r\nkey=val_no_section\r\n[]\r\nkey=val_e_section\r\n[s]\r\n"
                                u"=val_no_key\r\n[t]\r\n"));
  const std::u16string wideFile = utf8ToUtf16(file);
  char16_t buf[32];
  EXPECT_EQ(GetPrivateProfileStringW(u"", u"key", u"d", buf, 32, wideFile.c_str()), 13u);
  EXPECT_EQ(std::u16string(buf), u"val_e_section");
  EXPECT_EQ(GetPrivateProfileStringW(u"s", u"", u"d", buf, 32, wideFile.c_str()), 10u);
  EXPECT_EQ(std::u16string(buf), u"val_no_key");
  ASSERT_NE(WritePrivateProfileStringW(u"s", u"", u"v2", wideFile.c_str()), 0);
  EXPECT_EQ(GetPrivateProfileStringW(u"S", u" ", u"d", buf, 32, wideFile.c_str()), 2u);
  EXPECT_EQ(std::u16string(buf), u"v2");
}

// The porting header's helpers around the W functions: Windows' wide
// formatting (%s wide, %hs and %S narrow), and the answers and last errors
// of its file and module functions over the path mapping.
TEST_F(StoreWide, PortingHelpersAnswerAsWindowsDoes) {
  char16_t buf[32];
  EXPECT_EQ(swprintf_s(buf, u"%s|%hs|%S|%5d|%-3c|%x", u"wé", "n😀", "N", -12, u'z', 255u), 21);
  EXPECT_EQ(std::u16string(buf), u"wé|n😀|N|  -12|z  |ff");
  char16_t small[4];
  EXPECT_EQ(swprintf_s(small, u"%s", u"long"), -1);
  EXPECT_EQ(small[0], u'\0');
  EXPECT_EQ(wsprintfW(buf, u"%ls=%u", u"k", 7u), 3);
  EXPECT_EQ(std::u16string(buf), u"k=7");

  const std::string made = dir_.file("made");
  EXPECT_EQ(GetFileAttributesA(made.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), 2u);
  EXPECT_EQ(GetFileAttributesA((made + "\\deeper\\x.ini").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), 3u);
  EXPECT_EQ(CreateDirectoryA((made + "/a/b").c_str(), nullptr), 0);
  EXPECT_EQ(GetLastError(), 3u);
  EXPECT_EQ(CreateDirectoryA(made.c_str(), nullptr), 1);
  EXPECT_EQ(CreateDirectoryW(utf8ToUtf16(made).c_str(), nullptr), 0);
  EXPECT_EQ(GetLastError(), 183u);  // ERROR_ALREADY_EXISTS
  EXPECT_EQ(GetFileAttributesW(utf8ToUtf16(made).c_str()), uint32_t{FILE_ATTRIBUTE_DIRECTORY});
  zt::writeFile(made + "/s.ini", "");
  EXPECT_EQ(GetFileAttributesA((made + "/S.INI").c_str()), uint32_t{FILE_ATTRIBUTE_NORMAL});

  // The program's own path as a Windows path; cut with 122 when too long.
  char path[1024];
  const uint32_t n = GetModuleFileNameA(GetModuleHandleA(nullptr), path, sizeof path);
  EXPECT_EQ(n, std::strlen(path));
  EXPECT_EQ(std::string(path).substr(0, 3), "Z:\\");
  EXPECT_NE(std::string(path).find("\\store_wide_test"), std::string::npos) << path;
  char16_t widePath[1024];
  EXPECT_EQ(GetModuleFileNameW(nullptr, widePath, 1024), n);
  EXPECT_EQ(GetModuleFileNameA(nullptr, path, 3), 3u);
  EXPECT_EQ(GetLastError(), 122u);
  EXPECT_EQ(std::string(path), "Z:");
  EXPECT_EQ(GetModuleHandleA("other.dll"), nullptr);
  EXPECT_EQ(GetLastError(), 126u);
}

enum class Op { String, Section, Struct };

struct Write {
  Op op;
  Arg section, key, value;  // the value: text, an entry list, or (Struct) absent to delete
};

// Entry lists end with an empty item: the literal's own NUL adds it.
const std::vector<Write> kWrites = {
    {Op::String, ARG("Sec"), ARG("new"), ARG("Größe 😀")},
    {Op::String, ARG("émoji 😀"), ARG("K😀"), ARG(" neu ")},
    {Op::String, ARG("Sec"), ARG("KEY"), kAbsent},
    {Op::String, ARG("None"), ARG("x"), kAbsent},
    {Op::Section, ARG("New 😀"), kAbsent, ARG("a=1\0b = 😀\0bare\0")},
    {Op::Section, ARG("Émoji 😀"), kAbsent, ARG("only=1\0")},
    {Op::String, ARG("Sec"), ARG("k"), ARG("a\r\n[Evil]")},
    {Op::String, ARG("Sec"), ARG("k=x"), ARG("v")},
    {Op::String, kAbsent, ARG("k"), ARG("v")},
    {Op::Struct, ARG("Sec"), ARG("pos"), ARG("\x01\x7F")},
    {Op::Struct, ARG("Sec"), ARG("pos"), kAbsent},
    {Op::String, ARG("Sec"), kAbsent, kAbsent},
    {Op::String, kAbsent, kAbsent, kAbsent},
};

const uint8_t kStructBytes[] = {0x01, 0x7F, 0xFF};

std::pair<int32_t, uint32_t> writeNarrow(const Write& w, const char* file) {
  SetLastError(12345);
  int32_t done = 0;
  switch (w.op) {
    case Op::String:
      done = WritePrivateProfileStringA(w.section.narrow, w.key.narrow, w.value.narrow, file);
      break;
    case Op::Section:
      done = WritePrivateProfileSectionA(w.section.narrow, w.value.narrow, file);
      break;
    case Op::Struct:
      done = WritePrivateProfileStructA(w.section.narrow, w.key.narrow,
                                        w.value.narrow ? kStructBytes : nullptr, 3, file);
      break;
  }
  return {done, GetLastError()};
}

std::pair<int32_t, uint32_t> writeWide(const Write& w, const char16_t* file) {
  SetLastError(12345);
  int32_t done = 0;
  switch (w.op) {
    case Op::String:
      done = WritePrivateProfileStringW(w.section.wide, w.key.wide, w.value.wide, file);
      break;
    case Op::Section:
      done = WritePrivateProfileSectionW(w.section.wide, w.value.wide, file);
      break;
    case Op::Struct:
      done = WritePrivateProfileStructW(w.section.wide, w.key.wide,
                                        w.value.wide ? kStructBytes : nullptr, 3, file);
      break;
  }
  return {done, GetLastError()};
}

TEST_F(StoreWide, WritesLeaveTheBytesTheNarrowFormsLeave) {
  int copy = 0;
  for (const std::string& original : files()) {
    const std::string narrowFile = dir_.file("narrow" + std::to_string(copy) + ".ini");
    const std::string wideFile = dir_.file("wide" + std::to_string(copy++) + ".ini");
    if (zt::fileExists(original)) {
      zt::writeFile(narrowFile, zt::readFile(original));
      zt::writeFile(wideFile, zt::readFile(original));
    }
    const std::u16string wideName = utf8ToUtf16(wideFile);
    for (std::size_t row = 0; row < kWrites.size(); ++row) {
      SCOPED_TRACE(original + " row " + std::to_string(row));
      EXPECT_EQ(writeWide(kWrites[row], wideName.c_str()),
                writeNarrow(kWrites[row], narrowFile.c_str()));
      EXPECT_EQ(zt::fileExists(wideFile), zt::fileExists(narrowFile));
      if (zt::fileExists(narrowFile)) {
        EXPECT_EQ(zt::readFile(wideFile), zt::readFile(narrowFile));
      }
    }
    // The table's writes did happen.
    EXPECT_EQ(GetPrivateProfileIntW(u"new 😀", u"A", 0, wideName.c_str()), 1u);
  }
}

TEST_F(StoreWide, WinIniFormsAndTheWindowsDirectoryAnswerAsTheNarrowOnes) {
  ASSERT_EQ(WriteProfileStringW(u"Wide 😀", u"k", u"v😀"), 1);
  ASSERT_EQ(WriteProfileSectionW(u"List", u"a=1\0b=2\0"), 1);
  char narrow[64];
  char16_t wide[64];
  EXPECT_EQ(GetProfileStringA("wide 😀", "K", "", narrow, sizeof narrow), 5u);
  EXPECT_STREQ(narrow, "v😀");
  EXPECT_EQ(GetProfileStringW(u"wide 😀", u"K", u"", wide, 64), 3u);
  EXPECT_EQ(std::u16string(wide), u"v😀");
  EXPECT_EQ(GetProfileIntW(u"List", u"b", 0), 2u);
  EXPECT_EQ(GetProfileSectionW(u"list", wide, 64), 8u);
  EXPECT_EQ(std::u16string(wide, 9), std::u16string(u"a=1\0b=2\0", 9));
  EXPECT_EQ(GetProfileSectionA("list", narrow, sizeof narrow), 8u);
  for (uint32_t size = 0; size < 13; ++size) {
    std::fill(std::begin(narrow), std::end(narrow), kCanary);
    std::fill(std::begin(wide), std::end(wide), char16_t(kCanary));
    EXPECT_EQ(GetWindowsDirectoryW(wide, size), GetWindowsDirectoryA(narrow, size));
    for (std::size_t i = 0; i < 12; ++i) EXPECT_EQ(wide[i], char16_t(narrow[i]));
  }
}

TEST_F(StoreWide, TextThatIsNotUnicodeIsRefusedByBothForms) {
  const std::string file = files()[1];
  const std::u16string wide = utf8ToUtf16(file);
  const std::string before = zt::readFile(file);
  const char16_t lone[] = {u'a', 0xD800, u'b', 0};
  const char16_t loneLow[] = {0xDC00, 0};
  const char16_t loneEntry[] = {u'k', u'=', 0xD83D, 0, 0};
  SetLastError(0);
  EXPECT_EQ(WritePrivateProfileStringW(lone, u"k", u"v", wide.c_str()), 0);
  EXPECT_EQ(GetLastError(), 1113u);
  SetLastError(0);
  EXPECT_EQ(WritePrivateProfileStringW(u"Sec", loneLow, u"v", wide.c_str()), 0);
  EXPECT_EQ(GetLastError(), 1113u);
  SetLastError(0);
  EXPECT_EQ(WritePrivateProfileStringW(u"Sec", u"key", lone, wide.c_str()), 0);
  EXPECT_EQ(GetLastError(), 1113u);
  SetLastError(0);
  EXPECT_EQ(WritePrivateProfileSectionW(u"Sec", loneEntry, wide.c_str()), 0);
  EXPECT_EQ(GetLastError(), 1113u);
  SetLastError(0);
  EXPECT_EQ(WritePrivateProfileStructW(u"Sec", lone, kStructBytes, 3, wide.c_str()), 0);
  EXPECT_EQ(GetLastError(), 1113u);
  SetLastError(0);
  EXPECT_EQ(WritePrivateProfileStringA("Sec", "key", "a\xFF", file.c_str()), 0);
  EXPECT_EQ(GetLastError(), 1113u);
  EXPECT_EQ(zt::readFile(file), before);
}

}  // namespace
