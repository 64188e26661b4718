// RegExp, Matches, Match and SubMatches, with member tables.
#include "objects/regexp.h"

#include "objects/icu_regex.h"
#include "objects/object_errors.h"
#include "typed_slot.h"
#include "zidevuv10/error.h"

namespace zidevuv10::script {

namespace {

using frame::method;
using frame::propGet;
using frame::propLet;

// How much memory one match may use to backtrack.
constexpr int32_t kBacktrackBytes = 256 * 1024 * 1024;

ClassInfo makeRegExpClass() {
  return ClassInfo{u"IRegExp2",
                   u"3f4daca4-160d-11d2-a8e9-00104b365c9f",
                   u"3f4dacb0-160d-11d2-a8e9-00104b365c9f",
                   {
                       propGet<&ScriptRegExp::get_Pattern>(u"Pattern", 10001),
                       propLet<&ScriptRegExp::let_Pattern>(u"Pattern", 10001, u"pPattern"),
                       propGet<&ScriptRegExp::get_IgnoreCase, frame::Boolean>(u"IgnoreCase", 10002),
                       propLet<&ScriptRegExp::let_IgnoreCase>(u"IgnoreCase", 10002, frame::hinted<frame::Boolean>(u"pIgnoreCase")),
                       propGet<&ScriptRegExp::get_Global, frame::Boolean>(u"Global", 10003),
                       propLet<&ScriptRegExp::let_Global>(u"Global", 10003, frame::hinted<frame::Boolean>(u"pGlobal")),
                       propGet<&ScriptRegExp::get_MultiLine, frame::Boolean>(u"Multiline", 10006),
                       propLet<&ScriptRegExp::let_MultiLine>(u"Multiline", 10006, frame::hinted<frame::Boolean>(u"pMultiline")),
                       method<&ScriptRegExp::Execute>(u"Execute", 10004, u"sourceString"),
                       method<&ScriptRegExp::Test, frame::Boolean>(u"Test", 10005, u"sourceString"),
                       method<&ScriptRegExp::Replace>(u"Replace", 10007, u"sourceString", u"replaceVar"),
                   }};
}

ClassInfo makeMatchesClass() {
  return ClassInfo{u"IMatchCollection2",
                   u"3f4daca6-160d-11d2-a8e9-00104b365c9f",
                   u"3f4dacb2-160d-11d2-a8e9-00104b365c9f",
                   {
                       propGet<&ScriptMatches::get_Item>(u"Item", 0, u"index"),
                       propGet<&ScriptMatches::Count>(u"Count", 1),
                   }};
}

ClassInfo makeMatchClass() {
  return ClassInfo{u"IMatch2",
                   u"3f4daca5-160d-11d2-a8e9-00104b365c9f",
                   u"3f4dacb1-160d-11d2-a8e9-00104b365c9f",
                   {
                       propGet<&ScriptMatch::get_Value>(u"Value", 0),
                       propGet<&ScriptMatch::get_FirstIndex>(u"FirstIndex", 10001),
                       propGet<&ScriptMatch::get_Length>(u"Length", 10002),
                       propGet<&ScriptMatch::get_SubMatches>(u"SubMatches", 10003),
                   }};
}

}  // namespace

const ClassInfo* ScriptRegExp::classInfo() const {
  static const ClassInfo info = makeRegExpClass();
  return &info;
}

void ScriptRegExp::let_Pattern(const Text& pattern) {
  pattern_ = pattern.str();
  compiled_.reset();
}

void ScriptRegExp::let_IgnoreCase(int16_t on) {
  ignoreCase_ = on != 0;
  compiled_.reset();
}

void ScriptRegExp::let_MultiLine(int16_t on) {
  multiLine_ = on != 0;
  compiled_.reset();
}

URegularExpression* ScriptRegExp::compiled() {
  if (!compiled_) {
    const IcuRegexFunctions& icu = icuRegex();
    uint32_t flags = UREGEX_UNIX_LINES;
    if (ignoreCase_) flags |= UREGEX_CASE_INSENSITIVE;
    if (multiLine_) flags |= UREGEX_MULTILINE;
    const std::u16string pattern = ecmaToIcu(pattern_, multiLine_);
    UErrorCode status = U_ZERO_ERROR;
    UParseError where{};
    URegularExpression* re = icu.open(pattern.data(), static_cast<int32_t>(pattern.size()), flags, &where, &status);
    if (U_FAILURE(status)) {
      if (re != nullptr) icu.close(re);
      raiseObjectError(err::kRegExpSyntax);
    }
    compiled_ = std::shared_ptr<URegularExpression>(re, icu.close);
    icu.setStackLimit(re, kBacktrackBytes, &status);
  }
  return compiled_.get();
}

std::vector<ScriptRegExp::Found> ScriptRegExp::matches(const std::u16string& subject, bool all) {
  const IcuRegexFunctions& icu = icuRegex();
  URegularExpression* re = compiled();
  UErrorCode status = U_ZERO_ERROR;
  icu.setText(re, subject.data(), static_cast<int32_t>(subject.size()), &status);
  const int32_t groups = icu.groupCount(re, &status);
  std::vector<Found> found;
  while (U_SUCCESS(status) && icu.findNext(re, &status)) {
    Found f;
    for (int32_t g = 0; g <= groups && U_SUCCESS(status); ++g) {
      const int32_t from = icu.start(re, g, &status);
      const int32_t to = icu.end(re, g, &status);
      f.spans.emplace_back(from, from < 0 ? 0 : to - from);
    }
    found.push_back(std::move(f));
    if (!all) break;
  }
  if (status == U_REGEX_STACK_OVERFLOW || status == U_REGEX_TIME_OUT) raiseObjectError(err::kOutOfStackSpace);
  if (U_FAILURE(status)) raiseObjectError(err::kRegExpSyntax);
  return found;
}

int16_t ScriptRegExp::Test(const Text& subject) { return matches(subject.str(), false).empty() ? 0 : -1; }

Variant ScriptRegExp::Execute(const Text& subject) {
  const std::u16string& s = subject.str();
  std::vector<Variant> items;
  for (const Found& f : matches(s, global_)) {
    std::vector<Variant> groups;
    for (std::size_t g = 1; g < f.spans.size(); ++g) {
      const auto [at, length] = f.spans[g];
      groups.push_back(at < 0 ? Variant() : Variant(Text(s.substr(static_cast<std::size_t>(at), static_cast<std::size_t>(length)))));
    }
    const auto [at, length] = f.spans[0];
    items.emplace_back(makeObject<ScriptMatch>(Text(s.substr(static_cast<std::size_t>(at), static_cast<std::size_t>(length))), at,
                                               std::move(groups)));
  }
  return Variant(makeObject<ScriptMatches>(std::move(items)));
}

Text ScriptRegExp::Replace(const Text& subject, const Variant& replacement) {
  const std::u16string& s = subject.str();
  if (replacement.isObject()) raiseObjectError(err::kTypeMismatch);
  const std::u16string with = replacement.toText().str();
  std::u16string out;
  std::size_t copied = 0;
  for (const Found& f : matches(s, global_)) {
    const auto at = static_cast<std::size_t>(f.spans[0].first);
    const auto end = at + static_cast<std::size_t>(f.spans[0].second);
    out.append(s, copied, at - copied);
    const std::size_t groups = f.spans.size() - 1;
    const auto group = [&](std::size_t g) {
      const auto [from, length] = f.spans[g];
      if (from >= 0) out.append(s, static_cast<std::size_t>(from), static_cast<std::size_t>(length));
    };
    for (std::size_t i = 0; i < with.size(); ++i) {
      const char16_t c = with[i];
      const char16_t next = i + 1 < with.size() ? with[i + 1] : 0;
      if (c != u'$' || next == 0) {
        out += c;
      } else if (next == u'$') {
        out += u'$';
        ++i;
      } else if (next == u'&') {
        out.append(s, at, end - at);
        ++i;
      } else if (next == u'`') {
        out.append(s, 0, at);
        ++i;
      } else if (next == u'\'') {
        out.append(s, end, std::u16string::npos);
        ++i;
      } else if (next >= u'0' && next <= u'9') {
        // Two digits when they name a group, else one; $0 and groups that
        // do not exist stay as written.
        std::size_t n = next - u'0';
        std::size_t used = 1;
        const char16_t third = i + 2 < with.size() ? with[i + 2] : 0;
        if (third >= u'0' && third <= u'9' && n * 10 + (third - u'0') >= 1 && n * 10 + (third - u'0') <= groups) {
          n = n * 10 + (third - u'0');
          used = 2;
        }
        if (n >= 1 && n <= groups) {
          group(n);
          i += used;
        } else {
          out += c;
        }
      } else {
        out += c;
      }
    }
    copied = end;
  }
  out.append(s, copied, std::u16string::npos);
  return Text(std::move(out));
}

const ClassInfo* ScriptMatches::classInfo() const {
  static const ClassInfo info = makeMatchesClass();
  return &info;
}

Variant ScriptMatches::get_Item(int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) raiseObjectError(err::kInvalidCall);
  return items_[static_cast<std::size_t>(index)];
}

const ClassInfo* ScriptMatch::classInfo() const {
  static const ClassInfo info = makeMatchClass();
  return &info;
}

Variant ScriptMatch::get_SubMatches() const {
  auto sub = makeObject<ScriptMatches>(subMatches_);
  sub->typeName_ = u"ISubMatches";
  return Variant(sub);
}

ObjectRef makeRegExp() { return makeObject<ScriptRegExp>(); }

}  // namespace zidevuv10::script
