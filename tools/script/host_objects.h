// Objects the script host itself provides: Err, the error being handled;
// WScript, the host of the run (its arguments, Echo, Quit, Sleep); and
// ScriptHost.Window, a window whose placement the library's classes can
// save and restore. All are reached late-bound like the library's classes.
// Apartment rule: an object is used by the thread of the run that made it.
#pragma once

#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "objects/enumerable.h"
#include "zidevuv10/object.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10::script {

// Where host objects print; closed (null) once the run is over, since an
// object may outlive the run in the library's per-thread state.
struct OutputSink {
  std::ostream* out = nullptr;
  std::ostream* err = nullptr;  // WScript.StdErr
};

// What a run was started with, and how the script asked it to end.
struct RunState {
  std::string name;      // as the script was named to the host
  std::string fullName;  // its absolute path
  std::vector<Text> arguments;
  std::istream* input = nullptr;  // where InputBox and StdIn read; null: nothing to read
  ObjectRef standardInput;        // WScript.StdIn, made at its first use
  std::string hostFullName;       // the host program's own path (WScript.FullName)
  bool quit = false;              // WScript.Quit was called
  int32_t exitStatus = 0;
};

// An object of the host: faults of its calls (no such member, wrong
// arguments) name the host as their source, not the library.
class HostObject : public Object {
 public:
  int32_t dispatchId(std::u16string_view name) const override;
  Variant invoke(int32_t dispatchId, InvokeKind kind, std::span<Variant> args) override;
};

class ScriptErr final : public HostObject {
 public:
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"ErrObject"; }

  void set(const AutomationError& error);
  void clear();
  int32_t number() const { return number_; }

  // Members.
  int32_t get_Number() const { return number_; }
  void let_Number(int32_t n) { number_ = n; }
  Text get_Source() const { return source_; }
  void let_Source(const Text& s) { source_ = s; }
  Text get_Description() const { return description_; }
  void let_Description(const Text& d) { description_ = d; }
  // Raises error n; omitted, the standard description and the host as source.
  [[noreturn]] void Raise(int32_t n, const Variant& source, const Variant& description);

  int32_t number_ = 0;
  Text description_ = Text::empty();
  Text source_ = Text::empty();
};

// WScript.Arguments: Count (and Length), Item(i) from 0, the default member;
// Named, the `/name:value` and `/name` arguments by name, and Unnamed, the
// others in order. For Each walks the items.
class ScriptArguments final : public HostObject, public Enumerable {
 public:
  explicit ScriptArguments(std::vector<Text> items, bool unnamedOnly = false);
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return unnamedOnly_ ? u"IWshUnnamed" : u"Arguments"; }
  const std::vector<Text>& items() const { return items_; }
  std::vector<Variant> enumerate() const override;

  // Members. Item counts from 0; out of range is error 9.
  Variant get_Item(int32_t index) const;
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  Variant get_Named() const;
  Variant get_Unnamed() const;

 private:
  std::vector<Text> items_;
  bool unnamedOnly_;
};

class ScriptWScript final : public HostObject {
 public:
  ScriptWScript(std::shared_ptr<OutputSink> sink, std::shared_ptr<RunState> run);
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"WScript"; }

  // Members. Arguments without an index is the Arguments object.
  Variant get_Arguments(const Variant& index) const;
  void Quit(const Variant& exitCode);
  Text get_ScriptName() const { return Text::fromUtf8(run_->name); }
  // The Windows form of the script's absolute path (as given when relative).
  Text get_ScriptFullName() const;
  void Sleep(int32_t milliseconds);
  // The host program (this tool) in Windows form, its folder, the host's
  // name and the object model's version.
  Text get_FullName() const;
  Text get_Path() const;
  Text get_Name() const { return Text(u"Windows Script Host"); }
  Text get_Version() const { return Text(u"5.8"); }
  Variant get_StdIn() const;
  Variant get_StdOut() const;
  Variant get_StdErr() const;
  int16_t get_Interactive() const { return -1; }
  // CreateObject as the function; a prefix (event handlers) is error 445.
  Variant CreateObject(const Text& progId, const Variant& prefix);
  Variant GetObject(const Variant& path, const Variant& progId);

  std::shared_ptr<OutputSink> sink_;
  std::shared_ptr<RunState> run_;
  Ref<ScriptArguments> arguments_;
};

class ScriptWindow final : public HostObject {
 public:
  explicit ScriptWindow(std::shared_ptr<OutputSink> sink) : sink_(std::move(sink)) {}
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"Window"; }

  // Writes one line of the window's report, if the run is still going.
  void report(const std::string& line) const;

  // Members.
  template <float ScriptWindow::*Field>
  float get() const {
    return this->*Field;
  }
  template <float ScriptWindow::*Field>
  void let(float value) {
    this->*Field = value;
  }
  int16_t get_WindowState() const { return windowState_; }
  void let_WindowState(int16_t state);
  int16_t get_FailMove() const { return failMove_ ? -1 : 0; }
  void let_FailMove(int16_t fail) { failMove_ = fail != 0; }
  // Moves and sizes the window; an omitted value stays as it was.
  void Move(float left, const Variant& top, const Variant& width, const Variant& height);

  float left_ = 1000, top_ = 1000, width_ = 6000, height_ = 4000;
  int16_t windowState_ = 0;
  bool failMove_ = false;

 private:
  std::shared_ptr<OutputSink> sink_;
};

// The ProgID scripts create the window with.
inline constexpr std::u16string_view kWindowProgId = u"ScriptHost.Window";

}  // namespace zidevuv10::script
