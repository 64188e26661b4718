// Bad input through the library's public interfaces as clients reach them,
// the C functions and the classes called late-bound (by member name):
// targets that are no profile file (a folder, a path holding a NUL, a path
// far beyond PATH_MAX), text that is no valid UTF-16, and calls that run
// out of memory (error 7, never an escaping exception). Each answer is
// checked, and the files afterwards byte for byte. (The store's own answers
// to these and to invalid UTF-8 are in store_bad_input_test.cpp.)
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "support/automation_checks.h"
#include "support/in_child.h"
#include "support/test_files.h"
#include "zidevuv10/addressed.h"
#include "zidevuv10/library.h"
#include "zidevuv10/profile.h"

namespace zidevuv10 {
namespace {

using testing::lateCall;
using testing::lateGet;
using testing::lateLet;
using testing::listFolder;
using testing::readFile;
using testing::writeFile;

const std::string kOriginal = "; kept\r\n[s]\r\nk=v\r\n";

Variant text(const std::u16string& s) { return Variant(Text(s)); }
Variant utf8(const std::string& s) { return Variant(Text::fromUtf8(s)); }

class InterfacesBadInput : public ::testing::Test {
 protected:
  void SetUp() override { writeFile(file_, kOriginal); }
  void TearDown() override {
    EXPECT_EQ(readFile(file_), kOriginal);
    EXPECT_EQ(boxes_.count(), 0);
  }

  // Reads and writes of `target` through the C functions (when it holds no
  // NUL, which they cannot pass), the addressed class and the main class;
  // `windowsTarget` names it for the settings class. Every read must give
  // the default, every write answer 0, and the folder stay as it was.
  void expectNothingReadOrWritten(const std::string& target, const std::u16string& windowsTarget) {
    const std::string before = listFolder(dir_.path());
    if (target.find('\0') == std::string::npos) {
      SCOPED_TRACE("C functions");
      const char* f = target.c_str();
      char buf[64];
      EXPECT_EQ(GetPrivateProfileStringA("s", "k", "dflt", buf, sizeof buf, f), 4u);
      EXPECT_STREQ(buf, "dflt");
      EXPECT_EQ(GetPrivateProfileIntA("s", "k", 7, f), 7u);
      EXPECT_EQ(GetPrivateProfileSectionNamesA(buf, sizeof buf, f), 0u);
      EXPECT_EQ(GetPrivateProfileSectionA("s", buf, sizeof buf, f), 0u);
      EXPECT_EQ(WritePrivateProfileStringA("s", "k", "w", f), 0);
      EXPECT_EQ(WritePrivateProfileStringA("s", "k", nullptr, f), 0);
      EXPECT_EQ(WritePrivateProfileStringA("s", nullptr, nullptr, f), 0);
      EXPECT_EQ(WritePrivateProfileSectionA("s", "a=1\0", f), 0);
    }
    {
      SCOPED_TRACE("addressed class");
      const ObjectRef o = createObject(u"VEZEzoro10.clsOrviInifINIFilesObjB");
      lateLet(o, u"Path", utf8(target));
      lateLet(o, u"Section", Variant(u"s"));
      lateLet(o, u"Key", Variant(u"k"));
      lateLet(o, u"Default", Variant(u"dflt"));
      EXPECT_EQ(lateGet(o, u"Value").text(), Text(u"dflt"));
      lateLet(o, u"Value", Variant(u"w"));
      EXPECT_EQ(lateGet(o, u"LastReturnCode").toInt32(), 0);
      EXPECT_EQ(lateGet(o, u"Success").toInt32(), 0);
      lateCall(o, u"DeleteKey", InvokeKind::Method);
      EXPECT_EQ(lateGet(o, u"LastReturnCode").toInt32(), 0);
      lateLet(o, u"INISection", Variant(u"a=1"));
      EXPECT_EQ(lateGet(o, u"LastReturnCode").toInt32(), 0);
      lateCall(o, u"DeleteSection", InvokeKind::Method);
      EXPECT_EQ(lateGet(o, u"LastReturnCode").toInt32(), 0);
    }
    {
      SCOPED_TRACE("main class");
      const ObjectRef o = createObject(u"VEZEzoro10.clsOrviVEZEzoro10A");
      const auto call = [&](std::u16string_view member, std::vector<Variant> args) {
        args.insert(args.begin(), utf8(target));
        return lateCall(o, member, InvokeKind::Method, std::move(args));
      };
      EXPECT_EQ(call(u"GetPrivateProfileStringInif", {Variant(u"s"), Variant(u"k")}).text(),
                Text::empty());
      EXPECT_EQ(call(u"WritePrivateProfileStringAddKeyInif",
                     {Variant(u"s"), Variant(u"k"), Variant(u"w")})
                    .toInt32(),
                0);
      EXPECT_EQ(call(u"WritePrivateProfileStringAddSectionInif", {Variant(u"n")}).toInt32(), 0);
      EXPECT_EQ(call(u"WritePrivateProfileStringToDeleteKeyInif", {Variant(u"s"), Variant(u"k")})
                    .toInt32(),
                0);
    }
    {
      SCOPED_TRACE("settings class");
      const ObjectRef o = createObject(u"VEZEzoro10.clsOrviInifINIFilesObjC");
      lateLet(o, u"FullPath", text(windowsTarget));
      lateLet(o, u"SectionName", Variant(u"s"));
      EXPECT_EQ(lateCall(o, u"PutString", InvokeKind::Method, {Variant(u"k"), Variant(u"w")})
                    .toInt32(),
                0);
      EXPECT_EQ(lateCall(o, u"GetString", InvokeKind::Method, {Variant(u"k"), Variant(u"dflt")})
                    .text(),
                Text(u"dflt"));
    }
    EXPECT_EQ(listFolder(dir_.path()), before);
  }

  testing::ScopedDriveC driveC_;
  testing::TempDir dir_;
  // The settings class takes Windows paths: drive D is the test's folder.
  testing::ScopedEnv driveD_{"ZIDEVUV10_DRIVE_D", dir_.path()};
  testing::MessageRecorder boxes_;
  std::string file_ = dir_.file("a.ini");
};

// ---------------------------------------------------------------------------
// Targets that are no profile file

TEST_F(InterfacesBadInput, OutOfMemoryInAMemberIsError7LateBoundAndTyped) {
  const ObjectRef o = createObject(u"VEZEzoro10.clsOrviInifINIFilesObjB");
  lateLet(o, u"Path", utf8(file_));
  lateLet(o, u"Section", Variant(u"s"));
  lateLet(o, u"Key", Variant(u"k"));
  const Ref<_clsOrviInifINIFilesObjB> typed = objectAs<_clsOrviInifINIFilesObjB>(o);
  // 16 MB values: the member's own copy of one cannot be made.
  std::vector<Variant> args{text(std::u16string(8 << 20, u'x'))};
  Text big(std::u16string(8 << 20, u'y'));
  // A read of a 24 MB file not read before: the store cannot load it, which
  // must not pass for a missing value.
  const std::string large = dir_.file("large.ini");
  const ObjectRef reader = createObject(u"VEZEzoro10.clsOrviInifINIFilesObjB");
  lateLet(reader, u"Path", utf8(large));
  lateLet(reader, u"Section", Variant(u"s"));
  lateLet(reader, u"Key", Variant(u"k"));
  testing::writeFile(large, "[s]\nk=" + std::string(24 << 20, 'z') + "\n");
  const auto skip = testing::runInChild([&] {
    testing::limitMemoryInChild(2 << 20);
    for (const auto& error :
         {testing::errorFrom([&] { o->invoke(o->dispatchId(u"Value"), InvokeKind::PropertyLet, args); }),
          testing::errorFrom([&] { typed->let_Value(big); }),
          testing::errorFrom([&] { lateGet(reader, u"Value"); })}) {
      ASSERT_TRUE(error.has_value()) << "no error raised";
      EXPECT_EQ(error->number(), 7);
      EXPECT_EQ(error->description().str(), u"Out of memory");
      EXPECT_EQ(error->source().str(), u"VEZEzoro10.clsOrviInifINIFilesObjB");
    }
    testing::liftMemoryLimitInChild();
    EXPECT_EQ(lateGet(o, u"Value").text().str(), u"v");
  });
  if (skip) GTEST_SKIP() << *skip;
}

TEST_F(InterfacesBadInput, FolderGivenAsTheFile) {
  const std::string folder = dir_.file("folder.ini");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  expectNothingReadOrWritten(folder, u"D:\\folder.ini");
  struct stat st {};
  ASSERT_EQ(::stat(folder.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(listFolder(folder), "");
}

TEST_F(InterfacesBadInput, PathHoldingANulNamesNoFile) {
  // The part before the NUL names an existing file, which must stay as it is.
  expectNothingReadOrWritten(file_ + std::string("\0.other", 7),
                             std::u16string(u"D:\\a.ini\0.other", 15));
}

TEST_F(InterfacesBadInput, PathOfFiveThousandCharacters) {
  const std::string name(5000, 'n');
  expectNothingReadOrWritten(dir_.path() + "/" + name + ".ini",
                             u"D:\\" + std::u16string(name.begin(), name.end()) + u".ini");
}

// ---------------------------------------------------------------------------
// Unpaired UTF-16 surrogates

// Texts with surrogates that pair with nothing: a lone high one, a lone
// low one, and a pair in the wrong order. Each unpaired surrogate reaches
// the store, which takes UTF-8, as U+FFFD.
struct BadText {
  const char* what;
  std::u16string text;
  std::string stored;  // UTF-8 as the store receives it
};

std::vector<BadText> badTexts() {
  return {
      {"lone high", u"x\xD800y", "x\xEF\xBF\xBDy"},
      {"lone low", u"x\xDFFFy", "x\xEF\xBF\xBDy"},
      {"reversed pair", u"x\xDC00\xD83Dy", "x\xEF\xBF\xBD\xEF\xBF\xBDy"},
      {"high at the end", u"xy\xDBFF", "xy\xEF\xBF\xBD"},
  };
}

TEST_F(InterfacesBadInput, UnpairedSurrogatesThroughTheAddressedClass) {
  // The write goes through with U+FFFD in place of each unpaired surrogate;
  // every other byte of the file stays, and the field afterwards holds the
  // text as it was stored, so the caller can see the change.
  const std::string other = dir_.file("b.ini");
  for (const BadText& bad : badTexts()) {
    SCOPED_TRACE(bad.what);
    const ObjectRef o = createObject(u"VEZEzoro10.clsOrviInifINIFilesObjB");
    lateLet(o, u"Path", utf8(other));

    writeFile(other, kOriginal);
    lateLet(o, u"Section", text(bad.text));
    lateLet(o, u"Key", Variant(u"k"));
    lateLet(o, u"Value", Variant(u"v2"));
    EXPECT_EQ(lateGet(o, u"LastReturnCode").toInt32(), 1);
    EXPECT_EQ(readFile(other), kOriginal + "[" + bad.stored + "]\r\nk=v2\r\n");
    EXPECT_EQ(lateGet(o, u"Section").text(), Text::fromUtf8(bad.stored));

    writeFile(other, kOriginal);
    lateLet(o, u"Section", Variant(u"s"));
    lateLet(o, u"Key", text(bad.text));
    lateLet(o, u"Value", Variant(u"v2"));
    EXPECT_EQ(lateGet(o, u"LastReturnCode").toInt32(), 1);
    EXPECT_EQ(readFile(other), kOriginal + bad.stored + "=v2\r\n");
    EXPECT_EQ(lateGet(o, u"Key").text(), Text::fromUtf8(bad.stored));

    writeFile(other, kOriginal);
    lateLet(o, u"Key", Variant(u"k"));
    lateLet(o, u"Value", text(bad.text));
    EXPECT_EQ(lateGet(o, u"LastReturnCode").toInt32(), 1);
    EXPECT_EQ(readFile(other), "; kept\r\n[s]\r\nk=" + bad.stored + "\r\n");
    EXPECT_EQ(lateGet(o, u"Value").text(), Text::fromUtf8(bad.stored));
  }
}

TEST_F(InterfacesBadInput, UnpairedSurrogatesThroughTheSettingsClass) {
  const std::string other = dir_.file("b.ini");
  for (const BadText& bad : badTexts()) {
    SCOPED_TRACE(bad.what);
    const ObjectRef o = createObject(u"VEZEzoro10.clsOrviInifINIFilesObjC");
    lateLet(o, u"FullPath", Variant(u"D:\\b.ini"));
    lateLet(o, u"SectionName", Variant(u"s"));

    writeFile(other, kOriginal);
    EXPECT_NE(lateCall(o, u"PutString", InvokeKind::Method, {text(bad.text), Variant(u"v2")})
                  .toInt32(),
              0);
    EXPECT_EQ(readFile(other), kOriginal + bad.stored + "=v2\r\n");

    writeFile(other, kOriginal);
    EXPECT_NE(lateCall(o, u"PutString", InvokeKind::Method, {Variant(u"k"), text(bad.text)})
                  .toInt32(),
              0);
    EXPECT_EQ(readFile(other), "; kept\r\n[s]\r\nk=" + bad.stored + "\r\n");
    EXPECT_EQ(lateCall(o, u"GetString", InvokeKind::Method, {Variant(u"k"), Variant(u"")}).text(),
              Text::fromUtf8(bad.stored));

    // A section name with one: the current section changes, the file's
    // [s] stays.
    writeFile(other, kOriginal);
    lateLet(o, u"SectionName", text(bad.text));
    EXPECT_NE(lateCall(o, u"PutString", InvokeKind::Method, {Variant(u"k"), Variant(u"v2")})
                  .toInt32(),
              0);
    EXPECT_EQ(readFile(other), kOriginal + "[" + bad.stored + "]\r\nk=v2\r\n");
  }
}

TEST_F(InterfacesBadInput, UnpairedSurrogateInTheFileNameLeavesTheNamedFileAlone) {
  // "a.ini" followed by a lone surrogate is another name: the write goes to
  // the file named with U+FFFD there, and the Path field says so.
  const ObjectRef o = createObject(u"VEZEzoro10.clsOrviInifINIFilesObjB");
  lateLet(o, u"Path", text(Text::fromUtf8(file_).str() + u"\xD800"));
  lateLet(o, u"Section", Variant(u"s"));
  lateLet(o, u"Key", Variant(u"k"));
  EXPECT_EQ(lateGet(o, u"Value").text(), Text::empty());
  lateLet(o, u"Value", Variant(u"w"));
  EXPECT_EQ(lateGet(o, u"LastReturnCode").toInt32(), 1);
  const std::string replaced = file_ + "\xEF\xBF\xBD";
  EXPECT_EQ(lateGet(o, u"Path").text(), Text::fromUtf8(replaced));
  EXPECT_EQ(readFile(replaced), "[s]\nk=w\n");
  EXPECT_EQ(listFolder(dir_.path()), "a.ini a.ini\xEF\xBF\xBD");
}

}  // namespace
}  // namespace zidevuv10
