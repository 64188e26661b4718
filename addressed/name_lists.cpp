// The enumerations: split a name list into a 1-based array of strings, one
// element at a time, keeping the store's order.
#include "automation/member_guard.h"
#include "addressed_object.h"
#include "zidevuv10/error.h"

namespace zidevuv10::addressed {

namespace {

// Empties the array, then adds each non-empty name that a NUL ends; text
// after the last NUL (a cut last name) is not taken. A fixed-size array
// refuses the first resize with error 10, with the count already raised.
void splitInto(const Text& list, SafeArray& names, int32_t& count) {
  if (names.elementType() != SafeArray::ElementType::String) raiseError(err::kTypeMismatch);
  count = 0;
  names.erase();
  const std::u16string& text = list.str();
  std::size_t start = 0;
  for (;;) {
    const std::size_t nul = text.find(u'\0', start);
    if (nul == std::u16string::npos) break;
    if (nul > start) {
      ++count;
      names.redim({{1, count}}, true);
      names.at(count) = Variant(Text(text.substr(start, nul - start)));
    }
    start = nul + 1;
  }
}

}  // namespace

void AddressedObject::EnumerateCurrentSection(SafeArray& sKey, int32_t& iCount) {
  return frame::guardMember(*this, [&]() -> void {
    iCount = 0;
    sKey.erase();
    splitInto(get_INISection(), sKey, iCount);
  });
}

void AddressedObject::EnumerateAllSections(SafeArray& sSections, int32_t& iCount) {
  return frame::guardMember(*this, [&]() -> void {
    iCount = 0;
    sSections.erase();
    splitInto(get_Sections(), sSections, iCount);
  });
}

}  // namespace zidevuv10::addressed
