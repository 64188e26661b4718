// Windows path forms on the host file system: drive letters from the
// environment, relative forms, "..", case-insensitive lookup, the Windows
// form of host folders and the Windows directory. Checked both on the path
// mapping itself and through the profile functions that use it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "fs/file_system.h"
#include "paths/drives.h"
#include "paths/path_map.h"
#include "support/test_files.h"
#include "zidevuv10/profile.h"

using zidevuv10::paths::driveFolder;
using zidevuv10::paths::resolvePath;
using zidevuv10::paths::resolveProfileFile;
using zidevuv10::paths::toWindowsForm;
using zidevuv10::testing::realFolder;
using zidevuv10::testing::ScopedCurrentFolder;
using zidevuv10::testing::fileExists;
using zidevuv10::testing::listFolder;
using zidevuv10::testing::readFile;
using zidevuv10::testing::ScopedDriveC;
using zidevuv10::testing::ScopedEnv;
using zidevuv10::testing::TempDir;
using zidevuv10::testing::writeFile;

namespace {

std::string get(const char* section, const char* key, const std::string& file) {
  char buf[256];
  const uint32_t n = GetPrivateProfileStringA(section, key, "<default>", buf, sizeof buf,
                                              file.c_str());
  return std::string(buf, n);
}

int32_t put(const char* section, const char* key, const char* value, const std::string& file) {
  return WritePrivateProfileStringA(section, key, value, file.c_str());
}

// The folder with symbolic links resolved, as getcwd reports it, so that
// drive prefixes compare equal to the current folder.
void makeFolder(const std::string& path) { ASSERT_EQ(::mkdir(path.c_str(), 0777), 0) << path; }

std::string resolved(std::string_view path) {
  auto fs = zidevuv10::fs::posixFileSystem();
  const auto r = resolvePath(*fs, path);
  return r ? r->path : "<none>";
}

// Changes the current folder for the scope of a test.
// Drive D mapped to a folder one level inside a temporary folder, so that
// a path escaping the drive's root still lands inside the temporary folder.
struct DriveD {
  TempDir outer;
  std::string root = realFolder(outer.path());
  std::string folder = root + "/drive";
  ScopedEnv env{"ZIDEVUV10_DRIVE_D", folder};
  DriveD() {
    makeFolder(folder);
    makeFolder(folder + "/sub");
  }
};

}  // namespace

TEST(PathMap, DriveLetterMapsToItsFolder) {
  DriveD d;
  ASSERT_NE(put("A", "k", "v", "D:\\sub\\a.ini"), 0);
  EXPECT_EQ(readFile(d.folder + "/sub/a.ini"), "[A]\nk=v\n");
  EXPECT_EQ(listFolder(d.folder), "sub");

  // Lower-case letter, forward and mixed separators reach the same file.
  EXPECT_EQ(get("A", "k", "d:\\sub\\a.ini"), "v");
  EXPECT_EQ(get("A", "k", "D:/sub/a.ini"), "v");
  EXPECT_EQ(get("A", "k", "d:\\sub/a.ini"), "v");
  ASSERT_NE(put("A", "k2", "w", "d:/sub\\a.ini"), 0);
  EXPECT_EQ(readFile(d.folder + "/sub/a.ini"), "[A]\nk=v\nk2=w\n");

  EXPECT_EQ(resolved("D:\\sub\\a.ini"), d.folder + "/sub/a.ini");
  EXPECT_EQ(resolved("d:\\\\sub\\.\\a.ini"), d.folder + "/sub/a.ini");
  // A trailing separator in the variable changes nothing.
  ScopedEnv slash("ZIDEVUV10_DRIVE_D", d.folder + "/");
  EXPECT_EQ(resolved("D:\\sub\\a.ini"), d.folder + "/sub/a.ini");
}

TEST(PathMap, UnmappedDriveDoesNotExist) {
  ScopedEnv unmapped("ZIDEVUV10_DRIVE_Q", "");
  EXPECT_EQ(get("A", "k", "Q:\\a.ini"), "<default>");
  EXPECT_EQ(GetPrivateProfileIntA("A", "k", 42, "Q:\\a.ini"), 42u);
  EXPECT_EQ(put("A", "k", "v", "Q:\\a.ini"), 0);
  EXPECT_EQ(WritePrivateProfileSectionA("A", "k=v\0\0", "q:\\a.ini"), 0);
  auto fs = zidevuv10::fs::posixFileSystem();
  EXPECT_FALSE(resolvePath(*fs, "Q:\\a.ini").has_value());
  EXPECT_FALSE(driveFolder('q').has_value());
}

TEST(PathMap, NativeAndZDrivePathsNameTheSameFile) {
  TempDir dir;
  const std::string folder = realFolder(dir.path());
  const std::string native = folder + "/n.ini";
  ASSERT_NE(put("A", "k", "v", native), 0);
  EXPECT_EQ(readFile(native), "[A]\nk=v\n");
  EXPECT_EQ(resolved(native), native);

  // Z: is the host's root.
  ScopedEnv z("ZIDEVUV10_DRIVE_Z", "");
  std::string windowsForm = "Z:" + native;
  for (char& c : windowsForm) {
    if (c == '/') c = '\\';
  }
  EXPECT_EQ(get("A", "k", windowsForm), "v");
  ASSERT_NE(put("A", "k", "w", windowsForm), 0);
  EXPECT_EQ(readFile(native), "[A]\nk=w\n");
  EXPECT_EQ(listFolder(folder), "n.ini");
}

TEST(PathMap, RelativePathsUseTheCurrentFolder) {
  ScopedDriveC driveC;
  TempDir dir;
  const std::string folder = realFolder(dir.path());
  makeFolder(folder + "/sub");
  ScopedCurrentFolder cwd(folder);

  ASSERT_NE(put("A", "k", "1", "sub\\a.ini"), 0);
  ASSERT_NE(put("A", "k", "2", ".\\b.ini"), 0);
  ASSERT_NE(put("A", "k", "3", "sub/c.ini"), 0);
  ASSERT_NE(put("A", "k", "4", "sub\\..\\d.ini"), 0);
  EXPECT_EQ(readFile(folder + "/sub/a.ini"), "[A]\nk=1\n");
  EXPECT_EQ(readFile(folder + "/b.ini"), "[A]\nk=2\n");
  EXPECT_EQ(readFile(folder + "/sub/c.ini"), "[A]\nk=3\n");
  EXPECT_EQ(readFile(folder + "/d.ini"), "[A]\nk=4\n");
  EXPECT_EQ(get("A", "k", "SUB\\A.INI"), "1");

  // A name without any folder part is not looked up here but in the
  // Windows directory.
  writeFile(folder + "/bare.ini", "[A]\nk=here\n");
  EXPECT_EQ(get("A", "k", "bare.ini"), "<default>");
  ASSERT_NE(put("A", "k", "windows", "bare.ini"), 0);
  EXPECT_EQ(readFile(folder + "/bare.ini"), "[A]\nk=here\n");
  EXPECT_EQ(readFile(driveC.windowsDir() + "/bare.ini"), "[A]\nk=windows\n");
  EXPECT_EQ(get("A", "k", "bare.ini"), "windows");
}

TEST(PathMap, DriveRelativeAndRootRelativeForms) {
  DriveD d;
  TempDir elsewhere;
  {
    // Drive D is not the current drive: "D:name" is relative to its root.
    ScopedCurrentFolder cwd(realFolder(elsewhere.path()));
    ASSERT_NE(put("A", "k", "1", "D:x.ini"), 0);
    EXPECT_EQ(readFile(d.folder + "/x.ini"), "[A]\nk=1\n");
    EXPECT_EQ(resolved("D:sub\\x.ini"), d.folder + "/sub/x.ini");
  }
  {
    // The current folder lies on drive D: "D:name" is relative to it and
    // "\name" to the root of drive D.
    ScopedCurrentFolder cwd(d.folder + "/sub");
    ASSERT_NE(put("A", "k", "2", "D:y.ini"), 0);
    EXPECT_EQ(readFile(d.folder + "/sub/y.ini"), "[A]\nk=2\n");
    ASSERT_NE(put("A", "k", "3", "\\z.ini"), 0);
    EXPECT_EQ(readFile(d.folder + "/z.ini"), "[A]\nk=3\n");
    ASSERT_NE(put("A", "k", "4", "D:..\\w.ini"), 0);
    EXPECT_EQ(readFile(d.folder + "/w.ini"), "[A]\nk=4\n");
    EXPECT_EQ(get("A", "k", "\\SUB\\Y.INI"), "2");
  }
}

TEST(PathMap, DotDotStopsAtTheDriveRoot) {
  DriveD d;
  ASSERT_NE(put("A", "k", "1", "D:\\..\\..\\a.ini"), 0);
  ASSERT_NE(put("A", "k", "2", "D:\\sub\\..\\..\\..\\b.ini"), 0);
  EXPECT_EQ(readFile(d.folder + "/a.ini"), "[A]\nk=1\n");
  EXPECT_EQ(readFile(d.folder + "/b.ini"), "[A]\nk=2\n");
  EXPECT_EQ(resolved("D:\\..\\sub\\.\\..\\sub\\c.ini"), d.folder + "/sub/c.ini");
  // Nothing lands above the drive's folder.
  EXPECT_EQ(listFolder(d.root), "drive");

  // The root of the current drive, from a folder on it.
  ScopedCurrentFolder cwd(d.folder + "/sub");
  ASSERT_NE(put("A", "k", "3", "\\..\\c.ini"), 0);
  EXPECT_EQ(readFile(d.folder + "/c.ini"), "[A]\nk=3\n");
  EXPECT_EQ(listFolder(d.root), "drive");
}

TEST(PathMap, DotDotInDriveRelativeFormsStopsAtTheDriveRoot) {
  DriveD d;
  // The current folder is D:\sub, so D:..\..\e.ini is D:\e.ini, as on
  // Windows; it must not reach the host folder that holds drive D's folder.
  ScopedCurrentFolder cwd(d.folder + "/sub");
  EXPECT_NE(put("A", "k", "5", "D:..\\..\\e.ini"), 0);
  EXPECT_EQ(readFile(d.folder + "/e.ini"), "[A]\nk=5\n");
  EXPECT_NE(put("A", "k", "6", "..\\..\\f.ini"), 0);
  EXPECT_EQ(readFile(d.folder + "/f.ini"), "[A]\nk=6\n");
  EXPECT_EQ(listFolder(d.root), "drive");
}

TEST(PathMap, DotDotIsResolvedByName) {
  DriveD d;
  makeFolder(d.folder + "/real");
  makeFolder(d.folder + "/real/deep");
  ASSERT_EQ(::symlink("real/deep", (d.folder + "/link").c_str()), 0);
  // "link\.." is the drive's root by name, not the parent of the link's target.
  ASSERT_NE(put("A", "k", "v", "D:\\link\\..\\a.ini"), 0);
  EXPECT_TRUE(fileExists(d.folder + "/a.ini"));
  EXPECT_FALSE(fileExists(d.folder + "/real/a.ini"));
  EXPECT_EQ(resolved("D:\\link\\..\\a.ini"), d.folder + "/a.ini");
}

TEST(PathMap, ExistingNamesMatchWithoutCase) {
  DriveD d;
  const std::string file = d.folder + "/sub/a.ini";
  writeFile(file, "[A]\nk=v\n");
  EXPECT_EQ(get("A", "k", "D:\\SUB\\A.INI"), "v");
  EXPECT_EQ(get("A", "k", "d:\\Sub\\a.Ini"), "v");

  // A write updates that file instead of creating another.
  ASSERT_NE(put("A", "k2", "w", "D:\\SUB\\A.INI"), 0);
  EXPECT_EQ(readFile(file), "[A]\nk=v\nk2=w\n");
  EXPECT_EQ(listFolder(d.folder), "sub");
  EXPECT_EQ(listFolder(d.folder + "/sub"), "a.ini");

  EXPECT_EQ(resolved("D:\\SUB\\A.INI"), file);
  auto fs = zidevuv10::fs::posixFileSystem();
  const auto asGiven = resolvePath(*fs, "D:\\SUB\\A.INI", false);
  ASSERT_TRUE(asGiven.has_value());
  EXPECT_EQ(asGiven->path, d.folder + "/SUB/A.INI");

  // Non-ASCII names fold too.
  makeFolder(d.folder + "/\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(resolved("D:\\\xC3\x89T\xC3\x89\\x.ini"), d.folder + "/\xC3\xA9t\xC3\xA9/x.ini");
}

TEST(PathMap, NewNamesKeepTheCaseGiven) {
  DriveD d;
  writeFile(d.folder + "/sub/a.ini", "");
  ASSERT_NE(put("A", "k", "v", "D:\\SUB\\New.Ini"), 0);
  EXPECT_EQ(readFile(d.folder + "/sub/New.Ini"), "[A]\nk=v\n");
  EXPECT_EQ(listFolder(d.folder + "/sub"), "New.Ini a.ini");
  EXPECT_EQ(listFolder(d.folder), "sub");
  EXPECT_EQ(resolved("D:\\Sub\\Missing\\X.ini"), d.folder + "/sub/Missing/X.ini");

  // A missing folder is not created.
  EXPECT_EQ(put("A", "k", "v", "D:\\NewDir\\x.ini"), 0);
  EXPECT_EQ(listFolder(d.folder), "sub");
}

TEST(PathMap, WindowsFormOfHostFolders) {
  ScopedEnv z("ZIDEVUV10_DRIVE_Z", "");
  ScopedEnv c("ZIDEVUV10_DRIVE_C", "/srv/zdv-test-c");
  EXPECT_EQ(toWindowsForm("/opt/app/lib"), "Z:\\opt\\app\\lib");
  EXPECT_EQ(toWindowsForm("/"), "Z:\\");
  EXPECT_EQ(toWindowsForm("/srv/zdv-test-c/WINDOWS"), "C:\\WINDOWS");
  EXPECT_EQ(toWindowsForm("/srv/zdv-test-c"), "C:\\");

  // The longest drive folder that is a prefix wins, on component boundaries.
  ScopedEnv d("ZIDEVUV10_DRIVE_D", "/opt/app");
  ScopedEnv e("ZIDEVUV10_DRIVE_E", "/opt/");
  EXPECT_EQ(toWindowsForm("/opt/app/lib"), "D:\\lib");
  EXPECT_EQ(toWindowsForm("/opt/app"), "D:\\");
  EXPECT_EQ(toWindowsForm("/opt/application"), "E:\\application");
  EXPECT_EQ(toWindowsForm("/opt/x/y"), "E:\\x\\y");
  EXPECT_EQ(toWindowsForm("/optical"), "Z:\\optical");
  EXPECT_EQ(toWindowsForm("/usr/lib"), "Z:\\usr\\lib");
}

TEST(PathMap, DriveFolders) {
  ScopedEnv z("ZIDEVUV10_DRIVE_Z", "");
  ScopedEnv c("ZIDEVUV10_DRIVE_C", "");
  ScopedEnv data("XDG_DATA_HOME", "/data/home");
  EXPECT_EQ(driveFolder('Z'), std::optional<std::string>("/"));
  EXPECT_EQ(driveFolder('z'), std::optional<std::string>("/"));
  EXPECT_EQ(driveFolder('C'), std::optional<std::string>("/data/home/zidevuv10/drive_c"));
  {
    ScopedEnv noData("XDG_DATA_HOME", "");
    ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(driveFolder('c'),
              std::optional<std::string>("/home/someone/.local/share/zidevuv10/drive_c"));
  }
  ScopedEnv g("ZIDEVUV10_DRIVE_G", "/mnt/g//");
  EXPECT_EQ(driveFolder('g'), std::optional<std::string>("/mnt/g"));
  ScopedEnv zOverride("ZIDEVUV10_DRIVE_Z", "/srv/z");
  EXPECT_EQ(driveFolder('Z'), std::optional<std::string>("/srv/z"));
  EXPECT_FALSE(driveFolder('1').has_value());
}

TEST(PathMap, ProfileFileWithoutFolderLivesInTheWindowsDirectory) {
  ScopedDriveC driveC;
  auto fs = zidevuv10::fs::posixFileSystem();
  const auto bare = resolveProfileFile(*fs, "app.ini");
  ASSERT_TRUE(bare.has_value());
  EXPECT_EQ(bare->path, driveC.windowsDir() + "/app.ini");
  EXPECT_TRUE(bare->inWindowsDirectory);

  // Anything with a separator or a drive is not bare.
  const auto dotted = resolveProfileFile(*fs, ".\\app.ini");
  ASSERT_TRUE(dotted.has_value());
  EXPECT_EQ(dotted->path, "app.ini");
  EXPECT_FALSE(dotted->inWindowsDirectory);
  EXPECT_FALSE(resolveProfileFile(*fs, "").has_value());
}

TEST(PathMap, WindowsDirectory) {
  char buf[32];
  EXPECT_EQ(GetWindowsDirectoryA(buf, sizeof buf), 10u);
  EXPECT_STREQ(buf, "C:\\WINDOWS");
  EXPECT_EQ(GetWindowsDirectoryA(buf, 11), 10u);
  EXPECT_STREQ(buf, "C:\\WINDOWS");

  // Too small: the size needed, with the NUL, and nothing written.
  std::string untouched(16, 'x');
  EXPECT_EQ(GetWindowsDirectoryA(untouched.data(), 10), 11u);
  EXPECT_EQ(untouched, std::string(16, 'x'));
  EXPECT_EQ(GetWindowsDirectoryA(untouched.data(), 1), 11u);
  EXPECT_EQ(GetWindowsDirectoryA(untouched.data(), 0), 11u);
  EXPECT_EQ(GetWindowsDirectoryA(nullptr, 100), 11u);
  EXPECT_EQ(untouched, std::string(16, 'x'));
}
