// The member table of clsOrviVEZEzoro10A, in slot order, and its place in
// the catalogue. Each slot is built from the typed interface's member, so
// late-bound calls run the same code with the types it declares.
#include "catalogue/catalogue.h"
#include "dispatch/typed_slot.h"
#include "main_class.h"

namespace zidevuv10::main_class {

namespace {

using namespace frame;
using Self = _clsOrviVEZEzoro10A;

struct LoadResConstants {
  static constexpr std::u16string_view enumName = u"LoadResConstants";
};
struct Picture {
  static constexpr std::u16string_view objectName = u"Picture";
};

const ClassInfo kMainClass{
    u"clsOrviVEZEzoro10A",
    u"aae1c211-b159-44fa-bf25-e261b78385a2",
    u"991b5f2a-939d-44ad-aeb8-d01ffbaff3ce",
    {
        propGet<&Self::get_GetProStdProperties>(u"GetProStdProperties", 0x68030008),
        propGet<&Self::get_GetProResStrings>(u"GetProResStrings", 0x68030007, u"lResId"),
        propGet<&Self::get_GetProResPicture, Picture>(u"GetProResPicture", 0x68030006, u"lResId",
                                                      hinted<LoadResConstants>(u"lRestype")),
        propGet<&Self::get_GetProResData>(u"GetProResData", 0x68030005, u"lResId", u"vRestype"),
        method<&Self::About>(u"About", 0x6003000a),
        propGet<&Self::get_BuddyObjectGlobal>(u"BuddyObjectGlobal", 0x68030004),
        propSet<&Self::set_BuddyObjectGlobal>(u"BuddyObjectGlobal", 0x68030004, u"oNewValue"),
        method<&Self::GetPrivateProfileStringInif>(u"GetPrivateProfileStringInif", 0x6003000b,
                                                   u"sFileName", u"sSectionName", u"sKeyName"),
        method<&Self::GetPrivateProfileIntInif>(u"GetPrivateProfileIntInif", 0x6003000c,
                                                u"sFileName", u"sSectionName", u"sKeyName"),
        method<&Self::GetPrivateProfileStringSectionsInif>(
            u"GetPrivateProfileStringSectionsInif", 0x6003000d, u"sFileName"),
        method<&Self::GetPrivateProfileStringKeysInif>(u"GetPrivateProfileStringKeysInif",
                                                       0x6003000e, u"sFileName", u"sSectionName"),
        method<&Self::GetPrivateProfileStringByKeyNameInif>(
            u"GetPrivateProfileStringByKeyNameInif", 0x6003000f, u"sFileName", u"sSectionName",
            u"sKeyName"),
        method<&Self::WritePrivateProfileStringAddSectionInif>(
            u"WritePrivateProfileStringAddSectionInif", 0x60030010, u"sFileName", u"sSectionName"),
        method<&Self::WritePrivateProfileStringAddKeyInif>(
            u"WritePrivateProfileStringAddKeyInif", 0x60030011, u"sFileName", u"sSectionName",
            u"sKeyName", u"sKeyValue"),
        method<&Self::WritePrivateProfileStringToDeleteKeyInif>(
            u"WritePrivateProfileStringToDeleteKeyInif", 0x60030012, u"sFileName",
            u"sSectionName", u"sKeyName"),
        method<&Self::WritePrivateProfileStringToDeleteSectionInif>(
            u"WritePrivateProfileStringToDeleteSectionInif", 0x60030013, u"sFileName",
            u"sSectionName"),
        propGet<&Self::get_INIFileName>(u"INIFileName", 0x68030003),
        propLet<&Self::let_INIFileName>(u"INIFileName", 0x68030003, u"sNewValue"),
        propGet<&Self::get_INISectionName>(u"INISectionName", 0x68030002),
        propLet<&Self::let_INISectionName>(u"INISectionName", 0x68030002, u"sNewValue"),
        propGet<&Self::get_INIKeyName>(u"INIKeyName", 0x68030001),
        propLet<&Self::let_INIKeyName>(u"INIKeyName", 0x68030001, u"sNewValue"),
        propGet<&Self::get_INIKeyValue>(u"INIKeyValue", 0x68030000),
        propLet<&Self::let_INIKeyValue>(u"INIKeyValue", 0x68030000, u"sNewValue"),
        method<&Self::INIAddSection>(u"INIAddSection", 0x60030014),
        method<&Self::INIDeleteSection>(u"INIDeleteSection", 0x60030015),
        method<&Self::INIAddKey>(u"INIAddKey", 0x60030016),
        method<&Self::INIDeleteKey>(u"INIDeleteKey", 0x60030017),
    }};

const ClassRegistrar kRegisterMainClass({0, &kMainClass, [] {
  return ObjectRef(makeObject<MainClass>());
}});

}  // namespace

const ClassInfo* MainClass::classInfo() const { return &kMainClass; }

}  // namespace zidevuv10::main_class
