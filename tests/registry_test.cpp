// The component registry: creation falls back to registered libraries (the
// test's sibling library, found by ProgID or class id and loaded with
// dlopen), unknown or broken registrations raise 429, and registering and
// unregistering this library writes and removes exactly its own records.
// A registry others could have written or planted, a relative or untrusted
// library or a registry in a shared folder never decides what is loaded.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/automation_checks.h"
#include "support/in_child.h"
#include "support/test_files.h"
#include "zidevuv10/library.h"
#include "zidevuv10/profile.h"
#include "zidevuv10/type_info.h"

#ifndef ZIDEVUV10_TEST_SIBLING
#error "ZIDEVUV10_TEST_SIBLING must name the sibling library"
#endif

namespace zidevuv10 {
namespace {

using testing::errorFrom;
using testing::lateCall;

constexpr const char* kSiblingLibrary = ZIDEVUV10_TEST_SIBLING;
constexpr const char* kSiblingProgId = "VEZEzoroSibling.clsOrviSiblingThing";
constexpr const char* kSiblingClassId = "3f1c9a52-7d4e-4b8a-9c61-5e2d8f0a7b14";
const std::string kSiblingClassSection = std::string("CLSID\\{") + kSiblingClassId + "}";

std::string utf8(std::u16string_view s) { return Text(std::u16string(s)).utf8(); }

// Every test gets a registry file of its own.
class PrivateRegistry : public ::testing::Test {
 protected:
  std::string entry(const std::string& section, const char* key) const {
    char buffer[4096];
    GetPrivateProfileStringA(section.c_str(), key, "", buffer, sizeof buffer, file_.c_str());
    return buffer;
  }

  std::vector<std::string> sectionNames() const {
    std::vector<char> buffer(1 << 16);
    const uint32_t n = GetPrivateProfileSectionNamesA(buffer.data(), static_cast<uint32_t>(buffer.size()),
                                                      file_.c_str());
    std::vector<std::string> names;
    for (std::size_t i = 0; i < n && buffer[i] != '\0';) {
      names.emplace_back(buffer.data() + i);
      i += names.back().size() + 1;
    }
    return names;
  }

  void write(const std::string& section, const char* key, const std::string& value) {
    ASSERT_NE(WritePrivateProfileStringA(section.c_str(), key, value.c_str(), file_.c_str()), 0)
        << section << " " << key;
  }

  // The records an installer writes for the sibling's one class.
  void registerSibling() {
    write(kSiblingProgId, "ClassId", "{3F1C9A52-7D4E-4B8A-9C61-5E2D8F0A7B14}");
    write(kSiblingProgId, "Library", kSiblingLibrary);
    write(kSiblingClassSection, "ProgId", kSiblingProgId);
    write(kSiblingClassSection, "Library", kSiblingLibrary);
  }

  testing::TempDir dir_;
  std::string file_ = dir_.file("registry.ini");
  testing::ScopedEnv env_{"ZIDEVUV10_REGISTRY", file_};
};

class registrySibling : public PrivateRegistry {};
class registryRecords : public PrivateRegistry {};

TEST_F(registrySibling, TheRegistryFileComesFromTheEnvironment) {
  EXPECT_EQ(registryPath(), file_);
}

TEST_F(registrySibling, CreatedByProgIdAndCallsGoThrough) {
  registerSibling();
  for (const char16_t* progId :
       {u"VEZEzoroSibling.clsOrviSiblingThing", u"vezezorosibling.CLSORVISIBLINGTHING"}) {
    SCOPED_TRACE(utf8(progId));
    const ObjectRef thing = createObject(progId);
    ASSERT_TRUE(thing);
    EXPECT_EQ(thing->typeName(), u"clsOrviSiblingThing");
    const Variant echoed = lateCall(thing, u"echo", InvokeKind::Method, {Variant(u"hello there")});
    EXPECT_EQ(echoed.type(), VarType::String);
    EXPECT_EQ(echoed.text().str(), u"hello there");
    // The argument is coerced by the sibling's member table.
    EXPECT_EQ(lateCall(thing, u"Echo", InvokeKind::Method, {Variant(1.5)}).text().str(), u"1.5");
    EXPECT_EQ(testing::errorNumber([&] { lateCall(thing, u"Echo", InvokeKind::Method, {}); }), 450);
    EXPECT_EQ(testing::errorNumber([&] { thing->dispatchId(u"NameLong"); }), 438);
  }
}

TEST_F(registrySibling, CreatedByClassId) {
  registerSibling();
  for (const char16_t* classId :
       {u"{3F1C9A52-7D4E-4B8A-9C61-5E2D8F0A7B14}", u"3f1c9a52-7d4e-4b8a-9c61-5e2d8f0a7b14",
        u"{3f1c9a52-7d4e-4b8a-9c61-5e2d8f0a7b14}"}) {
    SCOPED_TRACE(utf8(classId));
    const ObjectRef thing = createObject(classId);
    ASSERT_TRUE(thing);
    EXPECT_EQ(thing->typeName(), u"clsOrviSiblingThing");
    EXPECT_EQ(lateCall(thing, u"Echo", InvokeKind::Method, {Variant(u"id")}).text().str(), u"id");
  }
}

TEST_F(registrySibling, EachCreationIsANewObject) {
  registerSibling();
  ObjectRef first = createObject(u"VEZEzoroSibling.clsOrviSiblingThing");
  ObjectRef second = createObject(u"VEZEzoroSibling.clsOrviSiblingThing");
  ASSERT_TRUE(first);
  ASSERT_TRUE(second);
  EXPECT_NE(first, second);
  first = nullptr;
  EXPECT_EQ(lateCall(second, u"Echo", InvokeKind::Method, {Variant(u"still here")}).text().str(),
            u"still here");
}

// The sibling's count of its live objects; the library must be loaded.
int siblingLiveObjects() {
  void* handle = ::dlopen(kSiblingLibrary, RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) return -1;
  const auto count = reinterpret_cast<int (*)()>(::dlsym(handle, "zidevuv10_test_sibling_live_objects"));
  const int live = count ? count() : -1;
  ::dlclose(handle);
  return live;
}

TEST_F(registrySibling, CreationTakesOverTheFactorysReference) {
  registerSibling();
  ObjectRef first = createObject(u"VEZEzoroSibling.clsOrviSiblingThing");
  ASSERT_TRUE(first);
  const int withFirst = siblingLiveObjects();
  ASSERT_GE(withFirst, 1);
  ObjectRef second = createObject(u"{3f1c9a52-7d4e-4b8a-9c61-5e2d8f0a7b14}");
  ASSERT_TRUE(second);
  EXPECT_EQ(siblingLiveObjects(), withFirst + 1);
  // Releasing the only reference destroys the object: the factory's
  // reference was not kept as an extra one.
  second = nullptr;
  EXPECT_EQ(siblingLiveObjects(), withFirst);
  first = nullptr;
  EXPECT_EQ(siblingLiveObjects(), withFirst - 1);
}

TEST_F(registrySibling, UnregisteredNamesRaise429) {
  registerSibling();
  for (const char16_t* name : {u"VEZEzoroSibling.clsOtherThing", u"VEZEzoroSibling",
                               u"{3f1c9a52-7d4e-4b8a-9c61-5e2d8f0a7b15}"}) {
    SCOPED_TRACE(utf8(name));
    const auto e = errorFrom([&] { createObject(name); });
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->number(), 429);
    EXPECT_EQ(e->description().str(), u"ActiveX component can't create object");
  }
}

TEST_F(registrySibling, NothingIsFoundWithoutARegistryFile) {
  ASSERT_FALSE(testing::fileExists(file_));
  EXPECT_EQ(testing::errorNumber([] { createObject(u"VEZEzoroSibling.clsOrviSiblingThing"); }), 429);
}

TEST_F(registrySibling, BrokenRegistrationsRaise429) {
  // A library that does not exist.
  write("Broken.Missing", "ClassId", std::string("{") + kSiblingClassId + "}");
  write("Broken.Missing", "Library", dir_.file("no-such-library.so"));
  // A class the library does not make: its factory answers null.
  write("Broken.Unknown", "ClassId", "{3f1c9a52-7d4e-4b8a-9c61-000000000000}");
  write("Broken.Unknown", "Library", kSiblingLibrary);
  // No library named, and no class id.
  write("Broken.NoLibrary", "ClassId", std::string("{") + kSiblingClassId + "}");
  write("Broken.NoClassId", "Library", kSiblingLibrary);
  write("Broken.BadClassId", "ClassId", "not-a-class-id");
  write("Broken.BadClassId", "Library", kSiblingLibrary);
  // A file that is no shared library.
  const std::string notALibrary = dir_.file("not-a-library.so");
  testing::writeFile(notALibrary, "plain text");
  write("Broken.NotALibrary", "ClassId", std::string("{") + kSiblingClassId + "}");
  write("Broken.NotALibrary", "Library", notALibrary);

  for (const char16_t* progId : {u"Broken.Missing", u"Broken.Unknown", u"Broken.NoLibrary",
                                 u"Broken.NoClassId", u"Broken.BadClassId", u"Broken.NotALibrary"}) {
    SCOPED_TRACE(utf8(progId));
    EXPECT_EQ(testing::errorNumber([&] { createObject(progId); }), 429);
  }
}

TEST_F(registrySibling, ThreadsCreateAndCallAtTheSameTime) {
  registerSibling();
  // Each thread creates its own objects (used on the thread that made
  // them) through the registry, all at once.
  constexpr int kThreads = 4;
  constexpr int kRounds = 25;
  std::vector<int> echoed(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &echoed] {
      for (int i = 0; i < kRounds; ++i) {
        try {
          const ObjectRef thing = createObject(i % 2 ? u"VEZEzoroSibling.clsOrviSiblingThing"
                                                     : u"{3f1c9a52-7d4e-4b8a-9c61-5e2d8f0a7b14}");
          const std::u16string text = u"t" + Text::fromUtf8(std::to_string(t)).str();
          if (lateCall(thing, u"Echo", InvokeKind::Method, {Variant(Text(text))}).text().str() == text) {
            ++echoed[static_cast<std::size_t>(t)];
          }
        } catch (const AutomationError&) {
          // counted as a missing echo below
        }
      }
    });
  }
  for (auto& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(echoed[static_cast<std::size_t>(t)], kRounds) << "thread " << t;
}

TEST_F(registrySibling, RegistryOthersCouldHaveWrittenIsIgnoredWithItsReasonOnce) {
  registerSibling();
  ASSERT_TRUE(createObject(u"VEZEzoroSibling.clsOrviSiblingThing"));
  const auto createAndRegister = [&](const std::string& expectedReason) {
    ::testing::internal::CaptureStderr();
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(testing::errorNumber([] { createObject(u"VEZEzoroSibling.clsOrviSiblingThing"); }), 429);
      EXPECT_FALSE(registerLibrary("/lib/zidevuv10.so"));
    }
    const std::string err = ::testing::internal::GetCapturedStderr();
    const std::size_t first = err.find(expectedReason);
    EXPECT_NE(first, std::string::npos) << err;
    EXPECT_EQ(err.find(expectedReason, first + 1), std::string::npos) << "printed more than once: " << err;
  };
  // The file itself writable by its group and others.
  ASSERT_EQ(::chmod(file_.c_str(), 0666), 0);
  createAndRegister(file_ + " is writable by others than its owner");
  ASSERT_EQ(::chmod(file_.c_str(), 0644), 0);
  // A folder above it writable by others (without the sticky bit).
  ASSERT_EQ(::chmod(dir_.path().c_str(), 0777), 0);
  createAndRegister(dir_.path() + " is writable by others than its owner");
  ASSERT_EQ(::chmod(dir_.path().c_str(), 0700), 0);
  // Owned by another user (only root can hand a file over).
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(file_.c_str(), 54321, 54321), 0);
    createAndRegister(file_ + " is owned by user 54321");
    ASSERT_EQ(::chown(file_.c_str(), 0, 0), 0);
  }
  EXPECT_TRUE(createObject(u"VEZEzoroSibling.clsOrviSiblingThing"));
}

// Another user plants a registry in a sticky folder the registry path runs
// through (where it does not exist yet) under a name that differs in case
// only: the registry is found by its exact name, so nothing is loaded.
TEST_F(registrySibling, ARegistryPlantedUnderAnotherCaseIsNeverRead) {
  const std::string sticky = dir_.file("shared");
  ASSERT_EQ(::mkdir(sticky.c_str(), 0700), 0);
  ASSERT_EQ(::chmod(sticky.c_str(), 01777), 0);
  const auto plant = [&](const std::string& file) {
    registerSibling();  // into file_, copied below
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::filesystem::copy_file(file_, file);
    // Tests run as root in CI: the planted files belong to another user.
    if (::geteuid() == 0) {
      for (std::filesystem::path p = file; p.string() != sticky; p = p.parent_path()) {
        ASSERT_EQ(::chown(p.c_str(), 54321, 54321), 0) << p;
      }
    }
  };
  plant(sticky + "/REG.INI");
  plant(sticky + "/.Config/zidevuv10/registry.ini");
  ASSERT_EQ(::unlink(file_.c_str()), 0);
  testing::ScopedEnv config("XDG_CONFIG_HOME", "");
  for (const auto& [variable, value] : {std::pair{"ZIDEVUV10_REGISTRY", sticky + "/reg.ini"},
                                        std::pair{"HOME", sticky}}) {
    SCOPED_TRACE(variable);
    testing::ScopedEnv registry("ZIDEVUV10_REGISTRY", "");
    testing::ScopedEnv chosen(variable, value);
    EXPECT_EQ(testing::errorNumber([] { createObject(u"VEZEzoroSibling.clsOrviSiblingThing"); }), 429);
    EXPECT_EQ(testing::errorNumber([] { createObject(u"{3f1c9a52-7d4e-4b8a-9c61-5e2d8f0a7b14}"); }), 429);
  }
  if (::geteuid() != 0) GTEST_SKIP() << "planting as another user needs root to hand files over";
  // The exact name, planted by another user in the sticky folder.
  ASSERT_EQ(::rename((sticky + "/REG.INI").c_str(), (sticky + "/reg.ini").c_str()), 0);
  testing::ScopedEnv registry("ZIDEVUV10_REGISTRY", sticky + "/reg.ini");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(testing::errorNumber([] { createObject(u"VEZEzoroSibling.clsOrviSiblingThing"); }), 429);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(sticky + "/reg.ini is owned by user 54321"), std::string::npos) << err;
}

// The library a trusted registry names must pass the same rules as the
// registry before it is loaded: it and its folders writable by no one but
// their owner, the owner the caller or root, links followed only when
// theirs; each refusal printed once.
TEST_F(registrySibling, AnUntrustedLibraryIsNotLoaded) {
  const std::string folder = dir_.file("lib");
  const std::string library = folder + "/sibling.so";
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  std::filesystem::copy_file(kSiblingLibrary, library);
  write(kSiblingProgId, "ClassId", "{3F1C9A52-7D4E-4B8A-9C61-5E2D8F0A7B14}");
  write(kSiblingProgId, "Library", library);
  const auto refused = [&](const std::string& expectedReason) {
    ::testing::internal::CaptureStderr();
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(testing::errorNumber([] { createObject(u"VEZEzoroSibling.clsOrviSiblingThing"); }), 429);
    }
    const std::string err = ::testing::internal::GetCapturedStderr();
    const std::size_t first = err.find(expectedReason);
    EXPECT_NE(first, std::string::npos) << err;
    EXPECT_EQ(err.find(expectedReason, first + 1), std::string::npos) << "printed more than once: " << err;
  };
  ASSERT_EQ(::chmod(library.c_str(), 0666), 0);
  refused(library + " is writable by others than its owner");
  ASSERT_EQ(::chmod(library.c_str(), 0755), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0775), 0);
  refused(folder + " is writable by others than its owner");
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(library.c_str(), 54321, 54321), 0);
    refused(library + " is owned by user 54321");
    ASSERT_EQ(::chown(library.c_str(), 0, 0), 0);
    // A link another user made, to a library that passes.
    const std::string link = folder + "/link.so";
    ASSERT_EQ(::symlink(library.c_str(), link.c_str()), 0);
    ASSERT_EQ(::lchown(link.c_str(), 54321, 54321), 0);
    write(kSiblingProgId, "Library", link);
    refused(link + " is owned by user 54321");
    write(kSiblingProgId, "Library", library);
  }
  EXPECT_TRUE(createObject(u"VEZEzoroSibling.clsOrviSiblingThing"));
}

TEST_F(registrySibling, RelativeLibraryPathsAreNeitherRegisteredNorLoaded) {
  const std::filesystem::path sibling(kSiblingLibrary);
  testing::ScopedCurrentFolder here(sibling.parent_path().string());
  const std::string relative = "./" + sibling.filename().string();
  EXPECT_FALSE(registerLibrary(relative));
  EXPECT_FALSE(registerLibrary(sibling.filename().string()));
  EXPECT_FALSE(testing::fileExists(file_));
  write(kSiblingProgId, "ClassId", "{3F1C9A52-7D4E-4B8A-9C61-5E2D8F0A7B14}");
  write(kSiblingProgId, "Library", relative);
  write(kSiblingClassSection, "Library", relative);
  EXPECT_EQ(testing::errorNumber([] { createObject(u"VEZEzoroSibling.clsOrviSiblingThing"); }), 429);
  EXPECT_EQ(testing::errorNumber([] { createObject(u"{3f1c9a52-7d4e-4b8a-9c61-5e2d8f0a7b14}"); }), 429);
}

TEST_F(registrySibling, WithoutHomeTheRegistryIsInThePasswordDatabasesHomeOrNowhere) {
  // Empty variables count as unset.
  testing::ScopedEnv registry("ZIDEVUV10_REGISTRY", "");
  testing::ScopedEnv config("XDG_CONFIG_HOME", "");
  testing::ScopedEnv home("HOME", "");
  const struct passwd* pw = ::getpwuid(::geteuid());
  ASSERT_NE(pw, nullptr);
  EXPECT_EQ(registryPath(), std::string(pw->pw_dir) + "/.config/zidevuv10/registry.ini");

  if (::geteuid() != 0) GTEST_SKIP() << "a user without a home folder needs root to become";
  constexpr uid_t kNobodyKnown = 54321;
  if (::getpwuid(kNobodyKnown) != nullptr) GTEST_SKIP() << "uid 54321 has a password entry here";
  const auto skip = testing::runInChild([&] {
    ASSERT_EQ(::setresgid(kNobodyKnown, kNobodyKnown, kNobodyKnown), 0);
    ASSERT_EQ(::setresuid(kNobodyKnown, kNobodyKnown, kNobodyKnown), 0);
    EXPECT_EQ(registryPath(), "");
    EXPECT_EQ(testing::errorNumber([] { createObject(u"VEZEzoroSibling.clsOrviSiblingThing"); }), 429);
    EXPECT_FALSE(registerLibrary("/lib/zidevuv10.so"));
    EXPECT_FALSE(testing::fileExists("/tmp/zidevuv10/registry.ini"));
  });
  if (skip) GTEST_SKIP() << *skip;
}

// ---------------------------------------------------------------------------
// Registration of this library

TEST_F(registryRecords, RegisterWritesEveryClassAndTheTypeLibrary) {
  const std::string library = "/opt/zidevuv10/lib/zidevuv10.so.1";
  ASSERT_TRUE(registerLibrary(library));

  const auto classes = libraryClasses();
  ASSERT_EQ(classes.size(), 11u);
  for (const ClassInfo* c : classes) {
    const std::string progId = utf8(c->progId());
    const std::string classId = utf8(c->classId);
    SCOPED_TRACE(progId);
    EXPECT_EQ(entry(progId, "ClassId"), "{" + classId + "}");
    EXPECT_EQ(entry(progId, "InterfaceId"), "{" + utf8(c->interfaceId) + "}");
    EXPECT_EQ(entry(progId, "Library"), library);
    EXPECT_EQ(entry("CLSID\\{" + classId + "}", "ProgId"), progId);
    EXPECT_EQ(entry("CLSID\\{" + classId + "}", "Library"), library);
  }
  EXPECT_EQ(entry("VEZEzoro10.clsOrviInifKeyA", "ClassId"), "{fe0d5cb9-6c87-4c71-bc3d-674c09c430f2}");

  const std::string typeLib = "TypeLib\\{cd5c46dc-e09a-4aaa-98c6-27944042ac26}";
  EXPECT_EQ(entry(typeLib, "Name"), "VEZEzoro10");
  EXPECT_EQ(entry(typeLib, "Version"), "1.0");
  EXPECT_EQ(entry(typeLib, "Locale"), "1033");
  EXPECT_EQ(entry(typeLib, "Library"), library);

  // Two sections a class and one for the type library, nothing else.
  EXPECT_EQ(sectionNames().size(), classes.size() * 2 + 1);
}

TEST_F(registryRecords, RegisterNamesTheLoadedLibraryByDefault) {
  ASSERT_FALSE(libraryFile().empty());
  ASSERT_TRUE(registerLibrary());
  EXPECT_EQ(entry("VEZEzoro10.clsOrviInifSectionA", "Library"), libraryFile());
  EXPECT_EQ(entry("TypeLib\\{cd5c46dc-e09a-4aaa-98c6-27944042ac26}", "Library"), libraryFile());
}

TEST_F(registryRecords, RegisterCreatesTheRegistryFolders) {
  const std::string nested = dir_.file("config/zidevuv10/registry.ini");
  testing::ScopedEnv env("ZIDEVUV10_REGISTRY", nested);
  ASSERT_TRUE(registerLibrary("/lib/zidevuv10.so"));
  EXPECT_TRUE(testing::fileExists(nested));
}

TEST_F(registryRecords, RegisterFailsWhenTheRegistryCannotBeWritten) {
  // A folder of the registry's path is a plain file.
  const std::string blocker = dir_.file("blocker");
  testing::writeFile(blocker, "");
  testing::ScopedEnv env("ZIDEVUV10_REGISTRY", blocker + "/registry.ini");
  EXPECT_FALSE(registerLibrary("/lib/zidevuv10.so"));
}

TEST_F(registryRecords, UnregisterRemovesExactlyTheLibrarysRecords) {
  write("Unrelated", "keep", "this");
  registerSibling();
  ASSERT_TRUE(registerLibrary("/lib/zidevuv10.so"));
  ASSERT_GT(sectionNames().size(), 3u);

  ASSERT_TRUE(unregisterLibrary());
  const std::vector<std::string> expected{"Unrelated", kSiblingProgId, kSiblingClassSection};
  EXPECT_EQ(sectionNames(), expected);
  EXPECT_EQ(entry("Unrelated", "keep"), "this");
  EXPECT_EQ(entry(kSiblingProgId, "Library"), kSiblingLibrary);
  EXPECT_EQ(entry(kSiblingClassSection, "ProgId"), kSiblingProgId);
  // A second removal finds nothing more to remove.
  EXPECT_TRUE(unregisterLibrary());
  EXPECT_EQ(sectionNames(), expected);
  // The sibling's registration still works.
  EXPECT_TRUE(createObject(u"VEZEzoroSibling.clsOrviSiblingThing"));
  // The library's own classes are still created without the registry.
  EXPECT_TRUE(createObject(u"VEZEzoro10.clsOrviInifKeyA"));
}

}  // namespace
}  // namespace zidevuv10
