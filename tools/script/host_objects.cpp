// Member tables of the host's Err and window objects.
#include "host_objects.h"

#include <chrono>
#include <cmath>
#include <string>
#include <thread>

#include "operators.h"
#include "zidevuv10/error.h"

namespace zidevuv10::script {

namespace {

ScriptErr& err(Object& o) { return static_cast<ScriptErr&>(o); }
ScriptWindow& window(Object& o) { return static_cast<ScriptWindow&>(o); }

constexpr TypeRef kLong{TypeCode::Int32, {}};
constexpr TypeRef kInteger{TypeCode::Int16, {}};
constexpr TypeRef kString{TypeCode::Text, {}};
constexpr TypeRef kSingle{TypeCode::Single, {}};
constexpr TypeRef kBoolean{TypeCode::Bool, {}};
constexpr TypeRef kAny{TypeCode::Variant, {}};

ParamInfo param(std::u16string_view name, TypeRef type, bool optional = false) {
  ParamInfo p;
  p.name = name;
  p.type = type;
  p.optional = optional;
  return p;
}

Variant errRaise(Object&, CallArgs& a) {
  const int32_t number = a.int32(0);
  const Variant& source = a.variant(1);
  const Variant& description = a.variant(2);
  throw AutomationError(number,
                        description.isMissing() ? Text(standardDescription(number)) : description.toText(),
                        source.isMissing() ? Text(std::u16string(kHostSource)) : source.toText());
}

// A single property of the window: get and let.
template <float ScriptWindow::*Field>
std::vector<MemberInfo> singleProperty(std::u16string_view name, int32_t id) {
  return {
      {name, InvokeKind::PropertyGet, id, {}, kSingle,
       [](Object& o, CallArgs&) { return Variant(window(o).*Field); }},
      {name, InvokeKind::PropertyLet, id, {param(u"value", kSingle)}, {},
       [](Object& o, CallArgs& a) {
         window(o).*Field = a.variant(0).toSingle();
         return Variant();
       }},
  };
}

long whole(float v) { return static_cast<long>(std::nearbyint(v)); }

Variant windowMove(Object& o, CallArgs& a) {
  ScriptWindow& w = window(o);
  if (w.failMove_) {
    throw AutomationError(err::kFormMinimizedOrMaximized, Text(u"A form can't be moved or sized while minimized or maximized"),
                          Text(std::u16string(kHostSource)));
  }
  float* fields[] = {&w.left_, &w.top_, &w.width_, &w.height_};
  for (std::size_t i = 0; i < 4; ++i) {
    const Variant& v = a.variant(i);
    if (!v.isMissing()) *fields[i] = v.toSingle();
  }
  w.report("[Window] Move " + std::to_string(whole(w.left_)) + " " + std::to_string(whole(w.top_)) + " " +
           std::to_string(whole(w.width_)) + " " + std::to_string(whole(w.height_)));
  return Variant();
}

ClassInfo makeWindowClass() {
  ClassInfo info{u"Window", u"f4df1ff6-61a7-4bd6-ba46-0b48032810cf", u"174938c2-c74b-4bca-b356-758200b6ebe3", {}};
  auto add = [&](std::vector<MemberInfo> members) {
    for (auto& m : members) info.members.push_back(std::move(m));
  };
  add(singleProperty<&ScriptWindow::left_>(u"Left", 1));
  add(singleProperty<&ScriptWindow::top_>(u"Top", 2));
  add(singleProperty<&ScriptWindow::width_>(u"Width", 3));
  add(singleProperty<&ScriptWindow::height_>(u"Height", 4));
  add({
      {u"WindowState", InvokeKind::PropertyGet, 5, {}, kInteger,
       [](Object& o, CallArgs&) { return Variant(window(o).windowState_); }},
      {u"WindowState", InvokeKind::PropertyLet, 5, {param(u"value", kInteger)}, {},
       [](Object& o, CallArgs& a) {
         window(o).windowState_ = a.int16(0);
         window(o).report("[Window] WindowState " + std::to_string(a.int16(0)));
         return Variant();
       }},
      {u"FailMove", InvokeKind::PropertyGet, 6, {}, kBoolean,
       [](Object& o, CallArgs&) { return Variant::boolean(window(o).failMove_); }},
      {u"FailMove", InvokeKind::PropertyLet, 6, {param(u"value", kBoolean)}, {},
       [](Object& o, CallArgs& a) {
         window(o).failMove_ = a.boolean(0) != 0;
         return Variant();
       }},
      {u"Move", InvokeKind::Method, 7,
       {param(u"Left", kSingle), param(u"Top", kAny, true), param(u"Width", kAny, true),
        param(u"Height", kAny, true)},
       {}, windowMove},
  });
  return info;
}

ClassInfo makeErrClass() {
  return ClassInfo{
      u"ErrObject",
      u"6464b9b0-8d2d-4613-8020-d04a2a2e1dd7",
      u"69d68d40-ca45-4530-a53e-0e917afb977c",
      {
          {u"Number", InvokeKind::PropertyGet, 0, {}, kLong,
           [](Object& o, CallArgs&) { return Variant(err(o).number_); }},
          {u"Number", InvokeKind::PropertyLet, 0, {param(u"value", kLong)}, {},
           [](Object& o, CallArgs& a) {
             err(o).number_ = a.int32(0);
             return Variant();
           }},
          {u"Source", InvokeKind::PropertyGet, 1, {}, kString,
           [](Object& o, CallArgs&) { return Variant(err(o).source_); }},
          {u"Source", InvokeKind::PropertyLet, 1, {param(u"value", kString)}, {},
           [](Object& o, CallArgs& a) {
             err(o).source_ = a.text(0);
             return Variant();
           }},
          {u"Description", InvokeKind::PropertyGet, 2, {}, kString,
           [](Object& o, CallArgs&) { return Variant(err(o).description_); }},
          {u"Description", InvokeKind::PropertyLet, 2, {param(u"value", kString)}, {},
           [](Object& o, CallArgs& a) {
             err(o).description_ = a.text(0);
             return Variant();
           }},
          {u"Clear", InvokeKind::Method, 3, {}, {},
           [](Object& o, CallArgs&) {
             err(o).clear();
             return Variant();
           }},
          {u"Raise", InvokeKind::Method, 4,
           {param(u"Number", kLong), param(u"Source", kAny, true), param(u"Description", kAny, true)},
           {}, errRaise},
      }};
}

// Echo's texts: what Print writes for each, joined by one blank.
constexpr std::size_t kEchoArguments = 16;

std::vector<ParamInfo> echoParams() {
  std::vector<ParamInfo> params;
  for (std::size_t i = 0; i < kEchoArguments; ++i) params.push_back(param(u"Text", kAny, true));
  return params;
}

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

Variant argumentItem(const ScriptArguments& args, const Variant& index) {
  const int32_t i = index.toInt32();
  if (i < 0 || static_cast<std::size_t>(i) >= args.items().size()) raiseHostError(err::kSubscriptOutOfRange);
  return Variant(args.items()[static_cast<std::size_t>(i)]);
}

ClassInfo makeArgumentsClass() {
  const auto count = [](Object& o, CallArgs&) {
    return Variant(static_cast<int32_t>(static_cast<ScriptArguments&>(o).items().size()));
  };
  return ClassInfo{
      u"Arguments",
      u"0b5d2f3e-7a51-4f0e-9d0c-3c1f6f0f6a11",
      u"0b5d2f3e-7a51-4f0e-9d0c-3c1f6f0f6a12",
      {
          {u"Item", InvokeKind::PropertyGet, 0, {param(u"Index", kLong)}, kAny,
           [](Object& o, CallArgs& a) { return argumentItem(static_cast<ScriptArguments&>(o), a.variant(0)); }},
          {u"Count", InvokeKind::Method, 1, {}, kLong, count},
          {u"Length", InvokeKind::PropertyGet, 2, {}, kLong, count},
      }};
}

ClassInfo makeWScriptClass() {
  return ClassInfo{
      u"WScript",
      u"0b5d2f3e-7a51-4f0e-9d0c-3c1f6f0f6a13",
      u"0b5d2f3e-7a51-4f0e-9d0c-3c1f6f0f6a14",
      {
          {u"Echo", InvokeKind::Method, 1, echoParams(), {}, echo},
          {u"Arguments", InvokeKind::PropertyGet, 2, {param(u"Index", kAny, true)}, kAny,
           [](Object& o, CallArgs& a) {
             const auto& w = static_cast<ScriptWScript&>(o);
             if (a.variant(0).isMissing()) return Variant(w.arguments_);
             return argumentItem(*w.arguments_, a.variant(0));
           }},
          {u"Quit", InvokeKind::Method, 3, {param(u"ExitCode", kAny, true)}, {},
           [](Object& o, CallArgs& a) {
             auto& run = *static_cast<ScriptWScript&>(o).run_;
             run.exitStatus = a.variant(0).isMissing() ? 0 : a.variant(0).toInt32();
             run.quit = true;
             return Variant();
           }},
          {u"ScriptName", InvokeKind::PropertyGet, 4, {}, kString,
           [](Object& o, CallArgs&) { return Variant(Text::fromUtf8(static_cast<ScriptWScript&>(o).run_->name)); }},
          {u"ScriptFullName", InvokeKind::PropertyGet, 5, {}, kString,
           [](Object& o, CallArgs&) {
             return Variant(Text::fromUtf8(static_cast<ScriptWScript&>(o).run_->fullName));
           }},
          {u"Sleep", InvokeKind::Method, 6, {param(u"Time", kLong)}, {},
           [](Object&, CallArgs& a) {
             const int32_t ms = a.int32(0);
             if (ms < 0) raiseHostError(err::kInvalidCall);
             std::this_thread::sleep_for(std::chrono::milliseconds(ms));
             return Variant();
           }},
      }};
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

}  // namespace zidevuv10::script
