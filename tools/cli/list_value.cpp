#include "list_value.h"

#include <algorithm>

#include "text/blanks.h"

namespace zidevuv10::cli {

std::vector<std::string> ListValue::items(std::string_view value) const {
  std::vector<std::string> out;
  const auto keep = [&](std::string_view item) {
    item = text::trimBlanks(item);
    if (!item.empty()) out.emplace_back(item);
  };
  const std::string_view separator = separator_ ? std::string_view(*separator_) : ",";
  if (separator.empty()) {
    std::size_t pos = 0;
    while (pos < value.size()) {
      const auto blank = std::find_if(value.begin() + static_cast<std::ptrdiff_t>(pos),
                                      value.end(), text::isBlank);
      const std::size_t end = static_cast<std::size_t>(blank - value.begin());
      keep(value.substr(pos, end - pos));
      pos = end + 1;
    }
    return out;
  }
  std::size_t pos = 0;
  for (;;) {
    const std::size_t end = value.find(separator, pos);
    keep(value.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
    if (end == std::string_view::npos) return out;
    pos = end + separator.size();
  }
}

std::optional<std::string> ListValue::added(std::string_view value, std::string_view item) const {
  const std::string_view wanted = text::trimBlanks(item);
  std::vector<std::string> list = items(value);
  if (wanted.empty() || std::find(list.begin(), list.end(), wanted) != list.end()) {
    return std::nullopt;
  }
  list.emplace_back(wanted);
  return join(list);
}

std::optional<std::string> ListValue::removed(std::string_view value,
                                              std::string_view item) const {
  const std::string_view unwanted = text::trimBlanks(item);
  std::vector<std::string> list = items(value);
  if (std::erase(list, unwanted) == 0) return std::nullopt;
  return join(list);
}

std::string ListValue::join(const std::vector<std::string>& items) const {
  const std::string separator = !separator_ ? ", " : separator_->empty() ? " " : *separator_;
  std::string out;
  for (const std::string& item : items) {
    if (!out.empty()) out += separator;
    out += item;
  }
  return out;
}

}  // namespace zidevuv10::cli
