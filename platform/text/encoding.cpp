#include "text/encoding.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <memory>

#include "text/utf8.h"

namespace zidevuv10::text {

namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// One converter per thread: ICU converters are not thread-safe but cheap to
// keep around.
UConverter* windows1252() {
  thread_local ConverterPtr conv = [] {
    UErrorCode err = U_ZERO_ERROR;
    ConverterPtr c(ucnv_open("windows-1252", &err));
    if (U_FAILURE(err)) c.reset();
    return c;
  }();
  return conv.get();
}

std::u16string utf8ToUtf16(std::string_view utf8, bool& ok) {
  std::u16string out(utf8.size() + 1, u'\0');
  int32_t len = 0;
  UErrorCode err = U_ZERO_ERROR;
  u_strFromUTF8(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &len,
                utf8.data(), static_cast<int32_t>(utf8.size()), &err);
  ok = U_SUCCESS(err);
  out.resize(ok ? static_cast<std::size_t>(len) : 0);
  return out;
}

std::string utf16ToUtf8(const char16_t* units, std::size_t count) {
  std::string out(count * 3 + 1, '\0');
  int32_t len = 0;
  UErrorCode err = U_ZERO_ERROR;
  u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &len,
                     reinterpret_cast<const UChar*>(units), static_cast<int32_t>(count), 0xFFFD,
                     nullptr, &err);
  out.resize(U_SUCCESS(err) ? static_cast<std::size_t>(len) : 0);
  return out;
}

}  // namespace

DetectedEncoding detectEncoding(std::string_view raw) {
  auto starts = [&](std::string_view mark) { return raw.substr(0, mark.size()) == mark; };
  if (starts("\xEF\xBB\xBF")) {
    return {Encoding::Utf8, 3, isValidUtf8(raw.substr(3))};
  }
  if (starts("\xFF\xFE")) return {Encoding::Utf16LE, 2, false};
  if (starts("\xFE\xFF")) return {Encoding::Utf16BE, 2, false};
  if (isValidUtf8(raw)) return {Encoding::Utf8, 0, true};
  return {Encoding::Windows1252, 0, false};
}

std::string decodeToUtf8(Encoding enc, std::string_view bytes) {
  switch (enc) {
    case Encoding::Utf8:
      return isValidUtf8(bytes) ? std::string(bytes) : repairUtf8(bytes);
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
      const std::size_t count = bytes.size() / 2;
      std::u16string units(count, u'\0');
      for (std::size_t i = 0; i < count; ++i) {
        const auto a = static_cast<unsigned char>(bytes[2 * i]);
        const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
        units[i] = enc == Encoding::Utf16LE ? static_cast<char16_t>(a | (b << 8))
                                            : static_cast<char16_t>((a << 8) | b);
      }
      return utf16ToUtf8(units.data(), units.size());
    }
    case Encoding::Windows1252: {
      UConverter* conv = windows1252();
      if (conv == nullptr) return repairUtf8(bytes);
      std::u16string units(bytes.size() + 1, u'\0');
      UErrorCode err = U_ZERO_ERROR;
      const int32_t n =
          ucnv_toUChars(conv, reinterpret_cast<UChar*>(units.data()),
                        static_cast<int32_t>(units.size()), bytes.data(),
                        static_cast<int32_t>(bytes.size()), &err);
      if (U_FAILURE(err)) return repairUtf8(bytes);
      return utf16ToUtf8(units.data(), static_cast<std::size_t>(n));
    }
  }
  return {};
}

std::optional<std::string> encodeFromUtf8(Encoding enc, std::string_view utf8) {
  if (!isValidUtf8(utf8)) return std::nullopt;
  if (enc == Encoding::Utf8) return std::string(utf8);
  bool ok = false;
  const std::u16string units = utf8ToUtf16(utf8, ok);
  if (!ok) return std::nullopt;
  if (enc == Encoding::Windows1252) {
    UConverter* conv = windows1252();
    if (conv == nullptr) return std::nullopt;
    UErrorCode err = U_ZERO_ERROR;
    ucnv_setFromUCallBack(conv, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
    std::string out(units.size() * 2 + 1, '\0');
    err = U_ZERO_ERROR;
    const int32_t n = ucnv_fromUChars(conv, out.data(), static_cast<int32_t>(out.size()),
                                      reinterpret_cast<const UChar*>(units.data()),
                                      static_cast<int32_t>(units.size()), &err);
    ucnv_reset(conv);
    if (U_FAILURE(err)) return std::nullopt;
    out.resize(static_cast<std::size_t>(n));
    return out;
  }
  std::string out(units.size() * 2, '\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    const auto u = static_cast<unsigned>(units[i]);
    const char hi = static_cast<char>(u >> 8);
    const char lo = static_cast<char>(u & 0xFF);
    out[2 * i] = enc == Encoding::Utf16LE ? lo : hi;
    out[2 * i + 1] = enc == Encoding::Utf16LE ? hi : lo;
  }
  return out;
}

}  // namespace zidevuv10::text
