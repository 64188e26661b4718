// The stateless profile wrappers: each makes its store call with the
// buffer and size the class has always used, passes unset texts as absent
// arguments and empty ones as empty text; each by-reference argument comes
// back as the store saw it (through UTF-8) when the wrapper returns.
#include <optional>
#include <string>

#include "automation/member_guard.h"
#include "main_class.h"
#include "runtime/store_text.h"
#include "services/services.h"
#include "store/profile_store.h"

namespace zidevuv10::main_class {

namespace {

using store::OptText;
using store::ProfileStore;

using Narrow = frame::StoreTextByRef;

std::shared_ptr<ProfileStore> store() { return zidevuv10::services::store(); }

Text firstBytes(const std::string& buffer, uint32_t n) {
  return Text::fromUtf8(std::string_view(buffer.data(), n));
}

// Splits a NUL-separated name list into a Collection: names up to the first
// empty one (the list's end).
Ref<Collection> splitList(const std::string& buffer) {
  Ref<Collection> list = makeObject<Collection>();
  std::string_view rest(buffer);
  for (;;) {
    const std::size_t nul = rest.find('\0');
    if (nul == 0 || nul == std::string_view::npos) break;
    list->Add(Variant(Text::fromUtf8(rest.substr(0, nul))));
    rest.remove_prefix(nul + 1);
  }
  return list;
}

// A value no entry can hold (entries are single lines): marks a missing key.
constexpr std::string_view kAbsentMarker = "\n";

}  // namespace

Text MainClass::GetPrivateProfileStringInif(Text& sFileName, Text& sSectionName, Text& sKeyName) {
  return frame::guardMember(*this, [&]() -> Text {
    const Narrow file(sFileName), section(sSectionName), key(sKeyName);
    std::string buffer(255, ' ');
    const uint32_t n = store()->getString(section.arg(), key.arg(), std::nullopt,
                                         std::span<char>(buffer.data(), 255), file.arg());
    return firstBytes(buffer, n);
  });
}

Text MainClass::GetPrivateProfileIntInif(Text& sFileName, Text& sSectionName, Text& sKeyName) {
  return frame::guardMember(*this, [&]() -> Text {
    const Narrow file(sFileName), section(sSectionName), key(sKeyName);
    const uint32_t value = store()->getInt(section.arg(), key.arg(), 0, file.arg());
    return Text::fromUtf8(std::to_string(static_cast<int32_t>(value)));
  });
}

Ref<Collection> MainClass::GetPrivateProfileStringSectionsInif(Text& sFileName) {
  return frame::guardMember(*this, [&]() -> Ref<Collection> {
    const Narrow file(sFileName);
    std::string buffer(128, '\0');
    store()->getString(std::nullopt, std::nullopt, "", std::span<char>(buffer.data(), 127),
                      file.arg());
    return splitList(buffer);
  });
}

Ref<Collection> MainClass::GetPrivateProfileStringKeysInif(Text& sFileName, Text& sSectionName) {
  return frame::guardMember(*this, [&]() -> Ref<Collection> {
    const Narrow file(sFileName), section(sSectionName);
    std::string buffer(128, '\0');
    store()->getString(section.arg(), std::nullopt, "", std::span<char>(buffer.data(), 127),
                      file.arg());
    return splitList(buffer);
  });
}

Text MainClass::GetPrivateProfileStringByKeyNameInif(Text& sFileName, Text& sSectionName,
                                                     Text& sKeyName) {
  return frame::guardMember(*this, [&]() -> Text {
    const Narrow file(sFileName), section(sSectionName), key(sKeyName);
    std::string buffer(128, '\0');
    const uint32_t n = store()->getString(section.arg(), key.arg(), "",
                                         std::span<char>(buffer.data(), 127), file.arg());
    return firstBytes(buffer, n);
  });
}

int32_t MainClass::WritePrivateProfileStringAddSectionInif(Text& sFileName, Text& sSectionName) {
  return frame::guardMember(*this, [&]() -> int32_t {
    const Narrow file(sFileName), section(sSectionName);
    int32_t result = 1;
    // The placeholder 0=0 creates the section; an entry named 0 that is
    // already there keeps its value, so nothing is written then.
    bool present = false;
    if (section.arg()) {
      char probe[4];
      const uint32_t n = store()->getString(section.arg(), "0", kAbsentMarker, probe, file.arg());
      present = std::string_view(probe, n) != kAbsentMarker;
    }
    if (!present) result = store()->writeString(section.arg(), "0", "0", file.arg());
    return result;
  });
}

int32_t MainClass::WritePrivateProfileStringAddKeyInif(Text& sFileName, Text& sSectionName,
                                                       Text& sKeyName, Text& sKeyValue) {
  return frame::guardMember(*this, [&]() -> int32_t {
    const Narrow file(sFileName), section(sSectionName), key(sKeyName), value(sKeyValue);
    const int32_t result = store()->writeString(section.arg(), key.arg(), value.arg(), file.arg());
    return result;
  });
}

int32_t MainClass::WritePrivateProfileStringToDeleteKeyInif(Text& sFileName, Text& sSectionName,
                                                            Text& sKeyName) {
  return frame::guardMember(*this, [&]() -> int32_t {
    const Narrow file(sFileName), section(sSectionName), key(sKeyName);
    const int32_t result = store()->writeString(section.arg(), key.arg(), std::nullopt, file.arg());
    return result;
  });
}

int32_t MainClass::WritePrivateProfileStringToDeleteSectionInif(Text& sFileName,
                                                                Text& sSectionName) {
  return frame::guardMember(*this, [&]() -> int32_t {
    const Narrow file(sFileName), section(sSectionName);
    const int32_t result =
        store()->writeString(section.arg(), std::nullopt, std::nullopt, file.arg());
    return result;
  });
}

}  // namespace zidevuv10::main_class
