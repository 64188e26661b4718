#include "objects/windows_only.h"

#include <array>

#include "ast.h"
#include "objects/object_errors.h"

namespace zidevuv10::script {

namespace {

// ProgIDs of components that come with Windows (or Windows programs) and
// have no counterpart here, lower case.
constexpr std::array<std::u16string_view, 30> kProgIds = {
    u"shell.application",        u"wbemscripting.swbemlocator", u"wbemscripting.swbemdatetime",
    u"wscript.network",          u"adsysteminfo",               u"adodb.connection",
    u"adodb.recordset",          u"adodb.stream",               u"adodb.command",
    u"excel.application",        u"word.application",           u"outlook.application",
    u"powerpoint.application",   u"access.application",         u"internetexplorer.application",
    u"msxml2.xmlhttp",           u"msxml2.serverxmlhttp",       u"microsoft.xmlhttp",
    u"msxml2.domdocument",       u"microsoft.xmldom",           u"winhttp.winhttprequest.5.1",
    u"cdo.message",              u"microsoft.update.session",   u"sapi.spvoice",
    u"scripting.signer",         u"wshcontroller",              u"schedule.service",
    u"hnetcfg.fwpolicy2",        u"microsoft.windows.activedirectory", u"nameTranslate",
};

struct Moniker {
  std::u16string_view prefix;  // lower case
  std::u16string_view name;
};
constexpr std::array<Moniker, 6> kMonikers = {{
    {u"winmgmts:", u"WMI (winmgmts:)"},
    {u"ldap://", u"ADSI (LDAP://)"},
    {u"winnt://", u"ADSI (WinNT://)"},
    {u"gc://", u"ADSI (GC://)"},
    {u"iis://", u"ADSI (IIS://)"},
    {u"nds://", u"ADSI (NDS://)"},
}};

struct Member {
  std::u16string_view lower;
  std::u16string_view name;
};
constexpr std::array<Member, 8> kMembers = {{
    {u"regread", u"WScript.Shell.RegRead"},
    {u"regwrite", u"WScript.Shell.RegWrite"},
    {u"regdelete", u"WScript.Shell.RegDelete"},
    {u"sendkeys", u"WScript.Shell.SendKeys"},
    {u"appactivate", u"WScript.Shell.AppActivate"},
    {u"createshortcut", u"WScript.Shell.CreateShortcut"},
    {u"logevent", u"WScript.Shell.LogEvent"},
    {u"specialfolders", u"WScript.Shell.SpecialFolders"},
}};

}  // namespace

std::optional<std::u16string> windowsOnlyProgId(std::u16string_view progId) {
  const std::u16string lower = lowerName(progId);
  for (const std::u16string_view p : kProgIds) {
    if (lowerName(p) == lower) return std::u16string(progId);
  }
  return std::nullopt;
}

std::optional<std::u16string> windowsOnlyMoniker(std::u16string_view path) {
  const std::u16string lower = lowerName(path);
  for (const Moniker& m : kMonikers) {
    if (lower.starts_with(m.prefix)) return std::u16string(m.name);
  }
  return std::nullopt;
}

std::optional<std::u16string> windowsOnlyMember(std::u16string_view member) {
  const std::u16string lower = lowerName(member);
  for (const Member& m : kMembers) {
    if (m.lower == lower) return std::u16string(m.name);
  }
  return std::nullopt;
}

void raiseWindowsOnly(int number, std::u16string_view name) {
  raiseObjectError(number, u"'" + std::u16string(name) + u"' is Windows-only, not available on Linux");
}

}  // namespace zidevuv10::script
