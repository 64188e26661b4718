// Files opened for input by number: the encodings and line ends a file may
// have, the numbering of free files, the errors of opening and reading, two
// files read side by side, and every thread's own table.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "fs/file_system.h"
#include "runtime/input_files.h"
#include "support/faulty_file_system.h"
#include "support/test_files.h"

using zidevuv10::runtime::InputFiles;
using zidevuv10::testing::realFolder;
using zidevuv10::testing::ScopedCurrentFolder;
using zidevuv10::testing::FaultyFileSystem;
using zidevuv10::testing::FsOp;
using zidevuv10::testing::ScopedDriveC;
using zidevuv10::testing::ScopedEnv;
using zidevuv10::testing::TempDir;
using zidevuv10::testing::writeFile;

namespace {

// A fresh table per test, drive D mapped to a temporary folder and drive Q
// certainly without a mapping.
class HostInputFilesTest : public ::testing::Test {
 protected:
  HostInputFilesTest() : root_(realFolder(tmp_.path())), driveD_("ZIDEVUV10_DRIVE_D", root_),
                         noQ_("ZIDEVUV10_DRIVE_Q", "") {}

  std::string at(const std::string& name) const { return root_ + "/" + name; }

  // Writes `bytes` to a file of the drive and opens it as `number`.
  int openWith(int number, std::string_view bytes, const std::string& name = "in.txt") {
    writeFile(at(name), bytes);
    return files_.open(*fs_, number, at(name));
  }

  // Every line left in `number`, until the end of the file.
  std::vector<std::string> lines(int number) {
    std::vector<std::string> out;
    int error = 0;
    while (!files_.eof(number, error)) {
      std::string line;
      const int rc = files_.readLine(number, line);
      EXPECT_EQ(rc, 0);
      if (rc != 0) break;
      out.push_back(line);
    }
    EXPECT_EQ(error, 0);
    return out;
  }

  // The lines of a file with the given bytes.
  std::vector<std::string> linesOf(std::string_view bytes) {
    EXPECT_EQ(openWith(1, bytes), 0);
    auto out = lines(1);
    files_.close(1);
    return out;
  }

  std::shared_ptr<zidevuv10::fs::FileSystem> fs_ = zidevuv10::fs::posixFileSystem();
  TempDir tmp_;
  std::string root_;
  ScopedEnv driveD_;
  ScopedEnv noQ_;
  InputFiles files_;
};

using Lines = std::vector<std::string>;

// --- encodings --------------------------------------------------------------

TEST_F(HostInputFilesTest, Utf8WithoutMark) {
  EXPECT_EQ(linesOf("caf\xC3\xA9\n\xE2\x82\xAC 5\n"), (Lines{"caf\xC3\xA9", "\xE2\x82\xAC 5"}));
}

TEST_F(HostInputFilesTest, Utf8MarkIsSkipped) {
  EXPECT_EQ(linesOf("\xEF\xBB\xBF[S]\r\nk=caf\xC3\xA9\r\n"), (Lines{"[S]", "k=caf\xC3\xA9"}));
  EXPECT_EQ(linesOf("\xEF\xBB\xBF"), Lines{});
}

TEST_F(HostInputFilesTest, Utf16LittleEndianWithMark) {
  // "[S]\r\nk=é€\r\n"
  const std::string bytes("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE9\0\xAC\x20\r\0\n\0", 24);
  EXPECT_EQ(linesOf(bytes), (Lines{"[S]", "k=\xC3\xA9\xE2\x82\xAC"}));
}

TEST_F(HostInputFilesTest, Utf16BigEndianWithMark) {
  // "a\né\nlast" without a final line end
  const std::string bytes("\xFE\xFF\0a\0\n\0\xE9\0\n\0l\0a\0s\0t", 18);
  EXPECT_EQ(linesOf(bytes), (Lines{"a", "\xC3\xA9", "last"}));
}

TEST_F(HostInputFilesTest, Utf16LineEndsAreCodeUnitsNotBytes) {
  // U+0A0D and U+0D0A contain the bytes of CR and LF but are no line ends.
  const std::string bytes("\xFF\xFE\x0D\x0A\x0A\x0D\n\0x\0", 10);
  EXPECT_EQ(linesOf(bytes), (Lines{"\xE0\xA8\x8D\xE0\xB4\x8A", "x"}));
}

TEST_F(HostInputFilesTest, Windows1252WhenNotUtf8) {
  EXPECT_EQ(linesOf("caf\xE9\r\n\x80 5\r\n"), (Lines{"caf\xC3\xA9", "\xE2\x82\xAC 5"}));
}

// --- line ends --------------------------------------------------------------

TEST_F(HostInputFilesTest, EachLineEndStyle) {
  EXPECT_EQ(linesOf("a\nb\nc\n"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(linesOf("a\rb\rc\r"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(linesOf("a\r\nb\r\nc\r\n"), (Lines{"a", "b", "c"}));
}

TEST_F(HostInputFilesTest, MixedLineEndsAndEmptyLines) {
  EXPECT_EQ(linesOf("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(linesOf("a\n\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(linesOf("a\n\rb"), (Lines{"a", "", "b"}));  // LF then CR: two line ends
  EXPECT_EQ(linesOf("a\r\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(linesOf("\n"), (Lines{""}));
  EXPECT_EQ(linesOf("\r\n\r\n"), (Lines{"", ""}));
}

TEST_F(HostInputFilesTest, LastLineWithoutLineEndCounts) {
  EXPECT_EQ(linesOf("first\nsecond"), (Lines{"first", "second"}));
  EXPECT_EQ(linesOf("only"), (Lines{"only"}));
}

TEST_F(HostInputFilesTest, EmptyFileHasNoLines) {
  ASSERT_EQ(openWith(1, ""), 0);
  int error = -1;
  EXPECT_TRUE(files_.eof(1, error));
  EXPECT_EQ(error, 0);
  std::string line = "unchanged";
  EXPECT_EQ(files_.readLine(1, line), 62);
  EXPECT_EQ(line, "unchanged");
}

TEST_F(HostInputFilesTest, ReadingPastTheEnd) {
  ASSERT_EQ(openWith(1, "one\r\n"), 0);
  std::string line;
  int error = 0;
  EXPECT_FALSE(files_.eof(1, error));
  EXPECT_EQ(files_.readLine(1, line), 0);
  EXPECT_EQ(line, "one");
  EXPECT_TRUE(files_.eof(1, error));
  EXPECT_EQ(files_.readLine(1, line), 62);
  EXPECT_EQ(files_.readLine(1, line), 62);
  EXPECT_EQ(line, "one");
}

// --- numbering --------------------------------------------------------------

TEST_F(HostInputFilesTest, FreeFileIsTheLowestNumberNotInUse) {
  writeFile(at("f.txt"), "x\n");
  EXPECT_EQ(files_.freeFile(), 1);
  ASSERT_EQ(files_.open(*fs_, 1, at("f.txt")), 0);
  EXPECT_EQ(files_.freeFile(), 2);
  ASSERT_EQ(files_.open(*fs_, 3, at("f.txt")), 0);
  EXPECT_EQ(files_.freeFile(), 2);
  ASSERT_EQ(files_.open(*fs_, 2, at("f.txt")), 0);
  EXPECT_EQ(files_.freeFile(), 4);
  files_.close(1);
  EXPECT_EQ(files_.freeFile(), 1);
  files_.closeAll();
  EXPECT_EQ(files_.freeFile(), 1);
  int error = 0;
  files_.eof(3, error);
  EXPECT_EQ(error, 52);
}

TEST_F(HostInputFilesTest, AllNumbersInUseLeavesNoFreeFile) {
  writeFile(at("f.txt"), "x\n");
  for (int n = 1; n <= InputFiles::kMaxFiles; ++n) {
    ASSERT_EQ(files_.open(*fs_, n, at("f.txt")), 0) << n;
  }
  EXPECT_EQ(files_.freeFile(), 0);
  EXPECT_EQ(files_.open(*fs_, 512, at("f.txt")), 52);
  files_.close(300);
  EXPECT_EQ(files_.freeFile(), 300);
  std::string line;
  EXPECT_EQ(files_.readLine(511, line), 0);
  EXPECT_EQ(line, "x");
}

TEST_F(HostInputFilesTest, ClosedNumberCanBeOpenedAgain) {
  writeFile(at("a.txt"), "from a\n");
  writeFile(at("b.txt"), "from b\n");
  ASSERT_EQ(files_.open(*fs_, 7, at("a.txt")), 0);
  files_.close(7);
  files_.close(7);    // not open: nothing happens
  files_.close(0);    // out of range: nothing happens
  files_.close(999);
  ASSERT_EQ(files_.open(*fs_, 7, at("b.txt")), 0);
  std::string line;
  EXPECT_EQ(files_.readLine(7, line), 0);
  EXPECT_EQ(line, "from b");
}

// --- errors -----------------------------------------------------------------

TEST_F(HostInputFilesTest, NumberOutsideTheRangeIsBadFileNumber) {
  writeFile(at("f.txt"), "x\n");
  for (const int n : {0, -1, 512, 100000}) {
    EXPECT_EQ(files_.open(*fs_, n, at("f.txt")), 52) << n;
    int error = 0;
    EXPECT_TRUE(files_.eof(n, error));
    EXPECT_EQ(error, 52) << n;
    std::string line;
    EXPECT_EQ(files_.readLine(n, line), 52) << n;
  }
}

TEST_F(HostInputFilesTest, NumberNotOpenIsBadFileNumber) {
  int error = 0;
  EXPECT_TRUE(files_.eof(5, error));
  EXPECT_EQ(error, 52);
  std::string line = "unchanged";
  EXPECT_EQ(files_.readLine(5, line), 52);
  EXPECT_EQ(line, "unchanged");
}

TEST_F(HostInputFilesTest, NumberAlreadyOpen) {
  writeFile(at("a.txt"), "from a\n");
  writeFile(at("b.txt"), "from b\n");
  ASSERT_EQ(files_.open(*fs_, 2, at("a.txt")), 0);
  EXPECT_EQ(files_.open(*fs_, 2, at("b.txt")), 55);
  EXPECT_EQ(files_.open(*fs_, 2, at("missing.txt")), 55);
  std::string line;
  EXPECT_EQ(files_.readLine(2, line), 0);
  EXPECT_EQ(line, "from a");
}

TEST_F(HostInputFilesTest, MissingFileAndMissingFolder) {
  EXPECT_EQ(files_.open(*fs_, 1, at("missing.txt")), 53);
  EXPECT_EQ(files_.open(*fs_, 1, "D:\\missing.txt"), 53);
  EXPECT_EQ(files_.open(*fs_, 1, "D:\\nofolder\\file.txt"), 76);
  EXPECT_EQ(files_.open(*fs_, 1, at("nofolder/deeper/file.txt")), 76);
  writeFile(at("plain.txt"), "x");
  EXPECT_EQ(files_.open(*fs_, 1, "D:\\plain.txt\\file.txt"), 76);  // a file is no folder
  EXPECT_EQ(files_.freeFile(), 1);  // failed opens take no number
}

TEST_F(HostInputFilesTest, DriveWithoutMappingIsDeviceUnavailable) {
  EXPECT_EQ(files_.open(*fs_, 1, "Q:\\file.txt"), 68);
  EXPECT_EQ(files_.open(*fs_, 1, "q:file.txt"), 68);
  EXPECT_EQ(files_.freeFile(), 1);
}

TEST_F(HostInputFilesTest, FolderIsNoFileToRead) {
  ASSERT_EQ(::mkdir(at("Folder").c_str(), 0777), 0);
  EXPECT_EQ(files_.open(*fs_, 1, at("Folder")), 75);
  EXPECT_EQ(files_.open(*fs_, 1, "D:\\folder"), 75);
  EXPECT_EQ(files_.open(*fs_, 1, "D:\\"), 75);
  EXPECT_EQ(files_.open(*fs_, 1, ""), 75);
  EXPECT_EQ(files_.freeFile(), 1);
}

TEST_F(HostInputFilesTest, PermissionDeniedIsPathFileAccessError) {
  writeFile(at("f.txt"), "x\n");
  FaultyFileSystem faulty(fs_);
  faulty.failNth(FsOp::Open, 1, EACCES, "f.txt");
  EXPECT_EQ(files_.open(faulty, 1, at("f.txt")), 75);
  EXPECT_EQ(files_.freeFile(), 1);
}

TEST_F(HostInputFilesTest, FileWithoutReadPermission) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  writeFile(at("secret.txt"), "x\n");
  ASSERT_EQ(::chmod(at("secret.txt").c_str(), 0), 0);
  EXPECT_EQ(files_.open(*fs_, 1, at("secret.txt")), 75);
  EXPECT_EQ(files_.freeFile(), 1);
}

TEST_F(HostInputFilesTest, ReadFailureIsDeviceIoErrorAndLeavesNoDescriptor) {
  writeFile(at("f.txt"), "x\n");
  FaultyFileSystem faulty(fs_);
  faulty.failNth(FsOp::Read, 1, EIO);
  EXPECT_EQ(files_.open(faulty, 1, at("f.txt")), 57);
  EXPECT_EQ(faulty.calls(FsOp::Open), faulty.calls(FsOp::Close));
  EXPECT_EQ(files_.freeFile(), 1);
  EXPECT_EQ(files_.open(faulty, 1, at("f.txt")), 0);
  EXPECT_EQ(faulty.calls(FsOp::Open), faulty.calls(FsOp::Close));
}

TEST_F(HostInputFilesTest, OutOfDescriptorsIsTooManyFiles) {
  writeFile(at("f.txt"), "x\n");
  FaultyFileSystem faulty(fs_);
  faulty.failNth(FsOp::Open, 1, EMFILE);
  EXPECT_EQ(files_.open(faulty, 1, at("f.txt")), 67);
}

// --- paths ------------------------------------------------------------------

TEST_F(HostInputFilesTest, WindowsFormsMatchNamesWithoutRegardToCase) {
  ASSERT_EQ(::mkdir(at("Sub").c_str(), 0777), 0);
  writeFile(at("Sub/Data.TXT"), "found\n");
  for (const char* path : {"D:\\sub\\data.txt", "d:/SUB/DATA.txt", "D:\\Sub\\..\\Sub\\Data.TXT"}) {
    ASSERT_EQ(files_.open(*fs_, 1, path), 0) << path;
    std::string line;
    EXPECT_EQ(files_.readLine(1, line), 0);
    EXPECT_EQ(line, "found") << path;
    files_.close(1);
  }
  ASSERT_EQ(files_.open(*fs_, 1, root_ + "/SUB/data.txt"), 0);
}

TEST_F(HostInputFilesTest, BareNameIsRelativeToTheCurrentFolder) {
  // A file of that name in the Windows directory must not be the one read.
  ScopedDriveC driveC;
  ASSERT_EQ(::mkdir(driveC.folder().c_str(), 0777), 0);
  ASSERT_EQ(::mkdir(driveC.windowsDir().c_str(), 0777), 0);
  writeFile(driveC.windowsDir() + "/local.txt", "windows\n");
  writeFile(at("Local.txt"), "here\n");
  ScopedCurrentFolder here(root_);
  ASSERT_EQ(files_.open(*fs_, 1, "local.txt"), 0);
  std::string line;
  EXPECT_EQ(files_.readLine(1, line), 0);
  EXPECT_EQ(line, "here");
}

// --- several files, several threads -----------------------------------------

TEST_F(HostInputFilesTest, TwoFilesReadSideBySide) {
  writeFile(at("a.txt"), "a1\na2\na3\n");
  writeFile(at("b.txt"), "b1\r\nb2");
  ASSERT_EQ(files_.open(*fs_, 1, at("a.txt")), 0);
  ASSERT_EQ(files_.open(*fs_, 2, at("b.txt")), 0);
  std::string line;
  std::string read;
  int error = 0;
  for (int round = 0; round < 3; ++round) {
    for (int n : {1, 2}) {
      if (!files_.eof(n, error) && files_.readLine(n, line) == 0) read += line + " ";
    }
  }
  EXPECT_EQ(read, "a1 b1 a2 b2 a3 ");
  EXPECT_TRUE(files_.eof(2, error));
  EXPECT_TRUE(files_.eof(1, error));
}

TEST_F(HostInputFilesTest, SameFileOpenTwiceReadsIndependently) {
  writeFile(at("f.txt"), "one\ntwo\n");
  ASSERT_EQ(files_.open(*fs_, 1, at("f.txt")), 0);
  ASSERT_EQ(files_.open(*fs_, 2, at("f.txt")), 0);
  std::string line;
  ASSERT_EQ(files_.readLine(1, line), 0);
  ASSERT_EQ(files_.readLine(1, line), 0);
  EXPECT_EQ(line, "two");
  ASSERT_EQ(files_.readLine(2, line), 0);
  EXPECT_EQ(line, "one");
}

TEST_F(HostInputFilesTest, FileIsReadWholeWhenOpened) {
  ASSERT_EQ(openWith(1, "before\n"), 0);
  writeFile(at("in.txt"), "after\nmore\n");
  EXPECT_EQ(lines(1), (Lines{"before"}));
}

TEST_F(HostInputFilesTest, EveryThreadHasItsOwnTable) {
  writeFile(at("main.txt"), "main line\n");
  writeFile(at("thread.txt"), "thread line\n");
  InputFiles& mine = InputFiles::forThread();
  mine.closeAll();
  ASSERT_EQ(mine.open(*fs_, 1, at("main.txt")), 0);
  EXPECT_EQ(mine.freeFile(), 2);
  EXPECT_EQ(&InputFiles::forThread(), &mine);

  int otherFree = -1;
  int otherEofError = -1;
  int otherOpen = -1;
  std::string otherLine;
  bool sameTable = true;
  std::thread other([&] {
    InputFiles& theirs = InputFiles::forThread();
    sameTable = &theirs == &mine;
    otherFree = theirs.freeFile();
    theirs.eof(1, otherEofError);
    otherOpen = theirs.open(*fs_, 1, at("thread.txt"));
    theirs.readLine(1, otherLine);
  });
  other.join();

  EXPECT_FALSE(sameTable);
  EXPECT_EQ(otherFree, 1);
  EXPECT_EQ(otherEofError, 52);
  EXPECT_EQ(otherOpen, 0);
  EXPECT_EQ(otherLine, "thread line");
  std::string line;
  EXPECT_EQ(mine.readLine(1, line), 0);
  EXPECT_EQ(line, "main line");
  mine.closeAll();
}

}  // namespace

// A name holding a NUL would reach another file at the system call: it is
// refused as a bad file name and nothing is opened.
TEST(HostInputFilesNames, PathWithNulIsABadFileName) {
  TempDir dir;
  writeFile(dir.file("a.txt"), "line\n");
  InputFiles files;
  const std::string path = dir.file("a.txt") + std::string("\0x", 2);
  EXPECT_EQ(files.open(*zidevuv10::fs::posixFileSystem(), 1, path), 52);
  EXPECT_EQ(files.freeFile(), 1);
}
