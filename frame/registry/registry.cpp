// The component registry (an INI file kept through the profile store) and
// creation of classes by name, here or in other registered libraries.
#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "catalogue/catalogue.h"
#include "store/profile_store.h"
#include "zidevuv10/error.h"
#include "zidevuv10/library.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10 {

namespace {

using store::ProfileStore;

std::string utf8(std::u16string_view s) { return Text(std::u16string(s)).utf8(); }

std::string readEntry(const std::string& section, const char* key) {
  char buffer[4096];
  ProfileStore::shared().getString(section, std::string_view(key), "", buffer, registryPath());
  return buffer;
}

bool writeEntry(const std::string& section, const char* key, const std::string& value) {
  return ProfileStore::shared().writeString(section, std::string_view(key), value,
                                            registryPath()) != 0;
}

bool deleteSection(const std::string& section) {
  return ProfileStore::shared().writeString(section, std::nullopt, std::nullopt, registryPath()) !=
         0;
}

std::string progIdSection(const ClassInfo& c) { return utf8(c.progId()); }
std::string classIdSection(std::u16string_view id) { return "CLSID\\{" + utf8(id) + "}"; }
std::string typeLibSection() { return "TypeLib\\{" + utf8(typeLibrary().id) + "}"; }

// Creates folders down to the registry file's folder.
bool makeFolders(const std::string& file) {
  for (std::size_t i = 1; i < file.size(); ++i) {
    if (file[i] == '/') {
      if (::mkdir(file.substr(0, i).c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
  }
  return true;
}

// Asks a registered library for an object of the class.
ObjectRef createRegistered(std::u16string_view name) {
  std::u16string classId = frame::normaliseClassId(name);
  std::string library;
  if (classId.empty()) {
    const std::string section = utf8(name);
    classId = frame::normaliseClassId(Text::fromUtf8(readEntry(section, "ClassId")).str());
    library = readEntry(section, "Library");
  } else {
    library = readEntry(classIdSection(classId), "Library");
  }
  if (classId.empty() || library.empty()) return {};
  // dlopen hands back the same handle for a library already loaded.
  void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return {};
  auto factory = reinterpret_cast<Zidevuv10Factory>(::dlsym(handle, "zidevuv10_create_object"));
  if (factory == nullptr) return {};
  Object* created = factory(classId.c_str());
  if (created == nullptr) return {};
  ObjectRef ref(created);
  created->release();  // the factory's reference is now the Ref's
  return ref;
}

}  // namespace

std::string registryPath() {
  if (const char* env = std::getenv("ZIDEVUV10_REGISTRY"); env != nullptr && *env != '\0') {
    return env;
  }
  std::string config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
    config = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    config = std::string(home) + "/.config";
  } else {
    config = "/tmp";
  }
  return config + "/zidevuv10/registry.ini";
}

std::string libraryFile() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&zidevuv10_create_object), &info) == 0 ||
      info.dli_fname == nullptr) {
    return {};
  }
  char* real = ::realpath(info.dli_fname, nullptr);
  std::string out = real ? real : info.dli_fname;
  std::free(real);
  return out;
}

ObjectRef createObject(std::u16string_view name) {
  if (const frame::ClassEntry* entry = frame::findClass(name)) return entry->create();
  if (ObjectRef registered = createRegistered(name)) return registered;
  raiseError(err::kCannotCreateObject);
}

bool registerLibrary(const std::optional<std::string>& file) {
  const std::string library = file.value_or(libraryFile());
  if (library.empty() || !makeFolders(registryPath())) return false;
  bool ok = true;
  for (const ClassInfo* c : libraryClasses()) {
    const std::string classId = "{" + utf8(c->classId) + "}";
    ok = ok && writeEntry(progIdSection(*c), "ClassId", classId);
    ok = ok && writeEntry(progIdSection(*c), "InterfaceId", "{" + utf8(c->interfaceId) + "}");
    ok = ok && writeEntry(progIdSection(*c), "Library", library);
    ok = ok && writeEntry(classIdSection(c->classId), "ProgId", progIdSection(*c));
    ok = ok && writeEntry(classIdSection(c->classId), "Library", library);
  }
  const TypeLibraryInfo& lib = typeLibrary();
  ok = ok && writeEntry(typeLibSection(), "Name", utf8(lib.name));
  ok = ok && writeEntry(typeLibSection(), "Version",
                        std::to_string(lib.majorVersion) + "." + std::to_string(lib.minorVersion));
  ok = ok && writeEntry(typeLibSection(), "Locale", std::to_string(lib.locale));
  ok = ok && writeEntry(typeLibSection(), "Library", library);
  return ok;
}

bool unregisterLibrary() {
  bool ok = true;
  for (const ClassInfo* c : libraryClasses()) {
    ok = deleteSection(progIdSection(*c)) && ok;
    ok = deleteSection(classIdSection(c->classId)) && ok;
  }
  return deleteSection(typeLibSection()) && ok;
}

}  // namespace zidevuv10

extern "C" zidevuv10::Object* zidevuv10_create_object(const char16_t* classId) {
  if (classId == nullptr) return nullptr;
  const zidevuv10::frame::ClassEntry* entry = zidevuv10::frame::findClass(classId);
  if (entry == nullptr) return nullptr;
  zidevuv10::ObjectRef object = entry->create();
  zidevuv10::Object* raw = object.get();
  raw->addRef();  // handed over to the caller
  return raw;
}
