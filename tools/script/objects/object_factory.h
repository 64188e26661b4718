// The objects a script creates by name: the runtime's own
// (Scripting.FileSystemObject, Scripting.Dictionary, VBScript.RegExp,
// WScript.Shell), the host's window (ScriptHost.Window) and, failing those,
// the library's classes and registered libraries' classes. CreateObject,
// WScript.CreateObject and GetObject all come here.
// Called on the thread running the script.
#pragma once

#include <memory>
#include <string_view>

#include "host_objects.h"

namespace zidevuv10::script {

// The object a ProgID names (case does not matter); error 429 naming a
// Windows-only object, else the library's answer (429 for an unknown name).
ObjectRef createScriptObject(std::u16string_view progId, const std::shared_ptr<OutputSink>& sink,
                             const std::shared_ptr<RunState>& run);
// GetObject([path][, progId]): no object is running or stored in a file
// here, so it always fails: with a Windows-only moniker (winmgmts:, LDAP://,
// WinNT://) naming it, else 429 naming the path or class.
[[noreturn]] void getScriptObject(const Variant& path, const Variant& progId);

// Whether createScriptObject makes this ProgID without the library.
bool isRuntimeProgId(std::u16string_view progId);

}  // namespace zidevuv10::script
