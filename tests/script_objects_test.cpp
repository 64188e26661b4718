// The script host driving objects: the library's classes late-bound, with
// plain variables passed by reference; the host's window object; the
// library's message boxes; the screen a run uses; and the host services
// handed back after a run.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <sstream>

#include "script_check.h"
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

// The runtime's objects. Each error a script handles prints as
// "Err.Number" so a wrong number or a missing error shows at once.

TEST_F(ScriptObjects, DictionaryKeysItemsAndItsErrors) {
  EXPECT_EQ(printed("Set d = CreateObject(\"Scripting.Dictionary\")\n"
                    "Print d.Count, UBound(d.Keys), UBound(d.Items), TypeName(d)\n"
                    "For Each k In d: Print \"never\": Next\n"
                    "d.Add \"b\", 1: d.Add 1, \"one\": d(\"a\") = 3\n"
                    "Print d.Item(1.0), d.Exists(\"1\"), d.Exists(\"B\"), d.Count\n"
                    "x = d(\"missing\")\nPrint d.Count, IsEmpty(d(\"missing\"))\n"
                    "d.Key(\"b\") = \"bee\"\nd(\"a\") = d(\"a\") + 1\n"
                    "For Each k In d: s = s & k & \"=\" & d(k) & \";\": Next\nPrint s\n"
                    "Set d(\"obj\") = CreateObject(\"Scripting.Dictionary\")\nPrint TypeName(d(\"obj\"))\n"
                    "On Error Resume Next\n"
                    "d.Add \"a\", 9: Print Err.Number, d(\"a\"): Err.Clear\n"
                    "d.Key(\"bee\") = \"a\": Print Err.Number: Err.Clear\n"
                    "d.Key(\"zz\") = \"y\": Print Err.Number: Err.Clear\n"
                    "d.Remove \"zz\": Print Err.Number: Err.Clear\n"
                    "d.CompareMode = 1: Print Err.Number: Err.Clear\n"
                    "On Error GoTo 0\n"
                    "d.Remove \"obj\": d.Remove 1\nPrint Join(d.Keys, \",\"), Join(d.Items, \",\")\n"
                    "d.RemoveAll\nd.CompareMode = vbTextCompare\nd.Add \"Key\", 1\n"
                    "Print d.Exists(\"KEY\"), d.CompareMode\n"),
            "0 -1 -1 Dictionary\n"
            "one False False 3\n"
            "4 True\n"
            "bee=1;1=one;a=4;missing=;\n"
            "Dictionary\n"
            "457 4\n457\n32811\n32811\n5\n"
            "bee,a,missing 1,4,\n"
            "True 1\n");
}

TEST_F(ScriptObjects, TextStreamsReadWriteAndAppendInEachFormat) {
  zt::writeFile(dir_.file("mixed.txt"), "one\r\ntwo\rthree\nfour");
  zt::writeFile(dir_.file("ansi.txt"), "caf\xE9 \xC3\xA9t\xC3\xA9\n");
  zt::writeFile(dir_.file("empty.txt"), "");
  EXPECT_EQ(printed("Set fso = CreateObject(\"Scripting.FileSystemObject\")\n"
                    "Set t = fso.OpenTextFile(\"mixed.txt\")\n"
                    "Do Until t.AtEndOfStream\n  n = t.Line: s = s & n & \":\" & t.ReadLine & \" \"\nLoop\nPrint s\n"
                    "t.Close\nSet t = fso.OpenTextFile(\"mixed.txt\", 1)\n"
                    "Print t.Read(2), t.Column, t.AtEndOfLine\nt.Skip 1\nPrint t.AtEndOfLine\nt.SkipLine\n"
                    "Print t.Line, \"[\" & t.ReadAll & \"]\"\n"
                    "Print \"[\" & fso.OpenTextFile(\"ansi.txt\").ReadLine & \"]\"\n"
                    "Set w = fso.CreateTextFile(\"new.txt\")\nw.Write \"a\"\nw.WriteLine\nw.WriteLine \"b\"\n"
                    "w.WriteBlankLines 2\nPrint w.Line, w.Column\nw.Close\n"
                    "Set w = fso.OpenTextFile(\"new.txt\", 8)\nw.Write \"\xC3\xA9\"\nw.Close\n"
                    "Set u = fso.CreateTextFile(\"wide.txt\", True, True)\nu.WriteLine \"h\xC3\xA9\"\nu.Close\n"
                    "Set u = fso.OpenTextFile(\"wide.txt\", 8, False, -1)\nu.Write \"!\"\nu.Close\n"
                    "Print Replace(fso.OpenTextFile(\"wide.txt\", 1, False, -1).ReadAll, vbCrLf, \"|\")\n"
                    "On Error Resume Next\n"
                    "x = fso.OpenTextFile(\"empty.txt\").ReadAll: Print Err.Number: Err.Clear\n"
                    "x = fso.OpenTextFile(\"gone.txt\"): Print Err.Number: Err.Clear\n"
                    "x = fso.OpenTextFile(\"nodir\\gone.txt\", 2, True): Print Err.Number: Err.Clear\n"
                    "x = fso.OpenTextFile(\"gone.txt\", 8): Print Err.Number, fso.FileExists(\"gone.txt\"): Err.Clear\n"
                    "x = fso.CreateTextFile(\"new.txt\", False): Print Err.Number: Err.Clear\n"
                    "x = fso.OpenTextFile(\"new.txt\", 3): Print Err.Number: Err.Clear\n"
                    "fso.OpenTextFile(\"new.txt\").Write \"x\": Print Err.Number: Err.Clear\n"
                    "x = fso.OpenTextFile(\"made.txt\", 2, True).ReadLine: Print Err.Number: Err.Clear\n"
                    "Set r = fso.OpenTextFile(\"mixed.txt\")\nr.Close\nx = r.ReadLine: Print Err.Number: Err.Clear\n"),
            "1:one 2:two 3:three 4:four \n"
            "on 3 False\nTrue\n2 [two\rthree\nfour]\n"
            "[caf\xC3\xA9 \xC3\xA9t\xC3\xA9]\n"
            "5 1\n"
            "h\xC3\xA9|!\n"
            "62\n53\n76\n53 False\n58\n5\n54\n54\n52\n");
  EXPECT_EQ(zt::readFile(dir_.file("new.txt")), "a\r\nb\r\n\r\n\r\n\xC3\xA9");
  EXPECT_EQ(zt::readFile(dir_.file("wide.txt")), std::string("\xFF\xFEh\0\xE9\0\r\0\n\0!\0", 12));
  // Create made the file for writing, though nothing was written.
  EXPECT_EQ(zt::readFile(dir_.file("made.txt")), "");
}

TEST_F(ScriptObjects, CopyMoveAndDeleteKeepTheirOverwriteRules) {
  zt::writeFile(dir_.file("a.log"), "A");
  zt::writeFile(dir_.file("B.LOG"), "B");
  zt::writeFile(dir_.file("keep.txt"), "K");
  EXPECT_EQ(printed("Set fso = CreateObject(\"Scripting.FileSystemObject\")\n"
                    "Set f = fso.CreateFolder(\"out\")\nPrint f.Files.Count, f.SubFolders.Count, TypeName(f.Files)\n"
                    "For Each x In f.Files: Print \"never\": Next\n"
                    "fso.CopyFile \"*.log\", \"out\\\"\n"
                    "For Each x In f.Files: s = s & x.Name & \" \": Next\nPrint s, f.Files(\"b.log\").Size\n"
                    "fso.CopyFile \"keep.txt\", \"out\\a.log\"\n"
                    "Print fso.OpenTextFile(\"out\\a.log\").ReadAll\n"
                    "On Error Resume Next\n"
                    "fso.CopyFile \"a.log\", \"out\\a.log\", False: Print Err.Number: Err.Clear\n"
                    "fso.CopyFile \"a.log\", \"out\": Print Err.Number: Err.Clear\n"
                    "fso.CopyFile \"*.none\", \"out\\\": Print Err.Number: Err.Clear\n"
                    "fso.CopyFile \"a.log\", \"nowhere\\\": Print Err.Number: Err.Clear\n"
                    "fso.MoveFile \"keep.txt\", \"out\\a.log\": Print Err.Number: Err.Clear\n"
                    "fso.CreateFolder \"out\": Print Err.Number: Err.Clear\n"
                    "fso.CreateFolder \"no\\such\": Print Err.Number: Err.Clear\n"
                    "x = fso.GetFolder(\"gone\"): Print Err.Number: Err.Clear\n"
                    "x = fso.GetFile(\"gone.txt\"): Print Err.Number: Err.Clear\n"
                    "fso.DeleteFile \"gone*.txt\": Print Err.Number: Err.Clear\n"
                    "fso.DeleteFolder \"gone\": Print Err.Number: Err.Clear\n"
                    "fso.CopyFolder \"out\", \"out\\inner\": Print Err.Number: Err.Clear\n"
                    "fso.GetFile(\"out\\B.LOG\").Attributes = 1\n"
                    "fso.DeleteFile \"out\\*.log\": Print Err.Number, fso.FileExists(\"out\\a.log\"): Err.Clear\n"
                    "On Error GoTo 0\n"
                    "fso.CopyFolder \"out\", \"copy\"\nfso.MoveFile \"keep.txt\", \"copy\\\"\n"
                    "Set c = fso.GetFolder(\"copy\")\nPrint c.Files.Count, c.Files(\"b.log\").Attributes And 1\n"
                    "fso.MoveFolder \"copy\", \"moved\"\nPrint fso.FolderExists(\"copy\"), fso.GetFolder(\"moved\").Size\n"
                    "fso.DeleteFolder \"moved\", True\nfso.DeleteFile \"out\\*.log\", True\n"
                    "Print fso.FolderExists(\"moved\"), f.Files.Count\n"),
            "0 0 Files\n"
            "a.log B.LOG  1\n"
            "K\n"
            "58\n70\n53\n76\n58\n58\n76\n76\n53\n53\n76\n70\n70 True\n"
            "3 1\n"
            "False 3\n"
            "False 0\n");
  EXPECT_EQ(zt::listFolder(dir_.path()), "B.LOG a.log out");
}

TEST_F(ScriptObjects, PathsSplitAsWindowsSplitsThemAndNameTheMappedDrives) {
  zt::writeFile(dir_.file("Data.Final.TXT"), "12345");
  EXPECT_EQ(printed("Set fso = CreateObject(\"Scripting.FileSystemObject\")\n"
                    "For Each p In Array(\"C:\\dir\\a.tar.gz\", \"C:\\dir\\\", \"C:\\\", \"\\\\srv\\share\\x.ini\", "
                    "\"rel/.profile\", \"noext\", \"C:\")\n"
                    "  Print \"[\" & fso.GetDriveName(p) & \"|\" & fso.GetParentFolderName(p) & \"|\" & "
                    "fso.GetFileName(p) & \"|\" & fso.GetBaseName(p) & \"|\" & fso.GetExtensionName(p) & \"]\"\n"
                    "Next\n"
                    "Print fso.BuildPath(\"C:\\a\", \"b\"), fso.BuildPath(\"C:\\a\\\", \"b\"), fso.BuildPath(\"C:\", \"b\")\n"
                    "Set f = fso.GetFile(\"data.final.txt\")\n"
                    "Print f.Name, f.Size, f.Type, f.Attributes, f.ParentFolder.Path = fso.GetAbsolutePathName(\".\")\n"
                    "Print f.Path = fso.GetAbsolutePathName(\"DATA.final.txt\"), f.Drive.DriveLetter\n"
                    "f.Name = \"renamed.txt\"\nPrint fso.FileExists(\"Renamed.TXT\"), f.Path = fso.BuildPath(f.ParentFolder.Path, \"renamed.txt\")\n"
                    "Print fso.DriveExists(\"z:\"), fso.DriveExists(\"Q\"), fso.GetDrive(\"Z\").RootFolder.IsRootFolder\n"
                    "t = fso.GetTempName()\nPrint Left(t, 3), Right(t, 4), Len(t)\n"),
            "[C:|C:\\dir|a.tar.gz|a.tar|gz]\n"
            "[C:|C:\\|dir|dir|]\n"
            "[C:||||]\n"
            "[\\\\srv\\share|\\\\srv\\share\\|x.ini|x|ini]\n"
            "[|rel|.profile||profile]\n"
            "[||noext|noext|]\n"
            "[C:||||]\n"
            "C:\\a\\b C:\\a\\b C:b\n"
            "Data.Final.TXT 5 TXT File 32 True\n"
            "True Z\n"
            "True True\n"
            "True False True\n"
            "rad .tmp 12\n");
}

TEST_F(ScriptObjects, RegularExpressionsMatchReplaceAndReportSubMatches) {
  EXPECT_EQ(printed("Set re = New_RegExp()\n"
                    "Function New_RegExp()\n  Set New_RegExp = CreateObject(\"VBScript.RegExp\")\nEnd Function\n"
                    "re.Pattern = \"(\\w+)=(\\d+)?\"\n"
                    "Print re.Test(\"x\"), re.Test(\"a=\"), re.Global, re.IgnoreCase, re.MultiLine\n"
                    "Set ms = re.Execute(\"\xF0\x9F\x98\x80 a=1 b= c=33\")\nPrint ms.Count, ms(0).Value\n"
                    "re.Global = True\n"
                    "For Each m In re.Execute(\"\xF0\x9F\x98\x80 a=1 b= c=33\")\n"
                    "  Print m.FirstIndex, m.Length, m.SubMatches.Count, m.SubMatches(0), IsEmpty(m.SubMatches(1))\n"
                    "Next\n"
                    "Print re.Replace(\"a=1 b=2\", \"$2:$1 [$&] $$ $3\"), re.Replace(\"a=1;\", \"<$`|$'>\")\n"
                    "re.Pattern = \"^line.$\"\nre.MultiLine = True\nre.IgnoreCase = True\n"
                    "Print re.Execute(\"LINE1\" & vbLf & \"line2\" & vbLf & \"nope\").Count, re.Test(\"line\" & vbLf)\n"
                    "re.Pattern = \"a.b\"\nPrint re.Test(\"a\" & vbCr & \"b\"), re.Test(\"a\" & vbLf & \"b\")\n"
                    "re.Pattern = \"(a|b)*c\"\nPrint re.Test(String(100000, \"a\") & \"c\")\n"
                    "re.Pattern = \"zzz\"\nSet none = re.Execute(\"abc\")\nPrint none.Count\n"
                    "For Each m In none: Print \"never\": Next\n"
                    "On Error Resume Next\nre.Pattern = \"(unclosed\"\nx = re.Test(\"a\"): Print Err.Number\n"),
            "False True False False False\n"
            "1 a=1\n"
            "3 3 2 a False\n7 2 2 b True\n10 4 2 c False\n"
            "1:a [a=1] $ $3 2:b [b=2] $ $3 <|;>;\n"
            "2 False\n"
            "True False\n"
            "True\n"
            "0\n"
            "5017\n");
}

TEST_F(ScriptObjects, WScriptNamesTheHostAndReadsAndWritesTheStandardStreams) {
  const ScriptResult r = runScriptText(
      "Set named = WScript.Arguments.Named\nSet plain = WScript.Arguments.Unnamed\n"
      "Print WScript.Arguments.Count, named.Count, plain.Count, plain(0), plain.Item(1)\n"
      "Print named(\"LOG\"), \"[\" & named(\"quiet\") & \"]\", named.Exists(\"Quiet\"), IsEmpty(named(\"none\"))\n"
      "For Each n In named: s = s & n & \";\": Next\nPrint s\n"
      "Print WScript.Name, WScript.Version, Right(WScript.FullName, 1) <> \"\\\", "
      "InStr(WScript.FullName, WScript.Path & \"\\\") = 1\n"
      "Set o = WScript.StdOut\no.Write \"a\"\no.WriteLine \"b\"\no.WriteBlankLines 1\n"
      "WScript.StdErr.WriteLine \"to errors\"\n"
      "Set i = WScript.StdIn\nPrint i.ReadLine, WScript.StdIn.Read(2), i.AtEndOfLine\ni.SkipLine\n"
      "Print \"[\" & i.ReadAll & \"]\", i.AtEndOfStream\n"
      "Set d = WScript.CreateObject(\"Scripting.Dictionary\")\nPrint TypeName(d)\n"
      "On Error Resume Next\nx = i.ReadLine: Print Err.Number: Err.Clear\n"
      "o.ReadLine: Print Err.Number: Err.Clear\n"
      "Set x = GetObject(\"C:\\data\\book.xls\"): Print Err.Number: Err.Clear\n"
      "Set x = CreateObject(\"Shell.Application\"): Print Err.Number, Err.Description: Err.Clear\n",
      {"/log:C:\\x.log", "first", "/quiet", "second", "/LOG:last"}, "line one\nxyz\nrest\nend");
  EXPECT_EQ(r.status, 0) << r.errors;
  EXPECT_EQ(r.errors, "to errors\n");
  EXPECT_EQ(r.out,
            "5 2 2 first second\n"
            "last [] True True\n"
            "log;quiet;\n"
            "Windows Script Host 5.8 True True\n"
            "ab\n\n"
            "line one xy False\n"
            "[rest\nend] True\n"
            "Dictionary\n"
            "62\n54\n429\n"
            "429 ActiveX component can't create object: 'Shell.Application' is Windows-only, not available on Linux\n");
}

TEST_F(ScriptObjects, ShellEnvironmentFolderAndPrograms) {
  zt::ScopedEnv var("ZDV_SCRIPT_TEST", "v1");
  ASSERT_EQ(::mkdir(dir_.file("sub").c_str(), 0755), 0);
  zt::writeFile(dir_.file("sub/keep.txt"), "");
  EXPECT_EQ(printed("Set sh = CreateObject(\"WScript.Shell\")\nSet env = sh.Environment(\"Process\")\n"
                    "Print env(\"ZDV_SCRIPT_TEST\"), \"[\" & env(\"ZDV_NOT_SET\") & \"]\", sh.Environment()(\"zdv_script_test\")\n"
                    "env(\"ZDV_SCRIPT_TEST\") = \"v2\"\n"
                    "Print sh.ExpandEnvironmentStrings(\"%ZDV_SCRIPT_TEST%|%ZDV_NOT_SET%|100%|%\")\n"
                    "Print sh.Run(\"exit 7\", 0, True), sh.Run(\"test \"\"$ZDV_SCRIPT_TEST\"\" = v2\", 1, True)\n"
                    "Set ex = sh.Exec(\"read a; echo got $a; echo oops >&2; exit 3\")\n"
                    "ex.StdIn.WriteLine \"input\"\nex.StdIn.Close\n"
                    "Print ex.StdOut.ReadAll = \"got input\" & vbLf, ex.StdErr.ReadLine\n"
                    "Do While ex.Status = 0: WScript.Sleep 5: Loop\nPrint ex.ExitCode\n"
                    "here = sh.CurrentDirectory\nsh.CurrentDirectory = \"sub\"\n"
                    "Print CreateObject(\"Scripting.FileSystemObject\").FileExists(\"keep.txt\"), "
                    "sh.CurrentDirectory = here & \"\\sub\"\n"
                    "On Error Resume Next\n"
                    "sh.CurrentDirectory = \"nowhere\": Print Err.Number: Err.Clear\n"
                    "Set sys = sh.Environment(\"SYSTEM\")\nsys(\"X\") = \"1\": Print Err.Number: Err.Clear\n"
                    "x = sh.RegRead(\"HKCU\\Software\\x\"): Print Err.Number, Err.Description: Err.Clear\n"),
            "v1 [] v1\n"
            "v2|%ZDV_NOT_SET%|100%|%\n"
            "7 0\n"
            "True oops\n"
            "3\n"
            "True True\n"
            "76\n445\n"
            "445 Object doesn't support this action: 'WScript.Shell.RegRead' is Windows-only, not available on Linux\n");
}

TEST_F(ScriptObjects, CheckListsWhatWillNotRunWithoutRunningIt) {
  std::ostringstream out, errors;
  const int status = zidevuv10::script::checkScript(
      "Option Explicit\nDim sh, x, list(2)\nSet sh = CreateObject(\"WScript.Shell\")\n"
      "sh.RegWrite \"HKLM\\x\", 1\nSet x = GetObject(\"winmgmts:\\\\.\\root\\cimv2\")\n"
      "Set x = WScript.CreateObject(\"Acme.Widget\")\nlist(0) = Frobnicate(Len(\"a\"))\n"
      "Cleanup list(0)\nSub Cleanup(v)\n  v = Trim(v)\nEnd Sub\n"
      "Set x = CreateObject(\"Scripting.FileSystemObject\")\nx.DeleteFile \"never.txt\"\n",
      "c.vbs", out, errors);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(errors.str(), "");
  EXPECT_EQ(out.str(),
            "c.vbs:4: Windows-only, not available on Linux: WScript.Shell.RegWrite\n"
            "c.vbs:5: Windows-only, not available on Linux: GetObject(\"winmgmts:\\\\.\\root\\cimv2\")\n"
            "c.vbs:6: unknown object (CreateObject fails unless a registered library has it): "
            "WScript.CreateObject(\"Acme.Widget\")\n"
            "c.vbs:7: unknown function or sub: Frobnicate\n");
  std::ostringstream clean;
  EXPECT_EQ(zidevuv10::script::checkScript("Print Len(\"x\")\n", "ok.vbs", clean, errors), 0);
  EXPECT_EQ(clean.str(), "");
}

TEST_F(ScriptObjects, TextFilesFollowNoStrangersLinkInASharedFolder) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a link to another user needs root";
  // A sticky folder anyone may write, as /tmp is; the link in it belongs to
  // someone who is neither the caller nor the folder's owner.
  const std::string shared = dir_.file("shared");
  ASSERT_EQ(::mkdir(shared.c_str(), 0777), 0);
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
  zt::writeFile(dir_.file("victim.txt"), "mine");
  ASSERT_EQ(::symlink(dir_.file("victim.txt").c_str(), (shared + "/planted.txt").c_str()), 0);
  ASSERT_EQ(::lchown((shared + "/planted.txt").c_str(), 12345, 12345), 0);
  ASSERT_EQ(::symlink(dir_.file("victim.txt").c_str(), (shared + "/own.txt").c_str()), 0);
  EXPECT_EQ(printed("Set fso = CreateObject(\"Scripting.FileSystemObject\")\nOn Error Resume Next\n"
                    "fso.CreateTextFile(\"shared\\planted.txt\").Write \"x\": Print Err.Number: Err.Clear\n"
                    "fso.OpenTextFile(\"shared\\planted.txt\", 8).Write \"x\": Print Err.Number: Err.Clear\n"
                    "fso.CopyFile \"victim.txt\", \"shared\\planted.txt\": Print Err.Number: Err.Clear\n"
                    "fso.OpenTextFile(\"shared\\own.txt\", 8).Write \"!\": Print Err.Number\n"),
            "70\n70\n70\n0\n");
  EXPECT_EQ(zt::readFile(dir_.file("victim.txt")), "mine!");
}
