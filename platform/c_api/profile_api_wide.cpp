// The wide C functions of <zidevuv10/profile.h>: UTF-16 arguments converted
// to the store's UTF-8, answers converted back and placed in UTF-16 units.
// Names and values to be written must be valid UTF-16; read arguments with
// an unpaired surrogate stand for U+FFFD there.
#include <optional>
#include <string>
#include <utility>

#include "c_api/c_edge.h"
#include "c_api/read_answer.h"
#include "services/services.h"
#include "store/profile_store.h"
#include "text/utf16.h"
#include "text/utf8.h"
#include "zidevuv10/profile.h"

namespace {

using zidevuv10::capi::answerRead;
using zidevuv10::capi::answerWrite;
using zidevuv10::capi::arg;
using zidevuv10::capi::defaultAnswer;
using zidevuv10::capi::entryList;
using zidevuv10::capi::guarded;
using zidevuv10::capi::setLastError;
using zidevuv10::store::Access;
using zidevuv10::store::OptText;
using zidevuv10::store::ProfileStore;
using zidevuv10::store::Status;

using OptWide = std::optional<std::u16string_view>;

std::shared_ptr<ProfileStore> store() { return zidevuv10::services::store(); }

// A read argument in UTF-8. Converted inside the guarded call (conversion
// may throw) into an object that outlives it, as the answer may point into it.
class ReadArg {
 public:
  OptText convert(const char16_t* w) {
    if (!w) return std::nullopt;
    text_ = zidevuv10::text::utf16ToUtf8(w);
    return *text_;
  }

 private:
  std::optional<std::string> text_;
};

// A write argument in UTF-8; invalid when the UTF-16 holds an unpaired surrogate.
class WriteArg {
 public:
  template <typename Char>
  explicit WriteArg(std::optional<std::basic_string_view<Char>> w) {
    if (!w) return;
    std::optional<std::string> utf8 = zidevuv10::text::validUtf16ToUtf8(*w);
    valid_ = present_ = utf8.has_value();
    if (utf8) text_ = std::move(*utf8);
  }
  explicit WriteArg(const char16_t* w) : WriteArg(arg(w)) {}
  bool valid() const { return valid_; }
  OptText view() const { return present_ ? OptText(text_) : std::nullopt; }

 private:
  // A plain string and a flag rather than an optional string: GCC 12 at -O3
  // warns, wrongly, that an absent optional's string may be used uninitialised.
  std::string text_;
  bool present_ = false;
  bool valid_ = true;
};

// The file a wide function names: WIN.INI for the Profile forms (null).
struct FileArg {
  const char16_t* name;
  bool winIni;
};
FileArg privateFile(const char16_t* name) { return {name, false}; }
constexpr FileArg kWinIniFile{nullptr, true};

OptText fileName(ReadArg& holder, FileArg f) {
  return f.winIni ? OptText(ProfileStore::kWinIni) : holder.convert(f.name);
}

uint32_t getString(const char16_t* section, const char16_t* key, const char16_t* defaultValue,
                   char16_t* buffer, uint32_t size, FileArg file) noexcept {
  ReadArg s, k, d, f;
  return answerRead(
      buffer, size,
      [&](Status& status) {
        return store()->readString(s.convert(section), k.convert(key), d.convert(defaultValue),
                                  fileName(f, file), status);
      },
      [&](std::span<char16_t> out) noexcept {
        return section ? zidevuv10::store::placeValue(out, defaultAnswer(defaultValue))
                       : zidevuv10::store::placeList(out, std::u16string_view());
      });
}

uint32_t getInt(const char16_t* section, const char16_t* key, int32_t defaultValue,
                FileArg file) noexcept {
  return guarded(
      Access::Read,
      [&] {
        ReadArg s, k, f;
        Status status = Status::Ok;
        zidevuv10::store::Found found = zidevuv10::store::Found::All;
        const uint32_t value = store()->getInt(s.convert(section), k.convert(key), defaultValue,
                                              fileName(f, file), status, &found);
        zidevuv10::capi::setReadError(status, found);
        return value;
      },
      [&]() noexcept { return static_cast<uint32_t>(defaultValue); });
}

uint32_t getSection(const char16_t* section, char16_t* buffer, uint32_t size,
                    FileArg file) noexcept {
  if (!section) buffer = nullptr;  // an invalid parameter as well
  ReadArg s, f;
  return answerRead(
      buffer, size,
      [&](Status& status) {
        return store()->readSection(s.convert(section), fileName(f, file), status);
      },
      [](std::span<char16_t> out) noexcept { return zidevuv10::store::placeEmptyList(out, 2); });
}

// A write whose UTF-16 arguments are all valid; otherwise the write is
// refused and changes nothing.
template <typename Write>
int32_t writeWide(std::initializer_list<const WriteArg*> args, Write&& body, Status& status) {
  for (const WriteArg* a : args) {
    if (!a->valid()) {
      status = Status::InvalidText;
      return 0;
    }
  }
  return body();
}

int32_t writeString(const char16_t* section, const char16_t* key, const char16_t* value,
                    FileArg file) noexcept {
  return answerWrite([&](Status& status) {
    const WriteArg s(section), k(key), v(value), f(file.name);
    return writeWide({&s, &k, &v, &f}, [&] {
      const OptText name = file.winIni ? OptText(ProfileStore::kWinIni) : f.view();
      return store()->writeString(s.view(), k.view(), v.view(), name, status);
    }, status);
  });
}

int32_t writeSection(const char16_t* section, const char16_t* entries, FileArg file) noexcept {
  return answerWrite([&](Status& status) {
    const WriteArg s(section), e(entryList(entries)), f(file.name);
    return writeWide({&s, &e, &f}, [&] {
      const OptText name = file.winIni ? OptText(ProfileStore::kWinIni) : f.view();
      return store()->writeSection(s.view(), e.view(), name, status);
    }, status);
  });
}

}  // namespace

extern "C" {

uint32_t GetPrivateProfileStringW(const char16_t* section, const char16_t* key,
                                  const char16_t* default_value, char16_t* buffer, uint32_t size,
                                  const char16_t* file) {
  return getString(section, key, default_value, buffer, size, privateFile(file));
}

uint32_t GetProfileStringW(const char16_t* section, const char16_t* key,
                           const char16_t* default_value, char16_t* buffer, uint32_t size) {
  return getString(section, key, default_value, buffer, size, kWinIniFile);
}

uint32_t GetPrivateProfileIntW(const char16_t* section, const char16_t* key,
                               int32_t default_value, const char16_t* file) {
  return getInt(section, key, default_value, privateFile(file));
}

uint32_t GetProfileIntW(const char16_t* section, const char16_t* key, int32_t default_value) {
  return getInt(section, key, default_value, kWinIniFile);
}

uint32_t GetPrivateProfileSectionW(const char16_t* section, char16_t* buffer, uint32_t size,
                                   const char16_t* file) {
  return getSection(section, buffer, size, privateFile(file));
}

uint32_t GetProfileSectionW(const char16_t* section, char16_t* buffer, uint32_t size) {
  return getSection(section, buffer, size, kWinIniFile);
}

uint32_t GetPrivateProfileSectionNamesW(char16_t* buffer, uint32_t size, const char16_t* file) {
  ReadArg f;
  return answerRead(
      buffer, size,
      [&](Status& status) { return store()->readSectionNames(f.convert(file), status); },
      [](std::span<char16_t> out) noexcept {
        return zidevuv10::store::placeList(out, std::u16string_view());
      });
}

int32_t WritePrivateProfileStringW(const char16_t* section, const char16_t* key,
                                   const char16_t* value, const char16_t* file) {
  return writeString(section, key, value, privateFile(file));
}

int32_t WriteProfileStringW(const char16_t* section, const char16_t* key, const char16_t* value) {
  return writeString(section, key, value, kWinIniFile);
}

int32_t WritePrivateProfileSectionW(const char16_t* section, const char16_t* entries,
                                    const char16_t* file) {
  return writeSection(section, entries, privateFile(file));
}

int32_t WriteProfileSectionW(const char16_t* section, const char16_t* entries) {
  return writeSection(section, entries, kWinIniFile);
}

uint32_t GetWindowsDirectoryW(char16_t* buffer, uint32_t size) {
  return guarded(
      Access::Read,
      [&] {
        char narrow[64];
        const uint32_t n = store()->windowsDirectory(narrow);
        const std::u16string dir = zidevuv10::text::utf8ToUtf16(std::string_view(narrow, n));
        setLastError(zidevuv10::capi::kErrorSuccess);
        if (!buffer || size <= dir.size()) return static_cast<uint32_t>(dir.size() + 1);
        return zidevuv10::store::placeValue(std::span<char16_t>(buffer, size), dir);
      },
      []() noexcept { return uint32_t{0}; });
}

}  // extern "C"
