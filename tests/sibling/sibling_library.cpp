// A second component library, built only for the tests: one class,
// clsOrviSiblingThing, reached through the registry by ProgID or class id.
// It links the shared library and uses its dispatch, as a client component
// would, and exports the factory the registry's loader asks for.
#include <atomic>
#include <string_view>

#include "zidevuv10/object.h"
#include "zidevuv10/type_info.h"
#include "zidevuv10/variant.h"

namespace {

using namespace zidevuv10;

// Objects alive now, so the tests can see that every reference the
// factory hands over is released in the end.
std::atomic<int> gLiveObjects{0};

class SiblingThing final : public Object {
 public:
  SiblingThing() { ++gLiveObjects; }
  ~SiblingThing() override { --gLiveObjects; }
  const ClassInfo* classInfo() const override;
};

const ClassInfo kSiblingThing{
    u"clsOrviSiblingThing",
    u"3f1c9a52-7d4e-4b8a-9c61-5e2d8f0a7b14",
    u"8a6e2d40-1b7c-4f93-a5d8-2c9e4b7f1a63",
    {
        // Echo(ByVal sText As String) As String: the text it was given.
        {u"Echo", InvokeKind::Method, 0x60030000, {{u"sText", {TypeCode::Text, {}}}},
         {TypeCode::Text, {}}, [](Object&, CallArgs& a) { return Variant(a.text(0)); }},
    }};

const ClassInfo* SiblingThing::classInfo() const { return &kSiblingThing; }

}  // namespace

extern "C" __attribute__((visibility("default"))) zidevuv10::Object* zidevuv10_create_object(
    const char16_t* classId) {
  if (classId == nullptr || std::u16string_view(classId) != kSiblingThing.classId) return nullptr;
  zidevuv10::Object* created = new SiblingThing();
  created->addRef();  // the caller takes this reference over
  return created;
}

extern "C" __attribute__((visibility("default"))) int zidevuv10_test_sibling_live_objects() {
  return gLiveObjects.load();
}
