#include "store/document.h"

#include <algorithm>
#include <cstring>

#include "text/blanks.h"
#include "text/case_fold.h"
#include "text/utf8.h"

namespace zidevuv10::store {

namespace {

// Bytes that make a legacy 8-bit file look binary: NUL and the C0 controls
// other than the blanks and line ends a text file may hold.
bool isBinaryByte(unsigned char c) {
  return c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f' && c != 0x1a;
}

// Calls f(begin, end, next) for each line of single-byte text in
// [pos, limit): CR, LF and CRLF end a line; a last line without an end
// counts. Without any CR in the text, one memchr per line finds the end.
template <typename F>
void forEachLine(const char* r, std::size_t pos, std::size_t limit, bool hasCr, F&& f) {
  std::size_t nextLf = pos;
  std::size_t nextCr = hasCr ? pos : limit;
  bool lfKnown = false;
  bool crKnown = !hasCr;
  while (pos < limit) {
    if (!lfKnown || nextLf < pos) {
      const void* p = std::memchr(r + pos, '\n', limit - pos);
      nextLf = p ? static_cast<std::size_t>(static_cast<const char*>(p) - r) : limit;
      lfKnown = true;
    }
    if (!crKnown || nextCr < pos) {
      const void* p = std::memchr(r + pos, '\r', limit - pos);
      nextCr = p ? static_cast<std::size_t>(static_cast<const char*>(p) - r) : limit;
      crKnown = true;
    }
    const std::size_t end = std::min(nextLf, nextCr);
    std::size_t next = end;
    if (end < limit) {
      next = end + 1;
      if (r[end] == '\r' && next < limit && r[next] == '\n') ++next;
    }
    f(pos, end, next);
    pos = next;
  }
}

// The text of a line cut at its first NUL.
std::string_view cutAtNul(std::string_view t) {
  const void* z = std::memchr(t.data(), '\0', t.size());
  return z ? t.substr(0, static_cast<std::size_t>(static_cast<const char*>(z) - t.data())) : t;
}

// Whether a line's text (cut at NUL) is a section header: its first
// non-blank character is '[' and a ']' follows somewhere after it.
bool isHeaderText(std::string_view t) {
  std::size_t first = 0;
  while (first < t.size() && text::isBlank(t[first])) ++first;
  if (first == t.size() || t[first] != '[') return false;
  const std::size_t close = t.rfind(']');
  return close != std::string_view::npos && close > first;
}

std::string_view nameOfText(std::string_view t) {
  const std::size_t eq = t.find('=');
  return text::trimBlanks(eq == std::string_view::npos ? t : t.substr(0, eq));
}

}  // namespace

std::shared_ptr<const Document> Document::parse(FileBytes raw) {
  std::shared_ptr<Document> doc(new Document());
  doc->raw_ = std::move(raw);
  const std::string_view bytes = doc->raw();
  const text::DetectedEncoding detected = text::detectEncoding(bytes);
  doc->encoding_ = detected.encoding;
  doc->markLength_ = detected.markLength;
  doc->identity_ = detected.encoding == text::Encoding::Utf8 && detected.validUtf8;
  doc->endOfText_ = static_cast<uint32_t>(doc->markLength_);
  if (doc->identity_) {
    doc->base_ = bytes.data();
    doc->textSize_ = static_cast<uint32_t>(bytes.size());
  } else {
    doc->decodeAll();
  }
  doc->scanLines();
  if (doc->encoding_ == text::Encoding::Windows1252) {
    for (char c : bytes) {
      if (isBinaryByte(static_cast<unsigned char>(c))) {
        doc->looksBinary_ = true;
        break;
      }
    }
  }
  doc->indexSections();
  return doc;
}

std::shared_ptr<const Document> Document::edited(const Document& base, FileBytes raw,
                                                 std::span<const Change> changes) {
  if (!base.identity_ || !base.hasLineEnd_) return parse(std::move(raw));
  const std::string_view bytes = raw.view();
  const char* old = base.base_;
  const uint32_t oldSize = base.textSize_;
  const auto start = static_cast<uint32_t>(base.markLength_);
  // Nothing up to the end of the first line's end changes (it is the line
  // end new lines take), nor the last byte (whether the file ends with a
  // line end).
  const uint32_t firstNext = base.nextLineStart(start);
  const auto isEnd = [](char c) { return c == '\n' || c == '\r'; };
  std::shared_ptr<Document> doc(new Document());
  doc->headers_.reserve(base.headers_.size());
  std::size_t h = 0;  // the next of base's headers to carry over
  int64_t shift = 0;  // how far the bytes after the last change moved
  uint32_t touchedEnd = 0;
  for (const Change& c : changes) {
    if (c.from < firstNext || c.to < c.from || c.to >= oldSize) return parse(std::move(raw));
    // The lines the change touches, in base: [a, b).
    uint32_t a = c.from;
    while (a > start && !isEnd(old[a - 1])) --a;
    if (old[a - 1] == '\r' && old[a] == '\n') return parse(std::move(raw));  // inside a CRLF
    const uint32_t b = base.nextLineStart(c.to);
    if (a < touchedEnd) return parse(std::move(raw));  // the lines of the change before
    while (h < base.headers_.size() && base.headers_[h] < a) {
      doc->headers_.push_back(static_cast<uint32_t>(base.headers_[h++] + shift));
    }
    if (h < base.headers_.size() && base.headers_[h] < b) return parse(std::move(raw));
    const int64_t delta = static_cast<int64_t>(c.length) - (c.to - c.from);
    // The same lines in the new bytes: whole lines, valid UTF-8, no header.
    const auto na = static_cast<std::size_t>(a + shift);
    const auto nb = static_cast<std::size_t>(b + shift + delta);
    if (nb > bytes.size() || nb <= na || (bytes[na - 1] == '\r' && bytes[na] == '\n')) {
      return parse(std::move(raw));
    }
    const std::string_view lines = bytes.substr(na, nb - na);
    if (!isEnd(lines.back()) || !text::isValidUtf8(lines)) return parse(std::move(raw));
    bool header = false;
    forEachLine(bytes.data(), na, nb, lines.find('\r') != std::string_view::npos,
                [&](std::size_t lb, std::size_t le, std::size_t) {
                  header = header || isHeaderText(cutAtNul(bytes.substr(lb, le - lb)));
                });
    if (header) return parse(std::move(raw));
    shift += delta;
    touchedEnd = b;
  }
  if (static_cast<int64_t>(bytes.size()) != oldSize + shift) return parse(std::move(raw));
  while (h < base.headers_.size()) {
    doc->headers_.push_back(static_cast<uint32_t>(base.headers_[h++] + shift));
  }
  doc->raw_ = std::move(raw);
  doc->base_ = doc->raw().data();
  doc->textSize_ = static_cast<uint32_t>(doc->raw().size());
  doc->markLength_ = base.markLength_;
  doc->lineEnd_ = base.lineEnd_;
  doc->hasLineEnd_ = true;
  doc->endOfText_ = doc->textSize_;
  doc->endsWithLineEnd_ = base.endsWithLineEnd_;
  doc->sectionIndex_ = base.sectionIndex_;
  doc->sectionNameList_ = base.sectionNameList_;
  return doc;
}

// Other encodings: decode line by line into UTF-8 text with the same line
// ends, noting where each line starts in both forms.
void Document::decodeAll() {
  const std::size_t unit = text::unitSize(encoding_);
  const std::size_t n = raw().size();
  const char* r = raw().data();
  auto unitAt = [&](std::size_t i) -> unsigned {
    if (unit == 1) return static_cast<unsigned char>(r[i]);
    const auto a = static_cast<unsigned char>(r[i]);
    const auto b = static_cast<unsigned char>(r[i + 1]);
    return encoding_ == text::Encoding::Utf16LE ? (a | (b << 8)) : ((a << 8) | b);
  };
  const std::size_t limit = unit == 1 ? n : n - (n - markLength_) % 2;
  decoded_.reserve(limit - markLength_);
  std::size_t pos = markLength_;
  while (pos < limit) {
    std::size_t end = pos;
    while (end < limit && unitAt(end) != '\n' && unitAt(end) != '\r') end += unit;
    std::size_t next = end;
    textStarts_.push_back(static_cast<uint32_t>(decoded_.size()));
    rawStarts_.push_back(static_cast<uint32_t>(pos));
    decoded_ += text::decodeToUtf8(encoding_, std::string_view(r + pos, end - pos));
    if (end < limit) {
      const bool cr = unitAt(end) == '\r';
      next = end + unit;
      decoded_.push_back(cr ? '\r' : '\n');
      if (cr && next < limit && unitAt(next) == '\n') {
        next += unit;
        decoded_.push_back('\n');
      }
    }
    pos = next;
  }
  textStarts_.push_back(static_cast<uint32_t>(decoded_.size()));
  rawStarts_.push_back(static_cast<uint32_t>(limit));
  decoded_.shrink_to_fit();
  textStarts_.shrink_to_fit();
  rawStarts_.shrink_to_fit();
  base_ = decoded_.data();
  textSize_ = static_cast<uint32_t>(decoded_.size());
}

// Finds the line end the file uses, where its text ends, and the start of
// every section header.
void Document::scanLines() {
  const uint32_t start = identity_ ? static_cast<uint32_t>(markLength_) : 0;
  const std::string_view all(base_ + start, textSize_ - start);
  const bool hasCr = all.find('\r') != std::string_view::npos;
  bool eolKnown = false;
  std::size_t headerBytes = 0;
  uint32_t lastEnd = start;
  uint32_t lastNext = start;
  forEachLine(base_, start, textSize_, hasCr, [&](std::size_t b, std::size_t e, std::size_t n) {
    if (!eolKnown && e < n) {
      lineEnd_ = std::string_view(base_ + e, n - e);
      eolKnown = true;
    }
    lastEnd = static_cast<uint32_t>(e);
    lastNext = static_cast<uint32_t>(n);
    std::size_t first = b;
    while (first < e && text::isBlank(base_[first])) ++first;
    if (first < e && base_[first] == '[' &&
        isHeaderText(cutAtNul(std::string_view(base_ + b, e - b)))) {
      headers_.push_back(static_cast<uint32_t>(b));
      headerBytes += e - b;
    }
  });
  hasLineEnd_ = eolKnown;
  if (headers_.capacity() > headers_.size() + headers_.size() / 4) headers_.shrink_to_fit();
  endsWithLineEnd_ = lastNext == start || lastNext != lastEnd;
  endOfText_ = identity_ ? lastNext : rawStarts_.back();
  // Each name with its NUL is at least one byte shorter than its header
  // line: room for the name list without regrowing it.
  sectionNameList_.reserve(headerBytes - headers_.size());
}

void Document::indexSections() {
  std::string folded;
  const auto nameOf = [this](uint32_t id) { return sectionName(static_cast<int>(id)); };
  for (int s = 0; s < sectionCount(); ++s) {
    const std::string_view name = sectionName(s);
    text::foldCaseInto(name, folded);
    sectionIndex_.insertFirst(static_cast<uint32_t>(s), folded, nameOf);
    if (!name.empty()) {
      sectionNameList_.append(name);
      sectionNameList_.push_back('\0');
    }
  }
  if (sectionNameList_.capacity() > sectionNameList_.size() + sectionNameList_.size() / 4) {
    sectionNameList_.shrink_to_fit();
  }
}

uint32_t Document::nextLineStart(uint32_t begin) const {
  uint32_t p = begin;
  while (p < textSize_ && base_[p] != '\n' && base_[p] != '\r') ++p;
  if (p == textSize_) return p;
  if (base_[p] == '\r' && p + 1 < textSize_ && base_[p + 1] == '\n') return p + 2;
  return p + 1;
}

std::string_view Document::lineName(uint32_t begin) const {
  uint32_t end = begin;
  while (end < textSize_ && base_[end] != '\n' && base_[end] != '\r') ++end;
  return nameOfText(cutAtNul(std::string_view(base_ + begin, end - begin)));
}

Line Document::makeLine(uint32_t begin, uint32_t next) const {
  // The line end is the CR, LF or CRLF before the next line; a CR always
  // ends a line, so a CR before the LF belongs to the line end.
  uint32_t eol = next;
  if (eol > begin && base_[eol - 1] == '\n') --eol;
  if (eol > begin && base_[eol - 1] == '\r') --eol;
  Line l;
  l.textBegin = begin;
  l.textEnd = begin + static_cast<uint32_t>(cutAtNul(std::string_view(base_ + begin, eol - begin)).size());
  if (identity_) {
    l.rawBegin = begin;
    l.rawEnd = eol;
    l.rawNext = next;
  } else {
    const auto k = static_cast<std::size_t>(
        std::lower_bound(textStarts_.begin(), textStarts_.end(), begin) - textStarts_.begin());
    l.rawBegin = rawStarts_[k];
    l.rawNext = rawStarts_[k + 1];
    l.rawEnd = l.rawNext - (next - eol) * static_cast<uint32_t>(text::unitSize(encoding_));
  }
  const std::string_view t = text(l);
  std::size_t first = 0;
  while (first < t.size() && text::isBlank(t[first])) ++first;
  const std::size_t eq = t.find('=');
  l.hasEquals = eq != std::string_view::npos;
  l.equals = l.hasEquals ? static_cast<uint32_t>(eq) : 0;
  if (first == t.size()) {
    l.kind = LineKind::Blank;
  } else if (t[first] == ';') {
    l.kind = LineKind::Comment;
  } else if (isHeaderText(t)) {
    l.kind = LineKind::Header;
  } else {
    l.kind = l.hasEquals ? LineKind::Entry : LineKind::Bare;
  }
  return l;
}

uint32_t Document::bodyBegin(int section) const {
  if (section == kPreamble) return identity_ ? static_cast<uint32_t>(markLength_) : 0;
  return nextLineStart(headers_[static_cast<std::size_t>(section)]);
}

uint32_t Document::bodyEnd(int section) const {
  if (section == kPreamble) return headers_.empty() ? textSize_ : headers_.front();
  const auto next = static_cast<std::size_t>(section) + 1;
  return next < headers_.size() ? headers_[next] : textSize_;
}

Line Document::header(int section) const {
  const uint32_t begin = headers_[static_cast<std::size_t>(section)];
  return makeLine(begin, nextLineStart(begin));
}

std::string_view Document::sectionName(int section) const {
  return headerName(headers_[static_cast<std::size_t>(section)]);
}

std::string_view Document::headerName(uint32_t begin) const {
  uint32_t end = begin;
  while (end < textSize_ && base_[end] != '\n' && base_[end] != '\r') ++end;
  // The name lies between '[' and the last ']', blanks trimmed.
  const std::string_view t = cutAtNul(std::string_view(base_ + begin, end - begin));
  const std::size_t open = t.find('[');
  const std::size_t close = t.rfind(']');
  return text::trimBlanks(t.substr(open + 1, close - open - 1));
}

void Document::forEachBodyLine(int section, const std::function<void(const Line&)>& f) const {
  const uint32_t b = bodyBegin(section);
  const uint32_t e = bodyEnd(section);
  const bool hasCr = std::memchr(base_ + b, '\r', e - b) != nullptr;
  forEachLine(base_, b, e, hasCr, [&](std::size_t begin, std::size_t, std::size_t next) {
    f(makeLine(static_cast<uint32_t>(begin), static_cast<uint32_t>(next)));
  });
}

void Document::appendKeyList(int section, std::string& out) const {
  forEachBodyLine(section, [&](const Line& l) {
    if (l.kind != LineKind::Entry || name(l).empty()) return;
    out.append(name(l));
    out.push_back('\0');
  });
}

void Document::appendEntryList(int section, std::string& out) const {
  forEachBodyLine(section, [&](const Line& l) {
    if (l.kind == LineKind::Entry) {
      out.append(name(l));
      out.push_back('=');
      out.append(value(l));
      out.push_back('\0');
    } else if (l.kind == LineKind::Bare) {
      out.append(text::trimBlanks(text(l)));
      out.push_back('\0');
    }
  });
}

std::string_view Document::keyList(int section, std::string& scratch) const {
  return keptList(section, true, scratch);
}

std::string_view Document::entryList(int section, std::string& scratch) const {
  return keptList(section, false, scratch);
}

std::string_view Document::keptList(int section, bool keys, std::string& scratch) const {
  const auto fill = [&](std::string& out) {
    if (keys) {
      appendKeyList(section, out);
    } else {
      appendEntryList(section, out);
    }
  };
  if (bodyEnd(section) - bodyBegin(section) < kIndexedBody) {
    scratch.clear();
    fill(scratch);
    return scratch;
  }
  std::lock_guard<sync::ForkSafeMutex> lock(keysMutex_);
  auto& slot = lists_[section];
  if (!slot) slot = std::make_unique<Lists>();
  std::optional<std::string>& list = keys ? slot->keys : slot->entries;
  if (!list) {
    std::string built;
    fill(built);
    built.shrink_to_fit();
    list = std::move(built);
  }
  return *list;
}

const NameTable& Document::keyIndex(int section) const {
  std::lock_guard<sync::ForkSafeMutex> lock(keysMutex_);
  auto& slot = keys_[section];
  if (slot) return *slot;
  auto table = std::make_unique<NameTable>();
  const auto nameOf = [this](uint32_t begin) { return lineName(begin); };
  std::string folded;
  forEachBodyLine(section, [&](const Line& l) {
    // Comment lines with '=' are found by an exact lookup of their name
    // (";name"), as on Windows, though no listing shows them.
    if (l.kind == LineKind::Entry || (l.kind == LineKind::Comment && l.hasEquals)) {
      text::foldCaseInto(name(l), folded);
      table->insertFirst(l.textBegin, folded, nameOf);
    }
  });
  slot = std::move(table);
  return *slot;
}

std::string_view Document::text(const Line& l) const {
  return {base_ + l.textBegin, l.textEnd - l.textBegin};
}

std::string_view Document::name(const Line& l) const {
  const std::string_view t = text(l);
  return text::trimBlanks(l.hasEquals ? t.substr(0, l.equals) : t);
}

std::string_view Document::value(const Line& l) const {
  if (!l.hasEquals) return {};
  return text::trimBlanks(text(l).substr(l.equals + 1));
}

int Document::findSection(std::string_view name) const {
  // A local text, not one kept per thread: a name of up to 15 bytes needs
  // no allocation, and a thread's kept text would cost the process's first
  // lookup the registration of its destructor.
  std::string folded;
  text::foldCaseInto(name, folded);
  const auto found = sectionIndex_.find(
      folded, [this](uint32_t id) { return sectionName(static_cast<int>(id)); });
  return found ? static_cast<int>(*found) : -1;
}

std::optional<Line> Document::findKey(int section, std::string_view key) const {
  if ((section < 0 && section != kPreamble) || section >= sectionCount()) return std::nullopt;
  std::string folded;
  text::foldCaseInto(key, folded);
  if (bodyEnd(section) - bodyBegin(section) < kIndexedBody) {
    // A small section is searched line by line: an index would cost more
    // memory than the section's own bytes, and save little time.
    std::optional<Line> found;
    forEachBodyLine(section, [&](const Line& l) {
      const bool keyLine = l.kind == LineKind::Entry || (l.kind == LineKind::Comment && l.hasEquals);
      if (!found && keyLine && foldsTo(name(l), folded)) found = l;
    });
    return found;
  }
  const NameTable& keys = keyIndex(section);
  const auto found = keys.find(folded, [this](uint32_t begin) { return lineName(begin); });
  if (!found) return std::nullopt;
  return makeLine(*found, nextLineStart(*found));
}

std::size_t Document::memoryUsed() const {
  std::size_t bytes = sizeof(Document) + raw_.capacity() + decoded_.capacity() +
                      sectionNameList_.capacity() + sectionIndex_.memoryUsed() +
                      sizeof(uint32_t) * (textStarts_.capacity() + rawStarts_.capacity() +
                                          headers_.capacity());
  std::lock_guard<sync::ForkSafeMutex> lock(keysMutex_);
  for (const auto& [section, table] : keys_) {
    bytes += sizeof(*table) + table->memoryUsed() + 4 * sizeof(void*);
  }
  for (const auto& [section, lists] : lists_) {
    bytes += sizeof(*lists) + 4 * sizeof(void*);
    if (lists->keys) bytes += lists->keys->capacity();
    if (lists->entries) bytes += lists->entries->capacity();
  }
  return bytes;
}

}  // namespace zidevuv10::store
