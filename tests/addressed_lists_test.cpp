// clsOrviInifINIFilesObjB name lists: INISection and Sections as NUL-ended
// name lists read through an 8192-byte buffer, their enumeration into
// 1-based string arrays (dynamic and fixed-size, typed and late-bound), and
// INISection let replacing the entries of the current section.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "support/automation_checks.h"
#include "support/test_files.h"
#include "zidevuv10/addressed.h"
#include "zidevuv10/library.h"
#include "zidevuv10/profile.h"
#include "zidevuv10/safe_array.h"

namespace zidevuv10 {
namespace {

using testing::entriesOf;
using testing::errorNumber;
using testing::lateCall;
using testing::lateGet;
using testing::lateLet;
using Addressed = Ref<_clsOrviInifINIFilesObjB>;

Addressed newObject() {
  return objectAs<_clsOrviInifINIFilesObjB>(createObject(u"VEZEzoro10.clsOrviInifINIFilesObjB"));
}

void setPath(const Addressed& o, const std::string& path) {
  Text t = Text::fromUtf8(path);
  o->let_Path(t);
}
void setSection(const Addressed& o, Text t) { o->let_Section(t); }
void setKey(const Addressed& o, Text t) { o->let_Key(t); }
void setDefault(const Addressed& o, Text t) { o->let_Default(t); }

std::u16string u16(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// The names an array holds, elements 1..upper bound, as UTF-8.
std::vector<std::string> namesIn(const SafeArray& a) {
  std::vector<std::string> out;
  EXPECT_EQ(a.lowerBound(), 1);
  for (int32_t i = a.lowerBound(); i <= a.upperBound(); ++i) out.push_back(a.at(i).text().utf8());
  return out;
}

class AddressedLists : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = dir_.file("lists.ini");
    o_ = newObject();
    setPath(o_, file_);
    setSection(o_, u"Main");
  }

  // A file with `count` sections named "section_NNNNNNN" (15 characters),
  // each holding one key; returns the full name list, each name followed by
  // a NUL. 8190 is no multiple of 16, so a cut list ends inside a name.
  std::u16string writeManySections(int count) {
    std::string content;
    std::u16string list;
    for (int i = 0; i < count; ++i) {
      const std::string name = "section_" + std::to_string(1000000 + i);
      content += "[" + name + "]\r\nk=v\r\n";
      list += u16(name) + u'\0';
    }
    testing::writeFile(file_, content);
    return list;
  }

  // The same for keys of the section Main ("key_number_NNNNN", 16 characters;
  // 8190 is no multiple of 17).
  std::u16string writeManyKeys(int count) {
    std::string content = "[Main]\r\n";
    std::u16string list;
    for (int i = 0; i < count; ++i) {
      const std::string name = "key_number_" + std::to_string(10000 + i);
      content += name + "=v\r\n";
      list += u16(name) + u'\0';
    }
    testing::writeFile(file_, content);
    return list;
  }

  testing::ScopedDriveC driveC_;
  testing::TempDir dir_;
  std::string file_;
  Addressed o_;
};

// ---------------------------------------------------------------------------
// INISection get and Sections get

TEST_F(AddressedLists, ListsNameTheKeysAndTheSectionsInFileOrder) {
  testing::writeFile(file_,
                     "[Main]\r\nzeta=1\r\n; comment\r\nalpha=2\r\nzeta=3\r\n"
                     "[Empty]\r\n[Other]\r\nx=1\r\n");
  EXPECT_EQ(o_->get_INISection().str(), std::u16string(u"zeta\0alpha\0zeta\0", 16));
  EXPECT_EQ(o_->get_Sections().str(), std::u16string(u"Main\0Empty\0Other\0", 17));
  // The Key field plays no part in the key list.
  setKey(o_, u"alpha");
  EXPECT_EQ(o_->get_INISection().str(), std::u16string(u"zeta\0alpha\0zeta\0", 16));
  EXPECT_EQ(o_->get_Key().str(), u"alpha");

  setSection(o_, u"Other");
  EXPECT_EQ(lateGet(ObjectRef(o_), u"INISection").text().str(), std::u16string(u"x\0", 2));
  EXPECT_EQ(lateGet(ObjectRef(o_), u"Sections").text().str(),
            std::u16string(u"Main\0Empty\0Other\0", 17));
}

TEST_F(AddressedLists, AnEmptyOrMissingSectionGivesTheDefaultText) {
  testing::writeFile(file_, "[Empty]\r\n");
  EXPECT_EQ(o_->get_INISection(), Text::empty());
  setSection(o_, u"Empty");
  EXPECT_EQ(o_->get_INISection(), Text::empty());
  setDefault(o_, u"nothing");
  EXPECT_EQ(o_->get_INISection().str(), u"nothing");
  // A missing file has no sections.
  setPath(o_, dir_.file("none.ini"));
  EXPECT_EQ(o_->get_Sections(), Text::empty());
}

TEST_F(AddressedLists, SectionListLongerThanTheBufferIsCutWithoutClosingNul) {
  // 700 names of 16 bytes with their NULs: 11200 bytes.
  const std::u16string full = writeManySections(700);
  const std::u16string got = o_->get_Sections().str();
  ASSERT_EQ(got.size(), 8190u);
  EXPECT_EQ(got, full.substr(0, 8190));
  EXPECT_NE(got.back(), u'\0') << "the cut last name has no NUL after it";
}

TEST_F(AddressedLists, KeyListLongerThanTheBufferIsCutWithoutClosingNul) {
  // 600 names of 17 bytes with their NULs: 10200 bytes.
  const std::u16string full = writeManyKeys(600);
  const std::u16string got = o_->get_INISection().str();
  ASSERT_EQ(got.size(), 8190u);
  EXPECT_EQ(got, full.substr(0, 8190));
  EXPECT_NE(got.back(), u'\0');
}

TEST_F(AddressedLists, ListsFitUpToTheBuffer) {
  // 500 names of 16 bytes with their NULs: 8000 bytes, read whole.
  const std::u16string full = writeManySections(500);
  EXPECT_EQ(o_->get_Sections().str(), full);
}

// ---------------------------------------------------------------------------
// Enumeration into a dynamic array

TEST_F(AddressedLists, EnumerationFillsElementsOneToCountInOrder) {
  testing::writeFile(file_, "[Main]\r\nb=1\r\na=2\r\nb=3\r\n[Second]\r\n[Main]\r\nc=4\r\n");
  SafeArray keys(SafeArray::ElementType::String);
  int32_t count = 99;  // the incoming count is ignored
  o_->EnumerateCurrentSection(keys, count);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(keys.dimensions(), 1);
  EXPECT_EQ(keys.upperBound(), 3);
  EXPECT_EQ(namesIn(keys), (std::vector<std::string>{"b", "a", "b"}));

  SafeArray sections(SafeArray::ElementType::String);
  count = -5;
  o_->EnumerateAllSections(sections, count);
  EXPECT_EQ(count, 3);
  // Duplicates stay: the store lists a repeated section header twice.
  EXPECT_EQ(namesIn(sections), (std::vector<std::string>{"Main", "Second", "Main"}));
  EXPECT_EQ(sections.at(1).type(), VarType::String);
}

TEST_F(AddressedLists, EnumerationReplacesWhatTheArrayHeld) {
  testing::writeFile(file_, "[Main]\r\nonly=1\r\n");
  SafeArray keys(SafeArray::ElementType::String);
  keys.redim({{0, 9}}, false);
  for (int32_t i = 0; i <= 9; ++i) keys.at(i) = Variant(u"old");
  int32_t count = 10;
  o_->EnumerateCurrentSection(keys, count);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(keys.lowerBound(), 1);
  EXPECT_EQ(keys.upperBound(), 1);
  EXPECT_EQ(keys.at(1).text().str(), u"only");

  // A two-dimensional array becomes a one-dimensional list.
  SafeArray grid(SafeArray::ElementType::String);
  grid.redim({{0, 2}, {0, 2}}, false);
  o_->EnumerateAllSections(grid, count);
  EXPECT_EQ(grid.dimensions(), 1);
  EXPECT_EQ(namesIn(grid), (std::vector<std::string>{"Main"}));
}

TEST_F(AddressedLists, NoNamesLeaveAnArrayWithoutBoundsAndCountZero) {
  testing::writeFile(file_, "[Main]\r\n; only a comment\r\n");
  SafeArray keys(SafeArray::ElementType::String);
  keys.redim({{1, 3}}, false);
  int32_t count = 7;
  o_->EnumerateCurrentSection(keys, count);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(keys.dimensions(), 0);
  EXPECT_EQ(errorNumber([&] { (void)keys.lowerBound(); }), 9);
  EXPECT_EQ(errorNumber([&] { (void)keys.upperBound(); }), 9);

  // A missing file has no sections either.
  setPath(o_, dir_.file("none.ini"));
  SafeArray sections(SafeArray::ElementType::String);
  sections.redim({{1, 2}}, false);
  count = 7;
  o_->EnumerateAllSections(sections, count);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(errorNumber([&] { (void)sections.upperBound(); }), 9);
}

TEST_F(AddressedLists, DefaultTextWithoutNulIsNoName) {
  // A missing section answers with the Default; without a NUL it is the
  // unfinished tail of a list and names nothing.
  testing::writeFile(file_, "[Other]\r\nx=1\r\n");
  setDefault(o_, u"fallback");
  SafeArray keys(SafeArray::ElementType::String);
  int32_t count = 3;
  o_->EnumerateCurrentSection(keys, count);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(keys.dimensions(), 0);
}

TEST_F(AddressedLists, EmptyPiecesAndTheTextAfterTheLastNulAreSkipped) {
  // The Default reaches the list as given, NULs included.
  setDefault(o_, Text::fromUtf8(std::string_view("\0first\0\0second\0tail", 19)));
  SafeArray keys(SafeArray::ElementType::String);
  int32_t count = 0;
  o_->EnumerateCurrentSection(keys, count);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(namesIn(keys), (std::vector<std::string>{"first", "second"}));
}

TEST_F(AddressedLists, ACutLastNameIsNotEnumerated) {
  const std::u16string full = writeManySections(700);
  const std::u16string kept = full.substr(0, 8190);
  const auto complete = static_cast<int32_t>(std::count(kept.begin(), kept.end(), u'\0'));
  SafeArray sections(SafeArray::ElementType::String);
  int32_t count = 0;
  o_->EnumerateAllSections(sections, count);
  EXPECT_EQ(count, complete);
  ASSERT_EQ(sections.upperBound(), complete);
  EXPECT_EQ(sections.at(1).text().str(), u"section_1000000");
  EXPECT_EQ(sections.at(complete).text().str(), u"section_" + u16(std::to_string(1000000 + complete - 1)));

  const std::u16string keyList = writeManyKeys(600);
  const std::u16string keyKept = keyList.substr(0, 8190);
  const auto keyComplete = static_cast<int32_t>(std::count(keyKept.begin(), keyKept.end(), u'\0'));
  SafeArray keys(SafeArray::ElementType::String);
  o_->EnumerateCurrentSection(keys, count);
  EXPECT_EQ(count, keyComplete);
  EXPECT_EQ(keys.upperBound(), keyComplete);
  EXPECT_EQ(keys.at(keyComplete).text().str(),
            u"key_number_" + u16(std::to_string(10000 + keyComplete - 1)));
}

// ---------------------------------------------------------------------------
// Enumeration into a fixed-size array

TEST_F(AddressedLists, FixedArrayIsEmptiedThenRefusesTheFirstResize) {
  testing::writeFile(file_, "[Main]\r\na=1\r\nb=2\r\n");
  SafeArray keys(SafeArray::ElementType::String, {{1, 3}});
  for (int32_t i = 1; i <= 3; ++i) keys.at(i) = Variant(u"old");
  int32_t count = 42;
  EXPECT_EQ(errorNumber([&] { o_->EnumerateCurrentSection(keys, count); }), 10);
  EXPECT_EQ(count, 1) << "the count is raised before the resize fails";
  EXPECT_EQ(keys.lowerBound(), 1);
  EXPECT_EQ(keys.upperBound(), 3);
  for (int32_t i = 1; i <= 3; ++i) EXPECT_EQ(keys.at(i).text().str(), u"") << i;

  SafeArray sections(SafeArray::ElementType::String, {{0, 1}});
  sections.at(0) = Variant(u"old");
  count = 0;
  EXPECT_EQ(errorNumber([&] { o_->EnumerateAllSections(sections, count); }), 10);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(sections.lowerBound(), 0);
  EXPECT_EQ(sections.at(0).text().str(), u"");
}

TEST_F(AddressedLists, FixedArrayWithoutNamesIsOnlyEmptied) {
  testing::writeFile(file_, "[Main]\r\n");
  SafeArray keys(SafeArray::ElementType::String, {{1, 2}});
  keys.at(1) = Variant(u"old");
  keys.at(2) = Variant(u"older");
  int32_t count = 5;
  o_->EnumerateCurrentSection(keys, count);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(keys.upperBound(), 2);
  EXPECT_EQ(keys.at(1).text().str(), u"");
  EXPECT_EQ(keys.at(2).text().str(), u"");
}

// ---------------------------------------------------------------------------
// Late-bound enumeration

TEST_F(AddressedLists, LateBoundEnumerationFillsTheCallersArrayAndCount) {
  testing::writeFile(file_, "[Main]\r\nk1=1\r\nk2=2\r\n[Next]\r\n");
  const ObjectRef o(o_);
  Variant array = std::make_shared<SafeArray>(SafeArray::ElementType::String);
  Variant count(17);
  lateCall(o, u"EnumerateCurrentSection", InvokeKind::Method,
           {Variant::byRef(array), Variant::byRef(count)});
  EXPECT_EQ(count.type(), VarType::Long);
  EXPECT_EQ(count.int32(), 2);
  ASSERT_EQ(array.type(), VarType::Array);
  EXPECT_EQ(namesIn(*array.toArray()), (std::vector<std::string>{"k1", "k2"}));

  lateCall(o, u"EnumerateAllSections", InvokeKind::Method,
           {Variant::byRef(array), Variant::byRef(count)});
  EXPECT_EQ(count.int32(), 2);
  EXPECT_EQ(namesIn(*array.toArray()), (std::vector<std::string>{"Main", "Next"}));

  // No names: the caller's array loses its bounds.
  setSection(o_, u"Next");
  lateCall(o, u"EnumerateCurrentSection", InvokeKind::Method,
           {Variant::byRef(array), Variant::byRef(count)});
  EXPECT_EQ(count.int32(), 0);
  EXPECT_EQ(errorNumber([&] { (void)array.toArray()->upperBound(); }), 9);
}

TEST_F(AddressedLists, LateBoundFixedArrayFailsWithTen) {
  testing::writeFile(file_, "[Main]\r\na=1\r\n");
  const auto fixed = std::make_shared<SafeArray>(SafeArray::ElementType::String,
                                                 std::vector<ArrayBound>{{1, 2}});
  fixed->at(1) = Variant(u"old");
  Variant array = fixed;
  Variant count(0);
  EXPECT_EQ(errorNumber([&] {
              lateCall(ObjectRef(o_), u"EnumerateCurrentSection", InvokeKind::Method,
                       {Variant::byRef(array), Variant::byRef(count)});
            }),
            10);
  EXPECT_EQ(fixed->upperBound(), 2);
  EXPECT_EQ(fixed->at(1).text().str(), u"");
  // The count is the caller's variable: raised before the failed resize.
  EXPECT_EQ(count.toInt32(), 1);
}

TEST_F(AddressedLists, LateBoundEnumerationWantsAStringArray) {
  testing::writeFile(file_, "[Main]\r\na=1\r\n");
  const ObjectRef o(o_);
  Variant count(0);
  for (Variant notArray : {Variant(u"text"), Variant(3)}) {
    EXPECT_EQ(errorNumber([&] {
                lateCall(o, u"EnumerateAllSections", InvokeKind::Method,
                         {Variant::byRef(notArray), Variant::byRef(count)});
              }),
              13);
    EXPECT_EQ(errorNumber([&] {
                lateCall(o, u"EnumerateCurrentSection", InvokeKind::Method,
                         {Variant::byRef(notArray), Variant::byRef(count)});
              }),
              13);
  }
  EXPECT_EQ(count.int32(), 0);
  // A variable holding nothing, or an array of Variants, is what a
  // scripting caller passes: it becomes an array of strings and is filled.
  Variant empty;
  lateCall(o, u"EnumerateAllSections", InvokeKind::Method, {Variant::byRef(empty), Variant::byRef(count)});
  ASSERT_EQ(empty.type(), VarType::Array);
  EXPECT_EQ(empty.toArray()->elementType(), SafeArray::ElementType::String);
  EXPECT_EQ(count.int32(), 1);
  EXPECT_EQ(empty.toArray()->at(1).toText().str(), u"Main");
  Variant variants = std::make_shared<SafeArray>(SafeArray::ElementType::Variant);
  lateCall(o, u"EnumerateAllSections", InvokeKind::Method, {Variant::byRef(variants), Variant::byRef(count)});
  EXPECT_EQ(variants.toArray()->elementType(), SafeArray::ElementType::String);
  EXPECT_EQ(variants.toArray()->at(1).toText().str(), u"Main");
}

// ---------------------------------------------------------------------------
// INISection let

TEST_F(AddressedLists, SectionLetReplacesTheEntriesAndKeepsComments) {
  const std::string tail = "[Other]\r\nc=3\r\n";
  testing::writeFile(file_, "[Main]\r\n; note\r\na=1\r\nb=2\r\n" + tail);
  Text entries(u"x=9\r\ny=8\nz=7");
  o_->let_INISection(entries);
  EXPECT_EQ(o_->get_LastReturnCode(), 1);
  EXPECT_EQ(entries.str(), u"x=9\r\ny=8\nz=7") << "the caller's text stays as it was";
  EXPECT_EQ(entriesOf(file_, "Main"), (std::vector<std::string>{"x=9", "y=8", "z=7"}));
  EXPECT_EQ(entriesOf(file_, "Other"), (std::vector<std::string>{"c=3"}));
  const std::string content = testing::readFile(file_);
  EXPECT_NE(content.find("; note"), std::string::npos) << content;
  EXPECT_EQ(content.find("a=1"), std::string::npos) << content;

  // NUL separators work the same; empty items are skipped.
  Text withNuls = Text::fromUtf8(std::string_view("p=1\0\0q=2\0", 9));
  o_->let_INISection(withNuls);
  EXPECT_EQ(entriesOf(file_, "Main"), (std::vector<std::string>{"p=1", "q=2"}));
  EXPECT_EQ(withNuls.size(), 9u);
  setKey(o_, u"q");
  EXPECT_EQ(o_->get_Value().str(), u"2");
}

TEST_F(AddressedLists, SectionLetCreatesTheSectionAndFileWhenMissing) {
  Text entries(u"first=1\r\nsecond=2\r\n");
  o_->let_INISection(entries);
  EXPECT_EQ(o_->get_LastReturnCode(), 1);
  EXPECT_EQ(entriesOf(file_, "Main"), (std::vector<std::string>{"first=1", "second=2"}));
  EXPECT_EQ(o_->get_INISection().str(), std::u16string(u"first\0second\0", 13));
}

TEST_F(AddressedLists, SectionLetReportsTheWriteResult) {
  Text entries(u"a=1");
  o_->let_INISection(entries);
  ASSERT_EQ(o_->get_LastReturnCode(), 1);
  setPath(o_, dir_.file("missing/lists.ini"));
  o_->let_INISection(entries);
  EXPECT_EQ(o_->get_LastReturnCode(), 0);
  EXPECT_EQ(o_->get_Success(), kFalse);
  EXPECT_FALSE(testing::fileExists(dir_.file("missing")));
}

TEST_F(AddressedLists, LateBoundSectionLetKeepsTheCallersVariable) {
  testing::writeFile(file_, "[Main]\r\nold=1\r\n");
  const ObjectRef o(o_);
  Variant var(u"n1=a\r\nn2=b");
  lateLet(o, u"INISection", Variant::byRef(var));
  EXPECT_EQ(var.text().str(), u"n1=a\r\nn2=b");
  EXPECT_EQ(lateGet(o, u"LastReturnCode").int32(), 1);
  EXPECT_EQ(entriesOf(file_, "Main"), (std::vector<std::string>{"n1=a", "n2=b"}));
  EXPECT_EQ(lateGet(o, u"INISection").text().str(), std::u16string(u"n1\0n2\0", 6));
}

}  // namespace
}  // namespace zidevuv10
