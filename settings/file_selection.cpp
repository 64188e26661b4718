// Construction, file and section selection, the WIN.INI switch, the path
// utilities and the section guard of the settings object.

#include <string>

#include "automation/member_guard.h"
#include "runtime/file_services.h"
#include "runtime/runtime.h"
#include "settings_object.h"
#include "text/case_fold.h"
#include "zidevuv10/error.h"
#include "zidevuv10/host.h"

namespace zidevuv10::settings {

namespace {

bool isSpace(char16_t c) { return c == u' '; }

// The first letter of each word upper case, every other letter lower case.
std::u16string properCase(const std::u16string& s) {
  std::u16string out = s;
  bool wordStart = true;
  for (auto& c : out) {
    c = wordStart ? text::upperCase(c) : text::lowerCase(c);
    wordStart = c == u' ' || c == u'\t';
  }
  return out;
}

// The long form of a folder path, each component as Dir reports it; empty
// when a component is not found. Errors of Dir reach the caller.
std::u16string longPathName(const std::u16string& path) {
  if (path.empty()) return {};
  if (path.size() >= 2 && path.compare(path.size() - 2, 2, u":\\") == 0) return path;
  std::u16string s = path;
  if (s.back() != u'\\') s.push_back(u'\\');
  std::u16string acc;
  std::size_t start = 3;  // after the drive prefix such as "C:\"
  for (;;) {
    const std::size_t b = s.find(u'\\', start);
    if (b == std::u16string::npos) return s.substr(0, 2) + acc;
    const Text answer = frame::dir(Text(s.substr(0, b)), frame::kDirAll);
    if (answer.str().empty()) return {};
    acc += u"\\" + answer.str();
    start = b + 1;
  }
}

Text appProperty(std::u16string_view name) {
  return callByName(frame::appObject(), name, InvokeKind::PropertyGet).toText();
}

}  // namespace

Text trimSpaces(const Text& t) {
  const std::u16string& s = t.str();
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && isSpace(s[b])) ++b;
  while (e > b && isSpace(s[e - 1])) --e;
  return Text(s.substr(b, e - b));
}

Text upperCase(const Text& t) {
  std::u16string s = t.str();
  for (auto& c : s) c = text::upperCase(c);
  return Text(s);
}

SettingsObject::SettingsObject() {
  const Text exeName = appProperty(u"EXEName");
  if (trimSpaces(exeName).str().empty()) return;
  const std::u16string folder = longPathName(appProperty(u"Path").str());
  let_FullPath(Text(folder + u"\\" + properCase(exeName.str()) + u".ini"));
  sectionName_ = Text(u"General");
}

void SettingsObject::let_FullPath(const Text& v) {
  return frame::guardMember(*this, [&]() -> void {
    privPath_ = v;
    fullPath_ = v;
    filePath_ = ExtractPath(fullPath_);
    fileName_ = ExtractName(fullPath_, exnFullName);
    fileExt_ = ExtractName(fullPath_, exnOnlyExtn);
    sectionRegistered_ = !trimSpaces(sectionName_).str().empty();
    useWinIni_ = kFalse;
  });
}

void SettingsObject::let_SectionName(const Text& v) {
  return frame::guardMember(*this, [&]() -> void {
    sectionName_ = v;
    sectionRegistered_ = !trimSpaces(v).str().empty();
  });
}

void SettingsObject::let_UseWinINI(Bool16 v) {
  return frame::guardMember(*this, [&]() -> void {
    if (v == useWinIni_) return;
    useWinIni_ = v;
    if (v != 0) {
      char buffer[255] = {};
      const auto n = static_cast<int16_t>(profileStore()->windowsDirectory(buffer));
      const std::string folder(buffer, n > 0 && n < 255 ? static_cast<std::size_t>(n) : 0);
      fullPath_ = Text::fromUtf8(folder + "\\WIN.INI");
      filePath_ = ExtractPath(fullPath_);
      fileName_ = ExtractName(fullPath_, exnFullName);
      fileExt_ = ExtractName(fullPath_, exnOnlyExtn);
    } else {
      let_FullPath(privPath_);
    }
  });
}

Text SettingsObject::ExtractName(const Text& PathIn, int32_t RetChoice) {
  return frame::guardMember(*this, [&]() -> Text {
    const std::u16string p = PathIn.str().empty() ? fullPath_.str() : PathIn.str();
    std::u16string name;
    if (const std::size_t slash = p.rfind(u'\\'); slash != std::u16string::npos) {
      name = p.substr(slash + 1);
    } else if (p.find(u':') == 1) {
      name = p.substr(2);
    } else {
      name = p;
    }
    const std::size_t dot = name.find(u'.');
    if (dot != std::u16string::npos && RetChoice == exnFullName) return Text(name.substr(0, dot));
    if (dot != std::u16string::npos && RetChoice == exnOnlyExtn) return Text(name.substr(dot + 1));
    return Text(name);
  });
}

Text SettingsObject::ExtractPath(const Text& PathIn) {
  return frame::guardMember(*this, [&]() -> Text {
    const std::u16string p = PathIn.str().empty() ? fullPath_.str() : PathIn.str();
    std::u16string folder;
    // A step that raises an error is passed over and the routine goes on.
    auto currentFolder = [](const Text& drive) -> std::u16string {
      try {
        return frame::curDir(drive).str();
      } catch (const AutomationError&) {
        return {};
      }
    };
    if (const std::size_t slash = p.rfind(u'\\'); slash != std::u16string::npos) {
      folder = p.substr(0, slash);
    } else if (p.find(u':') == 1) {
      folder = currentFolder(Text(p));
      if (folder.empty()) folder = currentFolder(Text());
    } else {
      folder = currentFolder(Text());
    }
    if (!folder.empty() && folder.back() == u'\\') folder.pop_back();
    return Text(folder);
  });
}

int16_t SettingsObject::Exists(const Text& filname) {
  return frame::guardMember(*this, [&]() -> int16_t {
    std::u16string f = filname.str();
    if (f.find(u'.') == std::u16string::npos) f += u".*";
    return frame::dir(Text(f), frame::kDirFiles).str().empty() ? kFalse : kTrue;
  });
}

bool SettingsObject::sectionGuard() {
  if (sectionRegistered_) return true;
  showMessageBox(Text(u"[Section] and FileName Not Registered in Private.Ini!"), 64,
                 Text(u"IniFile Logic Error"));
  return false;
}

std::optional<std::string> SettingsObject::storeFile() const {
  if (useWinIni_ != 0) return std::string(store::ProfileStore::kWinIni);
  return fullPath_.utf8OrAbsent();
}

}  // namespace zidevuv10::settings
