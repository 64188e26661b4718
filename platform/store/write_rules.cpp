#include "store/write_rules.h"

#include "text/blanks.h"
#include "text/utf8.h"

namespace zidevuv10::store {

namespace {

bool singleLine(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos &&
         text::isValidUtf8(s);
}

}  // namespace

bool acceptableSection(std::string_view section) { return singleLine(section); }

std::optional<std::string_view> acceptableKey(std::string_view key) {
  const std::string_view k = text::trimBlanks(key);
  if (!singleLine(key) || k.find('=') != std::string_view::npos || (!k.empty() && k[0] == '[')) {
    return std::nullopt;
  }
  return k;
}

std::optional<std::string_view> acceptableValue(std::string_view value) {
  if (!singleLine(value)) return std::nullopt;
  return text::trimBlanks(value);
}

std::optional<std::vector<std::string>> acceptableEntries(std::string_view list) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  while (pos < list.size()) {
    const std::size_t nul = list.find('\0', pos);
    const std::string_view item =
        list.substr(pos, nul == std::string_view::npos ? std::string_view::npos : nul - pos);
    if (item.empty()) break;  // the list's closing NUL
    pos = nul == std::string_view::npos ? list.size() : nul + 1;
    if (!singleLine(item)) return std::nullopt;
    const std::size_t eq = item.find('=');
    if (eq == std::string_view::npos) {
      const std::string_view bare = text::trimBlanks(item);
      if (bare.empty()) continue;
      if (bare[0] == '[') return std::nullopt;
      out.emplace_back(bare);
      continue;
    }
    const auto key = acceptableKey(item.substr(0, eq));
    if (!key) return std::nullopt;
    out.push_back(std::string(*key) + "=" + std::string(text::trimBlanks(item.substr(eq + 1))));
  }
  return out;
}

std::optional<std::vector<ValueWrite>> acceptableWrites(std::span<const ValueWrite> writes,
                                                        Status& status) {
  std::vector<ValueWrite> accepted;
  accepted.reserve(writes.size());
  for (const ValueWrite& w : writes) {
    const auto refused = [&](std::optional<std::string_view> text) {
      status = refusalOf({text});
      return std::nullopt;
    };
    if (!acceptableSection(w.section)) return refused(w.section);
    const auto k = acceptableKey(w.key);
    if (!k) return refused(w.key);
    const auto v = w.value ? acceptableValue(*w.value) : std::nullopt;
    if (w.value && !v) return refused(w.value);
    accepted.push_back({w.section, *k, v});
  }
  return accepted;
}

Status refusalOf(std::initializer_list<std::optional<std::string_view>> texts) {
  for (const auto& t : texts) {
    if (t && !text::isValidUtf8(*t)) return Status::InvalidText;
  }
  return Status::InjectedStructure;
}

}  // namespace zidevuv10::store
