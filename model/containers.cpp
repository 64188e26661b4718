// The two containers of the object model, clsOrviInifSectionsA and
// clsOrviInifKeysA. They offer Add, Clear, Remove, Count and Item but hold
// no items: every member leaves the container as it was and answers with
// the empty result (0, or no object). Item neither reads nor changes Index.
#include "catalogue/catalogue.h"
#include "dispatch/typed_slot.h"
#include "interface_names.h"
#include "zidevuv10/model.h"

namespace zidevuv10::model {

namespace {

using namespace frame;

template <typename Interface, typename Item>
class EmptyContainer final : public Interface {
 public:
  explicit EmptyContainer(const ClassInfo& info) : info_(info) {}
  const ClassInfo* classInfo() const override { return &info_; }

  int32_t Add() override { return 0; }
  void Clear() override {}
  void Remove() override {}
  int32_t get_Count() override { return 0; }
  Ref<Item> get_Item(Variant&) override { return {}; }

 private:
  const ClassInfo& info_;
};

template <typename Interface>
ClassInfo containerInfo(std::u16string_view name, std::u16string_view classId,
                        std::u16string_view interfaceId) {
  return ClassInfo{name,
                   classId,
                   interfaceId,
                   {
                       method<&Interface::Add>(u"Add", 0x60030003),
                       method<&Interface::Clear>(u"Clear", 0x60030004),
                       method<&Interface::Remove>(u"Remove", 0x60030005),
                       propGet<&Interface::get_Count>(u"Count", 0x68030001),
                       propGet<&Interface::get_Item>(u"Item", 0x68030000, u"Index"),
                   }};
}

const ClassInfo kSections = containerInfo<_clsOrviInifSectionsA>(
    u"clsOrviInifSectionsA", u"d199dc44-dd71-4e1d-8786-cfe1ce8aef8d",
    u"2ed3acb4-bae6-4789-8b0a-9fd02a1d90ab");
const ClassInfo kKeys = containerInfo<_clsOrviInifKeysA>(
    u"clsOrviInifKeysA", u"f327bc23-8a60-47a3-8e24-1dd9ef9367b2",
    u"6e57bdf3-cbe5-4a8e-b64d-da517b9f6352");

const ClassRegistrar kRegisterSections({1, &kSections, [] {
  return ObjectRef(
      makeObject<EmptyContainer<_clsOrviInifSectionsA, _clsOrviInifSectionA>>(kSections));
}});
const ClassRegistrar kRegisterKeys({3, &kKeys, [] {
  return ObjectRef(makeObject<EmptyContainer<_clsOrviInifKeysA, _clsOrviInifKeyA>>(kKeys));
}});

}  // namespace

}  // namespace zidevuv10::model
