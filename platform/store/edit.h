// Changes to a parsed profile file, planned as splices into its original
// bytes: only the lines a change must touch are rewritten, every other byte
// (comments, blank lines, spacing, line ends, bytes before the first
// section) stays as it was. New and changed lines take the Windows form
// "key=value" / "[section]" and the file's own line end and encoding.
//
// Pure functions over an immutable Document; safe from any thread.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/document.h"

namespace zidevuv10::store {

// Replaces raw bytes [from, to) with UTF-8 text to be encoded in the file's encoding.
struct Splice {
  uint32_t from = 0;
  uint32_t to = 0;
  std::string text;
};

// The splices of one change, in file order; empty when nothing changes.
using EditPlan = std::vector<Splice>;

EditPlan planWriteValue(const Document& doc, std::string_view section, std::string_view key,
                        std::string_view value);

// One change of several made together: a value written, or (value nullopt)
// every line of the key deleted. Key and value already trimmed. An empty
// section name means the lines before the first header.
struct ValueWrite {
  std::string_view section;
  std::string_view key;
  std::optional<std::string_view> value;
};
// Several changes at once, with the result of planWriteValue or
// planDeleteKey for each in turn: the last change of a key wins, new keys of
// a section follow its last entry in the order given, missing sections are
// appended in the order first named. New keys outside any section go after
// the last entry before the first header, or else right before that header.
EditPlan planWriteValues(const Document& doc, std::span<const ValueWrite> writes);
EditPlan planDeleteKey(const Document& doc, std::string_view section, std::string_view key);
EditPlan planDeleteSection(const Document& doc, std::string_view section);
// A header for a section the file lacks, at its end; nothing when the
// section is there (an empty name: the lines before the first header).
EditPlan planAddSection(const Document& doc, std::string_view section);
// Replaces the entry lines of a section (comments stay); entries are
// already in their final form.
EditPlan planReplaceSection(const Document& doc, std::string_view section,
                            const std::vector<std::string>& entries);

// The new file bytes, or nullopt when the file's encoding cannot hold the new text.
std::optional<std::string> applyPlan(const Document& doc, const EditPlan& plan);

// The document of `bytes`, which applyPlan(doc, plan) gave (Document::edited:
// only the lines the plan touches are read again where it can).
std::shared_ptr<const Document> documentAfter(const Document& doc, const EditPlan& plan,
                                              std::string bytes);

}  // namespace zidevuv10::store
