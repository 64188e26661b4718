// Runs one script: parses it whole, installs the host's message box and
// screen for the run, executes it, and reports an error no handler caught.
#include "script_host.h"

#include <filesystem>

#include "interpreter.h"
#include "parser.h"

namespace zidevuv10::script {

namespace {

// The library's message boxes and screen, as the host shows them, for the
// length of one run; the earlier ones come back afterwards.
class HostServicesForRun {
 public:
  HostServicesForRun(std::shared_ptr<OutputSink> sink, const ScreenMetrics& screen) {
    previousMessageBox_ = setMessageBoxHandler([sink](const Text& prompt, int32_t, const Text& title) {
      if (sink->out != nullptr) *sink->out << "[MsgBox] " << title.utf8() << ": " << prompt.utf8() << '\n';
      return int32_t{1};
    });
    previousScreen_ = setScreenProvider([screen] { return screen; });
  }
  ~HostServicesForRun() {
    setMessageBoxHandler(std::move(previousMessageBox_));
    setScreenProvider(std::move(previousScreen_));
  }
  HostServicesForRun(const HostServicesForRun&) = delete;
  HostServicesForRun& operator=(const HostServicesForRun&) = delete;

 private:
  MessageBoxHandler previousMessageBox_;
  ScreenProvider previousScreen_;
};

// This process's program file, as the kernel names it.
std::string ownProgram() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string("/proc/self/exe") : self.string();
}

}  // namespace

int runScript(std::string_view source, std::string_view scriptName, const ScreenMetrics& screen,
              std::ostream& out, std::ostream& errors, const ScriptInvocation& invocation) {
  Program program;
  try {
    program = parseScript(source);
  } catch (const SyntaxError& e) {
    errors << "Syntax error in " << scriptName << ": " << e.what() << ", line " << e.line() << '\n';
    return kSyntaxError;
  }
  auto sink = std::make_shared<OutputSink>();
  sink->out = &out;
  sink->err = &errors;
  auto run = std::make_shared<RunState>();
  // WScript.ScriptName is the file's own name, without its folder.
  run->name = std::string(scriptName.substr(scriptName.rfind('/') + 1));
  run->fullName = invocation.fullName.empty() ? std::string(scriptName) : invocation.fullName;
  for (const std::string& a : invocation.arguments) run->arguments.push_back(Text::fromUtf8(a));
  run->input = invocation.input;
  run->hostFullName = invocation.hostPath.empty() ? ownProgram() : invocation.hostPath;
  int status = kRunOk;
  {
    HostServicesForRun services(sink, screen);
    Interpreter interpreter(out, sink, run);
    try {
      interpreter.run(program);
    } catch (const ScriptFailure& f) {
      out.flush();
      errors << "Error " << f.error.number() << " in " << scriptName << ": " << f.error.description().utf8();
      if (!f.subject.empty()) errors << ": '" << Text(f.subject).utf8() << "'";
      errors << " (" << f.error.source().utf8() << "), line " << f.line << '\n';
      status = kRunFailed;
    } catch (const QuitRequest& q) {
      status = q.status;
    }
  }
  // Objects the library still holds must not print after the run.
  sink->out = nullptr;
  sink->err = nullptr;
  out.flush();
  return status;
}

}  // namespace zidevuv10::script
