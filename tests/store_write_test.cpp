// Writes through the C profile functions: the exact bytes each write leaves
// in the file, what a write must refuse or leave alone, and how the file is
// replaced on disk (permissions, links, no leftovers).
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "services/services.h"
#include "store/edit.h"
#include "store/profile_store.h"
#include "support/faulty_file_system.h"
#include "support/test_files.h"
#include "zidevuv10/profile.h"

using namespace std::string_literals;
using zidevuv10::testing::fileExists;
using zidevuv10::testing::listFolder;
using zidevuv10::testing::readFile;
using zidevuv10::testing::ScopedDriveC;
using zidevuv10::testing::TempDir;
using zidevuv10::testing::writeFile;

namespace {

// The value as GetPrivateProfileStringA answers it ("<default>" when absent).
std::string get(const char* section, const char* key, const std::string& file) {
  char buf[512];
  const uint32_t n = GetPrivateProfileStringA(section, key, "<default>", buf, sizeof buf,
                                              file.c_str());
  return std::string(buf, n);
}

int32_t put(const char* section, const char* key, const char* value, const std::string& file) {
  return WritePrivateProfileStringA(section, key, value, file.c_str());
}

// An entry list as WritePrivateProfileSectionA takes it: items separated by
// NULs, closed by an empty item.
std::string entryList(std::initializer_list<std::string> items) {
  std::string out;
  for (const auto& item : items) out += item + '\0';
  out += '\0';
  return out;
}

struct stat statOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st;
}

}  // namespace

TEST(StoreWrite, NewFileIsUtf8WithLfLineEnds) {
  TempDir dir;
  const std::string f = dir.file("new.ini");
  EXPECT_NE(put("App", "key", "string", f), 0);
  EXPECT_EQ(readFile(f), "[App]\nkey=string\n");
  EXPECT_EQ(get("App", "key", f), "string");
}

// ZIDEVUV10_NEWLINE=crlf: new and empty files get Windows' CRLF, as does a
// file of one line without a line end; files with line ends keep their own.
TEST(StoreWrite, NewAndEmptyFilesTakeCrlfWhenTheEnvironmentAsks) {
  TempDir dir;
  ASSERT_EQ(setenv("ZIDEVUV10_NEWLINE", "CRLF", 1), 0);
  // A store made now reads the choice; the C functions use it.
  zidevuv10::services::ScopedFileSystem stores(zidevuv10::fs::posixFileSystem());
  ASSERT_EQ(unsetenv("ZIDEVUV10_NEWLINE"), 0);

  const std::string created = dir.file("new.ini");
  ASSERT_NE(put("App", "key", "string", created), 0);
  ASSERT_NE(put("App", "key2", "two", created), 0);
  EXPECT_EQ(readFile(created), "[App]\r\nkey=string\r\nkey2=two\r\n");

  const std::string empty = dir.file("empty.ini");
  writeFile(empty, "");
  ASSERT_NE(WritePrivateProfileSectionA("S", entryList({"a=1", "b=2"}).c_str(), empty.c_str()),
            0);
  EXPECT_EQ(readFile(empty), "[S]\r\na=1\r\nb=2\r\n");

  const std::string oneLine = dir.file("one.ini");
  writeFile(oneLine, "[S]");
  ASSERT_NE(put("S", "k", "v", oneLine), 0);
  EXPECT_EQ(readFile(oneLine), "[S]\r\nk=v\r\n");

  const std::string lf = dir.file("lf.ini");
  writeFile(lf, "[S]\nk=v\n");
  ASSERT_NE(put("T", "k", "v", lf), 0);
  EXPECT_EQ(readFile(lf), "[S]\nk=v\n[T]\nk=v\n");
}

TEST(StoreWrite, BuildUpSequence) {
  TempDir dir;
  const std::string f = dir.file("build.ini");
  ASSERT_NE(put("App", "key", "string", f), 0);
  EXPECT_EQ(readFile(f), "[App]\nkey=string\n");

  // A new key goes after the last entry of its section.
  ASSERT_NE(put("App", "key2", "two", f), 0);
  EXPECT_EQ(readFile(f), "[App]\nkey=string\nkey2=two\n");

  // A new section goes to the end.
  ASSERT_NE(put("Other", "a", "1", f), 0);
  EXPECT_EQ(readFile(f), "[App]\nkey=string\nkey2=two\n[Other]\na=1\n");

  // Names match without case; the replaced line keeps its place and the
  // key's original spelling.
  ASSERT_NE(put("APP", "KEY", "new", f), 0);
  EXPECT_EQ(readFile(f), "[App]\nkey=new\nkey2=two\n[Other]\na=1\n");

  // A new key in the first section lands before the next header, with the
  // caller's spelling.
  ASSERT_NE(put("app", "Key3", "3", f), 0);
  EXPECT_EQ(readFile(f), "[App]\nkey=new\nkey2=two\nKey3=3\n[Other]\na=1\n");

  ASSERT_NE(put("Other", "b", "2", f), 0);
  EXPECT_EQ(readFile(f), "[App]\nkey=new\nkey2=two\nKey3=3\n[Other]\na=1\nb=2\n");
  EXPECT_EQ(get("App", "key3", f), "3");
}

TEST(StoreWrite, CrlfAndCrOnlyFilesKeepTheirLineEnds) {
  TempDir dir;
  const std::string crlf = dir.file("crlf.ini");
  writeFile(crlf, "[App]\r\nkey=old\r\n[B]\r\nx=1\r\n");
  ASSERT_NE(put("App", "key", "new", crlf), 0);
  ASSERT_NE(put("App", "key2", "v2", crlf), 0);
  ASSERT_NE(put("C", "c", "3", crlf), 0);
  EXPECT_EQ(readFile(crlf), "[App]\r\nkey=new\r\nkey2=v2\r\n[B]\r\nx=1\r\n[C]\r\nc=3\r\n");

  const std::string cr = dir.file("cr.ini");
  writeFile(cr, "[App]\rkey=old\r[B]\rx=1\r");
  EXPECT_EQ(get("B", "x", cr), "1");
  ASSERT_NE(put("App", "key", "new", cr), 0);
  ASSERT_NE(put("App", "key2", "v2", cr), 0);
  ASSERT_NE(put("C", "c", "3", cr), 0);
  EXPECT_EQ(readFile(cr), "[App]\rkey=new\rkey2=v2\r[B]\rx=1\r[C]\rc=3\r");
}

TEST(StoreWrite, ReplacedLineKeepsItsOwnLineEndAndKeySpelling) {
  TempDir dir;
  const std::string f = dir.file("mixed.ini");
  // The file's style is LF (its first line end); the replaced line ends in
  // CRLF and must keep it, while new lines use LF.
  writeFile(f, "[App]\n  KeY =  old value  \r\nnext=1\n");
  ASSERT_NE(put("app", "key", "new", f), 0);
  EXPECT_EQ(readFile(f), "[App]\nKeY=new\r\nnext=1\n");
  ASSERT_NE(put("App", "added", "x", f), 0);
  EXPECT_EQ(readFile(f), "[App]\nKeY=new\r\nnext=1\nadded=x\n");

  // With mixed line ends a new line takes the line end of the line it
  // follows: a new key, a new section at the end, a replaced section.
  const std::string g = dir.file("follow.ini");
  writeFile(g, "[A]\na=1\r\n[B]\nb=1\r\n");
  ASSERT_NE(put("A", "n", "2", g), 0);
  ASSERT_NE(put("C", "c", "3", g), 0);
  EXPECT_EQ(readFile(g), "[A]\na=1\r\nn=2\r\n[B]\nb=1\r\n[C]\r\nc=3\r\n");
  ASSERT_NE(WritePrivateProfileSectionA("B", "x=1\0y=2\0", g.c_str()), 0);
  EXPECT_EQ(readFile(g), "[A]\na=1\r\nn=2\r\n[B]\nx=1\r\ny=2\r\n[C]\r\nc=3\r\n");
}

TEST(StoreWrite, NewKeyGoesBeforeTrailingBlankLinesAndComments) {
  TempDir dir;
  const std::string f = dir.file("trail.ini");
  writeFile(f, "[A]\n; first\na=1\n; inner\nb=2\n\n; about B\n\n[B]\nx=1\n; end\n");
  ASSERT_NE(put("A", "c", "3", f), 0);
  EXPECT_EQ(readFile(f), "[A]\n; first\na=1\n; inner\nb=2\nc=3\n\n; about B\n\n[B]\nx=1\n; end\n");
  ASSERT_NE(put("B", "y", "2", f), 0);
  EXPECT_EQ(readFile(f),
            "[A]\n; first\na=1\n; inner\nb=2\nc=3\n\n; about B\n\n[B]\nx=1\ny=2\n; end\n");

  // A section holding only comments gets its first key right after the header.
  const std::string g = dir.file("comments_only.ini");
  writeFile(g, "[A]\n; note\n\n[B]\nx=1\n");
  ASSERT_NE(put("A", "k", "v", g), 0);
  EXPECT_EQ(readFile(g), "[A]\nk=v\n; note\n\n[B]\nx=1\n");
}

TEST(StoreWrite, EmptyValueAndTrimmedNames) {
  TempDir dir;
  const std::string f = dir.file("empty.ini");
  ASSERT_NE(put("App", "key", "", f), 0);
  EXPECT_EQ(readFile(f), "[App]\nkey=\n");
  // Found with an empty value: empty answer, not the default.
  EXPECT_EQ(get("App", "key", f), "");

  // Keys and values are trimmed; an all-blank value is empty.
  ASSERT_NE(put("App", "  spaced  ", "  v  w  ", f), 0);
  ASSERT_NE(put("App", "blank", " \t ", f), 0);
  EXPECT_EQ(readFile(f), "[App]\nkey=\nspaced=v  w\nblank=\n");

  // A new header is written as given (blanks kept); lookups trim it.
  ASSERT_NE(put("s2  ", "k", "v", f), 0);
  EXPECT_EQ(readFile(f), "[App]\nkey=\nspaced=v  w\nblank=\n[s2  ]\nk=v\n");
  ASSERT_NE(put("s2", "k2", "v2", f), 0);
  EXPECT_EQ(readFile(f), "[App]\nkey=\nspaced=v  w\nblank=\n[s2  ]\nk=v\nk2=v2\n");
}

// Whatever a read can name, a write can: section "" is "[]", key "" a
// line "=value".
TEST(StoreWrite, EmptyNamesAreWrittenWhereReadsFindThem) {
  TempDir dir;
  const std::string f = dir.file("empty_names.ini");
  writeFile(f, "top=1\n");
  ASSERT_NE(put("", "k", "v", f), 0);
  ASSERT_NE(put("s", "", "x", f), 0);
  ASSERT_NE(put(" ", "k2", "v2", f), 0);
  EXPECT_EQ(readFile(f), "top=1\n[]\nk=v\nk2=v2\n[s]\n=x\n");
  EXPECT_EQ(get("", "k", f), "v");
  EXPECT_EQ(get("s", "", f), "x");
  ASSERT_NE(put("S", " ", "y", f), 0);
  EXPECT_EQ(readFile(f), "top=1\n[]\nk=v\nk2=v2\n[s]\n=y\n");
  ASSERT_NE(put("s", "", nullptr, f), 0);
  ASSERT_NE(put("", nullptr, nullptr, f), 0);
  EXPECT_EQ(readFile(f), "top=1\n[s]\n");
}

TEST(StoreWrite, DeleteKeyRemovesEveryLineOfItInTheFirstSection) {
  TempDir dir;
  const std::string f = dir.file("delkey.ini");
  writeFile(f, "[A]\na=1\nb=2\n  A = 3\n; c\n[B]\na=4\n[a]\na=5\n");
  ASSERT_NE(put("a", "A", nullptr, f), 0);
  // Both lines of "a" in the first [A] go, so no shadowed duplicate
  // reappears; the other sections keep theirs.
  EXPECT_EQ(readFile(f), "[A]\nb=2\n; c\n[B]\na=4\n[a]\na=5\n");
  EXPECT_EQ(get("A", "a", f), "<default>");
  EXPECT_EQ(get("B", "a", f), "4");

  // Deleting the last key leaves the bare header.
  ASSERT_NE(put("A", "b", nullptr, f), 0);
  EXPECT_EQ(readFile(f), "[A]\n; c\n[B]\na=4\n[a]\na=5\n");

  // The last line of the file, without a line end.
  const std::string g = dir.file("delkey_last.ini");
  writeFile(g, "[A]\na=1\nb=2");
  ASSERT_NE(put("A", "b", nullptr, g), 0);
  EXPECT_EQ(readFile(g), "[A]\na=1\n");
}

TEST(StoreWrite, DeleteSectionRemovesEveryCopyAndKeepsOtherLines) {
  TempDir dir;
  const std::string f = dir.file("delsec.ini");
  writeFile(f,
            "; top\n[A]\na=1\n; inside\nb=2\n\n; about B\n[B]\nb=1\n[a]\nc=2\n; end\n");
  ASSERT_NE(put("A", nullptr, "ignored", f), 0);
  // Each copy goes from its header to its last entry; comments and blank
  // lines after the last entry stay, as they usually introduce what follows.
  EXPECT_EQ(readFile(f), "; top\n\n; about B\n[B]\nb=1\n; end\n");
  EXPECT_EQ(get("A", "a", f), "<default>");
  EXPECT_EQ(get("B", "b", f), "1");

  // A NULL entry list deletes the section too.
  ASSERT_NE(WritePrivateProfileSectionA("b", nullptr, f.c_str()), 0);
  EXPECT_EQ(readFile(f), "; top\n\n; about B\n; end\n");
}

// Everything a read asks of a document, as one text.
std::string describe(const zidevuv10::store::Document& d) {
  std::string out(d.raw());
  out += "|" + std::string(d.lineEnd()) + std::to_string(d.hasLineEnd()) +
         std::to_string(d.endOfText()) + std::to_string(d.endsWithLineEnd()) + "|" +
         d.sectionNameList() + "|";
  std::string scratch;
  for (int i = -1; i < d.sectionCount(); ++i) {
    const int s = i < 0 ? zidevuv10::store::Document::kPreamble : i;
    const std::string name = i < 0 ? std::string() : std::string(d.sectionName(s));
    out += name + "@" + std::to_string(d.findSection(name)) + ":" +
           std::string(d.entryList(s, scratch)) + ";";
    for (std::string_view keys = d.keyList(s, scratch); !keys.empty();) {
      const std::string key(keys.substr(0, keys.find('\0')));
      keys.remove_prefix(std::min(keys.size(), key.size() + 1));
      const auto line = d.findKey(s, key);
      out += key + "=" + (line ? std::string(d.value(*line)) : "?") + ",";
    }
  }
  return out;
}

TEST(StoreWrite, TheDocumentKeptAfterAWriteIsTheNewFileParsedAgain) {
  // A write keeps the new file's document built from the old one where
  // only entry lines changed: it must answer every read as parsing the new
  // bytes does, for every kind of change and file.
  namespace st = zidevuv10::store;
  std::string big = "[big]\n";
  for (int i = 0; i < 60; ++i) big += "k" + std::to_string(i) + "=value " + std::to_string(i) + "\n";
  const std::vector<std::string> files = {
      "[a]\nx=1\ny=2\n[b]\nz=3\n",
      "\xEF\xBB\xBF; top\r\n[a]\r\nx=1\r\n\r\n[B]\r\n;c\r\nz=3\r\n[a]\r\nx=dup\r\n",
      "pre=1\n[a]\nx=1\n[b]\nz=3",           // no line end at the end
      "[a]\rx=1\r[b]\rz=3\r[c]\n",          // lone CRs
      "[a]\nx=1\n[not a header\n  [b] \nz=3\n" + big,
      "[a]\nx=1\n[b]\nz=3\n",
  };
  using Plan = std::function<st::EditPlan(const st::Document&)>;
  const std::vector<st::ValueWrite> several = {
      {"a", "x", "new"}, {"b", "z", std::nullopt}, {"big", "k30", "changed"}, {"b", "w", "4"}};
  const std::vector<Plan> plans = {
      [](const st::Document& d) { return st::planWriteValue(d, "a", "x", "changed value"); },
      [](const st::Document& d) { return st::planWriteValue(d, "B", "new", "v"); },
      [](const st::Document& d) { return st::planWriteValue(d, "fresh", "k", "v"); },
      [](const st::Document& d) { return st::planWriteValue(d, "", "pre", "2"); },
      [](const st::Document& d) { return st::planWriteValue(d, "a", "x", "[b]"); },
      [](const st::Document& d) { return st::planDeleteKey(d, "a", "x"); },
      [](const st::Document& d) { return st::planDeleteKey(d, "b", "z"); },
      [](const st::Document& d) { return st::planDeleteSection(d, "a"); },
      [](const st::Document& d) { return st::planAddSection(d, "added"); },
      [](const st::Document& d) { return st::planReplaceSection(d, "b", {"p=1", "q=2"}); },
      [&](const st::Document& d) { return st::planWriteValues(d, several); },
  };
  for (std::size_t f = 0; f < files.size(); ++f) {
    const auto base = st::Document::parse(std::string(files[f]));
    for (std::size_t p = 0; p < plans.size(); ++p) {
      SCOPED_TRACE("file " + std::to_string(f) + ", change " + std::to_string(p));
      const st::EditPlan plan = plans[p](*base);
      const auto bytes = st::applyPlan(*base, plan);
      ASSERT_TRUE(bytes.has_value());
      EXPECT_EQ(describe(*st::documentAfter(*base, plan, *bytes)),
                describe(*st::Document::parse(std::string(*bytes))));
    }
  }
}

TEST(StoreWrite, DeletingWhatIsAbsentSucceedsAndChangesNoFileThatExists) {
  TempDir dir;
  // In a missing file, each delete succeeds and leaves an empty file
  // behind, as on Windows; an empty entry list deletes nothing and makes none.
  const std::string missing[] = {dir.file("m1.ini"), dir.file("m2.ini"), dir.file("m3.ini")};
  SetLastError(5);
  EXPECT_NE(put("App", "key", nullptr, missing[0]), 0);
  EXPECT_EQ(GetLastError(), 0u);
  EXPECT_NE(put("App", nullptr, "string", missing[1]), 0);
  EXPECT_NE(WritePrivateProfileSectionA("A", nullptr, missing[2].c_str()), 0);
  for (const std::string& m : missing) {
    ASSERT_TRUE(fileExists(m)) << m;
    EXPECT_EQ(readFile(m), "") << m;
  }
  const std::string untouched = dir.file("m4.ini");
  EXPECT_NE(WritePrivateProfileSectionA("A", "\0", untouched.c_str()), 0);
  EXPECT_FALSE(fileExists(untouched));

  // Also in a folder that does not exist: nothing to change, nothing made.
  const std::string deep = dir.file("nofolder/x.ini");
  EXPECT_NE(put("A", "k", nullptr, deep), 0);
  EXPECT_FALSE(fileExists(dir.file("nofolder")));

  const std::string f = dir.file("present.ini");
  const std::string before = "[A]\na = 1\n\n[B]\nb=2";
  writeFile(f, before);
  EXPECT_NE(put("A", "zz", nullptr, f), 0);
  EXPECT_NE(put("Nope", "a", nullptr, f), 0);
  EXPECT_NE(put("Nope", nullptr, nullptr, f), 0);
  EXPECT_EQ(readFile(f), before);
}

TEST(StoreWrite, DeletionsOnAnEmptyFileLeaveItEmpty) {
  TempDir dir;
  const std::string f = dir.file("empty.ini");
  writeFile(f, "");
  EXPECT_NE(put("section", "key", nullptr, f), 0);
  EXPECT_NE(put("section", nullptr, nullptr, f), 0);
  EXPECT_NE(put("section", nullptr, "value", f), 0);
  ASSERT_TRUE(fileExists(f));
  EXPECT_EQ(readFile(f), "");
}

TEST(StoreWrite, LastLineWithoutLineEndIsEndedBeforeNewText) {
  TempDir dir;
  const std::string f = dir.file("noeol.ini");
  writeFile(f, "[A]\na=1");
  ASSERT_NE(put("A", "b", "2", f), 0);
  EXPECT_EQ(readFile(f), "[A]\na=1\nb=2\n");

  const std::string g = dir.file("noeol_crlf.ini");
  writeFile(g, "[A]\r\na=1");
  ASSERT_NE(put("B", "x", "1", g), 0);
  EXPECT_EQ(readFile(g), "[A]\r\na=1\r\n[B]\r\nx=1\r\n");

  // Replacing the value on that last line keeps the missing line end.
  const std::string h = dir.file("noeol_replace.ini");
  writeFile(h, "[A]\na=1");
  ASSERT_NE(put("A", "a", "2", h), 0);
  EXPECT_EQ(readFile(h), "[A]\na=2");

  // A file of one header without a line end.
  const std::string k = dir.file("header_only.ini");
  writeFile(k, "[A]");
  ASSERT_NE(put("A", "a", "1", k), 0);
  EXPECT_EQ(readFile(k), "[A]\na=1\n");
}

TEST(StoreWrite, BytesBeforeTheFirstSectionSurvive) {
  TempDir dir;
  const std::string f = dir.file("prefix.ini");
  // Text with NULs and no line end before any section.
  const std::string prefix = "\0\0garbage\0 text;\0\0 more=1\0 [x\0]"s;
  writeFile(f, prefix);
  ASSERT_NE(put("section1", "key1", "string1", f), 0);
  EXPECT_EQ(readFile(f), prefix + "\n[section1]\nkey1=string1\n");
  ASSERT_NE(put("section1", "key1", "string2", f), 0);
  EXPECT_EQ(readFile(f), prefix + "\n[section1]\nkey1=string2\n");
  EXPECT_EQ(get("section1", "key1", f), "string2");
}

TEST(StoreWrite, UntouchedLinesSurviveByteForByte) {
  TempDir dir;
  const std::string f = dir.file("layout.ini");
  const std::string head =
      "; head comment\n"
      "\n"
      "  [ App ]  trailing text\n"
      "  a   =   1  \n"
      "\t; indented comment\n"
      "bare line\n"
      "\n";
  const std::string tail =
      "[Next]\n"
      "x = y = z\t\n"
      "#hash=1\n";
  writeFile(f, head + "b = 2\n" + tail);
  ASSERT_NE(put("App", "b", "3", f), 0);
  EXPECT_EQ(readFile(f), head + "b=3\n" + tail);
  ASSERT_NE(put("App", "c", "4", f), 0);
  EXPECT_EQ(readFile(f), head + "b=3\nc=4\n" + tail);
  ASSERT_NE(put("Next", "n", "5", f), 0);
  EXPECT_EQ(readFile(f), head + "b=3\nc=4\n" + tail + "n=5\n");
  EXPECT_EQ(get("App", "a", f), "1");
  EXPECT_EQ(get("Next", "x", f), "y = z");
}

TEST(StoreWrite, UnchangedValueRewritesNothing) {
  TempDir dir;
  const std::string f = dir.file("same.ini");
  writeFile(f, "[App]\nkey =  value \nother=1\n");
  // An old timestamp, so that any rewrite would show.
  const timespec past[2] = {{946684800, 0}, {946684800, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, f.c_str(), past, 0), 0);
  const struct stat before = statOf(f);

  EXPECT_NE(put("App", "key", "value", f), 0);
  EXPECT_NE(put("app", "KEY", "  value ", f), 0);
  EXPECT_NE(put("App", "other", "1", f), 0);
  const struct stat after = statOf(f);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(readFile(f), "[App]\nkey =  value \nother=1\n");

  // A real change does rewrite.
  ASSERT_NE(put("App", "key", "changed", f), 0);
  EXPECT_EQ(readFile(f), "[App]\nkey=changed\nother=1\n");
  EXPECT_NE(statOf(f).st_mtim.tv_sec, before.st_mtim.tv_sec);
}

TEST(StoreWrite, NullSectionFlushAndEmptyFileName) {
  ScopedDriveC driveC;
  TempDir dir;
  const std::string missing = dir.file("missing.ini");
  // NULL section with a key fails and creates nothing.
  EXPECT_EQ(put(nullptr, "key", "value", missing), 0);
  EXPECT_EQ(put(nullptr, "key", nullptr, missing), 0);
  EXPECT_FALSE(fileExists(missing));

  const std::string f = dir.file("present.ini");
  writeFile(f, "[A]\nkey=1\n");
  EXPECT_EQ(put(nullptr, "key", "value", f), 0);
  EXPECT_EQ(readFile(f), "[A]\nkey=1\n");

  // All arguments NULL: the cache flush, which answers 0 and changes nothing.
  EXPECT_EQ(put(nullptr, nullptr, nullptr, f), 0);
  EXPECT_EQ(WritePrivateProfileSectionA(nullptr, nullptr, f.c_str()), 0);
  EXPECT_EQ(put(nullptr, nullptr, nullptr, missing), 0);
  EXPECT_EQ(readFile(f), "[A]\nkey=1\n");
  EXPECT_FALSE(fileExists(missing));

  // The empty file name is no file at all.
  EXPECT_EQ(WritePrivateProfileStringA("A", "k", "v", ""), 0);
  EXPECT_EQ(WritePrivateProfileSectionA("A", "k=v\0\0", ""), 0);
  EXPECT_FALSE(fileExists(driveC.folder()));
}

TEST(StoreWrite, WritesThatCouldInjectStructureAreRefused) {
  TempDir dir;
  const std::string f = dir.file("refuse.ini");
  const std::string before = "[A]\nk=1\n";
  writeFile(f, before);
  EXPECT_EQ(put("A\nB", "k", "v", f), 0);
  EXPECT_EQ(put("A\r", "k", "v", f), 0);
  EXPECT_EQ(put("A", "k\n", "v", f), 0);
  EXPECT_EQ(put("A", "x\ry", "v", f), 0);
  EXPECT_EQ(put("A", "k", "v\r\n[Evil]\r\nx=1", f), 0);
  EXPECT_EQ(put("A", "k", "a\rb", f), 0);
  EXPECT_EQ(put("A", "k", "a\nb", f), 0);
  EXPECT_EQ(put("A", "a=b", "v", f), 0);
  EXPECT_EQ(put("A", "[k", "v", f), 0);
  EXPECT_EQ(put("A", "  [k]", "v", f), 0);
  // Invalid UTF-8 in any argument.
  EXPECT_EQ(put("A\xC3", "k", "v", f), 0);
  EXPECT_EQ(put("A", "\xFF", "v", f), 0);
  EXPECT_EQ(put("A", "k", "\xC3\x28", f), 0);
  EXPECT_EQ(put("A", "k", "\xED\xA0\x80", f), 0);  // an encoded surrogate
  // Deletions with such names are refused as well.
  EXPECT_EQ(put("A", "k\n", nullptr, f), 0);
  EXPECT_EQ(put("A\n", nullptr, nullptr, f), 0);
  EXPECT_EQ(readFile(f), before);
  EXPECT_EQ(get("A", "k", f), "1");

  const std::string missing = dir.file("missing.ini");
  EXPECT_EQ(put("A", "k", "v\nx", missing), 0);
  EXPECT_FALSE(fileExists(missing));
  EXPECT_EQ(listFolder(dir.path()), "refuse.ini");
}

TEST(StoreWrite, KeyStartingWithSemicolonIsWrittenAsAComment) {
  TempDir dir;
  const std::string f = dir.file("semi.ini");
  ASSERT_NE(put("A", "a", "1", f), 0);
  ASSERT_NE(put("A", ";note", "x", f), 0);
  EXPECT_EQ(readFile(f), "[A]\na=1\n;note=x\n");
  // Found by an exact lookup, left out of the key list.
  EXPECT_EQ(get("A", ";note", f), "x");
  char buf[64];
  const uint32_t n = GetPrivateProfileStringA("A", nullptr, "", buf, sizeof buf, f.c_str());
  EXPECT_EQ(std::string(buf, n), "a"s + '\0');
  // Writing it again replaces that line.
  ASSERT_NE(put("A", ";note", "y", f), 0);
  EXPECT_EQ(readFile(f), "[A]\na=1\n;note=y\n");
}

TEST(StoreWrite, WriteSectionReplacesEntriesInPlace) {
  TempDir dir;
  const std::string f = dir.file("sect.ini");
  writeFile(f, "[First]\nf=1\n[MySec] tail\n; lead\na=1\n; keep\nbare\n\nb=2\n\n[Last]\nl=1\n");
  const std::string list = entryList({"c=3", "  d  =  4  ", " loose "});
  ASSERT_NE(WritePrivateProfileSectionA("mysec", list.c_str(), f.c_str()), 0);
  // The header keeps its place and spelling, comments stay, new entries
  // take the place of the first old one, trimmed.
  EXPECT_EQ(readFile(f),
            "[First]\nf=1\n[MySec] tail\n; lead\nc=3\nd=4\nloose\n; keep\n\n\n[Last]\nl=1\n");
  EXPECT_EQ(get("MySec", "a", f), "<default>");
  EXPECT_EQ(get("MySec", "d", f), "4");

  // A missing section is created at the end.
  const std::string more = entryList({"x=1", "y=2"});
  ASSERT_NE(WritePrivateProfileSectionA("New", more.c_str(), f.c_str()), 0);
  EXPECT_EQ(readFile(f), "[First]\nf=1\n[MySec] tail\n; lead\nc=3\nd=4\nloose\n; keep\n\n\n"
                         "[Last]\nl=1\n[New]\nx=1\ny=2\n");

  // Mixed with key writes.
  ASSERT_NE(put("New", "z", "3", f), 0);
  EXPECT_EQ(get("New", "z", f), "3");
  EXPECT_EQ(get("New", "x", f), "1");
}

TEST(StoreWrite, WriteSectionWithEmptyOrNullEntries) {
  TempDir dir;
  const std::string f = dir.file("sect.ini");
  writeFile(f, "[A]\na=1\n; c\nb=2\n[B]\nx=1\n");
  // "" removes every entry but keeps the header and comments.
  ASSERT_NE(WritePrivateProfileSectionA("A", "\0", f.c_str()), 0);
  EXPECT_EQ(readFile(f), "[A]\n; c\n[B]\nx=1\n");
  // On a missing section it creates nothing.
  ASSERT_NE(WritePrivateProfileSectionA("Missing", "\0", f.c_str()), 0);
  EXPECT_EQ(readFile(f), "[A]\n; c\n[B]\nx=1\n");
  // Nor a missing file.
  const std::string missing = dir.file("missing.ini");
  EXPECT_NE(WritePrivateProfileSectionA("A", "\0", missing.c_str()), 0);
  EXPECT_FALSE(fileExists(missing));
  // NULL entries delete the section; with no entry left the header goes
  // and the comment after it stays.
  ASSERT_NE(WritePrivateProfileSectionA("A", nullptr, f.c_str()), 0);
  EXPECT_EQ(readFile(f), "; c\n[B]\nx=1\n");

  // A new file from an entry list.
  const std::string g = dir.file("fresh.ini");
  const std::string list = entryList({"k=v", "k=w"});
  ASSERT_NE(WritePrivateProfileSectionA("S", list.c_str(), g.c_str()), 0);
  EXPECT_EQ(readFile(g), "[S]\nk=v\nk=w\n");
}

TEST(StoreWrite, WriteSectionRefusesEntriesThatWouldAddStructure) {
  TempDir dir;
  const std::string f = dir.file("sect.ini");
  const std::string before = "[A]\na=1\n";
  writeFile(f, before);
  const std::string header = entryList({"[x]"});
  const std::string keyBracket = entryList({"a=1", "[b=2"});
  const std::string lineEnd = entryList({"a=1\n[y]"});
  const std::string badUtf8 = entryList({"a=\xC3"});
  EXPECT_EQ(WritePrivateProfileSectionA("A", header.c_str(), f.c_str()), 0);
  EXPECT_EQ(WritePrivateProfileSectionA("A", keyBracket.c_str(), f.c_str()), 0);
  EXPECT_EQ(WritePrivateProfileSectionA("A", lineEnd.c_str(), f.c_str()), 0);
  EXPECT_EQ(WritePrivateProfileSectionA("A", badUtf8.c_str(), f.c_str()), 0);
  EXPECT_EQ(WritePrivateProfileSectionA("A\n[B]", "a=1\0\0", f.c_str()), 0);
  EXPECT_EQ(WritePrivateProfileSectionA(nullptr, "a=1\0\0", f.c_str()), 0);
  EXPECT_EQ(readFile(f), before);
}

TEST(StoreWrite, MissingFoldersAreCreatedOnlyForDriveC) {
  ScopedDriveC driveC;
  TempDir dir;
  // An ordinary folder that does not exist: the write fails, nothing is made.
  EXPECT_EQ(put("A", "k", "v", dir.file("absent/a.ini")), 0);
  EXPECT_EQ(WritePrivateProfileSectionA("A", "k=v\0\0", dir.file("absent/a.ini").c_str()), 0);
  EXPECT_FALSE(fileExists(dir.file("absent")));

  // Drive C's folder is created when first needed.
  ASSERT_FALSE(fileExists(driveC.folder()));
  EXPECT_NE(put("A", "k", "v", "C:\\c.ini"), 0);
  EXPECT_EQ(readFile(driveC.folder() + "/c.ini"), "[A]\nk=v\n");

  // A bare name lands in the Windows directory, created as needed.
  EXPECT_NE(put("A", "k", "v", "bare.ini"), 0);
  EXPECT_EQ(readFile(driveC.windowsDir() + "/bare.ini"), "[A]\nk=v\n");

  // Other folders of drive C are not created.
  EXPECT_EQ(put("A", "k", "v", "C:\\Program Files\\app.ini"), 0);
  EXPECT_EQ(put("A", "k", "v", "C:\\WINDOWS\\sub\\app.ini"), 0);
  EXPECT_FALSE(fileExists(driveC.folder() + "/Program Files"));
  EXPECT_FALSE(fileExists(driveC.windowsDir() + "/sub"));
}

TEST(StoreWrite, WindowsDirectoryIsCreatedForWinIni) {
  ScopedDriveC driveC;
  ASSERT_FALSE(fileExists(driveC.folder()));
  EXPECT_NE(WriteProfileStringA("Sec", "k", "v"), 0);
  EXPECT_EQ(readFile(driveC.windowsDir() + "/WIN.INI"), "[Sec]\nk=v\n");
}

TEST(StoreWrite, WinIniFunctionsAndBareWinIniShareOneFile) {
  ScopedDriveC driveC;
  ASSERT_NE(WriteProfileStringA("Sec", "k", "v"), 0);
  const std::string winIni = driveC.windowsDir() + "/WIN.INI";
  EXPECT_EQ(readFile(winIni), "[Sec]\nk=v\n");

  // The bare name, in any case, reaches the same file.
  EXPECT_EQ(get("Sec", "k", "win.ini"), "v");
  EXPECT_EQ(get("sec", "K", "Win.Ini"), "v");
  ASSERT_NE(put("Sec", "k2", "w", "win.ini"), 0);
  ASSERT_NE(put("Sec", "k3", "x", "wIN.iNI"), 0);
  EXPECT_EQ(readFile(winIni), "[Sec]\nk=v\nk2=w\nk3=x\n");
  EXPECT_EQ(listFolder(driveC.windowsDir()), "WIN.INI");

  char buf[64];
  EXPECT_EQ(GetProfileStringA("Sec", "k2", "", buf, sizeof buf), 1u);
  EXPECT_STREQ(buf, "w");
  EXPECT_EQ(GetProfileIntA("Sec", "missing", 7), 7u);

  // The section functions act on the file, with no registry in between.
  ASSERT_NE(WriteProfileSectionA("Other", "a=1\0b=2\0\0"), 0);
  EXPECT_EQ(readFile(winIni), "[Sec]\nk=v\nk2=w\nk3=x\n[Other]\na=1\nb=2\n");
  const uint32_t n = GetProfileSectionA("Other", buf, sizeof buf);
  EXPECT_EQ(std::string(buf, n), "a=1\0b=2\0"s);
  EXPECT_EQ(GetProfileIntA("other", "B", 0), 2u);

  ASSERT_NE(WriteProfileStringA("Sec", nullptr, nullptr), 0);
  EXPECT_EQ(readFile(winIni), "[Other]\na=1\nb=2\n");
  ASSERT_NE(WriteProfileSectionA("Other", nullptr), 0);
  EXPECT_EQ(readFile(winIni), "");
}

TEST(StoreWrite, ReplacementKeepsPermissions) {
  TempDir dir;
  const std::string f = dir.file("perm.ini");
  writeFile(f, "[A]\na=1\n");
  ASSERT_EQ(::chmod(f.c_str(), 0640), 0);
  ASSERT_NE(put("A", "b", "2", f), 0);
  EXPECT_EQ(readFile(f), "[A]\na=1\nb=2\n");
  EXPECT_EQ(statOf(f).st_mode & 07777, 0640u);

  ASSERT_EQ(::chmod(f.c_str(), 0604), 0);
  ASSERT_NE(WritePrivateProfileSectionA("A", "c=3\0\0", f.c_str()), 0);
  EXPECT_EQ(statOf(f).st_mode & 07777, 0604u);
}

TEST(StoreWrite, ReplacementKeepsHardLinksAttributesAndAcl) {
  TempDir dir;
  // A second hard link sees every write: the file is the same file after.
  const std::string f = dir.file("linked.ini");
  const std::string g = dir.file("other-name.ini");
  writeFile(f, "[A]\na=1\n");
  ASSERT_EQ(::link(f.c_str(), g.c_str()), 0);
  const ino_t inode = statOf(f).st_ino;
  ASSERT_NE(put("A", "b", "2", f), 0);
  ASSERT_NE(put("A", "a", nullptr, g), 0);
  EXPECT_EQ(readFile(f), "[A]\nb=2\n");
  EXPECT_EQ(readFile(g), "[A]\nb=2\n");
  EXPECT_EQ(statOf(f).st_ino, inode);
  EXPECT_EQ(statOf(f).st_nlink, 2u);
  EXPECT_EQ(listFolder(dir.path()),
            ".linked.ini.zdv-journal .other-name.ini.zdv-journal linked.ini other-name.ini");

  // Extended attributes and an ACL survive a replacement by rename.
  const std::string h = dir.file("tagged.ini");
  writeFile(h, "[A]\na=1\n");
  const std::string acl = zidevuv10::testing::accessAcl(6, 4, 4, {{54321, 6}});
  if (::setxattr(h.c_str(), "user.origin", "me", 2, 0) != 0 ||
      ::setxattr(h.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0) {
    GTEST_SKIP() << "no extended attributes or ACLs here: " << std::strerror(errno);
  }
  const mode_t mode = statOf(h).st_mode;
  ASSERT_NE(put("A", "a", "2", h), 0);
  EXPECT_EQ(readFile(h), "[A]\na=2\n");
  char value[64] = {};
  EXPECT_EQ(::getxattr(h.c_str(), "user.origin", value, sizeof value), 2);
  EXPECT_STREQ(value, "me");
  std::string now(acl.size() + 16, '\0');
  const ssize_t n = ::getxattr(h.c_str(), "system.posix_acl_access", now.data(), now.size());
  ASSERT_GT(n, 0) << "the ACL was dropped";
  now.resize(static_cast<std::size_t>(n));
  EXPECT_TRUE(now == acl) << "the ACL changed";
  EXPECT_EQ(statOf(h).st_mode, mode);
}

TEST(StoreWrite, SymbolicLinkIsWrittenThrough) {
  TempDir dir;
  TempDir other;
  const std::string target = dir.file("real.ini");
  const std::string link = dir.file("link.ini");
  writeFile(target, "[A]\na=1\n");
  ASSERT_EQ(::symlink("real.ini", link.c_str()), 0);
  ASSERT_NE(put("A", "b", "2", link), 0);

  struct stat st {};
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(readFile(target), "[A]\na=1\nb=2\n");
  EXPECT_EQ(listFolder(dir.path()), "link.ini real.ini");

  // An absolute link into another folder.
  const std::string far = other.file("far.ini");
  writeFile(far, "[A]\nx=1\n");
  const std::string farLink = dir.file("far_link.ini");
  ASSERT_EQ(::symlink(far.c_str(), farLink.c_str()), 0);
  ASSERT_NE(put("A", "x", "2", farLink), 0);
  ASSERT_EQ(::lstat(farLink.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(readFile(far), "[A]\nx=2\n");
  EXPECT_EQ(listFolder(other.path()), "far.ini");
}

TEST(StoreWrite, NoTemporaryFileIsLeftBehind) {
  TempDir dir;
  const std::string f = dir.file("a.ini");
  ASSERT_NE(put("A", "k", "v", f), 0);
  ASSERT_NE(put("A", "k", "w", f), 0);
  ASSERT_NE(put("B", "k", "v", f), 0);
  ASSERT_NE(put("A", "k", nullptr, f), 0);
  ASSERT_NE(WritePrivateProfileSectionA("C", "x=1\0\0", f.c_str()), 0);
  ASSERT_NE(put("C", nullptr, nullptr, f), 0);
  EXPECT_EQ(put("A", "k", "bad\nvalue", f), 0);
  EXPECT_EQ(put(nullptr, nullptr, nullptr, f), 0);
  EXPECT_EQ(readFile(f), "[A]\n[B]\nk=v\n");
  EXPECT_EQ(listFolder(dir.path()), "a.ini");
}

TEST(StoreWrite, SeveralValuesMakeTheFileOfEachWriteInTurnInOneReplacement) {
  using zidevuv10::store::ValueWrite;
  TempDir dir;
  const std::vector<ValueWrite> writes{
      {"A", "x", "new"}, {"New", "n1", "1"}, {"a", "added", "2"}, {"B", "z", "same"},
      {"New", "N1", "later"}, {"Other", "o", "3"}, {" b ", "w", "4"}, {"A", "x", "newest"}};
  for (const std::string& start :
       {""s, "; head\r\n[A]\r\nx=old\r\n\r\n[B]\r\nz=same\r\n"s, "[B]\nz=1\n[A]\nx=1"s,
        "[A]\n[B]\n"s, "\xff\xfe[\0A\0]\0\n\0"s}) {
    const std::string expectedFile = dir.file("expected.ini");
    const std::string f = dir.file("batch.ini");
    writeFile(expectedFile, start);
    writeFile(f, start);
    for (const ValueWrite& w : writes) {
      ASSERT_NE(put(std::string(w.section).c_str(), std::string(w.key).c_str(),
                    std::string(*w.value).c_str(), expectedFile),
                0);
    }
    auto fs = std::make_shared<zidevuv10::testing::FaultyFileSystem>();
    int renames = 0;
    fs->setHook([&](zidevuv10::testing::FsOp op, const std::string&) {
      if (op == zidevuv10::testing::FsOp::Rename) ++renames;
    });
    zidevuv10::store::ProfileStore store(fs);
    EXPECT_NE(store.writeValues(writes, f), 0);
    EXPECT_EQ(readFile(f), readFile(expectedFile)) << start;
    EXPECT_EQ(renames, 1) << start;
    // One refused value refuses them all.
    std::vector<ValueWrite> refused = writes;
    refused.push_back({"A", "[bad", "v"});
    EXPECT_EQ(store.writeValues(refused, f), 0);
    EXPECT_EQ(readFile(f), readFile(expectedFile)) << start;
  }
}
