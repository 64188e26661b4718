// Typed reads and writes of entries in the current section: integers,
// strings and true/false words, in the object's file or in WIN.INI.
#include <array>
#include <string>

#include "automation/member_guard.h"
#include "runtime/store_text.h"
#include "settings_object.h"
#include "zidevuv10/error.h"

namespace zidevuv10::settings {

namespace {

using frame::StoreText;
std::shared_ptr<store::ProfileStore> store() { return profileStore(); }

constexpr std::array<std::u16string_view, 7> kTrueWords{u"YES", u"Y", u"TRUE", u"T",
                                                        u"ON",  u"1", u"-1"};

}  // namespace

int16_t SettingsObject::GetInt(const Text& EntryName, int16_t DefaultInt) {
  return frame::guardMember(*this, [&]() -> int16_t {
    if (!sectionGuard()) return 0;
    const StoreText section(sectionName_), entry(EntryName);
    const auto file = storeFile();
    const auto n = static_cast<int32_t>(
        store()->getInt(section.arg(), entry.arg(), DefaultInt, fileArg(file)));
    if (n < -32768 || n > 32767) raiseError(err::kOverflow);
    return static_cast<int16_t>(n);
  });
}

Text SettingsObject::GetString(const Text& EntryName, const Text& DefaultStr) {
  return frame::guardMember(*this, [&]() -> Text {
    if (!sectionGuard()) return Text::empty();
    const StoreText section(sectionName_), entry(EntryName), def(DefaultStr);
    const auto file = storeFile();
    std::string buffer(255, ' ');
    const uint32_t n = store()->getString(section.arg(), entry.arg(), def.arg(),
                                         std::span<char>(buffer.data(), 255), fileArg(file));
    return n > 0 ? Text::fromUtf8(std::string_view(buffer.data(), n)) : Text::empty();
  });
}

Bool16 SettingsObject::GetTF(const Text& EntryName, int16_t DefaultInt) {
  return frame::guardMember(*this, [&]() -> Bool16 {
    const Text value = GetString(EntryName, Text(DefaultInt != 0 ? u"True" : u"False"));
    const std::u16string word = upperCase(trimSpaces(value)).str();
    for (auto t : kTrueWords) {
      if (word == t) return kTrue;
    }
    return kFalse;
  });
}

int16_t SettingsObject::PutInt(const Text& EntryName, int16_t IntValue) {
  return frame::guardMember(*this, [&]() -> int16_t {
    if (!sectionGuard()) return 0;
    const StoreText section(sectionName_), entry(EntryName);
    const auto file = storeFile();
    const std::string text = std::to_string(IntValue);
    return static_cast<int16_t>(store()->writeString(section.arg(), entry.arg(), text, fileArg(file)));
  });
}

int16_t SettingsObject::PutString(const Text& EntryName, const Text& StrValue) {
  return frame::guardMember(*this, [&]() -> int16_t {
    if (!sectionGuard()) return 0;
    const StoreText section(sectionName_), entry(EntryName), value(StrValue);
    const auto file = storeFile();
    return static_cast<int16_t>(
        store()->writeString(section.arg(), entry.arg(), value.arg(), fileArg(file)));
  });
}

Bool16 SettingsObject::PutTF(const Text& EntryName, int16_t IntValue) {
  return frame::guardMember(*this, [&]() -> Bool16 {
    const int16_t r = PutString(EntryName, Text(IntValue != 0 ? u"True" : u"False"));
    return r != 0 ? kTrue : kFalse;
  });
}

void SettingsObject::IniWrite(const Text& SectionName, const Text& EntryName, const Text& NewVal,
                              const Text& FullPath) {
  return frame::guardMember(*this, [&]() -> void {
    const StoreText section(SectionName), entry(EntryName), value(NewVal), path(FullPath);
    const store::OptText file =
        useWinIni_ != 0 ? store::OptText(store::ProfileStore::kWinIni) : path.arg();
    store()->writeString(section.arg(), entry.arg(), value.arg(), file);
  });
}

// Every argument is passed by value and nothing is returned, so no read
// could reach the caller: IniRead makes no store call.
void SettingsObject::IniRead(const Text&, const Text&, int16_t, const Text&, const Text&, Bool16,
                             const Text&) {
  return frame::guardMember(*this, [&]() -> void {
  
  });
}

}  // namespace zidevuv10::settings
