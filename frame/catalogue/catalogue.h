// The catalogue of this library's classes: each class folder adds its
// classes once at start-up (a ClassRegistrar at namespace scope), and the
// frame creates them by ProgID or class id and lists them in type-library
// order.
//
// Filled during static initialisation, read-only afterwards; reads are safe
// from any thread.
#pragma once

#include <vector>

#include "zidevuv10/object.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10::frame {

struct ClassEntry {
  int order;  // position in the type library
  const ClassInfo* info;
  ObjectRef (*create)();
};

// The classes in type-library order.
const std::vector<ClassEntry>& catalogue();
// The class of that ProgID or class id, or null.
const ClassEntry* findClass(std::u16string_view progIdOrClassId);

struct ClassRegistrar {
  explicit ClassRegistrar(const ClassEntry& entry);
};

// Lower-case class id without braces, or empty when the text is not one.
std::u16string normaliseClassId(std::u16string_view text);

}  // namespace zidevuv10::frame
