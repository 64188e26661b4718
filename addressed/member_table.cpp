// The member table of clsOrviInifINIFilesObjB, in slot order, and its place
// in the catalogue. Each slot is built from the typed interface's member,
// so late-bound calls run the same code with the types it declares.
#include "addressed_object.h"
#include "catalogue/catalogue.h"
#include "dispatch/typed_slot.h"

namespace zidevuv10::addressed {

namespace {

using namespace frame;
using Self = _clsOrviInifINIFilesObjB;

const ClassInfo kAddressed{
    u"clsOrviInifINIFilesObjB",
    u"a5c9cac1-646d-4438-9b42-f03d9d14f2f8",
    u"17aeb64e-23b0-4f0b-9ad7-bf99b6f9e5ff",
    {
        propGet<&Self::get_LastReturnCode>(u"LastReturnCode", 0x68030008),
        propGet<&Self::get_Success, Boolean>(u"Success", 0x68030007),
        propLet<&Self::let_Default>(u"Default", 0x68030006, u"sNewValue"),
        propGet<&Self::get_Default>(u"Default", 0x68030006),
        propLet<&Self::let_Path>(u"Path", 0x68030005, u"sNewValue"),
        propGet<&Self::get_Path>(u"Path", 0x68030005),
        propLet<&Self::let_Key>(u"Key", 0x68030004, u"sNewValue"),
        propGet<&Self::get_Key>(u"Key", 0x68030004),
        propLet<&Self::let_Section>(u"Section", 0x68030003, u"sNewValue"),
        propGet<&Self::get_Section>(u"Section", 0x68030003),
        propGet<&Self::get_Value>(u"Value", 0x68030002),
        propLet<&Self::let_Value>(u"Value", 0x68030002, u"sNewValue"),
        method<&Self::DeleteKey>(u"DeleteKey", 0x6003000a),
        method<&Self::DeleteSection>(u"DeleteSection", 0x6003000b),
        propGet<&Self::get_INISection>(u"INISection", 0x68030001),
        propLet<&Self::let_INISection>(u"INISection", 0x68030001, u"sNewValue"),
        propGet<&Self::get_Sections>(u"Sections", 0x68030000),
        method<&Self::EnumerateCurrentSection>(u"EnumerateCurrentSection", 0x6003000c, u"sKey",
                                               u"iCount"),
        method<&Self::EnumerateAllSections>(u"EnumerateAllSections", 0x6003000d, u"sSections",
                                            u"iCount"),
        method<&Self::SaveFormPosition>(u"SaveFormPosition", 0x6003000e, u"frmThis"),
        method<&Self::LoadFormPosition>(u"LoadFormPosition", 0x6003000f, u"frmThis",
                                        optional(u"lMinWidth", int16_t{3000}),
                                        optional(u"lMinHeight", int16_t{3000})),
        method<&Self::CLngDefault>(u"CLngDefault", 0x60030010, u"sString",
                                   optional(u"lDefault", int32_t{0})),
    }};

const ClassRegistrar kRegisterAddressed({8, &kAddressed, [] {
  return ObjectRef(makeObject<AddressedObject>());
}});

}  // namespace

const ClassInfo* AddressedObject::classInfo() const { return &kAddressed; }

}  // namespace zidevuv10::addressed
