// GetPrivateProfileStruct and WritePrivateProfileStruct: the bytes as
// upper-case hexadecimal digits with a checksum byte, a read that fills the
// caller's structure only when length and checksum match, deletion through
// a null structure, and the last error of each outcome.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>

#include "support/test_files.h"
#include "zidevuv10/profile.h"

namespace {

namespace zt = zidevuv10::testing;

std::u16string utf16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

struct Placement {
  int32_t left, top;
  uint16_t flags;
};

class StoreStruct : public ::testing::Test {
 protected:
  zt::TempDir dir_;
  std::string file_ = dir_.file("s.ini");
};

TEST_F(StoreStruct, BytesAreWrittenAsHexWithAChecksumAndReadBack) {
  const uint8_t bytes[] = {0x01, 0x7F, 0xFF, 0x00, 0xAB};
  ASSERT_EQ(WritePrivateProfileStructA("S", "b", bytes, sizeof bytes, file_.c_str()), 1);
  ASSERT_EQ(WritePrivateProfileStructA("S", "none", bytes, 0, file_.c_str()), 1);
  // 0x01 + 0x7F + 0xFF + 0x00 + 0xAB = 0x22A: checksum 2A.
  EXPECT_EQ(zt::readFile(file_), "[S]\nb=017FFF00AB2A\nnone=00\n");

  const Placement p{-20, 300, 0xBEEF};
  ASSERT_EQ(WritePrivateProfileStructW(u"S", u"p", &p, sizeof p, utf16(file_).c_str()), 1);
  Placement back{};
  SetLastError(99);
  EXPECT_EQ(GetPrivateProfileStructA("s", "P", &back, sizeof back, file_.c_str()), 1);
  EXPECT_EQ(GetLastError(), 0u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&back), sizeof back),
            std::string(reinterpret_cast<const char*>(&p), sizeof p));
  uint8_t wide[sizeof bytes] = {};
  EXPECT_EQ(GetPrivateProfileStructW(u"S", u"b", wide, sizeof wide, utf16(file_).c_str()), 1);
  EXPECT_EQ(std::string(wide, wide + sizeof wide), std::string(bytes, bytes + sizeof bytes));
}

TEST_F(StoreStruct, ReadFillsNothingUnlessLengthAndChecksumMatch) {
  zt::writeFile(file_,
                "[S]\nok=017fff00ab2a\nquoted=\"0101\"\nbadsum=017FFF00AB2B\nshort=017FFF2A\n"
                "odd=017FFF00AB2A0\nnothex=01ZZFF00AB2A\nempty=\n");
  uint8_t out[5];
  const auto read = [&](const char* key, uint32_t size = sizeof out) {
    std::fill(std::begin(out), std::end(out), 0xEE);
    SetLastError(0);
    return GetPrivateProfileStructA("S", key, out, size, file_.c_str());
  };
  // Lower-case digits and quotes around the text are read as values are.
  EXPECT_EQ(read("ok"), 1);
  EXPECT_EQ(out[4], 0xAB);
  EXPECT_EQ(read("quoted", 1), 1);
  EXPECT_EQ(out[0], 0x01);
  const struct {
    const char* key;
    uint32_t size;
    uint32_t error;
  } failures[] = {
      {"badsum", 5, 13}, {"nothex", 5, 13}, {"short", 5, 24}, {"odd", 5, 24},
      {"ok", 4, 24},     {"empty", 5, 24},  {"missing", 5, 24},
  };
  for (const auto& f : failures) {
    SCOPED_TRACE(f.key);
    EXPECT_EQ(read(f.key, f.size), 0);
    EXPECT_EQ(GetLastError(), f.error);
    EXPECT_EQ(out[0], 0xEE);
  }
  EXPECT_EQ(GetPrivateProfileStructA("S", "ok", nullptr, 5, file_.c_str()), 0);
  EXPECT_EQ(GetLastError(), 87u);
  // No stored text at all (no section, no file) has the wrong length too.
  EXPECT_EQ(GetPrivateProfileStructA("T", "ok", out, 5, file_.c_str()), 0);
  EXPECT_EQ(GetLastError(), 24u);
  EXPECT_EQ(GetPrivateProfileStructA("s", "key", out, 5, dir_.file("none.ini").c_str()), 0);
  EXPECT_EQ(GetLastError(), 24u);
  EXPECT_EQ(GetPrivateProfileStructW(u"s", u"key", out, 5, utf16(dir_.file("none.ini")).c_str()),
            0);
  EXPECT_EQ(GetLastError(), 24u);
}

TEST_F(StoreStruct, NullStructureDeletesTheKeyAndNullKeyTheSection) {
  zt::writeFile(file_, "[S]\na=1\nb=0000\n[T]\nc=3\n");
  EXPECT_EQ(WritePrivateProfileStructA("S", "b", nullptr, 5, file_.c_str()), 1);
  EXPECT_EQ(zt::readFile(file_), "[S]\na=1\n[T]\nc=3\n");
  const uint8_t one = 1;
  EXPECT_EQ(WritePrivateProfileStructA("T", nullptr, &one, 1, file_.c_str()), 1);
  EXPECT_EQ(zt::readFile(file_), "[S]\na=1\n");
  EXPECT_EQ(WritePrivateProfileStructA(nullptr, "k", &one, 1, file_.c_str()), 0);
  EXPECT_EQ(GetLastError(), 2u);
  EXPECT_EQ(zt::readFile(file_), "[S]\na=1\n");
}

}  // namespace
