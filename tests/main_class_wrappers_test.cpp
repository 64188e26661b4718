// The main class's stateless profile wrappers, called directly through the
// typed interface and late-bound by name: what each read answers through
// its fixed buffer, the name lists as Collections, the exact bytes each
// write leaves in the file, and how the by-reference text arguments come
// back (as the store saw them, unset and empty kept apart).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/automation_checks.h"
#include "support/test_files.h"
#include "zidevuv10/collection.h"
#include "zidevuv10/library.h"
#include "zidevuv10/main_class.h"

namespace zidevuv10 {
namespace {

using testing::lateCall;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

using Main = _clsOrviVEZEzoro10A;

Ref<Main> newMain() {
  return objectAs<Main>(createObject(u"VEZEzoro10.clsOrviVEZEzoro10A"));
}

std::u16string u16(std::string_view utf8) { return Text::fromUtf8(utf8).str(); }

// The names a Collection holds, in order.
std::vector<std::u16string> names(const Ref<Collection>& c) {
  std::vector<std::u16string> out;
  for (const Variant& v : *c) out.push_back(v.toText().str());
  return out;
}

// A text holding an unpaired surrogate: the store sees it through UTF-8,
// where it becomes U+FFFD.
const std::u16string kLoneSurrogate = u"\xD800";
const std::u16string kReplacement = u"\xFFFD";

class MainWrappers : public ::testing::Test {
 protected:
  // The file's name as a text (an absolute path, so nothing reaches the
  // Windows directory).
  Text file(std::string_view name = "test.ini") const { return Text::fromUtf8(dir_.file(name)); }
  std::string path(std::string_view name = "test.ini") const { return dir_.file(name); }

  // Calls with fresh variables, for reads where the write-back is not the point.
  Text getString(const std::string& f, Text section, Text key) {
    Text name = Text::fromUtf8(f);
    return main_->GetPrivateProfileStringInif(name, section, key);
  }
  Text getByKeyName(const std::string& f, Text section, Text key) {
    Text name = Text::fromUtf8(f);
    return main_->GetPrivateProfileStringByKeyNameInif(name, section, key);
  }
  Text getInt(const std::string& f, Text section, Text key) {
    Text name = Text::fromUtf8(f);
    return main_->GetPrivateProfileIntInif(name, section, key);
  }
  Ref<Collection> sections(const std::string& f) {
    Text name = Text::fromUtf8(f);
    return main_->GetPrivateProfileStringSectionsInif(name);
  }
  Ref<Collection> keys(const std::string& f, Text section) {
    Text name = Text::fromUtf8(f);
    return main_->GetPrivateProfileStringKeysInif(name, section);
  }
  int32_t addSection(const std::string& f, Text section) {
    Text name = Text::fromUtf8(f);
    return main_->WritePrivateProfileStringAddSectionInif(name, section);
  }
  int32_t addKey(const std::string& f, Text section, Text key, Text value) {
    Text name = Text::fromUtf8(f);
    return main_->WritePrivateProfileStringAddKeyInif(name, section, key, value);
  }
  int32_t deleteKey(const std::string& f, Text section, Text key) {
    Text name = Text::fromUtf8(f);
    return main_->WritePrivateProfileStringToDeleteKeyInif(name, section, key);
  }
  int32_t deleteSection(const std::string& f, Text section) {
    Text name = Text::fromUtf8(f);
    return main_->WritePrivateProfileStringToDeleteSectionInif(name, section);
  }

  TempDir dir_;
  Ref<Main> main_ = newMain();
};

class mainWrapperReads : public MainWrappers {};
class mainWrapperLists : public MainWrappers {};
class mainWrapperWrites : public MainWrappers {};
class mainWrapperArguments : public MainWrappers {};
class mainWrapperLateBound : public MainWrappers {};

// ---------------------------------------------------------------------------
// Reads of one value

TEST_F(mainWrapperReads, ValuesAndMissingKeysAsText) {
  writeFile(path(), "[A]\nk=value\none=x\nnum=-5\n[B]\nk=other\n");
  EXPECT_EQ(getString(path(), u"A", u"k"), Text(u"value"));
  EXPECT_EQ(getString(path(), u"B", u"k"), Text(u"other"));
  EXPECT_EQ(getByKeyName(path(), u"A", u"k"), Text(u"value"));
  // A one-character value comes through whole.
  EXPECT_EQ(getString(path(), u"A", u"one"), Text(u"x"));
  EXPECT_EQ(getByKeyName(path(), u"A", u"one"), Text(u"x"));

  // Missing key, section or file: empty text (never unset), and "0" as a number.
  for (const auto& [f, section, key] :
       {std::tuple{path(), u"A", u"missing"}, std::tuple{path(), u"Nope", u"k"},
        std::tuple{path("absent.ini"), u"A", u"k"}}) {
    SCOPED_TRACE(Text(section).utf8() + "/" + Text(key).utf8() + " in " + f);
    const Text s = getString(f, section, key);
    EXPECT_FALSE(s.isUnset());
    EXPECT_EQ(s, Text::empty());
    const Text b = getByKeyName(f, section, key);
    EXPECT_FALSE(b.isUnset());
    EXPECT_EQ(b, Text::empty());
    EXPECT_EQ(getInt(f, section, key), Text(u"0"));
  }
}

TEST_F(mainWrapperReads, LongValuesAreCutToEachBuffer) {
  std::string v300;
  for (int i = 0; i < 300; ++i) v300 += static_cast<char>('a' + i % 26);
  const std::string v254 = v300.substr(0, 254);
  const std::string v255 = v300.substr(0, 255);
  writeFile(path(), "[A]\nlong=" + v300 + "\nfits=" + v254 + "\nover=" + v255 + "\n");

  // 255-byte buffer: at most 254 characters.
  EXPECT_EQ(getString(path(), u"A", u"long").str(), u16(v300.substr(0, 254)));
  EXPECT_EQ(getString(path(), u"A", u"fits").str(), u16(v254));
  EXPECT_EQ(getString(path(), u"A", u"over").str(), u16(v254));
  // 127-byte buffer: at most 126 characters.
  EXPECT_EQ(getByKeyName(path(), u"A", u"long").str(), u16(v300.substr(0, 126)));
  EXPECT_EQ(getByKeyName(path(), u"A", u"fits").str(), u16(v300.substr(0, 126)));
  const std::string v126 = v300.substr(0, 126);
  writeFile(path("short.ini"), "[A]\nk=" + v126 + "\n");
  EXPECT_EQ(getByKeyName(path("short.ini"), u"A", u"k").str(), u16(v126));
}

TEST_F(mainWrapperReads, IntegerTextIsTheSigned32BitResult) {
  writeFile(path(), "[N]\nneg=-5\npos=7\nminus7=-7\nall=4294967295\nbig=3000000000\n"
                    "lead=12abc\nword=abc\nzero=0\n");
  EXPECT_EQ(getInt(path(), u"N", u"neg"), Text(u"-5"));
  EXPECT_EQ(getInt(path(), u"N", u"pos"), Text(u"7"));
  EXPECT_EQ(getInt(path(), u"N", u"minus7"), Text(u"-7"));
  // The store's unsigned result read as signed.
  EXPECT_EQ(getInt(path(), u"N", u"all"), Text(u"-1"));
  EXPECT_EQ(getInt(path(), u"N", u"big"), Text(u"-1294967296"));
  EXPECT_EQ(getInt(path(), u"N", u"lead"), Text(u"12"));
  EXPECT_EQ(getInt(path(), u"N", u"word"), Text(u"0"));
  EXPECT_EQ(getInt(path(), u"N", u"zero"), Text(u"0"));
  EXPECT_EQ(getInt(path(), u"N", u"missing"), Text(u"0"));
}

TEST_F(mainWrapperReads, UnsetKeyListsTheSectionsKeys) {
  writeFile(path(), "[A]\nfirst=1\nsecond=2\n[B]\nx=1\n");
  // NUL-separated names, each closed by a NUL, up to the count returned.
  EXPECT_EQ(getString(path(), u"A", Text()).str(), std::u16string(u"first\0second\0", 13));
  EXPECT_EQ(getString(path(), u"B", Text()).str(), std::u16string(u"x\0", 2));
  // A missing section with an unset key: the (empty) default.
  EXPECT_EQ(getString(path(), u"C", Text()), Text::empty());

  // A list longer than the buffer is cut: 253 bytes (the buffer less two
  // closing NULs), the last name cut.
  std::string content = "[Many]\n";
  std::string list;
  for (int i = 10; i < 40; ++i) {
    const std::string key = "key_number_" + std::to_string(i);
    content += key + "=v\n";
    list += key + '\0';
  }
  ASSERT_GT(list.size(), 255u);
  writeFile(path("many.ini"), content);
  const Text cut = getString(path("many.ini"), u"Many", Text());
  EXPECT_EQ(cut.size(), 253u);
  EXPECT_EQ(cut.str(), u16(list.substr(0, 253)));
}

TEST_F(mainWrapperReads, UnsetSectionListsTheSectionNames) {
  writeFile(path(), "[A]\nk=1\n[B]\n");
  EXPECT_EQ(getString(path(), Text(), Text()).str(), std::u16string(u"A\0B\0", 4));
}

// An empty key is the key "" (a line "=value"), not an absent key: never the list.
TEST_F(mainWrapperReads, EmptyKeyIsTheKeyNamedEmptyNotTheList) {
  writeFile(path(), "[A]\nk=1\n=odd\n");
  EXPECT_EQ(getString(path(), u"A", Text::empty()), Text(u"odd"));
  EXPECT_EQ(getByKeyName(path(), u"A", Text::empty()), Text(u"odd"));
  EXPECT_EQ(getInt(path(), u"A", Text::empty()), Text(u"0"));
  writeFile(path(), "[A]\nk=1\n");
  const Text value = getString(path(), u"A", Text::empty());
  EXPECT_FALSE(value.isUnset());
  EXPECT_EQ(value, Text::empty());
}

// ---------------------------------------------------------------------------
// Name lists as Collections

TEST_F(mainWrapperLists, SectionsAndKeysInFileOrder) {
  writeFile(path(), "[A]\nk=1\n[B]\n");
  const Ref<Collection> two = sections(path());
  ASSERT_TRUE(two);
  ASSERT_EQ(two->Count(), 2);
  EXPECT_EQ(two->Item(Variant(int32_t{1})).toText(), Text(u"A"));
  EXPECT_EQ(two->Item(Variant(int32_t{2})).toText(), Text(u"B"));

  // File order, not sorted.
  writeFile(path("order.ini"), "[Zeta]\nz=1\ny=2\nA=3\n[alpha]\n[Mid]\nm=1\n");
  EXPECT_EQ(names(sections(path("order.ini"))),
            (std::vector<std::u16string>{u"Zeta", u"alpha", u"Mid"}));
  EXPECT_EQ(names(keys(path("order.ini"), u"Zeta")),
            (std::vector<std::u16string>{u"z", u"y", u"A"}));
  EXPECT_EQ(names(keys(path("order.ini"), u"Mid")), (std::vector<std::u16string>{u"m"}));
}

TEST_F(mainWrapperLists, NothingToListGivesAnEmptyCollection) {
  writeFile(path(), "[A]\n[B]\nx=1\n");
  const std::vector<Ref<Collection>> empties{
      sections(path("absent.ini")), keys(path("absent.ini"), u"A"), keys(path(), u"Missing"),
      keys(path(), u"A")};
  for (std::size_t i = 0; i < empties.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(empties[i]) << "a Collection, never no object";
    EXPECT_EQ(empties[i]->Count(), 0);
  }
  writeFile(path("empty.ini"), "");
  const Ref<Collection> none = sections(path("empty.ini"));
  ASSERT_TRUE(none);
  EXPECT_EQ(none->Count(), 0);
}

TEST_F(mainWrapperLists, LongListsAreCutWithTheLastNameCut) {
  // Twenty 10-character names: 11 bytes each with the NUL. The 127-byte
  // buffer holds 125 bytes of the list: eleven names and "Sect".
  std::string sectionsFile;
  std::string keysFile = "[K]\n";
  std::vector<std::u16string> expectedSections, expectedKeys;
  for (int i = 10; i < 30; ++i) {
    const std::string section = "Section_" + std::to_string(i);
    const std::string key = "KeyName_" + std::to_string(i);
    sectionsFile += "[" + section + "]\n";
    keysFile += key + "=1\n";
    if (i < 21) {
      expectedSections.push_back(u16(section));
      expectedKeys.push_back(u16(key));
    }
  }
  expectedSections.push_back(u"Sect");
  expectedKeys.push_back(u"KeyN");
  writeFile(path("sections.ini"), sectionsFile);
  writeFile(path("keys.ini"), keysFile);
  EXPECT_EQ(names(sections(path("sections.ini"))), expectedSections);
  EXPECT_EQ(names(keys(path("keys.ini"), u"K")), expectedKeys);
}

// ---------------------------------------------------------------------------
// Writes, checked by the file's bytes

TEST_F(mainWrapperWrites, AddSectionWritesThePlaceholderEntry) {
  EXPECT_NE(addSection(path(), u"S"), 0);
  EXPECT_EQ(readFile(path()), "[S]\n0=0\n");

  writeFile(path("existing.ini"), "[A]\nk=v\n");
  EXPECT_NE(addSection(path("existing.ini"), u"New"), 0);
  EXPECT_EQ(readFile(path("existing.ini")), "[A]\nk=v\n[New]\n0=0\n");

  // A section that is there without an entry named 0 gets one.
  writeFile(path("keys.ini"), "[S]\nx=1\n");
  EXPECT_NE(addSection(path("keys.ini"), u"S"), 0);
  EXPECT_EQ(readFile(path("keys.ini")), "[S]\nx=1\n0=0\n");

  // An entry named 0 in another section does not count.
  writeFile(path("other.ini"), "[Other]\n0=7\n");
  EXPECT_NE(addSection(path("other.ini"), u"S"), 0);
  EXPECT_EQ(readFile(path("other.ini")), "[Other]\n0=7\n[S]\n0=0\n");
}

TEST_F(mainWrapperWrites, AddSectionLeavesAnExistingZeroEntryAlone) {
  const std::string longValue(300, 'q');
  for (const std::string& content :
       {std::string("[S]\n0=0\n"), std::string("[S]\n0=5\n"), std::string("[S]\n0=\n"),
        std::string("[S]\r\nx=1\r\n0=a longer value\r\n"), "[S]\n0=" + longValue + "\n",
        std::string("[s]\n0=case\n[T]\n")}) {
    SCOPED_TRACE(content);
    writeFile(path(), content);
    EXPECT_EQ(addSection(path(), u"S"), 1);
    EXPECT_EQ(readFile(path()), content);
  }
}

TEST_F(mainWrapperWrites, AddKeyWritesAndReplaces) {
  writeFile(path(), "[A]\nk=v\n[B]\nb=1\n");
  EXPECT_NE(addKey(path(), u"A", u"k2", u"v2"), 0);
  EXPECT_EQ(readFile(path()), "[A]\nk=v\nk2=v2\n[B]\nb=1\n");
  EXPECT_NE(addKey(path(), u"A", u"k", u"new"), 0);
  EXPECT_EQ(readFile(path()), "[A]\nk=new\nk2=v2\n[B]\nb=1\n");
  EXPECT_NE(addKey(path(), u"C", u"c", u""), 0);
  EXPECT_EQ(readFile(path()), "[A]\nk=new\nk2=v2\n[B]\nb=1\n[C]\nc=\n");
  EXPECT_EQ(getString(path(), u"A", u"k"), Text(u"new"));
}

TEST_F(mainWrapperWrites, DeleteKeyAndDeleteSection) {
  writeFile(path(), "[A]\nk=v\nk2=v2\n[B]\nb=1\n");
  EXPECT_NE(deleteKey(path(), u"A", u"k"), 0);
  EXPECT_EQ(readFile(path()), "[A]\nk2=v2\n[B]\nb=1\n");
  EXPECT_EQ(getString(path(), u"A", u"k"), Text::empty());

  EXPECT_NE(deleteSection(path(), u"A"), 0);
  EXPECT_EQ(readFile(path()), "[B]\nb=1\n");
  const Ref<Collection> gone = keys(path(), u"A");
  ASSERT_TRUE(gone);
  EXPECT_EQ(gone->Count(), 0);
  EXPECT_EQ(names(sections(path())), std::vector<std::u16string>{u"B"});
}

TEST_F(mainWrapperWrites, RoundTripOnANewFile) {
  EXPECT_NE(addSection(path(), u"Cfg"), 0);
  EXPECT_NE(addKey(path(), u"Cfg", u"Width", u"640"), 0);
  EXPECT_NE(addKey(path(), u"Cfg", u"Name", u"x"), 0);
  EXPECT_NE(addSection(path(), u"Other"), 0);
  EXPECT_EQ(readFile(path()), "[Cfg]\n0=0\nWidth=640\nName=x\n[Other]\n0=0\n");
  EXPECT_EQ(getInt(path(), u"Cfg", u"Width"), Text(u"640"));
  EXPECT_EQ(names(keys(path(), u"Cfg")), (std::vector<std::u16string>{u"0", u"Width", u"Name"}));

  EXPECT_NE(deleteKey(path(), u"Cfg", u"0"), 0);
  EXPECT_EQ(readFile(path()), "[Cfg]\nWidth=640\nName=x\n[Other]\n0=0\n");
  EXPECT_NE(deleteSection(path(), u"Other"), 0);
  EXPECT_EQ(readFile(path()), "[Cfg]\nWidth=640\nName=x\n");
  EXPECT_NE(deleteSection(path(), u"Cfg"), 0);
  EXPECT_EQ(readFile(path()), "");
  EXPECT_EQ(sections(path())->Count(), 0);
}

TEST_F(mainWrapperWrites, UnsetSectionToDeleteSectionOnlyFlushes) {
  const std::string content = "[A]\nk=v\n[B]\nb=1\n";
  writeFile(path(), content);
  Text name = file();
  Text section;
  EXPECT_EQ(main_->WritePrivateProfileStringToDeleteSectionInif(name, section), 0);
  EXPECT_TRUE(section.isUnset());
  EXPECT_EQ(readFile(path()), content);
}

// ---------------------------------------------------------------------------
// By-reference text arguments

// Each wrapper with its text parameters: a call, given the variables.
struct WrapperCall {
  const char* name;
  std::size_t params;
  std::function<void(Main&, std::vector<Text>&)> call;
};

std::vector<WrapperCall> wrapperCalls() {
  return {
      {"GetPrivateProfileStringInif", 3,
       [](Main& m, std::vector<Text>& a) { m.GetPrivateProfileStringInif(a[0], a[1], a[2]); }},
      {"GetPrivateProfileIntInif", 3,
       [](Main& m, std::vector<Text>& a) { m.GetPrivateProfileIntInif(a[0], a[1], a[2]); }},
      {"GetPrivateProfileStringSectionsInif", 1,
       [](Main& m, std::vector<Text>& a) { m.GetPrivateProfileStringSectionsInif(a[0]); }},
      {"GetPrivateProfileStringKeysInif", 2,
       [](Main& m, std::vector<Text>& a) { m.GetPrivateProfileStringKeysInif(a[0], a[1]); }},
      {"GetPrivateProfileStringByKeyNameInif", 3,
       [](Main& m, std::vector<Text>& a) {
         m.GetPrivateProfileStringByKeyNameInif(a[0], a[1], a[2]);
       }},
      {"WritePrivateProfileStringAddSectionInif", 2,
       [](Main& m, std::vector<Text>& a) { m.WritePrivateProfileStringAddSectionInif(a[0], a[1]); }},
      {"WritePrivateProfileStringAddKeyInif", 4,
       [](Main& m, std::vector<Text>& a) {
         m.WritePrivateProfileStringAddKeyInif(a[0], a[1], a[2], a[3]);
       }},
      {"WritePrivateProfileStringToDeleteKeyInif", 3,
       [](Main& m, std::vector<Text>& a) {
         m.WritePrivateProfileStringToDeleteKeyInif(a[0], a[1], a[2]);
       }},
      {"WritePrivateProfileStringToDeleteSectionInif", 2,
       [](Main& m, std::vector<Text>& a) {
         m.WritePrivateProfileStringToDeleteSectionInif(a[0], a[1]);
       }},
  };
}

TEST_F(mainWrapperArguments, EveryParameterComesBackAsTheStoreSawIt) {
  // An unpaired surrogate cannot reach the store as UTF-8: the variable
  // holds the replacement character afterwards. Every other parameter keeps
  // its text.
  for (const WrapperCall& w : wrapperCalls()) {
    for (std::size_t changed = 0; changed < w.params; ++changed) {
      SCOPED_TRACE(std::string(w.name) + " parameter " + std::to_string(changed + 1));
      writeFile(path(), "[S]\nk=v\n");
      const std::vector<Text> given{file(), Text(u"S"), Text(u"k"), Text(u"v")};
      std::vector<Text> args(given.begin(), given.begin() + static_cast<long>(w.params));
      args[changed] = Text(args[changed].str() + kLoneSurrogate);
      w.call(*main_, args);
      for (std::size_t i = 0; i < w.params; ++i) {
        if (i == changed) {
          EXPECT_EQ(args[i].str(), given[i].str() + kReplacement) << "parameter " << i + 1;
        } else {
          EXPECT_EQ(args[i], given[i]) << "parameter " << i + 1;
        }
      }
    }
  }
}

TEST_F(mainWrapperArguments, UnsetAndEmptyStayApart) {
  writeFile(path(), "[S]\nk=v\n");
  for (const WrapperCall& w : wrapperCalls()) {
    SCOPED_TRACE(w.name);
    // The file stays given; the last parameter is unset, the one before it
    // (when there is one besides the file) empty.
    std::vector<Text> args{file(), Text(u"S"), Text(u"k"), Text(u"v")};
    args.resize(w.params);
    if (w.params < 2) continue;
    args[w.params - 1] = Text();
    if (w.params > 2) args[w.params - 2] = Text::empty();
    w.call(*main_, args);
    EXPECT_TRUE(args[w.params - 1].isUnset());
    if (w.params > 2) {
      EXPECT_FALSE(args[w.params - 2].isUnset());
      EXPECT_EQ(args[w.params - 2], Text::empty());
    }
    EXPECT_EQ(args[0], file());
  }
}

TEST_F(mainWrapperArguments, TheStoreReceivesTheTextThroughUtf8) {
  Text name = file();
  Text section = Text(u"S" + kLoneSurrogate);
  Text key = Text(u"k\x00e9");
  Text value = Text(u"v" + kLoneSurrogate + u"\x4e2d");
  ASSERT_NE(main_->WritePrivateProfileStringAddKeyInif(name, section, key, value), 0);
  EXPECT_EQ(readFile(path()), "[S\xEF\xBF\xBD]\nk\xC3\xA9=v\xEF\xBF\xBD\xE4\xB8\xAD\n");
  EXPECT_EQ(key.str(), u"k\x00e9");
  EXPECT_EQ(value.str(), u"v" + kReplacement + u"\x4e2d");
  // The section as it came back finds the value again.
  Text again = Text(u"k\x00e9");
  EXPECT_EQ(main_->GetPrivateProfileStringInif(name, section, again).str(),
            u"v" + kReplacement + u"\x4e2d");
}

// ---------------------------------------------------------------------------
// Late-bound calls

TEST_F(mainWrapperLateBound, ByReferenceVariantsAreWrittenBack) {
  const ObjectRef o = main_;
  writeFile(path(), "[S]\nk=v\n");
  Variant f(file());
  Variant s(Text(u"S" + kLoneSurrogate));
  Variant k(Text(u"k"));
  Variant v(Text(u"new"));
  const Variant written =
      lateCall(o, u"WritePrivateProfileStringAddKeyInif", InvokeKind::Method,
               {Variant::byRef(f), Variant::byRef(s), Variant::byRef(k), Variant::byRef(v)});
  EXPECT_EQ(written.type(), VarType::Long);
  EXPECT_NE(written.toInt32(), 0);
  EXPECT_EQ(s.type(), VarType::String);
  EXPECT_EQ(s.text().str(), u"S" + kReplacement);
  EXPECT_EQ(k.text(), Text(u"k"));
  EXPECT_EQ(f.text(), file());

  // A by-reference number the store saw unchanged ("7") comes back as it
  // was passed, type included.
  Variant number(int32_t{7});
  Variant sect(Text(u"N"));
  Variant fileVar(file());
  lateCall(o, u"GetPrivateProfileStringInif", InvokeKind::Method,
           {Variant::byRef(fileVar), Variant::byRef(sect), Variant::byRef(number)});
  EXPECT_EQ(number.type(), VarType::Long);
  EXPECT_EQ(number.int32(), 7);

  // An unset text by reference stays unset.
  Variant unsetKey{Text()};
  const Variant list = lateCall(o, u"GetPrivateProfileStringInif", InvokeKind::Method,
                                {Variant(file()), Variant(u"S"), Variant::byRef(unsetKey)});
  EXPECT_TRUE(unsetKey.text().isUnset());
  EXPECT_EQ(list.text().str(), std::u16string(u"k\0", 2));
}

TEST_F(mainWrapperLateBound, NumbersForTextParametersAreConverted) {
  const ObjectRef o = main_;
  const Variant written = lateCall(o, u"WritePrivateProfileStringAddKeyInif", InvokeKind::Method,
                                   {Variant(file()), Variant(int32_t{12}), Variant(int16_t{7}),
                                    Variant(2.5)});
  EXPECT_NE(written.toInt32(), 0);
  EXPECT_EQ(readFile(path()), "[12]\n7=2.5\n");

  const Variant value = lateCall(o, u"getprivateprofilestringinif", InvokeKind::Method,
                                 {Variant(file()), Variant(12.0), Variant(int32_t{7})});
  EXPECT_EQ(value.type(), VarType::String);
  EXPECT_EQ(value.text(), Text(u"2.5"));
  const Variant number = lateCall(o, u"GetPrivateProfileIntInif", InvokeKind::Method,
                                  {Variant(file()), Variant(u"12"), Variant(int32_t{7})});
  EXPECT_EQ(number.type(), VarType::String);
  EXPECT_EQ(number.text(), Text(u"2"));
  const Variant shortRead = lateCall(o, u"GetPrivateProfileStringByKeyNameInif",
                                     InvokeKind::Method,
                                     {Variant(file()), Variant(int32_t{12}), Variant(u"7")});
  EXPECT_EQ(shortRead.text(), Text(u"2.5"));
}

TEST_F(mainWrapperLateBound, ListsAndWritesByName) {
  const ObjectRef o = main_;
  writeFile(path(), "[A]\nk=1\nj=2\n[B]\n");
  const Variant secs =
      lateCall(o, u"GetPrivateProfileStringSectionsInif", InvokeKind::Method, {Variant(file())});
  ASSERT_TRUE(secs.isObject());
  const Ref<Collection> sectionList = objectAs<Collection>(secs.toObject());
  ASSERT_TRUE(sectionList);
  EXPECT_EQ(names(sectionList), (std::vector<std::u16string>{u"A", u"B"}));
  const Variant keyList = lateCall(o, u"GetPrivateProfileStringKeysInif", InvokeKind::Method,
                                   {Variant(file()), Variant(u"A")});
  EXPECT_EQ(names(objectAs<Collection>(keyList.toObject())),
            (std::vector<std::u16string>{u"k", u"j"}));
  const Variant none = lateCall(o, u"GetPrivateProfileStringKeysInif", InvokeKind::Method,
                                {Variant(file()), Variant(u"Missing")});
  ASSERT_TRUE(none.toObject());
  EXPECT_EQ(objectAs<Collection>(none.toObject())->Count(), 0);

  EXPECT_NE(lateCall(o, u"WritePrivateProfileStringAddSectionInif", InvokeKind::Method,
                     {Variant(file()), Variant(u"C")})
                .toInt32(),
            0);
  EXPECT_EQ(lateCall(o, u"WritePrivateProfileStringAddSectionInif", InvokeKind::Method,
                     {Variant(file()), Variant(u"C")})
                .toInt32(),
            1);
  EXPECT_NE(lateCall(o, u"WritePrivateProfileStringToDeleteKeyInif", InvokeKind::Method,
                     {Variant(file()), Variant(u"A"), Variant(u"k")})
                .toInt32(),
            0);
  EXPECT_EQ(readFile(path()), "[A]\nj=2\n[B]\n[C]\n0=0\n");
  EXPECT_NE(lateCall(o, u"WritePrivateProfileStringToDeleteSectionInif", InvokeKind::Method,
                     {Variant(file()), Variant(u"A")})
                .toInt32(),
            0);
  EXPECT_EQ(readFile(path()), "[B]\n[C]\n0=0\n");
  // An unset section by value is the flush: nothing changes.
  EXPECT_EQ(lateCall(o, u"WritePrivateProfileStringToDeleteSectionInif", InvokeKind::Method,
                     {Variant(file()), Variant(Text())})
                .toInt32(),
            0);
  EXPECT_EQ(readFile(path()), "[B]\n[C]\n0=0\n");
}

}  // namespace
}  // namespace zidevuv10
