// A parsed profile file: its bytes exactly as read, the encoding, the line
// structure and the section headers, with case-insensitive indexes of
// sections and (built on first use) of each section's keys.
//
// Every line keeps both its decoded UTF-8 text and its byte range in the
// original file, so that a write can splice new lines into the original
// bytes and leave every other byte as it was.
//
// A Document is immutable once parsed except for the lazily built key
// indexes, which are guarded internally: one Document may be read by many
// threads at once.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "text/encoding.h"

namespace zidevuv10::store {

enum class LineKind : uint8_t {
  Blank,    // nothing but blanks
  Comment,  // first non-blank character is ';'
  Header,   // "[name]"
  Entry,    // "name=value"
  Bare,     // text without "=": listed with the section's entries only
};

struct Line {
  uint32_t textBegin = 0;  // decoded UTF-8 text of the line, cut at a NUL
  uint32_t textEnd = 0;
  uint32_t rawBegin = 0;   // bytes of the line in the file, without its line end
  uint32_t rawEnd = 0;
  uint32_t rawNext = 0;    // start of the next line (after the line end)
  LineKind kind = LineKind::Blank;
  uint32_t equals = 0;     // offset of the first '=' from textBegin (Entry, Comment with '=')
  bool hasEquals = false;
};

struct Section {
  uint32_t header = 0;  // line index of the header
  uint32_t end = 0;     // one past the section's last line
  uint32_t nameBegin = 0;  // trimmed name in the decoded text
  uint32_t nameEnd = 0;
};

// Transparent hashing so that lookups with a string_view need no copy.
struct StringHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using NameIndex = std::unordered_map<std::string, uint32_t, StringHash, std::equal_to<>>;

class Document {
 public:
  // Largest file the store handles; larger files read as missing and refuse writes.
  static constexpr std::size_t kMaxFileSize = 0x7FFF0000;

  // Parses file bytes (empty for a missing file).
  static std::shared_ptr<const Document> parse(std::string raw);

  const std::string& raw() const { return raw_; }
  text::Encoding encoding() const { return encoding_; }
  std::size_t markLength() const { return markLength_; }
  // The file's line end ("\n" for files without one).
  std::string_view lineEnd() const { return lineEnd_; }
  // Whether the file holds bytes that no text file has (NUL, most control bytes).
  bool looksBinary() const { return looksBinary_; }

  const std::vector<Line>& lines() const { return lines_; }
  const std::vector<Section>& sections() const { return sections_; }

  std::string_view text(const Line& l) const;
  std::string_view name(const Line& l) const;   // trimmed text before '='
  std::string_view value(const Line& l) const;  // trimmed text after '='
  std::string_view sectionName(const Section& s) const;

  // First section of that name (compared without case), or -1.
  int findSection(std::string_view name) const;
  // First line of the section holding that key (compared without case), or -1.
  int findKey(int section, std::string_view key) const;
  // Raw offset where text appended at the end of the file goes.
  uint32_t endOfText() const { return endOfText_; }

 private:
  Document() = default;
  void splitLines();
  void classify(Line& l) const;
  const NameIndex& keyIndex(int section) const;

  std::string raw_;
  std::string decoded_;       // decoded text when the file is not plain UTF-8
  const char* base_ = nullptr;  // raw_ or decoded_: where text offsets point
  text::Encoding encoding_ = text::Encoding::Utf8;
  std::size_t markLength_ = 0;
  std::string lineEnd_ = "\n";
  bool looksBinary_ = false;
  uint32_t endOfText_ = 0;
  std::vector<Line> lines_;
  std::vector<Section> sections_;
  NameIndex sectionIndex_;

  mutable std::mutex keyMutex_;
  mutable std::vector<std::unique_ptr<NameIndex>> keyIndexes_;
};

}  // namespace zidevuv10::store
