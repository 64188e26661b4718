// The narrow C functions of <zidevuv10/profile.h>: argument conversion only,
// over the profile store installed for the process (services/services.h).
#include "zidevuv10/profile.h"

#include "c_api/c_edge.h"
#include "c_api/read_answer.h"
#include "services/services.h"
#include "store/profile_store.h"

namespace {

using zidevuv10::capi::answerRead;
using zidevuv10::capi::answerWrite;
using zidevuv10::capi::arg;
using zidevuv10::capi::defaultAnswer;
using zidevuv10::capi::entryList;
using zidevuv10::capi::guarded;
using zidevuv10::capi::setLastError;
using zidevuv10::store::Access;
using zidevuv10::store::Answer;
using zidevuv10::store::OptText;
using zidevuv10::store::ProfileStore;
using zidevuv10::store::Status;

std::shared_ptr<ProfileStore> store() { return zidevuv10::services::store(); }

uint32_t getString(const char* section, const char* key, const char* defaultValue, char* buffer,
                   uint32_t size, OptText file) noexcept {
  return answerRead(
      buffer, size,
      [&](Status& status) {
        return store()->readString(arg(section), arg(key), arg(defaultValue), file, status);
      },
      [&](std::span<char> out) noexcept {
        return section ? zidevuv10::store::placeValue(out, defaultAnswer(defaultValue))
                       : zidevuv10::store::placeList(out, {});
      });
}

uint32_t getInt(const char* section, const char* key, int32_t defaultValue, OptText file) noexcept {
  return guarded(
      Access::Read,
      [&] {
        Status status = Status::Ok;
        zidevuv10::store::Found found = zidevuv10::store::Found::All;
        const uint32_t value =
            store()->getInt(arg(section), arg(key), defaultValue, file, status, &found);
        zidevuv10::capi::setReadError(status, found);
        return value;
      },
      [&]() noexcept { return static_cast<uint32_t>(defaultValue); });
}

uint32_t getSection(const char* section, char* buffer, uint32_t size, OptText file) noexcept {
  if (!section) buffer = nullptr;  // an invalid parameter as well
  return answerRead(
      buffer, size, [&](Status& status) { return store()->readSection(arg(section), file, status); },
      [](std::span<char> out) noexcept { return zidevuv10::store::placeEmptyList(out, 2); });
}

}  // namespace

extern "C" {

uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* default_value,
                                  char* buffer, uint32_t size, const char* file) {
  return getString(section, key, default_value, buffer, size, arg(file));
}

uint32_t GetProfileStringA(const char* section, const char* key, const char* default_value,
                           char* buffer, uint32_t size) {
  return getString(section, key, default_value, buffer, size, ProfileStore::kWinIni);
}

uint32_t GetPrivateProfileIntA(const char* section, const char* key, int32_t default_value,
                               const char* file) {
  return getInt(section, key, default_value, arg(file));
}

uint32_t GetProfileIntA(const char* section, const char* key, int32_t default_value) {
  return getInt(section, key, default_value, ProfileStore::kWinIni);
}

uint32_t GetPrivateProfileSectionA(const char* section, char* buffer, uint32_t size,
                                   const char* file) {
  return getSection(section, buffer, size, arg(file));
}

uint32_t GetProfileSectionA(const char* section, char* buffer, uint32_t size) {
  return getSection(section, buffer, size, ProfileStore::kWinIni);
}

uint32_t GetPrivateProfileSectionNamesA(char* buffer, uint32_t size, const char* file) {
  return answerRead(
      buffer, size, [&](Status& status) { return store()->readSectionNames(arg(file), status); },
      [](std::span<char> out) noexcept { return zidevuv10::store::placeList(out, {}); });
}

int32_t WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                   const char* file) {
  return answerWrite([&](Status& status) {
    return store()->writeString(arg(section), arg(key), arg(value), arg(file), status);
  });
}

int32_t WriteProfileStringA(const char* section, const char* key, const char* value) {
  return answerWrite([&](Status& status) {
    return store()->writeString(arg(section), arg(key), arg(value), ProfileStore::kWinIni, status);
  });
}

int32_t WritePrivateProfileSectionA(const char* section, const char* entries, const char* file) {
  return answerWrite([&](Status& status) {
    return store()->writeSection(arg(section), entryList(entries), arg(file), status);
  });
}

int32_t WriteProfileSectionA(const char* section, const char* entries) {
  return answerWrite([&](Status& status) {
    return store()->writeSection(arg(section), entryList(entries), ProfileStore::kWinIni, status);
  });
}

uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) {
  setLastError(zidevuv10::capi::kErrorSuccess);
  return store()->windowsDirectory(zidevuv10::capi::buf(buffer, size));
}

}  // extern "C"
