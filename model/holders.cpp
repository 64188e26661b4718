// The holders of the object model: a key (name and value), a section (name
// and keys container) and the root (sections container). A text let stores
// exactly what it is given, unset and blanks included; an object set stores
// the very object passed (or no object) and keeps it alive.
#include "catalogue/catalogue.h"
#include "dispatch/typed_slot.h"
#include "interface_names.h"
#include "zidevuv10/model.h"

namespace zidevuv10::model {

namespace {

class Key final : public _clsOrviInifKeyA {
 public:
  const ClassInfo* classInfo() const override;
  Text get_NameLong() override { return name_; }
  void let_NameLong(const Text& v) override { name_ = v; }
  Text get_Value() override { return value_; }
  void let_Value(const Text& v) override { value_ = v; }

 private:
  Text name_;
  Text value_;
};

class Section final : public _clsOrviInifSectionA {
 public:
  const ClassInfo* classInfo() const override;
  Text get_NameLong() override { return name_; }
  void let_NameLong(const Text& v) override { name_ = v; }
  Ref<_clsOrviInifKeysA> get_Keys() override { return keys_; }
  void set_Keys(const Ref<_clsOrviInifKeysA>& v) override { keys_ = v; }

 private:
  Text name_;
  Ref<_clsOrviInifKeysA> keys_;
};

class Root final : public _clsOrviInifINIFilesObjA {
 public:
  const ClassInfo* classInfo() const override;
  Ref<_clsOrviInifSectionsA> get_Sections() override { return sections_; }
  void set_Sections(const Ref<_clsOrviInifSectionsA>& v) override { sections_ = v; }

 private:
  Ref<_clsOrviInifSectionsA> sections_;
};

using namespace frame;
using KeyA = _clsOrviInifKeyA;
using SectionA = _clsOrviInifSectionA;
using RootA = _clsOrviInifINIFilesObjA;

const ClassInfo kKey{
    u"clsOrviInifKeyA",
    u"fe0d5cb9-6c87-4c71-bc3d-674c09c430f2",
    u"d3956b9f-bf6b-4f82-bc30-f8dd2461e6eb",
    {
        propGet<&KeyA::get_NameLong>(u"NameLong", 0x68030001),
        propLet<&KeyA::let_NameLong>(u"NameLong", 0x68030001, u"sNewValue"),
        propGet<&KeyA::get_Value>(u"Value", 0x68030000),
        propLet<&KeyA::let_Value>(u"Value", 0x68030000, u"sNewValue"),
    }};

const ClassInfo kSection{
    u"clsOrviInifSectionA",
    u"c9b3640d-e059-4070-9769-b021ab6fb98c",
    u"9a548861-0787-4a5c-9c18-c7c259a04f9d",
    {
        propGet<&SectionA::get_NameLong>(u"NameLong", 0x68030001),
        propLet<&SectionA::let_NameLong>(u"NameLong", 0x68030001, u"sNewValue"),
        propGet<&SectionA::get_Keys>(u"Keys", 0x68030000),
        propSet<&SectionA::set_Keys>(u"Keys", 0x68030000, u"oNewValue"),
    }};

const ClassInfo kRoot{
    u"clsOrviInifINIFilesObjA",
    u"b85c79ca-e056-4bdc-919c-0265174a5d44",
    u"0d0a76a0-24e0-431f-9881-bd644ffcd226",
    {
        propGet<&RootA::get_Sections>(u"Sections", 0x68030000),
        propSet<&RootA::set_Sections>(u"Sections", 0x68030000, u"oNewValue"),
    }};

const ClassInfo* Key::classInfo() const { return &kKey; }
const ClassInfo* Section::classInfo() const { return &kSection; }
const ClassInfo* Root::classInfo() const { return &kRoot; }

const ClassRegistrar kRegisterSection({2, &kSection, [] { return ObjectRef(makeObject<Section>()); }});
const ClassRegistrar kRegisterKey({4, &kKey, [] { return ObjectRef(makeObject<Key>()); }});
const ClassRegistrar kRegisterRoot({7, &kRoot, [] { return ObjectRef(makeObject<Root>()); }});

}  // namespace

}  // namespace zidevuv10::model
