// The Struct C functions of <zidevuv10/profile.h>: a structure's bytes
// stored as hexadecimal text with a checksum, in narrow and wide forms.
#include <optional>
#include <span>
#include <string>

#include "c_api/c_edge.h"
#include "services/services.h"
#include "store/profile_store.h"
#include "text/utf16.h"
#include "text/utf8.h"
#include "zidevuv10/profile.h"

namespace {

using zidevuv10::capi::answerWrite;
using zidevuv10::capi::arg;
using zidevuv10::capi::guarded;
using zidevuv10::capi::setLastError;
using zidevuv10::store::Access;
using zidevuv10::store::OptText;
using zidevuv10::store::ProfileStore;
using zidevuv10::store::Status;

std::shared_ptr<ProfileStore> store() { return zidevuv10::services::store(); }

std::span<uint8_t> bytesOf(void* data, uint32_t size) {
  return std::span<uint8_t>(static_cast<uint8_t*>(data), size);
}

std::optional<std::span<const uint8_t>> bytesOf(const void* data, uint32_t size) {
  if (!data) return std::nullopt;
  return std::span<const uint8_t>(static_cast<const uint8_t*>(data), size);
}

// Wide names in UTF-8: lossy for reads (an unpaired surrogate matches
// nothing stored), strict for writes (nullopt inside: refused).
std::optional<std::string> lossy(const char16_t* w) {
  if (!w) return std::nullopt;
  return zidevuv10::text::utf16ToUtf8(w);
}
OptText view(const std::optional<std::string>& s) { return s ? OptText(*s) : std::nullopt; }

struct StrictArg {
  std::optional<std::string> text;
  bool valid = true;
  explicit StrictArg(const char16_t* w) {
    if (!w) return;
    text = zidevuv10::text::validUtf16ToUtf8(w);
    valid = text.has_value();
  }
};

int32_t getStruct(OptText section, OptText key, void* data, uint32_t size, OptText file) {
  if (!data) {
    setLastError(zidevuv10::capi::kErrorInvalidParameter);
    return 0;
  }
  Status status = Status::Ok;
  const bool found = store()->getStruct(section, key, bytesOf(data, size), file, status);
  setLastError(status);
  return found ? 1 : 0;
}

}  // namespace

extern "C" {

int32_t GetPrivateProfileStructA(const char* section, const char* key, void* data, uint32_t size,
                                 const char* file) {
  return guarded(
      Access::Read, [&] { return getStruct(arg(section), arg(key), data, size, arg(file)); },
      []() noexcept { return int32_t{0}; });
}

int32_t GetPrivateProfileStructW(const char16_t* section, const char16_t* key, void* data,
                                 uint32_t size, const char16_t* file) {
  return guarded(
      Access::Read,
      [&] {
        const auto s = lossy(section), k = lossy(key), f = lossy(file);
        return getStruct(view(s), view(k), data, size, view(f));
      },
      []() noexcept { return int32_t{0}; });
}

int32_t WritePrivateProfileStructA(const char* section, const char* key, const void* data,
                                   uint32_t size, const char* file) {
  return answerWrite([&](Status& status) {
    return store()->writeStruct(arg(section), arg(key), bytesOf(data, size), arg(file), status);
  });
}

int32_t WritePrivateProfileStructW(const char16_t* section, const char16_t* key,
                                   const void* data, uint32_t size, const char16_t* file) {
  return answerWrite([&](Status& status) {
    const StrictArg s(section), k(key), f(file);
    if (!s.valid || !k.valid || !f.valid) {
      status = Status::InvalidText;
      return int32_t{0};
    }
    return store()->writeStruct(view(s.text), view(k.text), bytesOf(data, size), view(f.text),
                               status);
  });
}

}  // extern "C"
