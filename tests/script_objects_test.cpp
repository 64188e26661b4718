// The script host driving objects: the library's classes late-bound, with
// plain variables passed by reference; the host's window object; the
// library's message boxes; the screen a run uses; and the host services
// handed back after a run.
#include <gtest/gtest.h>

#include "support/script_run.h"
#include "support/test_files.h"
#include "zidevuv10/host.h"

namespace {

namespace zt = zidevuv10::testing;
using zt::runScriptText;
using zt::ScriptResult;

class ScriptObjects : public ::testing::Test {
 protected:
  std::string printed(std::string_view script, const zidevuv10::ScreenMetrics& screen = {}) {
    const ScriptResult r = runScriptText(script, screen);
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(r.errors, "");
    return r.out;
  }

  zt::ScopedDriveC drive_;
  zt::TempDir dir_;
  zt::ScopedCurrentFolder here_{dir_.path()};
};

TEST_F(ScriptObjects, MembersWriteBackIntoPlainVariablesOnly) {
  // The addressed class's Value let takes its text by reference and drops
  // NUL characters from it; a parenthesised or computed value is a copy.
  EXPECT_EQ(printed("Set o = CreateObject(\"VEZEzoro10.clsOrviInifINIFilesObjB\")\n"
                    "o.Path = \".\\byref.ini\"\no.Section = \"s\"\no.Key = \"k\"\n"
                    "v = \"a\" & vbNullChar & \"b\"\nw = v\n"
                    "o.Value = (w)\nPrint Len(w)\n"
                    "o.Value = v\nPrint Len(v), v, o.Value\n"),
            "3\n2 ab ab\n");
  // Arrays and counts filled by a member reach the script's variables,
  // declared or not.
  EXPECT_EQ(printed("Set o = CreateObject(\"VEZEzoro10.clsOrviInifINIFilesObjB\")\n"
                    "o.Path = \".\\byref.ini\"\no.Section = \"s\"\n"
                    "o.Key = \"one\"\no.Value = \"1\"\no.Key = \"two\"\no.Value = \"2\"\n"
                    "Dim keys() As String\n"
                    "o.EnumerateCurrentSection keys, count\n"
                    "Print count, TypeName(count), keys(1), keys(2)\n"
                    "Call o.EnumerateAllSections(keys, n)\nPrint n, keys(1)\n"),
            "3 Long k one\n1 s\n");
  EXPECT_EQ(zt::readFile(dir_.file("byref.ini")), "[s]\nk=ab\none=1\ntwo=2\n");
}

TEST_F(ScriptObjects, TypedVariablesKeepTheirTypeAfterAWriteBack) {
  EXPECT_EQ(printed("Dim n As Integer\nSet o = CreateObject(\"VEZEzoro10.clsOrviInifINIFilesObjB\")\n"
                    "o.Path = \".\\typed.ini\"\no.Section = \"s\"\no.Key = \"k\"\no.Value = \"v\"\n"
                    "Dim keys() As String\no.EnumerateCurrentSection keys, n\nPrint n, TypeName(n)\n"),
            "1 Integer\n");
}

TEST_F(ScriptObjects, SetTakesAnObjectAMemberReturns) {
  EXPECT_EQ(printed("Set lib = CreateObject(\"VEZEzoro10.clsOrviVEZEzoro10A\")\n"
                    "f = \".\\c.ini\"\ns = \"x\"\nk = \"a\"\nv = \"1\"\n"
                    "r = lib.WritePrivateProfileStringAddKeyInif(f, s, k, v)\n"
                    "Set c = lib.GetPrivateProfileStringSectionsInif(f)\n"
                    "Print TypeName(c), c.Count, c.Item(1)\n"
                    "Set lib.BuddyObjectGlobal = c\nPrint lib.BuddyObjectGlobal Is c\n"
                    "Set lib.BuddyObjectGlobal = Nothing\n"),
            "Collection 1 x\nTrue\n");
}

TEST_F(ScriptObjects, WindowObjectReportsMovesAndStateChanges) {
  EXPECT_EQ(printed("Set w = CreateObject(\"scripthost.window\")\n"
                    "Print w.Left, w.Top, w.Width, w.Height, w.WindowState, w.FailMove, TypeName(w)\n"
                    "w.Left = 10.5\nw.Width = 2000\nPrint w.Left, w.Width\n"
                    "w.Move 1, 2.5, 3.5, 4\nPrint w.Top, w.Height\n"
                    "w.WindowState = 2\nw.FailMove = True\n"
                    "On Error Resume Next\nw.Move 5, 6, 7, 8\n"
                    "Print Err.Number, Err.Description, Err.Source, w.Left\n"),
            "1000 1000 6000 4000 0 False Window\n10.5 2000\n"
            "[Window] Move 1 2 4 4\n2.5 4\n[Window] WindowState 2\n"
            "384 A form can't be moved or sized while minimized or maximized ScriptHost 1\n");
}

TEST_F(ScriptObjects, LoadFormPositionFitsTheWindowIntoTheRunsScreen) {
  const std::string script =
      "Set o = CreateObject(\"VEZEzoro10.clsOrviInifINIFilesObjB\")\n"
      "o.Path = \".\\place.ini\"\no.Section = \"Form\"\n"
      "o.Key = \"Left\"\no.Value = \"0\"\no.Key = \"Top\"\no.Value = \"0\"\n"
      "o.Key = \"Width\"\no.Value = \"99999\"\no.Key = \"Height\"\no.Value = \"5000\"\n"
      "Set w = CreateObject(\"ScriptHost.Window\")\no.LoadFormPosition w\n";
  // 800 x 600 pixels at 12 twips: a 4-pixel margin of 48 twips on each side.
  zidevuv10::ScreenMetrics small;
  small.widthPixels = 800;
  small.heightPixels = 600;
  small.twipsPerPixelX = 12;
  small.twipsPerPixelY = 12;
  EXPECT_EQ(printed(script, small), "[Window] Move 48 48 9504 5000\n");
  EXPECT_EQ(printed(script), "[Window] Move 60 60 28680 5000\n");
}

TEST_F(ScriptObjects, WScriptArgumentsEchoQuitAndTheMessageBoxes) {
  const ScriptResult r = runScriptText(
      "WScript.Echo WScript.ScriptName, WScript.ScriptFullName, WScript.Arguments.Count, WScript.Arguments(1)\n"
      "Set args = WScript.Arguments\nFor Each a In args: s = s & \"<\" & a & \">\": Next\n"
      "WScript.Echo s, args(0), args.Item(2), args.Length, Null, Empty, 1.5\n"
      "WScript.Sleep 1\n"
      "Print MsgBox(\"Saved\", vbInformation, \"Setup\"), MsgBox(\"Plain\") = vbOK\n"
      "name = InputBox(\"Name?\", \"Setup\", \"guest\")\nPrint \"[\" & name & \"]\"\n"
      "name = InputBox(\"Again?\", \"Setup\", \"guest\")\nPrint \"[\" & name & \"]\"\n"
      "name = InputBox(\"More?\")\nPrint \"[\" & name & \"]\"\n"
      "On Error Resume Next\nx = WScript.Arguments(3)\nPrint Err.Number\nOn Error GoTo 0\n"
      "Sub Leave()\n  WScript.Quit 4\nEnd Sub\n"
      "On Error Resume Next\nLeave\nPrint \"not reached\"\n",
      {"one", "two words", "\xC3\xA9"}, "Ann\r\n\n");
  EXPECT_EQ(r.status, 4) << r.errors;
  EXPECT_EQ(r.errors, "");
  EXPECT_EQ(r.out,
            "test.vbs test.vbs 3 two words\n"
            "<one><two words><\xC3\xA9> one \xC3\xA9 3 Null  1.5\n"
            "[MsgBox] Setup: Saved\n[MsgBox] ScriptHost: Plain\n1 True\n"
            "[InputBox] Setup: Name?\n[Ann]\n[InputBox] Setup: Again?\n[guest]\n"
            "[InputBox] ScriptHost: More?\n[]\n9\n");
  // Quit without a status ends the run as a success.
  EXPECT_EQ(runScriptText("Print 1\nWScript.Quit\nPrint 2\n").out, "1\n");
  EXPECT_EQ(runScriptText("WScript.Quit\n").status, 0);
}

TEST_F(ScriptObjects, ForEachVisitsALibraryCollection) {
  zt::writeFile(dir_.file("each.ini"), "[One]\na=1\n[Two]\nb=2\n");
  EXPECT_EQ(printed("Set lib = CreateObject(\"VEZEzoro10.clsOrviVEZEzoro10A\")\nfile = \".\\each.ini\"\n"
                    "For Each name In lib.GetPrivateProfileStringSectionsInif(file)\n  Print name\nNext\n"
                    "Set names = lib.GetPrivateProfileStringSectionsInif(file)\nPrint names(2)\n"),
            "One\nTwo\nTwo\n");
}

TEST_F(ScriptObjects, MessageBoxesArePrintedAndHostServicesComeBackAfterTheRun) {
  int shown = 0;
  auto previous = zidevuv10::setMessageBoxHandler([&](const zidevuv10::Text&, int32_t, const zidevuv10::Text&) {
    ++shown;
    return int32_t{1};
  });
  EXPECT_EQ(printed("Set s = CreateObject(\"VEZEzoro10.clsOrviInifINIFilesObjC\")\n"
                    "s.SectionName = \"\"\nPrint \"[\" & s.GetString(\"k\", \"d\") & \"]\"\n"),
            "[MsgBox] IniFile Logic Error: [Section] and FileName Not Registered in Private.Ini!\n[]\n");
  EXPECT_EQ(shown, 0);
  zidevuv10::showMessageBox(zidevuv10::Text(u"p"), 0, zidevuv10::Text(u"t"));
  EXPECT_EQ(shown, 1);
  zidevuv10::setMessageBoxHandler(std::move(previous));
  EXPECT_EQ(zidevuv10::screenMetrics().widthPixels, 1920);
}

TEST_F(ScriptObjects, AWindowKeptByTheLibraryPrintsNothingAfterItsRun) {
  EXPECT_EQ(printed("Set lib = CreateObject(\"VEZEzoro10.clsOrviVEZEzoro10A\")\n"
                    "Set lib.BuddyObjectGlobal = CreateObject(\"ScriptHost.Window\")\n"),
            "");
  // The next run finds the window from the earlier run; it still answers,
  // and reports into this run's output no more.
  EXPECT_EQ(printed("Set lib = CreateObject(\"VEZEzoro10.clsOrviVEZEzoro10A\")\n"
                    "Set w = lib.BuddyObjectGlobal\nw.Move 1, 2, 3, 4\nPrint w.Left\n"
                    "Set lib.BuddyObjectGlobal = Nothing\n"),
            "1\n");
}

TEST_F(ScriptObjects, AScriptObjectKeptByTheLibraryRunsNothingAfterItsRun) {
  EXPECT_EQ(printed("Class Keeper\nSub Hello\nPrint \"hello\"\nEnd Sub\n"
                    "Sub Class_Terminate\nPrint \"bye\"\nEnd Sub\nEnd Class\n"
                    "Set lib = CreateObject(\"VEZEzoro10.clsOrviVEZEzoro10A\")\n"
                    "Set lib.BuddyObjectGlobal = New Keeper\nlib.BuddyObjectGlobal.Hello\n"),
            "hello\n");
  // Its class's procedures went with the run that parsed them: it keeps its
  // name, refuses calls, and goes without running Class_Terminate.
  const ScriptResult r = runScriptText("Set lib = CreateObject(\"VEZEzoro10.clsOrviVEZEzoro10A\")\n"
                                       "Print TypeName(lib.BuddyObjectGlobal)\n"
                                       "Set lib.BuddyObjectGlobal = Nothing\nPrint \"released\"\n"
                                       "Set o = New Keeper\n");
  EXPECT_EQ(r.out, "Keeper\nreleased\n");
  EXPECT_EQ(r.errors, "Error 506 in test.vbs: Class not defined: 'Keeper' (ScriptHost), line 5\n");
}

}  // namespace
