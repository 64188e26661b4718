// The RegExp object (CreateObject("VBScript.RegExp"), and New RegExp
// through makeRegExp) with its Matches, Match and SubMatches. Patterns are
// ECMAScript's, as VBScript's are, run by ICU's engine after the rewriting
// of icu_regex.h; LF alone ends a line (for `.`, and for `^` and `$` with
// MultiLine), as VBScript documents. FirstIndex counts UTF-16 units from 0.
// A match that would backtrack beyond kBacktrackBytes of memory is error 28
// (out of stack space) rather than a crash.
// Apartment rule: used by the thread of the run that made it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <unicode/uregex.h>

#include "host_objects.h"
#include "objects/enumerable.h"

namespace zidevuv10::script {

class ScriptRegExp final : public HostObject {
 public:
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"IRegExp2"; }

  // Members. A pattern the engine refuses is error 5017 when it is used.
  Text get_Pattern() const { return Text(pattern_); }
  void let_Pattern(const Text& pattern);
  int16_t get_IgnoreCase() const { return ignoreCase_ ? -1 : 0; }
  void let_IgnoreCase(int16_t on);
  int16_t get_Global() const { return global_ ? -1 : 0; }
  void let_Global(int16_t on) { global_ = on != 0; }
  int16_t get_MultiLine() const { return multiLine_ ? -1 : 0; }
  void let_MultiLine(int16_t on);
  int16_t Test(const Text& subject);
  Variant Execute(const Text& subject);
  // $1..$99 a group, $& the match, $` before it, $' after it, $$ a $.
  Text Replace(const Text& subject, const Variant& replacement);

  // One match: UTF-16 offsets of the whole and of each group (-1: the group
  // took no part).
  struct Found {
    std::vector<std::pair<int32_t, int32_t>> spans;  // [0] the whole match: offset, length
  };

 private:
  URegularExpression* compiled();
  std::vector<Found> matches(const std::u16string& subject, bool all);

  std::u16string pattern_;
  bool ignoreCase_ = false;
  bool global_ = false;
  bool multiLine_ = false;
  std::shared_ptr<URegularExpression> compiled_;  // null until used after a change
};

// Execute's answer: Count, Item(i) from 0, For Each.
class ScriptMatches final : public HostObject, public Enumerable {
 public:
  explicit ScriptMatches(std::vector<Variant> items) : items_(std::move(items)) {}
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return typeName_; }
  std::vector<Variant> enumerate() const override { return items_; }

  Variant get_Item(int32_t index) const;
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }

  std::u16string typeName_ = u"IMatchCollection2";

 private:
  std::vector<Variant> items_;
};

// One match: Value (the default member), FirstIndex, Length, SubMatches
// (a group that took no part is Empty).
class ScriptMatch final : public HostObject {
 public:
  ScriptMatch(Text value, int32_t firstIndex, std::vector<Variant> subMatches)
      : value_(std::move(value)), firstIndex_(firstIndex), subMatches_(std::move(subMatches)) {}
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"IMatch2"; }

  Text get_Value() const { return value_; }
  int32_t get_FirstIndex() const { return firstIndex_; }
  int32_t get_Length() const { return static_cast<int32_t>(value_.size()); }
  Variant get_SubMatches() const;

 private:
  Text value_;
  int32_t firstIndex_;
  std::vector<Variant> subMatches_;
};

// A new RegExp object, for `New RegExp`.
ObjectRef makeRegExp();

}  // namespace zidevuv10::script
