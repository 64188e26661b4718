// What the store accepts for writing. Windows writes names and values raw,
// so a line end in a value could add sections and keys nobody named; the
// store refuses such writes instead: a line end or NUL anywhere, "=" in a
// key, a key starting with "[", and text that is not valid UTF-8. Names and
// values are trimmed of blanks, as the Windows form "key=value" has none.
// Pure functions; safe from any thread.
#pragma once

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/edit.h"
#include "store/status.h"

namespace zidevuv10::store {

bool acceptableSection(std::string_view section);
// The trimmed key, or nullopt when it is refused.
std::optional<std::string_view> acceptableKey(std::string_view key);
// The trimmed value, or nullopt when it is refused.
std::optional<std::string_view> acceptableValue(std::string_view value);

// Splits a NUL-separated entry list into entries in written form
// ("key=value" trimmed, text without "=" as given but trimmed); nullopt
// when any entry is refused.
std::optional<std::vector<std::string>> acceptableEntries(std::string_view list);

// Several writes with keys and values trimmed; nullopt, with the cause in
// `status`, when any is refused. The views point into the given writes.
std::optional<std::vector<ValueWrite>> acceptableWrites(std::span<const ValueWrite> writes,
                                                        Status& status);

// Why texts were refused: InvalidText when one is not valid UTF-8, else
// InjectedStructure.
Status refusalOf(std::initializer_list<std::optional<std::string_view>> texts);

}  // namespace zidevuv10::store
