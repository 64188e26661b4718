// Host services and runtime objects the classes rely on: the replaceable
// message box and screen, calls by member name, the per-thread App and Err
// objects, the resources compiled into the library, and the runtime's
// conversions between text and numbers.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "automation/number_text.h"
#include "runtime/runtime.h"
#include "runtime/store_text.h"
#include "paths/drives.h"
#include "support/automation_checks.h"
#include "zidevuv10/collection.h"
#include "zidevuv10/error.h"
#include "zidevuv10/host.h"
#include "zidevuv10/object.h"
#include "zidevuv10/safe_array.h"
#include "zidevuv10/text.h"
#include "zidevuv10/type_info.h"
#include "zidevuv10/variant.h"

namespace zidevuv10 {
namespace {

using testing::errorFrom;
using testing::errorNumber;
using testing::lateCall;
using testing::lateGet;
using testing::lateLet;

Variant i16(int v) { return Variant(static_cast<int16_t>(v)); }

// ---------------------------------------------------------------------------
// Message box

struct ShownMessage {
  std::u16string prompt;
  int32_t style = 0;
  std::u16string title;
};

class hostMessageBox : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = setMessageBoxHandler({}); }
  void TearDown() override { setMessageBoxHandler(saved_); }

  // A handler that records every message and answers `button`.
  MessageBoxHandler recorder(std::vector<ShownMessage>& shown, int32_t button) {
    return [&shown, button](const Text& prompt, int32_t style, const Text& title) {
      shown.push_back({prompt.str(), style, title.str()});
      return button;
    };
  }

 private:
  MessageBoxHandler saved_;
};

TEST_F(hostMessageBox, InstalledHandlerReceivesTheMessageAndAnswers) {
  std::vector<ShownMessage> shown;
  setMessageBoxHandler(recorder(shown, 6));
  EXPECT_EQ(showMessageBox(Text(u"Section \u00C4rger is not registered"), 48, Text(u"Settings")),
            6);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].prompt, u"Section \u00C4rger is not registered");
  EXPECT_EQ(shown[0].style, 48);
  EXPECT_EQ(shown[0].title, u"Settings");
}

TEST_F(hostMessageBox, ReplacingReturnsThePreviousHandler) {
  std::vector<ShownMessage> first;
  std::vector<ShownMessage> second;
  setMessageBoxHandler(recorder(first, 1));
  MessageBoxHandler previous = setMessageBoxHandler(recorder(second, 2));
  ASSERT_TRUE(previous);
  EXPECT_EQ(showMessageBox(Text(u"to second"), 0, Text(u"t")), 2);
  EXPECT_TRUE(first.empty());
  ASSERT_EQ(second.size(), 1u);

  // Putting the previous one back makes it the one called.
  MessageBoxHandler replaced = setMessageBoxHandler(previous);
  ASSERT_TRUE(replaced);
  EXPECT_EQ(showMessageBox(Text(u"to first"), 0, Text(u"t")), 1);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].prompt, u"to first");
  EXPECT_EQ(second.size(), 1u);
  // The handler handed back is the second recorder itself.
  EXPECT_EQ(replaced(Text(u"direct"), 3, Text(u"d")), 2);
  EXPECT_EQ(second.size(), 2u);
}

TEST_F(hostMessageBox, HandlerIsUsedFromOtherThreads) {
  std::vector<ShownMessage> shown;
  setMessageBoxHandler(recorder(shown, 7));
  int32_t answer = 0;
  std::thread t([&] { answer = showMessageBox(Text(u"from a thread"), 1, Text(u"T")); });
  t.join();
  EXPECT_EQ(answer, 7);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].prompt, u"from a thread");
}

TEST_F(hostMessageBox, DefaultHandlerWritesTitleAndPromptToStandardError) {
  ::testing::internal::CaptureStderr();
  const int32_t answer =
      showMessageBox(Text(u"Section not registered"), 16, Text(u"Pr\u00FCfung"));
  const std::string written = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(written, "Pr\xC3\xBC" "fung: Section not registered\n");
}

TEST_F(hostMessageBox, EmptyHandlerRestoresTheDefault) {
  std::vector<ShownMessage> shown;
  setMessageBoxHandler(recorder(shown, 2));
  MessageBoxHandler previous = setMessageBoxHandler({});
  EXPECT_TRUE(previous);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(showMessageBox(Text(u"p"), 0, Text(u"t")), 1);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "t: p\n");
  EXPECT_TRUE(shown.empty());
}

// ---------------------------------------------------------------------------
// Screen

class hostScreen : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = setScreenProvider({}); }
  void TearDown() override { setScreenProvider(saved_); }

 private:
  ScreenProvider saved_;
};

TEST_F(hostScreen, DefaultIs1920By1080PixelsAt15Twips) {
  const ScreenMetrics m = screenMetrics();
  EXPECT_EQ(m.widthPixels, 1920);
  EXPECT_EQ(m.heightPixels, 1080);
  EXPECT_EQ(m.twipsPerPixelX, 15);
  EXPECT_EQ(m.twipsPerPixelY, 15);
  EXPECT_EQ(m.width(), 28800);
  EXPECT_EQ(m.height(), 16200);
}

TEST_F(hostScreen, ClientProviderReplacesAndRestores) {
  const ScreenProvider none = setScreenProvider([] {
    ScreenMetrics m;
    m.widthPixels = 1280;
    m.heightPixels = 1024;
    m.twipsPerPixelX = 12;
    m.twipsPerPixelY = 10;
    return m;
  });
  EXPECT_FALSE(none);
  const ScreenMetrics m = screenMetrics();
  EXPECT_EQ(m.width(), 15360);
  EXPECT_EQ(m.height(), 10240);

  const ScreenProvider ours = setScreenProvider(none);
  ASSERT_TRUE(ours);
  EXPECT_EQ(ours().widthPixels, 1280);
  EXPECT_EQ(screenMetrics().width(), 28800);
  EXPECT_EQ(screenMetrics().height(), 16200);
}

// ---------------------------------------------------------------------------
// Calls by name

// An object of the test's own: a Level property and a Describe method whose
// parameters are coerced to a Long and a String.
class Gauge final : public Object {
 public:
  const ClassInfo* classInfo() const override;
  int32_t level = 7;
};

Gauge& gauge(Object& o) { return static_cast<Gauge&>(o); }

const ClassInfo kGauge{
    u"Gauge",
    u"",
    u"",
    {
        {u"Level", InvokeKind::PropertyGet, 1, {}, {TypeCode::Int32, {}},
         [](Object& o, CallArgs&) { return Variant(gauge(o).level); }},
        {u"Level", InvokeKind::PropertyLet, 1, {{u"Value", {TypeCode::Int32, {}}}}, {},
         [](Object& o, CallArgs& a) {
           gauge(o).level = a.int32(0);
           return Variant();
         }},
        {u"Describe", InvokeKind::Method, 2,
         {{u"Factor", {TypeCode::Int32, {}}}, {u"Label", {TypeCode::Text, {}}}},
         {TypeCode::Text, {}},
         [](Object& o, CallArgs& a) {
           const Variant product(gauge(o).level * a.int32(0));
           return Variant(Text(a.text(1).str() + u"=" + product.toText().str()));
         }},
    }};

const ClassInfo* Gauge::classInfo() const { return &kGauge; }

TEST(hostCallByName, NoObjectIsError91) {
  const auto e = errorFrom([] { callByName(ObjectRef(), u"Level", InvokeKind::PropertyGet); });
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->number(), err::kObjectNotSet);
  EXPECT_EQ(e->description().str(), u"Object variable or With block variable not set");
}

TEST(hostCallByName, UnknownMemberIsError438) {
  const ObjectRef g = makeObject<Gauge>();
  const auto e = errorFrom([&] { callByName(g, u"Levels", InvokeKind::PropertyGet); });
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->number(), err::kMemberNotSupported);
  EXPECT_EQ(e->description().str(), u"Object doesn't support this property or method");
  EXPECT_EQ(errorNumber([] { callByName(makeObject<Collection>(), u"Clear", InvokeKind::Method); }),
            438);
}

TEST(hostCallByName, PropertyGetAndLet) {
  const ObjectRef g = makeObject<Gauge>();
  EXPECT_EQ(callByName(g, u"Level", InvokeKind::PropertyGet).toInt32(), 7);
  std::vector<Variant> value{Variant(u" 12 ")};
  callByName(g, u"LEVEL", InvokeKind::PropertyLet, value);
  EXPECT_EQ(callByName(g, u"level", InvokeKind::PropertyGet).toInt32(), 12);
  EXPECT_EQ(objectAs<Gauge>(g)->level, 12);
}

TEST(hostCallByName, MethodWithArguments) {
  const ObjectRef g = makeObject<Gauge>();
  std::vector<Variant> args{i16(3), Variant(u"x")};
  EXPECT_EQ(callByName(g, u"Describe", InvokeKind::Method, args).toText().str(), u"x=21");
  // Arguments are coerced to the parameter types.
  std::vector<Variant> coerced{Variant(u"2"), Variant(1.5)};
  EXPECT_EQ(callByName(g, u"describe", InvokeKind::Method, coerced).toText().str(), u"1.5=14");
  std::vector<Variant> wrong{Variant(u"two"), Variant(u"x")};
  EXPECT_EQ(errorNumber([&] { callByName(g, u"Describe", InvokeKind::Method, wrong); }), 13);
}

TEST(hostCallByName, CollectionMembers) {
  const ObjectRef c = makeObject<Collection>();
  std::vector<Variant> add{Variant(u"v"), Variant(u"K")};
  callByName(c, u"Add", InvokeKind::Method, add);
  EXPECT_EQ(callByName(c, u"Count", InvokeKind::PropertyGet).toInt32(), 1);
  std::vector<Variant> key{Variant(u"k")};
  EXPECT_EQ(callByName(c, u"Item", InvokeKind::PropertyGet, key).toText().str(), u"v");
}

// ---------------------------------------------------------------------------
// App

std::string expectedAppPath() {
  const std::filesystem::path exe = std::filesystem::canonical("/proc/self/exe");
  return paths::toWindowsForm(exe.parent_path().string());
}

TEST(hostApp, OnePerThread) {
  const ObjectRef app = frame::appObject();
  ASSERT_TRUE(app);
  EXPECT_EQ(frame::appObject().get(), app.get());
  EXPECT_EQ(app->typeName(), u"App");

  const Object* other = nullptr;
  const Object* otherAgain = nullptr;
  std::thread t([&] {
    other = frame::appObject().get();
    otherAgain = frame::appObject().get();
  });
  t.join();
  EXPECT_NE(other, nullptr);
  EXPECT_NE(other, app.get());
  EXPECT_EQ(other, otherAgain);
}

TEST(hostApp, PathIsTheWindowsFormOfTheBinarysFolder) {
  const std::string path = lateGet(frame::appObject(), u"Path").toText().utf8();
  ASSERT_GE(path.size(), 3u);
  EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(path[0]))) << path;
  EXPECT_EQ(path.substr(1, 2), ":\\") << path;
  if (path.size() > 3) {
    EXPECT_NE(path.back(), '\\') << path;
  }
  EXPECT_EQ(path.find('/'), std::string::npos) << path;
  EXPECT_EQ(path, expectedAppPath());
}

TEST(hostApp, ExeNameIsTheFileNameWithoutExtension) {
  const Text name = lateGet(frame::appObject(), u"EXEName").toText();
  EXPECT_EQ(name.str(), u"host_services_test");
}

TEST(hostApp, MembersAreReachableByName) {
  const ObjectRef app = frame::appObject();
  EXPECT_EQ(lateGet(app, u"path").toText(), lateGet(app, u"PATH").toText());
  EXPECT_EQ(lateCall(app, u"exename", InvokeKind::Method).toText().str(), u"host_services_test");
  EXPECT_EQ(callByName(app, u"Path", InvokeKind::PropertyGet).toText().utf8(), expectedAppPath());
  EXPECT_EQ(lateGet(app, u"Title").toText().str(), std::u16string(typeLibrary().name));
  const Variant major = lateGet(app, u"Major");
  EXPECT_EQ(major.type(), VarType::Integer);
  EXPECT_EQ(major.toInt32(), typeLibrary().majorVersion);
  EXPECT_EQ(errorNumber([&] { lateGet(app, u"Paths"); }), 438);
}

// ---------------------------------------------------------------------------
// Err

struct ErrState {
  int32_t number = -1;
  std::u16string description;
  std::u16string source;
};

ErrState readErr() {
  const ObjectRef e = frame::errObject();
  return {lateGet(e, u"Number").toInt32(), lateGet(e, u"Description").toText().str(),
          lateGet(e, u"Source").toText().str()};
}

TEST(hostErr, StartsClearOnEveryThread) {
  ErrState fresh;
  std::thread t([&] { fresh = readErr(); });
  t.join();
  EXPECT_EQ(fresh.number, 0);
  EXPECT_EQ(fresh.description, u"");
  EXPECT_EQ(fresh.source, u"");
}

TEST(hostErr, ShowsTheErrorSetAndClears) {
  frame::setErr(AutomationError(457, Text(u"Key taken"), Text(u"VEZEzoro10.Thing")));
  ErrState s = readErr();
  EXPECT_EQ(s.number, 457);
  EXPECT_EQ(s.description, u"Key taken");
  EXPECT_EQ(s.source, u"VEZEzoro10.Thing");

  lateCall(frame::errObject(), u"Clear", InvokeKind::Method);
  s = readErr();
  EXPECT_EQ(s.number, 0);
  EXPECT_EQ(s.description, u"");
  EXPECT_EQ(s.source, u"");

  frame::setErr(AutomationError(53, Text(standardDescription(53)), Text(u"src")));
  EXPECT_EQ(readErr().number, 53);
  EXPECT_EQ(readErr().description, u"File not found");
  frame::clearErr();
  s = readErr();
  EXPECT_EQ(s.number, 0);
  EXPECT_EQ(s.description, u"");
  EXPECT_EQ(s.source, u"");
}

TEST(hostErr, PropertiesCanBeSet) {
  const ObjectRef e = frame::errObject();
  lateLet(e, u"Number", Variant(u"11"));
  lateLet(e, u"Description", Variant(u"own"));
  EXPECT_EQ(readErr().number, 11);
  EXPECT_EQ(readErr().description, u"own");
  frame::clearErr();
}

TEST(hostErr, RaiseThrowsTheGivenError) {
  const ObjectRef e = frame::errObject();
  const auto standard = errorFrom([&] { lateCall(e, u"Raise", InvokeKind::Method, {Variant(5)}); });
  ASSERT_TRUE(standard.has_value());
  EXPECT_EQ(standard->number(), 5);
  EXPECT_EQ(standard->description().str(), u"Invalid procedure call or argument");

  const auto own = errorFrom([&] {
    lateCall(e, u"raise", InvokeKind::Method,
             {Variant(1001), Variant(u"MySource"), Variant(u"Something failed")});
  });
  ASSERT_TRUE(own.has_value());
  EXPECT_EQ(own->number(), 1001);
  EXPECT_EQ(own->source().str(), u"MySource");
  EXPECT_EQ(own->description().str(), u"Something failed");

  const auto user = errorFrom([&] { lateCall(e, u"Raise", InvokeKind::Method, {Variant(1001)}); });
  ASSERT_TRUE(user.has_value());
  EXPECT_EQ(user->number(), 1001);
  EXPECT_EQ(user->description().str(), u"Application-defined or object-defined error");

  // Only a source given: the description is still the standard one.
  const auto sourceOnly = errorFrom(
      [&] { lateCall(e, u"Raise", InvokeKind::Method, {Variant(13), Variant(u"S")}); });
  ASSERT_TRUE(sourceOnly.has_value());
  EXPECT_EQ(sourceOnly->description().str(), u"Type mismatch");
  EXPECT_EQ(sourceOnly->source().str(), u"S");
}

TEST(hostErr, EachThreadHasItsOwn) {
  EXPECT_EQ(frame::errObject().get(), frame::errObject().get());
  frame::setErr(AutomationError(9, Text(u"main"), Text(u"m")));
  ErrState seenByOther;
  const Object* otherErr = nullptr;
  std::thread t([&] {
    otherErr = frame::errObject().get();
    seenByOther = readErr();
    frame::setErr(AutomationError(76, Text(u"other"), Text(u"o")));
  });
  t.join();
  EXPECT_NE(otherErr, frame::errObject().get());
  EXPECT_EQ(seenByOther.number, 0);
  EXPECT_EQ(seenByOther.description, u"");
  const ErrState mine = readErr();
  EXPECT_EQ(mine.number, 9);
  EXPECT_EQ(mine.description, u"main");
  frame::clearErr();
}

// ---------------------------------------------------------------------------
// Resources

TEST(hostResources, StringById) {
  const Text s = frame::loadResString(Variant(101));
  EXPECT_FALSE(s.isUnset());
  EXPECT_FALSE(s.str().empty());
  // The id as an Integer, a Long and a numeric text names the same string.
  EXPECT_EQ(frame::loadResString(i16(101)), s);
  EXPECT_EQ(frame::loadResString(Variant(u"101")), s);
  EXPECT_EQ(frame::loadResString(Variant(101.0)), s);

  const auto e = errorFrom([] { frame::loadResString(Variant(999)); });
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->number(), err::kResourceNotFound);
  EXPECT_EQ(e->description().str(), u"Resource with identifier not found");
  EXPECT_EQ(errorNumber([] { frame::loadResString(Variant(0)); }), 326);
}

TEST(hostResources, PictureById) {
  const ObjectRef p = frame::loadResPicture(Variant(101), 0);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->typeName(), u"Picture");
  EXPECT_EQ(lateGet(p, u"Type").toInt32(), 1);
  EXPECT_GT(lateGet(p, u"Width").toInt32(), 0);
  EXPECT_GT(lateGet(p, u"Height").toInt32(), 0);

  for (const Variant& id : {i16(101), Variant(u"101")}) {
    const ObjectRef q = frame::loadResPicture(id, 0);
    ASSERT_TRUE(q);
    EXPECT_EQ(lateGet(q, u"Width").toInt32(), lateGet(p, u"Width").toInt32());
  }
}

TEST(hostResources, PictureOfAnotherKindOrIdIsMissing) {
  // Only a bitmap has id 101: as an icon or a cursor it is not there.
  EXPECT_EQ(errorNumber([] { frame::loadResPicture(Variant(101), 1); }), 326);
  EXPECT_EQ(errorNumber([] { frame::loadResPicture(Variant(101), 2); }), 326);
  EXPECT_EQ(errorNumber([] { frame::loadResPicture(Variant(102), 0); }), 326);
  // Kinds the lookup does not know.
  EXPECT_EQ(errorNumber([] { frame::loadResPicture(Variant(101), 7); }), err::kInvalidCall);
  EXPECT_EQ(errorNumber([] { frame::loadResPicture(Variant(101), -1); }), 5);
}

void expectResourceBytes(const Variant& data) {
  ASSERT_EQ(data.type(), VarType::Array);
  const auto bytes = data.toArray();
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->elementType(), SafeArray::ElementType::Byte);
  ASSERT_EQ(bytes->dimensions(), 1);
  EXPECT_EQ(bytes->lowerBound(), 0);
  std::string spelled;
  for (int32_t i = bytes->lowerBound(); i <= bytes->upperBound(); ++i) {
    const Variant& b = bytes->at(i);
    EXPECT_EQ(b.type(), VarType::Byte) << "at " << i;
    spelled.push_back(static_cast<char>(b.toInt32()));
  }
  EXPECT_EQ(spelled, "zidevuv10 resource data");
}

TEST(hostResources, DataByIdAndType) {
  expectResourceBytes(frame::loadResData(Variant(101), Variant(u"CUSTOM")));
  expectResourceBytes(frame::loadResData(Variant(101), Variant(u"custom")));
  expectResourceBytes(frame::loadResData(Variant(101), Variant(u"Custom")));
  expectResourceBytes(frame::loadResData(i16(101), Variant(u"CUSTOM")));
  expectResourceBytes(frame::loadResData(Variant(u"101"), Variant(u"CUSTOM")));
}

TEST(hostResources, DataIsACopyForEachCall) {
  const Variant first = frame::loadResData(Variant(101), Variant(u"CUSTOM"));
  first.toArray()->at(0) = Variant(static_cast<uint8_t>('Z'));
  expectResourceBytes(frame::loadResData(Variant(101), Variant(u"CUSTOM")));
}

TEST(hostResources, UnknownDataTypeOrIdIs326) {
  EXPECT_EQ(errorNumber([] { frame::loadResData(Variant(101), Variant(u"OTHER")); }), 326);
  EXPECT_EQ(errorNumber([] { frame::loadResData(Variant(102), Variant(u"CUSTOM")); }), 326);
  EXPECT_EQ(errorNumber([] { frame::loadResData(Variant(u"999"), Variant(u"custom")); }), 326);
}

// ---------------------------------------------------------------------------
// By-reference texts on their way to the store

TEST(hostStoreText, ComesBackWhenTheMemberReturnsAndStaysWhenItFails) {
  const Text passed(u"S\xD800");
  Text returned = passed;
  { const frame::StoreTextByRef arg(returned); }
  EXPECT_EQ(returned.str(), u"S\xFFFD");
  Text unset;
  { const frame::StoreTextByRef arg(unset); }
  EXPECT_TRUE(unset.isUnset());
  // A member leaving by an error leaves the variable as it held it.
  Text failed = passed;
  EXPECT_EQ(errorNumber([&] {
              const frame::StoreTextByRef arg(failed);
              raiseError(err::kOverflow);
            }),
            err::kOverflow);
  EXPECT_EQ(failed, passed);
}

// ---------------------------------------------------------------------------
// Text to 32-bit integers, and numbers to text

int32_t textToLong(const char16_t* s) { return Variant(s).toInt32(); }

TEST(hostConversions, TextToLongIgnoresBlanksAndReadsSigns) {
  EXPECT_EQ(textToLong(u" 42 "), 42);
  EXPECT_EQ(textToLong(u"42"), 42);
  EXPECT_EQ(textToLong(u"+42"), 42);
  EXPECT_EQ(textToLong(u"-42"), -42);
  EXPECT_EQ(textToLong(u"  -7"), -7);
  EXPECT_EQ(textToLong(u"1e3"), 1000);
  EXPECT_EQ(textToLong(u"1E3"), 1000);
}

TEST(hostConversions, TextFractionsRoundHalfToEven) {
  EXPECT_EQ(textToLong(u"0.5"), 0);
  EXPECT_EQ(textToLong(u"1.5"), 2);
  EXPECT_EQ(textToLong(u"2.5"), 2);
  EXPECT_EQ(textToLong(u"3.5"), 4);
  EXPECT_EQ(textToLong(u"-2.5"), -2);
  EXPECT_EQ(textToLong(u"-1.5"), -2);
  EXPECT_EQ(textToLong(u"2.51"), 3);
}

TEST(hostConversions, TextToLongLimits) {
  EXPECT_EQ(textToLong(u"2147483647"), 2147483647);
  EXPECT_EQ(textToLong(u"-2147483648"), -2147483647 - 1);
  EXPECT_EQ(errorNumber([] { textToLong(u"2147483648"); }), err::kOverflow);
  EXPECT_EQ(errorNumber([] { textToLong(u"-2147483649"); }), 6);
  EXPECT_EQ(errorNumber([] { textToLong(u"2147483647.5"); }), 6);
  EXPECT_EQ(errorNumber([] { textToLong(u"1e10"); }), 6);
}

TEST(hostConversions, TextThatIsNoNumberIsError13) {
  EXPECT_EQ(errorNumber([] { textToLong(u"abc"); }), err::kTypeMismatch);
  EXPECT_EQ(errorNumber([] { textToLong(u""); }), 13);
  EXPECT_EQ(errorNumber([] { textToLong(u"   "); }), 13);
  EXPECT_EQ(errorNumber([] { textToLong(u"12abc"); }), 13);
  EXPECT_EQ(errorNumber([] { textToLong(u"4 2"); }), 13);
  EXPECT_EQ(errorNumber([] { textToLong(u"1e"); }), 13);
  EXPECT_EQ(errorNumber([] { textToLong(u"-"); }), 13);
}

TEST(hostConversions, DoublesToText) {
  EXPECT_EQ(Variant(1.5).toText().str(), u"1.5");
  EXPECT_EQ(Variant(-0.25).toText().str(), u"-0.25");
  EXPECT_EQ(Variant(1e20).toText().str(), u"1E+20");
  EXPECT_EQ(Variant(1e-5).toText().str(), u"1E-05");
  EXPECT_EQ(Variant(100.0).toText().str(), u"100");
  EXPECT_EQ(Variant(0.0).toText().str(), u"0");
  EXPECT_EQ(Variant(0.1).toText().str(), u"0.1");
  EXPECT_EQ(Variant(123456789012345.0).toText().str(), u"123456789012345");
  EXPECT_EQ(Variant(1e15).toText().str(), u"1E+15");
  EXPECT_EQ(Variant(0.0001).toText().str(), u"0.0001");
  // The text reads back as the same number.
  EXPECT_EQ(Variant(Variant(1e20).toText()).toDouble(), 1e20);
  EXPECT_EQ(Variant(Variant(-0.25).toText()).toDouble(), -0.25);
}

TEST(hostConversions, SinglesToTextUseSevenDigits) {
  EXPECT_EQ(Variant(0.1f).toText().str(), u"0.1");
  EXPECT_EQ(Variant(16777216.0f).toText().str(), u"1.677722E+07");
  EXPECT_EQ(Variant(1.5f).toText().str(), u"1.5");
  EXPECT_EQ(Variant(-0.25f).toText().str(), u"-0.25");
  EXPECT_EQ(Variant(1234567.0f).toText().str(), u"1234567");
  // The same digits as the pure formatting function.
  EXPECT_EQ(automation::formatSingle(16777216.0f), u"1.677722E+07");
  EXPECT_EQ(automation::formatDouble(16777216.0), u"16777216");
}

}  // namespace
}  // namespace zidevuv10
