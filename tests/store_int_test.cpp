// GetPrivateProfileIntA: the value text read as a signed number (decimal, or
// with a 0x, 0o or 0b prefix) that wraps modulo 2^32 and comes back unsigned;
// defaults for empty and missing values; and the number parsed from a list
// when the section or key is absent.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "store/profile_store.h"
#include "support/test_files.h"
#include "zidevuv10/profile.h"

namespace {

using zidevuv10::store::ProfileStore;
using zidevuv10::testing::ScopedDriveC;
using zidevuv10::testing::TempDir;
using zidevuv10::testing::writeFile;

class StoreInt : public ::testing::Test {
 protected:
  std::string ini(const std::string& bytes) {
    const std::string path = dir_.file("f" + std::to_string(++count_) + ".ini");
    writeFile(path, bytes);
    return path;
  }

  ScopedDriveC drive_;
  TempDir dir_;
  int count_ = 0;
};

uint32_t intOf(const char* section, const char* key, int32_t def, const std::string& file) {
  return GetPrivateProfileIntA(section, key, def, file.c_str());
}

TEST_F(StoreInt, SignedDecimalWrapsModulo2To32) {
  const std::string f = ini(
      "[s]\n"
      "minus1=-1\n"
      "plus1=+1\n"
      "two32=4294967296\n"
      "two32p1=4294967297\n"
      "negtwo32p1=-4294967297\n"
      "max=4294967295\n"
      "int32min=-2147483648\n"
      "big=12345678901234567890\n"
      "plain=42\n"
      "zero=0\n");
  EXPECT_EQ(intOf("s", "minus1", 7, f), 4294967295u);
  EXPECT_EQ(intOf("s", "plus1", 7, f), 1u);
  EXPECT_EQ(intOf("s", "two32", 7, f), 0u);
  EXPECT_EQ(intOf("s", "two32p1", 7, f), 1u);
  EXPECT_EQ(intOf("s", "negtwo32p1", 7, f), 4294967295u);
  EXPECT_EQ(intOf("s", "max", 7, f), 4294967295u);
  EXPECT_EQ(intOf("s", "int32min", 7, f), 2147483648u);
  // 12345678901234567890 mod 2^32
  EXPECT_EQ(intOf("s", "big", 7, f), 3944680146u);
  EXPECT_EQ(intOf("s", "plain", 7, f), 42u);
  EXPECT_EQ(intOf("s", "zero", 7, f), 0u);
}

TEST_F(StoreInt, DigitsStopAtTheFirstOtherCharacter) {
  const std::string f = ini(
      "[s]\n"
      "a=42A94967297\n"
      "b=B4294967297\n"
      "c=3.99\n"
      "d=12 34\n"
      "e=-\n"
      "f=+\n"
      "g=- 5\n"
      "h=+-5\n"
      "i=abc\n"
      "j=-12x\n"
      "k=--5\n");
  EXPECT_EQ(intOf("s", "a", 7, f), 42u);
  EXPECT_EQ(intOf("s", "b", 7, f), 0u);
  EXPECT_EQ(intOf("s", "c", 7, f), 3u);
  EXPECT_EQ(intOf("s", "d", 7, f), 12u);
  // Text that is there but holds no number gives 0, not the default.
  EXPECT_EQ(intOf("s", "e", 7, f), 0u);
  EXPECT_EQ(intOf("s", "f", 7, f), 0u);
  EXPECT_EQ(intOf("s", "g", 7, f), 0u);
  EXPECT_EQ(intOf("s", "h", 7, f), 0u);
  EXPECT_EQ(intOf("s", "i", 7, f), 0u);
  EXPECT_EQ(intOf("s", "j", 7, f), static_cast<uint32_t>(-12));
  EXPECT_EQ(intOf("s", "k", 7, f), 0u);
}

TEST_F(StoreInt, LowerCaseBasePrefixes) {
  const std::string f = ini(
      "[s]\nhex=0x10\nupper=0X10\noct=010\nbin=0b11\ncolour=0xFFFFFF\nlower=0xff\n"
      "octal=0o17\nbadoctal=0o8\nstop=0x1G\nbinstop=0b102\nnegative=-0x1\n");
  EXPECT_EQ(intOf("s", "hex", 7, f), 16u);
  EXPECT_EQ(intOf("s", "upper", 7, f), 0u);
  // A leading zero alone does not mean octal.
  EXPECT_EQ(intOf("s", "oct", 7, f), 10u);
  EXPECT_EQ(intOf("s", "bin", 7, f), 3u);
  EXPECT_EQ(intOf("s", "colour", 7, f), 0xFFFFFFu);
  EXPECT_EQ(intOf("s", "lower", 7, f), 255u);
  EXPECT_EQ(intOf("s", "octal", 7, f), 15u);
  // Digits stop at the first one the base does not have.
  EXPECT_EQ(intOf("s", "badoctal", 7, f), 0u);
  EXPECT_EQ(intOf("s", "stop", 7, f), 1u);
  EXPECT_EQ(intOf("s", "binstop", 7, f), 2u);
  EXPECT_EQ(intOf("s", "negative", 7, f), 4294967295u);
}

TEST_F(StoreInt, ValueIsTrimmedAndUnquotedFirst) {
  const std::string f = ini(
      "[s]\n"
      "dq=\"42\"\n"
      "sq='-1'\n"
      "blanks= \t 17 \t\n"
      "inner=\" 5\"\n"
      "mixed=\"42'\n");
  EXPECT_EQ(intOf("s", "dq", 7, f), 42u);
  EXPECT_EQ(intOf("s", "sq", 7, f), 4294967295u);
  EXPECT_EQ(intOf("s", "blanks", 7, f), 17u);
  // Blanks the quote strip leaves are skipped before the number.
  EXPECT_EQ(intOf("s", "inner", 7, f), 5u);
  EXPECT_EQ(intOf("s", "mixed", 7, f), 0u);
}

TEST_F(StoreInt, OnlyTheFirst29CharactersAreRead) {
  const std::string f = ini("[s]\n"
                            "z32=" + std::string(32, '0') + "5\n"
                            "z28=" + std::string(28, '0') + "5\n"
                            "z29=" + std::string(29, '0') + "5\n"
                            "long=" + std::string(27, '0') + "12345\n");
  EXPECT_EQ(intOf("s", "z32", 7, f), 0u);
  // Exactly 29 characters: the last digit is still read.
  EXPECT_EQ(intOf("s", "z28", 7, f), 5u);
  EXPECT_EQ(intOf("s", "z29", 7, f), 0u);
  EXPECT_EQ(intOf("s", "long", 7, f), 12u);
}

TEST_F(StoreInt, EmptyAndMissingGiveTheDefaultAsUnsigned) {
  const std::string f = ini("[s]\nempty=\nblank= \t\nquoted=\"\"\nk=3\n");
  EXPECT_EQ(intOf("s", "empty", 70, f), 70u);
  EXPECT_EQ(intOf("s", "blank", 70, f), 70u);
  EXPECT_EQ(intOf("s", "quoted", 70, f), 70u);
  EXPECT_EQ(intOf("s", "missing", 70, f), 70u);
  EXPECT_EQ(intOf("missing", "k", 70, f), 70u);
  EXPECT_EQ(intOf("s", "k", 70, dir_.file("missing.ini")), 70u);
  EXPECT_EQ(intOf("s", "k", -1, dir_.file("missing.ini")), 4294967295u);
  EXPECT_EQ(intOf("s", "missing", -70, f), static_cast<uint32_t>(-70));
  EXPECT_EQ(intOf("s", "", 70, f), 70u);
  EXPECT_EQ(intOf("", "k", 70, f), 70u);
  // Absent section or key with no file to read: the default.
  EXPECT_EQ(intOf(nullptr, nullptr, 70, dir_.file("missing.ini")), 70u);
  EXPECT_EQ(intOf(nullptr, "k", 70, dir_.file("missing.ini")), 70u);
  EXPECT_EQ(intOf("s", nullptr, 70, dir_.file("missing.ini")), 70u);
}

TEST_F(StoreInt, AbsentSectionParsesTheSectionList) {
  // Letters first: the list holds no number.
  const std::string letters = ini("[abc]\nk=5\n[12]\n");
  EXPECT_EQ(intOf(nullptr, nullptr, 70, letters), 0u);
  EXPECT_EQ(intOf(nullptr, "k", 70, letters), 0u);
  // The first name is read as far as it holds digits.
  const std::string digits = ini("[12abc]\nk=5\n[34]\n");
  EXPECT_EQ(intOf(nullptr, nullptr, 70, digits), 12u);
  EXPECT_EQ(intOf(nullptr, "k", 70, digits), 12u);
  const std::string numberOnly = ini("[ 345 ]\n[6]\n");
  EXPECT_EQ(intOf(nullptr, nullptr, 70, numberOnly), 345u);
  // A file without sections lists nothing.
  const std::string noSections = ini("k=5\n");
  EXPECT_EQ(intOf(nullptr, nullptr, 70, noSections), 70u);
}

TEST_F(StoreInt, AbsentKeyParsesTheKeyList) {
  const std::string f = ini("[s]\n15x=1\ny=2\n[t]\ny=2\n[u]\n; none\n");
  EXPECT_EQ(intOf("s", nullptr, 70, f), 15u);
  EXPECT_EQ(intOf("t", nullptr, 70, f), 0u);
  // No keys to list: the default.
  EXPECT_EQ(intOf("u", nullptr, 70, f), 70u);
  EXPECT_EQ(intOf("missing", nullptr, 70, f), 70u);
}

TEST_F(StoreInt, ProfileIntReadsWinIni) {
  std::filesystem::create_directories(drive_.windowsDir());
  writeFile(drive_.windowsDir() + "/WIN.INI", "[w]\nn=-2\n");
  EXPECT_EQ(GetProfileIntA("w", "n", 70), static_cast<uint32_t>(-2));
  EXPECT_EQ(GetProfileIntA("w", "missing", 70), 70u);
  ProfileStore store;
  EXPECT_EQ(store.getInt("W", "N", 70, std::nullopt), static_cast<uint32_t>(-2));
}

}  // namespace
