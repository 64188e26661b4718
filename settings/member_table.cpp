// The member table of clsOrviInifINIFilesObjC, in slot order, and its place
// in the catalogue. Each slot is built from the typed interface's member,
// so late-bound calls run the same code with the types it declares.
#include "catalogue/catalogue.h"
#include "dispatch/typed_slot.h"
#include "settings_object.h"

namespace zidevuv10::settings {

namespace {

using namespace frame;
using Self = _clsOrviInifINIFilesObjC;

struct ExtractFileNameConstants {
  static constexpr std::u16string_view enumName = u"ExtractFileName_Constants";
};

const ClassInfo kSettings{
    u"clsOrviInifINIFilesObjC",
    u"4935ddef-e581-4b75-894a-5fcaca24b143",
    u"ccf5544e-44fd-4f2d-92ef-54450634ae9a",
    {
        propGet<&Self::get_PrivPath>(u"PrivPath", 0x68030006),
        propLet<&Self::let_UseWinINI>(u"UseWinINI", 0x68030005, hinted<Boolean>(u"bNewValue")),
        propGet<&Self::get_UseWinINI, Boolean>(u"UseWinINI", 0x68030005),
        propLet<&Self::let_FullPath>(u"FullPath", 0x68030004, u"sNewValue"),
        propGet<&Self::get_FullPath>(u"FullPath", 0x68030004),
        propLet<&Self::let_SectionName>(u"SectionName", 0x68030003, u"sNewValue"),
        propGet<&Self::get_SectionName>(u"SectionName", 0x68030003),
        propGet<&Self::get_FilePath>(u"FilePath", 0x68030002),
        propGet<&Self::get_FileExt>(u"FileExt", 0x68030001),
        method<&Self::ExtractName>(u"ExtractName", 0x60030009, u"PathIn",
                                   hinted<ExtractFileNameConstants>(u"RetChoice")),
        method<&Self::ExtractPath>(u"ExtractPath", 0x6003000a, u"PathIn"),
        method<&Self::DeleteStrEntry>(u"DeleteStrEntry", 0x6003000b, u"EntryName"),
        method<&Self::DeleteNumEntry>(u"DeleteNumEntry", 0x6003000c, u"EntryName"),
        method<&Self::DeleteSection>(u"DeleteSection", 0x6003000d),
        method<&Self::Exists>(u"Exists", 0x6003000e, u"filname"),
        method<&Self::GetInt>(u"GetInt", 0x6003000f, u"EntryName", u"DefaultInt"),
        method<&Self::GetSectEntries>(u"GetSectEntries", 0x60030010),
        method<&Self::GetSectEntriesEx>(u"GetSectEntriesEx", 0x60030011, u"DataArry"),
        method<&Self::GetSections>(u"GetSections", 0x60030012),
        method<&Self::GetSectionsEx>(u"GetSectionsEx", 0x60030013, u"DataArry"),
        method<&Self::GetString>(u"GetString", 0x60030014, u"EntryName", u"DefaultStr"),
        method<&Self::GetTF, Boolean>(u"GetTF", 0x60030015, u"EntryName", u"DefaultInt"),
        method<&Self::FlushCache>(u"FlushCache", 0x60030016),
        method<&Self::IniRead>(u"IniRead", 0x60030018, u"SectionName", u"EntryName",
                               u"DefaultInt", u"DefaultStr", u"ReturnStr",
                               hinted<Boolean>(u"ReadNumber"), u"FullPath"),
        method<&Self::IniWrite>(u"IniWrite", 0x6003001a, u"SectionName", u"EntryName", u"NewVal",
                                u"FullPath"),
        method<&Self::PutInt>(u"PutInt", 0x6003001b, u"EntryName", u"IntValue"),
        method<&Self::PutString>(u"PutString", 0x6003001c, u"EntryName", u"StrValue"),
        method<&Self::PutTF, Boolean>(u"PutTF", 0x6003001d, u"EntryName", u"IntValue"),
        method<&Self::SectExist, Boolean>(u"SectExist", 0x6003001e, u"SectionName"),
        propGet<&Self::get_FileName>(u"FileName", 0x68030000),
    }};

const ClassRegistrar kRegisterSettings({9, &kSettings, [] {
  return ObjectRef(makeObject<SettingsObject>());
}});

}  // namespace

const ClassInfo* SettingsObject::classInfo() const { return &kSettings; }

}  // namespace zidevuv10::settings
