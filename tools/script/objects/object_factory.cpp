#include "objects/object_factory.h"

#include "ast.h"
#include "objects/dictionary.h"
#include "objects/file_system_object.h"
#include "objects/object_errors.h"
#include "objects/regexp.h"
#include "objects/windows_only.h"
#include "objects/wscript_shell.h"
#include "zidevuv10/error.h"
#include "zidevuv10/library.h"

namespace zidevuv10::script {

namespace {

enum class Runtime { None, FileSystem, Dictionary, RegExp, Shell, Window };

Runtime runtimeOf(std::u16string_view progId) {
  const std::u16string lower = lowerName(progId);
  if (lower == u"scripting.filesystemobject") return Runtime::FileSystem;
  if (lower == u"scripting.dictionary") return Runtime::Dictionary;
  if (lower == u"vbscript.regexp") return Runtime::RegExp;
  if (lower == u"wscript.shell") return Runtime::Shell;
  if (lower == lowerName(kWindowProgId)) return Runtime::Window;
  return Runtime::None;
}

}  // namespace

bool isRuntimeProgId(std::u16string_view progId) { return runtimeOf(progId) != Runtime::None; }

ObjectRef createScriptObject(std::u16string_view progId, const std::shared_ptr<OutputSink>& sink,
                             const std::shared_ptr<RunState>& run) {
  switch (runtimeOf(progId)) {
    case Runtime::FileSystem: return makeObject<ScriptFileSystem>(sink, run);
    case Runtime::Dictionary: return makeObject<ScriptDictionary>();
    case Runtime::RegExp: return makeRegExp();
    case Runtime::Shell: return makeObject<ScriptShell>(sink);
    case Runtime::Window: return makeObject<ScriptWindow>(sink);
    case Runtime::None: break;
  }
  if (const auto name = windowsOnlyProgId(progId)) raiseWindowsOnly(err::kCannotCreateObject, *name);
  return createObject(progId);
}

void getScriptObject(const Variant& path, const Variant& progId) {
  const std::u16string p = path.isMissing() || path.isEmpty() ? u"" : path.toText().str();
  const std::u16string c = progId.isMissing() ? u"" : progId.toText().str();
  if (const auto name = windowsOnlyMoniker(p)) raiseWindowsOnly(err::kCannotCreateObject, *name);
  if (const auto name = windowsOnlyProgId(c)) raiseWindowsOnly(err::kCannotCreateObject, *name);
  raiseObjectError(err::kCannotCreateObject,
                   u"GetObject('" + (p.empty() ? c : p) + u"'): no running or stored objects are available");
}

}  // namespace zidevuv10::script
