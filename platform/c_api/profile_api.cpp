// The C functions of <zidevuv10/profile.h>: argument conversion only, over
// the shared profile store.
#include "zidevuv10/profile.h"

#include <cstring>

#include "store/profile_store.h"

namespace {

using zidevuv10::store::OptText;
using zidevuv10::store::ProfileStore;

OptText arg(const char* s) { return s ? OptText(s) : std::nullopt; }

std::span<char> buf(char* buffer, uint32_t size) {
  return buffer ? std::span<char>(buffer, size) : std::span<char>();
}

// An entry list runs to its empty item (two NULs in a row).
OptText entryList(const char* entries) {
  if (!entries) return std::nullopt;
  std::size_t n = 0;
  while (entries[n] != '\0') n += std::strlen(entries + n) + 1;
  return std::string_view(entries, n);
}

ProfileStore& store() { return ProfileStore::shared(); }

}  // namespace

extern "C" {

uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* default_value,
                                  char* buffer, uint32_t size, const char* file) {
  return store().getString(arg(section), arg(key), arg(default_value), buf(buffer, size),
                           arg(file));
}

uint32_t GetProfileStringA(const char* section, const char* key, const char* default_value,
                           char* buffer, uint32_t size) {
  return store().getString(arg(section), arg(key), arg(default_value), buf(buffer, size),
                           ProfileStore::kWinIni);
}

uint32_t GetPrivateProfileIntA(const char* section, const char* key, int32_t default_value,
                               const char* file) {
  return store().getInt(arg(section), arg(key), default_value, arg(file));
}

uint32_t GetProfileIntA(const char* section, const char* key, int32_t default_value) {
  return store().getInt(arg(section), arg(key), default_value, ProfileStore::kWinIni);
}

uint32_t GetPrivateProfileSectionA(const char* section, char* buffer, uint32_t size,
                                   const char* file) {
  return store().getSection(arg(section), buf(buffer, size), arg(file));
}

uint32_t GetProfileSectionA(const char* section, char* buffer, uint32_t size) {
  return store().getSection(arg(section), buf(buffer, size), ProfileStore::kWinIni);
}

uint32_t GetPrivateProfileSectionNamesA(char* buffer, uint32_t size, const char* file) {
  return store().getSectionNames(buf(buffer, size), arg(file));
}

int32_t WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                   const char* file) {
  return store().writeString(arg(section), arg(key), arg(value), arg(file));
}

int32_t WriteProfileStringA(const char* section, const char* key, const char* value) {
  return store().writeString(arg(section), arg(key), arg(value), ProfileStore::kWinIni);
}

int32_t WritePrivateProfileSectionA(const char* section, const char* entries, const char* file) {
  return store().writeSection(arg(section), entryList(entries), arg(file));
}

int32_t WriteProfileSectionA(const char* section, const char* entries) {
  return store().writeSection(arg(section), entryList(entries), ProfileStore::kWinIni);
}

uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) {
  return store().windowsDirectory(buf(buffer, size));
}

}  // extern "C"
