// The main class's current entry: the four fields (file, section, key,
// value) and the four commands that act on them, directly and late-bound.
// The fields hold exactly what was let, unset included; the commands write
// through the profile wrappers without ever changing the fields; a command
// that would turn an unset key or value into a wider deletion does nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/automation_checks.h"
#include "support/test_files.h"
#include "zidevuv10/collection.h"
#include "zidevuv10/library.h"
#include "zidevuv10/main_class.h"

namespace zidevuv10 {
namespace {

using testing::fileExists;
using testing::lateCall;
using testing::lateGet;
using testing::lateLet;
using testing::readFile;
using testing::ScopedDriveC;
using testing::TempDir;
using testing::writeFile;

using Main = _clsOrviVEZEzoro10A;

Ref<Main> newMain() {
  return objectAs<Main>(createObject(u"VEZEzoro10.clsOrviVEZEzoro10A"));
}

// One field through the typed interface.
struct Field {
  const char16_t* name;
  Text (Main::*get)();
  void (Main::*let)(const Text&);
};

const Field kFields[] = {
    {u"INIFileName", &Main::get_INIFileName, &Main::let_INIFileName},
    {u"INISectionName", &Main::get_INISectionName, &Main::let_INISectionName},
    {u"INIKeyName", &Main::get_INIKeyName, &Main::let_INIKeyName},
    {u"INIKeyValue", &Main::get_INIKeyValue, &Main::let_INIKeyValue},
};

std::string utf8(const char16_t* s) { return Text(s).utf8(); }

std::vector<std::u16string> keyNames(Main& m, const std::string& file, const char16_t* section) {
  Text f = Text::fromUtf8(file);
  Text s = section;
  const Ref<Collection> list = m.GetPrivateProfileStringKeysInif(f, s);
  std::vector<std::u16string> out;
  for (const Variant& v : *list) out.push_back(v.toText().str());
  return out;
}

class CurrentEntry : public ::testing::Test {
 protected:
  std::string path(std::string_view name = "entry.ini") const { return dir_.file(name); }
  // Sets all four fields.
  void entry(const std::string& file, Text section, Text key, Text value) {
    main_->let_INIFileName(Text::fromUtf8(file));
    main_->let_INISectionName(section);
    main_->let_INIKeyName(key);
    main_->let_INIKeyValue(value);
  }
  void expectFields(const std::string& file, const Text& section, const Text& key,
                    const Text& value) {
    EXPECT_EQ(main_->get_INIFileName(), Text::fromUtf8(file));
    EXPECT_EQ(main_->get_INISectionName(), section);
    EXPECT_EQ(main_->get_INIKeyName(), key);
    EXPECT_EQ(main_->get_INIKeyValue(), value);
  }

  TempDir dir_;
  Ref<Main> main_ = newMain();
};

class mainEntryFields : public CurrentEntry {};
class mainEntryCommands : public CurrentEntry {};
class mainEntryLateBound : public CurrentEntry {};

// ---------------------------------------------------------------------------
// Fields

TEST_F(mainEntryFields, StartUnset) {
  for (const Field& f : kFields) {
    SCOPED_TRACE(utf8(f.name));
    EXPECT_TRUE(((*main_).*f.get)().isUnset());
    const Variant late = lateGet(main_, f.name);
    EXPECT_EQ(late.type(), VarType::String);
    EXPECT_TRUE(late.text().isUnset());
  }
}

TEST_F(mainEntryFields, HoldExactlyWhatIsLet) {
  // Text that would not survive UTF-8 is kept as given: the fields are not
  // the store's.
  const std::vector<Text> values{Text(u"abc"), Text::empty(), Text(u" padded  "),
                                 Text(u"x\xD800y"), Text(std::u16string(u"a\0b", 3)), Text()};
  for (const Field& f : kFields) {
    SCOPED_TRACE(utf8(f.name));
    for (std::size_t i = 0; i < values.size(); ++i) {
      SCOPED_TRACE(i);
      ((*main_).*f.let)(values[i]);
      const Text got = ((*main_).*f.get)();
      EXPECT_EQ(got.isUnset(), values[i].isUnset());
      EXPECT_EQ(got, values[i]);
    }
  }
}

TEST_F(mainEntryFields, EachFieldIsItsOwn) {
  main_->let_INIFileName(u"file");
  main_->let_INISectionName(u"section");
  main_->let_INIKeyName(u"key");
  main_->let_INIKeyValue(u"value");
  expectFields("file", u"section", u"key", u"value");
  main_->let_INIKeyName(Text());
  expectFields("file", u"section", Text(), u"value");
}

TEST_F(mainEntryFields, TwoObjectsKeepSeparateFields) {
  const Ref<Main> other = newMain();
  ASSERT_NE(other.get(), main_.get());
  main_->let_INIFileName(u"one.ini");
  main_->let_INISectionName(u"One");
  main_->let_INIKeyName(u"k1");
  main_->let_INIKeyValue(u"v1");
  for (const Field& f : kFields) {
    SCOPED_TRACE(utf8(f.name));
    EXPECT_TRUE(((*other).*f.get)().isUnset());
  }
  other->let_INISectionName(u"Two");
  other->let_INIKeyValue(Text::empty());
  EXPECT_EQ(main_->get_INISectionName(), Text(u"One"));
  EXPECT_EQ(main_->get_INIKeyValue(), Text(u"v1"));
  EXPECT_EQ(other->get_INISectionName(), Text(u"Two"));
  EXPECT_EQ(other->get_INIKeyValue(), Text::empty());

  // Commands act on their own object's entry only.
  other->let_INIFileName(Text::fromUtf8(path("two.ini")));
  main_->let_INIFileName(Text::fromUtf8(path("one.ini")));
  EXPECT_NE(other->INIAddSection(), 0);
  EXPECT_EQ(readFile(path("two.ini")), "[Two]\n0=0\n");
  EXPECT_FALSE(fileExists(path("one.ini")));
}

// ---------------------------------------------------------------------------
// Commands

TEST_F(mainEntryCommands, AddSectionAddsThePlaceholder) {
  entry(path(), u"S", Text(), Text());
  EXPECT_NE(main_->INIAddSection(), 0);
  EXPECT_EQ(readFile(path()), "[S]\n0=0\n");
  // Already there: nothing is written, and the answer is 1.
  EXPECT_EQ(main_->INIAddSection(), 1);
  EXPECT_EQ(readFile(path()), "[S]\n0=0\n");
  expectFields(path(), u"S", Text(), Text());
}

TEST_F(mainEntryCommands, AddKeyWritesAndLeavesTheFieldsAlone) {
  writeFile(path(), "[S]\n0=0\n");
  entry(path(), u"S", u"K", u"V");
  EXPECT_NE(main_->INIAddKey(), 0);
  EXPECT_EQ(readFile(path()), "[S]\n0=0\nK=V\n");
  expectFields(path(), u"S", u"K", u"V");

  // The wrapper gives back what the store saw (here with U+FFFD for the
  // unpaired surrogates); the fields still hold what was let.
  const Text section(u"T\xD800");
  const Text key(u"k\xDC00");
  const Text value(u"  v\xD800  ");
  entry(path(), section, key, value);
  EXPECT_NE(main_->INIAddKey(), 0);
  EXPECT_EQ(readFile(path()), "[S]\n0=0\nK=V\n[T\xEF\xBF\xBD]\nk\xEF\xBF\xBD=v\xEF\xBF\xBD\n");
  expectFields(path(), section, key, value);
}

TEST_F(mainEntryCommands, DeleteKeyRemovesTheKey) {
  writeFile(path(), "[S]\n0=0\nK=V\nL=W\n[T]\nK=1\n");
  entry(path(), u"S", u"K", Text());
  EXPECT_NE(main_->INIDeleteKey(), 0);
  EXPECT_EQ(readFile(path()), "[S]\n0=0\nL=W\n[T]\nK=1\n");
  expectFields(path(), u"S", u"K", Text());
}

TEST_F(mainEntryCommands, DeleteSectionRemovesTheSection) {
  writeFile(path(), "[S]\n0=0\nK=V\n[T]\nK=1\n");
  entry(path(), u"S", u"K", u"V");
  EXPECT_NE(main_->INIDeleteSection(), 0);
  EXPECT_EQ(readFile(path()), "[T]\nK=1\n");
  EXPECT_TRUE(keyNames(*main_, path(), u"S").empty());
  expectFields(path(), u"S", u"K", u"V");
}

TEST_F(mainEntryCommands, RoundTrip) {
  entry(path(), u"Cfg", u"Width", u"640");
  EXPECT_NE(main_->INIAddSection(), 0);
  EXPECT_NE(main_->INIAddKey(), 0);
  main_->let_INIKeyName(u"Height");
  main_->let_INIKeyValue(u"480");
  EXPECT_NE(main_->INIAddKey(), 0);
  EXPECT_EQ(readFile(path()), "[Cfg]\n0=0\nWidth=640\nHeight=480\n");
  main_->let_INIKeyName(u"Width");
  EXPECT_NE(main_->INIDeleteKey(), 0);
  EXPECT_EQ(readFile(path()), "[Cfg]\n0=0\nHeight=480\n");
  EXPECT_NE(main_->INIDeleteSection(), 0);
  EXPECT_EQ(readFile(path()), "");
}

TEST_F(mainEntryCommands, DeleteKeyWithAnUnsetKeyDoesNothing) {
  // Passed on, an unset key would delete the whole section.
  const std::string content = "[S]\n0=0\nK=V\n";
  writeFile(path(), content);
  entry(path(), u"S", Text(), u"V");
  EXPECT_EQ(main_->INIDeleteKey(), 0);
  EXPECT_EQ(readFile(path()), content);
  EXPECT_EQ(keyNames(*main_, path(), u"S"), (std::vector<std::u16string>{u"0", u"K"}));
  expectFields(path(), u"S", Text(), u"V");
}

TEST_F(mainEntryCommands, AddKeyWithAnUnsetKeyOrValueDoesNothing) {
  const std::string content = "[S]\n0=0\nK=V\n";
  struct Case {
    Text key, value;
  };
  for (const Case& c : {Case{Text(), u"V"}, Case{u"K", Text()}, Case{Text(), Text()}}) {
    SCOPED_TRACE(std::string(c.key.isUnset() ? "unset" : "set") + " key, " +
                 (c.value.isUnset() ? "unset" : "set") + " value");
    writeFile(path(), content);
    entry(path(), u"S", c.key, c.value);
    EXPECT_EQ(main_->INIAddKey(), 0);
    EXPECT_EQ(readFile(path()), content);
    expectFields(path(), u"S", c.key, c.value);

    // Nor is a missing file created.
    entry(path("never.ini"), u"S", c.key, c.value);
    EXPECT_EQ(main_->INIAddKey(), 0);
    EXPECT_FALSE(fileExists(path("never.ini")));
  }
}

TEST_F(mainEntryCommands, EmptyKeyNameReachesTheStore) {
  // Unlike an unset key, an empty one is passed on: each command answers
  // and writes exactly what the wrapper does with an empty key name.
  const std::string content = "[S]\n0=0\nK=V\n";
  writeFile(path(), content);
  writeFile(path("twin.ini"), content);
  Text twin = Text::fromUtf8(path("twin.ini"));
  Text section = u"S";
  Text key = Text::empty();
  Text value = u"V";

  entry(path(), u"S", Text::empty(), u"V");
  const int32_t deleted = main_->INIDeleteKey();
  EXPECT_EQ(deleted, main_->WritePrivateProfileStringToDeleteKeyInif(twin, section, key));
  EXPECT_NE(deleted, 0);
  EXPECT_EQ(readFile(path()), readFile(path("twin.ini")));
  EXPECT_EQ(keyNames(*main_, path(), u"S"), (std::vector<std::u16string>{u"0", u"K"}));

  const int32_t added = main_->INIAddKey();
  EXPECT_EQ(added, main_->WritePrivateProfileStringAddKeyInif(twin, section, key, value));
  EXPECT_EQ(readFile(path()), readFile(path("twin.ini")));
  EXPECT_FALSE(main_->get_INIKeyName().isUnset());
  EXPECT_EQ(main_->get_INIKeyName(), Text::empty());
}

TEST_F(mainEntryCommands, DeleteSectionWithAnUnsetSectionChangesNothing) {
  // An unset section reaches the store with no key and no value: only a flush.
  const std::string content = "[S]\n0=0\nK=V\n";
  writeFile(path(), content);
  entry(path(), Text(), u"K", u"V");
  EXPECT_EQ(main_->INIDeleteSection(), 0);
  EXPECT_EQ(readFile(path()), content);
}

TEST_F(mainEntryCommands, BareAndUnsetFileNamesUseTheWindowsDirectory) {
  ScopedDriveC driveC;
  entry("app.ini", u"S", u"K", u"V");
  EXPECT_NE(main_->INIAddKey(), 0);
  EXPECT_EQ(readFile(driveC.windowsDir() + "/app.ini"), "[S]\nK=V\n");
  // An unset file name reaches the store as absent: WIN.INI.
  main_->let_INIFileName(Text());
  EXPECT_NE(main_->INIAddSection(), 0);
  EXPECT_EQ(readFile(driveC.windowsDir() + "/WIN.INI"), "[S]\n0=0\n");
  EXPECT_TRUE(main_->get_INIFileName().isUnset());
}

// ---------------------------------------------------------------------------
// Late-bound

TEST_F(mainEntryLateBound, FieldsByName) {
  for (const Field& f : kFields) {
    SCOPED_TRACE(utf8(f.name));
    lateLet(main_, f.name, Variant(u"given"));
    EXPECT_EQ(((*main_).*f.get)(), Text(u"given"));
    EXPECT_EQ(lateGet(main_, f.name).text(), Text(u"given"));
    // A number is converted to text.
    lateLet(main_, f.name, Variant(int32_t{42}));
    EXPECT_EQ(((*main_).*f.get)(), Text(u"42"));
    // Empty and unset stay apart.
    lateLet(main_, f.name, Variant(Text::empty()));
    EXPECT_FALSE(((*main_).*f.get)().isUnset());
    EXPECT_EQ(lateGet(main_, f.name).text(), Text::empty());
    lateLet(main_, f.name, Variant(Text()));
    EXPECT_TRUE(((*main_).*f.get)().isUnset());
    EXPECT_TRUE(lateGet(main_, f.name).text().isUnset());
  }
}

TEST_F(mainEntryLateBound, CommandsByName) {
  const ObjectRef o = main_;
  lateLet(o, u"iniFileName", Variant(Text::fromUtf8(path())));
  lateLet(o, u"INISectionName", Variant(u"S"));
  const Variant added = lateCall(o, u"INIAddSection", InvokeKind::Method);
  EXPECT_EQ(added.type(), VarType::Long);
  EXPECT_NE(added.toInt32(), 0);
  EXPECT_EQ(readFile(path()), "[S]\n0=0\n");

  // Unset key: nothing happens.
  EXPECT_EQ(lateCall(o, u"INIAddKey", InvokeKind::Method).toInt32(), 0);
  EXPECT_EQ(lateCall(o, u"INIDeleteKey", InvokeKind::Method).toInt32(), 0);
  EXPECT_EQ(readFile(path()), "[S]\n0=0\n");

  lateLet(o, u"INIKeyName", Variant(int32_t{7}));
  lateLet(o, u"INIKeyValue", Variant(u"seven"));
  EXPECT_NE(lateCall(o, u"INIAddKey", InvokeKind::Method).toInt32(), 0);
  EXPECT_EQ(readFile(path()), "[S]\n0=0\n7=seven\n");
  lateLet(o, u"INIKeyName", Variant(u"0"));
  EXPECT_NE(lateCall(o, u"iniDeleteKey", InvokeKind::Method).toInt32(), 0);
  EXPECT_EQ(readFile(path()), "[S]\n7=seven\n");
  EXPECT_NE(lateCall(o, u"INIDeleteSection", InvokeKind::Method).toInt32(), 0);
  EXPECT_EQ(readFile(path()), "");
  EXPECT_EQ(lateGet(o, u"INIKeyValue").text(), Text(u"seven"));
  EXPECT_EQ(lateGet(o, u"INISectionName").text(), Text(u"S"));
}

}  // namespace
}  // namespace zidevuv10
