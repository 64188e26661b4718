// Reading single values: how the store parses a profile file (blanks,
// headers, quotes, comments, duplicates, case, line ends) and what
// GetPrivateProfileStringA answers for found, empty and missing values.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "store/profile_store.h"
#include "support/test_files.h"
#include "zidevuv10/profile.h"

namespace {

using namespace std::string_literals;
using zidevuv10::store::ProfileStore;
using zidevuv10::testing::ScopedDriveC;
using zidevuv10::testing::TempDir;
using zidevuv10::testing::writeFile;

// What a read put in the buffer (up to its first NUL) and what it returned.
struct Got {
  std::string text;
  uint32_t ret;
  bool operator==(const Got&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Got& g) {
  return os << "{\"" << g.text << "\", ret " << g.ret << "}";
}

Got read(const char* section, const char* key, const char* def, const std::string& file,
         uint32_t size = 256) {
  std::vector<char> buf(size + 1, '\x7f');
  const uint32_t ret = GetPrivateProfileStringA(section, key, def, buf.data(), size, file.c_str());
  buf[size] = '\0';
  return {std::string(buf.data()), ret};
}

class StoreRead : public ::testing::Test {
 protected:
  // Writes the bytes into a new file of the temp folder and returns its path.
  std::string ini(const std::string& bytes) {
    const std::string path = dir_.file("f" + std::to_string(++count_) + ".ini");
    writeFile(path, bytes);
    return path;
  }

  ScopedDriveC drive_;
  TempDir dir_;
  int count_ = 0;
};

// The blanks Windows-compatible readers ignore around names and values.
const std::string kBlanks = " \t\v\f\x1a";

TEST_F(StoreRead, BlanksAroundNamesAndValuesAreIgnored) {
  const std::string f = ini("[s]\n" + kBlanks + "key1" + kBlanks + "=" + kBlanks + "value one" +
                            kBlanks + "\n" + "  my key  =  a  b  \n" + "\ttabbed\t=\tv\t\n");
  EXPECT_EQ(read("s", "key1", "def", f), (Got{"value one", 9}));
  // Inner blanks of names and values stay.
  EXPECT_EQ(read("s", "my key", "def", f), (Got{"a  b", 4}));
  EXPECT_EQ(read("s", "mykey", "def", f), (Got{"def", 3}));
  EXPECT_EQ(read("s", "tabbed", "def", f), (Got{"v", 1}));
  // Blanks around the arguments of a value lookup are ignored too.
  EXPECT_EQ(read(" s\t", "\tkey1 ", "def", f), (Got{"value one", 9}));
}

TEST_F(StoreRead, HeaderNamesAreTrimmedAndEndAtTheLastBracket) {
  const std::string f = ini(
      "  [ section1 ]  \n"
      "a=1\n"
      "[ my  section\t]\n"
      "b=2\n"
      "[sec2] trailing text ; and more\n"
      "c=3\n"
      "[x]y] tail\n"
      "d=4\n");
  EXPECT_EQ(read("section1", "a", "def", f), (Got{"1", 1}));
  EXPECT_EQ(read(" section1 ", "a", "def", f), (Got{"1", 1}));
  EXPECT_EQ(read("my  section", "b", "def", f), (Got{"2", 1}));
  EXPECT_EQ(read("my section", "b", "def", f), (Got{"def", 3}));
  EXPECT_EQ(read("sec2", "c", "def", f), (Got{"3", 1}));
  // The name runs to the last ']' of the line.
  EXPECT_EQ(read("x]y", "d", "def", f), (Got{"4", 1}));
  EXPECT_EQ(read("x", "d", "def", f), (Got{"def", 3}));
}

TEST_F(StoreRead, BracketWithoutClosingIsNoHeader) {
  // "[broken" stays a line of section s, so k2 still belongs to s.
  const std::string f = ini("[s]\nk=1\n[broken\nk2=2\n[broken2=x\nk3=3\n");
  EXPECT_EQ(read("s", "k2", "def", f), (Got{"2", 1}));
  EXPECT_EQ(read("s", "k3", "def", f), (Got{"3", 1}));
  EXPECT_EQ(read("broken", "k2", "def", f), (Got{"def", 3}));
  // With '=' such a line is an ordinary entry whose name starts with '['.
  EXPECT_EQ(read("s", "[broken2", "def", f), (Got{"x", 1}));
}

TEST_F(StoreRead, OneMatchingPairOfQuotesIsRemoved) {
  const std::string f = ini(
      "[s]\n"
      "dq=\"val2\"\n"
      "sq='val3'\n"
      "doubled=''x''\n"
      "mixed=\"abc'\n"
      "open=\"abc\n"
      "close=abc\"\n"
      "one=\"\n"
      "pair=\"\"\n"
      "padded=\"  inner  \"\n"
      "inside=a\"b\"\n"
      "blanks=  \"q\"  \n");
  EXPECT_EQ(read("s", "dq", "def", f), (Got{"val2", 4}));
  EXPECT_EQ(read("s", "sq", "def", f), (Got{"val3", 4}));
  EXPECT_EQ(read("s", "doubled", "def", f), (Got{"'x'", 3}));
  EXPECT_EQ(read("s", "mixed", "def", f), (Got{"\"abc'", 5}));
  EXPECT_EQ(read("s", "open", "def", f), (Got{"\"abc", 4}));
  EXPECT_EQ(read("s", "close", "def", f), (Got{"abc\"", 4}));
  // A lone quote is not a pair.
  EXPECT_EQ(read("s", "one", "def", f), (Got{"\"", 1}));
  // An empty quoted value is found: empty, not the default.
  EXPECT_EQ(read("s", "pair", "def", f), (Got{"", 0}));
  // Quotes keep the blanks they enclose.
  EXPECT_EQ(read("s", "padded", "def", f), (Got{"  inner  ", 9}));
  EXPECT_EQ(read("s", "inside", "def", f), (Got{"a\"b\"", 4}));
  // Blanks outside the quotes are trimmed first, then the pair goes.
  EXPECT_EQ(read("s", "blanks", "def", f), (Got{"q", 1}));
}

TEST_F(StoreRead, SectionListingKeepsQuotes) {
  const std::string f = ini("[s]\ndq=\"val2\"\nsq='x'\n");
  char buf[64];
  std::memset(buf, 'X', sizeof buf);
  const uint32_t ret = GetPrivateProfileSectionA("s", buf, sizeof buf, f.c_str());
  EXPECT_EQ(std::string(buf, ret + 1), "dq=\"val2\"\0sq='x'\0\0"s);
}

TEST_F(StoreRead, SemicolonStartsACommentButHashDoesNot) {
  const std::string f = ini(
      "[s]\n"
      ";k=1\n"
      "  ; c2 = 2\n"
      "#h=3\n"
      ";c1=1\n"
      "v=a;b ; c\n"
      "after=4\n");
  EXPECT_EQ(read("s", "k", "def", f), (Got{"def", 3}));
  EXPECT_EQ(read("s", "#h", "def", f), (Got{"3", 1}));
  // A comment with '=' is still found by an exact lookup of its name.
  EXPECT_EQ(read("s", ";c1", "def", f), (Got{"1", 1}));
  EXPECT_EQ(read("s", "c1", "def", f), (Got{"def", 3}));
  EXPECT_EQ(read("s", "; c2", "def", f), (Got{"2", 1}));
  // No trailing comments: ';' later in a line belongs to the value.
  EXPECT_EQ(read("s", "v", "def", f), (Got{"a;b ; c", 7}));
  // Comments do not end the section.
  EXPECT_EQ(read("s", "after", "def", f), (Got{"4", 1}));
}

TEST_F(StoreRead, LinesBeforeTheFirstHeaderAreUnreachable) {
  const std::string f = ini("k0=before\nbare\n[s]\nk=1\n");
  EXPECT_EQ(read("s", "k0", "def", f), (Got{"def", 3}));
  EXPECT_EQ(read("", "k0", "def", f), (Got{"def", 3}));
  EXPECT_EQ(read(" ", "k0", "def", f), (Got{"def", 3}));
  EXPECT_EQ(read("s", "k", "def", f), (Got{"1", 1}));
}

TEST_F(StoreRead, LinesWithoutEqualsAreNoValues) {
  const std::string f = ini("[s]\nbare\nbare two\nk=1\n");
  EXPECT_EQ(read("s", "bare", "def", f), (Got{"def", 3}));
  EXPECT_EQ(read("s", "bare two", "def", f), (Got{"def", 3}));
  EXPECT_EQ(read("s", "k", "def", f), (Got{"1", 1}));
}

TEST_F(StoreRead, FirstDuplicateKeyAndFirstDuplicateSectionWin) {
  const std::string f = ini(
      "[s]\n"
      "a=1\n"
      "A=2\n"
      "a=3\n"
      "[t]\n"
      "b=2\n"
      "[S]\n"
      "a=9\n"
      "c=3\n");
  EXPECT_EQ(read("s", "a", "def", f), (Got{"1", 1}));
  EXPECT_EQ(read("S", "A", "def", f), (Got{"1", 1}));
  // Only the first [s] is used for lookups.
  EXPECT_EQ(read("s", "c", "def", f), (Got{"def", 3}));
  EXPECT_EQ(read("t", "b", "def", f), (Got{"2", 1}));
}

TEST_F(StoreRead, NamesMatchWithoutRegardToCase) {
  const std::string f = ini(
      "[Section1]\n"
      "NaMe1=Value\n"
      "[Ärger]\n"
      "Öl=1\n"
      "[ΑΛΦΑ]\n"
      "Ωμέγα=2\n"
      "[Straße]\n"
      "k=3\n");
  EXPECT_EQ(read("SECTION1", "name1", "def", f), (Got{"Value", 5}));
  EXPECT_EQ(read("section1", "NAME1", "def", f), (Got{"Value", 5}));
  EXPECT_EQ(read("ärger", "öl", "def", f), (Got{"1", 1}));
  EXPECT_EQ(read("ÄRGER", "ÖL", "def", f), (Got{"1", 1}));
  EXPECT_EQ(read("αλφα", "ΩΜΈΓΑ", "def", f), (Got{"2", 1}));
  // Capital sharp s folds to the small one.
  EXPECT_EQ(read("STRAẞE", "K", "def", f), (Got{"3", 1}));
  // Case only: letters that merely look alike do not match.
  EXPECT_EQ(read("arger", "ol", "def", f), (Got{"def", 3}));
}

TEST_F(StoreRead, FoundEmptyValueIsEmptyNotTheDefault) {
  const std::string f = ini("[s]\nempty=\nblank=  \t\nquoted=''\n");
  EXPECT_EQ(read("s", "empty", "def", f), (Got{"", 0}));
  EXPECT_EQ(read("s", "blank", "def", f), (Got{"", 0}));
  EXPECT_EQ(read("s", "quoted", "def", f), (Got{"", 0}));
}

// The last error of a read: 0 when the answer is the file's, 2 when the
// file or the section is missing, untouched when only the key is.
TEST_F(StoreRead, MissingValuesGiveTheDefault) {
  const std::string f = ini("[s]\nk=1\n[e]\n");
  SetLastError(99);
  EXPECT_EQ(read("s", "k", "def", dir_.file("missing.ini")), (Got{"def", 3}));
  EXPECT_EQ(GetLastError(), 2u);  // ERROR_FILE_NOT_FOUND
  EXPECT_EQ(read("s", "k", "def", dir_.file("nodir/missing.ini")), (Got{"def", 3}));
  EXPECT_EQ(GetLastError(), 2u);
  SetLastError(99);
  EXPECT_EQ(read("nosuch", "k", "def", f), (Got{"def", 3}));
  EXPECT_EQ(GetLastError(), 2u);
  SetLastError(99);
  EXPECT_EQ(read("s", "nosuch", "def", f), (Got{"def", 3}));
  EXPECT_EQ(GetLastError(), 99u);
  EXPECT_EQ(GetPrivateProfileIntA("s", "nosuch", 7, f.c_str()), 7u);
  EXPECT_EQ(GetLastError(), 99u);
  EXPECT_EQ(read("e", nullptr, "def", f), (Got{"def", 3}));  // a section without keys
  EXPECT_EQ(GetLastError(), 99u);
  EXPECT_EQ(GetPrivateProfileIntA("nosuch", "k", 7, f.c_str()), 7u);
  EXPECT_EQ(GetLastError(), 2u);
  SetLastError(99);
  EXPECT_EQ(read("s", "k", "def", f), (Got{"1", 1}));
  EXPECT_EQ(GetLastError(), 0u);
  // An empty file name reads nothing.
  EXPECT_EQ(read("s", "k", "def", ""), (Got{"def", 3}));
}

// An empty section name is the section headed "[]" (not the lines before
// the first header); an empty key name is a line "=value" of its section.
TEST_F(StoreRead, EmptyNamesAreNames) {
  const std::string f = ini(
      "\r\nkey=val_no_section\r\n[]\r\nkey=val_e_section\r\n[s]\r\n=val_no_key\r\n[t]\r\n");
  EXPECT_EQ(read("", "key", "def", f), (Got{"val_e_section", 13}));
  EXPECT_EQ(read(" ", "key", "def", f), (Got{"val_e_section", 13}));
  EXPECT_EQ(read("s", "", "def", f), (Got{"val_no_key", 10}));
  EXPECT_EQ(read("s", "  ", "def", f), (Got{"val_no_key", 10}));
  EXPECT_EQ(read("t", "", "def", f), (Got{"def", 3}));
  EXPECT_EQ(GetPrivateProfileIntA("", "key", 7, f.c_str()), 0u);
  // Lists: the entries of both, and the keys of "[]"; the section list and
  // a key list cannot hold an empty name (an empty item ends a list).
  char buf[64];
  EXPECT_EQ(GetPrivateProfileSectionA("", buf, sizeof buf, f.c_str()), 18u);
  EXPECT_EQ(std::string(buf, 19), "key=val_e_section\0\0"s);
  EXPECT_EQ(GetPrivateProfileSectionA("s", buf, sizeof buf, f.c_str()), 12u);
  EXPECT_EQ(std::string(buf, 13), "=val_no_key\0\0"s);
  EXPECT_EQ(read("", nullptr, "def", f), (Got{"key", 4}));
  EXPECT_EQ(GetPrivateProfileSectionNamesA(buf, sizeof buf, f.c_str()), 4u);
  EXPECT_EQ(std::string(buf, 5), "s\0t\0\0"s);
}

TEST_F(StoreRead, DefaultLosesTrailingSpacesAndNullDefaultIsEmpty) {
  const std::string f = ini("[s]\nk=1\n");
  EXPECT_EQ(read("s", "x", "default  ", f), (Got{"default", 7}));
  EXPECT_EQ(read("s", "x", "one two  ", f), (Got{"one two", 7}));
  EXPECT_EQ(read("s", "x", "  lead", f), (Got{"  lead", 6}));
  EXPECT_EQ(read("s", "x", "", f), (Got{"", 0}));
  char buf[8];
  std::memset(buf, 'X', sizeof buf);
  EXPECT_EQ(GetPrivateProfileStringA("s", "x", nullptr, buf, sizeof buf, f.c_str()), 0u);
  EXPECT_EQ(buf[0], '\0');
  // The default is cut like a value.
  EXPECT_EQ(read("s", "x", "default", f, 4), (Got{"def", 3}));
}

TEST_F(StoreRead, AllLineEndsAndAMissingFinalLineEnd) {
  for (const std::string& eol : {"\n"s, "\r\n"s, "\r"s}) {
    SCOPED_TRACE(eol == "\n" ? "LF" : eol == "\r" ? "CR" : "CRLF");
    const std::string f = ini("[a]" + eol + "k1=v1" + eol + eol + "[b]" + eol + "k2=v2" + eol +
                              "k3=v3");
    EXPECT_EQ(read("a", "k1", "def", f), (Got{"v1", 2}));
    EXPECT_EQ(read("a", "k2", "def", f), (Got{"def", 3}));
    EXPECT_EQ(read("b", "k2", "def", f), (Got{"v2", 2}));
    // The last line counts without a line end.
    EXPECT_EQ(read("b", "k3", "def", f), (Got{"v3", 2}));
  }
  // Mixed line ends in one file.
  const std::string f = ini("[a]\r\nk1=v1\rk2=v2\nk3=v3\r\n\r[b]\rk4=v4");
  EXPECT_EQ(read("a", "k1", "def", f), (Got{"v1", 2}));
  EXPECT_EQ(read("a", "k2", "def", f), (Got{"v2", 2}));
  EXPECT_EQ(read("a", "k3", "def", f), (Got{"v3", 2}));
  EXPECT_EQ(read("b", "k4", "def", f), (Got{"v4", 2}));
}

TEST_F(StoreRead, NulByteEndsTheValue) {
  const std::string f = ini("[s]\nk=ab\0cd\nk2=2\n[t]\nkey=x\0=y\n"s);
  EXPECT_EQ(read("s", "k", "def", f), (Got{"ab", 2}));
  // The lines after it are read as usual.
  EXPECT_EQ(read("s", "k2", "def", f), (Got{"2", 1}));
  // The text after the NUL is gone, '=' included.
  EXPECT_EQ(read("t", "key", "def", f), (Got{"x", 1}));
}

TEST_F(StoreRead, ValueLongerThanTheBufferIsCut) {
  const std::string f = ini("[s]\nk=val1\nq=\"abcdef\"\nu=aé€\n");
  EXPECT_EQ(read("s", "k", "def", f, 4), (Got{"val", 3}));
  EXPECT_EQ(read("s", "k", "def", f, 5), (Got{"val1", 4}));
  EXPECT_EQ(read("s", "k", "def", f, 1), (Got{"", 0}));
  // Quotes go before the cut; a cut quoted value keeps no quote.
  EXPECT_EQ(read("s", "q", "def", f, 4), (Got{"abc", 3}));
  EXPECT_EQ(read("s", "q", "def", f, 7), (Got{"abcdef", 6}));
  // "aé€" is 1 + 2 + 3 bytes; a cut falls before a split character.
  EXPECT_EQ(read("s", "u", "def", f, 3), (Got{"a", 1}));
  EXPECT_EQ(read("s", "u", "def", f, 6), (Got{"aé", 3}));
  EXPECT_EQ(read("s", "u", "def", f, 7), (Got{"aé€", 6}));
}

// Absent (nullopt) and empty arguments mean different things.
TEST_F(StoreRead, AbsentAndEmptyArgumentsDiffer) {
  ProfileStore store;
  const std::string f = ini("[s]\nb=2\na=1\n[t]\n");
  char buf[64];
  auto call = [&](std::optional<std::string_view> section, std::optional<std::string_view> key,
                  std::optional<std::string_view> def) {
    std::memset(buf, 'X', sizeof buf);
    const uint32_t ret = store.getString(section, key, def, buf, f);
    return std::string(buf, ret + 1);
  };
  // Absent key: the key list, ended by a second NUL.
  EXPECT_EQ(call("s", std::nullopt, "def"), "b\0a\0\0"s);
  // Empty key: a name, here not found.
  EXPECT_EQ(call("s", "", "def"), "def\0"s);
  // Absent section: the section names, whatever the key.
  EXPECT_EQ(call(std::nullopt, "a", "def"), "s\0t\0\0"s);
  EXPECT_EQ(call(std::nullopt, std::nullopt, "def"), "s\0t\0\0"s);
  // Empty section: a name, here not found.
  EXPECT_EQ(call("", "a", "def"), "def\0"s);
  // Absent and empty defaults both give empty text.
  EXPECT_EQ(call("s", "x", std::nullopt), "\0"s);
  EXPECT_EQ(call("s", "x", ""), "\0"s);
  // A section without keys lists nothing: the default comes back instead.
  EXPECT_EQ(call("t", std::nullopt, "def"), "def\0"s);
}

TEST_F(StoreRead, BareNamesAndAbsentFileReadTheWindowsDirectory) {
  std::filesystem::create_directories(drive_.windowsDir());
  writeFile(drive_.windowsDir() + "/WIN.INI", "[w]\nk=fromwin\n");
  writeFile(drive_.windowsDir() + "/app.ini", "[a]\nk=fromapp\n");
  writeFile(dir_.file("app.ini"), "[a]\nk=local\n");

  char buf[32];
  EXPECT_EQ(GetProfileStringA("w", "k", "def", buf, sizeof buf), 7u);
  EXPECT_STREQ(buf, "fromwin");
  // The bare name "win.ini" is the same file, whatever its case.
  EXPECT_EQ(read("W", "K", "def", "win.ini"), (Got{"fromwin", 7}));
  EXPECT_EQ(read("a", "k", "def", "APP.INI"), (Got{"fromapp", 7}));
  EXPECT_EQ(read("a", "k", "def", dir_.file("app.ini")), (Got{"local", 5}));

  ProfileStore store;
  EXPECT_EQ(store.getString("w", "k", "def", buf, std::nullopt), 7u);
  EXPECT_STREQ(buf, "fromwin");
}

}  // namespace
