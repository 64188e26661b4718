// Deletion and listing of entries and sections, SectExist and FlushCache.
// GetSections reads the file itself, line by line, through the file-input
// service; the others go through the profile store.
#include <string>

#include "automation/member_guard.h"
#include "runtime/file_services.h"
#include "runtime/store_text.h"
#include "services/services.h"
#include "paths/path_map.h"
#include "settings_object.h"
#include "zidevuv10/error.h"

namespace zidevuv10::settings {

namespace {

using frame::StoreText;
std::shared_ptr<store::ProfileStore> store() { return profileStore(); }

// A line without its comment (from the first ';') and surrounding spaces.
std::u16string stripComment(const std::u16string& line) {
  const std::size_t c = line.find(u';');
  if (c == 0) return {};
  return trimSpaces(Text(c == std::u16string::npos ? line : line.substr(0, c))).str();
}

// The file GetSections opens: the one the store's operations on the same
// name reach (a name without a folder lives in the Windows directory).
Text fileToOpen(const Text& fullPath) {
  const auto host = paths::resolveProfileFile(*services::fileSystem(), fullPath.utf8());
  return host ? Text::fromUtf8(host->path) : fullPath;
}

}  // namespace

void SettingsObject::DeleteStrEntry(const Text& EntryName) {
  return frame::guardMember(*this, [&]() -> void {
    if (!sectionGuard()) return;
    const StoreText section(sectionName_), entry(EntryName);
    const auto file = storeFile();
    store()->writeString(section.arg(), entry.arg(), "", fileArg(file));
  });
}

void SettingsObject::DeleteNumEntry(const Text& EntryName) {
  return frame::guardMember(*this, [&]() -> void {
    if (!sectionGuard()) return;
    const StoreText section(sectionName_), entry(EntryName);
    const auto file = storeFile();
    // In WIN.INI the entry is kept with the value 0; in the private file it goes.
    const store::OptText value = useWinIni_ != 0 ? store::OptText("0") : std::nullopt;
    store()->writeString(section.arg(), entry.arg(), value, fileArg(file));
  });
}

void SettingsObject::DeleteSection() {
  return frame::guardMember(*this, [&]() -> void {
    if (!sectionGuard()) return;
    const StoreText section(sectionName_);
    const auto file = storeFile();
    store()->writeSection(section.arg(), "", fileArg(file));
    sectionName_ = Text::empty();
    sectionRegistered_ = false;
  });
}

void SettingsObject::FlushCache() {
  return frame::guardMember(*this, [&]() -> void {
    if (!sectionGuard()) return;
    const auto file = storeFile();
    store()->writeString(std::nullopt, std::nullopt, std::nullopt, fileArg(file));
  });
}

Text SettingsObject::GetSectEntries() {
  return frame::guardMember(*this, [&]() -> Text {
    if (!sectionGuard()) return Text::empty();
    const StoreText section(sectionName_);
    const auto file = storeFile();
    std::string buffer(4096, '\0');
    const uint32_t n =
        store()->getSection(section.arg(), std::span<char>(buffer.data(), 4096), fileArg(file));
    return Text::fromUtf8(std::string_view(buffer.data(), std::min<std::size_t>(n + 1, 4096)));
  });
}

int16_t SettingsObject::GetSectEntriesEx(SafeArray& DataArry) {
  return frame::guardMember(*this, [&]() -> int16_t {
    if (!sectionGuard()) return 0;
    // From here on a step that raises an error is passed over.
    auto attempt = [](auto&& step) {
      try {
        step();
      } catch (const AutomationError&) {
      }
    };
    Text list;
    attempt([&] { list = GetSectEntries(); });
    std::u16string s = list.str();
    if (s.size() <= 1) return 0;
    int16_t i = 0;
    for (;;) {
      if (s.front() == u'\0') break;
      attempt([&] { DataArry.redim({{0, 1}, {0, i}}, true); });
      std::size_t p = s.find(u'\0');
      if (p == std::u16string::npos) p = s.size();
      const std::size_t q = s.substr(0, p).find(u'=');
      if (q != std::u16string::npos) {
        attempt([&] { DataArry.at(0, i) = Variant(Text(s.substr(0, q))); });
      }
      const std::size_t valueStart = q == std::u16string::npos ? 0 : q + 1;
      attempt([&] { DataArry.at(1, i) = Variant(Text(s.substr(valueStart, p - valueStart))); });
      s = p < s.size() ? s.substr(p + 1) : std::u16string();
      if (i == 32767) break;
      ++i;
      if (s.empty()) break;
    }
    return i;
  });
}

Text SettingsObject::GetSections() {
  return frame::guardMember(*this, [&]() -> Text {
    if (!sectionGuard()) return Text::empty();
    const int32_t number = frame::freeFile();
    frame::openForInput(number, fileToOpen(fullPath_));
    std::u16string names;
    try {
      while (!frame::endOfFile(number)) {
        const std::u16string line = stripComment(frame::lineInput(number).str());
        const std::size_t close = line.find(u']');
        if (!line.empty() && line.front() == u'[' && close == line.size() - 1) {
          names += line.substr(1, line.size() - 2);
          names.push_back(u'\0');
        }
      }
    } catch (...) {
      frame::closeFile(number);
      throw;
    }
    frame::closeFile(number);
    if (names.empty()) return Text(std::u16string(2, u'\0'));
    names.push_back(u'\0');
    return Text(names);
  });
}

int16_t SettingsObject::GetSectionsEx(SafeArray& DataArry) {
  return frame::guardMember(*this, [&]() -> int16_t {
    std::u16string s = GetSections().str();
    int16_t n = 0;
    if (s.empty()) return 0;
    while (!s.empty() && s.front() != u'\0') {
      DataArry.redim({{0, n}}, true);
      const std::size_t p = s.find(u'\0');
      DataArry.at(n) = Variant(Text(s.substr(0, p)));
      s = s.substr(p + 1);
      if (n == 32767) raiseError(err::kOverflow);
      ++n;
    }
    return n;
  });
}

Bool16 SettingsObject::SectExist(const Text& SectionName) {
  return frame::guardMember(*this, [&]() -> Bool16 {
    const std::u16string s = GetSections().str();
    if (s.empty()) return kFalse;
    const std::u16string haystack = u'\0' + upperCase(Text(s)).str();
    const std::u16string needle = u'\0' + upperCase(SectionName).str() + u'\0';
    return haystack.find(needle) != std::u16string::npos ? kTrue : kFalse;
  });
}

}  // namespace zidevuv10::settings
