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

}  // namespace

std::shared_ptr<const Document> Document::parse(std::string raw) {
  std::shared_ptr<Document> doc(new Document());
  doc->raw_ = std::move(raw);
  doc->splitLines();
  for (auto& l : doc->lines_) doc->classify(l);
  std::string folded;
  for (uint32_t i = 0; i < doc->lines_.size(); ++i) {
    const Line& l = doc->lines_[i];
    if (l.kind != LineKind::Header) continue;
    if (!doc->sections_.empty()) doc->sections_.back().end = i;
    Section s;
    s.header = i;
    s.end = static_cast<uint32_t>(doc->lines_.size());
    // The name lies between '[' and the last ']', blanks trimmed.
    const std::string_view t = doc->text(l);
    const std::size_t open = t.find('[');
    const std::size_t close = t.rfind(']');
    const std::string_view name = text::trimBlanks(t.substr(open + 1, close - open - 1));
    s.nameBegin = static_cast<uint32_t>(name.data() - doc->base_);
    s.nameEnd = s.nameBegin + static_cast<uint32_t>(name.size());
    text::foldCaseInto(name, folded);
    doc->sectionIndex_.emplace(folded, static_cast<uint32_t>(doc->sections_.size()));
    doc->sections_.push_back(s);
  }
  return doc;
}

void Document::splitLines() {
  const text::DetectedEncoding detected = text::detectEncoding(raw_);
  encoding_ = detected.encoding;
  markLength_ = detected.markLength;
  const bool identity = encoding_ == text::Encoding::Utf8 && detected.validUtf8;
  const std::size_t unit = text::unitSize(encoding_);
  const std::size_t n = raw_.size();
  const char* r = raw_.data();

  // Reads the code unit at byte offset i.
  auto unitAt = [&](std::size_t i) -> unsigned {
    if (unit == 1) return static_cast<unsigned char>(r[i]);
    const auto a = static_cast<unsigned char>(r[i]);
    const auto b = static_cast<unsigned char>(r[i + 1]);
    return encoding_ == text::Encoding::Utf16LE ? (a | (b << 8)) : ((a << 8) | b);
  };
  const std::size_t limit = unit == 1 ? n : n - (n - markLength_) % 2;

  bool eolKnown = false;
  std::size_t pos = markLength_;
  // For single-byte text, memchr finds the next CR and LF quickly.
  std::size_t nextLf = 0;
  std::size_t nextCr = 0;
  auto refresh = [&](std::size_t& next, char c) {
    if (next < pos || next == 0) {
      const void* p = std::memchr(r + pos, c, n - pos);
      next = p ? static_cast<std::size_t>(static_cast<const char*>(p) - r) : n;
    }
  };
  while (pos < limit) {
    std::size_t end;
    if (unit == 1) {
      refresh(nextLf, '\n');
      refresh(nextCr, '\r');
      end = std::min(nextLf, nextCr);
    } else {
      end = pos;
      while (end < limit && unitAt(end) != '\n' && unitAt(end) != '\r') end += 2;
    }
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
    if (identity) {
      l.textBegin = l.rawBegin;
      l.textEnd = l.rawEnd;
    } else {
      l.textBegin = static_cast<uint32_t>(decoded_.size());
      decoded_ += text::decodeToUtf8(encoding_, std::string_view(r + pos, end - pos));
      l.textEnd = static_cast<uint32_t>(decoded_.size());
    }
    lines_.push_back(l);
    pos = next;
  }
  endOfText_ = static_cast<uint32_t>(lines_.empty() ? markLength_ : lines_.back().rawNext);
  base_ = identity ? raw_.data() : decoded_.data();
  // A NUL ends the line's text.
  for (auto& l : lines_) {
    if (const void* z = std::memchr(base_ + l.textBegin, '\0', l.textEnd - l.textBegin)) {
      l.textEnd = static_cast<uint32_t>(static_cast<const char*>(z) - base_);
    }
  }
  if (encoding_ == text::Encoding::Windows1252) {
    for (char c : raw_) {
      if (isBinaryByte(static_cast<unsigned char>(c))) {
        looksBinary_ = true;
        break;
      }
    }
  }
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
  } else if (t[first] == '[' && t.rfind(']') != std::string_view::npos &&
             t.rfind(']') > first) {
    l.kind = LineKind::Header;
  } else {
    l.kind = l.hasEquals ? LineKind::Entry : LineKind::Bare;
  }
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

const NameIndex& Document::keyIndex(int section) const {
  std::lock_guard<std::mutex> lock(keyMutex_);
  if (keyIndexes_.empty()) keyIndexes_.resize(sections_.size());
  auto& slot = keyIndexes_[static_cast<std::size_t>(section)];
  if (!slot) {
    slot = std::make_unique<NameIndex>();
    const Section& s = sections_[static_cast<std::size_t>(section)];
    std::string folded;
    for (uint32_t i = s.header + 1; i < s.end; ++i) {
      const Line& l = lines_[i];
      // Comment lines with '=' are found by an exact lookup of their name
      // (";name"), as on Windows, though no listing shows them.
      if (l.kind == LineKind::Entry || (l.kind == LineKind::Comment && l.hasEquals)) {
        text::foldCaseInto(name(l), folded);
        slot->emplace(folded, i);
      }
    }
  }
  return *slot;
}

int Document::findKey(int section, std::string_view key) const {
  if (section < 0 || static_cast<std::size_t>(section) >= sections_.size()) return -1;
  const NameIndex& index = keyIndex(section);
  std::string& folded = foldBuffer();
  text::foldCaseInto(key, folded);
  const auto it = index.find(std::string_view(folded));
  return it == index.end() ? -1 : static_cast<int>(it->second);
}

}  // namespace zidevuv10::store
