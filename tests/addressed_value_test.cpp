// clsOrviInifINIFilesObjB, one entry addressed by its fields: Path, Section,
// Key and Default as plain text fields, Value reads and writes, the two
// deletions, LastReturnCode and Success after each of them, CLngDefault,
// and the member table that late-bound callers reach them through.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/automation_checks.h"
#include "support/test_files.h"
#include "zidevuv10/addressed.h"
#include "zidevuv10/library.h"
#include "zidevuv10/profile.h"
#include "zidevuv10/safe_array.h"
#include "zidevuv10/type_info.h"

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

// Text with embedded NULs, written as a UTF-8 literal with its length.
Text textOf(std::string_view utf8) { return Text::fromUtf8(utf8); }

void setPath(const Addressed& o, const std::string& path) {
  Text t = Text::fromUtf8(path);
  o->let_Path(t);
}
void setSection(const Addressed& o, Text t) { o->let_Section(t); }
void setKey(const Addressed& o, Text t) { o->let_Key(t); }
void setDefault(const Addressed& o, Text t) { o->let_Default(t); }
void writeValue(const Addressed& o, Text t) { o->let_Value(t); }

std::u16string u16(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// Every test works on files in its own folder; drive C is mapped away so
// nothing reaches the user's own files.
class AddressedValue : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = dir_.file("app.ini");
    o_ = newObject();
    setPath(o_, file_);
    setSection(o_, u"Main");
  }

  // Makes LastReturnCode 0 with a write the store refuses (a missing folder).
  void failAWrite() {
    setPath(o_, dir_.file("missing/app.ini"));
    setKey(o_, u"k");
    writeValue(o_, u"v");
    ASSERT_EQ(o_->get_LastReturnCode(), 0);
    setPath(o_, file_);
  }

  testing::ScopedDriveC driveC_;
  testing::TempDir dir_;
  std::string file_;
  Addressed o_;
};

// ---------------------------------------------------------------------------
// Fields

TEST_F(AddressedValue, FieldsStartUnsetAndKeepUnsetApartFromEmpty) {
  const Addressed o = newObject();
  EXPECT_TRUE(o->get_Path().isUnset());
  EXPECT_TRUE(o->get_Section().isUnset());
  EXPECT_TRUE(o->get_Key().isUnset());
  EXPECT_TRUE(o->get_Default().isUnset());
  EXPECT_EQ(o->get_LastReturnCode(), 0);
  EXPECT_EQ(o->get_Success(), kFalse);

  setKey(o, Text::empty());
  setDefault(o, Text::empty());
  EXPECT_FALSE(o->get_Key().isUnset());
  EXPECT_EQ(o->get_Key(), Text::empty());
  EXPECT_EQ(o->get_Default(), Text::empty());

  // Setting a field back to unset is possible, not a write of "".
  setKey(o, Text::unset());
  EXPECT_TRUE(o->get_Key().isUnset());
}

TEST_F(AddressedValue, FieldsComeBackAsGivenAfterStoreCalls) {
  // The store trims names and the default; the fields themselves keep
  // their blanks across reads and writes.
  testing::writeFile(file_, "[Main]\r\nk=stored\r\n");
  setSection(o_, u"  Main  ");
  setKey(o_, u" k ");
  setDefault(o_, u" d  ");
  EXPECT_EQ(o_->get_Value().str(), u"stored");
  writeValue(o_, u"again");
  o_->DeleteKey();
  (void)o_->get_INISection();
  (void)o_->get_Sections();
  EXPECT_EQ(o_->get_Section().str(), u"  Main  ");
  EXPECT_EQ(o_->get_Key().str(), u" k ");
  EXPECT_EQ(o_->get_Default().str(), u" d  ");
  EXPECT_EQ(o_->get_Path(), Text::fromUtf8(file_));
}

TEST_F(AddressedValue, LateBoundFieldsReadAndWriteTheSameText) {
  const ObjectRef o(o_);
  lateLet(o, u"Key", Variant(u"name"));
  lateLet(o, u"Default", Variant(u"dflt"));
  EXPECT_EQ(o_->get_Key().str(), u"name");
  EXPECT_EQ(lateGet(o, u"Key").text().str(), u"name");
  EXPECT_EQ(lateGet(o, u"Default").text().str(), u"dflt");
  EXPECT_EQ(lateGet(o, u"Section").text().str(), u"Main");
  EXPECT_EQ(lateGet(o, u"Path").text(), Text::fromUtf8(file_));
  // A number given to a text field arrives as its text.
  lateLet(o, u"Key", Variant(12));
  EXPECT_EQ(o_->get_Key().str(), u"12");
  // An unset field reads back unset through the late-bound path too.
  setDefault(o_, Text::unset());
  const Variant d = lateGet(o, u"Default");
  EXPECT_EQ(d.type(), VarType::String);
  EXPECT_TRUE(d.text().isUnset());
}

// ---------------------------------------------------------------------------
// Value get

TEST_F(AddressedValue, ValueReadsTheEntryOrTheDefault) {
  testing::writeFile(file_, "[Main]\r\nk=one\r\nempty=\r\n[Other]\r\nk=two\r\n");
  setKey(o_, u"k");
  EXPECT_EQ(o_->get_Value().str(), u"one");
  setSection(o_, u"Other");
  EXPECT_EQ(o_->get_Value().str(), u"two");

  setSection(o_, u"Main");
  setKey(o_, u"absent");
  EXPECT_EQ(o_->get_Value(), Text::empty()) << "no Default: empty text, not unset";
  setDefault(o_, Text::empty());
  EXPECT_EQ(o_->get_Value(), Text::empty());
  setDefault(o_, u"fallback");
  EXPECT_EQ(o_->get_Value().str(), u"fallback");
  // An entry with an empty value exists: its value, not the Default.
  setKey(o_, u"empty");
  EXPECT_EQ(o_->get_Value(), Text::empty());

  // A missing file reads like a missing entry.
  setPath(o_, dir_.file("none.ini"));
  setKey(o_, u"k");
  EXPECT_EQ(o_->get_Value().str(), u"fallback");
  EXPECT_FALSE(testing::fileExists(dir_.file("none.ini")));
}

TEST_F(AddressedValue, ValueLongerThanTheBufferIsCut) {
  std::string value;
  for (int i = 0; i < 300; ++i) value.push_back(static_cast<char>('a' + i % 26));
  testing::writeFile(file_, "[Main]\r\nlong=" + value + "\r\nfit=" + value.substr(0, 254) + "\r\n");
  setKey(o_, u"long");
  EXPECT_EQ(o_->get_Value().str(), u16(value.substr(0, 254)));
  setKey(o_, u"fit");
  EXPECT_EQ(o_->get_Value().str(), u16(value.substr(0, 254)));
  // The Default goes through the same buffer.
  setKey(o_, u"absent");
  setDefault(o_, Text(u16(value)));
  EXPECT_EQ(o_->get_Value().str(), u16(value.substr(0, 254)));
}

TEST_F(AddressedValue, ValueWithoutKeyListsKeysAndWithoutSectionListsSections) {
  testing::writeFile(file_, "[Main]\r\nb=1\r\na=2\r\n; note\r\nb=3\r\n[Second]\r\nx=1\r\n");
  EXPECT_TRUE(o_->get_Key().isUnset());
  EXPECT_EQ(o_->get_Value().str(), std::u16string(u"b\0a\0b\0", 6));

  setSection(o_, Text::unset());
  setKey(o_, u"b");  // ignored without a section
  EXPECT_EQ(o_->get_Value().str(), std::u16string(u"Main\0Second\0", 12));
}

TEST_F(AddressedValue, KeyListLongerThanTheBufferIsCut) {
  // 40 names of 9 characters: 400 bytes with their NULs, more than 255.
  std::string file = "[Main]\r\n";
  std::u16string list;
  for (int i = 0; i < 40; ++i) {
    const std::string name = "key_" + std::to_string(10000 + i);
    file += name + "=v\r\n";
    list += u16(name) + u'\0';
  }
  testing::writeFile(file_, file);
  const std::u16string got = o_->get_Value().str();
  // The answer fills the buffer less its two closing NULs; the last name is
  // cut and has no NUL after it.
  EXPECT_EQ(got, list.substr(0, 253));
  EXPECT_NE(got.back(), u'\0');
}

// ---------------------------------------------------------------------------
// Value let

TEST_F(AddressedValue, ValueLetWritesAndReportsSuccess) {
  setKey(o_, u"k");
  writeValue(o_, u"first");
  EXPECT_EQ(o_->get_LastReturnCode(), 1);
  EXPECT_EQ(o_->get_Success(), kTrue);
  writeValue(o_, u"second");
  EXPECT_EQ(entriesOf(file_, "Main"), (std::vector<std::string>{"k=second"}));
  EXPECT_EQ(o_->get_Value().str(), u"second");
  // Non-ASCII text survives the round trip.
  writeValue(o_, u"Gr\u00fc\u00dfe \u65e5\u672c");
  EXPECT_EQ(o_->get_Value().str(), u"Gr\u00fc\u00dfe \u65e5\u672c");
}

TEST_F(AddressedValue, ValueLetRemovesNulsFromTheCallersVariable) {
  setKey(o_, u"k");
  Text v = textOf(std::string_view("a\0b\0", 4));
  o_->let_Value(v);
  EXPECT_EQ(v.str(), u"ab");
  EXPECT_EQ(o_->get_LastReturnCode(), 1);
  EXPECT_EQ(entriesOf(file_, "Main"), (std::vector<std::string>{"k=ab"}));

  Text leading = textOf(std::string_view("\0\0x\0y", 5));
  o_->let_Value(leading);
  EXPECT_EQ(leading.str(), u"xy");
  EXPECT_EQ(entriesOf(file_, "Main"), (std::vector<std::string>{"k=xy"}));
}

TEST_F(AddressedValue, LateBoundValueLetChangesAVariablePassedByReference) {
  const ObjectRef o(o_);
  setKey(o_, u"k");
  Variant var(textOf(std::string_view("p\0q\0r", 5)));
  lateLet(o, u"Value", Variant::byRef(var));
  EXPECT_EQ(var.type(), VarType::String);
  EXPECT_EQ(var.text().str(), u"pqr");
  EXPECT_EQ(lateGet(o, u"Value").text().str(), u"pqr");
  EXPECT_EQ(lateGet(o, u"LastReturnCode").int32(), 1);
  const Variant success = lateGet(o, u"Success");
  EXPECT_EQ(success.type(), VarType::Boolean);
  EXPECT_EQ(success.toBool(), kTrue);

  // By value: the same write, the caller's variable untouched.
  std::vector<Variant> args{Variant(textOf(std::string_view("s\0t", 3)))};
  o->invoke(o->dispatchId(u"Value"), InvokeKind::PropertyLet, std::span<Variant>(args));
  EXPECT_EQ(args[0].text().size(), 3u);
  EXPECT_EQ(o_->get_Value().str(), u"st");
}

TEST_F(AddressedValue, NulAtPosition32767OrLaterOverflows) {
  setKey(o_, u"k");
  // A NUL as the 32766th character is still removed.
  std::u16string below(32765, u'x');
  below.push_back(u'\0');
  Text ok(below);
  o_->let_Value(ok);
  EXPECT_EQ(ok.str(), std::u16string(32765, u'x'));
  EXPECT_EQ(o_->get_LastReturnCode(), 1);
  EXPECT_EQ(entriesOf(file_, "Main"), (std::vector<std::string>{"k=" + std::string(32765, 'x')}));

  // As the 32767th it overflows: error 6, no write, LastReturnCode kept.
  const std::string before = testing::readFile(file_);
  std::u16string at(32766, u'y');
  at.push_back(u'\0');
  Text bad(at);
  EXPECT_EQ(errorNumber([&] { o_->let_Value(bad); }), 6);
  EXPECT_EQ(testing::readFile(file_), before);
  EXPECT_EQ(o_->get_LastReturnCode(), 1);

  // Also when earlier NULs were removed first, and late-bound; a
  // LastReturnCode of 0 stays 0.
  failAWrite();
  std::u16string late = u"a";
  late.push_back(u'\0');
  late += std::u16string(40000, u'z');
  late.push_back(u'\0');
  EXPECT_EQ(errorNumber([&] { lateLet(ObjectRef(o_), u"Value", Variant(Text(late))); }), 6);
  EXPECT_EQ(testing::readFile(file_), before);
  EXPECT_EQ(o_->get_LastReturnCode(), 0);
}

TEST_F(AddressedValue, EmptyTextKeepsTheKeyAndUnsetTextRemovesIt) {
  testing::writeFile(file_, "[Main]\r\nk=old\r\nother=1\r\n");
  setKey(o_, u"k");
  setDefault(o_, u"dflt");
  writeValue(o_, Text::empty());
  EXPECT_EQ(o_->get_LastReturnCode(), 1);
  EXPECT_EQ(entriesOf(file_, "Main"), (std::vector<std::string>{"k=", "other=1"}));
  EXPECT_EQ(o_->get_Value(), Text::empty());

  writeValue(o_, Text::unset());
  EXPECT_EQ(o_->get_LastReturnCode(), 1);
  EXPECT_EQ(entriesOf(file_, "Main"), (std::vector<std::string>{"other=1"}));
  EXPECT_EQ(o_->get_Value().str(), u"dflt");
}

TEST_F(AddressedValue, FailedWriteLeavesZeroUntilTheNextWrite) {
  setKey(o_, u"k");
  writeValue(o_, u"v");
  ASSERT_EQ(o_->get_LastReturnCode(), 1);

  setPath(o_, dir_.file("missing/app.ini"));
  writeValue(o_, u"v");
  EXPECT_EQ(o_->get_LastReturnCode(), 0);
  EXPECT_EQ(o_->get_Success(), kFalse);
  EXPECT_FALSE(testing::fileExists(dir_.file("missing")));
  // Reads do not report success.
  (void)o_->get_Value();
  setPath(o_, file_);
  EXPECT_EQ(o_->get_Value().str(), u"v");
  EXPECT_EQ(o_->get_Success(), kFalse);
  EXPECT_EQ(o_->get_LastReturnCode(), 0);
  // The next write that succeeds does.
  writeValue(o_, u"w");
  EXPECT_EQ(o_->get_Success(), kTrue);
}

// ---------------------------------------------------------------------------
// DeleteKey and DeleteSection

TEST_F(AddressedValue, DeleteKeyRemovesOnlyThatKey) {
  testing::writeFile(file_, "[Main]\r\na=1\r\nb=2\r\n[Other]\r\na=3\r\n");
  setKey(o_, u"a");
  o_->DeleteKey();
  EXPECT_EQ(o_->get_LastReturnCode(), 1);
  EXPECT_EQ(entriesOf(file_, "Main"), (std::vector<std::string>{"b=2"}));
  EXPECT_EQ(entriesOf(file_, "Other"), (std::vector<std::string>{"a=3"}));
  EXPECT_EQ(o_->get_Key().str(), u"a");
}

TEST_F(AddressedValue, DeletingWhatIsNotThereSucceedsAndChangesNoFileThatExists) {
  const std::string content = "[Main]\r\n; keep\r\na=1\r\n";
  testing::writeFile(file_, content);
  failAWrite();
  setKey(o_, u"absent");
  o_->DeleteKey();
  EXPECT_NE(o_->get_LastReturnCode(), 0);
  EXPECT_EQ(testing::readFile(file_), content);

  failAWrite();
  setSection(o_, u"Nowhere");
  o_->DeleteSection();
  EXPECT_NE(o_->get_LastReturnCode(), 0);
  EXPECT_EQ(testing::readFile(file_), content);

  // A missing file is left behind empty, as Windows' own delete does.
  setPath(o_, dir_.file("new.ini"));
  o_->DeleteKey();
  EXPECT_NE(o_->get_LastReturnCode(), 0);
  ASSERT_TRUE(testing::fileExists(dir_.file("new.ini")));
  EXPECT_EQ(testing::readFile(dir_.file("new.ini")), "");
}

TEST_F(AddressedValue, DeleteSectionRemovesTheSectionWithItsKeys) {
  testing::writeFile(file_, "[Main]\r\na=1\r\nb=2\r\n[Other]\r\nc=3\r\n");
  setKey(o_, u"a");  // the key plays no part
  o_->DeleteSection();
  EXPECT_EQ(o_->get_LastReturnCode(), 1);
  EXPECT_TRUE(entriesOf(file_, "Main").empty());
  EXPECT_EQ(o_->get_Sections().str(), std::u16string(u"Other\0", 6));
  EXPECT_EQ(entriesOf(file_, "Other"), (std::vector<std::string>{"c=3"}));
}

// ---------------------------------------------------------------------------
// LastReturnCode is kept by everything but the writes

TEST_F(AddressedValue, ReadsFieldLetsAndConversionsKeepLastReturnCode) {
  testing::writeFile(file_, "[Main]\r\nk=1\r\n");
  for (const bool failed : {false, true}) {
    SCOPED_TRACE(failed ? "after a failed write" : "after a successful write");
    if (failed) {
      failAWrite();
    } else {
      setKey(o_, u"k");
      writeValue(o_, u"1");
    }
    const int32_t expected = failed ? 0 : 1;
    ASSERT_EQ(o_->get_LastReturnCode(), expected);

    setKey(o_, u"k");
    (void)o_->get_Value();
    setKey(o_, u"absent");
    (void)o_->get_Value();
    (void)o_->get_INISection();
    (void)o_->get_Sections();
    (void)o_->get_Path();
    (void)o_->get_Section();
    (void)o_->get_Key();
    (void)o_->get_Default();
    (void)o_->get_Success();
    setDefault(o_, u"d");
    setPath(o_, file_);
    setSection(o_, u"Main");
    setKey(o_, u"k");
    SafeArray names(SafeArray::ElementType::String);
    int32_t count = 0;
    o_->EnumerateCurrentSection(names, count);
    o_->EnumerateAllSections(names, count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(o_->CLngDefault(u"12", 0), 12);
    EXPECT_EQ(o_->CLngDefault(u"x", 0), 0);
    EXPECT_EQ(o_->get_LastReturnCode(), expected);
  }
}

// ---------------------------------------------------------------------------
// CLngDefault

TEST_F(AddressedValue, CLngDefaultConvertsOrFallsBack) {
  EXPECT_EQ(o_->CLngDefault(u"12", 0), 12);
  EXPECT_EQ(o_->CLngDefault(u" 42 ", 0), 42);
  EXPECT_EQ(o_->CLngDefault(u"-7", 0), -7);
  EXPECT_EQ(o_->CLngDefault(u"abc", 7), 7);
  EXPECT_EQ(o_->CLngDefault(u"12x", 7), 7);
  EXPECT_EQ(o_->CLngDefault(u"", 5), 5);
  EXPECT_EQ(o_->CLngDefault(Text::unset(), 9), 9);
  // Fractions round half to even.
  EXPECT_EQ(o_->CLngDefault(u"2.5", 0), 2);
  EXPECT_EQ(o_->CLngDefault(u"3.5", 0), 4);
  EXPECT_EQ(o_->CLngDefault(u"-2.5", 0), -2);
  EXPECT_EQ(o_->CLngDefault(u"2.6", 0), 3);
  // Out of the Long range: the default, no overflow error.
  EXPECT_EQ(o_->CLngDefault(u"99999999999", 3), 3);
  EXPECT_EQ(o_->CLngDefault(u"-99999999999", -3), -3);
  EXPECT_EQ(o_->CLngDefault(u"2147483647", 0), 2147483647);
  EXPECT_EQ(o_->CLngDefault(u"2147483648", 1), 1);
}

TEST_F(AddressedValue, LateBoundCLngDefaultTakesZeroWhenTheDefaultIsOmitted) {
  const ObjectRef o(o_);
  EXPECT_EQ(lateCall(o, u"CLngDefault", InvokeKind::Method, {Variant(u"abc")}).int32(), 0);
  EXPECT_EQ(lateCall(o, u"CLngDefault", InvokeKind::Method, {Variant(u"12")}).int32(), 12);
  EXPECT_EQ(
      lateCall(o, u"CLngDefault", InvokeKind::Method, {Variant(u"abc"), Variant::missing()}).int32(),
      0);
  const Variant r = lateCall(o, u"CLngDefault", InvokeKind::Method, {Variant(u"abc"), Variant(7)});
  EXPECT_EQ(r.type(), VarType::Long);
  EXPECT_EQ(r.int32(), 7);
  EXPECT_EQ(lateCall(o, u"CLngDefault", InvokeKind::Method, {Variant(u"99999999999"), Variant(4)})
                .int32(),
            4);
  EXPECT_EQ(errorNumber([&] { lateCall(o, u"CLngDefault", InvokeKind::Method, {}); }), 450);
}

// ---------------------------------------------------------------------------
// Member table

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

TEST_F(AddressedValue, MemberTableListsTheMembersInSlotOrder) {
  const ClassInfo* info = o_->classInfo();
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->name, u"clsOrviInifINIFilesObjB");
  EXPECT_EQ(info->progId(), u"VEZEzoro10.clsOrviInifINIFilesObjB");
  EXPECT_EQ(o_->typeName(), u"clsOrviInifINIFilesObjB");

  struct Slot {
    const char* kind;
    const char* name;
    const char* id;
  };
  const std::vector<Slot> expected{
      {"propget", "LastReturnCode", "0x68030008"}, {"propget", "Success", "0x68030007"},
      {"propput", "Default", "0x68030006"},        {"propget", "Default", "0x68030006"},
      {"propput", "Path", "0x68030005"},           {"propget", "Path", "0x68030005"},
      {"propput", "Key", "0x68030004"},            {"propget", "Key", "0x68030004"},
      {"propput", "Section", "0x68030003"},        {"propget", "Section", "0x68030003"},
      {"propget", "Value", "0x68030002"},          {"propput", "Value", "0x68030002"},
      {"method", "DeleteKey", "0x6003000a"},       {"method", "DeleteSection", "0x6003000b"},
      {"propget", "INISection", "0x68030001"},     {"propput", "INISection", "0x68030001"},
      {"propget", "Sections", "0x68030000"},       {"method", "EnumerateCurrentSection", "0x6003000c"},
      {"method", "EnumerateAllSections", "0x6003000d"}, {"method", "SaveFormPosition", "0x6003000e"},
      {"method", "LoadFormPosition", "0x6003000f"},     {"method", "CLngDefault", "0x60030010"},
  };
  const std::string listing = describeClass(*info);
  const auto got = lines(listing);
  ASSERT_EQ(got.size(), expected.size() + 1) << listing;
  EXPECT_EQ(got[0].rfind("interface _clsOrviInifINIFilesObjB {", 0), 0u) << got[0];
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const std::string prefix = "  " + std::to_string(i + 1) + " " + expected[i].kind + " " +
                               expected[i].name + " " + expected[i].id + " (";
    EXPECT_EQ(got[i + 1].rfind(prefix, 0), 0u) << got[i + 1] << "\nexpected start: " << prefix;
  }
  // The parameter forms callers depend on: new texts and arrays by
  // reference, the minimum sizes and the default optional.
  EXPECT_EQ(got[12], "  12 propput Value 0x68030002 (ByRef sNewValue As String)");
  EXPECT_EQ(got[16], "  16 propput INISection 0x68030001 (ByRef sNewValue As String)");
  EXPECT_EQ(got[1], "  1 propget LastReturnCode 0x68030008 () As Long");
  EXPECT_EQ(got[2], "  2 propget Success 0x68030007 () As Boolean");
  EXPECT_EQ(got[17], "  17 propget Sections 0x68030000 () As String");
  EXPECT_EQ(got[18],
            "  18 method EnumerateCurrentSection 0x6003000c (ByRef sKey As String(), ByRef iCount As "
            "Long)");
  EXPECT_EQ(got[19],
            "  19 method EnumerateAllSections 0x6003000d (ByRef sSections As String(), ByRef iCount "
            "As Long)");
  EXPECT_NE(got[21].find("Optional ByRef lMinWidth As Variant"), std::string::npos) << got[21];
  EXPECT_NE(got[21].find("Optional ByRef lMinHeight As Variant"), std::string::npos) << got[21];
  EXPECT_EQ(got[22],
            "  22 method CLngDefault 0x60030010 (ByVal sString As String, Optional ByVal lDefault As "
            "Long = 0) As Long");
}

TEST_F(AddressedValue, NamesFindTheirIdsWithoutRegardToCase) {
  const ObjectRef o(o_);
  EXPECT_EQ(o->dispatchId(u"value"), 0x68030002);
  EXPECT_EQ(o->dispatchId(u"LASTRETURNCODE"), 0x68030008);
  EXPECT_EQ(o->dispatchId(u"clngdefault"), 0x60030010);
  EXPECT_EQ(o->dispatchId(u"Sections"), 0x68030000);
  EXPECT_EQ(errorNumber([&] { o->dispatchId(u"Values"); }), 438);
  // Read-only members have no let.
  EXPECT_EQ(errorNumber([&] { lateLet(o, u"LastReturnCode", Variant(1)); }), 438);
  EXPECT_EQ(errorNumber([&] { lateLet(o, u"Success", Variant(1)); }), 438);
  EXPECT_EQ(errorNumber([&] { lateLet(o, u"Sections", Variant(u"x")); }), 438);
  EXPECT_EQ(o_->get_LastReturnCode(), 0);
}

TEST_F(AddressedValue, LateBoundWritesAndDeletionsGoThroughTheSameFields) {
  const ObjectRef o(o_);
  lateLet(o, u"Key", Variant(u"a"));
  lateLet(o, u"Value", Variant(u"1"));
  lateLet(o, u"Key", Variant(u"b"));
  lateLet(o, u"Value", Variant(u"2"));
  EXPECT_EQ(entriesOf(file_, "Main"), (std::vector<std::string>{"a=1", "b=2"}));
  lateCall(o, u"DeleteKey", InvokeKind::Method);
  EXPECT_EQ(entriesOf(file_, "Main"), (std::vector<std::string>{"a=1"}));
  EXPECT_EQ(lateGet(o, u"LastReturnCode").int32(), 1);
  lateCall(o, u"DeleteSection", InvokeKind::Method);
  EXPECT_TRUE(entriesOf(file_, "Main").empty());
  EXPECT_EQ(lateGet(o, u"Sections").text(), Text::empty());
  EXPECT_EQ(errorNumber([&] { lateCall(o, u"DeleteKey", InvokeKind::Method, {Variant(1)}); }), 450);
}

}  // namespace
}  // namespace zidevuv10
