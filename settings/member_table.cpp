// The member table of clsOrviInifINIFilesObjC, in slot order, and its place
// in the catalogue. Late-bound calls go through the typed interface.
#include "catalogue/catalogue.h"
#include "settings_object.h"
#include "zidevuv10/error.h"

namespace zidevuv10::settings {

namespace {

using Self = _clsOrviInifINIFilesObjC;
Self& self(Object& o) { return static_cast<Self&>(o); }

ParamInfo text(std::u16string_view name) { return {name, {TypeCode::Text, {}}}; }
ParamInfo int16(std::u16string_view name) { return {name, {TypeCode::Int16, {}}}; }
ParamInfo array(std::u16string_view name) { return {name, {TypeCode::TextArray, {}}, true}; }
const TypeRef kText{TypeCode::Text, {}};
const TypeRef kInt16{TypeCode::Int16, {}};
const TypeRef kBool{TypeCode::Bool, {}};
Variant none() { return Variant(); }
Variant boolean(Bool16 b) { return Variant::boolean(b != 0); }

const ClassInfo kSettings{
    u"clsOrviInifINIFilesObjC",
    u"4935ddef-e581-4b75-894a-5fcaca24b143",
    u"ccf5544e-44fd-4f2d-92ef-54450634ae9a",
    {
        {u"PrivPath", InvokeKind::PropertyGet, 0x68030006, {}, kText,
         [](Object& o, CallArgs&) { return Variant(self(o).get_PrivPath()); }},
        {u"UseWinINI", InvokeKind::PropertyLet, 0x68030005,
         {{u"bNewValue", {TypeCode::Bool, {}}}}, {},
         [](Object& o, CallArgs& a) {
           self(o).let_UseWinINI(a.boolean(0));
           return none();
         }},
        {u"UseWinINI", InvokeKind::PropertyGet, 0x68030005, {}, kBool,
         [](Object& o, CallArgs&) { return boolean(self(o).get_UseWinINI()); }},
        {u"FullPath", InvokeKind::PropertyLet, 0x68030004, {text(u"sNewValue")}, {},
         [](Object& o, CallArgs& a) {
           self(o).let_FullPath(a.text(0));
           return none();
         }},
        {u"FullPath", InvokeKind::PropertyGet, 0x68030004, {}, kText,
         [](Object& o, CallArgs&) { return Variant(self(o).get_FullPath()); }},
        {u"SectionName", InvokeKind::PropertyLet, 0x68030003, {text(u"sNewValue")}, {},
         [](Object& o, CallArgs& a) {
           self(o).let_SectionName(a.text(0));
           return none();
         }},
        {u"SectionName", InvokeKind::PropertyGet, 0x68030003, {}, kText,
         [](Object& o, CallArgs&) { return Variant(self(o).get_SectionName()); }},
        {u"FilePath", InvokeKind::PropertyGet, 0x68030002, {}, kText,
         [](Object& o, CallArgs&) { return Variant(self(o).get_FilePath()); }},
        {u"FileExt", InvokeKind::PropertyGet, 0x68030001, {}, kText,
         [](Object& o, CallArgs&) { return Variant(self(o).get_FileExt()); }},
        {u"ExtractName", InvokeKind::Method, 0x60030009,
         {text(u"PathIn"), {u"RetChoice", {TypeCode::Int32, u"ExtractFileName_Constants"}}},
         kText,
         [](Object& o, CallArgs& a) {
           return Variant(self(o).ExtractName(a.text(0), a.int32(1)));
         }},
        {u"ExtractPath", InvokeKind::Method, 0x6003000a, {text(u"PathIn")}, kText,
         [](Object& o, CallArgs& a) { return Variant(self(o).ExtractPath(a.text(0))); }},
        {u"DeleteStrEntry", InvokeKind::Method, 0x6003000b, {text(u"EntryName")}, {},
         [](Object& o, CallArgs& a) {
           self(o).DeleteStrEntry(a.text(0));
           return none();
         }},
        {u"DeleteNumEntry", InvokeKind::Method, 0x6003000c, {text(u"EntryName")}, {},
         [](Object& o, CallArgs& a) {
           self(o).DeleteNumEntry(a.text(0));
           return none();
         }},
        {u"DeleteSection", InvokeKind::Method, 0x6003000d, {}, {},
         [](Object& o, CallArgs&) {
           self(o).DeleteSection();
           return none();
         }},
        {u"Exists", InvokeKind::Method, 0x6003000e, {text(u"filname")}, kInt16,
         [](Object& o, CallArgs& a) { return Variant(self(o).Exists(a.text(0))); }},
        {u"GetInt", InvokeKind::Method, 0x6003000f, {text(u"EntryName"), int16(u"DefaultInt")},
         kInt16,
         [](Object& o, CallArgs& a) { return Variant(self(o).GetInt(a.text(0), a.int16(1))); }},
        {u"GetSectEntries", InvokeKind::Method, 0x60030010, {}, kText,
         [](Object& o, CallArgs&) { return Variant(self(o).GetSectEntries()); }},
        {u"GetSectEntriesEx", InvokeKind::Method, 0x60030011, {array(u"DataArry")}, kInt16,
         [](Object& o, CallArgs& a) { return Variant(self(o).GetSectEntriesEx(a.stringArray(0))); }},
        {u"GetSections", InvokeKind::Method, 0x60030012, {}, kText,
         [](Object& o, CallArgs&) { return Variant(self(o).GetSections()); }},
        {u"GetSectionsEx", InvokeKind::Method, 0x60030013, {array(u"DataArry")}, kInt16,
         [](Object& o, CallArgs& a) { return Variant(self(o).GetSectionsEx(a.stringArray(0))); }},
        {u"GetString", InvokeKind::Method, 0x60030014, {text(u"EntryName"), text(u"DefaultStr")},
         kText,
         [](Object& o, CallArgs& a) { return Variant(self(o).GetString(a.text(0), a.text(1))); }},
        {u"GetTF", InvokeKind::Method, 0x60030015, {text(u"EntryName"), int16(u"DefaultInt")},
         kBool,
         [](Object& o, CallArgs& a) { return boolean(self(o).GetTF(a.text(0), a.int16(1))); }},
        {u"FlushCache", InvokeKind::Method, 0x60030016, {}, {},
         [](Object& o, CallArgs&) {
           self(o).FlushCache();
           return none();
         }},
        {u"IniRead", InvokeKind::Method, 0x60030018,
         {text(u"SectionName"), text(u"EntryName"), int16(u"DefaultInt"), text(u"DefaultStr"),
          text(u"ReturnStr"), {u"ReadNumber", {TypeCode::Bool, {}}}, text(u"FullPath")},
         {},
         [](Object& o, CallArgs& a) {
           self(o).IniRead(a.text(0), a.text(1), a.int16(2), a.text(3), a.text(4), a.boolean(5),
                           a.text(6));
           return none();
         }},
        {u"IniWrite", InvokeKind::Method, 0x6003001a,
         {text(u"SectionName"), text(u"EntryName"), text(u"NewVal"), text(u"FullPath")}, {},
         [](Object& o, CallArgs& a) {
           self(o).IniWrite(a.text(0), a.text(1), a.text(2), a.text(3));
           return none();
         }},
        {u"PutInt", InvokeKind::Method, 0x6003001b, {text(u"EntryName"), int16(u"IntValue")},
         kInt16,
         [](Object& o, CallArgs& a) { return Variant(self(o).PutInt(a.text(0), a.int16(1))); }},
        {u"PutString", InvokeKind::Method, 0x6003001c, {text(u"EntryName"), text(u"StrValue")},
         kInt16,
         [](Object& o, CallArgs& a) { return Variant(self(o).PutString(a.text(0), a.text(1))); }},
        {u"PutTF", InvokeKind::Method, 0x6003001d, {text(u"EntryName"), int16(u"IntValue")},
         kBool,
         [](Object& o, CallArgs& a) { return boolean(self(o).PutTF(a.text(0), a.int16(1))); }},
        {u"SectExist", InvokeKind::Method, 0x6003001e, {text(u"SectionName")}, kBool,
         [](Object& o, CallArgs& a) { return boolean(self(o).SectExist(a.text(0))); }},
        {u"FileName", InvokeKind::PropertyGet, 0x68030000, {}, kText,
         [](Object& o, CallArgs&) { return Variant(self(o).get_FileName()); }},
    }};

const frame::ClassRegistrar kRegisterSettings({9, &kSettings, [] {
  return ObjectRef(makeObject<SettingsObject>());
}});

}  // namespace

const ClassInfo* SettingsObject::classInfo() const { return &kSettings; }

}  // namespace zidevuv10::settings
