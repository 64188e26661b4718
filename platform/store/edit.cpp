#include "store/edit.h"

#include <algorithm>
#include <string>
#include <unordered_map>

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

// The line end of the file's last line (the file's own when it has none).
std::string lastLineEnd(const Document& doc) {
  const uint32_t end = doc.endOfText();
  const std::size_t unit = text::unitSize(doc.encoding());
  const uint32_t tail = static_cast<uint32_t>(std::min<std::size_t>(end, 2 * unit));
  return doc.endsWithLineEnd() ? lineEndIn(doc, end - tail, end) : std::string(doc.lineEnd());
}

// Appends lines at the end of the file's text, with the line end of its last line.
Splice appendAtEnd(const Document& doc, const std::vector<std::string>& lines) {
  const uint32_t end = doc.endOfText();
  Splice sp{end, end, {}};
  const std::string lineEnd = lastLineEnd(doc);
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

EditPlan planWriteValues(const Document& doc, std::span<const ValueWrite> writes) {
  // The changes by section, then by key, each in the order first named.
  struct Group {
    std::string_view name;
    std::string folded;
    std::vector<std::pair<std::string, ValueWrite>> keys;  // folded key, last change of it
  };
  std::vector<Group> groups;
  for (const ValueWrite& w : writes) {
    const std::string folded = text::foldCase(text::trimBlanks(w.section));
    auto group = std::find_if(groups.begin(), groups.end(),
                              [&](const Group& g) { return g.folded == folded; });
    if (group == groups.end()) group = groups.insert(groups.end(), Group{w.section, folded, {}});
    const std::string foldedKey = text::foldCase(w.key);
    auto key = std::find_if(group->keys.begin(), group->keys.end(),
                            [&](const auto& k) { return k.first == foldedKey; });
    if (key == group->keys.end()) {
      group->keys.emplace_back(foldedKey, w);
    } else {
      key->second.value = w.value;
    }
  }
  EditPlan plan;
  std::vector<std::string> appended;  // lines of the sections the file lacks
  for (const Group& g : groups) {
    const bool outside = g.folded.empty();
    const int s = outside ? -1 : doc.findSection(text::trimBlanks(g.name));
    if (!outside && s < 0) {
      bool any = false;
      for (const auto& [folded, w] : g.keys) {
        if (!w.value) continue;
        if (!any) appended.push_back(header(g.name));
        any = true;
        appended.push_back(entry(w.key, *w.value));
      }
      continue;
    }
    // The section's lines (or those before the first header) and the first
    // line of each key, by folded name.
    std::vector<Line> lines;
    doc.forEachBodyLine(outside ? Document::kPreamble : s,
                        [&](const Line& l) { lines.push_back(l); });
    const auto isKeyLine = [](const Line& l) {
      return l.kind == LineKind::Entry || (l.kind == LineKind::Comment && l.hasEquals);
    };
    std::unordered_map<std::string, std::size_t> firstLine;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (isKeyLine(lines[i])) firstLine.try_emplace(text::foldCase(doc.name(lines[i])), i);
    }
    std::vector<std::string> added;
    for (const auto& [folded, w] : g.keys) {
      const auto found = firstLine.find(folded);
      if (!w.value) {
        // Every line of the key goes, so that no shadowed duplicate comes back.
        for (const Line& l : lines) {
          if (isKeyLine(l) && text::foldCase(doc.name(l)) == folded) {
            plan.push_back({l.rawBegin, l.rawNext, {}});
          }
        }
      } else if (found != firstLine.end()) {
        const Line& l = lines[found->second];
        if (doc.value(l) != *w.value) {
          plan.push_back(Splice{l.rawBegin, l.rawEnd, entry(doc.name(l), *w.value)});
        }
      } else {
        added.push_back(entry(w.key, *w.value));
      }
    }
    if (added.empty()) continue;
    const Line* last = nullptr;
    for (const Line& l : lines) {
      if (isEntryLine(l)) last = &l;
    }
    if (last != nullptr) {
      plan.push_back(insertAfter(doc, *last, added));
    } else if (!outside) {
      plan.push_back(insertAfter(doc, doc.header(s), added));
    } else if (doc.sectionCount() > 0) {
      const Line first = doc.header(0);
      Splice sp{first.rawBegin, first.rawBegin, {}};
      appendLines(sp.text, lineEndOf(doc, first), added);
      plan.push_back(std::move(sp));
    } else {
      plan.push_back(appendAtEnd(doc, added));
    }
  }
  // Splices never overlap; an insertion after a line follows any change of
  // that line, and comes before the deletion of the line it precedes.
  std::stable_sort(plan.begin(), plan.end(), [](const Splice& a, const Splice& b) {
    return a.from < b.from || (a.from == b.from && a.to < b.to);
  });
  if (!appended.empty()) {
    if (!plan.empty() && plan.back().from == doc.endOfText() &&
        plan.back().to == plan.back().from) {
      // An insertion at the very end already ended the file's last line.
      appendLines(plan.back().text, lastLineEnd(doc), appended);
    } else {
      plan.push_back(appendAtEnd(doc, appended));
    }
  }
  return plan;
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

EditPlan planAddSection(const Document& doc, std::string_view section) {
  const std::string_view name = text::trimBlanks(section);
  if (name.empty() || doc.findSection(name) >= 0) return {};
  return {appendAtEnd(doc, {header(section)})};
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
      // The new entries take the place of the first old one, and its line end.
      appendLines(sp.text, lineEndOf(doc, l), entries);
      placed = true;
    }
    plan.push_back(std::move(sp));
  });
  if (!placed && !entries.empty()) plan.push_back(insertAfter(doc, doc.header(s), entries));
  return plan;
}

std::optional<std::string> applyPlan(const Document& doc, const EditPlan& plan) {
  const std::string_view raw = doc.raw();
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

std::shared_ptr<const Document> documentAfter(const Document& doc, const EditPlan& plan,
                                              std::string bytes) {
  std::vector<Document::Change> changes;
  changes.reserve(plan.size());
  // Lengths as UTF-8: edited() reads every line again in any other encoding.
  for (const Splice& sp : plan) {
    changes.push_back({sp.from, sp.to, static_cast<uint32_t>(sp.text.size())});
  }
  return Document::edited(doc, std::move(bytes), changes);
}

}  // namespace zidevuv10::store
