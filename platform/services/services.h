// The one place that provides the process's file system and the profile
// store over it. The C functions, the classes, the registry and the runtime
// take them from here instead of building or reaching for their own, so
// that everything the library does goes through one FileSystem: the real
// one by default, or one a test puts in place (a fault-injecting one, say)
// for the whole process or for a scope. Each store made here takes the line
// end of new and empty files from the environment (ZIDEVUV10_NEWLINE=crlf
// for CRLF, else LF) when it is made.
//
// Thread safety: every function may be called from any thread at once.
// A caller holds what it was given for as long as it uses it, so a
// replacement never pulls a store or file system from under a call still
// running; calls begun after the replacement see the new ones. Fork safety:
// the guarding mutex is a ForkSafeMutex, so a forked child finds it free.
#pragma once

#include <memory>

#include "fs/file_system.h"
#include "store/profile_store.h"

namespace zidevuv10::services {

struct Services {
  std::shared_ptr<fs::FileSystem> fileSystem;
  std::shared_ptr<store::ProfileStore> store;  // over fileSystem, with a cache of its own
};

// The line end of new and empty files the environment asks for: CRLF,
// Windows' bytes, with ZIDEVUV10_NEWLINE=crlf (in any case), else LF.
store::NewFileLineEnd newFileLineEnd();

// The function the stores made here call when a read or write names a file
// by a bare name (see store::BareNameSeen); empty for none. Setting it puts
// in a new store with it over the installed file system; answers the
// function set before.
store::BareNameSeen setBareNameSeen(store::BareNameSeen seen);

// What is installed now (at first the POSIX file system and a store over it).
std::shared_ptr<fs::FileSystem> fileSystem();
std::shared_ptr<store::ProfileStore> store();

// Installs `fileSystem` (which must not be null) and a new store over it
// for the whole process; answers the services it replaced.
Services install(std::shared_ptr<fs::FileSystem> fileSystem);
// Puts back services an install answered.
void restore(Services previous);

// Installs a file system for the lifetime of the object, then puts back
// what was installed before.
class ScopedFileSystem {
 public:
  explicit ScopedFileSystem(std::shared_ptr<fs::FileSystem> fileSystem)
      : previous_(install(std::move(fileSystem))) {}
  ~ScopedFileSystem() { restore(std::move(previous_)); }
  ScopedFileSystem(const ScopedFileSystem&) = delete;
  ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

 private:
  Services previous_;
};

}  // namespace zidevuv10::services
