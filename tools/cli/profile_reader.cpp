#include "profile_reader.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <set>

#include "command_line.h"
#include "store/answers.h"
#include "text/blanks.h"
#include "text/case_fold.h"

namespace zidevuv10::cli {

namespace {

// The store's answer whole: when it may have been cut, the buffer grows and
// the call is repeated. A cut value answers size-1 bytes and a cut list
// size-2, each up to three bytes less when the cut steps back to a UTF-8
// character boundary, so only an answer shorter than size-5 is surely whole.
template <typename Call>
std::string wholeAnswer(Call call) {
  uint32_t size = 1024;
  for (;;) {
    std::vector<char> buffer(size);
    const uint32_t n = call(std::span<char>(buffer));
    if (static_cast<uint64_t>(n) + 5 < size) return std::string(buffer.data(), n);
    if (size > std::numeric_limits<uint32_t>::max() / 2) throw Failure("the answer is too long");
    size *= 2;
  }
}

// A NUL-separated list as the store answers it.
std::vector<std::string> splitList(std::string_view items) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < items.size()) {
    std::size_t end = items.find('\0', start);
    if (end == std::string_view::npos) end = items.size();
    out.emplace_back(items.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

}  // namespace

std::vector<std::string> ProfileReader::sectionNames() {
  return splitList(
      wholeAnswer([&](std::span<char> b) { return store_.getSectionNames(b, file_); }));
}

const store::Document* ProfileReader::outside() {
  if (!doc_) doc_ = store_.document(file_);
  return doc_.get();
}

bool ProfileReader::hasSection(const std::string& section) {
  if (section.empty()) return outside() != nullptr;
  const std::string wanted = text::foldCase(text::trimBlanks(section));
  const std::vector<std::string> names = sectionNames();
  return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
    return text::foldCase(text::trimBlanks(name)) == wanted;
  });
}

std::vector<std::string> ProfileReader::keys(const std::string& section) {
  if (section.empty()) {
    const store::Document* doc = outside();
    std::string scratch;
    return doc ? splitList(doc->keyList(store::Document::kPreamble, scratch))
               : std::vector<std::string>{};
  }
  return splitList(wholeAnswer(
      [&](std::span<char> b) { return store_.getString(section, std::nullopt, "", b, file_); }));
}

std::vector<std::string> ProfileReader::entries(const std::string& section) {
  if (section.empty()) {
    const store::Document* doc = outside();
    std::string scratch;
    return doc ? splitList(doc->entryList(store::Document::kPreamble, scratch))
               : std::vector<std::string>{};
  }
  return splitList(
      wholeAnswer([&](std::span<char> b) { return store_.getSection(section, b, file_); }));
}

// The store answers the default for a missing key, and no value equals two
// different defaults.
std::optional<std::string> ProfileReader::value(const std::string& section,
                                                const std::string& key) {
  if (section.empty()) {
    // As a lookup answers a value: the first line of the key, quotes stripped.
    const store::Document* doc = outside();
    const auto line = doc ? doc->findKey(store::Document::kPreamble, text::trimBlanks(key))
                          : std::nullopt;
    if (!line) return std::nullopt;
    return std::string(store::stripQuotes(doc->value(*line)));
  }
  auto lookUp = [&](const char* probe) {
    return wholeAnswer(
        [&](std::span<char> b) { return store_.getString(section, key, probe, b, file_); });
  };
  std::string found = lookUp("\x01");
  if (found == "\x01" && lookUp("\x02") == "\x02") return std::nullopt;
  return found;
}

SectionListing ProfileReader::listing(const std::string& section) {
  SectionListing out{section, entries(section), {}};
  std::set<std::string> seen;
  for (const std::string& key : keys(section)) {
    if (!seen.insert(text::foldCase(key)).second) continue;
    if (auto v = value(section, key)) out.values.emplace_back(key, std::move(*v));
  }
  return out;
}

}  // namespace zidevuv10::cli
