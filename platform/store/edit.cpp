#include "store/edit.h"

#include <algorithm>

#include "text/blanks.h"
#include "text/case_fold.h"

namespace zidevuv10::store {

namespace {

bool isEntryLine(const Line& l) { return l.kind == LineKind::Entry || l.kind == LineKind::Bare; }

// The last entry line of a section, or its header when it has none.
Line lastEntryLine(const Document& doc, int section) {
  std::optional<Line> last;
  doc.forEachBodyLine(section, [&](const Line& l) {
    if (isEntryLine(l)) last = l;
  });
  return last ? *last : doc.header(section);
}

void appendLines(std::string& out, const Document& doc, const std::vector<std::string>& lines) {
  for (const auto& line : lines) {
    out.append(line);
    out.append(doc.lineEnd());
  }
}

// Inserts lines after a line, ending that line first when it has no line end.
Splice insertAfter(const Document& doc, const Line& l, const std::vector<std::string>& lines) {
  Splice sp{l.rawNext, l.rawNext, {}};
  if (l.rawNext == l.rawEnd) sp.text.append(doc.lineEnd());
  appendLines(sp.text, doc, lines);
  return sp;
}

// Appends lines at the end of the file's text.
Splice appendAtEnd(const Document& doc, const std::vector<std::string>& lines) {
  Splice sp{doc.endOfText(), doc.endOfText(), {}};
  if (!doc.endsWithLineEnd()) sp.text.append(doc.lineEnd());
  appendLines(sp.text, doc, lines);
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
  for (int i = 0; i < doc.sectionCount(); ++i) {
    if (foldsTo(doc.sectionName(i), folded)) out.push_back(i);
  }
  return out;
}

}  // namespace

EditPlan planWriteValue(const Document& doc, std::string_view section, std::string_view key,
                        std::string_view value) {
  const int s = doc.findSection(text::trimBlanks(section));
  if (s < 0) return {appendAtEnd(doc, {header(section), entry(key, value)})};
  if (const std::optional<Line> l = doc.findKey(s, key)) {
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
  doc.forEachBodyLine(s, [&](const Line& l) {
    const bool keyLine = l.kind == LineKind::Entry || (l.kind == LineKind::Comment && l.hasEquals);
    if (keyLine && foldsTo(doc.name(l), folded)) plan.push_back({l.rawBegin, l.rawNext, {}});
  });
  return plan;
}

EditPlan planDeleteSection(const Document& doc, std::string_view section) {
  EditPlan plan;
  for (int index : sectionsNamed(doc, section)) {
    // The header and the section's lines up to its last entry; blank lines
    // and comments after the last entry stay, as they often introduce the
    // next section.
    plan.push_back({doc.header(index).rawBegin, lastEntryLine(doc, index).rawNext, {}});
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
  doc.forEachBodyLine(s, [&](const Line& l) {
    if (!isEntryLine(l)) return;
    Splice sp{l.rawBegin, l.rawNext, {}};
    if (!placed) {
      // The new entries take the place of the first old one.
      appendLines(sp.text, doc, entries);
      placed = true;
    }
    plan.push_back(std::move(sp));
  });
  if (!placed && !entries.empty()) plan.push_back(insertAfter(doc, doc.header(s), entries));
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
