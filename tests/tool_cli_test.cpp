// The command-line tool zidevuv10, run as a separate process as a user runs
// it: the store commands on real files (what they print and the bytes they
// leave), host paths reaching the file named, answers longer than any first
// buffer, usage errors and help texts with their exit statuses, the class
// listings against the library's own tables, registration into a chosen
// registry, and the run command's options.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "script_host.h"
#include "support/run_process.h"
#include "support/test_files.h"
#include "zidevuv10/profile.h"
#include "zidevuv10/text.h"
#include "zidevuv10/type_info.h"
#include "zidevuv10/version.h"

#ifndef ZIDEVUV10_TOOL
#error "ZIDEVUV10_TOOL must name the tool's executable"
#endif

namespace zidevuv10 {
namespace {

using testing::fileExists;
using testing::listFolder;
using testing::ProcessResult;
using testing::readFile;
using testing::realFolder;
using testing::ScopedCurrentFolder;
using testing::ScopedDriveC;
using testing::ScopedEnv;
using testing::TempDir;
using testing::writeFile;

std::string utf8(std::u16string_view s) { return Text(std::u16string(s)).utf8(); }

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

// Every test runs the tool with drive C (and so the Windows directory) and
// the registry in temporary folders, so no test touches the user's files.
class ToolTest : public ::testing::Test {
 protected:
  ProcessResult tool(const std::vector<std::string>& args, std::string_view input = {}) {
    std::vector<std::string> argv{ZIDEVUV10_TOOL};
    argv.insert(argv.end(), args.begin(), args.end());
    return testing::runProcess(argv, input);
  }

  // A runtime failure: status 1, nothing printed, one line on standard
  // error that starts with the tool's name and holds `mention`.
  void expectFailure(const ProcessResult& r, const std::string& mention) {
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("zidevuv10: ", 0), 0u) << r.err;
    EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
    EXPECT_NE(r.err.find(mention), std::string::npos) << r.err;
  }

  std::string file(std::string_view name) const { return dir_.file(name); }

  ScopedDriveC driveC_;
  TempDir dir_;
  ScopedEnv registry_{"ZIDEVUV10_REGISTRY", dir_.file("default-registry.ini")};
};

// ---------------------------------------------------------------- store

using ToolStoreTest = ToolTest;

TEST_F(ToolStoreTest, SetCreatesTheFileAndGetReadsItBack) {
  const std::string ini = file("app.ini");
  ASSERT_EQ(tool({"set", ini, "Main", "name", "Hello World"}).status, 0);
  EXPECT_EQ(readFile(ini), "[Main]\nname=Hello World\n");
  ASSERT_EQ(tool({"set", ini, "Main", "count", "5"}).status, 0);
  ASSERT_EQ(tool({"set", ini, "Second", "a", "b"}).status, 0);
  ASSERT_EQ(tool({"set", ini, "main", "NAME", "changed"}).status, 0);
  EXPECT_EQ(readFile(ini), "[Main]\nname=changed\ncount=5\n[Second]\na=b\n");
  // Without KEY a missing section is added empty, an existing one kept;
  // without VALUE the value is empty.
  ASSERT_EQ(tool({"set", ini, "Empty"}).status, 0);
  ASSERT_EQ(tool({"set", ini, "second"}).status, 0);
  ASSERT_EQ(tool({"set", ini, "Empty", "blank"}).status, 0);
  EXPECT_EQ(readFile(ini), "[Main]\nname=changed\ncount=5\n[Second]\na=b\n[Empty]\nblank=\n");

  const ProcessResult value = tool({"get", ini, "MAIN", "Name"});
  EXPECT_EQ(value.status, 0) << value.err;
  EXPECT_EQ(value.out, "changed\n");
  EXPECT_EQ(value.err, "");

  // Windows' CRLF in a new file, when the environment asks for it.
  const ScopedEnv crlf("ZIDEVUV10_NEWLINE", "crlf");
  ASSERT_EQ(tool({"set", file("crlf.ini"), "Main", "name", "v"}).status, 0);
  EXPECT_EQ(readFile(file("crlf.ini")), "[Main]\r\nname=v\r\n");
}

// A Windows-1252 file that cannot hold the new text becomes UTF-8, and the
// tool says so on standard error; text it can hold keeps its encoding.
TEST_F(ToolStoreTest, AWriteThatChangesTheEncodingSaysSo) {
  const std::string ini = file("latin.ini");
  writeFile(ini, "[S]\nk=caf\xe9\n");
  const ProcessResult fits = tool({"set", ini, "S", "a", "\xc3\xa8"});
  EXPECT_EQ(fits.status, 0);
  EXPECT_EQ(fits.err, "");
  EXPECT_EQ(readFile(ini), "[S]\nk=caf\xe9\na=\xe8\n");
  const ProcessResult greek = tool({"set", ini, "S", "g", "\xce\xa9"});
  EXPECT_EQ(greek.status, 0);
  EXPECT_EQ(greek.err, "zidevuv10: note: " + ini +
                           ": now UTF-8, as its Windows-1252 cannot hold the new text\n");
  EXPECT_EQ(readFile(ini), "[S]\nk=caf\xc3\xa9\na=\xc3\xa8\ng=\xce\xa9\n");
}

TEST_F(ToolStoreTest, GetListsSectionsAndKeysInFileOrder) {
  const std::string ini = file("list.ini");
  writeFile(ini, "; comment\n[Zeta]\nb=1\na=2\n\n[Alpha]\nonly=x\n[Empty]\n");
  const ProcessResult sections = tool({"get", ini});
  EXPECT_EQ(sections.status, 0) << sections.err;
  EXPECT_EQ(sections.out, "Zeta\nAlpha\nEmpty\n");
  const ProcessResult keys = tool({"get", ini, "zeta"});
  EXPECT_EQ(keys.status, 0) << keys.err;
  EXPECT_EQ(keys.out, "b\na\n");
  // A section without keys lists nothing and succeeds; a missing one fails.
  const ProcessResult none = tool({"get", ini, "Empty"});
  EXPECT_EQ(none.status, 0) << none.err;
  EXPECT_EQ(none.out, "");
  expectFailure(tool({"get", ini, "Missing"}), "no section [Missing]");
  // A file without sections lists none.
  writeFile(file("blank.ini"), "; nothing here\n");
  const ProcessResult blank = tool({"get", file("blank.ini")});
  EXPECT_EQ(blank.status, 0) << blank.err;
  EXPECT_EQ(blank.out, "");
}

TEST_F(ToolStoreTest, EntriesPrintsTheSectionsLines) {
  const std::string ini = file("entries.ini");
  writeFile(ini, "[S]\nk1=v1\n; note\nk2 = spaced value \nbare line\n[T]\nx=y\n");
  const ProcessResult r = tool({"entries", ini, "s"});
  EXPECT_EQ(r.status, 0) << r.err;
  // As the store lists them through the C functions.
  std::string expected;
  for (const std::string& entry : testing::entriesOf(ini, "S")) expected += entry + "\n";
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(lines(r.out).size(), 3u) << r.out;
  expectFailure(tool({"entries", ini, "Nowhere"}), "no section [Nowhere]");
}

TEST_F(ToolStoreTest, DelRemovesAKeyThenASection) {
  const std::string ini = file("del.ini");
  writeFile(ini, "[A]\nk=1\nkeep=2\n[B]\nx=y\n");
  ASSERT_EQ(tool({"del", ini, "a", "K"}).status, 0);
  EXPECT_EQ(readFile(ini), "[A]\nkeep=2\n[B]\nx=y\n");
  ASSERT_EQ(tool({"del", ini, "B"}).status, 0);
  EXPECT_EQ(readFile(ini), "[A]\nkeep=2\n");
  // Deleting what is not there succeeds and changes nothing.
  ASSERT_EQ(tool({"del", ini, "A", "absent"}).status, 0);
  ASSERT_EQ(tool({"del", ini, "Absent"}).status, 0);
  EXPECT_EQ(readFile(ini), "[A]\nkeep=2\n");
  EXPECT_EQ(tool({"get", ini, "B"}).out, "");
  // set --existing changes only a key that is there, and names what is not.
  ASSERT_EQ(tool({"set", ini, "a", "KEEP", "3", "--existing"}).status, 0);
  expectFailure(tool({"set", ini, "A", "new", "v", "--existing"}), "no key 'new'");
  expectFailure(tool({"set", ini, "B", "keep", "v", "--existing"}), "no section [B]");
  expectFailure(tool({"set", file("none.ini"), "A", "keep", "v", "--existing"}), "no such file");
  EXPECT_EQ(readFile(ini), "[A]\nkeep=3\n");
  EXPECT_FALSE(fileExists(file("none.ini")));
  // --existing=WHAT asks only for the file, or the file and the section.
  ASSERT_EQ(tool({"set", "--existing=file", ini, "B", "k", "1"}).status, 0);
  ASSERT_EQ(tool({"set", "--existing=section", ini, "b", "new", "2"}).status, 0);
  ASSERT_EQ(tool({"set", "--existing=section", ini, "B"}).status, 0);
  expectFailure(tool({"set", "--existing=section", ini, "C", "k", "1"}), "no section [C]");
  expectFailure(tool({"set", "--existing", ini, "C"}), "no section [C]");
  expectFailure(tool({"set", "--existing=file", file("none.ini"), "C", "k", "1"}), "no such file");
  // del with --existing fails on what is not there and deletes nothing.
  expectFailure(tool({"del", "--existing", ini, "B", "absent"}), "no key 'absent'");
  expectFailure(tool({"del", "--existing=param", ini, "Absent"}), "no section [Absent]");
  expectFailure(tool({"del", "--existing=section", ini, "Absent", "k"}), "no section [Absent]");
  expectFailure(tool({"del", "--existing=file", file("none.ini"), "B"}), "no such file");
  EXPECT_EQ(readFile(ini), "[A]\nkeep=3\n[B]\nk=1\nnew=2\n");
  ASSERT_EQ(tool({"del", "--existing=section", ini, "B", "absent"}).status, 0);
  ASSERT_EQ(tool({"del", "--existing", ini, "B", "K"}).status, 0);
  ASSERT_EQ(tool({"del", "--existing", ini, "b"}).status, 0);
  EXPECT_EQ(readFile(ini), "[A]\nkeep=3\n");
  EXPECT_FALSE(fileExists(file("none.ini")));
}

// --list treats a value as items separated by "," (or --list-sep) and adds
// or removes one; a value already holding the item is left as written.
TEST_F(ToolStoreTest, ListValuesGainAndLoseItems) {
  const std::string ini = file("list.ini");
  writeFile(ini, "[S]\nhosts = a,b ,  c\npath=\"/bin:/usr/bin\"\nwords=one two\n");
  ASSERT_EQ(tool({"set", "--list", ini, "S", "hosts", "b"}).status, 0);
  EXPECT_EQ(readFile(ini), "[S]\nhosts = a,b ,  c\npath=\"/bin:/usr/bin\"\nwords=one two\n");
  ASSERT_EQ(tool({"set", "--list", ini, "S", "hosts", " d "}).status, 0);
  ASSERT_EQ(tool({"del", "--list", ini, "S", "hosts", "a"}).status, 0);
  ASSERT_EQ(tool({"set", "--list", "--list-sep=:", ini, "S", "path", "/sbin"}).status, 0);
  ASSERT_EQ(tool({"del", "--list", "--list-sep", ":", ini, "S", "path", "/bin"}).status, 0);
  ASSERT_EQ(tool({"set", "--list", "--list-sep=", ini, "S", "words", "three"}).status, 0);
  ASSERT_EQ(tool({"set", "--list", ini, "S", "new", "x"}).status, 0);
  ASSERT_EQ(tool({"del", "--list", ini, "S", "new", "x"}).status, 0);
  ASSERT_EQ(tool({"del", "--list", ini, "S", "absent", "x"}).status, 0);
  EXPECT_EQ(readFile(ini),
            "[S]\nhosts=b, c, d\npath=/usr/bin:/sbin\nwords=one two three\nnew=\n");
  // A separator holding a line end would add lines: refused, nothing written.
  expectFailure(tool({"set", "--list", "--list-sep=\n", ini, "S", "words", "x"}), "add lines");
  expectFailure(tool({"del", "--existing", "--list", ini, "S", "absent", "x"}), "no key 'absent'");
  EXPECT_EQ(readFile(ini),
            "[S]\nhosts=b, c, d\npath=/usr/bin:/sbin\nwords=one two three\nnew=\n");
}

// --verbose tells a script whether the file changed; a change that changes
// nothing leaves the file's bytes, inode and times alone.
TEST_F(ToolStoreTest, VerboseSaysWhetherTheFileChanged) {
  const std::string ini = file("verbose.ini");
  writeFile(ini, "[S]\nk = v\n");
  struct stat before {};
  ASSERT_EQ(::stat(ini.c_str(), &before), 0);
  struct Case {
    std::vector<std::string> args;
    std::string input;
    const char* report;
  };
  const std::vector<Case> unchanged{
      {{"set", ini, "S", "k", "v"}, "", "unchanged: set "},
      {{"set", ini, "s"}, "", "unchanged: set "},
      {{"set", ini, "S", "k", "v", "--list"}, "", "unchanged: set "},
      {{"del", ini, "S", "absent"}, "", "unchanged: del "},
      {{"del", file("none.ini"), "S"}, "", "unchanged: del "},
      {{"merge", ini}, "[S]\nk=v\n", "unchanged: merge "}};
  for (const Case& c : unchanged) {
    std::vector<std::string> args = c.args;
    args.push_back("--verbose");
    const ProcessResult r = tool(args, c.input);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.rfind(c.report, 0), 0u) << r.err;
    EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
  }
  struct stat after {};
  ASSERT_EQ(::stat(ini.c_str(), &after), 0);
  EXPECT_EQ(readFile(ini), "[S]\nk = v\n");
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(after.st_ctim.tv_nsec, before.st_ctim.tv_nsec);

  const ProcessResult set = tool({"set", "--verbose", ini, "S", "k", "w"});
  EXPECT_EQ(set.err, "changed: set " + ini + " S k w\n");
  EXPECT_EQ(tool({"merge", "--verbose", ini}, "[T]\nt=1\n").err, "changed: merge " + ini + "\n");
  EXPECT_EQ(tool({"del", "--verbose", ini, "T"}).err, "changed: del " + ini + " T\n");
  EXPECT_EQ(readFile(ini), "[S]\nk=w\n");
  // Without --verbose nothing is said.
  EXPECT_EQ(tool({"set", ini, "S", "k", "x"}).err, "");
}

TEST_F(ToolStoreTest, AMissingKeyFailsUnlessADefaultIsGiven) {
  const std::string ini = file("keys.ini");
  writeFile(ini, "[S]\nempty=\nset=value\n");
  expectFailure(tool({"get", ini, "S", "absent"}), "no key 'absent' in section [S]");
  expectFailure(tool({"get", ini, "Nowhere", "set"}), "no section [Nowhere]");
  expectFailure(tool({"get", file("nofile.ini"), "S", "set"}), "nofile.ini: no such file");
  // The default stands in for a missing file, section or key alike.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"get", ini, "S", "absent", "--default", "D"},
        std::vector<std::string>{"get", ini, "Nowhere", "set", "--default", "D"},
        std::vector<std::string>{"get", file("nofile.ini"), "S", "set", "--default", "D"}}) {
    const ProcessResult r = tool(args);
    EXPECT_EQ(r.status, 0) << args[2] << ": " << r.err;
    EXPECT_EQ(r.out, "D\n") << args[2];
  }

  // The default is printed exactly as given (the store would drop quotes
  // and trailing blanks from its own default).
  const ProcessResult fallback = tool({"get", ini, "S", "absent", "--default", "\"quoted\" "});
  EXPECT_EQ(fallback.status, 0) << fallback.err;
  EXPECT_EQ(fallback.out, "\"quoted\" \n");
  const ProcessResult joined = tool({"get", "--default=dflt", ini, "S", "absent"});
  EXPECT_EQ(joined.status, 0) << joined.err;
  EXPECT_EQ(joined.out, "dflt\n");

  // A key that is there wins over the default, also when its value is empty.
  const ProcessResult present = tool({"get", ini, "S", "set", "--default", "other"});
  EXPECT_EQ(present.out, "value\n");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"get", ini, "S", "empty"},
        std::vector<std::string>{"get", ini, "S", "empty", "--default", "other"}}) {
    const ProcessResult empty = tool(args);
    EXPECT_EQ(empty.status, 0) << empty.err;
    EXPECT_EQ(empty.out, "\n");
  }
  // Values that look like the tool's own probes are values too.
  writeFile(ini, "[S]\nctl=\x01\n");
  const ProcessResult control = tool({"get", ini, "S", "ctl"});
  EXPECT_EQ(control.status, 0) << control.err;
  EXPECT_EQ(control.out, "\x01\n");
}

TEST_F(ToolStoreTest, AMissingFileIsAFailureExceptForSetAndDel) {
  const std::string missing = file("missing.ini");
  expectFailure(tool({"get", missing}), missing + ": no such file");
  expectFailure(tool({"entries", missing, "S"}), "no such file");
  // Deleting from a file that is not there deletes nothing and makes no file.
  const ProcessResult del = tool({"del", missing, "S", "k"});
  EXPECT_EQ(del.status, 0) << del.err;
  EXPECT_FALSE(fileExists(missing));
  expectFailure(tool({"get", dir_.path()}), "folder");

  ASSERT_EQ(tool({"set", missing, "S", "k", "v"}).status, 0);
  EXPECT_EQ(readFile(missing), "[S]\nk=v\n");
}

TEST_F(ToolStoreTest, ARefusedWriteFailsAndLeavesTheFileAlone) {
  const std::string ini = file("refuse.ini");
  writeFile(ini, "[S]\nk=v\n");
  // Each message names the cause the store reported.
  expectFailure(tool({"set", ini, "S", "k", "two\nlines"}),
                "cannot set 'k' in [S]: the text would add lines");
  expectFailure(tool({"set", ini, "S", "a=b", "v"}),
                "cannot set 'a=b' in [S]: the text would add lines");
  expectFailure(tool({"set", ini, "S", "k", "\xff\xfe"}), "not valid UTF-8");
  EXPECT_EQ(readFile(ini), "[S]\nk=v\n");

  expectFailure(tool({"set", file("no-such-folder/x.ini"), "S", "k", "v"}),
                "its folder does not exist");
  expectFailure(tool({"set", dir_.path(), "S", "k", "v"}), "access denied");
  EXPECT_FALSE(fileExists(file("no-such-folder")));
}

TEST_F(ToolStoreTest, OperandsMayStartWithADash) {
  const std::string ini = file("dash.ini");
  // A negative number needs no "--"; other text starting with "-" follows it.
  ASSERT_EQ(tool({"set", ini, "S", "n", "-5"}).status, 0);
  ASSERT_EQ(tool({"set", ini, "S", "opt", "--", "--verbose"}).status, 0);
  EXPECT_EQ(readFile(ini), "[S]\nn=-5\nopt=--verbose\n");
  EXPECT_EQ(tool({"get", ini, "S", "--", "opt"}).out, "--verbose\n");
}

TEST_F(ToolStoreTest, LongValuesAndSectionsComeWhole) {
  const std::string ini = file("long.ini");
  // Values around and beyond the tool's first buffer, ending in characters
  // of two, three and four bytes at every alignment, so that a cut that
  // steps back to a character boundary is seen as a cut too.
  std::vector<std::string> values;
  for (const std::string tail : {"\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80"}) {
    for (std::size_t pad = 1000; pad < 1030; ++pad) {
      std::string value(pad, 'v');
      for (int i = 0; i < 8; ++i) value += tail;
      values.push_back(value);
    }
  }
  values.push_back(std::string(100000, 'x'));
  std::string text = "[Values]\n";
  for (std::size_t i = 0; i < values.size(); ++i) {
    text += "k" + std::to_string(i) + "=" + values[i] + "\n";
  }
  std::string expectedKeys;
  std::string expectedEntries;
  text += "[Many]\n";
  for (int i = 0; i < 3000; ++i) {
    const std::string line = "key" + std::to_string(i) + "=value " + std::to_string(i);
    text += line + "\n";
    expectedEntries += line + "\n";
    expectedKeys += "key" + std::to_string(i) + "\n";
  }
  std::string expectedSections;
  for (int i = 0; i < 2000; ++i) {
    text += "[Section number " + std::to_string(i) + "]\n";
    expectedSections += "Section number " + std::to_string(i) + "\n";
  }
  writeFile(ini, text);

  for (std::size_t i = 0; i < values.size(); ++i) {
    const ProcessResult r = tool({"get", ini, "Values", "k" + std::to_string(i)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, values[i] + "\n") << "value " << i << " of " << values[i].size() << " bytes";
  }
  EXPECT_EQ(tool({"entries", ini, "Many"}).out, expectedEntries);
  EXPECT_EQ(tool({"get", ini, "Many"}).out, expectedKeys);
  EXPECT_EQ(tool({"get", ini}).out, "Values\nMany\n" + expectedSections);
}

TEST_F(ToolStoreTest, ValueBytesArePrintedAsTheStoreAnswersThem) {
  const std::string ini = file("bytes.ini");
  writeFile(ini, "[S]\ntab=a\tb\nutf8=caf\xc3\xa9 \xe2\x82\xac\n");
  for (const char* key : {"tab", "utf8"}) {
    char buffer[256];
    const uint32_t n =
        GetPrivateProfileStringA("S", key, "", buffer, sizeof buffer, ini.c_str());
    EXPECT_EQ(tool({"get", ini, "S", key}).out, std::string(buffer, n) + "\n") << key;
  }
}

TEST_F(ToolStoreTest, FormatsPrintAWholeFileOrSection) {
  const std::string ini = file("formats.ini");
  writeFile(ini, "[A]\nplain=1\nquoted=\"two words\"\napos=it's $HOME `x`\nbare\nplain=dup\n"
                 "[B]\n[a]\nshadowed=x\n");
  // json: every section once (the first of a name), each key once with the
  // value a lookup answers.
  const ProcessResult json = tool({"get", ini, "--format=json"});
  EXPECT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out,
            "{\n  \"A\": {\n    \"plain\": \"1\",\n    \"quoted\": \"two words\",\n"
            "    \"apos\": \"it's $HOME `x`\"\n  },\n  \"B\": {}\n}\n");
  EXPECT_EQ(tool({"get", ini, "b", "--format", "json"}).out, "{\n  \"b\": {}\n}\n");
  // ini: the entries as listed, so that merging them back changes nothing.
  const ProcessResult iniText = tool({"entries", ini, "A", "--format=ini"});
  EXPECT_EQ(iniText.out,
            "[A]\nplain=1\nquoted=\"two words\"\napos=it's $HOME `x`\nbare\nplain=dup\n");
  EXPECT_EQ(tool({"get", ini, "--format=lines"}).out, "A\nB\na\n");
  // sh: a shell given the output sets exactly the values.
  const ProcessResult sh = tool({"get", ini, "A", "--format=sh"});
  ASSERT_EQ(sh.status, 0) << sh.err;
  const ProcessResult shell = testing::runProcess(
      {"/bin/sh", "-c", "eval \"$(cat)\"; printf '%s|%s|%s' \"$plain\" \"$quoted\" \"$apos\""},
      sh.out);
  EXPECT_EQ(shell.out, "1|two words|it's $HOME `x`") << sh.out;
  writeFile(ini, "[S]\nnot.a.name=1\n");
  expectFailure(tool({"get", ini, "S", "--format=sh"}), "not.a.name");
  EXPECT_EQ(tool({"get", ini, "S", "--format=bogus"}).status, 2);
  EXPECT_EQ(tool({"get", ini, "S", "k", "--format=json"}).status, 2);
}

TEST_F(ToolStoreTest, MergeWritesEveryEntryOfTheInputInOneWrite) {
  const std::string ini = file("merge.ini");
  writeFile(ini, "; kept\r\n[A]\r\nx=old\r\n\r\n[B]\r\nz=1\r\n");
  const ProcessResult r =
      tool({"merge", ini}, "[a]\nx=new\ny = 2 \n[C]\nc=3\n[A]\ny=later\n; note\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(readFile(ini), "; kept\r\n[A]\r\nx=new\r\ny=later\r\n\r\n[B]\r\nz=1\r\n[C]\r\nc=3\r\n");
  // Into one section: every entry of the input, headers or not; UTF-16 input.
  const std::string utf16("\xff\xfek\0=\0v\0\n\0", 10);
  ASSERT_EQ(tool({"merge", ini, "B"}, "w=1\n[Other]\nw2=2\n").status, 0);
  ASSERT_EQ(tool({"merge", ini, "B"}, utf16).status, 0);
  EXPECT_EQ(testing::entriesOf(ini, "B"), (std::vector<std::string>{"z=1", "w=1", "w2=2", "k=v"}));
  // Input it cannot take entirely changes nothing.
  const std::string before = readFile(ini);
  expectFailure(tool({"merge", ini}, "[A]\nq=1\nloose line\n"), "loose line");
  expectFailure(tool({"merge", ini, "A"}, "q=1\n[x=2\n"), "cannot merge 2 entries");
  // A NUL, which would cut the value (k=a stored), in UTF-8 and UTF-16 input.
  expectFailure(tool({"merge", ini}, std::string("[A]\nk=a\0b\n", 10)), "NUL");
  expectFailure(tool({"merge", ini}, std::string("\xff\xfek\0=\0a\0\0\0\n\0", 12)), "NUL");
  EXPECT_EQ(readFile(ini), before);
  EXPECT_EQ(tool({"merge", "-"}, "[A]\nq=1\n").status, 2);
  // A new file is made.
  ASSERT_EQ(tool({"merge", file("new.ini")}, "[N]\nn=1\n").status, 0);
  EXPECT_EQ(readFile(file("new.ini")), "[N]\nn=1\n");
  // --existing changes only keys that are there; =section fails on a
  // section that is not, =file on a missing file, and change nothing.
  ASSERT_EQ(tool({"merge", "--existing", file("new.ini")}, "[N]\nn=2\nm=3\n[O]\no=4\n").status,
            0);
  EXPECT_EQ(readFile(file("new.ini")), "[N]\nn=2\n");
  expectFailure(tool({"merge", "--existing=section", file("new.ini")}, "[N]\nm=3\n[O]\no=4\n"),
                "no section [O]");
  expectFailure(tool({"merge", "--existing=file", file("none.ini")}, "[N]\nm=3\n"),
                "no such file");
  ASSERT_EQ(tool({"merge", "--existing=section", file("new.ini")}, "[n]\nm=3\n").status, 0);
  EXPECT_EQ(readFile(file("new.ini")), "[N]\nn=2\nm=3\n");
  EXPECT_FALSE(fileExists(file("none.ini")));
}

TEST_F(ToolStoreTest, TheEmptySectionIsTheLinesBeforeTheFirstHeader) {
  const std::string ini = file("outside.ini");
  writeFile(ini, "; top\r\nv=\"1\"\r\nbare\r\n\r\n[S]\r\nv=s\r\n[]\r\nhidden=1\r\n");
  EXPECT_EQ(tool({"get", ini, "", "V"}).out, "1\n");
  EXPECT_EQ(tool({"get", ini, ""}).out, "v\n");
  EXPECT_EQ(tool({"entries", ini, ""}).out, "v=\"1\"\nbare\n");
  expectFailure(tool({"get", ini, "", "hidden"}), "no key 'hidden' in section []");
  // Writes go there too, never into a "[]" section nobody can read.
  ASSERT_EQ(tool({"set", ini, "", "v", "2"}).status, 0);
  ASSERT_EQ(tool({"set", ini, "", "new", "3"}).status, 0);
  ASSERT_EQ(tool({"merge", ini}, "m=4\n[S]\nv=t\n").status, 0);
  EXPECT_EQ(readFile(ini),
            "; top\r\nv=2\r\nbare\r\nnew=3\r\nm=4\r\n\r\n[S]\r\nv=t\r\n[]\r\nhidden=1\r\n");
  EXPECT_EQ(tool({"get", ini, "--format=json"}).out,
            "{\n  \"\": {\n    \"v\": \"2\",\n    \"new\": \"3\",\n    \"m\": \"4\"\n  },\n"
            "  \"S\": {\n    \"v\": \"t\"\n  }\n}\n");
  ASSERT_EQ(tool({"del", ini, "", "NEW"}).status, 0);
  expectFailure(tool({"del", ini, ""}), "give a KEY");
  EXPECT_EQ(readFile(ini), "; top\r\nv=2\r\nbare\r\nm=4\r\n\r\n[S]\r\nv=t\r\n[]\r\nhidden=1\r\n");
  // A file without such lines gets them before its first header.
  writeFile(ini, "[S]\nk=1\n");
  ASSERT_EQ(tool({"set", ini, "", "a", "b"}).status, 0);
  EXPECT_EQ(readFile(ini), "a=b\n[S]\nk=1\n");
}

TEST_F(ToolStoreTest, StandardInputIsTheFileAndChangesArePrinted) {
  TempDir tmp;
  ScopedEnv tmpdir("TMPDIR", tmp.path());
  const std::string text = "; head\r\n[S]\r\nk=1\r\n";
  EXPECT_EQ(tool({"get", "-", "s", "K"}, text).out, "1\n");
  EXPECT_EQ(tool({"entries", "-", "S", "--format=json"}, text).out,
            "{\n  \"S\": {\n    \"k\": \"1\"\n  }\n}\n");
  EXPECT_EQ(tool({"set", "-", "S", "new", "2"}, text).out, "; head\r\n[S]\r\nk=1\r\nnew=2\r\n");
  EXPECT_EQ(tool({"del", "-", "S", "k"}, text).out, "; head\r\n[S]\r\n");
  EXPECT_EQ(tool({"set", "-", "S", "k", "v"}).out, "[S]\nk=v\n");
  // The encoding of the input is kept.
  const std::string utf16("\xff\xfe[\0S\0]\0\n\0", 10);
  EXPECT_EQ(tool({"set", "-", "S", "k", "\xc3\xa9"}, utf16).out,
            utf16 + std::string("k\0=\0\xe9\0\n\0", 8));
  expectFailure(tool({"get", "-", "S", "absent"}, text), "standard input: no key 'absent'");
  // --output puts the result elsewhere and leaves FILE alone.
  const std::string ini = file("source.ini");
  writeFile(ini, text);
  EXPECT_EQ(tool({"set", "--output=-", ini, "S", "k", "2"}).out, "; head\r\n[S]\r\nk=2\r\n");
  ASSERT_EQ(tool({"del", "--output", file("out.ini"), ini, "S", "k"}).status, 0);
  EXPECT_EQ(readFile(file("out.ini")), "; head\r\n[S]\r\n");
  ASSERT_EQ(tool({"merge", ini, "--output=" + file("out.ini")}, "[T]\nt=1\n").status, 0);
  EXPECT_EQ(readFile(file("out.ini")), text + "[T]\r\nt=1\r\n");
  EXPECT_EQ(tool({"set", "-", "S", "k", "3", "--output", file("out.ini")}, text).out, "");
  EXPECT_EQ(readFile(file("out.ini")), "; head\r\n[S]\r\nk=3\r\n");
  EXPECT_EQ(readFile(ini), text);
  expectFailure(tool({"set", "--existing", "--output=-", file("none.ini"), "S", "k", "v"}),
                "no such file");
  ASSERT_EQ(tool({"set", "--output", file("out.ini"), file("none.ini"), "S", "k", "v"}).status, 0);
  EXPECT_EQ(readFile(file("out.ini")), "[S]\nk=v\n");
  EXPECT_FALSE(fileExists(file("none.ini")));
  expectFailure(tool({"set", "--output", file("no-folder/out.ini"), ini, "S", "k", "v"}),
                "cannot write the output");
  // The private copies are gone.
  EXPECT_EQ(listFolder(tmp.path()), "");
}

// ---------------------------------------------------------------- paths

using ToolPathTest = ToolTest;

TEST_F(ToolPathTest, RelativeNamesReachTheCurrentFolderNotTheWindowsDirectory) {
  const std::string here = realFolder(dir_.path());
  ScopedCurrentFolder cd(here);
  ASSERT_EQ(tool({"set", "bare.ini", "S", "k", "1"}).status, 0);
  ASSERT_EQ(tool({"set", "./dotted.ini", "S", "k", "2"}).status, 0);
  ASSERT_EQ(::mkdir((here + "/sub").c_str(), 0777), 0);
  ASSERT_EQ(tool({"set", "sub/../up.ini", "S", "k", "3"}).status, 0);
  // A host name that looks like a drive is a file in the current folder.
  ASSERT_EQ(tool({"set", "C:drive.ini", "S", "k", "4"}).status, 0);
  // So are the Windows forms ".\\name" and "..\\name".
  ASSERT_EQ(tool({"set", ".\\windows-dotted.ini", "S", "k", "5"}).status, 0);
  EXPECT_EQ(readFile(here + "/windows-dotted.ini"), "[S]\nk=5\n");
  {
    ScopedCurrentFolder sub(here + "/sub");
    EXPECT_EQ(tool({"get", "..\\windows-dotted.ini", "S", "k"}).out, "5\n");
  }
  EXPECT_EQ(readFile(here + "/bare.ini"), "[S]\nk=1\n");
  EXPECT_EQ(readFile(here + "/dotted.ini"), "[S]\nk=2\n");
  EXPECT_EQ(readFile(here + "/up.ini"), "[S]\nk=3\n");
  EXPECT_EQ(readFile(here + "/C:drive.ini"), "[S]\nk=4\n");
  EXPECT_FALSE(fileExists(driveC_.windowsDir())) << listFolder(driveC_.folder());

  EXPECT_EQ(tool({"get", "bare.ini", "S", "k"}).out, "1\n");
  EXPECT_EQ(tool({"get", here + "/dotted.ini", "S", "k"}).out, "2\n");
  EXPECT_EQ(tool({"get", "C:drive.ini", "S", "k"}).out, "4\n");
  // A bare name that exists only in the Windows directory is not found.
  ASSERT_NE(WritePrivateProfileStringA("S", "k", "windows", "only-windows.ini"), 0);
  ASSERT_TRUE(fileExists(driveC_.windowsDir() + "/only-windows.ini"));
  expectFailure(tool({"get", "only-windows.ini", "S", "k"}), "no such file");
}

TEST_F(ToolPathTest, WindowsPathsAreMappedAsTheLibraryMapsThem) {
  ASSERT_EQ(tool({"set", "C:\\App.ini", "S", "k", "c"}).status, 0);
  EXPECT_EQ(readFile(driveC_.folder() + "/App.ini"), "[S]\nk=c\n");
  EXPECT_EQ(tool({"get", "c:\\APP.INI", "S", "k"}).out, "c\n");
  const std::string zPath = "Z:" + std::regex_replace(realFolder(dir_.path()), std::regex("/"), "\\");
  ASSERT_EQ(tool({"set", zPath + "\\z.ini", "S", "k", "z"}).status, 0);
  EXPECT_EQ(readFile(dir_.path() + "/z.ini"), "[S]\nk=z\n");
  expectFailure(tool({"get", zPath + "\\none.ini"}), "no such file");
}

TEST_F(ToolPathTest, NamesTheStoreCannotReachAreRefused) {
  ScopedCurrentFolder cd(dir_.path());
  expectFailure(tool({"set", "back\\slash.ini", "S", "k", "v"}), "back\\slash.ini");
  expectFailure(tool({"set", "folder/", "S", "k", "v"}), "folder");
  expectFailure(tool({"get", ""}), "empty");
  EXPECT_EQ(listFolder(dir_.path()), "");
  EXPECT_FALSE(fileExists(driveC_.windowsDir()));
}

TEST_F(ToolPathTest, AFileFoundOnlyWithoutRegardToCaseCounts) {
  writeFile(file("mixed.ini"), "[S]\nk=v\n");
  const ProcessResult r = tool({"get", file("MIXED.INI"), "S", "k"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "v\n");
}

// ---------------------------------------------------------------- usage

using ToolUsageTest = ToolTest;

TEST_F(ToolUsageTest, BadUsageExitsWithTwoAndSaysWhy) {
  const std::string ini = file("u.ini");
  writeFile(ini, "[S]\nk=v\n");
  struct Case {
    std::vector<std::string> args;
    const char* mention;
  };
  const std::vector<Case> cases{
      {{}, "missing command"},
      {{"frobnicate"}, "unknown command frobnicate"},
      {{"--frobnicate"}, "--frobnicate"},
      {{"--version", "extra"}, "--version"},
      {{"get"}, "missing FILE"},
      {{"get", ini, "S", "k", "extra"}, "extra"},
      {{"get", ini, "--bogus"}, "unknown option --bogus"},
      {{"get", ini, "-x"}, "unknown option -x"},
      {{"get", ini, "S", "k", "--default"}, "--default"},
      {{"get", ini, "S", "--default", "d"}, "KEY"},
      {{"get", ini, "S", "k", "--default", "a", "--default", "b"}, "twice"},
      {{"set", ini}, "missing SECTION"},
      {{"set", ini, "S", "k", "v", "w"}, "'w'"},
      {{"set", ini, "S", "k", "v", "--existing=key"}, "unknown --existing 'key'"},
      {{"set", ini, "S", "--list"}, "--list needs a KEY"},
      {{"set", ini, "S", "k", "v", "--list-sep=:"}, "--list-sep needs --list"},
      {{"set", ini, "S", "k", "v", "--verbose=1"}, "--verbose takes no value"},
      {{"del", ini}, "missing SECTION"},
      {{"del", ini, "S", "k", "x"}, "ITEM needs --list"},
      {{"del", ini, "S", "k", "--list"}, "--list needs a KEY and an ITEM"},
      {{"del", ini, "S", "k", "x", "y", "--list"}, "'y'"},
      {{"entries", ini}, "missing SECTION"},
      {{"entries", ini, "S", "x"}, "'x'"},
      {{"classes", "x"}, "'x'"},
      {{"typelib", "a", "b"}, "'b'"},
      {{"register", "x"}, "'x'"},
      {{"unregister", "--registry"}, "--registry"},
      {{"run"}, "missing SCRIPT"},
      {{"run", "a.vbs", "b.vbs", "--screen"}, "--screen"},
      {{"run", "a.vbs", "--screen=1x1@1", "--verbose"}, "--verbose"},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const auto& a : c.args) shown += " " + a;
    const ProcessResult r = tool(c.args);
    EXPECT_EQ(r.status, 2) << shown << "\n" << r.err;
    EXPECT_EQ(r.out, "") << shown;
    EXPECT_EQ(r.err.rfind("zidevuv10: ", 0), 0u) << shown << "\n" << r.err;
    EXPECT_NE(r.err.find(c.mention), std::string::npos) << shown << "\n" << r.err;
    EXPECT_NE(r.err.find("--help"), std::string::npos) << shown << "\n" << r.err;
  }
  EXPECT_EQ(readFile(ini), "[S]\nk=v\n");
}

TEST_F(ToolUsageTest, EveryCommandHasCompleteHelp) {
  const std::vector<std::string> commands{"get",     "set",     "del",      "entries",    "merge",
                                          "classes", "typelib", "register", "unregister", "run"};
  const ProcessResult top = tool({"--help"});
  EXPECT_EQ(top.status, 0) << top.err;
  EXPECT_EQ(top.err, "");
  EXPECT_EQ(top.out.rfind("Usage: zidevuv10 COMMAND", 0), 0u) << top.out;
  EXPECT_NE(top.out.find("Exit status:"), std::string::npos);
  EXPECT_EQ(tool({"-h"}).out, top.out);
  for (const std::string& command : commands) {
    EXPECT_NE(top.out.find("\n  " + command + " "), std::string::npos) << command;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{command, "--help"}, std::vector<std::string>{command, "x", "-h"},
          std::vector<std::string>{command, "--bogus", "--help"}}) {
      const ProcessResult r = tool(args);
      EXPECT_EQ(r.status, 0) << command << ": " << r.err;
      EXPECT_EQ(r.err, "") << command;
      const std::vector<std::string> text = lines(r.out);
      ASSERT_FALSE(text.empty()) << command;
      EXPECT_EQ(text[0].rfind("Usage: zidevuv10 " + command, 0), 0u) << text[0];
      // Every operand and option of the usage line is explained on a line
      // of its own, and all three exit statuses are told.
      std::string usage = text[0].substr(std::string("Usage: zidevuv10 ").size() + command.size());
      for (char& ch : usage) {
        if (ch == '[' || ch == ']') ch = ' ';
      }
      std::istringstream words(usage);
      bool optionValue = false;
      for (std::string word; words >> word;) {
        // "--default TEXT", "--existing[=WHAT]": the value is told on the
        // option's line.
        if ((optionValue && !word.starts_with("-")) || word.starts_with("=")) {
          optionValue = false;
          continue;
        }
        optionValue = word.starts_with("--");
        bool found = false;
        for (std::size_t i = 1; i < text.size(); ++i) {
          if (text[i].rfind("  " + word + " ", 0) == 0 || text[i].rfind("  " + word + "[", 0) == 0) {
            found = true;
          }
        }
        EXPECT_TRUE(found) << command << ": " << word << " is not explained\n" << r.out;
      }
      for (const char* status : {"  0  ", "  1  ", "  2  "}) {
        EXPECT_NE(r.out.find(std::string("\n") + status), std::string::npos) << command << status;
      }
      EXPECT_NE(r.out.find("--help"), std::string::npos) << command;
    }
  }
}

// The manual page tells every command and option the help texts list, in
// the sections a manual page has.
TEST_F(ToolUsageTest, TheManualPageNamesEveryCommandAndOption) {
  std::string page = readFile(ZIDEVUV10_MANUAL_PAGE);
  page = std::regex_replace(page, std::regex(R"(\\f[BIRP])"), "");
  page = std::regex_replace(page, std::regex(R"(\\-)"), "-");
  for (const char* section :
       {"SYNOPSIS", "DESCRIPTION", "EXIT STATUS", "ENVIRONMENT", "FILES", "EXAMPLES"}) {
    EXPECT_NE(page.find(std::string("\n.SH ") + section + "\n"), std::string::npos) << section;
  }
  for (const char* variable : {"ZIDEVUV10_DRIVE_", "ZIDEVUV10_LOCK_TIMEOUT_MS",
                               "ZIDEVUV10_REGISTRY", "XDG_DATA_HOME", "HOME"}) {
    EXPECT_NE(page.find(variable), std::string::npos) << variable;
  }
  const std::regex commandLine(R"(\n  ([a-z]+) +[a-z])");
  const std::regex optionName(R"((--[a-z-]+|-h))");
  const std::string top = tool({"--help"}).out;
  std::vector<std::string> helps{top};
  int commands = 0;
  for (std::sregex_iterator it(top.begin(), top.end(), commandLine), end; it != end; ++it) {
    const std::string command = (*it)[1];
    ++commands;
    EXPECT_NE(page.find(".B zidevuv10 " + command + "\n"), std::string::npos) << command;
    helps.push_back(tool({command, "--help"}).out);
  }
  EXPECT_EQ(commands, 10);
  for (const std::string& help : helps) {
    const std::string options = help.substr(help.find("\nOptions:\n"));
    for (std::sregex_iterator it(options.begin(), options.end(), optionName), end; it != end;
         ++it) {
      EXPECT_NE(page.find((*it)[1].str()), std::string::npos) << (*it)[1] << "\n" << help;
    }
  }
}

TEST_F(ToolUsageTest, VersionComesFromTheVersionHeader) {
  const ProcessResult r = tool({"--version"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, std::string("zidevuv10 ") + ZIDEVUV10_VERSION_STRING + "\n");
}

// ---------------------------------------------------------------- catalogue

using ToolCatalogueTest = ToolTest;

TEST_F(ToolCatalogueTest, ClassesListsEachProgIdWithItsIds) {
  const ProcessResult r = tool({"classes"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> got = lines(r.out);
  const std::vector<const ClassInfo*> classes = libraryClasses();
  ASSERT_EQ(got.size(), 11u) << r.out;
  ASSERT_EQ(classes.size(), got.size());
  const std::regex line(R"((\S+) +\{([0-9a-f-]{36})\} +\{([0-9a-f-]{36})\})");
  for (std::size_t i = 0; i < got.size(); ++i) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(got[i], m, line)) << got[i];
    EXPECT_EQ(m[1], utf8(classes[i]->progId()));
    EXPECT_EQ(m[2], utf8(classes[i]->classId));
    EXPECT_EQ(m[3], utf8(classes[i]->interfaceId));
  }
}

TEST_F(ToolCatalogueTest, TypelibListsOneClassInSlotOrderStably) {
  const ClassInfo* keys = nullptr;
  for (const ClassInfo* info : libraryClasses()) {
    if (info->name == u"clsOrviInifKeysA") keys = info;
  }
  ASSERT_NE(keys, nullptr);
  const ProcessResult first = tool({"typelib", "clsOrviInifKeysA"});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(tool({"typelib", "clsOrviInifKeysA"}).out, first.out);
  // By ProgID or class name, without regard to case: the same listing.
  EXPECT_EQ(tool({"typelib", "vezezoro10.CLSORVIINIFKEYSA"}).out, first.out);
  EXPECT_EQ(tool({"typelib", "CLSORVIINIFKEYSA"}).out, first.out);

  const std::vector<std::string> got = lines(first.out);
  ASSERT_EQ(got.size(), keys->members.size() + 2) << first.out;
  EXPECT_EQ(got[0], "class VEZEzoro10.clsOrviInifKeysA");
  EXPECT_NE(got[1].find(utf8(keys->interfaceId)), std::string::npos) << got[1];
  for (std::size_t slot = 1; slot <= keys->members.size(); ++slot) {
    const MemberInfo& m = keys->members[slot - 1];
    char id[16];
    std::snprintf(id, sizeof id, "0x%08x", static_cast<unsigned>(m.dispatchId));
    const std::string start = "  " + std::to_string(slot) + " ";
    EXPECT_EQ(got[slot + 1].rfind(start, 0), 0u) << got[slot + 1];
    EXPECT_NE(got[slot + 1].find(" " + utf8(m.name) + " " + id + " ("), std::string::npos)
        << got[slot + 1];
  }
  EXPECT_EQ(got[2], "  1 method Add 0x60030003 () As Long");
  EXPECT_EQ(got[6], "  5 propget Item 0x68030000 (ByRef Index As Variant) As _clsOrviInifKeyA");
}

TEST_F(ToolCatalogueTest, TypelibWithoutAClassListsTheWholeLibrary) {
  const ProcessResult r = tool({"typelib"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(tool({"typelib"}).out, r.out);
  const TypeLibraryInfo& lib = typeLibrary();
  EXPECT_EQ(lines(r.out)[0], "library " + utf8(lib.name) + " {" + utf8(lib.id) + "} version " +
                                 std::to_string(lib.majorVersion) + "." +
                                 std::to_string(lib.minorVersion) + " locale " +
                                 std::to_string(lib.locale));
  for (const EnumInfo& e : libraryEnums()) {
    for (const auto& [name, value] : e.values) {
      EXPECT_NE(r.out.find("  " + utf8(name) + " = " + std::to_string(value) + "\n"),
                std::string::npos)
          << utf8(name);
    }
  }
  for (const ClassInfo* info : libraryClasses()) {
    const ProcessResult one = tool({"typelib", utf8(info->name)});
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_NE(r.out.find("\n\n" + one.out), std::string::npos) << utf8(info->name);
  }
}

// The checked-in listing of every class's interface: slot order, kinds,
// dispatch ids, parameter names, types and passing, results. A change to
// a member table shows here as a diff to review.
TEST_F(ToolCatalogueTest, TypelibMatchesTheCheckedInListing) {
  const ProcessResult r = tool({"typelib"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::ifstream in(ZIDEVUV10_TYPELIB_LISTING, std::ios::binary);
  ASSERT_TRUE(in) << ZIDEVUV10_TYPELIB_LISTING;
  const std::string expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::vector<std::string> want = lines(expected);
  const std::vector<std::string> got = lines(r.out);
  for (std::size_t i = 0; i < std::min(want.size(), got.size()); ++i) {
    ASSERT_EQ(got[i], want[i]) << "line " << i + 1;
  }
  EXPECT_EQ(got.size(), want.size());
  EXPECT_EQ(r.out, expected);
}

TEST_F(ToolCatalogueTest, AnUnknownClassIsAFailureNamingIt) {
  expectFailure(tool({"typelib", "clsNoSuchThing"}), "clsNoSuchThing");
  expectFailure(tool({"typelib", "VEZEzoro10."}), "VEZEzoro10.");
}

// ---------------------------------------------------------------- registry

using ToolRegistryTest = ToolTest;

std::vector<std::string> sectionNames(const std::string& file) {
  std::vector<char> buffer(1 << 16);
  const uint32_t n = GetPrivateProfileSectionNamesA(
      buffer.data(), static_cast<uint32_t>(buffer.size()), file.c_str());
  std::vector<std::string> names;
  for (std::size_t i = 0; i < n && buffer[i] != '\0'; i += names.back().size() + 1) {
    names.emplace_back(buffer.data() + i);
  }
  return names;
}

TEST_F(ToolRegistryTest, RegisterWritesTheRecordsAndUnregisterRemovesThem) {
  const std::string registry = file("chosen.ini");
  writeFile(registry, "[Other.Thing]\nClassId={00000000-0000-0000-0000-000000000001}\n");
  const ProcessResult reg = tool({"register", "--registry", registry});
  ASSERT_EQ(reg.status, 0) << reg.err;
  EXPECT_NE(reg.out.find(registry), std::string::npos) << reg.out;

  const std::vector<std::string> names = sectionNames(registry);
  for (const ClassInfo* info : libraryClasses()) {
    char classId[128];
    GetPrivateProfileStringA(utf8(info->progId()).c_str(), "ClassId", "", classId, sizeof classId,
                             registry.c_str());
    EXPECT_EQ(std::string(classId), "{" + utf8(info->classId) + "}") << utf8(info->progId());
  }
  EXPECT_GT(names.size(), libraryClasses().size());
  EXPECT_FALSE(fileExists(file("default-registry.ini")));

  const ProcessResult unreg = tool({"unregister", "--registry=" + registry});
  ASSERT_EQ(unreg.status, 0) << unreg.err;
  EXPECT_NE(unreg.out.find(registry), std::string::npos) << unreg.out;
  EXPECT_EQ(sectionNames(registry), std::vector<std::string>{"Other.Thing"});
}

TEST_F(ToolRegistryTest, WithoutAChoiceTheEnvironmentsRegistryIsUsed) {
  const std::string registry = file("default-registry.ini");
  const ProcessResult reg = tool({"register"});
  ASSERT_EQ(reg.status, 0) << reg.err;
  EXPECT_NE(reg.out.find(registry), std::string::npos) << reg.out;
  EXPECT_EQ(sectionNames(registry).size(), 2 * libraryClasses().size() + 1);
  ASSERT_EQ(tool({"unregister"}).status, 0);
  EXPECT_EQ(sectionNames(registry), std::vector<std::string>{});
}

TEST_F(ToolRegistryTest, ARelativeRegistryIsInTheCurrentFolder) {
  const std::string here = realFolder(dir_.path());
  ScopedCurrentFolder cd(here);
  ASSERT_EQ(tool({"register", "--registry", "local.ini"}).status, 0);
  EXPECT_EQ(sectionNames(here + "/local.ini").size(), 2 * libraryClasses().size() + 1);
  EXPECT_FALSE(fileExists(driveC_.windowsDir()));
}

TEST_F(ToolRegistryTest, AnUnwritableRegistryIsAFailure) {
  writeFile(file("plain"), "not a folder");
  expectFailure(tool({"register", "--registry", file("plain/registry.ini")}), "registry.ini");
}

// ---------------------------------------------------------------- run

using ToolRunTest = ToolTest;

TEST_F(ToolRunTest, BadScreenValuesAreBadUsage) {
  const std::string script = file("s.vbs");
  writeFile(script, "' nothing\n");
  for (const char* screen : {"", "1920x1080", "1920x1080@", "1920x1080@15,", "1920x@15",
                             "x1080@15", "0x1080@15", "1920x1080@0", "1920x1080@-15",
                             "1920x1080@15,0", "axb@c", "1920x1080@15x", " 1920x1080@15",
                             "1920*1080@15", "143165577x1080@15", "1920x1080@15,99999999"}) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"run", "--screen", screen, script},
          std::vector<std::string>{"run", script, "--screen=" + std::string(screen)}}) {
      const ProcessResult r = tool(args);
      EXPECT_EQ(r.status, 2) << "'" << screen << "': " << r.err;
      EXPECT_EQ(r.err.rfind("zidevuv10: run: bad --screen value '" + std::string(screen) + "'", 0),
                0u)
          << r.err;
    }
  }
}

// The script's classes keep Windows' rule for a bare file name (the Windows
// directory); the tool says once per file where that is.
TEST_F(ToolRunTest, ABareFileNameIsNotedOnce) {
  const std::string here = realFolder(dir_.path());
  ScopedCurrentFolder cd(here);
  const std::string script = file("bare.vbs");
  writeFile(script,
            "Set ini = CreateObject(\"VEZEzoro10.clsOrviInifINIFilesObjB\")\n"
            "ini.Path = \"my.ini\"\nini.Section = \"S\"\nini.Key = \"k\"\nini.Value = \"1\"\n"
            "ini.Path = \"MY.INI\"\nPrint ini.Value\n"
            "ini.Path = \".\\here.ini\"\nini.Value = \"2\"\n");
  const ProcessResult r = tool({"run", script});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "1\n");
  EXPECT_EQ(r.err, "zidevuv10: note: \"my.ini\" is C:\\WINDOWS\\my.ini, that is " +
                       driveC_.windowsDir() + "/my.ini\n");
  EXPECT_TRUE(fileExists(driveC_.windowsDir() + "/my.ini"));
  EXPECT_EQ(readFile(here + "/here.ini"), "[S]\nk=2\n");
}

TEST_F(ToolRunTest, AnUnreadableScriptIsAFailureNamingIt) {
  const std::string missing = file("missing.vbs");
  expectFailure(tool({"run", missing}), missing);
  expectFailure(tool({"run", "--screen", "800x600@15", missing}), missing);
  expectFailure(tool({"run", dir_.path()}), dir_.path());
}

// The script's source and name reach the script host unchanged, whatever
// the options: the tool answers exactly as the host answers in this process.
TEST_F(ToolRunTest, TheScriptGoesToTheScriptHost) {
  const std::string script = file("s.vbs");
  const std::string source = "' a comment only\n";
  writeFile(script, source);
  struct Case {
    std::vector<std::string> args;
    std::string name;
    std::string input;
  };
  for (const Case& c : {Case{{"run", script}, script, ""},
                        Case{{"run", script, "--screen", "800x600@12,15"}, script, ""},
                        Case{{"run", "--screen=1024x768@15", script}, script, ""},
                        Case{{"run", "-"}, "<stdin>", source}}) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = script::runScript(source, c.name, ScreenMetrics{}, out, err);
    const ProcessResult r = tool(c.args, c.input);
    EXPECT_EQ(r.status, status) << c.name;
    EXPECT_EQ(r.out, out.str()) << c.name;
    EXPECT_EQ(r.err, err.str()) << c.name;
  }
}

}  // namespace
}  // namespace zidevuv10
