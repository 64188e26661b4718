// WScript.Shell: the process's environment (Environment, ExpandEnvironmentStrings),
// its current folder (CurrentDirectory, in Windows form), programs started
// through /bin/sh (Run, and Exec with its standard streams), and Popup,
// printed as MsgBox is. Registry, window and shortcut members are
// Windows-only and fail naming themselves.
// Apartment rule: used by the thread of the run that made it.
#pragma once

#include <sys/types.h>

#include <memory>

#include "host_objects.h"
#include "objects/enumerable.h"
#include "objects/text_stream.h"

namespace zidevuv10::script {

class ScriptShell final : public HostObject {
 public:
  ScriptShell(std::shared_ptr<OutputSink> sink) : sink_(std::move(sink)) {}
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"IWshShell3"; }

  // Members. Environment's type is "SYSTEM" (the default), "USER",
  // "VOLATILE" or "PROCESS"; all read the process's environment.
  Variant get_Environment(const Variant& type);
  Text ExpandEnvironmentStrings(const Text& text);
  Text get_CurrentDirectory();
  void let_CurrentDirectory(const Text& folder);
  // Runs the command through /bin/sh; with wait, answers its exit status
  // (128 + the signal that ended it), else 0 at once.
  int32_t Run(const Text& command, const Variant& windowStyle, int16_t wait);
  Variant Exec(const Text& command);
  int32_t Popup(const Text& text, const Variant& seconds, const Variant& title, const Variant& type);
  // The Windows-only members.
  Variant RegRead(const Variant& name);
  void RegWrite(const Variant& name, const Variant& value, const Variant& type);
  void RegDelete(const Variant& name);
  void SendKeys(const Variant& keys, const Variant& wait);
  Variant AppActivate(const Variant& title, const Variant& wait);
  Variant CreateShortcut(const Variant& path);
  Variant LogEvent(const Variant& type, const Variant& message, const Variant& target);
  Variant get_SpecialFolders(const Variant& name);

 private:
  std::shared_ptr<OutputSink> sink_;
};

// Environment("TYPE"): Item(name) (an unset name is ""), Item(name) = value
// (PROCESS only; the others are kept by Windows' registry), Remove(name),
// Count, Length, and For Each over "NAME=value" texts.
class ScriptEnvironment final : public HostObject, public Enumerable {
 public:
  explicit ScriptEnvironment(bool process) : process_(process) {}
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"IWshEnvironment"; }
  std::vector<Variant> enumerate() const override;

  Text get_Item(const Text& name) const;
  void let_Item(const Text& name, const Text& value);
  void Remove(const Text& name);
  int32_t Count() const { return static_cast<int32_t>(enumerate().size()); }

 private:
  bool process_;
};

// A program Exec started: StdOut and StdErr to read, StdIn to write,
// Status (0 running, 1 done), ExitCode, ProcessID, Terminate.
class ScriptExec final : public HostObject {
 public:
  ScriptExec(pid_t pid, int in, int out, int err);
  ~ScriptExec() override;
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"IWshExec"; }

  Variant get_StdIn() const { return Variant(stdIn_); }
  Variant get_StdOut() const { return Variant(stdOut_); }
  Variant get_StdErr() const { return Variant(stdErr_); }
  int32_t get_Status();
  int32_t get_ExitCode();
  int32_t get_ProcessID() const { return static_cast<int32_t>(pid_); }
  void Terminate();

 private:
  // Collects the exit status without waiting (or waiting); true once ended.
  bool reap(bool wait);

  pid_t pid_;
  bool ended_ = false;
  int32_t exitCode_ = 0;
  Ref<ScriptTextStream> stdIn_, stdOut_, stdErr_;
};

}  // namespace zidevuv10::script
