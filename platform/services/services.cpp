#include "services/services.h"

#include <strings.h>

#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <utility>

#include "sync/fork_safe_mutex.h"

namespace zidevuv10::services {

namespace {

Services over(std::shared_ptr<fs::FileSystem> fileSystem, store::BareNameSeen bareNameSeen) {
  auto profileStore =
      std::make_shared<store::ProfileStore>(fileSystem, newFileLineEnd(), std::move(bareNameSeen));
  return {std::move(fileSystem), std::move(profileStore)};
}

struct Installed {
  sync::ForkSafeMutex mutex;
  Services services;
  store::BareNameSeen bareNameSeen;

  static Installed& instance() {
    static Installed* const installed = [] {
      auto* i = new Installed;  // never destroyed: the library may be called during exit
      i->services = over(fs::posixFileSystem(), {});
      return i;
    }();
    return *installed;
  }
};

}  // namespace

store::NewFileLineEnd newFileLineEnd() {
  const char* chosen = std::getenv("ZIDEVUV10_NEWLINE");
  return chosen != nullptr && strcasecmp(chosen, "crlf") == 0 ? store::NewFileLineEnd::CrLf
                                                             : store::NewFileLineEnd::Lf;
}

std::shared_ptr<fs::FileSystem> fileSystem() {
  Installed& i = Installed::instance();
  std::lock_guard<sync::ForkSafeMutex> lock(i.mutex);
  return i.services.fileSystem;
}

std::shared_ptr<store::ProfileStore> store() {
  Installed& i = Installed::instance();
  std::lock_guard<sync::ForkSafeMutex> lock(i.mutex);
  return i.services.store;
}

Services install(std::shared_ptr<fs::FileSystem> fileSystem) {
  if (!fileSystem) throw std::invalid_argument("services::install: no file system");
  Installed& i = Installed::instance();
  std::lock_guard<sync::ForkSafeMutex> lock(i.mutex);
  Services next = over(std::move(fileSystem), i.bareNameSeen);
  return std::exchange(i.services, std::move(next));
}

store::BareNameSeen setBareNameSeen(store::BareNameSeen seen) {
  Installed& i = Installed::instance();
  Services replaced;
  store::BareNameSeen previous;
  {
    std::lock_guard<sync::ForkSafeMutex> lock(i.mutex);
    previous = std::exchange(i.bareNameSeen, seen);
    replaced = std::exchange(i.services, over(i.services.fileSystem, std::move(seen)));
  }
  return previous;
}

void restore(Services previous) {
  if (!previous.fileSystem || !previous.store) {
    throw std::invalid_argument("services::restore: incomplete services");
  }
  Installed& i = Installed::instance();
  // The replaced services are released outside the lock: the last hold of
  // a store frees its cache there.
  Services replaced;
  {
    std::lock_guard<sync::ForkSafeMutex> lock(i.mutex);
    replaced = std::exchange(i.services, std::move(previous));
  }
}

}  // namespace zidevuv10::services
