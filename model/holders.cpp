// The holders of the object model: a key (name and value), a section (name
// and keys container) and the root (sections container). A text let stores
// exactly what it is given, unset and blanks included; an object set stores
// the very object passed (or no object) and keeps it alive.
#include "catalogue/catalogue.h"
#include "zidevuv10/model.h"

namespace zidevuv10::model {

namespace {

const ParamInfo kTextValue{u"sNewValue", {TypeCode::Text, {}}, false};

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

Variant none() { return Variant(); }

const ClassInfo kKey{
    u"clsOrviInifKeyA",
    u"fe0d5cb9-6c87-4c71-bc3d-674c09c430f2",
    u"d3956b9f-bf6b-4f82-bc30-f8dd2461e6eb",
    {
        {u"NameLong", InvokeKind::PropertyGet, 0x68030001, {}, {TypeCode::Text, {}},
         [](Object& o, CallArgs&) { return Variant(static_cast<Key&>(o).get_NameLong()); }},
        {u"NameLong", InvokeKind::PropertyLet, 0x68030001, {kTextValue}, {},
         [](Object& o, CallArgs& a) {
           static_cast<Key&>(o).let_NameLong(a.text(0));
           return none();
         }},
        {u"Value", InvokeKind::PropertyGet, 0x68030000, {}, {TypeCode::Text, {}},
         [](Object& o, CallArgs&) { return Variant(static_cast<Key&>(o).get_Value()); }},
        {u"Value", InvokeKind::PropertyLet, 0x68030000, {kTextValue}, {},
         [](Object& o, CallArgs& a) {
           static_cast<Key&>(o).let_Value(a.text(0));
           return none();
         }},
    }};

const ClassInfo kSection{
    u"clsOrviInifSectionA",
    u"c9b3640d-e059-4070-9769-b021ab6fb98c",
    u"9a548861-0787-4a5c-9c18-c7c259a04f9d",
    {
        {u"NameLong", InvokeKind::PropertyGet, 0x68030001, {}, {TypeCode::Text, {}},
         [](Object& o, CallArgs&) { return Variant(static_cast<Section&>(o).get_NameLong()); }},
        {u"NameLong", InvokeKind::PropertyLet, 0x68030001, {kTextValue}, {},
         [](Object& o, CallArgs& a) {
           static_cast<Section&>(o).let_NameLong(a.text(0));
           return none();
         }},
        {u"Keys", InvokeKind::PropertyGet, 0x68030000, {}, {TypeCode::Object, u"_clsOrviInifKeysA"},
         [](Object& o, CallArgs&) { return Variant(static_cast<Section&>(o).get_Keys()); }},
        {u"Keys", InvokeKind::PropertySet, 0x68030000,
         {{u"oNewValue", {TypeCode::Object, u"_clsOrviInifKeysA"}, false}}, {},
         [](Object& o, CallArgs& a) {
           static_cast<Section&>(o).set_Keys(objectAs<_clsOrviInifKeysA>(a.object(0)));
           return none();
         }},
    }};

const ClassInfo kRoot{
    u"clsOrviInifINIFilesObjA",
    u"b85c79ca-e056-4bdc-919c-0265174a5d44",
    u"0d0a76a0-24e0-431f-9881-bd644ffcd226",
    {
        {u"Sections", InvokeKind::PropertyGet, 0x68030000, {},
         {TypeCode::Object, u"_clsOrviInifSectionsA"},
         [](Object& o, CallArgs&) { return Variant(static_cast<Root&>(o).get_Sections()); }},
        {u"Sections", InvokeKind::PropertySet, 0x68030000,
         {{u"oNewValue", {TypeCode::Object, u"_clsOrviInifSectionsA"}, false}}, {},
         [](Object& o, CallArgs& a) {
           static_cast<Root&>(o).set_Sections(objectAs<_clsOrviInifSectionsA>(a.object(0)));
           return none();
         }},
    }};

const ClassInfo* Key::classInfo() const { return &kKey; }
const ClassInfo* Section::classInfo() const { return &kSection; }
const ClassInfo* Root::classInfo() const { return &kRoot; }

const frame::ClassRegistrar kRegisterSection({2, &kSection, [] { return ObjectRef(makeObject<Section>()); }});
const frame::ClassRegistrar kRegisterKey({4, &kKey, [] { return ObjectRef(makeObject<Key>()); }});
const frame::ClassRegistrar kRegisterRoot({7, &kRoot, [] { return ObjectRef(makeObject<Root>()); }});

}  // namespace

}  // namespace zidevuv10::model
