// zidevuv10_vswprintf of <zidevuv10/winport.h>: printf-style formatting of
// 16-bit text with Windows' wide conventions, which the C library's wide
// functions do not share (their %s is a narrow string, their wchar_t 32 bits).
// Numbers go through snprintf; strings and characters are placed here.
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "text/utf8.h"
#include "zidevuv10/winport.h"

namespace {

enum class Length { None, Char, Short, Long, LongLong, Size, Max, Diff, LongDouble };

struct Directive {
  std::string flags;
  int width = -1;
  int precision = -1;
  Length length = Length::None;
  bool narrowText = false;  // 'h' given: %hs and %hc are narrow
  bool wideText = false;    // 'l' or 'w' given
};

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int number(const char16_t*& f) {
  int n = 0;
  while (isDigit(*f)) n = n * 10 + (*f++ - u'0');
  return n;
}

// The narrow conversion (as in "%-8.3lld") snprintf takes for a number.
std::string narrowFormat(const Directive& s, const char* length, char conversion) {
  std::string out = "%" + s.flags;
  if (s.width >= 0) out += std::to_string(s.width);
  if (s.precision >= 0) out += "." + std::to_string(s.precision);
  out += length;
  out.push_back(conversion);
  return out;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
template <typename T>
void appendNumber(std::u16string& out, const std::string& format, T value) {
  char small[64];
  const int n = std::snprintf(small, sizeof small, format.c_str(), value);
  if (n < 0) return;
  std::string text;
  if (static_cast<std::size_t>(n) < sizeof small) {
    text.assign(small, static_cast<std::size_t>(n));
  } else {
    text.resize(static_cast<std::size_t>(n) + 1);
    std::snprintf(text.data(), text.size(), format.c_str(), value);
    text.resize(static_cast<std::size_t>(n));
  }
  for (const char c : text) out.push_back(static_cast<unsigned char>(c));
}
#pragma GCC diagnostic pop

// Text cut to the precision and padded with blanks to the width.
void appendText(std::u16string& out, const Directive& s, std::u16string_view text) {
  if (s.precision >= 0 && text.size() > static_cast<std::size_t>(s.precision)) {
    text = text.substr(0, static_cast<std::size_t>(s.precision));
  }
  const std::size_t pad =
      s.width > 0 && text.size() < static_cast<std::size_t>(s.width) ? s.width - text.size() : 0;
  const bool left = s.flags.find('-') != std::string::npos;
  if (!left) out.append(pad, u' ');
  out.append(text);
  if (left) out.append(pad, u' ');
}

void appendSigned(std::u16string& out, const Directive& s, char conversion, va_list& ap) {
  long long v = 0;
  switch (s.length) {
    case Length::Char: v = static_cast<signed char>(va_arg(ap, int)); break;
    case Length::Short: v = static_cast<short>(va_arg(ap, int)); break;
    case Length::Long: v = va_arg(ap, long); break;
    case Length::LongLong: v = va_arg(ap, long long); break;
    case Length::Size:
    case Length::Diff: v = va_arg(ap, std::ptrdiff_t); break;
    case Length::Max: v = va_arg(ap, intmax_t); break;
    default: v = va_arg(ap, int); break;
  }
  appendNumber(out, narrowFormat(s, "ll", conversion), v);
}

void appendUnsigned(std::u16string& out, const Directive& s, char conversion, va_list& ap) {
  unsigned long long v = 0;
  switch (s.length) {
    case Length::Char: v = static_cast<unsigned char>(va_arg(ap, unsigned)); break;
    case Length::Short: v = static_cast<unsigned short>(va_arg(ap, unsigned)); break;
    case Length::Long: v = va_arg(ap, unsigned long); break;
    case Length::LongLong: v = va_arg(ap, unsigned long long); break;
    case Length::Size:
    case Length::Diff: v = va_arg(ap, std::size_t); break;
    case Length::Max: v = va_arg(ap, uintmax_t); break;
    default: v = va_arg(ap, unsigned); break;
  }
  appendNumber(out, narrowFormat(s, "ll", conversion), v);
}

// One conversion after its '%'; false at a format that ends inside it.
bool convert(std::u16string& out, const char16_t*& f, va_list& ap) {
  Directive s;
  while (*f != 0 && std::u16string_view(u"-+ #0").find(*f) != std::u16string_view::npos) {
    s.flags.push_back(static_cast<char>(*f++));
  }
  if (*f == u'*') {
    ++f;
    s.width = va_arg(ap, int);
    if (s.width < 0) {
      s.flags.push_back('-');
      s.width = -s.width;
    }
  } else if (isDigit(*f)) {
    s.width = number(f);
  }
  if (*f == u'.') {
    ++f;
    if (*f == u'*') {
      ++f;
      s.precision = va_arg(ap, int);
    } else {
      s.precision = number(f);
    }
  }
  for (bool more = true; more;) {
    switch (*f) {
      case u'h':
        s.length = s.length == Length::Short ? Length::Char : Length::Short;
        s.narrowText = true;
        ++f;
        break;
      case u'l':
        s.length = s.length == Length::Long ? Length::LongLong : Length::Long;
        s.wideText = true;
        ++f;
        break;
      case u'w':
        s.wideText = true;
        ++f;
        break;
      case u'L': s.length = Length::LongDouble; ++f; break;
      case u'z': s.length = Length::Size; ++f; break;
      case u'j': s.length = Length::Max; ++f; break;
      case u't': s.length = Length::Diff; ++f; break;
      case u'I':
        if (f[1] == u'6' && f[2] == u'4') {
          s.length = Length::LongLong;
          f += 3;
        } else if (f[1] == u'3' && f[2] == u'2') {
          f += 3;
        } else {
          s.length = Length::Size;
          ++f;
        }
        break;
      default: more = false; break;
    }
  }
  const char16_t c = *f;
  if (c == 0) return false;
  ++f;
  switch (c) {
    case u's':
    case u'S': {
      // In a wide format %s is wide and %S narrow; 'h' makes either narrow, 'l' wide.
      const bool wide = s.narrowText ? false : s.wideText ? true : c == u's';
      if (wide) {
        const auto* p = va_arg(ap, const char16_t*);
        appendText(out, s, p ? std::u16string_view(p) : std::u16string_view(u"(null)"));
      } else {
        const auto* p = va_arg(ap, const char*);
        appendText(out, s, zidevuv10::text::utf8ToUtf16(p ? p : "(null)"));
      }
      return true;
    }
    case u'c':
    case u'C': {
      const bool wide = s.narrowText ? false : s.wideText ? true : c == u'c';
      const int v = va_arg(ap, int);
      const char16_t unit = wide ? static_cast<char16_t>(v)
                                 : static_cast<char16_t>(static_cast<unsigned char>(v) < 0x80
                                                             ? static_cast<unsigned char>(v)
                                                             : 0xFFFD);
      appendText(out, s, std::u16string_view(&unit, 1));
      return true;
    }
    case u'd':
    case u'i': appendSigned(out, s, 'd', ap); return true;
    case u'u':
    case u'o':
    case u'x':
    case u'X': appendUnsigned(out, s, static_cast<char>(c), ap); return true;
    case u'e':
    case u'E':
    case u'f':
    case u'F':
    case u'g':
    case u'G':
    case u'a':
    case u'A':
      if (s.length == Length::LongDouble) {
        appendNumber(out, narrowFormat(s, "L", static_cast<char>(c)), va_arg(ap, long double));
      } else {
        appendNumber(out, narrowFormat(s, "", static_cast<char>(c)), va_arg(ap, double));
      }
      return true;
    case u'p': appendNumber(out, narrowFormat(s, "", 'p'), va_arg(ap, void*)); return true;
    case u'n': (void)va_arg(ap, void*); return true;  // never written: no count goes back
    case u'%': out.push_back(u'%'); return true;
    default: out.push_back(c); return true;  // not a conversion: kept as text
  }
}

}  // namespace

extern "C" int zidevuv10_vswprintf(void* buffer, std::size_t count, const void* format,
                                   va_list args) {
  auto* out = static_cast<char16_t*>(buffer);
  const auto* f = static_cast<const char16_t*>(format);
  if (out == nullptr || count == 0) return -1;
  if (f == nullptr) {
    out[0] = 0;
    return -1;
  }
  std::u16string text;
  bool failed = false;
  va_list ap;
  va_copy(ap, args);
  try {
    while (*f != 0) {
      if (*f != u'%') {
        text.push_back(*f++);
        continue;
      }
      ++f;
      if (!convert(text, f, ap)) break;
    }
  } catch (...) {
    failed = true;  // out of memory: answered as text that does not fit
  }
  va_end(ap);
  if (failed || text.size() >= count) {
    out[0] = 0;
    return -1;
  }
  text.copy(out, text.size());
  out[text.size()] = 0;
  return static_cast<int>(text.size());
}
