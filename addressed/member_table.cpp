// The member table of clsOrviInifINIFilesObjB, in slot order, and its place
// in the catalogue. Late-bound calls go through the typed interface.
#include "addressed_object.h"
#include "catalogue/catalogue.h"
#include "zidevuv10/error.h"

namespace zidevuv10::addressed {

namespace {

using Self = _clsOrviInifINIFilesObjB;
Self& self(Object& o) { return static_cast<Self&>(o); }

const ParamInfo kNewTextRef{u"sNewValue", {TypeCode::Text, {}}, true};
const TypeRef kText{TypeCode::Text, {}};
Variant none() { return Variant(); }

#define ZDV_TEXT_PROPERTY(NAME, ID)                                                   \
  {u## #NAME, InvokeKind::PropertyLet, ID, {kNewTextRef}, {},                         \
   [](Object& o, CallArgs& a) {                                                      \
     self(o).let_##NAME(a.textRef(0));                                               \
     return none();                                                                  \
   }},                                                                               \
  {                                                                                  \
    u## #NAME, InvokeKind::PropertyGet, ID, {}, kText, [](Object& o, CallArgs&) {    \
      return Variant(self(o).get_##NAME());                                          \
    }                                                                                \
  }

const ClassInfo kAddressed{
    u"clsOrviInifINIFilesObjB",
    u"a5c9cac1-646d-4438-9b42-f03d9d14f2f8",
    u"17aeb64e-23b0-4f0b-9ad7-bf99b6f9e5ff",
    {
        {u"LastReturnCode", InvokeKind::PropertyGet, 0x68030008, {}, {TypeCode::Int32, {}},
         [](Object& o, CallArgs&) { return Variant(self(o).get_LastReturnCode()); }},
        {u"Success", InvokeKind::PropertyGet, 0x68030007, {}, {TypeCode::Bool, {}},
         [](Object& o, CallArgs&) { return Variant::boolean(self(o).get_Success() != 0); }},
        ZDV_TEXT_PROPERTY(Default, 0x68030006),
        ZDV_TEXT_PROPERTY(Path, 0x68030005),
        ZDV_TEXT_PROPERTY(Key, 0x68030004),
        ZDV_TEXT_PROPERTY(Section, 0x68030003),
        {u"Value", InvokeKind::PropertyGet, 0x68030002, {}, kText,
         [](Object& o, CallArgs&) { return Variant(self(o).get_Value()); }},
        {u"Value", InvokeKind::PropertyLet, 0x68030002, {kNewTextRef}, {},
         [](Object& o, CallArgs& a) {
           self(o).let_Value(a.textRef(0));
           return none();
         }},
        {u"DeleteKey", InvokeKind::Method, 0x6003000a, {}, {},
         [](Object& o, CallArgs&) {
           self(o).DeleteKey();
           return none();
         }},
        {u"DeleteSection", InvokeKind::Method, 0x6003000b, {}, {},
         [](Object& o, CallArgs&) {
           self(o).DeleteSection();
           return none();
         }},
        {u"INISection", InvokeKind::PropertyGet, 0x68030001, {}, kText,
         [](Object& o, CallArgs&) { return Variant(self(o).get_INISection()); }},
        {u"INISection", InvokeKind::PropertyLet, 0x68030001, {kNewTextRef}, {},
         [](Object& o, CallArgs& a) {
           self(o).let_INISection(a.textRef(0));
           return none();
         }},
        {u"Sections", InvokeKind::PropertyGet, 0x68030000, {}, kText,
         [](Object& o, CallArgs&) { return Variant(self(o).get_Sections()); }},
        {u"EnumerateCurrentSection", InvokeKind::Method, 0x6003000c,
         {{u"sKey", {TypeCode::TextArray, {}}, true}, {u"iCount", {TypeCode::Int32, {}}, true}}, {},
         [](Object& o, CallArgs& a) {
           self(o).EnumerateCurrentSection(a.stringArray(0), a.int32Ref(1));
           return none();
         }},
        {u"EnumerateAllSections", InvokeKind::Method, 0x6003000d,
         {{u"sSections", {TypeCode::TextArray, {}}, true},
          {u"iCount", {TypeCode::Int32, {}}, true}},
         {},
         [](Object& o, CallArgs& a) {
           self(o).EnumerateAllSections(a.stringArray(0), a.int32Ref(1));
           return none();
         }},
        {u"SaveFormPosition", InvokeKind::Method, 0x6003000e,
         {{u"frmThis", {TypeCode::Object, {}}, true}}, {},
         [](Object& o, CallArgs& a) {
           ObjectRef window = a.object(0);
           self(o).SaveFormPosition(window);
           return none();
         }},
        {u"LoadFormPosition", InvokeKind::Method, 0x6003000f,
         {{u"frmThis", {TypeCode::Object, {}}, true},
          {u"lMinWidth", {TypeCode::Variant, {}}, true, true, 3000, TypeCode::Int16},
          {u"lMinHeight", {TypeCode::Variant, {}}, true, true, 3000, TypeCode::Int16}},
         {},
         [](Object& o, CallArgs& a) {
           ObjectRef window = a.object(0);
           self(o).LoadFormPosition(window, a.variant(1), a.variant(2));
           return none();
         }},
        {u"CLngDefault", InvokeKind::Method, 0x60030010,
         {{u"sString", {TypeCode::Text, {}}, false},
          {u"lDefault", {TypeCode::Int32, {}}, false, true, 0, TypeCode::Int32}},
         {TypeCode::Int32, {}},
         [](Object& o, CallArgs& a) { return Variant(self(o).CLngDefault(a.text(0), a.int32(1))); }},
    }};

#undef ZDV_TEXT_PROPERTY

const frame::ClassRegistrar kRegisterAddressed({8, &kAddressed, [] {
  return ObjectRef(makeObject<AddressedObject>());
}});

}  // namespace

const ClassInfo* AddressedObject::classInfo() const { return &kAddressed; }

}  // namespace zidevuv10::addressed
