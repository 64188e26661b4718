#include "store/edit.h"

#include <algorithm>
#include <string>

#include "text/blanks.h"
#include "text/case_fold.h"

namespace zidevuv10::store {

namespace {

bool isEntryLine(const Line& l) { return l.kind == LineKind::Entry || l.kind == LineKind::Bare; }

// The last entry line of a section, or its header when it has none.
const Line& lastEntryLine(const Document& doc, int section) {
  const auto& lines = doc.body(section).lines;
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    if (isEntryLine(*it)) return *it;
  }
  return doc.sections()[static_cast<std::size_t>(section)].header;
}

void appendLines(std::string& out, std::string_view lineEnd,
                 const std::vector<std::string>& lines) {
  for (const auto& line : lines) {
    out.append(line);
    out.append(lineEnd);
  }
}

// The line end of the raw bytes [from, to) as text: CRLF, LF or CR; the
// file's own line end when the bytes hold none (a last line without one).
std::string lineEndIn(const Document& doc, uint32_t from, uint32_t to) {
  const std::string end =
      text::decodeToUtf8(doc.encoding(), std::string_view(doc.raw()).substr(from, to - from));
  for (const std::string_view candidate : {"\r\n", "\n", "\r"}) {
    if (end.ends_with(candidate)) return std::string(candidate);
  }
  return std::string(doc.lineEnd());
}

// The line end of a line; in a file with mixed line ends, new lines take the
// line end of the line they follow.
std::string lineEndOf(const Document& doc, const Line& l) {
  return lineEndIn(doc, l.rawEnd, l.rawNext);
}

// Inserts lines after a line, ending that line first when it has no line end.
Splice insertAfter(const Document& doc, const Line& l, const std::vector<std::string>& lines) {
  Splice sp{l.rawNext, l.rawNext, {}};
  const std::string lineEnd = lineEndOf(doc, l);
  if (l.rawNext == l.rawEnd) sp.text.append(lineEnd);
  appendLines(sp.text, lineEnd, lines);
  return sp;
}

// Appends lines at the end of the file's text, with the line end of its last line.
Splice appendAtEnd(const Document& doc, const std::vector<std::string>& lines) {
  const uint32_t end = doc.endOfText();
  Splice sp{end, end, {}};
  const std::size_t unit = text::unitSize(doc.encoding());
  const uint32_t tail = static_cast<uint32_t>(std::min<std::size_t>(end, 2 * unit));
  const std::string lineEnd = doc.endsWithLineEnd() ? lineEndIn(doc, end - tail, end)
                                                    : std::string(doc.lineEnd());
  if (!doc.endsWithLineEnd()) sp.text.append(lineEnd);
  appendLines(sp.text, lineEnd, lines);
  return sp;
}

std::string header(std::string_view section) {
  std::string out;
  out.reserve(section.size() + 2);
  out.push_back('[');
  out.append(section);
  out.push_back(']');
  return out;
}

std::string entry(std::string_view key, std::string_view value) {
  std::string out;
  out.reserve(key.size() + value.size() + 1);
  out.append(key);
  out.push_back('=');
  out.append(value);
  return out;
}

// Every section of that name, in file order.
std::vector<int> sectionsNamed(const Document& doc, std::string_view name) {
  std::vector<int> out;
  const std::string folded = text::foldCase(text::trimBlanks(name));
  for (std::size_t i = 0; i < doc.sections().size(); ++i) {
    if (text::foldCase(doc.sectionName(doc.sections()[i])) == folded) {
      out.push_back(static_cast<int>(i));
    }
  }
  return out;
}

}  // namespace

EditPlan planWriteValue(const Document& doc, std::string_view section, std::string_view key,
                        std::string_view value) {
  const int s = doc.findSection(text::trimBlanks(section));
  if (s < 0) return {appendAtEnd(doc, {header(section), entry(key, value)})};
  if (const Line* l = doc.findKey(s, key)) {
    if (doc.value(*l) == value) return {};
    // The line keeps its place, its line end and the key's spelling.
    return {Splice{l->rawBegin, l->rawEnd, entry(doc.name(*l), value)}};
  }
  return {insertAfter(doc, lastEntryLine(doc, s), {entry(key, value)})};
}

EditPlan planDeleteKey(const Document& doc, std::string_view section, std::string_view key) {
  const int s = doc.findSection(text::trimBlanks(section));
  if (s < 0) return {};
  // Every line of the key in the section goes, so that no shadowed duplicate
  // comes back to view.
  const std::string folded = text::foldCase(key);
  EditPlan plan;
  for (const Line& l : doc.body(s).lines) {
    const bool keyLine = l.kind == LineKind::Entry || (l.kind == LineKind::Comment && l.hasEquals);
    if (keyLine && text::foldCase(doc.name(l)) == folded) {
      plan.push_back({l.rawBegin, l.rawNext, {}});
    }
  }
  return plan;
}

EditPlan planDeleteSection(const Document& doc, std::string_view section) {
  EditPlan plan;
  for (int index : sectionsNamed(doc, section)) {
    // The header and the section's lines up to its last entry; blank lines
    // and comments after the last entry stay, as they often introduce the
    // next section.
    const Section& sec = doc.sections()[static_cast<std::size_t>(index)];
    plan.push_back({sec.header.rawBegin, lastEntryLine(doc, index).rawNext, {}});
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
  EditPlan plan;
  bool placed = false;
  for (const Line& l : doc.body(s).lines) {
    if (!isEntryLine(l)) continue;
    Splice sp{l.rawBegin, l.rawNext, {}};
    if (!placed) {
      // The new entries take the place of the first old one, and its line end.
      appendLines(sp.text, lineEndOf(doc, l), entries);
      placed = true;
    }
    plan.push_back(std::move(sp));
  }
  if (!placed && !entries.empty()) {
    plan.push_back(insertAfter(doc, doc.sections()[static_cast<std::size_t>(s)].header, entries));
  }
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
