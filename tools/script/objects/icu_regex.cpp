#include "objects/icu_regex.h"

#include <dlfcn.h>

#include <stdexcept>
#include <string>

namespace zidevuv10::script {

namespace {

#define ZIDEVUV10_TEXT_OF(x) #x
#define ZIDEVUV10_NAME_OF(x) ZIDEVUV10_TEXT_OF(x)

// ICU's headers give each function its versioned name (uregex_open_72),
// the symbol to look up.
constexpr const char* kLibrary = "libicui18n.so." ZIDEVUV10_NAME_OF(U_ICU_VERSION_MAJOR_NUM);

template <typename F>
void resolve(void* library, const char* name, F& out) {
  void* symbol = dlsym(library, name);
  if (symbol == nullptr) throw std::runtime_error(std::string("ICU function ") + name + " not found");
  out = reinterpret_cast<F>(symbol);
}

IcuRegexFunctions load() {
  // Never closed: the functions stay valid for the process's lifetime.
  void* library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* why = dlerror();
    throw std::runtime_error(std::string("loading ") + kLibrary + ": " + (why ? why : "unknown error"));
  }
  IcuRegexFunctions f{};
  resolve(library, ZIDEVUV10_NAME_OF(uregex_open), f.open);
  resolve(library, ZIDEVUV10_NAME_OF(uregex_close), f.close);
  resolve(library, ZIDEVUV10_NAME_OF(uregex_setText), f.setText);
  resolve(library, ZIDEVUV10_NAME_OF(uregex_findNext), f.findNext);
  resolve(library, ZIDEVUV10_NAME_OF(uregex_start), f.start);
  resolve(library, ZIDEVUV10_NAME_OF(uregex_end), f.end);
  resolve(library, ZIDEVUV10_NAME_OF(uregex_groupCount), f.groupCount);
  resolve(library, ZIDEVUV10_NAME_OF(uregex_setStackLimit), f.setStackLimit);
  return f;
}

#undef ZIDEVUV10_NAME_OF
#undef ZIDEVUV10_TEXT_OF

bool digit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool letter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// Whether `{` at i starts a repetition: {n}, {n,} or {n,m}.
bool repetitionAt(std::u16string_view p, std::size_t i) {
  std::size_t k = i + 1;
  if (k >= p.size() || !digit(p[k])) return false;
  while (k < p.size() && digit(p[k])) ++k;
  if (k < p.size() && p[k] == u',') {
    ++k;
    while (k < p.size() && digit(p[k])) ++k;
  }
  return k < p.size() && p[k] == u'}';
}

// The ASCII classes ECMAScript's escapes stand for, inside a class or as one.
std::u16string_view classBody(char16_t escape) {
  switch (escape) {
    case u'w': return u"A-Za-z0-9_";
    case u'd': return u"0-9";
    case u's': return u"\\t\\n\\x{0B}\\f\\r \\x{A0}\\x{1680}\\x{2000}-\\x{200A}\\x{2028}\\x{2029}\\x{202F}\\x{205F}\\x{3000}\\x{FEFF}";
    default: return u"";
  }
}

// Escapes ECMAScript gives a meaning (besides digits, which are back
// references or octal NUL): others stand for the character itself.
bool meaningful(char16_t c) {
  return std::u16string_view(u"bBdDsSwWfnrtvcxu").find(c) != std::u16string_view::npos;
}

}  // namespace

const IcuRegexFunctions& icuRegex() {
  static const IcuRegexFunctions functions = load();
  return functions;
}

std::u16string ecmaToIcu(std::u16string_view p, bool multiLine) {
  // A word character as ECMAScript's \b sees it.
  constexpr std::u16string_view kWord = u"[A-Za-z0-9_]";
  std::u16string out;
  bool inClass = false;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const char16_t c = p[i];
    if (c == u'\\' && i + 1 < p.size()) {
      const char16_t e = p[++i];
      const char16_t lower = e >= u'A' && e <= u'Z' ? static_cast<char16_t>(e + 32) : e;
      if (lower == u'w' || lower == u'd' || lower == u's') {
        const std::u16string_view body = classBody(lower);
        if (inClass && e == lower) {
          out += body;
        } else if (inClass) {
          // A negated escape inside a class: ICU's own (Unicode) form is the
          // nearest; such patterns are rare.
          out += u'\\';
          out += e;
        } else {
          out += e == lower ? u"[" : u"[^";
          out += body;
          out += u']';
        }
      } else if (!inClass && (e == u'b' || e == u'B')) {
        const std::u16string w(kWord);
        const std::u16string boundary = u"(?:(?<=" + w + u")(?!" + w + u")|(?<!" + w + u")(?=" + w + u"))";
        const std::u16string inside = u"(?:(?<=" + w + u")(?=" + w + u")|(?<!" + w + u")(?!" + w + u"))";
        out += e == u'b' ? boundary : inside;
      } else if (e == u'v') {
        out += u"\\x{0B}";  // ICU's \v is every vertical space
      } else if (letter(e) && !meaningful(e)) {
        out += e;  // \A is "A", as ECMAScript's identity escapes go
      } else {
        out += u'\\';
        out += e;
      }
      continue;
    }
    if (inClass) {
      if (c == u']') {
        inClass = false;
      } else if (c == u'[' || c == u'&' || (c == u'-' && i + 1 < p.size() && p[i + 1] == u'-')) {
        out += u'\\';
      }
      out += c;
      continue;
    }
    switch (c) {
      case u'[': {
        const bool negated = i + 1 < p.size() && p[i + 1] == u'^';
        const std::size_t next = i + (negated ? 2 : 1);
        if (next < p.size() && p[next] == u']') {
          // ECMAScript's empty class matches nothing, its negation anything.
          out += negated ? u"[\\x{0}-\\x{10FFFF}]" : u"(?!)";
          i = next;
          break;
        }
        inClass = true;
        out += negated ? u"[^" : u"[";
        i = next - 1;
        break;
      }
      case u'{':
        if (repetitionAt(p, i)) {
          const std::size_t close = p.find(u'}', i);
          out += p.substr(i, close - i + 1);
          i = close;
        } else {
          out += u"\\{";
        }
        break;
      case u'}':
        out += u"\\}";
        break;
      case u'$':
        out += multiLine ? u"$" : u"\\z";
        break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace zidevuv10::script
