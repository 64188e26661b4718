// run: a script through the script host, with the screen it may assume.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "command_line.h"
#include "commands.h"
#include "script_check.h"
#include "script_host.h"
#include "text/case_fold.h"
#include "zidevuv10/host.h"

namespace zidevuv10::cli {

namespace {

constexpr std::string_view kStdinName = "<stdin>";

const CommandSyntax kRun{
    "run",
    "run a script",
    "Runs a VB-style script that drives the library's classes late-bound, as a\n"
    "scripting client would. What it prints goes to standard output; an uncaught\n"
    "error or a syntax error goes to standard error with the script's name and\n"
    "line. SCRIPT is read as UTF-8. The ARGUMENTs reach the script as\n"
    "WScript.Arguments (put -- before them when one starts with -); InputBox\n"
    "reads its answers from standard input, one line each. WScript.Quit N ends\n"
    "the run with exit status N.",
    {{"SCRIPT", "the script file, or - to read the script from standard input"},
     {"ARGUMENT", "an argument for the script", true, true}},
    {{"--screen", "WIDTHxHEIGHT@TWIPS",
      "the screen in pixels and twips per pixel; also WIDTHxHEIGHT@TWIPSX,TWIPSY "
      "(default 1920x1080@15)"},
     {"--check", "",
      "run nothing: list each use of a Windows-only object or member, each ProgID "
      "nothing here creates and each unknown function, one a line (SCRIPT:LINE: ...)"}},
    "SCRIPT cannot be read, the script stopped on a runtime error (WScript.Quit N exits with N), "
    "or --check found something",
    "bad usage (an unknown option, a missing SCRIPT, a bad --screen value), or a "
    "syntax error in the script"};

// A positive decimal number up to `limit`, taking all of `text`.
bool parsePositive(std::string_view text, int32_t limit, int32_t& out) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size() && out > 0 && out <= limit;
}

// "1920x1080@15" or "1920x1080@15,12"; false when malformed, zero or when
// the size in twips would not fit.
bool parseScreen(std::string_view text, ScreenMetrics& screen) {
  const std::size_t x = text.find('x');
  const std::size_t at = text.find('@');
  if (x == std::string_view::npos || at == std::string_view::npos || at < x) return false;
  std::string_view twips = text.substr(at + 1);
  const std::size_t comma = twips.find(',');
  const std::string_view twipsY = comma == std::string_view::npos ? twips : twips.substr(comma + 1);
  if (comma != std::string_view::npos) twips = twips.substr(0, comma);
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  ScreenMetrics s;
  if (!parsePositive(text.substr(0, x), kMax, s.widthPixels) ||
      !parsePositive(text.substr(x + 1, at - x - 1), kMax, s.heightPixels) ||
      !parsePositive(twips, kMax, s.twipsPerPixelX) ||
      !parsePositive(twipsY, kMax, s.twipsPerPixelY)) {
    return false;
  }
  if (s.widthPixels > kMax / s.twipsPerPixelX || s.heightPixels > kMax / s.twipsPerPixelY) {
    return false;
  }
  screen = s;
  return true;
}

// The whole content of an open descriptor; false with errno set on failure.
bool readAll(int fd, std::string& out) {
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    out.append(chunk, static_cast<std::size_t>(n));
  }
}

std::string readScript(const std::string& name) {
  std::string source;
  if (name == "-") {
    if (!readAll(STDIN_FILENO, source)) {
      throw Failure(std::string("cannot read the script from standard input: ") +
                    std::strerror(errno));
    }
    return source;
  }
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw Failure(name + ": " + std::strerror(errno));
  const bool ok = readAll(fd, source);
  const int error = errno;
  ::close(fd);
  if (!ok) throw Failure(name + ": " + std::strerror(error));
  return source;
}

int runRun(const ParsedArgs& args) {
  ScreenMetrics screen;
  if (const auto chosen = args.options.find("--screen"); chosen != args.options.end()) {
    if (!parseScreen(chosen->second, screen)) {
      throw UsageError("run", "run: bad --screen value '" + chosen->second +
                                  "' (want WIDTHxHEIGHT@TWIPS or WIDTHxHEIGHT@TWIPSX,TWIPSY, "
                                  "positive numbers)");
    }
  }
  const std::string& scriptArg = args.operands[0];
  const std::string source = readScript(scriptArg);
  const bool fromStdin = scriptArg == "-";
  const std::string_view name = fromStdin ? kStdinName : std::string_view(scriptArg);
  if (args.has("--check")) return script::checkScript(source, name, std::cout, std::cerr);
  script::ScriptInvocation invocation;
  invocation.arguments.assign(args.operands.begin() + 1, args.operands.end());
  if (!fromStdin) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(scriptArg, ec);
    if (!ec) invocation.fullName = full.lexically_normal().string();
  }
  // Standard input holds the script itself when it came from there.
  invocation.input = fromStdin ? nullptr : &std::cin;
  // The script's classes keep Windows' rule for a bare file name (the
  // Windows directory), where a command-line user expects the current
  // folder: say once per file where it is.
  std::set<std::string> noted;
  const auto note = [&noted](std::string_view bare, std::string_view windowsPath,
                             std::string_view hostPath) {
    if (!noted.insert(text::foldCase(bare)).second) return;
    std::cerr << kToolName << ": note: \"" << bare << "\" is " << windowsPath << ", that is "
              << hostPath << "\n";
  };
  struct Noting {
    BareFileNameHandler previous;
    ~Noting() { setBareFileNameHandler(std::move(previous)); }
  } const noting{setBareFileNameHandler(note)};
  return script::runScript(source, name, screen, std::cout, std::cerr, invocation);
}

}  // namespace

std::vector<Command> runCommands() { return {{&kRun, runRun}}; }

}  // namespace zidevuv10::cli
