// A parsed profile file: its bytes exactly as read, the encoding, the
// section headers, and for each section (built on first use) its lines,
// its key index and its listings in the store's answer form.
//
// Every line keeps both its decoded UTF-8 text and its byte range in the
// original file, so that a write can splice new lines into the original
// bytes and leave every other byte as it was. Parsing a file only finds its
// section headers; a section's lines are split when the section is first
// used, so a lookup in a large file does not pay for the sections it never
// touches.
//
// A Document is immutable once parsed except for the per-section details,
// which are built under an internal mutex and never change afterwards: one
// Document may be read by many threads at once.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/fork_safe_mutex.h"
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
  uint32_t equals = 0;     // offset of the first '=' from textBegin, when hasEquals
  LineKind kind = LineKind::Blank;
  bool hasEquals = false;
};

// Transparent hashing so that lookups with a string_view need no copy.
struct StringHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using NameIndex = std::unordered_map<std::string, uint32_t, StringHash, std::equal_to<>>;

// What a section holds, split on first use.
struct SectionBody {
  std::vector<Line> lines;  // the lines after the header, up to the next header
  NameIndex keys;           // folded key name -> first line holding it
  std::string keyList;      // key names, each followed by NUL
  std::string entryList;    // "name=value" entries, each followed by NUL
};

struct Section {
  Line header;
  uint32_t nameBegin = 0;  // trimmed name in the decoded text
  uint32_t nameEnd = 0;
  uint32_t firstLine = 0;  // index of the body's first line among all lines (decoded files)
  uint32_t bodyBegin = 0;  // raw bytes of the body
  uint32_t bodyEnd = 0;
};

class Document {
 public:
  // Largest file the store handles; larger files read as missing and refuse writes.
  static constexpr std::size_t kMaxFileSize = 0x7FFF0000;

  // Parses file bytes (empty for a missing file).
  static std::shared_ptr<const Document> parse(std::string raw);

  const std::string& raw() const { return raw_; }
  text::Encoding encoding() const { return encoding_; }
  // The file's line end ("\n" for files without one).
  std::string_view lineEnd() const { return lineEnd_; }
  // Whether the file holds bytes that no text file has (NUL, most control bytes).
  bool looksBinary() const { return looksBinary_; }
  // Raw offset where text appended at the end of the file goes, and whether
  // the file's last line is ended (an empty file counts as ended).
  uint32_t endOfText() const { return endOfText_; }
  bool endsWithLineEnd() const { return endsWithLineEnd_; }

  const std::vector<Section>& sections() const { return sections_; }
  const SectionBody& body(int section) const;
  // The lines before the first header (after any byte-order mark), split as
  // a section's: they belong to no section, and the profile functions
  // neither list nor find them.
  const SectionBody& preamble() const;
  // Section names, each followed by NUL, in file order (unnamed "[]" left out).
  const std::string& sectionNameList() const { return sectionNameList_; }

  std::string_view text(const Line& l) const;
  std::string_view name(const Line& l) const;   // trimmed text before '='
  std::string_view value(const Line& l) const;  // trimmed text after '='
  std::string_view sectionName(const Section& s) const;

  // First section of that name (compared without case), or -1.
  int findSection(std::string_view name) const;
  // The first line of the section holding that key (compared without case), or null.
  const Line* findKey(int section, std::string_view key) const;

 private:
  Document() = default;
  void splitAll();
  void scanHeaders();
  void addSection(const Line& header, uint32_t firstLine);
  Line makeLine(uint32_t begin, uint32_t end, uint32_t next) const;
  void classify(Line& l) const;
  std::unique_ptr<SectionBody> buildBody(uint32_t begin, uint32_t end, uint32_t firstLine) const;

  std::string raw_;
  std::string decoded_;         // decoded text when the file is not plain UTF-8
  const char* base_ = nullptr;  // raw_ or decoded_: where text offsets point
  bool identity_ = true;        // text offsets are raw offsets
  text::Encoding encoding_ = text::Encoding::Utf8;
  std::size_t markLength_ = 0;
  std::string lineEnd_ = "\n";
  bool looksBinary_ = false;
  uint32_t endOfText_ = 0;
  bool endsWithLineEnd_ = true;
  std::vector<Line> allLines_;  // every line, kept only for decoded files
  std::vector<Section> sections_;
  NameIndex sectionIndex_;
  std::string sectionNameList_;

  mutable host::ForkSafeMutex bodyMutex_;
  mutable std::vector<std::unique_ptr<SectionBody>> bodies_;
  mutable std::unique_ptr<SectionBody> preamble_;
};

}  // namespace zidevuv10::store
