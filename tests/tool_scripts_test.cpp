// The tool running scripts as a process: every shipped example script
// against the transcript kept beside it, and the exit statuses and reports
// of a script that fails, one that quits and one that does not parse.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/run_process.h"
#include "support/test_files.h"
#include "zidevuv10/paths.h"

namespace {

namespace zt = zidevuv10::testing;

class ToolScripts : public ::testing::Test {
 protected:
  zt::ProcessResult run(const std::vector<std::string>& args, std::string_view input = {}) {
    std::vector<std::string> argv{ZIDEVUV10_TOOL, "run"};
    argv.insert(argv.end(), args.begin(), args.end());
    return zt::runProcess(argv, input);
  }

  zt::ScopedDriveC drive_;
  zt::TempDir dir_;
  zt::ScopedEnv registry_{"ZIDEVUV10_REGISTRY", dir_.file("registry.ini")};
};

// Beside an example NAME.vbs: NAME.args holds its arguments, one a line;
// NAME.in its standard input; NAME.ini a settings file it starts with.
std::filesystem::path beside(const std::filesystem::path& script, const char* extension) {
  auto path = script;
  path.replace_extension(extension);
  return path;
}

TEST_F(ToolScripts, EveryExampleScriptPrintsItsTranscript) {
  std::vector<std::filesystem::path> scripts;
  for (const auto& e : std::filesystem::directory_iterator(ZIDEVUV10_EXAMPLE_SCRIPTS)) {
    if (e.path().extension() == ".vbs") scripts.push_back(e.path());
  }
  ASSERT_GE(scripts.size(), 16u);
  for (const auto& script : scripts) {
    SCOPED_TRACE(script.filename().string());
    // Each in a folder of its own, where its settings files land.
    zt::TempDir work;
    zt::ScopedCurrentFolder here(work.path());
    std::vector<std::string> args{script.string()};
    if (std::ifstream list(beside(script, ".args")); list) {
      for (std::string line; std::getline(list, line);) args.push_back(line);
    }
    if (const auto ini = beside(script, ".ini"); std::filesystem::exists(ini)) {
      std::filesystem::copy_file(ini, std::filesystem::path(work.path()) / ini.filename());
    }
    const auto in = beside(script, ".in");
    const zt::ProcessResult r = run(args, std::filesystem::exists(in) ? zt::readFile(in.string()) : "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    auto expected = script;
    expected.replace_extension(".out");
    EXPECT_EQ(r.out, zt::readFile(expected.string()));
  }
}

TEST_F(ToolScripts, AnUncaughtErrorStopsTheScriptWithStatusOne) {
  const std::string script = dir_.file("fails.vbs");
  zt::writeFile(script,
                "Set o = CreateObject(\"VEZEzoro10.clsOrviInifKeyA\")\n"
                "Print \"before\"\n"
                "o.Colour = \"red\"\n"
                "Print \"after\"\n");
  const zt::ProcessResult r = run({script});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "before\n");
  EXPECT_EQ(r.err,
            "Error 438 in " + script + ": Object doesn't support this property or method: 'Colour' "
            "(VEZEzoro10.clsOrviInifKeyA), line 3\n");
}

TEST_F(ToolScripts, ArgumentsReachTheScriptAndQuitSetsTheStatus) {
  const std::string script = dir_.file("quit.vbs");
  zt::writeFile(script,
                "WScript.Echo WScript.ScriptName, WScript.Arguments.Count, WScript.Arguments(1), "
                "WScript.ScriptFullName = \"" + zidevuv10::windowsFormOf(script) + "\"\n"
                "WScript.Echo InputBox(\"Name?\")\nWScript.Quit WScript.Arguments(0)\nWScript.Echo \"not here\"\n");
  const zt::ProcessResult r = run({script, "--", "7", "-x"}, "Ann\n");
  EXPECT_EQ(r.status, 7) << r.err;
  EXPECT_EQ(r.out, "quit.vbs 2 -x True\n[InputBox] ScriptHost: Name?\nAnn\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(ToolScripts, CheckListsWindowsOnlyUsesAndRunsNothing) {
  const std::string script = dir_.file("admin.vbs");
  zt::writeFile(script, "Print \"ran\"\nSet s = CreateObject(\"WScript.Shell\")\nv = s.RegRead(\"HKLM\\x\")\n");
  const zt::ProcessResult r = run({"--check", script});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out, script + ":3: Windows-only, not available on Linux: WScript.Shell.RegRead\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(ToolScripts, ASyntaxErrorRunsNothingAndExitsWithTwo) {
  const zt::ProcessResult r = run({"-"}, "Print \"first\"\nIf 1 Then\nPrint 2\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Syntax error in <stdin>: expected 'End If', found end of script, line 4\n");
}

TEST_F(ToolScripts, TheScreenOptionReachesWindowPlacement) {
  const std::string script = dir_.file("place.vbs");
  zt::writeFile(script,
                "Set o = CreateObject(\"VEZEzoro10.clsOrviInifINIFilesObjB\")\n"
                "o.Path = \"" + dir_.path() + "/place.ini\"\no.Section = \"F\"\n"
                "o.Key = \"Width\"\no.Value = \"99999\"\n"
                "Set w = CreateObject(\"ScriptHost.Window\")\no.LoadFormPosition w\n");
  EXPECT_EQ(run({script, "--screen", "800x600@12"}).out, "[Window] Move 48 1000 9504 4000\n");
  EXPECT_EQ(run({"--screen=1024x768@15,10", script}).out, "[Window] Move 60 1000 15240 4000\n");
}

}  // namespace
