// The file and module functions of <zidevuv10/winport.h>: Windows' answers
// over the library's path mapping, for settings code that looks for its
// files beside the program.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "c_api/c_edge.h"
#include "paths/drives.h"
#include "paths/host_path.h"
#include "paths/path_map.h"
#include "services/services.h"
#include "store/answers.h"
#include "text/utf8.h"
#include "zidevuv10/winport.h"

namespace {

using zidevuv10::capi::setLastError;

constexpr uint32_t kErrorInsufficientBuffer = 122;
constexpr uint32_t kErrorModNotFound = 126;
constexpr uint32_t kErrorAlreadyExists = 183;

// The program's module: any fixed address stands for it.
char programModule;
HMODULE program() { return reinterpret_cast<HMODULE>(&programModule); }

std::optional<std::string> narrow(const char* s) {
  if (!s) return std::nullopt;
  return std::string(s);
}
std::optional<std::string> narrow(const char16_t* s) {
  if (!s) return std::nullopt;
  return zidevuv10::text::utf16ToUtf8(s);
}

// The host path a Windows or host path names; nullopt (last error 3) when
// it names none.
std::optional<std::string> hostPath(const std::optional<std::string>& path) {
  if (path) {
    if (const auto host = zidevuv10::paths::resolvePath(*zidevuv10::services::fileSystem(), *path)) {
      return host->path;
    }
  }
  setLastError(zidevuv10::capi::kErrorPathNotFound);
  return std::nullopt;
}

// Windows' code for a failed lookup: 2 when the folder on the way exists.
uint32_t missingCode(int error) {
  return error == -ENOENT ? zidevuv10::capi::kErrorFileNotFound
                          : zidevuv10::capi::windowsCode(
                                zidevuv10::store::statusOfErrno(error, zidevuv10::store::Access::Read));
}

uint32_t fileAttributes(const std::optional<std::string>& path) {
  const auto host = hostPath(path);
  if (!host) return INVALID_FILE_ATTRIBUTES;
  struct stat st {};
  if (const int rc = zidevuv10::services::fileSystem()->stat(*host, st); rc != 0) {
    // ENOTDIR or a missing folder on the way: no such path.
    struct stat parent {};
    const bool folderThere =
        rc == -ENOENT &&
        zidevuv10::services::fileSystem()->stat(zidevuv10::paths::folderOf(*host), parent) == 0;
    setLastError(folderThere || rc != -ENOENT ? missingCode(rc)
                                              : zidevuv10::capi::kErrorPathNotFound);
    return INVALID_FILE_ATTRIBUTES;
  }
  if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  return ::access(host->c_str(), W_OK) == 0 ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

int32_t createDirectory(const std::optional<std::string>& path) {
  const auto host = hostPath(path);
  if (!host) return 0;
  const int rc = zidevuv10::services::fileSystem()->mkdir(*host, 0777);
  if (rc == 0) {
    setLastError(zidevuv10::capi::kErrorSuccess);
    return 1;
  }
  setLastError(rc == -EEXIST   ? kErrorAlreadyExists
               : rc == -ENOENT ? zidevuv10::capi::kErrorPathNotFound
                               : zidevuv10::capi::windowsCode(zidevuv10::store::statusOfErrno(
                                     rc, zidevuv10::store::Access::Write)));
  return 0;
}

HMODULE moduleHandle(bool named) {
  if (named) {
    setLastError(kErrorModNotFound);
    return nullptr;
  }
  return program();
}

// The program's path in Windows form, or nullopt (last error set).
std::optional<std::string> programPath(HMODULE module) {
  if (module != nullptr && module != program()) {
    setLastError(kErrorModNotFound);
    return std::nullopt;
  }
  std::string self;
  if (const int rc = zidevuv10::services::fileSystem()->readlink("/proc/self/exe", self); rc != 0) {
    setLastError(zidevuv10::capi::kErrorFileNotFound);
    return std::nullopt;
  }
  return zidevuv10::paths::toWindowsForm(self);
}

// Windows' answer for a module path placed in a buffer of `size` units.
template <typename Unit>
uint32_t placeModulePath(std::basic_string_view<Unit> path, Unit* buffer, uint32_t size) {
  if (!buffer || size == 0) {
    setLastError(kErrorInsufficientBuffer);
    return 0;
  }
  if (path.size() < size) {
    return zidevuv10::store::placeValue(std::span<Unit>(buffer, size), path);
  }
  // Cut to size-1 units; the answer is the buffer's size.
  zidevuv10::store::placeValue(std::span<Unit>(buffer, size), path);
  setLastError(kErrorInsufficientBuffer);
  return size;
}

}  // namespace

extern "C" {

uint32_t GetFileAttributesA(const char* path) {
  return zidevuv10::capi::guarded(
      zidevuv10::store::Access::Read, [&] { return fileAttributes(narrow(path)); },
      []() noexcept { return uint32_t{INVALID_FILE_ATTRIBUTES}; });
}

uint32_t GetFileAttributesW(const char16_t* path) {
  return zidevuv10::capi::guarded(
      zidevuv10::store::Access::Read, [&] { return fileAttributes(narrow(path)); },
      []() noexcept { return uint32_t{INVALID_FILE_ATTRIBUTES}; });
}

int32_t CreateDirectoryA(const char* path, void*) {
  return zidevuv10::capi::guarded(
      zidevuv10::store::Access::Write, [&] { return createDirectory(narrow(path)); },
      []() noexcept { return int32_t{0}; });
}

int32_t CreateDirectoryW(const char16_t* path, void*) {
  return zidevuv10::capi::guarded(
      zidevuv10::store::Access::Write, [&] { return createDirectory(narrow(path)); },
      []() noexcept { return int32_t{0}; });
}

HMODULE GetModuleHandleA(const char* name) { return moduleHandle(name != nullptr); }

HMODULE GetModuleHandleW(const char16_t* name) { return moduleHandle(name != nullptr); }

uint32_t GetModuleFileNameA(HMODULE module, char* buffer, uint32_t size) {
  return zidevuv10::capi::guarded(
      zidevuv10::store::Access::Read,
      [&]() -> uint32_t {
        const auto path = programPath(module);
        if (!path) return 0;
        return placeModulePath(std::string_view(*path), buffer, size);
      },
      []() noexcept { return uint32_t{0}; });
}

uint32_t GetModuleFileNameW(HMODULE module, char16_t* buffer, uint32_t size) {
  return zidevuv10::capi::guarded(
      zidevuv10::store::Access::Read,
      [&]() -> uint32_t {
        const auto path = programPath(module);
        if (!path) return 0;
        const std::u16string wide = zidevuv10::text::utf8ToUtf16(*path);
        return placeModulePath(std::u16string_view(wide), buffer, size);
      },
      []() noexcept { return uint32_t{0}; });
}

}  // extern "C"
