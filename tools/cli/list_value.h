// A value that holds a list of items, as --list of set and del treats it:
// the value split at a separator (by default ","), each item trimmed of
// blanks, empty items dropped; an empty separator splits at runs of blanks.
// A changed list is written back joined by the separator (", " for the
// default, a single blank for the empty one). Items compare exactly.
// Pure functions; safe from any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zidevuv10::cli {

class ListValue {
 public:
  // nullopt: the default separator.
  explicit ListValue(std::optional<std::string> separator) : separator_(std::move(separator)) {}

  std::vector<std::string> items(std::string_view value) const;
  // The value with the item added at its end, or nullopt when the item is
  // there already (or is empty), so the value stays as written.
  std::optional<std::string> added(std::string_view value, std::string_view item) const;
  // The value without any copy of the item, or nullopt when it holds none.
  std::optional<std::string> removed(std::string_view value, std::string_view item) const;

 private:
  std::string join(const std::vector<std::string>& items) const;

  std::optional<std::string> separator_;
};

}  // namespace zidevuv10::cli
