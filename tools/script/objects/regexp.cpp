// RegExp, Matches, Match and SubMatches, with member tables.
//
// The C++ library's matcher recurses once per repetition step: a pattern
// such as `(a|b)*` over a run of a hundred thousand characters takes more
// than the 8 MB a main thread has. Compiling and matching therefore run on
// a thread with a stack of kStackBytes (reserved address space, filled only
// as deep as a match goes), which holds repetitions over several million
// characters.
#include "objects/regexp.h"

#include <pthread.h>

#include <exception>
#include <functional>

#include "objects/object_errors.h"
#include "typed_slot.h"
#include "zidevuv10/error.h"

namespace zidevuv10::script {

namespace {

using frame::method;
using frame::propGet;
using frame::propLet;

constexpr std::size_t kStackBytes = std::size_t{1} << 30;

// Runs `work` on a thread with a large stack and waits for it; an exception
// it throws is thrown here.
void onLargeStack(const std::function<void()>& work) {
  struct Job {
    const std::function<void()>* work;
    std::exception_ptr failure;
  } job{&work, nullptr};
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, kStackBytes);
  pthread_t thread;
  const int rc = pthread_create(
      &thread, &attributes,
      [](void* p) -> void* {
        auto* j = static_cast<Job*>(p);
        try {
          (*j->work)();
        } catch (...) {
          j->failure = std::current_exception();
        }
        return nullptr;
      },
      &job);
  pthread_attr_destroy(&attributes);
  if (rc != 0) raiseObjectError(err::kOutOfMemory);
  pthread_join(thread, nullptr);
  if (job.failure) std::rethrow_exception(job.failure);
}

// UTF-16 as code points for the engine, with where each code point starts
// in the UTF-16 text (and one past the end).
struct Wide {
  std::wstring text;
  std::vector<int32_t> utf16At;
};

Wide wide(const std::u16string& s) {
  Wide w;
  w.text.reserve(s.size());
  w.utf16At.reserve(s.size() + 1);
  for (std::size_t i = 0; i < s.size(); ++i) {
    w.utf16At.push_back(static_cast<int32_t>(i));
    const char16_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      w.text += static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00));
      ++i;
    } else {
      w.text += static_cast<wchar_t>(c);
    }
  }
  w.utf16At.push_back(static_cast<int32_t>(s.size()));
  return w;
}

// The pattern with each `.` outside a class made `[^\n]`: VBScript's dot
// stops only at LF, the engine's also at CR.
std::wstring vbDots(const std::wstring& pattern) {
  std::wstring out;
  bool inClass = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const wchar_t c = pattern[i];
    if (c == L'\\' && i + 1 < pattern.size()) {
      out += c;
      out += pattern[++i];
      continue;
    }
    if (inClass) {
      if (c == L']') inClass = false;
    } else if (c == L'[') {
      inClass = true;
      out += c;
      // A `]` first in a class is one of its characters.
      if (i + 1 < pattern.size() && pattern[i + 1] == L'^') out += pattern[++i];
      if (i + 1 < pattern.size() && pattern[i + 1] == L']') out += pattern[++i];
      continue;
    } else if (c == L'.') {
      out += L"[^\\n]";
      continue;
    }
    out += c;
  }
  return out;
}

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

const std::wregex& ScriptRegExp::compiled() {
  if (!compiled_) {
    auto flags = std::regex_constants::ECMAScript;
    if (ignoreCase_) flags |= std::regex_constants::icase;
    if (multiLine_) flags |= std::regex_constants::multiline;
    const std::wstring pattern = vbDots(wide(pattern_).text);
    std::shared_ptr<std::wregex> made;
    onLargeStack([&] {
      try {
        made = std::make_shared<std::wregex>(pattern, flags);
      } catch (const std::regex_error&) {
        raiseObjectError(err::kRegExpSyntax);
      }
    });
    compiled_ = std::move(made);
  }
  return *compiled_;
}

std::vector<ScriptRegExp::Found> ScriptRegExp::matches(const std::u16string& subject, bool all) {
  const std::wregex& re = compiled();
  const Wide w = wide(subject);
  std::vector<Found> found;
  onLargeStack([&] {
    try {
      for (std::wsregex_iterator it(w.text.begin(), w.text.end(), re), end; it != end; ++it) {
        Found f;
        for (std::size_t g = 0; g < it->size(); ++g) {
          const auto& m = (*it)[g];
          if (!m.matched) {
            f.spans.emplace_back(-1, 0);
            continue;
          }
          const auto from = static_cast<std::size_t>(m.first - w.text.begin());
          const auto to = static_cast<std::size_t>(m.second - w.text.begin());
          f.spans.emplace_back(w.utf16At[from], w.utf16At[to] - w.utf16At[from]);
        }
        found.push_back(std::move(f));
        if (!all) break;
      }
    } catch (const std::regex_error&) {
      // The engine gave up (its complexity or stack limit).
      raiseObjectError(err::kOutOfMemory);
    }
  });
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
