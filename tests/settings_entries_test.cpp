// Typed reads and writes of entries in the settings object's current
// section: integers read as signed 16-bit values, strings cut to the
// object's buffer, true/false words, the written forms of numbers and
// Booleans, and the deletions (an entry, its value, the whole section),
// directly and late-bound, in a private file and in WIN.INI.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/automation_checks.h"
#include "support/test_files.h"
#include "zidevuv10/host.h"
#include "zidevuv10/library.h"
#include "zidevuv10/settings.h"

namespace zidevuv10 {
namespace {

using testing::errorNumber;
using testing::MessageRecorder;
using testing::fileExists;
using testing::lateCall;
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

// An object on D:\App.ini, section General (registered by choosing the
// file), drive D being a temporary folder.
class SettingsEntries : public ::testing::Test {
 protected:
  std::string file() const { return readFile(dir_.file("App.ini")); }
  void write(std::string_view content) { writeFile(dir_.file("App.ini"), content); }

  void TearDown() override {
    // None of these calls is refused.
    EXPECT_EQ(boxes_.count(), 0u);
  }

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
// GetInt

TEST_F(SettingsEntries, GetIntReadsTheStoredNumberAsSigned) {
  write("[General]\nneg=-7\nmax=32767\nmin=-32768\nbig=32768\nwide=70000\n[Other]\nneg=3\n");
  EXPECT_EQ(s_->GetInt(u"neg", 0), -7);
  EXPECT_EQ(s_->GetInt(u"max", 0), 32767);
  EXPECT_EQ(s_->GetInt(u"min", 0), -32768);
  // A missing entry gives the default, negative ones included.
  EXPECT_EQ(s_->GetInt(u"missing", -3), -3);
  EXPECT_EQ(s_->GetInt(u"missing", 32767), 32767);
  // Numbers beyond an Integer overflow rather than wrap.
  EXPECT_EQ(errorNumber([&] { s_->GetInt(u"big", 0); }), err::kOverflow);
  EXPECT_EQ(errorNumber([&] { s_->GetInt(u"wide", 0); }), err::kOverflow);

  // The current section is the one read.
  s_->let_SectionName(u"Other");
  EXPECT_EQ(s_->GetInt(u"neg", 0), 3);

  s_->let_SectionName(u"General");
  const Variant v = lateCall(o_, u"GetInt", InvokeKind::Method, {Variant(u"neg"), i16(0)});
  EXPECT_EQ(v.type(), VarType::Integer);
  EXPECT_EQ(v.toInt16(), -7);
  EXPECT_EQ(lateCall(o_, u"GetInt", InvokeKind::Method, {Variant(u"missing"), i16(-3)}).toInt16(),
            -3);
  EXPECT_EQ(errorNumber([&] {
              lateCall(o_, u"GetInt", InvokeKind::Method, {Variant(u"big"), i16(0)});
            }),
            err::kOverflow);
}

// ---------------------------------------------------------------------------
// GetString

TEST_F(SettingsEntries, GetStringTellsPresentEmptyFromMissing) {
  write("[General]\nempty=\nvalue=text\n");
  EXPECT_EQ(u8(s_->GetString(u"value", u"fallback")), "text");
  // Present but empty is empty, not the default.
  const Text empty = s_->GetString(u"empty", u"fallback");
  EXPECT_FALSE(empty.isUnset());
  EXPECT_EQ(u8(empty), "");
  EXPECT_EQ(u8(s_->GetString(u"missing", u"fallback")), "fallback");

  const Variant v =
      lateCall(o_, u"GetString", InvokeKind::Method, {Variant(u"empty"), Variant(u"fallback")});
  EXPECT_EQ(v.type(), VarType::String);
  EXPECT_EQ(u8(v.toText()), "");
  EXPECT_EQ(u8(lateCall(o_, u"GetString", InvokeKind::Method,
                        {Variant(u"missing"), Variant(u"fallback")})
                   .toText()),
            "fallback");
}

TEST_F(SettingsEntries, GetStringReturnsAtMost254Characters) {
  std::string longValue;
  for (int i = 0; i < 300; ++i) longValue.push_back(static_cast<char>('a' + i % 26));
  write("[General]\nlong=" + longValue + "\nexact=" + longValue.substr(0, 254) + "\n");
  EXPECT_EQ(u8(s_->GetString(u"long", u"")), longValue.substr(0, 254));
  EXPECT_EQ(u8(s_->GetString(u"exact", u"")), longValue.substr(0, 254));
  // A long default is cut the same way.
  EXPECT_EQ(u8(s_->GetString(u"missing", Text::fromUtf8(longValue))), longValue.substr(0, 254));
}

// ---------------------------------------------------------------------------
// GetTF

TEST_F(SettingsEntries, GetTFKnowsTheTrueWords) {
  write(
      "[General]\n"
      "a=YES\nb=yes\nc=Y\nd=y\ne=TRUE\nf=True\ng=T\nh=t\ni=ON\nj=on\nk=1\nl=-1\n"
      "m=\"  ON  \"\nn='  yes '\n");
  for (const char16_t* name : {u"a", u"b", u"c", u"d", u"e", u"f", u"g", u"h", u"i", u"j", u"k",
                               u"l", u"m", u"n"}) {
    SCOPED_TRACE(Text(name).utf8());
    EXPECT_EQ(s_->GetTF(name, 0), kTrue);
    const Variant v = lateCall(o_, u"GetTF", InvokeKind::Method, {Variant(name), i16(0)});
    EXPECT_EQ(v.type(), VarType::Boolean);
    EXPECT_EQ(v.toBool(), kTrue);
  }
}

TEST_F(SettingsEntries, GetTFIsFalseForEverythingElse) {
  write(
      "[General]\n"
      "a=NO\nb=no\nc=2\nd=0\ne=False\nf=yess\ng=ONE\nh=+1\ni=yes please\nj=\nk=\"\"\n");
  for (const char16_t* name : {u"a", u"b", u"c", u"d", u"e", u"f", u"g", u"h", u"i", u"j", u"k"}) {
    SCOPED_TRACE(Text(name).utf8());
    // A present value wins over a true default, even an empty one.
    EXPECT_EQ(s_->GetTF(name, -1), kFalse);
    EXPECT_EQ(lateCall(o_, u"GetTF", InvokeKind::Method, {Variant(name), i16(-1)}).toBool(),
              kFalse);
  }
}

TEST_F(SettingsEntries, GetTFFallsBackToTheDefaultWhenMissing) {
  write("[General]\nother=1\n");
  EXPECT_EQ(s_->GetTF(u"missing", -1), kTrue);
  EXPECT_EQ(s_->GetTF(u"missing", 5), kTrue);
  EXPECT_EQ(s_->GetTF(u"missing", 1), kTrue);
  EXPECT_EQ(s_->GetTF(u"missing", 0), kFalse);
  // Reading writes nothing.
  EXPECT_EQ(file(), "[General]\nother=1\n");
}

// ---------------------------------------------------------------------------
// PutInt, PutString, PutTF

TEST_F(SettingsEntries, PutWritesNumbersAndBooleanWords) {
  EXPECT_NE(s_->PutInt(u"neg", -7), 0);
  EXPECT_NE(s_->PutInt(u"min", -32768), 0);
  s_->PutTF(u"five", 5);
  s_->PutTF(u"minus", -1);
  s_->PutTF(u"zero", 0);
  EXPECT_EQ(file(), "[General]\nneg=-7\nmin=-32768\nfive=True\nminus=True\nzero=False\n");
  // What was written reads back.
  EXPECT_EQ(s_->GetInt(u"neg", 0), -7);
  EXPECT_EQ(s_->GetTF(u"five", 0), kTrue);
  EXPECT_EQ(s_->GetTF(u"zero", -1), kFalse);

  // Late-bound, a Boolean argument arrives as -1 or 0.
  lateCall(o_, u"PutTF", InvokeKind::Method, {Variant(u"late"), Variant::boolean(true)});
  lateCall(o_, u"PutTF", InvokeKind::Method, {Variant(u"later"), Variant::boolean(false)});
  lateCall(o_, u"PutInt", InvokeKind::Method, {Variant(u"neg"), i16(12)});
  lateCall(o_, u"PutString", InvokeKind::Method, {Variant(u"text"), Variant(u"a b")});
  EXPECT_EQ(file(),
            "[General]\nneg=12\nmin=-32768\nfive=True\nminus=True\nzero=False\nlate=True\n"
            "later=False\ntext=a b\n");
}

TEST_F(SettingsEntries, PutStringWithUnsetTextDeletes) {
  write("[General]\na=1\nb=2\n[Other]\nc=3\n");
  // An unset value removes the entry.
  s_->PutString(u"a", Text());
  EXPECT_EQ(file(), "[General]\nb=2\n[Other]\nc=3\n");
  // An empty one keeps it, empty.
  s_->PutString(u"b", Text::empty());
  EXPECT_EQ(file(), "[General]\nb=\n[Other]\nc=3\n");
  // An unset name removes the whole current section.
  s_->PutString(Text(), u"v");
  EXPECT_EQ(file(), "[Other]\nc=3\n");
  EXPECT_EQ(u8(s_->GetString(u"b", u"gone")), "gone");
}

// ---------------------------------------------------------------------------
// Deletions

TEST_F(SettingsEntries, DeleteStrEntryLeavesTheNameWithAnEmptyValue) {
  write("[General]\nSize=12\n[Other]\nSize=3\n");
  s_->DeleteStrEntry(u"Size");
  EXPECT_EQ(file(), "[General]\nSize=\n[Other]\nSize=3\n");
  // A missing entry is created empty.
  s_->DeleteStrEntry(u"Width");
  EXPECT_EQ(file(), "[General]\nSize=\nWidth=\n[Other]\nSize=3\n");
  EXPECT_EQ(u8(s_->GetString(u"Width", u"fallback")), "");

  lateCall(o_, u"DeleteStrEntry", InvokeKind::Method, {Variant(u"Height")});
  EXPECT_EQ(file(), "[General]\nSize=\nWidth=\nHeight=\n[Other]\nSize=3\n");
}

TEST_F(SettingsEntries, DeleteNumEntryRemovesTheEntryFromThePrivateFile) {
  write("[General]\nCount=12\nKeep=1\n");
  s_->DeleteNumEntry(u"Count");
  EXPECT_EQ(file(), "[General]\nKeep=1\n");
  EXPECT_EQ(s_->GetInt(u"Count", -1), -1);
  lateCall(o_, u"DeleteNumEntry", InvokeKind::Method, {Variant(u"Keep")});
  EXPECT_EQ(s_->GetInt(u"Keep", -1), -1);
}

TEST_F(SettingsEntries, DeleteNumEntryKeepsAZeroInWinIni) {
  ScopedDriveC driveC;
  const std::string winIni = driveC.windowsDir() + "/WIN.INI";
  s_->let_UseWinINI(kTrue);
  EXPECT_NE(s_->PutInt(u"Count", 12), 0);
  EXPECT_EQ(readFile(winIni), "[General]\nCount=12\n");
  s_->DeleteNumEntry(u"Count");
  EXPECT_EQ(readFile(winIni), "[General]\nCount=0\n");
  EXPECT_EQ(s_->GetInt(u"Count", -1), 0);
  // The private file was never touched.
  EXPECT_FALSE(fileExists(dir_.file("App.ini")));
}

TEST_F(SettingsEntries, DeleteSectionEmptiesItAndForgetsItsName) {
  write("[General]\na=1\nb=2\n[Other]\nc=3\n");
  s_->DeleteSection();
  // The entries are gone (the header may stay), the other section stays.
  const std::string after = file();
  EXPECT_EQ(after.find("a=1"), std::string::npos) << after;
  EXPECT_EQ(after.find("b=2"), std::string::npos) << after;
  EXPECT_NE(after.find("[Other]\nc=3\n"), std::string::npos) << after;
  EXPECT_TRUE(after == "[General]\n[Other]\nc=3\n" || after == "[Other]\nc=3\n") << after;

  // No section is current any more: the next typed read is refused.
  EXPECT_EQ(u8(s_->get_SectionName()), "");
  EXPECT_EQ(s_->GetInt(u"c", 5), 0);
  const auto shown = boxes_.take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].prompt, "[Section] and FileName Not Registered in Private.Ini!");

  // Naming the section again shows it empty.
  s_->let_SectionName(u"General");
  EXPECT_EQ(s_->GetInt(u"a", 5), 5);
  s_->let_SectionName(u"Other");
  lateCall(o_, u"DeleteSection", InvokeKind::Method);
  EXPECT_EQ(u8(s_->get_SectionName()), "");
  s_->let_SectionName(u"Other");
  EXPECT_EQ(s_->GetInt(u"c", 5), 5);
}

TEST_F(SettingsEntries, FlushCacheAddsNothing) {
  const std::string content = "[General]\r\n; note\r\na = 1\r\n\r\n[Other]\r\nb=2";
  write(content);
  EXPECT_EQ(s_->GetInt(u"a", 0), 1);
  s_->FlushCache();
  EXPECT_EQ(file(), content);
  lateCall(o_, u"FlushCache", InvokeKind::Method);
  EXPECT_EQ(file(), content);
}

}  // namespace
}  // namespace zidevuv10
