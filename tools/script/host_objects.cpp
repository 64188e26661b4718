// The host's objects and their member tables.
#include "host_objects.h"

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <utility>

#include "objects/host_files.h"
#include "objects/named_arguments.h"
#include "objects/object_errors.h"
#include "objects/object_factory.h"
#include "objects/path_text.h"
#include "objects/standard_streams.h"
#include "operators.h"
#include "typed_slot.h"
#include "zidevuv10/error.h"

namespace zidevuv10::script {

namespace {

using frame::hinted;
using frame::method;
using frame::optional;
using frame::propGet;
using frame::propLet;

ParamInfo anyOptional(std::u16string_view name) {
  ParamInfo p;
  p.name = name;
  p.type = TypeRef{TypeCode::Variant, {}};
  p.optional = true;
  return p;
}

long whole(float v) { return static_cast<long>(std::nearbyint(v)); }

// A Single property of the window: get and let.
template <float ScriptWindow::*Field>
void addSingleProperty(ClassInfo& info, std::u16string_view name, int32_t id) {
  info.members.push_back(propGet<&ScriptWindow::get<Field>>(name, id));
  info.members.push_back(propLet<&ScriptWindow::let<Field>>(name, id, u"value"));
}

ClassInfo makeWindowClass() {
  ClassInfo info{u"Window", u"f4df1ff6-61a7-4bd6-ba46-0b48032810cf", u"174938c2-c74b-4bca-b356-758200b6ebe3", {}};
  addSingleProperty<&ScriptWindow::left_>(info, u"Left", 1);
  addSingleProperty<&ScriptWindow::top_>(info, u"Top", 2);
  addSingleProperty<&ScriptWindow::width_>(info, u"Width", 3);
  addSingleProperty<&ScriptWindow::height_>(info, u"Height", 4);
  for (MemberInfo& m : std::vector<MemberInfo>{
           propGet<&ScriptWindow::get_WindowState>(u"WindowState", 5),
           propLet<&ScriptWindow::let_WindowState>(u"WindowState", 5, u"value"),
           propGet<&ScriptWindow::get_FailMove, frame::Boolean>(u"FailMove", 6),
           propLet<&ScriptWindow::let_FailMove>(u"FailMove", 6, hinted<frame::Boolean>(u"value")),
           method<&ScriptWindow::Move>(u"Move", 7, u"Left", optional(u"Top"), optional(u"Width"),
                                       optional(u"Height")),
       }) {
    info.members.push_back(std::move(m));
  }
  return info;
}

ClassInfo makeErrClass() {
  return ClassInfo{
      u"ErrObject",
      u"6464b9b0-8d2d-4613-8020-d04a2a2e1dd7",
      u"69d68d40-ca45-4530-a53e-0e917afb977c",
      {
          propGet<&ScriptErr::get_Number>(u"Number", 0),
          propLet<&ScriptErr::let_Number>(u"Number", 0, u"value"),
          propGet<&ScriptErr::get_Source>(u"Source", 1),
          propLet<&ScriptErr::let_Source>(u"Source", 1, u"value"),
          propGet<&ScriptErr::get_Description>(u"Description", 2),
          propLet<&ScriptErr::let_Description>(u"Description", 2, u"value"),
          method<&ScriptErr::clear>(u"Clear", 3),
          method<&ScriptErr::Raise>(u"Raise", 4, u"Number", optional(u"Source"), optional(u"Description")),
      }};
}

// Echo takes up to this many texts; no fixed signature states that, so its
// slot is written out.
constexpr std::size_t kEchoArguments = 16;

std::vector<ParamInfo> echoParams() {
  std::vector<ParamInfo> params;
  for (std::size_t i = 0; i < kEchoArguments; ++i) params.push_back(anyOptional(u"Text"));
  return params;
}

// The texts up to the first omitted one: what Print writes for each, joined
// by one blank.
Variant echo(Object& o, CallArgs& a) {
  const auto& w = static_cast<ScriptWScript&>(o);
  std::string line;
  for (std::size_t i = 0; i < kEchoArguments; ++i) {
    const Variant& v = a.variant(i);
    if (v.isMissing()) break;
    if (i > 0) line += ' ';
    if (v.type() == VarType::Null) line += "Null";
    else if (v.isObject() || v.type() == VarType::Array) raiseHostError(err::kTypeMismatch);
    else if (!v.isEmpty()) line += v.toText().utf8();
  }
  if (w.sink_->out != nullptr) *w.sink_->out << line << '\n';
  return Variant();
}

ClassInfo makeArgumentsClass() {
  return ClassInfo{
      u"Arguments",
      u"0b5d2f3e-7a51-4f0e-9d0c-3c1f6f0f6a11",
      u"0b5d2f3e-7a51-4f0e-9d0c-3c1f6f0f6a12",
      {
          propGet<&ScriptArguments::get_Item>(u"Item", 0, u"Index"),
          method<&ScriptArguments::Count>(u"Count", 1),
          propGet<&ScriptArguments::Count>(u"Length", 2),
          propGet<&ScriptArguments::get_Named>(u"Named", 3),
          propGet<&ScriptArguments::get_Unnamed>(u"Unnamed", 4),
      }};
}

ClassInfo makeWScriptClass() {
  return ClassInfo{
      u"WScript",
      u"0b5d2f3e-7a51-4f0e-9d0c-3c1f6f0f6a13",
      u"0b5d2f3e-7a51-4f0e-9d0c-3c1f6f0f6a14",
      {
          MemberInfo{u"Echo", InvokeKind::Method, 1, echoParams(), {}, echo},
          propGet<&ScriptWScript::get_Arguments>(u"Arguments", 2, optional(u"Index")),
          method<&ScriptWScript::Quit>(u"Quit", 3, optional(u"ExitCode")),
          propGet<&ScriptWScript::get_ScriptName>(u"ScriptName", 4),
          propGet<&ScriptWScript::get_ScriptFullName>(u"ScriptFullName", 5),
          method<&ScriptWScript::Sleep>(u"Sleep", 6, u"Time"),
          propGet<&ScriptWScript::get_FullName>(u"FullName", 7),
          propGet<&ScriptWScript::get_Name>(u"Name", 0),
          propGet<&ScriptWScript::get_Path>(u"Path", 8),
          propGet<&ScriptWScript::get_Version>(u"Version", 9),
          propGet<&ScriptWScript::get_StdIn>(u"StdIn", 10),
          propGet<&ScriptWScript::get_StdOut>(u"StdOut", 11),
          propGet<&ScriptWScript::get_StdErr>(u"StdErr", 12),
          propGet<&ScriptWScript::get_Interactive, frame::Boolean>(u"Interactive", 13),
          method<&ScriptWScript::CreateObject>(u"CreateObject", 14, u"ProgID", optional(u"Prefix")),
          method<&ScriptWScript::GetObject>(u"GetObject", 15, u"Pathname", optional(u"ProgID")),
      }};
}

Variant argumentItem(const ScriptArguments& args, const Variant& index) {
  const int32_t i = index.toInt32();
  if (i < 0 || static_cast<std::size_t>(i) >= args.items().size()) raiseHostError(err::kSubscriptOutOfRange);
  return Variant(args.items()[static_cast<std::size_t>(i)]);
}

// The error with the host as its source when the library's dispatch raised it.
[[noreturn]] void rethrowAsHost(const AutomationError& e) {
  if (e.source().str().rfind(kLibrarySource, 0) == 0) {
    throw AutomationError(e.number(), e.description(), Text(std::u16string(kHostSource)));
  }
  throw;
}

}  // namespace

int32_t HostObject::dispatchId(std::u16string_view name) const {
  try {
    return Object::dispatchId(name);
  } catch (const AutomationError& e) {
    rethrowAsHost(e);
  }
}

Variant HostObject::invoke(int32_t dispatchId, InvokeKind kind, std::span<Variant> args) {
  try {
    return Object::invoke(dispatchId, kind, args);
  } catch (const AutomationError& e) {
    rethrowAsHost(e);
  }
}

const ClassInfo* ScriptErr::classInfo() const {
  static const ClassInfo info = makeErrClass();
  return &info;
}

void ScriptErr::set(const AutomationError& error) {
  number_ = error.number();
  description_ = Text(error.description().str());
  source_ = Text(error.source().str());
}

void ScriptErr::clear() {
  number_ = 0;
  description_ = Text::empty();
  source_ = Text::empty();
}

ScriptWScript::ScriptWScript(std::shared_ptr<OutputSink> sink, std::shared_ptr<RunState> run)
    : sink_(std::move(sink)), run_(std::move(run)), arguments_(makeObject<ScriptArguments>(run_->arguments)) {}

const ClassInfo* ScriptWScript::classInfo() const {
  static const ClassInfo info = makeWScriptClass();
  return &info;
}

const ClassInfo* ScriptArguments::classInfo() const {
  static const ClassInfo info = makeArgumentsClass();
  return &info;
}

const ClassInfo* ScriptWindow::classInfo() const {
  static const ClassInfo info = makeWindowClass();
  return &info;
}

void ScriptWindow::report(const std::string& line) const {
  if (sink_->out != nullptr) *sink_->out << line << '\n';
}

void ScriptWindow::let_WindowState(int16_t state) {
  windowState_ = state;
  report("[Window] WindowState " + std::to_string(state));
}

void ScriptWindow::Move(float left, const Variant& top, const Variant& width, const Variant& height) {
  if (failMove_) {
    throw AutomationError(err::kFormMinimizedOrMaximized,
                          Text(u"A form can't be moved or sized while minimized or maximized"),
                          Text(std::u16string(kHostSource)));
  }
  left_ = left;
  const std::pair<float*, const Variant*> rest[] = {{&top_, &top}, {&width_, &width}, {&height_, &height}};
  for (const auto& [field, value] : rest) {
    if (!value->isMissing()) *field = value->toSingle();
  }
  report("[Window] Move " + std::to_string(whole(left_)) + " " + std::to_string(whole(top_)) + " " +
         std::to_string(whole(width_)) + " " + std::to_string(whole(height_)));
}

void ScriptErr::Raise(int32_t n, const Variant& source, const Variant& description) {
  throw AutomationError(n, description.isMissing() ? Text(standardDescription(n)) : description.toText(),
                        source.isMissing() ? Text(std::u16string(kHostSource)) : source.toText());
}

ScriptArguments::ScriptArguments(std::vector<Text> items, bool unnamedOnly) : unnamedOnly_(unnamedOnly) {
  for (Text& item : items) {
    std::u16string name, value;
    if (!unnamedOnly || !namedArgument(item.str(), name, value)) items_.push_back(std::move(item));
  }
}

Variant ScriptArguments::get_Item(int32_t index) const { return argumentItem(*this, Variant(index)); }

std::vector<Variant> ScriptArguments::enumerate() const {
  std::vector<Variant> values;
  for (const Text& t : items_) values.emplace_back(t);
  return values;
}

Variant ScriptArguments::get_Named() const { return Variant(makeObject<ScriptNamedArguments>(items_)); }

Variant ScriptArguments::get_Unnamed() const { return Variant(makeObject<ScriptArguments>(items_, true)); }

Text ScriptWScript::get_ScriptFullName() const {
  const std::string& full = run_->fullName;
  return full.starts_with('/') ? files::windowsPath(full) : Text::fromUtf8(full);
}

Text ScriptWScript::get_FullName() const { return files::windowsPath(run_->hostFullName); }

Text ScriptWScript::get_Path() const {
  return Text(path_text::parentFolderName(get_FullName().str()));
}

Variant ScriptWScript::get_StdIn() const { return Variant(standardStream(sink_, run_, 0)); }
Variant ScriptWScript::get_StdOut() const { return Variant(standardStream(sink_, run_, 1)); }
Variant ScriptWScript::get_StdErr() const { return Variant(standardStream(sink_, run_, 2)); }

Variant ScriptWScript::CreateObject(const Text& progId, const Variant& prefix) {
  if (!prefix.isMissing() && !prefix.toText().str().empty()) {
    raiseObjectError(err::kActionNotSupported, u"event handlers (the prefix of WScript.CreateObject)");
  }
  return Variant(createScriptObject(progId.str(), sink_, run_));
}

Variant ScriptWScript::GetObject(const Variant& path, const Variant& progId) { getScriptObject(path, progId); }

Variant ScriptWScript::get_Arguments(const Variant& index) const {
  if (index.isMissing()) return Variant(arguments_);
  return argumentItem(*arguments_, index);
}

void ScriptWScript::Quit(const Variant& exitCode) {
  run_->exitStatus = exitCode.isMissing() ? 0 : exitCode.toInt32();
  run_->quit = true;
}

void ScriptWScript::Sleep(int32_t milliseconds) {
  if (milliseconds < 0) raiseHostError(err::kInvalidCall);
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace zidevuv10::script
