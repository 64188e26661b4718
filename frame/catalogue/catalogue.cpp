#include "catalogue/catalogue.h"

#include <algorithm>

#include "text/ascii_case.h"

namespace zidevuv10::frame {

namespace {

std::vector<ClassEntry>& entries() {
  static std::vector<ClassEntry> list;
  return list;
}

}  // namespace

ClassRegistrar::ClassRegistrar(const ClassEntry& entry) {
  auto& list = entries();
  list.insert(std::upper_bound(list.begin(), list.end(), entry,
                               [](const ClassEntry& a, const ClassEntry& b) { return a.order < b.order; }),
              entry);
}

const std::vector<ClassEntry>& catalogue() { return entries(); }

std::u16string normaliseClassId(std::u16string_view t) {
  if (t.size() == 38 && t.front() == u'{' && t.back() == u'}') t = t.substr(1, 36);
  if (t.size() != 36) return {};
  std::u16string out;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const char16_t c = text::asciiLower(t[i]);
    const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    if (dash ? c != u'-' : !((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) return {};
    out.push_back(c);
  }
  return out;
}

const ClassEntry* findClass(std::u16string_view name) {
  const std::u16string id = normaliseClassId(name);
  for (const auto& e : entries()) {
    if (id.empty() ? text::equalsIgnoringAsciiCase(e.info->progId(), name) : e.info->classId == id) return &e;
  }
  return nullptr;
}

}  // namespace zidevuv10::frame
