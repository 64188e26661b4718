#include "store/document.h"

#include <cstring>

#include "text/blanks.h"
#include "text/case_fold.h"

namespace zidevuv10::store {

namespace {

// Bytes that make a legacy 8-bit file look binary: NUL and the C0 controls
// other than the blanks and line ends a text file may hold.
bool isBinaryByte(unsigned char c) {
  return c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f' && c != 0x1a;
}

std::string& foldBuffer() {
  thread_local std::string buffer;
  return buffer;
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

}  // namespace

std::shared_ptr<const Document> Document::parse(std::string raw) {
  std::shared_ptr<Document> doc(new Document());
  doc->raw_ = std::move(raw);
  const text::DetectedEncoding detected = text::detectEncoding(doc->raw_);
  doc->encoding_ = detected.encoding;
  doc->markLength_ = detected.markLength;
  doc->identity_ = detected.encoding == text::Encoding::Utf8 && detected.validUtf8;
  doc->endOfText_ = static_cast<uint32_t>(doc->markLength_);
  if (doc->identity_) {
    doc->base_ = doc->raw_.data();
    doc->scanHeaders();
  } else {
    doc->splitAll();
  }
  if (doc->encoding_ == text::Encoding::Windows1252) {
    for (char c : doc->raw_) {
      if (isBinaryByte(static_cast<unsigned char>(c))) {
        doc->looksBinary_ = true;
        break;
      }
    }
  }
  for (const Section& s : doc->sections_) {
    if (s.nameEnd > s.nameBegin) {
      doc->sectionNameList_.append(doc->sectionName(s));
      doc->sectionNameList_.push_back('\0');
    }
  }
  return doc;
}

Line Document::makeLine(uint32_t begin, uint32_t end, uint32_t next) const {
  Line l;
  l.rawBegin = l.textBegin = begin;
  l.rawEnd = l.textEnd = end;
  l.rawNext = next;
  // A NUL ends the line's text.
  if (const void* z = std::memchr(base_ + begin, '\0', end - begin)) {
    l.textEnd = static_cast<uint32_t>(static_cast<const char*>(z) - base_);
  }
  classify(l);
  return l;
}

// Plain UTF-8: find the headers only; bodies are split on first use.
void Document::scanHeaders() {
  const char* r = raw_.data();
  const bool hasCr = std::memchr(r, '\r', raw_.size()) != nullptr;
  bool eolKnown = false;
  uint32_t lastEnd = 0;
  uint32_t lastNext = static_cast<uint32_t>(markLength_);
  forEachLine(r, markLength_, raw_.size(), hasCr, [&](std::size_t b, std::size_t e, std::size_t n) {
    if (!eolKnown && e < n) {
      lineEnd_ = std::string_view(r + e, n - e);
      eolKnown = true;
    }
    lastEnd = static_cast<uint32_t>(e);
    lastNext = static_cast<uint32_t>(n);
    std::size_t first = b;
    while (first < e && text::isBlank(r[first])) ++first;
    if (first < e && r[first] == '[') {
      const Line l =
          makeLine(static_cast<uint32_t>(b), static_cast<uint32_t>(e), static_cast<uint32_t>(n));
      if (l.kind == LineKind::Header) addSection(l, 0);
    }
  });
  endOfText_ = lastNext;
  endsWithLineEnd_ = lastNext == markLength_ || lastNext != lastEnd;
  if (!sections_.empty()) sections_.back().bodyEnd = endOfText_;
}

// Other encodings: decode every line up front (such files are rare and small).
void Document::splitAll() {
  const std::size_t unit = text::unitSize(encoding_);
  const std::size_t n = raw_.size();
  const char* r = raw_.data();
  auto unitAt = [&](std::size_t i) -> unsigned {
    if (unit == 1) return static_cast<unsigned char>(r[i]);
    const auto a = static_cast<unsigned char>(r[i]);
    const auto b = static_cast<unsigned char>(r[i + 1]);
    return encoding_ == text::Encoding::Utf16LE ? (a | (b << 8)) : ((a << 8) | b);
  };
  const std::size_t limit = unit == 1 ? n : n - (n - markLength_) % 2;
  bool eolKnown = false;
  std::size_t pos = markLength_;
  while (pos < limit) {
    std::size_t end = pos;
    while (end < limit && unitAt(end) != '\n' && unitAt(end) != '\r') end += unit;
    std::size_t next = end;
    if (end < limit) {
      const bool cr = unitAt(end) == '\r';
      next = end + unit;
      if (cr && next < limit && unitAt(next) == '\n') next += unit;
      if (!eolKnown) {
        lineEnd_ = cr ? (next - end == 2 * unit ? "\r\n" : "\r") : "\n";
        eolKnown = true;
      }
    }
    Line l;
    l.rawBegin = static_cast<uint32_t>(pos);
    l.rawEnd = static_cast<uint32_t>(end);
    l.rawNext = static_cast<uint32_t>(next);
    l.textBegin = static_cast<uint32_t>(decoded_.size());
    decoded_ += text::decodeToUtf8(encoding_, std::string_view(r + pos, end - pos));
    l.textEnd = static_cast<uint32_t>(decoded_.size());
    allLines_.push_back(l);
    pos = next;
  }
  base_ = decoded_.data();
  for (uint32_t i = 0; i < allLines_.size(); ++i) {
    Line& l = allLines_[i];
    if (const void* z = std::memchr(base_ + l.textBegin, '\0', l.textEnd - l.textBegin)) {
      l.textEnd = static_cast<uint32_t>(static_cast<const char*>(z) - base_);
    }
    classify(l);
    if (l.kind == LineKind::Header) addSection(l, i + 1);
  }
  if (!allLines_.empty()) {
    endOfText_ = allLines_.back().rawNext;
    endsWithLineEnd_ = allLines_.back().rawNext != allLines_.back().rawEnd;
  }
  if (!sections_.empty()) sections_.back().bodyEnd = endOfText_;
}

void Document::addSection(const Line& header, uint32_t firstLine) {
  if (!sections_.empty()) sections_.back().bodyEnd = header.rawBegin;
  Section s;
  s.header = header;
  s.firstLine = firstLine;
  s.bodyBegin = header.rawNext;
  // The name lies between '[' and the last ']', blanks trimmed.
  const std::string_view t = text(header);
  const std::size_t open = t.find('[');
  const std::size_t close = t.rfind(']');
  const std::string_view name = text::trimBlanks(t.substr(open + 1, close - open - 1));
  s.nameBegin = static_cast<uint32_t>(name.data() - base_);
  s.nameEnd = s.nameBegin + static_cast<uint32_t>(name.size());
  std::string& folded = foldBuffer();
  text::foldCaseInto(name, folded);
  sectionIndex_.emplace(folded, static_cast<uint32_t>(sections_.size()));
  sections_.push_back(s);
}

void Document::classify(Line& l) const {
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
  } else if (t[first] == '[' && t.rfind(']') != std::string_view::npos && t.rfind(']') > first) {
    l.kind = LineKind::Header;
  } else {
    l.kind = l.hasEquals ? LineKind::Entry : LineKind::Bare;
  }
}

// The lines of raw bytes [begin, end), which start at allLines_[firstLine]
// in a decoded file.
std::unique_ptr<SectionBody> Document::buildBody(uint32_t begin, uint32_t end,
                                                 uint32_t firstLine) const {
  auto body = std::make_unique<SectionBody>();
  if (identity_) {
    const bool hasCr = std::memchr(base_ + begin, '\r', end - begin) != nullptr;
    forEachLine(base_, begin, end, hasCr,
                [&](std::size_t b, std::size_t e, std::size_t n) {
                  body->lines.push_back(makeLine(static_cast<uint32_t>(b),
                                                 static_cast<uint32_t>(e),
                                                 static_cast<uint32_t>(n)));
                });
  } else {
    for (std::size_t i = firstLine; i < allLines_.size(); ++i) {
      if (allLines_[i].kind == LineKind::Header) break;
      body->lines.push_back(allLines_[i]);
    }
  }
  std::string folded;
  for (uint32_t i = 0; i < body->lines.size(); ++i) {
    const Line& l = body->lines[i];
    // Comment lines with '=' are found by an exact lookup of their name
    // (";name"), as on Windows, though no listing shows them.
    if (l.kind == LineKind::Entry || (l.kind == LineKind::Comment && l.hasEquals)) {
      text::foldCaseInto(name(l), folded);
      body->keys.emplace(folded, i);
    }
    if (l.kind == LineKind::Entry) {
      if (!name(l).empty()) {
        body->keyList.append(name(l));
        body->keyList.push_back('\0');
      }
      body->entryList.append(name(l));
      body->entryList.push_back('=');
      body->entryList.append(value(l));
      body->entryList.push_back('\0');
    } else if (l.kind == LineKind::Bare) {
      body->entryList.append(text::trimBlanks(text(l)));
      body->entryList.push_back('\0');
    }
  }
  return body;
}

const SectionBody& Document::body(int section) const {
  std::lock_guard<host::ForkSafeMutex> lock(bodyMutex_);
  if (bodies_.empty()) bodies_.resize(sections_.size());
  auto& slot = bodies_[static_cast<std::size_t>(section)];
  if (!slot) {
    const Section& s = sections_[static_cast<std::size_t>(section)];
    slot = buildBody(s.bodyBegin, s.bodyEnd, s.firstLine);
  }
  return *slot;
}

const SectionBody& Document::preamble() const {
  std::lock_guard<host::ForkSafeMutex> lock(bodyMutex_);
  if (!preamble_) {
    const uint32_t end = sections_.empty() ? endOfText_ : sections_.front().header.rawBegin;
    preamble_ = buildBody(static_cast<uint32_t>(markLength_), end, 0);
  }
  return *preamble_;
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

std::string_view Document::sectionName(const Section& s) const {
  return {base_ + s.nameBegin, s.nameEnd - s.nameBegin};
}

int Document::findSection(std::string_view name) const {
  std::string& folded = foldBuffer();
  text::foldCaseInto(name, folded);
  const auto it = sectionIndex_.find(std::string_view(folded));
  return it == sectionIndex_.end() ? -1 : static_cast<int>(it->second);
}

const Line* Document::findKey(int section, std::string_view key) const {
  if (section < 0 || static_cast<std::size_t>(section) >= sections_.size()) return nullptr;
  const SectionBody& b = body(section);
  std::string& folded = foldBuffer();
  text::foldCaseInto(key, folded);
  const auto it = b.keys.find(std::string_view(folded));
  return it == b.keys.end() ? nullptr : &b.lines[it->second];
}

}  // namespace zidevuv10::store
