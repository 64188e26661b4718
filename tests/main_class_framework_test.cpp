// The main class's framework members and its member table: the per-thread
// App object, the library's resources, the per-thread BuddyObjectGlobal
// reference (and when the objects it held are released), About through the
// classes of a second library found in the registry, and the 28 members in
// slot order with their kinds and dispatch ids.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/automation_checks.h"
#include "support/test_files.h"
#include "zidevuv10/host.h"
#include "zidevuv10/library.h"
#include "zidevuv10/main_class.h"
#include "zidevuv10/profile.h"
#include "zidevuv10/safe_array.h"
#include "zidevuv10/type_info.h"

#ifndef ZIDEVUV10_TEST_COMMONS
#error "ZIDEVUV10_TEST_COMMONS must name the commons test library"
#endif

namespace zidevuv10 {
namespace {

using testing::errorFrom;
using testing::errorNumber;
using testing::lateCall;
using testing::lateGet;
using testing::lateSet;
using testing::TrackedObject;

using Main = _clsOrviVEZEzoro10A;

Ref<Main> newMain() {
  return objectAs<Main>(createObject(u"VEZEzoro10.clsOrviVEZEzoro10A"));
}

// Runs f on a thread of its own and waits for it.
template <typename F>
void onNewThread(F&& f) {
  std::thread t(std::forward<F>(f));
  t.join();
}

// ---------------------------------------------------------------------------
// The member table

struct ExpectedMember {
  const char* name;
  const char* kind;
  InvokeKind invokeKind;
  uint32_t dispatchId;
};

const ExpectedMember kMembers[] = {
    {"GetProStdProperties", "propget", InvokeKind::PropertyGet, 0x68030008},
    {"GetProResStrings", "propget", InvokeKind::PropertyGet, 0x68030007},
    {"GetProResPicture", "propget", InvokeKind::PropertyGet, 0x68030006},
    {"GetProResData", "propget", InvokeKind::PropertyGet, 0x68030005},
    {"About", "method", InvokeKind::Method, 0x6003000a},
    {"BuddyObjectGlobal", "propget", InvokeKind::PropertyGet, 0x68030004},
    {"BuddyObjectGlobal", "propputref", InvokeKind::PropertySet, 0x68030004},
    {"GetPrivateProfileStringInif", "method", InvokeKind::Method, 0x6003000b},
    {"GetPrivateProfileIntInif", "method", InvokeKind::Method, 0x6003000c},
    {"GetPrivateProfileStringSectionsInif", "method", InvokeKind::Method, 0x6003000d},
    {"GetPrivateProfileStringKeysInif", "method", InvokeKind::Method, 0x6003000e},
    {"GetPrivateProfileStringByKeyNameInif", "method", InvokeKind::Method, 0x6003000f},
    {"WritePrivateProfileStringAddSectionInif", "method", InvokeKind::Method, 0x60030010},
    {"WritePrivateProfileStringAddKeyInif", "method", InvokeKind::Method, 0x60030011},
    {"WritePrivateProfileStringToDeleteKeyInif", "method", InvokeKind::Method, 0x60030012},
    {"WritePrivateProfileStringToDeleteSectionInif", "method", InvokeKind::Method, 0x60030013},
    {"INIFileName", "propget", InvokeKind::PropertyGet, 0x68030003},
    {"INIFileName", "propput", InvokeKind::PropertyLet, 0x68030003},
    {"INISectionName", "propget", InvokeKind::PropertyGet, 0x68030002},
    {"INISectionName", "propput", InvokeKind::PropertyLet, 0x68030002},
    {"INIKeyName", "propget", InvokeKind::PropertyGet, 0x68030001},
    {"INIKeyName", "propput", InvokeKind::PropertyLet, 0x68030001},
    {"INIKeyValue", "propget", InvokeKind::PropertyGet, 0x68030000},
    {"INIKeyValue", "propput", InvokeKind::PropertyLet, 0x68030000},
    {"INIAddSection", "method", InvokeKind::Method, 0x60030014},
    {"INIDeleteSection", "method", InvokeKind::Method, 0x60030015},
    {"INIAddKey", "method", InvokeKind::Method, 0x60030016},
    {"INIDeleteKey", "method", InvokeKind::Method, 0x60030017},
};

std::string utf8(std::u16string_view s) { return Text(std::u16string(s)).utf8(); }

TEST(mainMemberTable, NamesFindTheirDispatchIds) {
  const ObjectRef main = createObject(u"VEZEzoro10.clsOrviVEZEzoro10A");
  for (const ExpectedMember& e : kMembers) {
    SCOPED_TRACE(e.name);
    EXPECT_EQ(static_cast<uint32_t>(main->dispatchId(Text::fromUtf8(e.name).str())), e.dispatchId);
  }
  EXPECT_EQ(static_cast<uint32_t>(main->dispatchId(u"inikeyvalue")), 0x68030000u);
  EXPECT_EQ(errorNumber([&] { main->dispatchId(u"INIKeyValues"); }), 438);
  // A let on a read-only member, or a get on a write-only kind, has no member.
  EXPECT_EQ(errorNumber([&] { lateCall(main, u"About", InvokeKind::PropertyLet, {Variant()}); }),
            438);
  EXPECT_EQ(errorNumber([&] {
              lateCall(main, u"INIFileName", InvokeKind::PropertySet, {Variant(u"x")});
            }),
            438);
}

// ---------------------------------------------------------------------------
// App

TEST(mainStdProperties, OneAppObjectPerThread) {
  const Ref<Main> first = newMain();
  const Ref<Main> second = newMain();
  const ObjectRef app = first->get_GetProStdProperties();
  ASSERT_TRUE(app);
  EXPECT_EQ(app, second->get_GetProStdProperties());
  EXPECT_EQ(app->typeName(), u"App");
  const Variant late = lateGet(first, u"GetProStdProperties");
  ASSERT_TRUE(late.isObject());
  EXPECT_EQ(late.toObject(), app);

  // Another thread has its own.
  Object* other = nullptr;
  onNewThread([&] {
    const ObjectRef there = newMain()->get_GetProStdProperties();
    ASSERT_TRUE(there);
    EXPECT_EQ(there->typeName(), u"App");
    EXPECT_EQ(there, newMain()->get_GetProStdProperties());
    other = there.get();
    EXPECT_NE(other, app.get());
  });
  EXPECT_NE(other, nullptr);
}

TEST(mainStdProperties, PathAndExeNameReadByName) {
  const ObjectRef app = newMain()->get_GetProStdProperties();
  ASSERT_TRUE(app);
  for (const char16_t* name : {u"Path", u"EXEName", u"path", u"exename"}) {
    SCOPED_TRACE(utf8(name));
    const Variant v = lateGet(app, name);
    EXPECT_EQ(v.type(), VarType::String);
    EXPECT_FALSE(v.text().str().empty());
  }
}

// ---------------------------------------------------------------------------
// Resources

TEST(mainResources, Strings) {
  const Ref<Main> main = newMain();
  int32_t id = 101;
  const Text text = main->get_GetProResStrings(id);
  EXPECT_FALSE(text.isUnset());
  EXPECT_FALSE(text.str().empty());
  EXPECT_EQ(id, 101);
  const Variant late = lateGet(main, u"GetProResStrings", {Variant(int32_t{101})});
  EXPECT_EQ(late.type(), VarType::String);
  EXPECT_EQ(late.text(), text);
  // A number as text names the same resource.
  EXPECT_EQ(lateGet(main, u"GetProResStrings", {Variant(u"101")}).text(), text);

  for (int32_t missing : {0, 9999, -101}) {
    SCOPED_TRACE(missing);
    int32_t m = missing;
    EXPECT_EQ(errorNumber([&] { main->get_GetProResStrings(m); }), 326);
    EXPECT_EQ(errorNumber([&] { lateGet(main, u"GetProResStrings", {Variant(missing)}); }), 326);
  }
}

TEST(mainResources, Picture) {
  const Ref<Main> main = newMain();
  int32_t id = 101;
  int32_t kind = 0;
  const ObjectRef picture = main->get_GetProResPicture(id, kind);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->typeName(), u"Picture");
  EXPECT_GT(lateGet(picture, u"Width").toInt32(), 0);
  EXPECT_GT(lateGet(picture, u"Height").toInt32(), 0);
  const Variant late =
      lateGet(main, u"GetProResPicture", {Variant(int32_t{101}), Variant(int16_t{0})});
  ASSERT_TRUE(late.isObject());
  EXPECT_EQ(late.toObject()->typeName(), u"Picture");

  int32_t missingId = 9999;
  int32_t bitmap = 0;
  EXPECT_EQ(errorNumber([&] { main->get_GetProResPicture(missingId, bitmap); }), 326);

  // A kind that does not fit 16 bits overflows before any lookup, whatever the id.
  for (int32_t badKind : {40000, -40000}) {
    for (int32_t anyId : {101, 9999}) {
      SCOPED_TRACE(std::to_string(badKind) + " for " + std::to_string(anyId));
      int32_t i = anyId;
      int32_t k = badKind;
      EXPECT_EQ(errorNumber([&] { main->get_GetProResPicture(i, k); }), 6);
      EXPECT_EQ(errorNumber([&] {
                  lateGet(main, u"GetProResPicture", {Variant(anyId), Variant(badKind)});
                }),
                6);
    }
  }

  // The by-reference kind and id are only read: they come back exactly as
  // passed, type included, whether the lookup succeeds or fails.
  Variant integerKind(int16_t{0});
  Variant textId(u"101");
  lateGet(main, u"GetProResPicture", {Variant::byRef(textId), Variant::byRef(integerKind)});
  EXPECT_EQ(integerKind.type(), VarType::Integer);
  EXPECT_EQ(textId.type(), VarType::String);
  EXPECT_EQ(textId.text(), Text(u"101"));
  Variant wideInteger(int16_t{32767});
  Variant textKind(u"40000");
  EXPECT_EQ(errorNumber([&] {
              lateGet(main, u"GetProResPicture", {Variant::byRef(textId), Variant::byRef(wideInteger)});
            }),
            5);
  EXPECT_EQ(wideInteger.type(), VarType::Integer);
  EXPECT_EQ(wideInteger.int16(), 32767);
  EXPECT_EQ(errorNumber([&] {
              lateGet(main, u"GetProResPicture", {Variant::byRef(textId), Variant::byRef(textKind)});
            }),
            6);
  EXPECT_EQ(textKind.type(), VarType::String);
  EXPECT_EQ(textKind.text(), Text(u"40000"));
}

TEST(mainResources, Data) {
  const Ref<Main> main = newMain();
  int32_t id = 101;
  Variant type(u"CUSTOM");
  const Variant data = main->get_GetProResData(id, type);
  ASSERT_EQ(data.type(), VarType::Array);
  const auto bytes = data.toArray();
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->elementType(), SafeArray::ElementType::Byte);
  ASSERT_EQ(bytes->dimensions(), 1);
  EXPECT_EQ(bytes->lowerBound(), 0);
  ASSERT_GE(bytes->upperBound(), 0);
  for (int32_t i = 0; i <= bytes->upperBound(); ++i) {
    EXPECT_EQ(bytes->at(i).type(), VarType::Byte) << i;
  }

  const Variant late = lateGet(main, u"GetProResData", {Variant(int32_t{101}), Variant(u"CUSTOM")});
  ASSERT_EQ(late.type(), VarType::Array);
  const auto lateBytes = late.toArray();
  ASSERT_EQ(lateBytes->upperBound(), bytes->upperBound());
  for (int32_t i = 0; i <= bytes->upperBound(); ++i) {
    EXPECT_EQ(lateBytes->at(i).toInt32(), bytes->at(i).toInt32()) << i;
  }

  int32_t missingId = 9999;
  Variant custom(u"CUSTOM");
  EXPECT_EQ(errorNumber([&] { main->get_GetProResData(missingId, custom); }), 326);
  Variant otherType(u"OTHER");
  EXPECT_EQ(errorNumber([&] { main->get_GetProResData(id, otherType); }), 326);
}

// ---------------------------------------------------------------------------
// BuddyObjectGlobal

TEST(mainBuddyObject, NoObjectOnANewThread) {
  onNewThread([] {
    const Ref<Main> main = newMain();
    EXPECT_FALSE(main->get_BuddyObjectGlobal());
    const Variant late = lateGet(main, u"BuddyObjectGlobal");
    EXPECT_EQ(late.type(), VarType::Object);
    EXPECT_FALSE(late.toObject());
  });
}

TEST(mainBuddyObject, SharedByTheObjectsOfOneThreadOnly) {
  onNewThread([] {
    bool destroyed = false;
    bool otherDestroyed = false;
    const Ref<Main> first = newMain();
    const Ref<Main> second = newMain();
    {
      ObjectRef buddy(new TrackedObject(destroyed));
      first->set_BuddyObjectGlobal(buddy);
      EXPECT_EQ(second->get_BuddyObjectGlobal(), buddy);
      EXPECT_EQ(lateGet(second, u"BuddyObjectGlobal").toObject(), buddy);

      // Another thread sees no object, and its setting is its own.
      onNewThread([&] {
        const Ref<Main> there = newMain();
        EXPECT_FALSE(there->get_BuddyObjectGlobal());
        ObjectRef own(new TrackedObject(otherDestroyed));
        there->set_BuddyObjectGlobal(own);
        EXPECT_EQ(there->get_BuddyObjectGlobal(), own);
      });
      EXPECT_EQ(first->get_BuddyObjectGlobal(), buddy);
    }
    // The other thread's object went with its thread; this one is kept
    // alive by the global alone.
    EXPECT_TRUE(otherDestroyed);
    EXPECT_FALSE(destroyed);
    EXPECT_TRUE(first->get_BuddyObjectGlobal());

    // Set to no object (through the other main-class object) releases it.
    ObjectRef nothing;
    second->set_BuddyObjectGlobal(nothing);
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(first->get_BuddyObjectGlobal());
  });
}

TEST(mainBuddyObject, LateBoundSetReplacesAndReleases) {
  onNewThread([] {
    bool firstGone = false;
    bool secondGone = false;
    const Ref<Main> main = newMain();
    lateSet(main, u"BuddyObjectGlobal", Variant(ObjectRef(new TrackedObject(firstGone))));
    ASSERT_TRUE(main->get_BuddyObjectGlobal());
    EXPECT_FALSE(firstGone);

    ObjectRef replacement(new TrackedObject(secondGone));
    lateSet(main, u"BuddyObjectGlobal", Variant(replacement));
    EXPECT_TRUE(firstGone);
    EXPECT_EQ(newMain()->get_BuddyObjectGlobal(), replacement);
    replacement = nullptr;
    EXPECT_FALSE(secondGone);

    // No object through a by-reference Variant clears it; the variable keeps no object.
    Variant none{ObjectRef()};
    lateSet(main, u"BuddyObjectGlobal", Variant::byRef(none));
    EXPECT_TRUE(secondGone);
    EXPECT_FALSE(main->get_BuddyObjectGlobal());
    EXPECT_FALSE(none.toObject());
    // A value that is no object is refused.
    EXPECT_EQ(errorNumber([&] { lateSet(main, u"BuddyObjectGlobal", Variant(int32_t{1})); }), 13);
  });
}

TEST(mainBuddyObject, ReleasedWhenTheThreadEnds) {
  bool destroyed = false;
  onNewThread([&] {
    ObjectRef buddy(new TrackedObject(destroyed));
    newMain()->set_BuddyObjectGlobal(buddy);
    buddy = nullptr;
    EXPECT_FALSE(destroyed);
  });
  EXPECT_TRUE(destroyed);
}

// ---------------------------------------------------------------------------
// About, through the commons library's classes in the registry

constexpr const char* kCommonsLibrary = ZIDEVUV10_TEST_COMMONS;
constexpr const char* kAboutProgId = "OrviCommons10.clsOrviCommons10A";
constexpr const char* kAboutClassId = "5b2e8c14-3a7f-4d61-9e05-c7a1f3b8d290";
constexpr const char* kReportProgId = "OrviCommons10.clsOrvicmErrorHandlerA";
constexpr const char* kReportClassId = "d47a1e90-8c35-4b2f-a6e1-0f9c2b7d5e38";

// A function the commons library exports, or null while it is not loaded.
template <typename F>
F commonsFunction(const char* name, void*& handle) {
  handle = ::dlopen(kCommonsLibrary, RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) return nullptr;
  return reinterpret_cast<F>(::dlsym(handle, name));
}

// The calls the commons classes recorded, each split into its tab-separated
// fields. None while the library is not loaded.
std::vector<std::vector<std::string>> commonsCalls() {
  void* handle = nullptr;
  const auto read =
      commonsFunction<size_t (*)(char*, size_t)>("zidevuv10_test_commons_records", handle);
  std::vector<std::vector<std::string>> calls;
  if (read != nullptr) {
    std::string all(read(nullptr, 0) + 1, '\0');
    read(all.data(), all.size());
    all.resize(all.size() - 1);
    std::istringstream lines(all);
    std::string line;
    while (std::getline(lines, line)) {
      std::vector<std::string> fields;
      std::istringstream parts(line);
      std::string field;
      while (std::getline(parts, field, '\t')) fields.push_back(field);
      calls.push_back(fields);
    }
  }
  if (handle != nullptr) ::dlclose(handle);
  return calls;
}

void clearCommonsCalls() {
  void* handle = nullptr;
  if (const auto clear = commonsFunction<void (*)()>("zidevuv10_test_commons_clear", handle)) {
    clear();
  }
  if (handle != nullptr) ::dlclose(handle);
}

std::string addressOf(const Object* o) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%p", static_cast<const void*>(o));
  return buffer;
}

class mainAbout : public ::testing::Test {
 protected:
  void SetUp() override {
    clearCommonsCalls();
    previous_ = setMessageBoxHandler([this](const Text&, int32_t, const Text&) {
      ++messages_;
      return 1;
    });
  }
  void TearDown() override { setMessageBoxHandler(previous_); }

  void write(const std::string& section, const char* key, const std::string& value) {
    ASSERT_NE(WritePrivateProfileStringA(section.c_str(), key, value.c_str(), registry_.c_str()), 0)
        << section << " " << key;
  }
  // The two records an installer writes for one class.
  void registerClass(const char* progId, const char* classId) {
    const std::string braced = std::string("{") + classId + "}";
    write(progId, "ClassId", braced);
    write(progId, "Library", kCommonsLibrary);
    write("CLSID\\" + braced, "ProgId", progId);
    write("CLSID\\" + braced, "Library", kCommonsLibrary);
  }

  // The eight arguments of one error report, for the error given.
  static void expectReport(const std::vector<std::string>& call, int32_t number,
                           const std::u16string& description) {
    ASSERT_EQ(call.size(), 9u);
    EXPECT_EQ(call[0], "ErrorHandlerMessageOrvi");
    const std::string err = call[2];
    const std::string prefix =
        "err:" + std::to_string(number) + "|" + utf8(description) + "|";
    EXPECT_EQ(err.substr(0, prefix.size()), prefix);
    EXPECT_GT(err.size(), prefix.size()) << "the error names a source";
    EXPECT_EQ(call[3], "unset text");
    EXPECT_EQ(call[4], "text:basOrvicmCommonA.AppAboutOrvicm_Pro");
    EXPECT_EQ(call[5], "number:0");
    EXPECT_EQ(call[6], "unset text");
    EXPECT_EQ(call[7], "number:0");
    EXPECT_EQ(call[8], "missing");
  }

  // About through the typed interface, then late-bound, each checked by check().
  template <typename Check>
  void bothWays(Check&& check) {
    {
      SCOPED_TRACE("direct");
      clearCommonsCalls();
      check([this] { return Variant(main_->About()); });
    }
    {
      SCOPED_TRACE("late-bound");
      clearCommonsCalls();
      check([this] { return lateCall(main_, u"About", InvokeKind::Method); });
    }
  }

  testing::TempDir dir_;
  std::string registry_ = dir_.file("registry.ini");
  testing::ScopedEnv env_{"ZIDEVUV10_REGISTRY", registry_};
  MessageBoxHandler previous_;
  int messages_ = 0;
  Ref<Main> main_ = newMain();
};

TEST_F(mainAbout, BothClassesRegistered) {
  registerClass(kAboutProgId, kAboutClassId);
  registerClass(kReportProgId, kReportClassId);
  const ObjectRef app = main_->get_GetProStdProperties();
  const std::string appPath = lateGet(app, u"Path").text().utf8();
  bothWays([&](auto about) {
    const Variant result = about();
    EXPECT_EQ(result.type(), VarType::Long);
    EXPECT_EQ(result.toInt32(), 0);
    const auto calls = commonsCalls();
    // The About service got this thread's App object; nothing was reported.
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_EQ(calls[0].size(), 4u);
    EXPECT_EQ(calls[0][0], "AppAboutOrvicm");
    EXPECT_EQ(calls[0][1], "App");
    EXPECT_EQ(calls[0][2], appPath);
    EXPECT_EQ(calls[0][3], addressOf(app.get()));
  });
  EXPECT_EQ(messages_, 0);
}

TEST_F(mainAbout, OnlyTheReportClassRegistered) {
  registerClass(kReportProgId, kReportClassId);
  bothWays([&](auto about) {
    const Variant result = about();
    EXPECT_EQ(result.toInt32(), 0);
    const auto calls = commonsCalls();
    // Creating the About service fails (429); calling it on no object then
    // fails too (91): two reports, in that order.
    ASSERT_EQ(calls.size(), 2u);
    {
      SCOPED_TRACE("first report");
      expectReport(calls[0], 429, u"ActiveX component can't create object");
    }
    {
      SCOPED_TRACE("second report");
      expectReport(calls[1], 91, u"Object variable or With block variable not set");
    }
  });
  EXPECT_EQ(messages_, 0);
}

TEST_F(mainAbout, NeitherClassRegistered) {
  bothWays([&](auto about) {
    const auto e = errorFrom([&] { about(); });
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->number(), 429);
    EXPECT_TRUE(commonsCalls().empty());
  });
  EXPECT_EQ(messages_, 0);
}

TEST_F(mainAbout, WithoutAnyRegistryFile) {
  ASSERT_FALSE(testing::fileExists(registry_));
  EXPECT_EQ(errorNumber([&] { main_->About(); }), 429);
  EXPECT_TRUE(commonsCalls().empty());
}

}  // namespace
}  // namespace zidevuv10
