// The output formats of get and entries for a whole file or a section:
//   lines  one name (get) or one key=value entry (entries) a line
//   sh     key='value' lines a POSIX shell can evaluate
//   ini    [section] headers with their key=value entries
//   json   an object of sections, each an object of its keys' values
// Pure formatting into the given stream; safe from any thread for distinct
// streams.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profile_reader.h"

namespace zidevuv10::cli {

enum class Format { Lines, Sh, Ini, Json };

// The format named by --format, nullopt for a name that is none.
std::optional<Format> formatNamed(std::string_view name);

// The text of sections in a format other than lines. sh prints each
// section's assignments after a "# [section]" comment line when there is
// more than one section; Failure when a key is not a shell variable name.
std::string formatSections(Format format, const std::vector<SectionListing>& sections);

// Text as one single-quoted shell word; text as one JSON string.
std::string shellQuoted(std::string_view text);
std::string jsonQuoted(std::string_view text);

}  // namespace zidevuv10::cli
