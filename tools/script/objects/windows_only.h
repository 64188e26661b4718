// What scripts reach for that exists only on Windows: objects (Shell.Application,
// WMI, ADSI, Office, ...), GetObject monikers (winmgmts:, LDAP://, WinNT://)
// and members (WScript.Shell's registry and window members). Each fails at
// run time with an error naming it and saying it is not available on Linux;
// `zidevuv10 run --check` lists them from the same tables.
// Immutable tables; safe from any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zidevuv10::script {

// The Windows-only object a ProgID names, as written in the table, or nothing.
std::optional<std::u16string> windowsOnlyProgId(std::u16string_view progId);
// The Windows-only service a GetObject path names ("WMI (winmgmts:)"), or nothing.
std::optional<std::u16string> windowsOnlyMoniker(std::u16string_view path);
// The object and member a Windows-only member name stands for
// ("WScript.Shell.RegRead"), or nothing.
std::optional<std::u16string> windowsOnlyMember(std::u16string_view member);

// Error 429 for an object, 445 for a member: "...: 'NAME' is Windows-only,
// not available on Linux".
[[noreturn]] void raiseWindowsOnly(int number, std::u16string_view name);

}  // namespace zidevuv10::script
