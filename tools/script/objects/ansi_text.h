// Bytes of a text file read in ASCII format: each valid UTF-8 sequence is
// its character, any other byte its Windows-1252 character, so UTF-8 files
// and files in the Windows code page both read as they were written.
// Pure functions; safe from any thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zidevuv10::script {

// Appends the characters of `bytes` to `out` and answers how many bytes it
// used: all of them when `final`, else all but an incomplete UTF-8
// sequence at the end, which the next call receives again.
std::size_t decodeAnsi(std::string_view bytes, bool final, std::u16string& out);

}  // namespace zidevuv10::script
