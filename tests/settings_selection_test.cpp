// The application-settings object's choice of file and section: the
// default file named after the program, the section guard that refuses the
// typed members until a section is registered, FullPath and SectionName,
// the WIN.INI switch, the path utilities ExtractName / ExtractPath, Exists,
// and the member table late-bound callers go through.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/automation_checks.h"
#include "support/test_files.h"
#include "zidevuv10/host.h"
#include "zidevuv10/library.h"
#include "zidevuv10/safe_array.h"
#include "zidevuv10/settings.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10 {
namespace {

using testing::errorNumber;
using testing::MessageRecorder;
using testing::fileExists;
using testing::lateCall;
using testing::lateGet;
using testing::lateLet;
using testing::readFile;
using testing::ScopedDriveC;
using testing::ScopedEnv;
using testing::TempDir;
using testing::writeFile;

using Settings = _clsOrviInifINIFilesObjC;

Ref<Settings> newSettings() {
  return objectAs<Settings>(createObject(u"VEZEzoro10.clsOrviInifINIFilesObjC"));
}

std::string u8(const Text& t) { return t.utf8(); }
Variant i16(int v) { return Variant(static_cast<int16_t>(v)); }

// ---------------------------------------------------------------------------
// Shared helpers

// Exactly one box, the guard's refusal.
void expectOneRefusal(MessageRecorder& boxes) {
  const auto shown = boxes.take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].prompt, "[Section] and FileName Not Registered in Private.Ini!");
  EXPECT_EQ(shown[0].style, 64);
  EXPECT_EQ(shown[0].title, "IniFile Logic Error");
}

// Makes a folder the process's current one for the scope.
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

// Windows form of a host path that no mapped drive but Z: holds.
std::string zForm(const std::string& hostPath) {
  std::string out = "Z:" + hostPath;
  for (char& c : out) {
    if (c == '/') c = '\\';
  }
  return out;
}

// First letter of each word upper case, the rest lower case.
std::string properCase(const std::string& s) {
  std::string out = s;
  bool start = true;
  for (char& c : out) {
    c = static_cast<char>(start ? std::toupper(static_cast<unsigned char>(c))
                                : std::tolower(static_cast<unsigned char>(c)));
    start = c == ' ';
  }
  return out;
}

// The file a new object chooses: beside this test program, named after it.
struct DefaultFile {
  std::filesystem::path exe;
  std::string folder;    // Windows form
  std::string name;      // proper case, without extension
  std::string hostFile;  // where that file lives on the host
  std::string full() const { return folder + "\\" + name + ".ini"; }
};

DefaultFile defaultFile() {
  DefaultFile d;
  d.exe = std::filesystem::canonical("/proc/self/exe");
  d.folder = zForm(d.exe.parent_path().string());
  d.name = properCase(d.exe.filename().string());
  d.hostFile = (d.exe.parent_path() / (d.name + ".ini")).string();
  return d;
}

// A temporary folder as drive D, plus a recorder of message boxes.
class SettingsTest : public ::testing::Test {
 protected:
  std::string hostD(std::string_view rest) const { return dir_.file(rest); }

  MessageRecorder boxes_;
  TempDir dir_;
  ScopedEnv driveD_{"ZIDEVUV10_DRIVE_D", dir_.path()};
};

// ---------------------------------------------------------------------------
// Construction

using SettingsConstruction = SettingsTest;

TEST_F(SettingsConstruction, ChoosesTheFileNamedAfterTheProgramInItsFolder) {
  const DefaultFile expected = defaultFile();
  const Ref<Settings> s = newSettings();
  ASSERT_TRUE(s);
  EXPECT_EQ(u8(s->get_FullPath()), expected.full());
  EXPECT_EQ(u8(s->get_PrivPath()), expected.full());
  EXPECT_EQ(u8(s->get_FilePath()), expected.folder);
  EXPECT_EQ(u8(s->get_FileName()), expected.name);
  EXPECT_EQ(u8(s->get_FileExt()), "ini");
  EXPECT_EQ(u8(s->get_SectionName()), "General");
  EXPECT_EQ(s->get_UseWinINI(), kFalse);
  // Choosing the file shows nothing.
  EXPECT_EQ(boxes_.count(), 0u);

  // Late-bound reads see the same state, with the declared result types.
  const ObjectRef o(s);
  EXPECT_EQ(u8(lateGet(o, u"FullPath").toText()), expected.full());
  EXPECT_EQ(u8(lateGet(o, u"PrivPath").toText()), expected.full());
  EXPECT_EQ(u8(lateGet(o, u"FilePath").toText()), expected.folder);
  EXPECT_EQ(u8(lateGet(o, u"FileName").toText()), expected.name);
  EXPECT_EQ(u8(lateGet(o, u"FileExt").toText()), "ini");
  EXPECT_EQ(u8(lateGet(o, u"SectionName").toText()), "General");
  const Variant win = lateGet(o, u"UseWinINI");
  EXPECT_EQ(win.type(), VarType::Boolean);
  EXPECT_EQ(win.toBool(), kFalse);
}

TEST_F(SettingsConstruction, DefaultFileFollowsTheDriveHoldingTheProgram) {
  // App is per thread, so a new thread sees a drive W mapped onto the
  // folder above the program's: the default file is then on W.
  const DefaultFile expected = defaultFile();
  const std::filesystem::path parent = expected.exe.parent_path().parent_path();
  ASSERT_NE(parent, expected.exe.parent_path());
  ScopedEnv driveW("ZIDEVUV10_DRIVE_W", parent.string());
  std::string fullPath, filePath, fileName;
  std::thread([&] {
    const Ref<Settings> s = newSettings();
    fullPath = u8(s->get_FullPath());
    filePath = u8(s->get_FilePath());
    fileName = u8(s->get_FileName());
  }).join();
  const std::string folder = "W:\\" + expected.exe.parent_path().filename().string();
  EXPECT_EQ(fullPath, folder + "\\" + expected.name + ".ini");
  EXPECT_EQ(filePath, folder);
  EXPECT_EQ(fileName, expected.name);
}

// ---------------------------------------------------------------------------
// The section guard

// One guarded member called on an object whose section is not registered:
// checks its empty result (the box and the file are checked by the caller).
struct GuardedCall {
  const char* name;
  std::function<void(Settings&)> call;
};

std::vector<GuardedCall> guardedCalls() {
  return {
      {"GetInt", [](Settings& s) { EXPECT_EQ(s.GetInt(u"n", 5), 0); }},
      {"GetString",
       [](Settings& s) {
         const Text r = s.GetString(u"s", u"fallback");
         EXPECT_EQ(u8(r), "");
       }},
      {"GetTF", [](Settings& s) { EXPECT_EQ(s.GetTF(u"t", -1), kFalse); }},
      {"PutInt", [](Settings& s) { EXPECT_EQ(s.PutInt(u"n", 7), 0); }},
      {"PutString", [](Settings& s) { EXPECT_EQ(s.PutString(u"s", u"written"), 0); }},
      {"PutTF", [](Settings& s) { EXPECT_EQ(s.PutTF(u"t", -1), kFalse); }},
      {"DeleteStrEntry", [](Settings& s) { s.DeleteStrEntry(u"s"); }},
      {"DeleteNumEntry", [](Settings& s) { s.DeleteNumEntry(u"n"); }},
      {"DeleteSection", [](Settings& s) { s.DeleteSection(); }},
      {"GetSectEntries", [](Settings& s) { EXPECT_EQ(s.GetSectEntries().size(), 0u); }},
      {"GetSectEntriesEx",
       [](Settings& s) {
         SafeArray arr(SafeArray::ElementType::String);
         arr.redim({{0, 1}, {0, 0}}, false);
         arr.at(1, 0) = Variant(Text(u"keep"));
         EXPECT_EQ(s.GetSectEntriesEx(arr), 0);
         EXPECT_EQ(arr.upperBound(2), 0);
         EXPECT_EQ(u8(arr.at(1, 0).toText()), "keep");
       }},
      {"GetSections", [](Settings& s) { EXPECT_EQ(s.GetSections().size(), 0u); }},
      {"GetSectionsEx",
       [](Settings& s) {
         SafeArray arr(SafeArray::ElementType::String);
         arr.redim({{0, 0}}, false);
         arr.at(0) = Variant(Text(u"keep"));
         EXPECT_EQ(s.GetSectionsEx(arr), 0);
         EXPECT_EQ(arr.upperBound(1), 0);
         EXPECT_EQ(u8(arr.at(0).toText()), "keep");
       }},
      {"SectExist", [](Settings& s) { EXPECT_EQ(s.SectExist(u"General"), kFalse); }},
      {"FlushCache", [](Settings& s) { s.FlushCache(); }},
  };
}

using SettingsGuard = SettingsTest;

TEST_F(SettingsGuard, NewObjectRefusesEveryGuardedMemberOnce) {
  // A new object names section General but has not registered it.
  const DefaultFile expected = defaultFile();
  const bool existed = fileExists(expected.hostFile);
  const std::string before = existed ? readFile(expected.hostFile) : std::string();
  for (const auto& g : guardedCalls()) {
    SCOPED_TRACE(g.name);
    const Ref<Settings> s = newSettings();
    g.call(*s);
    expectOneRefusal(boxes_);
    // No write reached the default file.
    EXPECT_EQ(fileExists(expected.hostFile), existed);
    if (existed) {
      EXPECT_EQ(readFile(expected.hostFile), before);
    }
  }
}

TEST_F(SettingsGuard, BlankSectionNameIsKeptButNotRegistered) {
  const std::string content = "[General]\nn=9\ns=text\nt=yes\n";
  writeFile(hostD("App.ini"), content);
  for (const auto& g : guardedCalls()) {
    SCOPED_TRACE(g.name);
    const Ref<Settings> s = newSettings();
    s->let_FullPath(u"D:\\App.ini");
    s->let_SectionName(u"   ");
    EXPECT_EQ(s->get_SectionName(), Text(u"   "));
    g.call(*s);
    expectOneRefusal(boxes_);
    // Reads returned nothing of the file, and writes left it alone.
    EXPECT_EQ(readFile(hostD("App.ini")), content);
  }
}

TEST_F(SettingsGuard, LateBoundCallsRefuseWithTheSameBox) {
  const ObjectRef o(newSettings());
  const Variant n = lateCall(o, u"GetInt", InvokeKind::Method, {Variant(u"n"), i16(5)});
  EXPECT_EQ(n.type(), VarType::Integer);
  EXPECT_EQ(n.toInt16(), 0);
  expectOneRefusal(boxes_);

  const Variant tf = lateCall(o, u"GetTF", InvokeKind::Method, {Variant(u"t"), i16(-1)});
  EXPECT_EQ(tf.type(), VarType::Boolean);
  EXPECT_EQ(tf.toBool(), kFalse);
  expectOneRefusal(boxes_);

  const Variant str =
      lateCall(o, u"GetString", InvokeKind::Method, {Variant(u"s"), Variant(u"fallback")});
  EXPECT_EQ(str.type(), VarType::String);
  EXPECT_EQ(u8(str.toText()), "");
  expectOneRefusal(boxes_);

  auto arr = std::make_shared<SafeArray>(SafeArray::ElementType::String);
  Variant holder(arr);
  const Variant count =
      lateCall(o, u"GetSectEntriesEx", InvokeKind::Method, {Variant::byRef(holder)});
  EXPECT_EQ(count.toInt16(), 0);
  EXPECT_EQ(arr->dimensions(), 0);
  expectOneRefusal(boxes_);

  const Variant exists = lateCall(o, u"SectExist", InvokeKind::Method, {Variant(u"General")});
  EXPECT_EQ(exists.type(), VarType::Boolean);
  EXPECT_EQ(exists.toBool(), kFalse);
  expectOneRefusal(boxes_);
}

TEST_F(SettingsGuard, SectionNameOrFullPathRegistersTheSection) {
  writeFile(hostD("App.ini"), "[General]\nn=9\n");
  {
    // Naming the section registers it: the default file is read (it has
    // no such entry, so the default comes back) without a box.
    const Ref<Settings> s = newSettings();
    s->let_SectionName(u"General");
    EXPECT_EQ(u8(s->GetString(u"surely-not-there", u"fallback")), "fallback");
    EXPECT_EQ(s->GetInt(u"surely-not-there", 5), 5);
  }
  {
    // Choosing a file registers the section the object already names.
    const Ref<Settings> s = newSettings();
    s->let_FullPath(u"D:\\App.ini");
    EXPECT_EQ(s->GetInt(u"n", 5), 9);
    EXPECT_NE(s->PutString(u"k", u"v"), 0);
    EXPECT_EQ(readFile(hostD("App.ini")), "[General]\nn=9\nk=v\n");
  }
  {
    // Late-bound lets register as well.
    const Ref<Settings> s = newSettings();
    const ObjectRef o(s);
    lateLet(o, u"FullPath", Variant(u"D:\\App.ini"));
    EXPECT_EQ(lateCall(o, u"GetInt", InvokeKind::Method, {Variant(u"n"), i16(5)}).toInt16(), 9);
  }
  EXPECT_EQ(boxes_.count(), 0u);
}

TEST_F(SettingsGuard, FullPathRegistersWithTheCurrentSectionName) {
  // Registration is evaluated with the section name as it stands: blank
  // stays refused, and a named section is registered.
  const Ref<Settings> s = newSettings();
  s->let_SectionName(u"   ");
  s->let_FullPath(u"D:\\App.ini");
  EXPECT_EQ(s->GetInt(u"n", 5), 0);
  expectOneRefusal(boxes_);
  EXPECT_EQ(s->get_SectionName(), Text(u"   "));

  s->let_SectionName(u"Other");
  s->let_FullPath(u"D:\\Second.ini");
  EXPECT_NE(s->PutInt(u"n", 3), 0);
  EXPECT_EQ(boxes_.count(), 0u);
  EXPECT_EQ(readFile(hostD("Second.ini")), "[Other]\nn=3\n");
}

TEST_F(SettingsGuard, IniWriteAndIniReadWorkWithoutARegisteredSection) {
  const Ref<Settings> s = newSettings();
  s->IniWrite(u"Sect", u"key", u"value", u"D:\\Written.ini");
  EXPECT_EQ(readFile(hostD("Written.ini")), "[Sect]\nkey=value\n");

  // IniRead takes everything by value and returns nothing: no file is
  // touched (not even the one it names), the object does not change.
  const DefaultFile expected = defaultFile();
  s->IniRead(u"Sect", u"key", 3, u"dflt", u"ret", kFalse, u"D:\\Written.ini");
  s->IniRead(u"Sect", u"key", 3, u"dflt", u"ret", kTrue, u"D:\\Missing\\Nowhere.ini");
  EXPECT_FALSE(fileExists(hostD("Missing")));
  EXPECT_EQ(u8(s->get_FullPath()), expected.full());
  EXPECT_EQ(u8(s->get_SectionName()), "General");

  // Late-bound, a variable passed for ReturnStr keeps its value.
  const ObjectRef o(s);
  Variant ret(Text(u"before"));
  lateCall(o, u"IniRead", InvokeKind::Method,
           {Variant(u"Sect"), Variant(u"key"), i16(0), Variant(u"dflt"), Variant::byRef(ret),
            Variant::boolean(false), Variant(u"D:\\Written.ini")});
  EXPECT_EQ(u8(ret.toText()), "before");
  lateCall(o, u"IniWrite", InvokeKind::Method,
           {Variant(u"Sect"), Variant(u"other"), Variant(u"2"), Variant(u"D:\\Written.ini")});
  EXPECT_EQ(readFile(hostD("Written.ini")), "[Sect]\nkey=value\nother=2\n");
  EXPECT_EQ(boxes_.count(), 0u);
}

// ---------------------------------------------------------------------------
// FullPath and SectionName

using SettingsFullPath = SettingsTest;

TEST_F(SettingsFullPath, SetsBothPathsAndTheDerivedParts) {
  const Ref<Settings> s = newSettings();
  s->let_FullPath(u"D:\\Data\\App.Data.ini");
  EXPECT_EQ(u8(s->get_FullPath()), "D:\\Data\\App.Data.ini");
  EXPECT_EQ(u8(s->get_PrivPath()), "D:\\Data\\App.Data.ini");
  EXPECT_EQ(u8(s->get_FilePath()), "D:\\Data");
  EXPECT_EQ(u8(s->get_FileName()), "App");
  EXPECT_EQ(u8(s->get_FileExt()), "Data.ini");

  const ObjectRef o(s);
  lateLet(o, u"FullPath", Variant(u"\\\\Files\\Share\\Settings"));
  EXPECT_EQ(u8(lateGet(o, u"PrivPath").toText()), "\\\\Files\\Share\\Settings");
  EXPECT_EQ(u8(lateGet(o, u"FilePath").toText()), "\\\\Files\\Share");
  EXPECT_EQ(u8(lateGet(o, u"FileName").toText()), "Settings");
  EXPECT_EQ(u8(lateGet(o, u"FileExt").toText()), "Settings");

  lateLet(o, u"SectionName", Variant(u"Other"));
  EXPECT_EQ(u8(s->get_SectionName()), "Other");
}

TEST_F(SettingsFullPath, EmptyPathTakesTheCurrentFolder) {
  const Ref<Settings> s = newSettings();
  {
    ScopedCurrentFolder here(hostD("work"));
    s->let_FullPath(Text::empty());
    EXPECT_EQ(u8(s->get_FullPath()), "");
    EXPECT_EQ(u8(s->get_PrivPath()), "");
    EXPECT_EQ(u8(s->get_FilePath()), "D:\\work");
    EXPECT_EQ(u8(s->get_FileName()), "");
    EXPECT_EQ(u8(s->get_FileExt()), "");
  }
  {
    // At a drive's root the folder comes without its trailing backslash.
    ScopedCurrentFolder here(dir_.path());
    s->let_FullPath(Text::empty());
    EXPECT_EQ(u8(s->get_FilePath()), "D:");
  }
}

// ---------------------------------------------------------------------------
// The WIN.INI switch

class SettingsWinIni : public SettingsTest {
 protected:
  std::string winIni() const { return driveC_.windowsDir() + "/WIN.INI"; }
  ScopedDriveC driveC_;
};

TEST_F(SettingsWinIni, SwitchingOnNamesWinIniAndKeepsThePrivatePath) {
  const Ref<Settings> s = newSettings();
  s->let_FullPath(u"D:\\App.ini");
  s->let_UseWinINI(kTrue);
  EXPECT_EQ(s->get_UseWinINI(), kTrue);
  EXPECT_EQ(u8(s->get_FullPath()), "C:\\WINDOWS\\WIN.INI");
  EXPECT_EQ(u8(s->get_FilePath()), "C:\\WINDOWS");
  EXPECT_EQ(u8(s->get_FileName()), "WIN");
  EXPECT_EQ(u8(s->get_FileExt()), "INI");
  EXPECT_EQ(u8(s->get_PrivPath()), "D:\\App.ini");

  // Switching off goes back to the private file through FullPath.
  s->let_UseWinINI(kFalse);
  EXPECT_EQ(s->get_UseWinINI(), kFalse);
  EXPECT_EQ(u8(s->get_FullPath()), "D:\\App.ini");
  EXPECT_EQ(u8(s->get_FilePath()), "D:");
  EXPECT_EQ(u8(s->get_FileName()), "App");
  EXPECT_EQ(u8(s->get_FileExt()), "ini");

  // The same through late-bound calls.
  const ObjectRef o(s);
  lateLet(o, u"UseWinINI", Variant::boolean(true));
  const Variant on = lateGet(o, u"UseWinINI");
  EXPECT_EQ(on.type(), VarType::Boolean);
  EXPECT_EQ(on.toBool(), kTrue);
  EXPECT_EQ(u8(lateGet(o, u"FullPath").toText()), "C:\\WINDOWS\\WIN.INI");
  EXPECT_EQ(u8(lateGet(o, u"PrivPath").toText()), "D:\\App.ini");
  lateLet(o, u"UseWinINI", Variant::boolean(false));
  EXPECT_EQ(u8(lateGet(o, u"FullPath").toText()), "D:\\App.ini");
  EXPECT_EQ(boxes_.count(), 0u);
}

TEST_F(SettingsWinIni, SwitchingOffRegistersTheSection) {
  // A new object is unregistered; going back to the private file through
  // FullPath registers its section General.
  const DefaultFile expected = defaultFile();
  const Ref<Settings> s = newSettings();
  s->let_UseWinINI(kTrue);
  EXPECT_EQ(u8(s->get_PrivPath()), expected.full());
  s->let_UseWinINI(kFalse);
  EXPECT_EQ(u8(s->get_FullPath()), expected.full());
  EXPECT_EQ(u8(s->GetString(u"surely-not-there", u"fallback")), "fallback");
  EXPECT_EQ(boxes_.count(), 0u);
}

TEST_F(SettingsWinIni, SettingTheSameValueAgainChangesNothing) {
  // Off while off does not take FullPath again: a new object stays
  // unregistered ...
  const Ref<Settings> s = newSettings();
  s->let_UseWinINI(kFalse);
  EXPECT_EQ(s->GetInt(u"n", 1), 0);
  expectOneRefusal(boxes_);

  // ... and the folder of a relative file stays the one it was chosen in.
  {
    ScopedCurrentFolder here(hostD("one"));
    s->let_FullPath(u"App.ini");
    EXPECT_EQ(u8(s->get_FilePath()), "D:\\one");
  }
  {
    ScopedCurrentFolder here(hostD("two"));
    s->let_UseWinINI(kFalse);
    EXPECT_EQ(u8(s->get_FilePath()), "D:\\one");
  }

  // On while on keeps WIN.INI and the private path for the way back.
  s->let_UseWinINI(kTrue);
  s->let_UseWinINI(kTrue);
  EXPECT_EQ(u8(s->get_FullPath()), "C:\\WINDOWS\\WIN.INI");
  EXPECT_EQ(u8(s->get_PrivPath()), "App.ini");
  s->let_UseWinINI(kFalse);
  EXPECT_EQ(u8(s->get_FullPath()), "App.ini");
  EXPECT_EQ(s->get_UseWinINI(), kFalse);
  EXPECT_EQ(boxes_.count(), 0u);
}

TEST_F(SettingsWinIni, FullPathLeavesWinIniMode) {
  const Ref<Settings> s = newSettings();
  s->let_FullPath(u"D:\\App.ini");
  s->let_UseWinINI(kTrue);
  s->let_FullPath(u"D:\\Other.ini");
  EXPECT_EQ(s->get_UseWinINI(), kFalse);
  EXPECT_EQ(u8(s->get_FullPath()), "D:\\Other.ini");
  EXPECT_EQ(u8(s->get_PrivPath()), "D:\\Other.ini");
  EXPECT_NE(s->PutString(u"k", u"v"), 0);
  EXPECT_EQ(readFile(hostD("Other.ini")), "[General]\nk=v\n");
  EXPECT_FALSE(fileExists(winIni()));
}

TEST_F(SettingsWinIni, WritesGoToWinIniWhileSwitchedOn) {
  const Ref<Settings> s = newSettings();
  s->let_FullPath(u"D:\\App.ini");
  s->let_SectionName(u"Mine");
  s->let_UseWinINI(kTrue);
  EXPECT_NE(s->PutString(u"k", u"v"), 0);
  EXPECT_EQ(readFile(winIni()), "[Mine]\nk=v\n");
  EXPECT_EQ(u8(s->GetString(u"k", u"")), "v");
  EXPECT_FALSE(fileExists(hostD("App.ini")));

  // IniWrite goes to WIN.INI too, whatever file it is given.
  s->IniWrite(u"Theirs", u"a", u"1", u"D:\\Named.ini");
  EXPECT_EQ(readFile(winIni()), "[Mine]\nk=v\n[Theirs]\na=1\n");
  EXPECT_FALSE(fileExists(hostD("Named.ini")));

  // Switched off, both go to their own files again.
  s->let_UseWinINI(kFalse);
  s->let_SectionName(u"Mine");
  EXPECT_NE(s->PutString(u"k", u"private"), 0);
  s->IniWrite(u"Theirs", u"a", u"2", u"D:\\Named.ini");
  EXPECT_EQ(readFile(hostD("App.ini")), "[Mine]\nk=private\n");
  EXPECT_EQ(readFile(hostD("Named.ini")), "[Theirs]\na=2\n");
  EXPECT_EQ(readFile(winIni()), "[Mine]\nk=v\n[Theirs]\na=1\n");
  EXPECT_EQ(boxes_.count(), 0u);
}

// ---------------------------------------------------------------------------
// ExtractName and ExtractPath

struct PathCase {
  const char16_t* path;
  const char* folder;
  const char* name;       // RetChoice 1
  const char* extension;  // RetChoice 2
  const char* whole;      // RetChoice 0
};

// Drive D holds no current folder; the process works in E:\here; C is a
// temporary drive; Q is not mapped.
class SettingsPathParts : public SettingsTest {
 protected:
  SettingsPathParts() { std::filesystem::create_directories(hostD("d_drive")); }

  void check(const PathCase& c) {
    SCOPED_TRACE(Text(c.path).utf8());
    EXPECT_EQ(u8(s_->ExtractPath(c.path)), c.folder);
    EXPECT_EQ(u8(s_->ExtractName(c.path, exnFullName)), c.name);
    EXPECT_EQ(u8(s_->ExtractName(c.path, exnOnlyExtn)), c.extension);
    EXPECT_EQ(u8(s_->ExtractName(c.path, 0)), c.whole);
    // Late-bound calls give the same answers.
    const ObjectRef o(s_);
    EXPECT_EQ(u8(lateCall(o, u"ExtractPath", InvokeKind::Method, {Variant(c.path)}).toText()),
              c.folder);
    EXPECT_EQ(u8(lateCall(o, u"ExtractName", InvokeKind::Method,
                          {Variant(c.path), Variant(int32_t{1})})
                     .toText()),
              c.name);
    EXPECT_EQ(u8(lateCall(o, u"ExtractName", InvokeKind::Method,
                          {Variant(c.path), Variant(int32_t{2})})
                     .toText()),
              c.extension);
  }

  ScopedEnv driveDOwn_{"ZIDEVUV10_DRIVE_D", hostD("d_drive")};
  ScopedEnv driveE_{"ZIDEVUV10_DRIVE_E", hostD("e_drive")};
  ScopedEnv driveQ_{"ZIDEVUV10_DRIVE_Q", ""};
  ScopedDriveC driveC_;
  ScopedCurrentFolder here_{hostD("e_drive/here")};
  Ref<Settings> s_ = newSettings();
};

TEST_F(SettingsPathParts, OnlyBackslashesSeparateFolderAndName) {
  const PathCase cases[] = {
      {u"C:\\Data\\App.ini", "C:\\Data", "App", "ini", "App.ini"},
      {u"C:\\App.ini", "C:", "App", "ini", "App.ini"},
      {u"C:\\Data\\", "C:\\Data", "", "", ""},
      {u"C:\\Data\\App.Data.ini", "C:\\Data", "App", "Data.ini", "App.Data.ini"},
      {u"C:\\Data\\General", "C:\\Data", "General", "General", "General"},
      {u"C:\\Data\\.ini", "C:\\Data", "", "ini", ".ini"},
      {u"\\\\Files\\Share\\App.ini", "\\\\Files\\Share", "App", "ini", "App.ini"},
      {u"\\App.ini", "", "App", "ini", "App.ini"},
      // Forward slashes are part of the name; the folder is the drive's.
      {u"C:/Data/App.ini", "C:", "/Data/App", "ini", "/Data/App.ini"},
  };
  for (const auto& c : cases) check(c);
}

TEST_F(SettingsPathParts, PathsWithoutBackslashTakeACurrentFolder) {
  const PathCase cases[] = {
      // D is not the current drive: its current folder is its root.
      {u"D:App.ini", "D:", "App", "ini", "App.ini"},
      // An unmapped drive has none: the process's current folder stands in.
      {u"Q:App.ini", "E:\\here", "App", "ini", "App.ini"},
      {u"App.ini", "E:\\here", "App", "ini", "App.ini"},
  };
  for (const auto& c : cases) check(c);
  // On the current drive, the drive's current folder is the process's.
  EXPECT_EQ(u8(s_->ExtractPath(u"E:App.ini")), "E:\\here");
  {
    ScopedCurrentFolder there(hostD("d_drive/sub"));
    EXPECT_EQ(u8(s_->ExtractPath(u"D:App.ini")), "D:\\sub");
  }
  {
    ScopedCurrentFolder there(driveC_.folder() + "/work");
    EXPECT_EQ(u8(s_->ExtractPath(u"C:/Data/App.ini")), "C:\\work");
  }
}

TEST_F(SettingsPathParts, EmptyPathStandsForFullPath) {
  s_->let_FullPath(u"C:\\Data\\App.Data.ini");
  EXPECT_EQ(u8(s_->ExtractPath(Text::empty())), "C:\\Data");
  EXPECT_EQ(u8(s_->ExtractName(Text::empty(), exnFullName)), "App");
  EXPECT_EQ(u8(s_->ExtractName(Text::empty(), exnOnlyExtn)), "Data.ini");
  EXPECT_EQ(u8(s_->ExtractName(Text(), 0)), "App.Data.ini");
  // Extracting changes nothing of the object.
  EXPECT_EQ(u8(s_->get_FullPath()), "C:\\Data\\App.Data.ini");
  EXPECT_EQ(u8(s_->get_FileExt()), "Data.ini");
}

// ---------------------------------------------------------------------------
// Exists

using SettingsExists = SettingsTest;

TEST_F(SettingsExists, FindsFilesButNeverFolders) {
  writeFile(hostD("App.ini"), "");
  writeFile(hostD("README"), "");
  std::filesystem::create_directories(hostD("Sub"));
  std::filesystem::create_directories(hostD("Folder.d"));
  const Ref<Settings> s = newSettings();

  // Without a dot any extension matches, and so does none.
  EXPECT_EQ(s->Exists(u"D:\\App"), kTrue);
  EXPECT_EQ(s->Exists(u"D:\\app"), kTrue);
  EXPECT_EQ(s->Exists(u"D:\\README"), kTrue);
  // With a dot the name must match exactly (without regard to case).
  EXPECT_EQ(s->Exists(u"D:\\App.ini"), kTrue);
  EXPECT_EQ(s->Exists(u"D:\\APP.INI"), kTrue);
  EXPECT_EQ(s->Exists(u"D:\\App.in"), kFalse);
  EXPECT_EQ(s->Exists(u"D:\\Ap.ini"), kFalse);
  EXPECT_EQ(s->Exists(u"D:\\Missing"), kFalse);
  // Folders are not files.
  EXPECT_EQ(s->Exists(u"D:\\Sub"), kFalse);
  EXPECT_EQ(s->Exists(u"D:\\Folder.d"), kFalse);

  const ObjectRef o(s);
  const Variant yes = lateCall(o, u"Exists", InvokeKind::Method, {Variant(u"D:\\App")});
  EXPECT_EQ(yes.type(), VarType::Integer);
  EXPECT_EQ(yes.toInt16(), -1);
  EXPECT_EQ(lateCall(o, u"Exists", InvokeKind::Method, {Variant(u"D:\\Sub")}).toInt16(), 0);
  // Exists needs no registered section.
  EXPECT_EQ(boxes_.count(), 0u);
}

TEST_F(SettingsExists, DirErrorsReachTheCaller) {
  ScopedEnv unmapped("ZIDEVUV10_DRIVE_Q", "");
  const Ref<Settings> s = newSettings();
  EXPECT_EQ(errorNumber([&] { s->Exists(u"Q:\\App"); }), err::kDeviceUnavailable);
  EXPECT_EQ(errorNumber([&] { s->Exists(u"Q:\\App.ini"); }), err::kDeviceUnavailable);
  const ObjectRef o(s);
  EXPECT_EQ(errorNumber([&] {
              lateCall(o, u"Exists", InvokeKind::Method, {Variant(u"Q:\\App")});
            }),
            err::kDeviceUnavailable);
}

// ---------------------------------------------------------------------------
// Member table

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    out.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

struct Slot {
  const char* kind;
  const char16_t* name;
  int32_t id;
};

const Slot kSlots[] = {
    {"propget", u"PrivPath", 0x68030006},       {"propput", u"UseWinINI", 0x68030005},
    {"propget", u"UseWinINI", 0x68030005},      {"propput", u"FullPath", 0x68030004},
    {"propget", u"FullPath", 0x68030004},       {"propput", u"SectionName", 0x68030003},
    {"propget", u"SectionName", 0x68030003},    {"propget", u"FilePath", 0x68030002},
    {"propget", u"FileExt", 0x68030001},        {"method", u"ExtractName", 0x60030009},
    {"method", u"ExtractPath", 0x6003000a},     {"method", u"DeleteStrEntry", 0x6003000b},
    {"method", u"DeleteNumEntry", 0x6003000c},  {"method", u"DeleteSection", 0x6003000d},
    {"method", u"Exists", 0x6003000e},          {"method", u"GetInt", 0x6003000f},
    {"method", u"GetSectEntries", 0x60030010},  {"method", u"GetSectEntriesEx", 0x60030011},
    {"method", u"GetSections", 0x60030012},     {"method", u"GetSectionsEx", 0x60030013},
    {"method", u"GetString", 0x60030014},       {"method", u"GetTF", 0x60030015},
    {"method", u"FlushCache", 0x60030016},      {"method", u"IniRead", 0x60030018},
    {"method", u"IniWrite", 0x6003001a},        {"method", u"PutInt", 0x6003001b},
    {"method", u"PutString", 0x6003001c},       {"method", u"PutTF", 0x6003001d},
    {"method", u"SectExist", 0x6003001e},       {"propget", u"FileName", 0x68030000},
};

TEST(SettingsMembers, TableListsTheThirtyMembersInSlotOrder) {
  const Ref<Settings> s = newSettings();
  const ClassInfo* info = s->classInfo();
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(Text(std::u16string(info->name)).utf8(), "clsOrviInifINIFilesObjC");
  EXPECT_EQ(Text(info->progId()).utf8(), "VEZEzoro10.clsOrviInifINIFilesObjC");
  EXPECT_EQ(Text(s->typeName()).utf8(), "clsOrviInifINIFilesObjC");

  const std::string listing = describeClass(*info);
  const auto got = lines(listing);
  ASSERT_EQ(got.size(), std::size(kSlots) + 1) << listing;
  EXPECT_EQ(got[0].rfind("interface _clsOrviInifINIFilesObjC {", 0), 0u) << got[0];
  for (std::size_t i = 0; i < std::size(kSlots); ++i) {
    char id[16];
    std::snprintf(id, sizeof id, "0x%08x", static_cast<unsigned>(kSlots[i].id));
    const std::string prefix = "  " + std::to_string(i + 1) + " " + kSlots[i].kind + " " +
                               Text(kSlots[i].name).utf8() + " " + id + " (";
    EXPECT_EQ(got[i + 1].rfind(prefix, 0), 0u) << got[i + 1] << "\nexpected start: " << prefix;
  }
  // The list members fill the caller's string array in place.
  EXPECT_NE(got[18].find("ByRef DataArry As String()"), std::string::npos) << got[18];
  EXPECT_NE(got[20].find("ByRef DataArry As String()"), std::string::npos) << got[20];
}

TEST(SettingsMembers, NamesFindTheirIdsWithoutRegardToCase) {
  const ObjectRef o(newSettings());
  for (const auto& slot : kSlots) {
    SCOPED_TRACE(Text(slot.name).utf8());
    EXPECT_EQ(o->dispatchId(slot.name), slot.id);
    std::u16string lower(slot.name);
    for (auto& c : lower) c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    EXPECT_EQ(o->dispatchId(lower), slot.id);
  }
  EXPECT_EQ(errorNumber([&] { o->dispatchId(u"Section"); }), err::kMemberNotSupported);
  // Read-only properties take no let.
  EXPECT_EQ(errorNumber([&] { lateLet(o, u"PrivPath", Variant(u"x")); }),
            err::kMemberNotSupported);
  EXPECT_EQ(errorNumber([&] { lateLet(o, u"FileName", Variant(u"x")); }),
            err::kMemberNotSupported);
}

TEST(SettingsMembers, LateBoundArgumentsAreCheckedAndCoerced) {
  TempDir dir;
  ScopedEnv driveD("ZIDEVUV10_DRIVE_D", dir.path());
  MessageRecorder boxes;
  const ObjectRef o(newSettings());
  lateLet(o, u"FullPath", Variant(u"D:\\App.ini"));
  // Numbers given as text are converted; a value too big for an Integer
  // is an overflow, text that is no number a type mismatch.
  lateCall(o, u"PutInt", InvokeKind::Method, {Variant(u"n"), Variant(u"12")});
  EXPECT_EQ(readFile(dir.file("App.ini")), "[General]\nn=12\n");
  EXPECT_EQ(errorNumber([&] {
              lateCall(o, u"PutInt", InvokeKind::Method, {Variant(u"n"), Variant(int32_t{40000})});
            }),
            err::kOverflow);
  EXPECT_EQ(errorNumber([&] {
              lateCall(o, u"GetInt", InvokeKind::Method, {Variant(u"n"), Variant(u"many")});
            }),
            err::kTypeMismatch);
  // The array members want a string array.
  auto variants = std::make_shared<SafeArray>(SafeArray::ElementType::Variant);
  EXPECT_EQ(errorNumber([&] {
              lateCall(o, u"GetSectionsEx", InvokeKind::Method, {Variant(variants)});
            }),
            err::kTypeMismatch);
  EXPECT_EQ(errorNumber([&] {
              lateCall(o, u"GetSectEntriesEx", InvokeKind::Method, {Variant(u"text")});
            }),
            err::kTypeMismatch);
  EXPECT_EQ(readFile(dir.file("App.ini")), "[General]\nn=12\n");
  EXPECT_EQ(boxes.count(), 0u);
}

}  // namespace
}  // namespace zidevuv10
