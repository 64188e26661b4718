// Dir's first match and CurDir on the host file system: Windows wildcards
// and case-insensitive names, hidden entries and folders under the attribute
// mask, drive mappings, Windows forms and native paths, and the Windows form
// of the current folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "fs/file_system.h"
#include "runtime/current_folder.h"
#include "runtime/dir.h"
#include "support/faulty_file_system.h"
#include "support/test_files.h"

using zidevuv10::runtime::currentFolder;
using zidevuv10::runtime::DirResult;
using zidevuv10::runtime::findFirst;
using zidevuv10::runtime::matchesWildcards;
using zidevuv10::testing::realFolder;
using zidevuv10::testing::ScopedCurrentFolder;
using zidevuv10::testing::FaultyFileSystem;
using zidevuv10::testing::FsOp;
using zidevuv10::testing::ScopedEnv;
using zidevuv10::testing::TempDir;
using zidevuv10::testing::writeFile;

namespace {

constexpr int kNormal = 0;
constexpr int kHiddenSystemFolder = 22;

// The folder with symbolic links resolved, as getcwd reports it, so that
// drive prefixes compare equal to the current folder.
void makeFolder(const std::string& path) { ASSERT_EQ(::mkdir(path.c_str(), 0777), 0) << path; }

std::string windowsForm(std::string hostPath) {
  for (char& c : hostPath) {
    if (c == '/') c = '\\';
  }
  return "Z:" + hostPath;
}

// Changes the current folder for the scope of a test.
// Drive D mapped to a temporary folder, drive Q certainly without a mapping.
class HostDirTest : public ::testing::Test {
 protected:
  HostDirTest() : root_(realFolder(tmp_.path())), driveD_("ZIDEVUV10_DRIVE_D", root_),
                  noQ_("ZIDEVUV10_DRIVE_Q", "") {}

  std::string at(const std::string& name) const { return root_ + "/" + name; }
  void file(const std::string& name) { writeFile(at(name), "x"); }
  void folder(const std::string& name) { makeFolder(at(name)); }

  DirResult dir(const std::string& pattern, int attributes = kNormal) {
    return findFirst(*fs_, pattern, attributes);
  }
  // The name found, or "<error N>" on an error.
  std::string first(const std::string& pattern, int attributes = kNormal) {
    const DirResult r = dir(pattern, attributes);
    return r.error != 0 ? "<error " + std::to_string(r.error) + ">" : r.name;
  }

  std::shared_ptr<zidevuv10::fs::FileSystem> fs_ = zidevuv10::fs::posixFileSystem();
  TempDir tmp_;
  std::string root_;
  ScopedEnv driveD_;
  ScopedEnv noQ_;
};

// --- wildcard rules ---------------------------------------------------------

TEST(HostWildcards, StarAndQuestionMark) {
  EXPECT_TRUE(matchesWildcards("*", "anything.at.all"));
  EXPECT_TRUE(matchesWildcards("*", "nodot"));
  EXPECT_TRUE(matchesWildcards("a*c", "abbbc"));
  EXPECT_TRUE(matchesWildcards("a*c", "ac"));
  EXPECT_FALSE(matchesWildcards("a*c", "abcd"));
  EXPECT_TRUE(matchesWildcards("*.ini", "x.y.ini"));
  EXPECT_FALSE(matchesWildcards("*.ini", "x.ini.bak"));
  EXPECT_TRUE(matchesWildcards("a?c", "abc"));
  EXPECT_FALSE(matchesWildcards("a?c", "ac"));
  EXPECT_FALSE(matchesWildcards("a?c", "abbc"));
  EXPECT_TRUE(matchesWildcards("*a*b*", "xxaxxbxx"));
  EXPECT_FALSE(matchesWildcards("*a*b*", "xxbxxaxx"));
}

TEST(HostWildcards, QuestionMarkIsOneCharacterNotOneByte) {
  EXPECT_TRUE(matchesWildcards("?.ini", "\xC3\xA9.ini"));          // é
  EXPECT_TRUE(matchesWildcards("?.ini", "\xE2\x82\xAC.ini"));      // €
  EXPECT_FALSE(matchesWildcards("??.ini", "\xC3\xA9.ini"));
}

TEST(HostWildcards, NamesCompareWithoutCase) {
  EXPECT_TRUE(matchesWildcards("alpha.ini", "Alpha.INI"));
  EXPECT_TRUE(matchesWildcards("ALPHA.*", "alpha.ini"));
  EXPECT_TRUE(matchesWildcards("\xC3\x84rger.*", "\xC3\xA4RGER.txt"));  // Ärger / äRGER
  EXPECT_FALSE(matchesWildcards("alpha.ini", "alpha.in"));
}

TEST(HostWildcards, DotStarAlsoMatchesNamesWithoutExtension) {
  EXPECT_TRUE(matchesWildcards("name.*", "name"));
  EXPECT_TRUE(matchesWildcards("name.*", "name.txt"));
  EXPECT_TRUE(matchesWildcards("NAME.*", "name"));
  EXPECT_FALSE(matchesWildcards("name.*", "names"));
  EXPECT_FALSE(matchesWildcards("name.*", "nam"));
  EXPECT_TRUE(matchesWildcards("*.*", "nodot"));
  EXPECT_TRUE(matchesWildcards("*.*", ".hidden"));
  EXPECT_TRUE(matchesWildcards("a*.*", "abc"));
}

// --- names and case ---------------------------------------------------------

TEST_F(HostDirTest, FindsNamesWithoutRegardToCaseAndReturnsTheRealSpelling) {
  file("Alpha.INI");
  EXPECT_EQ(first(root_ + "/alpha.ini"), "Alpha.INI");
  EXPECT_EQ(first(root_ + "/ALPHA.*"), "Alpha.INI");
  EXPECT_EQ(first("D:\\ALPHA.ini"), "Alpha.INI");
  EXPECT_EQ(first("D:\\beta.ini"), "");
}

TEST_F(HostDirTest, ExactNameOfAFolderNeedsTheFolderBit) {
  folder("Data");
  EXPECT_EQ(first("D:\\data"), "");
  EXPECT_EQ(first("D:\\data", kHiddenSystemFolder), "Data");
  EXPECT_EQ(first("D:\\DATA", zidevuv10::runtime::kDirFolder), "Data");
}

TEST_F(HostDirTest, FirstMatchIsFirstInCaseInsensitiveOrder) {
  // Byte order would put ALPHA1 first; case-insensitive order puts Alpha first.
  for (const char* name : {"beta", "alpha2", "ALPHA1", "Alpha", "Gamma.ini", "delta.INI"}) {
    file(name);
  }
  EXPECT_EQ(first("D:\\*"), "Alpha");
  EXPECT_EQ(first("D:\\alpha?"), "ALPHA1");
  EXPECT_EQ(first("D:\\*.ini"), "delta.INI");
  EXPECT_EQ(first("D:\\b*"), "beta");
}

TEST_F(HostDirTest, NamesEqualButForCaseAreOrderedByBytes) {
  file("same.ini");
  file("Same.ini");
  file("SAME.ini");
  EXPECT_EQ(first("D:\\same.ini"), "SAME.ini");
  EXPECT_EQ(first("D:\\*.ini"), "SAME.ini");
}

// --- wildcards against a folder ---------------------------------------------

TEST_F(HostDirTest, WildcardsSelectEntries) {
  for (const char* name : {"ac.ini", "abbc.ini", "abc.ini", "report", "report.txt", "reports"}) {
    file(name);
  }
  EXPECT_EQ(first("D:\\a?c.ini"), "abc.ini");
  EXPECT_EQ(first("D:\\a??c.ini"), "abbc.ini");
  EXPECT_EQ(first("D:\\a*c.ini"), "abbc.ini");
  EXPECT_EQ(first("D:\\REPORT.*"), "report");
  EXPECT_EQ(first("D:\\report.t*"), "report.txt");
  EXPECT_EQ(first("D:\\*s"), "reports");
  EXPECT_EQ(first("D:\\*.*"), "abbc.ini");
  EXPECT_EQ(first("D:\\*.doc"), "");
}

TEST_F(HostDirTest, DotStarMatchesANameWithoutDot) {
  file("readme");
  EXPECT_EQ(first("D:\\readme.*"), "readme");
  EXPECT_EQ(first("D:\\*.*"), "readme");
  EXPECT_EQ(first("D:\\read.*"), "");
}

// --- attributes -------------------------------------------------------------

TEST_F(HostDirTest, HiddenEntriesOnlyWithTheHiddenBit) {
  file(".config.ini");
  EXPECT_EQ(first("D:\\*.ini"), "");
  EXPECT_EQ(first("D:\\*"), "");
  EXPECT_EQ(first("D:\\*.ini", kHiddenSystemFolder), ".config.ini");
  EXPECT_EQ(first("D:\\*.ini", zidevuv10::runtime::kDirHidden), ".config.ini");
  EXPECT_EQ(first("D:\\.CONFIG.INI", kHiddenSystemFolder), ".config.ini");
  file("visible.ini");
  EXPECT_EQ(first("D:\\*.ini"), "visible.ini");
}

TEST_F(HostDirTest, FoldersOnlyWithTheFolderBit) {
  folder("aaa");
  file("bbb");
  EXPECT_EQ(first("D:\\*"), "bbb");
  EXPECT_EQ(first("D:\\*", kHiddenSystemFolder), "aaa");
  EXPECT_EQ(first("D:\\*", zidevuv10::runtime::kDirFolder), "aaa");
  EXPECT_EQ(first("D:\\*", zidevuv10::runtime::kDirHidden), "bbb");
}

TEST_F(HostDirTest, HiddenFolderNeedsBothBits) {
  folder(".cache");
  file("zzz");
  EXPECT_EQ(first("D:\\*", zidevuv10::runtime::kDirFolder), "zzz");
  EXPECT_EQ(first("D:\\*", zidevuv10::runtime::kDirHidden), "zzz");
  EXPECT_EQ(first("D:\\*", kHiddenSystemFolder), ".cache");
}

TEST_F(HostDirTest, OtherAttributeBitsAreIgnored) {
  folder("aaa");
  file("bbb");
  file(".ccc");
  EXPECT_EQ(first("D:\\*", 1 | 4 | 8 | 32), "bbb");
  EXPECT_EQ(first("D:\\*", 4), "bbb");
}

TEST_F(HostDirTest, SymbolicLinksCountAsWhatTheyPointTo) {
  folder("target");
  ASSERT_EQ(::symlink(at("target").c_str(), at("alink").c_str()), 0);
  ASSERT_EQ(::symlink(at("nowhere").c_str(), at("dangling").c_str()), 0);
  EXPECT_EQ(first("D:\\a*"), "");                              // a link to a folder is a folder
  EXPECT_EQ(first("D:\\a*", kHiddenSystemFolder), "alink");
  EXPECT_EQ(first("D:\\d*"), "dangling");                      // a dangling link shows as a file
}

TEST_F(HostDirTest, DotAndDotDotAreNeverReturned) {
  EXPECT_EQ(first("D:\\*", kHiddenSystemFolder), "");
  EXPECT_EQ(first("D:\\.*", kHiddenSystemFolder), "");
  EXPECT_EQ(first("D:\\.", kHiddenSystemFolder), "");
  EXPECT_EQ(first("D:\\..", kHiddenSystemFolder), "");
  EXPECT_EQ(first("D:\\?", kHiddenSystemFolder), "");
  file(".h");
  EXPECT_EQ(first("D:\\.*", kHiddenSystemFolder), ".h");
}

// --- paths ------------------------------------------------------------------

TEST_F(HostDirTest, WindowsFormsAndNativePaths) {
  folder("Sub");
  writeFile(at("Sub/App.ini"), "x");
  EXPECT_EQ(first("D:\\sub\\*.ini"), "App.ini");
  EXPECT_EQ(first("d:\\SUB\\*.INI"), "App.ini");
  EXPECT_EQ(first("D:/sub/app.ini"), "App.ini");
  EXPECT_EQ(first("D:\\Sub\\..\\Sub\\*.ini"), "App.ini");
  EXPECT_EQ(first(root_ + "/Sub/*.ini"), "App.ini");
  EXPECT_EQ(first(root_ + "/sub/*.ini"), "App.ini");
  EXPECT_EQ(first(windowsForm(root_) + "\\sub\\*.ini"), "App.ini");  // through drive Z
  EXPECT_EQ(first("D:sub\\*.ini"), "App.ini");  // D is not the current drive: from its root
}

TEST_F(HostDirTest, RelativePatternsStartAtTheCurrentFolder) {
  folder("Sub");
  writeFile(at("Sub/Local.ini"), "x");
  file("Top.ini");
  ScopedCurrentFolder here(at("Sub"));
  EXPECT_EQ(first("*.ini"), "Local.ini");
  EXPECT_EQ(first("local.INI"), "Local.ini");
  EXPECT_EQ(first("..\\*.ini"), "Top.ini");
  EXPECT_EQ(first("D:*.ini"), "Local.ini");  // D holds the current folder
  EXPECT_EQ(first("\\*.ini"), "Top.ini");    // root of the current drive
}

TEST_F(HostDirTest, MissingFoldersMatchNothing) {
  file("a.ini");
  const DirResult r = dir("D:\\missing\\*.ini", kHiddenSystemFolder);
  EXPECT_EQ(r.error, 0);
  EXPECT_EQ(r.name, "");
  EXPECT_EQ(first(root_ + "/missing/deeper/*"), "");
  EXPECT_EQ(first("D:\\a.ini\\*"), "");  // a file is no folder
}

TEST_F(HostDirTest, EmptyPatternAndTrailingSeparatorMatchNothing) {
  folder("Sub");
  writeFile(at("Sub/x.ini"), "x");
  for (const std::string& pattern : {std::string(), std::string("D:\\Sub\\"),
                                    std::string("D:\\"), root_ + "/Sub/", std::string("D:")}) {
    const DirResult r = dir(pattern, kHiddenSystemFolder);
    EXPECT_EQ(r.error, 0) << pattern;
    EXPECT_EQ(r.name, "") << pattern;
  }
}

TEST_F(HostDirTest, DriveWithoutMappingIsDeviceUnavailable) {
  for (const char* pattern : {"Q:\\*.ini", "q:\\x\\*", "Q:*", "Q:\\", "Q:"}) {
    const DirResult r = dir(pattern, kHiddenSystemFolder);
    EXPECT_EQ(r.error, 68) << pattern;
    EXPECT_EQ(r.name, "") << pattern;
  }
}

TEST_F(HostDirTest, UnreadableFolderMatchesNothing) {
  file("a.ini");
  FaultyFileSystem faulty(fs_);
  faulty.failAlways(FsOp::ListFolder, EACCES);
  const DirResult r = findFirst(faulty, "D:\\*.ini", kNormal);
  EXPECT_EQ(r.error, 0);
  EXPECT_EQ(r.name, "");
  EXPECT_GE(faulty.calls(FsOp::ListFolder), 1);
}

// --- CurDir -----------------------------------------------------------------

TEST_F(HostDirTest, CurDirIsTheWindowsFormOfTheCurrentFolder) {
  folder("Work");
  folder("Work/Inner");
  {
    ScopedCurrentFolder here(at("Work/Inner"));
    const auto r = currentFolder(*fs_, std::nullopt);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.path, "D:\\Work\\Inner");
  }
  {
    ScopedCurrentFolder here(root_);
    EXPECT_EQ(currentFolder(*fs_, std::nullopt).path, "D:\\");
  }
}

TEST_F(HostDirTest, CurDirOutsideEveryOtherDriveIsOnDriveZ) {
  TempDir elsewhere;
  const std::string real = realFolder(elsewhere.path());
  ScopedCurrentFolder here(real);
  const auto r = currentFolder(*fs_, std::nullopt);
  EXPECT_EQ(r.error, 0);
  EXPECT_EQ(r.path, windowsForm(real));
  EXPECT_EQ(currentFolder(*fs_, 'z').path, windowsForm(real));
}

TEST_F(HostDirTest, CurDirOfANamedDrive) {
  folder("Work");
  TempDir other;
  ScopedEnv driveE("ZIDEVUV10_DRIVE_E", realFolder(other.path()));
  ScopedCurrentFolder here(at("Work"));
  EXPECT_EQ(currentFolder(*fs_, 'D').path, "D:\\Work");
  EXPECT_EQ(currentFolder(*fs_, 'd').path, "D:\\Work");
  EXPECT_EQ(currentFolder(*fs_, 'E').path, "E:\\");
  EXPECT_EQ(currentFolder(*fs_, 'e').path, "E:\\");
  EXPECT_EQ(currentFolder(*fs_, 'Z').path, "Z:\\");
  EXPECT_EQ(currentFolder(*fs_, 'e').error, 0);
}

TEST_F(HostDirTest, CurDirOfADriveWithoutMappingIsDeviceUnavailable) {
  for (const char drive : {'Q', 'q', '1', ' '}) {
    const auto r = currentFolder(*fs_, drive);
    EXPECT_EQ(r.error, 68) << drive;
    EXPECT_EQ(r.path, "") << drive;
  }
}

TEST_F(HostDirTest, CurDirWhenTheCurrentFolderWasRemoved) {
  folder("Gone");
  ScopedCurrentFolder here(at("Gone"));
  ASSERT_EQ(::rmdir(at("Gone").c_str()), 0);
  const auto r = currentFolder(*fs_, std::nullopt);
  EXPECT_EQ(r.error, 76);
  EXPECT_EQ(r.path, "");
  EXPECT_EQ(currentFolder(*fs_, 'D').path, "D:\\");
}

}  // namespace

// A NUL cannot be part of a name: the runtime answers "Bad file name or
// number" instead of looking anything up.
TEST(HostDirNames, PatternWithNulIsABadFileName) {
  zidevuv10::testing::TempDir dir;
  zidevuv10::testing::writeFile(dir.file("a.ini"), "");
  const std::string pattern = dir.file("a.ini") + std::string("\0x", 2);
  const DirResult r = findFirst(*zidevuv10::fs::posixFileSystem(), pattern, 0);
  EXPECT_EQ(r.error, 52);
  EXPECT_EQ(r.name, "");
}
