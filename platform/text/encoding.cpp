#include "text/encoding.h"

#include <memory>

#include "text/icu.h"
#include "text/utf8.h"

namespace zidevuv10::text {

namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { icu().close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// One converter per thread: ICU converters are not thread-safe but cheap to
// keep around.
UConverter* windows1252() {
  thread_local ConverterPtr conv = [] {
    UErrorCode err = U_ZERO_ERROR;
    ConverterPtr c(icu().open("windows-1252", &err));
    if (U_FAILURE(err)) c.reset();
    return c;
  }();
  return conv.get();
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
      return utf16ToUtf8(units);
    }
    case Encoding::Windows1252: {
      UConverter* conv = windows1252();
      if (conv == nullptr) return repairUtf8(bytes);
      std::u16string units(bytes.size() + 1, u'\0');
      UErrorCode err = U_ZERO_ERROR;
      const int32_t n =
          icu().toUChars(conv, reinterpret_cast<UChar*>(units.data()),
                        static_cast<int32_t>(units.size()), bytes.data(),
                        static_cast<int32_t>(bytes.size()), &err);
      if (U_FAILURE(err)) return repairUtf8(bytes);
      return utf16ToUtf8(std::u16string_view(units.data(), static_cast<std::size_t>(n)));
    }
  }
  return {};
}

std::optional<std::string> encodeFromUtf8(Encoding enc, std::string_view utf8) {
  if (!isValidUtf8(utf8)) return std::nullopt;
  if (enc == Encoding::Utf8) return std::string(utf8);
  const std::u16string units = utf8ToUtf16(utf8);
  if (enc == Encoding::Windows1252) {
    UConverter* conv = windows1252();
    if (conv == nullptr) return std::nullopt;
    UErrorCode err = U_ZERO_ERROR;
    icu().setFromUCallBack(conv, icu().stopOnUnmappable, nullptr, nullptr, nullptr, &err);
    std::string out(units.size() * 2 + 1, '\0');
    err = U_ZERO_ERROR;
    const int32_t n = icu().fromUChars(conv, out.data(), static_cast<int32_t>(out.size()),
                                      reinterpret_cast<const UChar*>(units.data()),
                                      static_cast<int32_t>(units.size()), &err);
    icu().reset(conv);
    if (U_FAILURE(err)) return std::nullopt;
    out.resize(static_cast<std::size_t>(n));
    // ICU's table drops some characters silently rather than stopping (the
    // byte order mark U+FEFF among them): only text that decodes back to
    // what was asked for counts as encoded.
    if (decodeToUtf8(enc, out) != utf8) return std::nullopt;
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
