#include "zidevuv10/error.h"

#include <new>
#include <stdexcept>
#include <string>

#include "automation/member_guard.h"
#include "catalogue/catalogue.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10 {

std::u16string standardDescription(int32_t number) {
  switch (number) {
    case 3: return u"Return without GoSub";
    case 5: return u"Invalid procedure call or argument";
    case 6: return u"Overflow";
    case 7: return u"Out of memory";
    case 9: return u"Subscript out of range";
    case 10: return u"This array is fixed or temporarily locked";
    case 11: return u"Division by zero";
    case 13: return u"Type mismatch";
    case 52: return u"Bad file name or number";
    case 53: return u"File not found";
    case 54: return u"Bad file mode";
    case 55: return u"File already open";
    case 57: return u"Device I/O error";
    case 58: return u"File already exists";
    case 61: return u"Disk full";
    case 62: return u"Input past end of file";
    case 67: return u"Too many files";
    case 68: return u"Device unavailable";
    case 70: return u"Permission denied";
    case 71: return u"Disk not ready";
    case 75: return u"Path/File access error";
    case 76: return u"Path not found";
    case 91: return u"Object variable or With block variable not set";
    case 94: return u"Invalid use of Null";
    case 326: return u"Resource with identifier not found";
    case 424: return u"Object required";
    case 429: return u"ActiveX component can't create object";
    case 438: return u"Object doesn't support this property or method";
    case 440: return u"Automation error";
    case 445: return u"Object doesn't support this action";
    case 448: return u"Named argument not found";
    case 449: return u"Argument not optional";
    case 450: return u"Wrong number of arguments or invalid property assignment";
    case 457: return u"This key is already associated with an element of this collection";
    case 5017: return u"Syntax error in regular expression";
    case 32811: return u"Element not found";
    default: return u"Application-defined or object-defined error";
  }
}

AutomationError::AutomationError(int32_t number, Text description, Text source)
    : number_(number), description_(std::move(description)), source_(std::move(source)) {
  what_ = source_.utf8() + ": error " + std::to_string(number_) + ": " + description_.utf8();
}

void raiseError(int32_t number, std::u16string_view source) {
  throw AutomationError(number, Text(standardDescription(number)),
                        Text(std::u16string(source)));
}

namespace frame {

void raiseForCurrentException(std::u16string_view source) {
  try {
    throw;
  } catch (const AutomationError&) {
    throw;
  } catch (const std::bad_alloc&) {
    raiseError(err::kOutOfMemory, source);
  } catch (const std::length_error&) {
    raiseError(err::kOutOfMemory, source);
  } catch (...) {
    raiseError(err::kAutomationError, source);
  }
}

void raiseForCurrentException(const Object& self) {
  const ClassInfo* info = self.classInfo();
  const std::u16string source = info ? info->progId() : std::u16string(kLibrarySource);
  raiseForCurrentException(source);
}

void rethrowNamedAfterClass(const Object& self, const AutomationError& e) {
  const ClassInfo* info = self.classInfo();
  if (info != nullptr && e.source().str() == kLibrarySource && findClass(info->progId()) != nullptr) {
    throw AutomationError(e.number(), e.description(), Text(info->progId()));
  }
  throw;
}

}  // namespace frame

}  // namespace zidevuv10
