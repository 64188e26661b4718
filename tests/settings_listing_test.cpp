// Listings of the settings object: the entries of the current section
// (as NUL-separated text and as a two-row string array), the section names
// GetSections reads line by line from the file itself, GetSectionsEx and
// SectExist built on them, and which file a name without a folder means.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/automation_checks.h"
#include "support/test_files.h"
#include "zidevuv10/host.h"
#include "zidevuv10/library.h"
#include "zidevuv10/safe_array.h"
#include "zidevuv10/settings.h"

namespace zidevuv10 {
namespace {

using testing::errorNumber;
using testing::MessageRecorder;
using testing::lateCall;
using testing::readFile;
using testing::ScopedDriveC;
using testing::ScopedEnv;
using testing::TempDir;
using testing::writeFile;

using Settings = _clsOrviInifINIFilesObjC;
using Strings = SafeArray::ElementType;

Ref<Settings> newSettings() {
  return objectAs<Settings>(createObject(u"VEZEzoro10.clsOrviInifINIFilesObjC"));
}

// Text with its NULs shown as "|", so listings compare readably.
std::string shown(const Text& t) {
  std::string s = t.utf8();
  for (char& c : s) {
    if (c == '\0') c = '|';
  }
  return s;
}

std::string element(const SafeArray& a, int32_t i) { return a.at(i).toText().utf8(); }
std::string element(const SafeArray& a, int32_t i, int32_t j) {
  return a.at(i, j).toText().utf8();
}

class ScopedCurrentFolder {
 public:
  explicit ScopedCurrentFolder(const std::string& folder) : old_(std::filesystem::current_path()) {
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
  }
  ~ScopedCurrentFolder() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
  }
  ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
  ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

 private:
  std::filesystem::path old_;
};

// An object on D:\App.ini, section General, drive D a temporary folder.
class SettingsListing : public ::testing::Test {
 protected:
  void write(std::string_view content) { writeFile(dir_.file("App.ini"), content); }
  void TearDown() override { EXPECT_EQ(boxes_.count(), 0); }

  MessageRecorder boxes_;
  TempDir dir_;
  ScopedEnv driveD_{"ZIDEVUV10_DRIVE_D", dir_.path()};
  Ref<Settings> s_ = [] {
    Ref<Settings> s = newSettings();
    s->let_FullPath(u"D:\\App.ini");
    return s;
  }();
  ObjectRef o_{s_};
};

// ---------------------------------------------------------------------------
// GetSectEntries

using SettingsSectEntries = SettingsListing;

TEST_F(SettingsSectEntries, ListsTheCurrentSectionsLinesEndedByAnExtraNul) {
  write("[Before]\nz=0\n[General]\na=1\nb=x=y\nc\n[Other]\nd=4\n");
  const Text list = s_->GetSectEntries();
  EXPECT_EQ(list.str(), std::u16string(u"a=1\0b=x=y\0c\0\0", 13));
  const Variant late = lateCall(o_, u"GetSectEntries", InvokeKind::Method);
  EXPECT_EQ(late.type(), VarType::String);
  EXPECT_EQ(shown(late.toText()), "a=1|b=x=y|c||");

  s_->let_SectionName(u"other");
  EXPECT_EQ(shown(s_->GetSectEntries()), "d=4||");
}

TEST_F(SettingsSectEntries, EmptyOrMissingSectionIsASingleNul) {
  write("[General]\n[Other]\nd=4\n");
  EXPECT_EQ(s_->GetSectEntries().str(), std::u16string(1, u'\0'));
  s_->let_SectionName(u"Missing");
  EXPECT_EQ(s_->GetSectEntries().str(), std::u16string(1, u'\0'));
  s_->let_FullPath(u"D:\\NoSuchFile.ini");
  EXPECT_EQ(s_->GetSectEntries().str(), std::u16string(1, u'\0'));
}

// ---------------------------------------------------------------------------
// GetSectEntriesEx

using SettingsSectEntriesEx = SettingsListing;

TEST_F(SettingsSectEntriesEx, FillsNamesAndValuesInTwoRows) {
  write("[General]\na=1\nb=x=y\nc\n");
  SafeArray arr(Strings::String);
  EXPECT_EQ(s_->GetSectEntriesEx(arr), 3);
  ASSERT_EQ(arr.dimensions(), 2);
  EXPECT_EQ(arr.lowerBound(1), 0);
  EXPECT_EQ(arr.upperBound(1), 1);
  EXPECT_EQ(arr.lowerBound(2), 0);
  EXPECT_EQ(arr.upperBound(2), 2);
  // Row 0 the names (none for a line without "="), row 1 the values.
  EXPECT_EQ(element(arr, 0, 0), "a");
  EXPECT_EQ(element(arr, 0, 1), "b");
  EXPECT_EQ(element(arr, 0, 2), "");
  EXPECT_EQ(element(arr, 1, 0), "1");
  EXPECT_EQ(element(arr, 1, 1), "x=y");
  EXPECT_EQ(element(arr, 1, 2), "c");
}

TEST_F(SettingsSectEntriesEx, ResizesADynamicArrayToTheEntries) {
  // An array already holding more columns ends with exactly one per entry.
  write("[General]\na=1\nb=2\n");
  SafeArray arr(Strings::String);
  arr.redim({{0, 1}, {0, 5}}, false);
  for (int32_t j = 0; j <= 5; ++j) arr.at(1, j) = Variant(Text(u"old"));
  EXPECT_EQ(s_->GetSectEntriesEx(arr), 2);
  EXPECT_EQ(arr.upperBound(1), 1);
  EXPECT_EQ(arr.upperBound(2), 1);
  EXPECT_EQ(element(arr, 0, 1), "b");
  EXPECT_EQ(element(arr, 1, 1), "2");

  // Late-bound, through a variable holding the array.
  write("[General]\na=1\nb=x=y\nc\n");
  auto shared = std::make_shared<SafeArray>(Strings::String);
  Variant holder(shared);
  const Variant n = lateCall(o_, u"GetSectEntriesEx", InvokeKind::Method, {Variant::byRef(holder)});
  EXPECT_EQ(n.type(), VarType::Integer);
  EXPECT_EQ(n.toInt16(), 3);
  const auto filled = holder.toArray();
  ASSERT_TRUE(filled);
  EXPECT_EQ(filled->upperBound(2), 2);
  EXPECT_EQ(element(*filled, 0, 0), "a");
  EXPECT_EQ(element(*filled, 1, 1), "x=y");
  EXPECT_EQ(element(*filled, 1, 2), "c");
}

TEST_F(SettingsSectEntriesEx, EmptySectionLeavesTheArrayAlone) {
  write("[General]\n[Other]\nd=4\n");
  SafeArray arr(Strings::String);
  arr.redim({{0, 1}, {0, 3}}, false);
  arr.at(0, 3) = Variant(Text(u"kept"));
  EXPECT_EQ(s_->GetSectEntriesEx(arr), 0);
  EXPECT_EQ(arr.upperBound(2), 3);
  EXPECT_EQ(element(arr, 0, 3), "kept");

  SafeArray fresh(Strings::String);
  s_->let_SectionName(u"Missing");
  EXPECT_EQ(s_->GetSectEntriesEx(fresh), 0);
  EXPECT_EQ(fresh.dimensions(), 0);
}

TEST_F(SettingsSectEntriesEx, ArraysThatCannotGrowTakeWhatFits) {
  write("[General]\na=1\nb=x=y\nc\n");
  // A fixed array of two columns: the first two entries are stored, the
  // third is passed over, and the count still covers all three.
  SafeArray fixed(Strings::String, {{0, 1}, {0, 1}});
  EXPECT_EQ(s_->GetSectEntriesEx(fixed), 3);
  EXPECT_EQ(fixed.upperBound(2), 1);
  EXPECT_EQ(element(fixed, 0, 0), "a");
  EXPECT_EQ(element(fixed, 1, 0), "1");
  EXPECT_EQ(element(fixed, 0, 1), "b");
  EXPECT_EQ(element(fixed, 1, 1), "x=y");

  // A one-dimensional array can hold none of the pairs: it keeps its
  // bounds and contents, and no error comes out.
  SafeArray flat(Strings::String);
  flat.redim({{0, 4}}, false);
  flat.at(0) = Variant(Text(u"mine"));
  EXPECT_EQ(s_->GetSectEntriesEx(flat), 3);
  ASSERT_EQ(flat.dimensions(), 1);
  EXPECT_EQ(flat.upperBound(1), 4);
  EXPECT_EQ(element(flat, 0), "mine");
  EXPECT_EQ(element(flat, 1), "");

  SafeArray fixedFlat(Strings::String, {{0, 2}});
  EXPECT_EQ(s_->GetSectEntriesEx(fixedFlat), 3);
  EXPECT_EQ(fixedFlat.upperBound(1), 2);

  // The same late-bound.
  auto shared = std::make_shared<SafeArray>(Strings::String, std::vector<ArrayBound>{{0, 1}, {0, 0}});
  const Variant n = lateCall(o_, u"GetSectEntriesEx", InvokeKind::Method, {Variant(shared)});
  EXPECT_EQ(n.toInt16(), 3);
  EXPECT_EQ(element(*shared, 0, 0), "a");
  EXPECT_EQ(element(*shared, 1, 0), "1");
}

// ---------------------------------------------------------------------------
// GetSections, GetSectionsEx, SectExist

using SettingsSections = SettingsListing;

constexpr std::string_view kMixedHeaders =
    "[A]\n;comment\n  [B]  ;x\nx=1\n[C\n[D]]\n[]\n[E]\n";

TEST_F(SettingsSections, GetSectionsReadsHeaderLinesOfTheFile) {
  write(kMixedHeaders);
  EXPECT_EQ(shown(s_->GetSections()), "A|B||E||");
  const Variant late = lateCall(o_, u"GetSections", InvokeKind::Method);
  EXPECT_EQ(late.type(), VarType::String);
  EXPECT_EQ(shown(late.toText()), "A|B||E||");

  // Line ends of either kind.
  std::string crlf;
  for (char c : kMixedHeaders) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  write(crlf);
  EXPECT_EQ(shown(s_->GetSections()), "A|B||E||");
  write("[A]\r[B]");
  EXPECT_EQ(shown(s_->GetSections()), "A|B||");

  // The file as it is now, not as it was when last read.
  write("[New]\n");
  EXPECT_EQ(shown(s_->GetSections()), "New||");
}

TEST_F(SettingsSections, GetSectionsExStopsAtTheEmptyName) {
  write(kMixedHeaders);
  SafeArray arr(Strings::String);
  arr.redim({{0, 7}}, false);
  EXPECT_EQ(s_->GetSectionsEx(arr), 2);
  EXPECT_EQ(arr.lowerBound(1), 0);
  EXPECT_EQ(arr.upperBound(1), 1);
  EXPECT_EQ(element(arr, 0), "A");
  EXPECT_EQ(element(arr, 1), "B");

  auto shared = std::make_shared<SafeArray>(Strings::String);
  Variant holder(shared);
  const Variant n = lateCall(o_, u"GetSectionsEx", InvokeKind::Method, {Variant::byRef(holder)});
  EXPECT_EQ(n.type(), VarType::Integer);
  EXPECT_EQ(n.toInt16(), 2);
  EXPECT_EQ(shared->upperBound(1), 1);
  EXPECT_EQ(element(*shared, 1), "B");
}

TEST_F(SettingsSections, SectExistMatchesListedNamesWithoutRegardToCase) {
  write(kMixedHeaders);
  EXPECT_EQ(s_->SectExist(u"A"), kTrue);
  EXPECT_EQ(s_->SectExist(u"b"), kTrue);
  EXPECT_EQ(s_->SectExist(u"e"), kTrue);
  // Names only look alike in lines that are no headers.
  EXPECT_EQ(s_->SectExist(u"C"), kFalse);
  EXPECT_EQ(s_->SectExist(u"D"), kFalse);
  EXPECT_EQ(s_->SectExist(u"D]"), kFalse);
  EXPECT_EQ(s_->SectExist(u"x"), kFalse);
  // Whole names only, and the argument is taken as given.
  EXPECT_EQ(s_->SectExist(u"AB"), kFalse);
  EXPECT_EQ(s_->SectExist(u" A"), kFalse);
  EXPECT_EQ(s_->SectExist(u"A "), kFalse);

  const Variant v = lateCall(o_, u"SectExist", InvokeKind::Method, {Variant(u"e")});
  EXPECT_EQ(v.type(), VarType::Boolean);
  EXPECT_EQ(v.toBool(), kTrue);
  EXPECT_EQ(lateCall(o_, u"SectExist", InvokeKind::Method, {Variant(u"C")}).toBool(), kFalse);
}

TEST_F(SettingsSections, FileWithoutHeadersListsNothing) {
  for (std::string_view content : {std::string_view("x=1\n;[A]\n"), std::string_view("")}) {
    SCOPED_TRACE(std::string(content));
    write(content);
    EXPECT_EQ(shown(s_->GetSections()), "||");
    SafeArray arr(Strings::String);
    EXPECT_EQ(s_->GetSectionsEx(arr), 0);
    EXPECT_EQ(arr.dimensions(), 0);
    EXPECT_EQ(s_->SectExist(u"X"), kFalse);
    EXPECT_EQ(s_->SectExist(u"A"), kFalse);
    // The empty name matches the empty list.
    EXPECT_EQ(s_->SectExist(u""), kTrue);
  }
}

TEST_F(SettingsSections, BlanksInsideBracketsAndTabsBeforeThemCount) {
  write("[ General ]\n\t[Tabbed]\n[Plain]\n");
  // Blanks inside the brackets belong to the name; a tab is no blank, so
  // the tabbed line is no header.
  EXPECT_EQ(shown(s_->GetSections()), " General |Plain||");
  EXPECT_EQ(s_->SectExist(u"General"), kFalse);
  EXPECT_EQ(s_->SectExist(u" general "), kTrue);
  EXPECT_EQ(s_->SectExist(u"Tabbed"), kFalse);
  EXPECT_EQ(s_->SectExist(u"plain"), kTrue);
}

TEST_F(SettingsSections, MissingFileIsAnInputError) {
  s_->let_FullPath(u"D:\\NoSuchFile.ini");
  EXPECT_EQ(errorNumber([&] { s_->GetSections(); }), err::kFileNotFound);
  SafeArray arr(Strings::String);
  EXPECT_EQ(errorNumber([&] { s_->GetSectionsEx(arr); }), err::kFileNotFound);
  EXPECT_EQ(errorNumber([&] { s_->SectExist(u"General"); }), err::kFileNotFound);
  EXPECT_EQ(errorNumber([&] { lateCall(o_, u"GetSections", InvokeKind::Method); }),
            err::kFileNotFound);
  EXPECT_EQ(errorNumber([&] {
              lateCall(o_, u"SectExist", InvokeKind::Method, {Variant(u"General")});
            }),
            err::kFileNotFound);
  // A failed listing leaves no file open: after creating the file the
  // listing works, again and again.
  writeFile(dir_.file("NoSuchFile.ini"), "[General]\n");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(shown(s_->GetSections()), "General||");
}

TEST_F(SettingsSections, FileIsFoundWithoutRegardToCase) {
  write("[A]\n");
  s_->let_FullPath(u"d:\\APP.INI");
  EXPECT_EQ(shown(s_->GetSections()), "A||");
  EXPECT_EQ(s_->SectExist(u"a"), kTrue);
}

TEST_F(SettingsSections, NameWithoutFolderIsTheOneInTheWindowsDirectory) {
  // A Plain.ini in the current folder and another in C:\WINDOWS: the
  // listing reads the same file the store's reads and writes reach.
  ScopedDriveC driveC;
  std::filesystem::create_directories(driveC.windowsDir());
  writeFile(driveC.windowsDir() + "/Plain.ini", "[FromWindows]\nk=w\n");
  ScopedCurrentFolder here(dir_.file("work"));
  writeFile(dir_.file("work/Plain.ini"), "[FromCurrent]\nk=c\n");

  s_->let_FullPath(u"Plain.ini");
  s_->let_SectionName(u"FromWindows");
  EXPECT_EQ(shown(s_->GetSections()), "FromWindows||");
  EXPECT_EQ(s_->GetString(u"k", u""), Text(u"w"));
  s_->let_SectionName(u"Added");
  EXPECT_NE(s_->PutString(u"n", u"1"), 0);
  EXPECT_EQ(shown(s_->GetSections()), "FromWindows|Added||");
  EXPECT_EQ(s_->SectExist(u"added"), kTrue);
  EXPECT_EQ(s_->SectExist(u"FromCurrent"), kFalse);
  EXPECT_EQ(readFile(dir_.file("work/Plain.ini")), "[FromCurrent]\nk=c\n");
}

TEST_F(SettingsSections, WinIniModeListsWinIni) {
  ScopedDriveC driveC;
  std::filesystem::create_directories(driveC.windowsDir());
  writeFile(driveC.windowsDir() + "/WIN.INI", "[windows]\n[Desktop]\n");
  write("[Private]\n");
  s_->let_UseWinINI(kTrue);
  EXPECT_EQ(shown(s_->GetSections()), "windows|Desktop||");
  EXPECT_EQ(s_->SectExist(u"Private"), kFalse);
  s_->let_UseWinINI(kFalse);
  EXPECT_EQ(shown(s_->GetSections()), "Private||");
}

}  // namespace
}  // namespace zidevuv10
