// Character encodings of profile files: detection from the file's first
// bytes, decoding of one line to UTF-8, and encoding of UTF-8 text back into
// the file's encoding. Windows-1252 conversions go through ICU, loaded when
// first needed.
// Pure functions; safe from any thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zidevuv10::text {

enum class Encoding { Utf8, Utf16LE, Utf16BE, Windows1252 };

struct DetectedEncoding {
  Encoding encoding = Encoding::Utf8;
  std::size_t markLength = 0;  // bytes of the byte-order mark, kept on rewrite
  bool validUtf8 = true;       // for Utf8: whether the bytes after the mark are valid
};

// A UTF-16 (LE or BE) or UTF-8 byte-order mark decides; otherwise valid UTF-8
// is UTF-8 and anything else is Windows-1252.
DetectedEncoding detectEncoding(std::string_view raw);

// Decodes bytes of the given encoding to UTF-8. Unpaired UTF-16 surrogates
// and invalid UTF-8 become U+FFFD; a trailing odd UTF-16 byte is ignored.
std::string decodeToUtf8(Encoding enc, std::string_view bytes);

// Encodes UTF-8 text into the encoding; nullopt when the encoding cannot
// hold every character (only possible for Windows-1252) or the text is not
// valid UTF-8.
std::optional<std::string> encodeFromUtf8(Encoding enc, std::string_view utf8);

// Code unit size of the encoding in bytes (2 for UTF-16, else 1).
constexpr std::size_t unitSize(Encoding enc) {
  return enc == Encoding::Utf16LE || enc == Encoding::Utf16BE ? 2 : 1;
}

}  // namespace zidevuv10::text
