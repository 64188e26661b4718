// A second component library for the tests of the main class's About: the
// two classes About reaches through the registry, each recording what it
// was called with so a test can read the calls back in order.
//
//   OrviCommons10.clsOrviCommons10A       AppAboutOrvicm(oApp)
//   OrviCommons10.clsOrvicmErrorHandlerA  ErrorHandlerMessageOrvi(8 arguments)
//
// It links the shared library and uses its dispatch, as a client component
// would, and exports the factory the registry's loader asks for plus two C
// functions for the tests: one returning the records, one clearing them.
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "zidevuv10/host.h"
#include "zidevuv10/object.h"
#include "zidevuv10/type_info.h"
#include "zidevuv10/variant.h"

namespace {

using namespace zidevuv10;

std::mutex gMutex;
std::vector<std::string> gRecords;

void record(std::string line) {
  const std::lock_guard<std::mutex> lock(gMutex);
  gRecords.push_back(std::move(line));
}

std::string utf8(std::u16string_view s) { return Text(std::u16string(s)).utf8(); }

std::string address(const Object* o) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%p", static_cast<const void*>(o));
  return buffer;
}

// A property of an object read by name, as text; "<error N>" when the read fails.
std::string readByName(const ObjectRef& o, std::u16string_view name) {
  try {
    return callByName(o, name, InvokeKind::PropertyGet).toText().utf8();
  } catch (const AutomationError& e) {
    return "<error " + std::to_string(e.number()) + ">";
  }
}

// One argument as the records show it.
std::string describe(const Variant& v) {
  switch (v.type()) {
    case VarType::Missing: return "missing";
    case VarType::Empty: return "empty";
    case VarType::Null: return "null";
    case VarType::String: {
      const Text& t = v.deref().text();
      return t.isUnset() ? "unset text" : "text:" + t.utf8();
    }
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double: return "number:" + v.toText().utf8();
    case VarType::Boolean: return "boolean:" + v.toText().utf8();
    case VarType::Object: {
      const ObjectRef o = v.toObject();
      return o ? "object:" + utf8(o->typeName()) : "no object";
    }
    case VarType::Array: return "array";
    case VarType::Date: return "date:" + v.toText().utf8();
    case VarType::ByRef: break;
  }
  return "?";
}

class CommonsAbout final : public Object {
 public:
  const ClassInfo* classInfo() const override;
};

class CommonsErrorHandler final : public Object {
 public:
  const ClassInfo* classInfo() const override;
};

// Record: "AppAboutOrvicm", the object's TypeName, its Path read by name,
// and its address (so a test can tell which object arrived).
Variant appAbout(Object&, CallArgs& a) {
  const ObjectRef app = a.object(0);
  if (!app) {
    record("AppAboutOrvicm\tno object");
    return Variant();
  }
  record("AppAboutOrvicm\t" + utf8(app->typeName()) + "\t" + readByName(app, u"Path") + "\t" +
         address(app.get()));
  return Variant();
}

// Record: "ErrorHandlerMessageOrvi", then one field an argument. The error
// object (argument 2) is read by name during the call: Number|Description|Source.
Variant errorHandlerMessage(Object&, CallArgs& a) {
  std::string line = "ErrorHandlerMessageOrvi";
  for (std::size_t i = 0; i < a.count(); ++i) {
    const Variant& v = a.variant(i);
    line += "\t";
    if (i == 1 && v.type() == VarType::Object && v.toObject()) {
      const ObjectRef err = v.toObject();
      line += "err:" + readByName(err, u"Number") + "|" + readByName(err, u"Description") + "|" +
              readByName(err, u"Source");
    } else {
      line += describe(v);
    }
  }
  record(std::move(line));
  return Variant();
}

ParamInfo variantRef(std::u16string_view name, bool optional = false) {
  return {name, {TypeCode::Variant, {}}, true, optional};
}

const ClassInfo kCommonsAbout{
    u"clsOrviCommons10A",
    u"5b2e8c14-3a7f-4d61-9e05-c7a1f3b8d290",
    u"0c6f3a27-8e41-4b95-b2d7-9a5e1c4f8b63",
    {
        {u"AppAboutOrvicm", InvokeKind::Method, 0x60030000, {{u"oApp", {TypeCode::Object, {}}}},
         {}, appAbout},
    }};

const ClassInfo kCommonsErrorHandler{
    u"clsOrvicmErrorHandlerA",
    u"d47a1e90-8c35-4b2f-a6e1-0f9c2b7d5e38",
    u"7e2b9d14-5c6a-4f08-8d3e-b1a4c7f09e52",
    {
        {u"ErrorHandlerMessageOrvi",
         InvokeKind::Method,
         0x60030000,
         {variantRef(u"oApp"), variantRef(u"oErr"), variantRef(u"sMessage"),
          variantRef(u"sProcedure"), variantRef(u"lLine"), variantRef(u"sExtra"),
          variantRef(u"lStyle"), variantRef(u"vOptional", true)},
         {},
         errorHandlerMessage},
    }};

const ClassInfo* CommonsAbout::classInfo() const { return &kCommonsAbout; }
const ClassInfo* CommonsErrorHandler::classInfo() const { return &kCommonsErrorHandler; }

}  // namespace

extern "C" __attribute__((visibility("default"))) zidevuv10::Object* zidevuv10_create_object(
    const char16_t* classId) {
  if (classId == nullptr) return nullptr;
  const std::u16string_view id(classId);
  zidevuv10::Object* created = nullptr;
  if (id == kCommonsAbout.classId) created = new CommonsAbout();
  if (id == kCommonsErrorHandler.classId) created = new CommonsErrorHandler();
  if (created != nullptr) created->addRef();  // the caller takes this reference over
  return created;
}

// The calls recorded so far, one line each, joined by '\n', copied into the
// buffer (cut to fit, NUL-terminated); returns the full length.
extern "C" __attribute__((visibility("default"))) size_t zidevuv10_test_commons_records(
    char* buffer, size_t size) {
  const std::lock_guard<std::mutex> lock(gMutex);
  std::string all;
  for (const auto& r : gRecords) all += r + "\n";
  if (buffer != nullptr && size > 0) {
    const size_t n = all.size() < size - 1 ? all.size() : size - 1;
    std::memcpy(buffer, all.data(), n);
    buffer[n] = '\0';
  }
  return all.size();
}

extern "C" __attribute__((visibility("default"))) void zidevuv10_test_commons_clear() {
  const std::lock_guard<std::mutex> lock(gMutex);
  gRecords.clear();
}
