#include "store/edit.h"

#include <algorithm>

#include "text/blanks.h"
#include "text/case_fold.h"

namespace zidevuv10::store {

namespace {

bool isEntryLine(const Line& l) { return l.kind == LineKind::Entry || l.kind == LineKind::Bare; }

// Index of the last entry line of a section, or its header when it has none.
uint32_t lastEntryLine(const Document& doc, const Section& s) {
  for (uint32_t i = s.end; i > s.header + 1; --i) {
    if (isEntryLine(doc.lines()[i - 1])) return i - 1;
  }
  return s.header;
}

// Inserts lines after line `after`, ending the line first when it has no line end.
Splice insertAfter(const Document& doc, uint32_t after, const std::vector<std::string>& lines) {
  const Line& l = doc.lines()[after];
  Splice sp{l.rawNext, l.rawNext, {}};
  if (l.rawNext == l.rawEnd) sp.text.append(doc.lineEnd());
  for (const auto& line : lines) {
    sp.text.append(line);
    sp.text.append(doc.lineEnd());
  }
  return sp;
}

// Appends lines at the end of the file's text.
Splice appendAtEnd(const Document& doc, const std::vector<std::string>& lines) {
  Splice sp{doc.endOfText(), doc.endOfText(), {}};
  if (!doc.lines().empty() && doc.lines().back().rawNext == doc.lines().back().rawEnd) {
    sp.text.append(doc.lineEnd());
  }
  for (const auto& line : lines) {
    sp.text.append(line);
    sp.text.append(doc.lineEnd());
  }
  return sp;
}

std::string header(std::string_view section) { return "[" + std::string(section) + "]"; }

std::string entry(std::string_view key, std::string_view value) {
  return std::string(key) + "=" + std::string(value);
}

// Every section of that name, in file order.
std::vector<uint32_t> sectionsNamed(const Document& doc, std::string_view name) {
  std::vector<uint32_t> out;
  const std::string folded = text::foldCase(text::trimBlanks(name));
  for (uint32_t i = 0; i < doc.sections().size(); ++i) {
    if (text::foldCase(doc.sectionName(doc.sections()[i])) == folded) out.push_back(i);
  }
  return out;
}

}  // namespace

EditPlan planWriteValue(const Document& doc, std::string_view section, std::string_view key,
                        std::string_view value) {
  const int s = doc.findSection(text::trimBlanks(section));
  if (s < 0) return {appendAtEnd(doc, {header(section), entry(key, value)})};
  const int k = doc.findKey(s, key);
  if (k >= 0) {
    const Line& l = doc.lines()[static_cast<std::size_t>(k)];
    if (doc.value(l) == value) return {};
    // The line keeps its place, its line end and the key's spelling.
    return {Splice{l.rawBegin, l.rawEnd, entry(doc.name(l), value)}};
  }
  const Section& sec = doc.sections()[static_cast<std::size_t>(s)];
  return {insertAfter(doc, lastEntryLine(doc, sec), {entry(key, value)})};
}

EditPlan planDeleteKey(const Document& doc, std::string_view section, std::string_view key) {
  const int s = doc.findSection(text::trimBlanks(section));
  if (s < 0) return {};
  // Every line of the key in the section goes, so that no shadowed duplicate
  // comes back to view.
  const Section& sec = doc.sections()[static_cast<std::size_t>(s)];
  const std::string folded = text::foldCase(key);
  EditPlan plan;
  for (uint32_t i = sec.header + 1; i < sec.end; ++i) {
    const Line& l = doc.lines()[i];
    const bool keyLine = l.kind == LineKind::Entry || (l.kind == LineKind::Comment && l.hasEquals);
    if (keyLine && text::foldCase(doc.name(l)) == folded) {
      plan.push_back({l.rawBegin, l.rawNext, {}});
    }
  }
  return plan;
}

EditPlan planDeleteSection(const Document& doc, std::string_view section) {
  EditPlan plan;
  for (uint32_t index : sectionsNamed(doc, section)) {
    const Section& sec = doc.sections()[index];
    // The header and the section's lines up to its last entry; blank lines
    // and comments after the last entry stay, as they often introduce the
    // next section.
    const uint32_t last = lastEntryLine(doc, sec);
    plan.push_back({doc.lines()[sec.header].rawBegin, doc.lines()[last].rawNext, {}});
  }
  return plan;
}

EditPlan planReplaceSection(const Document& doc, std::string_view section,
                            const std::vector<std::string>& entries) {
  const int s = doc.findSection(text::trimBlanks(section));
  if (s < 0) {
    if (entries.empty()) return {};
    std::vector<std::string> lines{header(section)};
    lines.insert(lines.end(), entries.begin(), entries.end());
    return {appendAtEnd(doc, lines)};
  }
  const Section& sec = doc.sections()[static_cast<std::size_t>(s)];
  EditPlan plan;
  bool placed = false;
  for (uint32_t i = sec.header + 1; i < sec.end; ++i) {
    const Line& l = doc.lines()[i];
    if (!isEntryLine(l)) continue;
    Splice sp{l.rawBegin, l.rawNext, {}};
    if (!placed) {
      // The new entries take the place of the first old one.
      for (const auto& e : entries) {
        sp.text.append(e);
        sp.text.append(doc.lineEnd());
      }
      placed = true;
    }
    plan.push_back(std::move(sp));
  }
  if (!placed && !entries.empty()) plan.push_back(insertAfter(doc, sec.header, entries));
  return plan;
}

std::optional<std::string> applyPlan(const Document& doc, const EditPlan& plan) {
  const std::string& raw = doc.raw();
  std::string out;
  out.reserve(raw.size() + 256);
  uint32_t pos = 0;
  for (const Splice& sp : plan) {
    out.append(raw, pos, sp.from - pos);
    auto encoded = text::encodeFromUtf8(doc.encoding(), sp.text);
    if (!encoded) return std::nullopt;
    out.append(*encoded);
    pos = sp.to;
  }
  out.append(raw, pos, std::string::npos);
  return out;
}

}  // namespace zidevuv10::store
