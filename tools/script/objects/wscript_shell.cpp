// WScript.Shell, its Environment collection and Exec's process object.
#include "objects/wscript_shell.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>

#include "ast.h"
#include "objects/host_files.h"
#include "objects/object_errors.h"
#include "objects/windows_only.h"
#include "typed_slot.h"
#include "zidevuv10/error.h"

extern char** environ;

namespace zidevuv10::script {

namespace {

using frame::method;
using frame::optional;
using frame::propGet;
using frame::propLet;
using Sh = ScriptShell;

ClassInfo makeShellClass() {
  return ClassInfo{
      u"IWshShell3",
      u"72c24dd5-d70a-438b-8a42-98424b88afb8",
      u"41904400-be18-11d3-a28b-00104bd35090",
      {
          propGet<&Sh::get_Environment>(u"Environment", 200, optional(u"Type")),
          method<&Sh::ExpandEnvironmentStrings>(u"ExpandEnvironmentStrings", 3002, u"Src"),
          propGet<&Sh::get_CurrentDirectory>(u"CurrentDirectory", 3003),
          propLet<&Sh::let_CurrentDirectory>(u"CurrentDirectory", 3003, u"out_Directory"),
          method<&Sh::Run>(u"Run", 1000, u"Command", optional(u"WindowStyle"), optional(u"WaitOnReturn", int16_t{0})),
          method<&Sh::Exec>(u"Exec", 3004, u"Command"),
          method<&Sh::Popup>(u"Popup", 1001, u"Text", optional(u"SecondsToWait"), optional(u"Title"), optional(u"Type")),
          method<&Sh::RegRead>(u"RegRead", 2001, u"Name"),
          method<&Sh::RegWrite>(u"RegWrite", 2002, u"Name", u"Value", optional(u"Type")),
          method<&Sh::RegDelete>(u"RegDelete", 2003, u"Name"),
          method<&Sh::SendKeys>(u"SendKeys", 3001, u"Keys", optional(u"Wait")),
          method<&Sh::AppActivate>(u"AppActivate", 3000, u"App", optional(u"Wait")),
          method<&Sh::CreateShortcut>(u"CreateShortcut", 1002, u"PathLink"),
          method<&Sh::LogEvent>(u"LogEvent", 3005, u"Type", u"Message", optional(u"Target")),
          propGet<&Sh::get_SpecialFolders>(u"SpecialFolders", 100, optional(u"Name")),
      }};
}

ClassInfo makeEnvironmentClass() {
  return ClassInfo{u"IWshEnvironment",
                   u"f935dc2a-1cf0-11d0-adb9-00c04fd58a0b",
                   u"f935dc29-1cf0-11d0-adb9-00c04fd58a0b",
                   {
                       propGet<&ScriptEnvironment::get_Item>(u"Item", 0, u"Name"),
                       propLet<&ScriptEnvironment::let_Item>(u"Item", 0, u"Name", u"out_Value"),
                       method<&ScriptEnvironment::Count>(u"Count", 1),
                       propGet<&ScriptEnvironment::Count>(u"length", 2),
                       method<&ScriptEnvironment::Remove>(u"Remove", 1001, u"Name"),
                   }};
}

ClassInfo makeExecClass() {
  return ClassInfo{u"IWshExec",
                   u"08fed190-be19-11d3-a28b-00104bd35090",
                   u"08fed191-be19-11d3-a28b-00104bd35090",
                   {
                       propGet<&ScriptExec::get_Status>(u"Status", 1),
                       propGet<&ScriptExec::get_StdIn>(u"StdIn", 3),
                       propGet<&ScriptExec::get_StdOut>(u"StdOut", 4),
                       propGet<&ScriptExec::get_StdErr>(u"StdErr", 5),
                       propGet<&ScriptExec::get_ProcessID>(u"ProcessID", 6),
                       propGet<&ScriptExec::get_ExitCode>(u"ExitCode", 7),
                       method<&ScriptExec::Terminate>(u"Terminate", 8),
                   }};
}

// The value of a variable, matched exactly and then without regard to case
// (Windows' names ignore case).
std::optional<std::string> variable(const std::string& name) {
  if (const char* v = std::getenv(name.c_str())) return std::string(v);
  const std::u16string lower = lowerName(Text::fromUtf8(name).str());
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const std::size_t eq = entry.find('=');
    if (eq != std::string::npos && lowerName(Text::fromUtf8(entry.substr(0, eq)).str()) == lower) {
      return entry.substr(eq + 1);
    }
  }
  return std::nullopt;
}

// The exit status as Windows reports a program's: its code, or 128 plus
// the signal that ended it.
int32_t exitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

// Starts /bin/sh -c command; `fds` are the child's standard streams (-1: the host's own).
pid_t spawnShell(const Text& command, const int (&fds)[3]) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int i = 0; i < 3; ++i) {
    if (fds[i] >= 0) posix_spawn_file_actions_adddup2(&actions, fds[i], i);
  }
  const std::string cmd = command.utf8();
  char sh[] = "/bin/sh", c[] = "-c";
  char* argv[] = {sh, c, const_cast<char*>(cmd.c_str()), nullptr};
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, "/bin/sh", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) files::raiseFor(rc, "/bin/sh", files::Kind::File);
  return pid;
}

}  // namespace

const ClassInfo* ScriptShell::classInfo() const {
  static const ClassInfo info = makeShellClass();
  return &info;
}

Variant Sh::get_Environment(const Variant& type) {
  const std::u16string t = type.isMissing() ? u"system" : lowerName(type.toText().str());
  if (t != u"system" && t != u"user" && t != u"volatile" && t != u"process") raiseObjectError(err::kInvalidCall);
  return Variant(makeObject<ScriptEnvironment>(t == u"process"));
}

Text Sh::ExpandEnvironmentStrings(const Text& text) {
  const std::string s = text.utf8();
  std::string out;
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t open = s.find('%', i);
    const std::size_t close = open == std::string::npos ? std::string::npos : s.find('%', open + 1);
    if (close == std::string::npos) {
      out.append(s, i, std::string::npos);
      break;
    }
    out.append(s, i, open - i);
    const std::string name = s.substr(open + 1, close - open - 1);
    const auto value = name.empty() ? std::nullopt : variable(name);
    if (value) {
      out += *value;
      i = close + 1;
    } else {
      // Not a variable: kept as written; its closing % may open the next.
      out.append(s, open, close - open);
      i = close;
    }
  }
  return Text::fromUtf8(out);
}

Text Sh::get_CurrentDirectory() { return files::windowsPath(files::hostPath(Text(u"."))); }

void Sh::let_CurrentDirectory(const Text& folder) {
  const std::string host = files::hostPath(folder);
  if (::chdir(host.c_str()) != 0) files::raiseFor(errno, host, files::Kind::Folder);
}

int32_t Sh::Run(const Text& command, const Variant& windowStyle, int16_t wait) {
  if (!windowStyle.isMissing()) windowStyle.toInt32();
  // What the script printed comes before what the program prints.
  if (sink_->out != nullptr) sink_->out->flush();
  std::cout.flush();
  const pid_t pid = spawnShell(command, {-1, -1, -1});
  if (wait == 0) return 0;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) files::raiseFor(errno, "/bin/sh", files::Kind::File);
  }
  return exitCodeOf(status);
}

Variant Sh::Exec(const Text& command) {
  int in[2], out[2], err[2];
  if (::pipe2(in, O_CLOEXEC) != 0) files::raiseFor(errno, "/bin/sh", files::Kind::File);
  if (::pipe2(out, O_CLOEXEC) != 0) {
    ::close(in[0]);
    ::close(in[1]);
    files::raiseFor(errno, "/bin/sh", files::Kind::File);
  }
  if (::pipe2(err, O_CLOEXEC) != 0) {
    for (const int fd : {in[0], in[1], out[0], out[1]}) ::close(fd);
    files::raiseFor(errno, "/bin/sh", files::Kind::File);
  }
  pid_t pid = 0;
  try {
    pid = spawnShell(command, {in[0], out[1], err[1]});
  } catch (...) {
    for (const int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) ::close(fd);
    throw;
  }
  for (const int fd : {in[0], out[1], err[1]}) ::close(fd);
  return Variant(makeObject<ScriptExec>(pid, in[1], out[0], err[0]));
}

int32_t Sh::Popup(const Text& text, const Variant& seconds, const Variant& title, const Variant& type) {
  if (!seconds.isMissing()) seconds.toInt32();
  if (!type.isMissing()) type.toInt32();
  const Text heading = title.isMissing() ? Text(u"Windows Script Host") : title.toText();
  if (sink_->out != nullptr) *sink_->out << "[Popup] " << heading.utf8() << ": " << text.utf8() << '\n';
  return 1;
}

Variant Sh::RegRead(const Variant&) { raiseWindowsOnly(err::kActionNotSupported, u"WScript.Shell.RegRead"); }
void Sh::RegWrite(const Variant&, const Variant&, const Variant&) {
  raiseWindowsOnly(err::kActionNotSupported, u"WScript.Shell.RegWrite");
}
void Sh::RegDelete(const Variant&) { raiseWindowsOnly(err::kActionNotSupported, u"WScript.Shell.RegDelete"); }
void Sh::SendKeys(const Variant&, const Variant&) {
  raiseWindowsOnly(err::kActionNotSupported, u"WScript.Shell.SendKeys");
}
Variant Sh::AppActivate(const Variant&, const Variant&) {
  raiseWindowsOnly(err::kActionNotSupported, u"WScript.Shell.AppActivate");
}
Variant Sh::CreateShortcut(const Variant&) {
  raiseWindowsOnly(err::kActionNotSupported, u"WScript.Shell.CreateShortcut");
}
Variant Sh::LogEvent(const Variant&, const Variant&, const Variant&) {
  raiseWindowsOnly(err::kActionNotSupported, u"WScript.Shell.LogEvent");
}
Variant Sh::get_SpecialFolders(const Variant&) {
  raiseWindowsOnly(err::kActionNotSupported, u"WScript.Shell.SpecialFolders");
}

const ClassInfo* ScriptEnvironment::classInfo() const {
  static const ClassInfo info = makeEnvironmentClass();
  return &info;
}

std::vector<Variant> ScriptEnvironment::enumerate() const {
  std::vector<Variant> entries;
  for (char** e = environ; *e != nullptr; ++e) entries.emplace_back(Text::fromUtf8(*e));
  return entries;
}

Text ScriptEnvironment::get_Item(const Text& name) const {
  const auto value = variable(name.utf8());
  return value ? Text::fromUtf8(*value) : Text::empty();
}

void ScriptEnvironment::let_Item(const Text& name, const Text& value) {
  if (!process_) raiseWindowsOnly(err::kActionNotSupported, u"WScript.Shell.Environment (persistent variables)");
  const std::string n = name.utf8();
  if (n.empty() || n.find('=') != std::string::npos) raiseObjectError(err::kInvalidCall);
  if (::setenv(n.c_str(), value.utf8().c_str(), 1) != 0) raiseObjectError(err::kOutOfMemory);
}

void ScriptEnvironment::Remove(const Text& name) {
  if (!process_) raiseWindowsOnly(err::kActionNotSupported, u"WScript.Shell.Environment (persistent variables)");
  if (::unsetenv(name.utf8().c_str()) != 0) raiseObjectError(err::kInvalidCall);
}

ScriptExec::ScriptExec(pid_t pid, int in, int out, int err)
    : pid_(pid),
      stdIn_(makeObject<ScriptTextStream>(in, std::string("<standard input of the program>"),
                                          ScriptTextStream::Mode::Writing, ScriptTextStream::Format::Ascii)),
      stdOut_(makeObject<ScriptTextStream>(out, std::string("<standard output of the program>"),
                                           ScriptTextStream::Mode::Reading, ScriptTextStream::Format::Ascii)),
      stdErr_(makeObject<ScriptTextStream>(err, std::string("<standard error of the program>"),
                                           ScriptTextStream::Mode::Reading, ScriptTextStream::Format::Ascii)) {
  stdIn_->toPipe();
}

ScriptExec::~ScriptExec() {
  // Not waited for: a program still running goes on by itself, and the
  // init process collects it.
  if (!ended_) reap(false);
}

const ClassInfo* ScriptExec::classInfo() const {
  static const ClassInfo info = makeExecClass();
  return &info;
}

bool ScriptExec::reap(bool wait) {
  if (ended_) return true;
  int status = 0;
  pid_t r;
  do {
    r = ::waitpid(pid_, &status, wait ? 0 : WNOHANG);
  } while (r < 0 && errno == EINTR);
  if (r == pid_) {
    ended_ = true;
    exitCode_ = exitCodeOf(status);
  }
  return ended_;
}

int32_t ScriptExec::get_Status() { return reap(false) ? 1 : 0; }
int32_t ScriptExec::get_ExitCode() {
  reap(false);
  return exitCode_;
}

void ScriptExec::Terminate() {
  if (!reap(false)) {
    ::kill(pid_, SIGTERM);
    reap(true);
  }
}

}  // namespace zidevuv10::script
