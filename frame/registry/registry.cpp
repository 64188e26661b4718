// The component registry (an INI file kept through the profile store) and
// creation of classes by name, here or in other registered libraries.
#include <dlfcn.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <vector>

#include "automation/member_guard.h"
#include "catalogue/catalogue.h"
#include "registry/trusted_path.h"
#include "services/services.h"
#include "store/answers.h"
#include "store/document.h"
#include "store/profile_store.h"
#include "zidevuv10/error.h"
#include "zidevuv10/library.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10 {

namespace {

using store::ProfileStore;

std::string utf8(std::u16string_view s) { return Text(std::u16string(s)).utf8(); }

// Registry files are small; a larger one is ignored rather than read whole.
constexpr std::size_t kMaxRegistrySize = 16u << 20;

// The registry as read from the trusted file by its exact name; nullptr when
// there is none, or when it is ignored (its reason printed once).
std::shared_ptr<const store::Document> readRegistry() {
  const std::string path = registryPath();
  if (path.empty()) return nullptr;
  frame::TrustedFile file = frame::TrustedFile::open(path);
  std::string bytes;
  if (file.found() && file.readAll(bytes, kMaxRegistrySize)) return store::Document::parse(std::move(bytes));
  if (!file.reason().empty()) frame::warnOnce("the component registry", path, file.reason());
  return nullptr;
}

std::string readEntry(const store::Document& registry, const std::string& section, std::string_view key) {
  const int s = registry.findSection(section);
  const std::optional<store::Line> line = s < 0 ? std::nullopt : registry.findKey(s, key);
  return line ? std::string(store::stripQuotes(registry.value(*line))) : std::string();
}

bool writeEntry(const std::string& registry, const std::string& section, const char* key,
                const std::string& value) {
  return services::store()->writeString(section, std::string_view(key), value, registry) != 0;
}

bool deleteSection(const std::string& registry, const std::string& section) {
  return services::store()->writeString(section, std::nullopt, std::nullopt, registry) != 0;
}

// A registration is on disk when it reports success (a write alone is
// atomic, and durable only once its folder is synced).
bool syncRegistry(const std::string& registry) {
  store::Status status = store::Status::Ok;
  return services::store()->sync(registry, status) != 0;
}

std::string progIdSection(const ClassInfo& c) { return utf8(c.progId()); }
std::string classIdSection(std::u16string_view id) { return "CLSID\\{" + utf8(id) + "}"; }
std::string typeLibSection() { return "TypeLib\\{" + utf8(typeLibrary().id) + "}"; }

// Creates the folders down to the registry file and the file itself, none
// of them writable by others (whatever the umask), so that the registry
// passes its own trust check.
bool makeRegistryFile(const std::string& file) {
  for (std::size_t i = 1; i < file.size(); ++i) {
    if (file[i] == '/') {
      if (::mkdir(file.substr(0, i).c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
  }
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd >= 0) return ::close(fd) == 0;
  return errno == EEXIST;
}

// The registry file to write, with every link resolved, when it may be
// trusted (an untrusted one is ignored, its reason printed once); `create`
// makes it and its folders when missing.
std::optional<std::string> registryToWrite(bool create) {
  const std::string path = registryPath();
  if (path.empty()) return std::nullopt;
  frame::TrustedFile file = frame::TrustedFile::open(path);
  if (file.missing() && create) {
    if (!makeRegistryFile(path)) return std::nullopt;
    return registryToWrite(false);
  }
  if (file.missing()) return std::nullopt;
  if (!file.found()) {
    frame::warnOnce("the component registry", path, file.reason());
    return std::nullopt;
  }
  return file.resolved();
}

// Asks a registered library for an object of the class.
ObjectRef createRegistered(std::u16string_view name) {
  const std::shared_ptr<const store::Document> registry = readRegistry();
  if (!registry) return {};
  std::u16string classId = frame::normaliseClassId(name);
  std::string library;
  if (classId.empty()) {
    const std::string section = utf8(name);
    classId = frame::normaliseClassId(Text::fromUtf8(readEntry(*registry, section, "ClassId")).str());
    library = readEntry(*registry, section, "Library");
  } else {
    library = readEntry(*registry, classIdSection(classId), "Library");
  }
  if (classId.empty() || library.empty()) return {};
  // A relative path would load whatever lies in the current folder.
  if (library[0] != '/') {
    frame::warnOnce("the registered library", library, "its path is not absolute");
    return {};
  }
  // The library file and its folders pass the same trust rules as the
  // registry. dlopen then opens the checked path again, with every link
  // resolved: no one but the caller or root can have changed what it names,
  // as every folder on it is writable by no one else (or sticky, with the
  // entry owned by the caller or root). dlopen hands back the same handle
  // for a library already loaded.
  const frame::TrustedFile file = frame::TrustedFile::open(library);
  if (!file.found()) {
    if (!file.missing()) frame::warnOnce("the registered library", library, file.reason());
    return {};
  }
  void* handle = ::dlopen(file.resolved().c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return {};
  auto factory = reinterpret_cast<Zidevuv10Factory>(::dlsym(handle, "zidevuv10_create_object"));
  if (factory == nullptr) return {};
  Object* created = factory(classId.c_str());
  if (created == nullptr) return {};
  ObjectRef ref(created);
  created->release();  // the factory's reference is now the Ref's
  return ref;
}

// $HOME, or the caller's home folder in the password database when HOME is
// unset or not absolute; empty when neither names one.
std::string homeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') return home;
  std::vector<char> buffer(16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  int rc = 0;
  while ((rc = ::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found)) == ERANGE) {
    buffer.resize(buffer.size() * 2);
  }
  if (rc != 0 || found == nullptr || entry.pw_dir == nullptr || entry.pw_dir[0] != '/') return {};
  return entry.pw_dir;
}

}  // namespace

std::string registryPath() {
  if (const char* env = std::getenv("ZIDEVUV10_REGISTRY"); env != nullptr && *env != '\0') {
    return env;
  }
  std::string config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
    config = xdg;
  } else if (const std::string home = homeFolder(); !home.empty()) {
    config = home + "/.config";
  } else {
    return {};  // no home folder: no registry, rather than one in a shared folder
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
  try {
    if (const frame::ClassEntry* entry = frame::findClass(name)) return entry->create();
    if (ObjectRef registered = createRegistered(name)) return registered;
  } catch (...) {
    frame::raiseForCurrentException(kLibrarySource);
  }
  raiseError(err::kCannotCreateObject);
}

bool registerLibrary(const std::optional<std::string>& file) {
  const std::string library = file.value_or(libraryFile());
  // Only absolute paths are recorded: loading refuses any other.
  if (library.empty() || library[0] != '/') return false;
  const std::optional<std::string> registry = registryToWrite(true);
  if (!registry) return false;
  bool ok = true;
  for (const ClassInfo* c : libraryClasses()) {
    const std::string classId = "{" + utf8(c->classId) + "}";
    ok = ok && writeEntry(*registry, progIdSection(*c), "ClassId", classId);
    ok = ok && writeEntry(*registry, progIdSection(*c), "InterfaceId", "{" + utf8(c->interfaceId) + "}");
    ok = ok && writeEntry(*registry, progIdSection(*c), "Library", library);
    ok = ok && writeEntry(*registry, classIdSection(c->classId), "ProgId", progIdSection(*c));
    ok = ok && writeEntry(*registry, classIdSection(c->classId), "Library", library);
  }
  const TypeLibraryInfo& lib = typeLibrary();
  ok = ok && writeEntry(*registry, typeLibSection(), "Name", utf8(lib.name));
  ok = ok && writeEntry(*registry, typeLibSection(), "Version",
                        std::to_string(lib.majorVersion) + "." + std::to_string(lib.minorVersion));
  ok = ok && writeEntry(*registry, typeLibSection(), "Locale", std::to_string(lib.locale));
  ok = ok && writeEntry(*registry, typeLibSection(), "Library", library);
  return ok && syncRegistry(*registry);
}

bool unregisterLibrary() {
  // Without a registry file nothing is recorded, so nothing is left to remove.
  if (const std::string path = registryPath(); !path.empty() && frame::TrustedFile::open(path).missing()) {
    return true;
  }
  const std::optional<std::string> registry = registryToWrite(false);
  if (!registry) return false;
  bool ok = true;
  for (const ClassInfo* c : libraryClasses()) {
    ok = deleteSection(*registry, progIdSection(*c)) && ok;
    ok = deleteSection(*registry, classIdSection(c->classId)) && ok;
  }
  ok = deleteSection(*registry, typeLibSection()) && ok;
  return ok && syncRegistry(*registry);
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
