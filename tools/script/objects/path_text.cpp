#include "objects/path_text.h"

namespace zidevuv10::script::path_text {

namespace {

bool separator(char16_t c) { return c == u'\\' || c == u'/'; }

// Where the path's root (drive, share and a first separator) ends.
std::size_t rootLength(std::u16string_view p) {
  const std::u16string drive = driveName(p);
  std::size_t n = drive.size();
  if (n < p.size() && separator(p[n])) ++n;
  return n;
}

// The last component: [begin, end) after trailing separators are dropped.
std::pair<std::size_t, std::size_t> lastComponent(std::u16string_view p) {
  const std::size_t root = rootLength(p);
  std::size_t end = p.size();
  while (end > root && separator(p[end - 1])) --end;
  std::size_t begin = end;
  while (begin > root && !separator(p[begin - 1])) --begin;
  return {begin, end};
}

}  // namespace

std::u16string driveName(std::u16string_view p) {
  if (p.size() >= 2 && p[1] == u':' && ((p[0] >= u'A' && p[0] <= u'Z') || (p[0] >= u'a' && p[0] <= u'z'))) {
    return std::u16string(p.substr(0, 2));
  }
  if (p.size() > 2 && separator(p[0]) && separator(p[1])) {
    // \\server\share
    std::size_t i = 2;
    while (i < p.size() && !separator(p[i])) ++i;
    if (i == 2 || i == p.size()) return std::u16string(p);
    ++i;
    while (i < p.size() && !separator(p[i])) ++i;
    return std::u16string(p.substr(0, i));
  }
  return u"";
}

std::u16string buildPath(std::u16string_view path, std::u16string_view name) {
  std::u16string out(path);
  const bool bareDrive = path.size() == 2 && path[1] == u':';
  if (!path.empty() && !name.empty() && !separator(path.back()) && !separator(name.front()) && !bareDrive) {
    out += u'\\';
  }
  out += name;
  return out;
}

std::u16string fileName(std::u16string_view p) {
  const auto [begin, end] = lastComponent(p);
  return std::u16string(p.substr(begin, end - begin));
}

std::u16string baseName(std::u16string_view p) {
  const std::u16string name = fileName(p);
  const std::size_t dot = name.rfind(u'.');
  return dot == std::u16string::npos ? name : name.substr(0, dot);
}

std::u16string extensionName(std::u16string_view p) {
  const std::u16string name = fileName(p);
  const std::size_t dot = name.rfind(u'.');
  return dot == std::u16string::npos ? u"" : name.substr(dot + 1);
}

std::u16string parentFolderName(std::u16string_view p) {
  const std::size_t root = rootLength(p);
  auto [begin, end] = lastComponent(p);
  if (begin == end) return u"";
  while (begin > root && separator(p[begin - 1])) --begin;
  return std::u16string(p.substr(0, begin));
}

}  // namespace zidevuv10::script::path_text
