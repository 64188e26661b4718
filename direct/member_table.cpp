// The member table of clsOrviVEZEzoro10A, in slot order, and its place in
// the catalogue. Late-bound calls go through the typed interface, so both
// paths run the same code.
#include "catalogue/catalogue.h"
#include "main_class.h"

namespace zidevuv10::direct {

namespace {

using Self = _clsOrviVEZEzoro10A;
Self& self(Object& o) { return static_cast<Self&>(o); }

ParamInfo textRef(std::u16string_view name) { return {name, {TypeCode::Text, {}}, true}; }
ParamInfo longRef(std::u16string_view name) { return {name, {TypeCode::Int32, {}}, true}; }
const ParamInfo kNewText{u"sNewValue", {TypeCode::Text, {}}, false};
const TypeRef kText{TypeCode::Text, {}};
const TypeRef kLong{TypeCode::Int32, {}};
const TypeRef kCollection{TypeCode::Object, u"Collection"};

Variant none() { return Variant(); }

const ClassInfo kMainClass{
    u"clsOrviVEZEzoro10A",
    u"aae1c211-b159-44fa-bf25-e261b78385a2",
    u"991b5f2a-939d-44ad-aeb8-d01ffbaff3ce",
    {
        {u"GetProStdProperties", InvokeKind::PropertyGet, 0x68030008, {}, {TypeCode::Object, {}},
         [](Object& o, CallArgs&) { return Variant(self(o).get_GetProStdProperties()); }},
        {u"GetProResStrings", InvokeKind::PropertyGet, 0x68030007, {longRef(u"lResId")}, kText,
         [](Object& o, CallArgs& a) {
           return Variant(self(o).get_GetProResStrings(a.int32Ref(0)));
         }},
        {u"GetProResPicture", InvokeKind::PropertyGet, 0x68030006,
         {longRef(u"lResId"), {u"lRestype", {TypeCode::Int32, u"LoadResConstants"}, true}},
         {TypeCode::Object, u"Picture"},
         [](Object& o, CallArgs& a) {
           return Variant(self(o).get_GetProResPicture(a.int32Ref(0), a.int32Ref(1)));
         }},
        {u"GetProResData", InvokeKind::PropertyGet, 0x68030005,
         {longRef(u"lResId"), {u"vRestype", {TypeCode::Variant, {}}, true}},
         {TypeCode::Variant, {}},
         [](Object& o, CallArgs& a) {
           return self(o).get_GetProResData(a.int32Ref(0), a.variant(1));
         }},
        {u"About", InvokeKind::Method, 0x6003000a, {}, kLong,
         [](Object& o, CallArgs&) { return Variant(self(o).About()); }},
        {u"BuddyObjectGlobal", InvokeKind::PropertyGet, 0x68030004, {}, {TypeCode::Object, {}},
         [](Object& o, CallArgs&) { return Variant(self(o).get_BuddyObjectGlobal()); }},
        {u"BuddyObjectGlobal", InvokeKind::PropertySet, 0x68030004,
         {{u"oNewValue", {TypeCode::Object, {}}, true}}, {},
         [](Object& o, CallArgs& a) {
           ObjectRef value = a.object(0);
           self(o).set_BuddyObjectGlobal(value);
           return none();
         }},
        {u"GetPrivateProfileStringInif", InvokeKind::Method, 0x6003000b,
         {textRef(u"sFileName"), textRef(u"sSectionName"), textRef(u"sKeyName")}, kText,
         [](Object& o, CallArgs& a) {
           return Variant(
               self(o).GetPrivateProfileStringInif(a.textRef(0), a.textRef(1), a.textRef(2)));
         }},
        {u"GetPrivateProfileIntInif", InvokeKind::Method, 0x6003000c,
         {textRef(u"sFileName"), textRef(u"sSectionName"), textRef(u"sKeyName")}, kText,
         [](Object& o, CallArgs& a) {
           return Variant(
               self(o).GetPrivateProfileIntInif(a.textRef(0), a.textRef(1), a.textRef(2)));
         }},
        {u"GetPrivateProfileStringSectionsInif", InvokeKind::Method, 0x6003000d,
         {textRef(u"sFileName")}, kCollection,
         [](Object& o, CallArgs& a) {
           return Variant(ObjectRef(self(o).GetPrivateProfileStringSectionsInif(a.textRef(0))));
         }},
        {u"GetPrivateProfileStringKeysInif", InvokeKind::Method, 0x6003000e,
         {textRef(u"sFileName"), textRef(u"sSectionName")}, kCollection,
         [](Object& o, CallArgs& a) {
           return Variant(
               ObjectRef(self(o).GetPrivateProfileStringKeysInif(a.textRef(0), a.textRef(1))));
         }},
        {u"GetPrivateProfileStringByKeyNameInif", InvokeKind::Method, 0x6003000f,
         {textRef(u"sFileName"), textRef(u"sSectionName"), textRef(u"sKeyName")}, kText,
         [](Object& o, CallArgs& a) {
           return Variant(self(o).GetPrivateProfileStringByKeyNameInif(a.textRef(0), a.textRef(1),
                                                                       a.textRef(2)));
         }},
        {u"WritePrivateProfileStringAddSectionInif", InvokeKind::Method, 0x60030010,
         {textRef(u"sFileName"), textRef(u"sSectionName")}, kLong,
         [](Object& o, CallArgs& a) {
           return Variant(
               self(o).WritePrivateProfileStringAddSectionInif(a.textRef(0), a.textRef(1)));
         }},
        {u"WritePrivateProfileStringAddKeyInif", InvokeKind::Method, 0x60030011,
         {textRef(u"sFileName"), textRef(u"sSectionName"), textRef(u"sKeyName"),
          textRef(u"sKeyValue")},
         kLong,
         [](Object& o, CallArgs& a) {
           return Variant(self(o).WritePrivateProfileStringAddKeyInif(
               a.textRef(0), a.textRef(1), a.textRef(2), a.textRef(3)));
         }},
        {u"WritePrivateProfileStringToDeleteKeyInif", InvokeKind::Method, 0x60030012,
         {textRef(u"sFileName"), textRef(u"sSectionName"), textRef(u"sKeyName")}, kLong,
         [](Object& o, CallArgs& a) {
           return Variant(self(o).WritePrivateProfileStringToDeleteKeyInif(
               a.textRef(0), a.textRef(1), a.textRef(2)));
         }},
        {u"WritePrivateProfileStringToDeleteSectionInif", InvokeKind::Method, 0x60030013,
         {textRef(u"sFileName"), textRef(u"sSectionName")}, kLong,
         [](Object& o, CallArgs& a) {
           return Variant(
               self(o).WritePrivateProfileStringToDeleteSectionInif(a.textRef(0), a.textRef(1)));
         }},
        {u"INIFileName", InvokeKind::PropertyGet, 0x68030003, {}, kText,
         [](Object& o, CallArgs&) { return Variant(self(o).get_INIFileName()); }},
        {u"INIFileName", InvokeKind::PropertyLet, 0x68030003, {kNewText}, {},
         [](Object& o, CallArgs& a) {
           self(o).let_INIFileName(a.text(0));
           return none();
         }},
        {u"INISectionName", InvokeKind::PropertyGet, 0x68030002, {}, kText,
         [](Object& o, CallArgs&) { return Variant(self(o).get_INISectionName()); }},
        {u"INISectionName", InvokeKind::PropertyLet, 0x68030002, {kNewText}, {},
         [](Object& o, CallArgs& a) {
           self(o).let_INISectionName(a.text(0));
           return none();
         }},
        {u"INIKeyName", InvokeKind::PropertyGet, 0x68030001, {}, kText,
         [](Object& o, CallArgs&) { return Variant(self(o).get_INIKeyName()); }},
        {u"INIKeyName", InvokeKind::PropertyLet, 0x68030001, {kNewText}, {},
         [](Object& o, CallArgs& a) {
           self(o).let_INIKeyName(a.text(0));
           return none();
         }},
        {u"INIKeyValue", InvokeKind::PropertyGet, 0x68030000, {}, kText,
         [](Object& o, CallArgs&) { return Variant(self(o).get_INIKeyValue()); }},
        {u"INIKeyValue", InvokeKind::PropertyLet, 0x68030000, {kNewText}, {},
         [](Object& o, CallArgs& a) {
           self(o).let_INIKeyValue(a.text(0));
           return none();
         }},
        {u"INIAddSection", InvokeKind::Method, 0x60030014, {}, kLong,
         [](Object& o, CallArgs&) { return Variant(self(o).INIAddSection()); }},
        {u"INIDeleteSection", InvokeKind::Method, 0x60030015, {}, kLong,
         [](Object& o, CallArgs&) { return Variant(self(o).INIDeleteSection()); }},
        {u"INIAddKey", InvokeKind::Method, 0x60030016, {}, kLong,
         [](Object& o, CallArgs&) { return Variant(self(o).INIAddKey()); }},
        {u"INIDeleteKey", InvokeKind::Method, 0x60030017, {}, kLong,
         [](Object& o, CallArgs&) { return Variant(self(o).INIDeleteKey()); }},
    }};

const frame::ClassRegistrar kRegisterMainClass({0, &kMainClass, [] {
  return ObjectRef(makeObject<MainClass>());
}});

}  // namespace

const ClassInfo* MainClass::classInfo() const { return &kMainClass; }

}  // namespace zidevuv10::direct
