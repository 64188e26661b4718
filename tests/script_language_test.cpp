// The script host's language: values and operators as the runtime types
// them, arrays, control flow, error handling and syntax errors, run in
// this process through the host's entry point.
#include <gtest/gtest.h>

#include "support/script_run.h"
#include "support/test_files.h"

namespace {

using zidevuv10::testing::runScriptText;
using zidevuv10::testing::ScriptResult;

// The printed lines of a script that must run without an error.
std::string printed(std::string_view script) {
  const ScriptResult r = runScriptText(script);
  EXPECT_EQ(r.status, 0) << r.errors;
  EXPECT_EQ(r.errors, "");
  return r.out;
}

TEST(ScriptValues, TypeNamesAnswerAsTheRuntimeDoes) {
  EXPECT_EQ(printed("Dim a, s() As String, f(1 To 2) As String, t As String\n"
                    "Print TypeName(\"x\"), TypeName(1), TypeName(40000), TypeName(True)\n"
                    "Print TypeName(Nothing), TypeName(a), TypeName(s), TypeName(f), TypeName(t)\n"
                    "Print TypeName(1.5), TypeName(Null), TypeName(Err), TypeName(vbNullString)\n"),
            "String Integer Long Boolean\n"
            "Nothing Empty String() String() String\n"
            "Double Null ErrObject String\n");
}

TEST(ScriptValues, PrintWritesTextsAsCStrDoesSeparatedByOneBlank) {
  EXPECT_EQ(printed("Print True, False, vbNullString, \"\", 2.5, -7, 1E+20, Empty, Null\n"
                    "Print\n"
                    "Print \"say \"\"hi\"\"\"\n"),
            "True False   2.5 -7 1E+20  Null\n\nsay \"hi\"\n");
  // NUL characters and line breaks inside a text are printed as they are.
  EXPECT_EQ(printed("Print \"a\" & vbNullChar & \"b\" & Chr(0), \"c\" & vbCrLf & \"d\"\n"),
            std::string("a\0b\0 c\r\nd\n", 10));
  // Text is written as UTF-8, including characters beyond the first 256.
  EXPECT_EQ(printed("Print \"\xC3\xA9t\xC3\xA9\", ChrW(8364), Chr(128)\n"),
            "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xE2\x82\xAC\n");
}

TEST(ScriptValues, ArithmeticWidensOnOverflowAndDivisionGivesDouble) {
  EXPECT_EQ(printed("Print 1 + 2 * 3, (1 + 2) * 3, 7 / 2, 7 \\ 2, 7 Mod 3, 2 ^ 10, -2 ^ 2\n"
                    "Print TypeName(32767 + 1), TypeName(2147483647 + 1), TypeName(4 / 2)\n"
                    "Print \"1\" + \"2\", \"1\" + 2, TypeName(\"1\" + 2), Empty + 1\n"),
            "7 9 3.5 3 1 1024 -4\nLong Double Double\n12 3 Double 1\n");
  const ScriptResult r = runScriptText("x = 1 / 0\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.errors, "Error 11 in test.vbs: Division by zero (ScriptHost), line 1\n");
  EXPECT_EQ(runScriptText("x = \"abc\" * 2\n").errors, "Error 13 in test.vbs: Type mismatch (ScriptHost), line 1\n");
}

TEST(ScriptValues, ConcatenationComparisonAndLogic) {
  EXPECT_EQ(printed("Print \"a\" & 1 & True & Null & Empty & vbNullString\n"
                    "Print 1 < 2, \"b\" > \"a\", \"B\" = \"b\", 2 = \"2\", 1 <> 1, 3 >= 3\n"
                    "Print True And False, True Or False, Not True, Not 0, 6 And 3, 6 Or 3, True Xor True\n"
                    "Print TypeName(Null = 1), TypeName(Null & Null)\n"),
            "a1True\nTrue True False True False True\nFalse True False -1 2 7 False\nNull Null\n");
  EXPECT_EQ(printed("Set a = CreateObject(\"ScriptHost.Window\")\nSet b = a\n"
                    "Set c = CreateObject(\"ScriptHost.Window\")\n"
                    "Print a Is b, a Is c, a Is Nothing\n"),
            "True False False\n");
  EXPECT_EQ(runScriptText("Print d Is Nothing\n").errors, "Error 424 in test.vbs: Object required (ScriptHost), line 1\n");
}

TEST(ScriptValues, RuntimeFunctions) {
  EXPECT_EQ(printed("Print Len(\"abc\"), Left(\"abcdef\", 2), Right(\"abcdef\", 2), Mid(\"abcdef\", 2, 3), "
                    "Mid(\"abcdef\", 5), Mid(\"abc\", 9) & \"|\"\n"
                    "Print Replace(\"aXbXc\", \"X\", \"--\"), Replace(\"aXbXc\", \"x\", \"-\", 1, -1, 1), "
                    "Replace(\"aXbXc\", \"X\", \"-\", 3), Replace(\"aXbXc\", \"X\", \"-\", 1, 1)\n"
                    "Print CStr(12), CInt(\"2.5\"), CInt(3.5), CLng(\"70000\"), TypeName(CLng(1)), "
                    "IsObject(Nothing), IsEmpty(x), IsEmpty(\"\")\n"
                    "Print Asc(\"A\"), InStr(\"hello\", \"l\"), InStr(4, \"hello\", \"l\"), LEFT$(\"xy\", 1)\n"),
            "3 ab ef bcd ef |\na--b--c a-b-c b-c a-bXc\n12 2 4 70000 Long True True False\n65 3 4 x\n");
  EXPECT_EQ(runScriptText("x = CInt(40000)\n").errors, "Error 6 in test.vbs: Overflow (ScriptHost), line 1\n");
  EXPECT_EQ(runScriptText("x = Left(\"a\", -1)\n").errors,
            "Error 5 in test.vbs: Invalid procedure call or argument (ScriptHost), line 1\n");
  EXPECT_EQ(runScriptText("x = Len(\"a\", 2)\n").errors,
            "Error 450 in test.vbs: Wrong number of arguments or invalid property assignment (ScriptHost), line 1\n");
  EXPECT_EQ(runScriptText("x = Nosuch(1)\n").errors,
            "Error 35 in test.vbs: Sub or Function not defined: 'Nosuch' (ScriptHost), line 1\n");
}

TEST(ScriptValues, TextAndNumberFunctions) {
  EXPECT_EQ(printed("Print UCase(\"ab\xC3\xA9\"), LCase(\"AB\"), \"[\" & Trim(\"  a b \") & \"|\" & LTrim(\" a \") & \"|\" & "
                    "RTrim(\" a \") & \"]\", Space(2) & String(3, \"xy\") & String(2, 65)\n"
                    "Print InStrRev(\"a.b.c\", \".\"), InStrRev(\"a.b.c\", \".\", 3), InStrRev(\"abc\", \"z\"), "
                    "StrComp(\"a\", \"B\"), StrComp(\"a\", \"A\", vbTextCompare), StrComp(\"b\", \"a\"), "
                    "InStr(1, \"aXbx\", \"x\", vbTextCompare), InStr(3, \"aXbx\", \"x\", 0)\n"
                    "p = Split(\"k=v=w\", \"=\")\nq = Split(\"\")\nr = Split(\"aXbxc\", \"x\", -1, 1)\n"
                    "Print UBound(p), p(0), p(2), UBound(q), UBound(r), Join(p), Join(Split(\"a,b,c\", \",\", 2), \"|\")\n"
                    "Print Hex(255), Hex(-1), Hex(CLng(-1)), Hex(65536), Abs(-3), Int(-2.5), Fix(-2.5), Int(7), "
                    "TypeName(Abs(-3)), Round(2.5), Round(3.5), Round(3.14159, 2)\n"
                    "Print VarType(Empty), VarType(Null), VarType(1), VarType(70000), VarType(\"s\"), VarType(Nothing), "
                    "VarType(True), VarType(Array(1)), CStr(1.5) & CInt(\"7\") + CLng(1), IsNumeric(\"1e3\"), "
                    "IsNumeric(\"x\")\n"
                    "Print VarType(Now), Len(Date) >= 8, IsObject(Err), IsEmpty(Empty)\n"),
            "AB\xC3\x89 ab [a b|a | a] " "  xxxAA\n4 2 0 1 0 1 2 4\n2 k w -1 2 k v w a|b,c\n"
            "FF FFFF FFFFFFFF 10000 3 -3 -2 7 Integer 2 4 3.14\n0 1 2 3 8 9 11 8204 1.58 True False\n"
            "7 True True True\n");
}

TEST(ScriptValues, NumbersAsTextFilterEscapeAndRnd) {
  const zidevuv10::testing::ScopedEnv locale("LC_ALL", "C");
  EXPECT_EQ(printed("Print FormatNumber(1234.5), FormatNumber(-1234.567, 1), FormatNumber(0.25, 2, 0), "
                    "FormatNumber(-5, 0, , -1), FormatNumber(1234567, 0, , , 0)\n"
                    "Print FormatPercent(0.256, 1), FormatCurrency(-1234.5), FormatCurrency(3)\n"
                    "Print Sgn(-3), Sgn(0), Sgn(2.5), Oct(8), Oct(-1), StrReverse(\"abc\"), "
                    "Join(Filter(Array(\"apple\", \"Banana\", \"cherry\"), \"an\")), "
                    "Join(Filter(Array(\"apple\", \"Banana\", \"cherry\"), \"A\", False, vbTextCompare)), "
                    "UBound(Filter(Array(\"a\"), \"z\"))\n"
                    "Print Escape(\"a b&c/\" & ChrW(233) & ChrW(8364)), Unescape(\"a%20b%u20AC%zz\")\n"
                    // The runtime's generator: its first number, Rnd(0) repeating the
                    // last, Rnd(-n) starting the sequence n names whatever came before.
                    "a = Rnd\nb = Rnd\nPrint a, Rnd(0) = b, TypeName(a)\n"
                    "x = Rnd(-1)\ny = Rnd\nRandomize 5\nz = Rnd(-1)\nPrint x, x = z, y <> x\n"),
            "1,234.50 -1,234.6 .25 (5) 1234567\n25.6% ($1,234.50) $3.00\n"
            "-1 0 1 10 177777 cba Banana cherry -1\n"
            "a%20b%26c/%E9%u20AC a b\xE2\x82\xAC%zz\n0.7055475 True Single\n0.224007 True True\n");
}

TEST(ScriptArrays, FixedAndResizableArraysKeepTheirBoundsAndElements) {
  EXPECT_EQ(printed("Dim s() As String, f(1 To 3) As String, n(2) As Integer, g(1 To 2, 0 To 1)\n"
                    "Print LBound(f), UBound(f), UBound(n), TypeName(n(0)), n(0), TypeName(f(1))\n"
                    "ReDim s(1 To 2)\ns(1) = \"one\"\ns(2) = 2\nReDim Preserve s(1 To 3)\n"
                    "Print UBound(s), s(1), TypeName(s(2)), s(2), \"[\" & s(3) & \"]\"\n"
                    "ReDim s(0 To 0)\nPrint UBound(s), \"[\" & s(0) & \"]\"\n"
                    "g(2, 1) = \"corner\"\nPrint UBound(g, 2), g(2, 1), IsEmpty(g(1, 0))\n"),
            "1 3 2 Integer 0 String\n3 one String 2 []\n0 []\n1 corner True\n");
}

TEST(ScriptArrays, AssignmentCopiesAnArray) {
  EXPECT_EQ(printed("Dim a(1)\na(0) = \"x\"\nb = a\nb(0) = \"y\"\nPrint a(0), b(0), TypeName(b)\n"),
            "x y Variant()\n");
}

TEST(ScriptArrays, BoundsAndFixedSizeFaults) {
  EXPECT_EQ(runScriptText("Dim f(1 To 3)\nx = f(4)\n").errors,
            "Error 9 in test.vbs: Subscript out of range (ScriptHost), line 2\n");
  EXPECT_EQ(runScriptText("Dim f(1 To 3)\nReDim f(1 To 4)\n").errors,
            "Error 10 in test.vbs: This array is fixed or temporarily locked (ScriptHost), line 2\n");
  EXPECT_EQ(runScriptText("Dim f(1 To 3)\nx = f(1, 1)\n").errors,
            "Error 9 in test.vbs: Subscript out of range (ScriptHost), line 2\n");
  EXPECT_EQ(runScriptText("x = 5\ny = x(1)\n").errors, "Error 13 in test.vbs: Type mismatch (ScriptHost), line 2\n");
  EXPECT_EQ(runScriptText("Dim n(1) As Integer\nn(0) = 40000\n").errors,
            "Error 6 in test.vbs: Overflow (ScriptHost), line 2\n");
}

TEST(ScriptFlow, IfElseIfElseAndOneLineIf) {
  EXPECT_EQ(printed("For i = 1 To 4\n"
                    "  If i = 1 Then\n    Print \"one\"\n"
                    "  ElseIf i = 2 Then\n    Print \"two\"\n"
                    "  ElseIf i = 3 Then Print \"three\"\n"
                    "  Else\n    If i Mod 2 = 0 Then Print \"even\" Else Print \"odd\"\n"
                    "  End If\n"
                    "Next i\n"),
            "one\ntwo\nthree\neven\n");
}

TEST(ScriptFlow, ForCountsWithStepAndLeavesTheCounterPastTheEnd) {
  EXPECT_EQ(printed("For i = 10 To 1 Step -4\nPrint i\nNext\nPrint \"after\", i\n"
                    "For j = 1 To 0\nPrint \"never\"\nNext\nPrint j\n"
                    "For k = 0 To 1 Step 0.5\nPrint k\nNext\n"),
            "10\n6\n2\nafter -2\n1\n0\n0.5\n1\n");
}

TEST(ScriptFlow, DoWhileUntilWendAndExit) {
  EXPECT_EQ(printed("i = 0\nDo While i < 3\n  i = i + 1\nLoop\nPrint i\n"
                    "Do Until i = 0: i = i - 1: Loop: Print i\n"
                    "Do\n  i = i + 1\nLoop While i < 0\nPrint i\n"
                    "Do\n  i = i + 1\nLoop Until i >= 5\nPrint i\n"
                    "While i < 8\n  i = i + 1\nWend\nPrint i\n"
                    "Do\n  i = i - 1\n  For j = 1 To 9\n    If j = 2 Then Exit For\n  Next\n"
                    "  If i = 6 Then Exit Do\nLoop\nPrint i, j\n"
                    "Do While True\n  While True\n    Exit Do\n  Wend\nLoop\nPrint \"out\"\n"),
            "3\n0\n1\n5\n8\n6 2\nout\n");
}

TEST(ScriptFlow, SelectCaseAndForEach) {
  EXPECT_EQ(printed("For Each v In Array(1, 4, 7, 12)\n"
                    "  Select Case v\n"
                    "    Case 1, 2: Print \"one or two\"\n"
                    "    Case 3 To 5\n      Print \"three to five\"\n"
                    "    Case Is >= 10: Print \"ten up\"\n"
                    "    Case Else: Print \"else\", v\n"
                    "  End Select\n"
                    "Next\n"
                    "For Each v In Array(\"x\", \"B\")\n"
                    "  Select Case LCase(v)\n    Case \"a\" To \"c\": Print \"a to c\", v\n    Case Else: Print \"else\", v\n"
                    "  End Select\nNext\n"
                    "Dim g(1 To 2, 0 To 1)\ng(1, 0) = \"a\": g(2, 0) = \"b\": g(1, 1) = \"c\"\n"
                    "For Each v In g: s = s & v & \".\": Next: Print s\n"
                    "For Each v In Split(\"\"): Print \"never\": Next\n"
                    "For Each v In Array(1, 2, 3)\n  If v = 2 Then Exit For\nNext\nPrint v\n"),
            "one or two\nthree to five\nelse 7\nten up\nelse x\na to c B\na.b.c..\n2\n");
  EXPECT_EQ(runScriptText("For Each v In 5\nNext\n").errors,
            "Error 424 in test.vbs: Object required (ScriptHost), line 1\n");
  EXPECT_EQ(runScriptText("Set w = CreateObject(\"ScriptHost.Window\")\nFor Each v In w\nNext\n").errors,
            "Error 451 in test.vbs: Object not a collection: 'Window' (ScriptHost), line 2\n");
}

TEST(ScriptFlow, WithConstAndOptionExplicit) {
  EXPECT_EQ(printed("Option Explicit\nConst Width = 640, Name = \"main\"\nDim w, other\n"
                    "Set w = CreateObject(\"ScriptHost.Window\")\n"
                    "With w\n  .Left = Width\n  .Move .Left + 1, 2\n"
                    "  Set other = CreateObject(\"ScriptHost.Window\")\n"
                    "  With other\n    .Top = 7\n  End With\n  Print .Top, other.Top, Name\nEnd With\n"),
            "[Window] Move 641 2 6000 4000\n2 7 main\n");
  EXPECT_EQ(runScriptText("Option Explicit\nDim a\na = 1\nb = a\n").errors,
            "Error 500 in test.vbs: Variable is undefined: 'b' (ScriptHost), line 4\n");
  EXPECT_EQ(runScriptText("Option Explicit\nPrint c\n").errors,
            "Error 500 in test.vbs: Variable is undefined: 'c' (ScriptHost), line 2\n");
  EXPECT_EQ(runScriptText("Const k = 1\nk = 2\n").errors,
            "Error 501 in test.vbs: Illegal assignment: 'k' (ScriptHost), line 2\n");
  EXPECT_EQ(runScriptText("With 5\nEnd With\n").errors, "Error 424 in test.vbs: Object required (ScriptHost), line 1\n");
}

TEST(ScriptProcedures, SubsAndFunctionsWithByRefByValExitAndRecursion) {
  EXPECT_EQ(printed("Function Fact(n)\n  If n <= 1 Then Fact = 1 Else Fact = n * Fact(n - 1)\nEnd Function\n"
                    "Sub Bump(a, ByVal b, ByRef c)\n  a = a + 1: b = b + 1: c = c + 1\nEnd Sub\n"
                    "Function FirstOver(limit)\n  For Each v In Array(1, 5, 9)\n"
                    "    If v > limit Then\n      FirstOver = v\n      Exit Function\n    End If\n  Next\n"
                    "  FirstOver = -1\nEnd Function\n"
                    "Sub Tell(x)\n  If x = \"\" Then Exit Sub\n  Print \"tell\", x, total\nEnd Sub\n"
                    "Private Function Local()\n  Dim total\n  total = 5\n  hidden = 1\n  Local = total\nEnd Function\n"
                    "x = 1: y = 1: z = 1: total = 99\nBump x, y, z\nPrint x, y, z\n"
                    "Bump (x), 1, x + 0\nPrint x\n"
                    "Call Tell(\"\")\nTell \"a\"\nPrint Fact(10), FirstOver(4), FirstOver(20), Local, total, "
                    "IsEmpty(hidden)\n"
                    "Dim arr(1)\nSub Fill(a)\n  a(0) = \"set\"\nEnd Sub\nFill arr\narr (1) = \"too\"\nPrint arr(0), arr(1)\n"),
            "2 1 2\n2\ntell a 99\n3628800 5 -1 5 99 True\nset too\n");
  // An error a procedure does not handle goes to its caller's handler, and
  // stops the run with the line inside the procedure where it arose.
  EXPECT_EQ(printed("Sub Fails()\n  Print \"in\"\n  x = 1 / 0\n  Print \"not reached\"\nEnd Sub\n"
                    "On Error Resume Next\nFails\nPrint Err.Number, \"after\"\n"),
            "in\n11 after\n");
  const ScriptResult failed = runScriptText("Sub Inner()\n  Err.Raise 5\nEnd Sub\nSub Outer()\n  Inner\nEnd Sub\n"
                                            "Print 1\nOuter\nPrint 2\n");
  EXPECT_EQ(failed.out, "1\n");
  EXPECT_EQ(failed.errors, "Error 5 in test.vbs: Invalid procedure call or argument (ScriptHost), line 2\n");
  EXPECT_EQ(runScriptText("Sub S(a, b)\nEnd Sub\nS 1\n").errors,
            "Error 450 in test.vbs: Wrong number of arguments or invalid property assignment: 'S' (ScriptHost), "
            "line 3\n");
  // A runaway recursion ends with an error, not a crash.
  const ScriptResult deep = runScriptText("Sub R(n)\n  R n + 1\nEnd Sub\nR 1\n");
  EXPECT_EQ(deep.status, 1);
  EXPECT_EQ(deep.errors, "Error 28 in test.vbs: Out of stack space (ScriptHost), line 2\n");
  EXPECT_EQ(printed("Function F(n)\n  F = F(n + 1)\nEnd Function\nOn Error Resume Next\nx = F(1)\n"
                    "Print Err.Number, Err.Description\n"),
            "28 Out of stack space\n");
}

TEST(ScriptClasses, MembersPropertiesDefaultMemberAndMe) {
  EXPECT_EQ(printed("Class Account\n"
                    "  Public Owner\n"
                    "  Private balance_, history()\n"
                    "  Public Default Property Get Balance\n    Balance = balance_\n  End Property\n"
                    "  Property Let Balance(value)\n"
                    "    If value < 0 Then Err.Raise 5\n"
                    "    balance_ = value\n  End Property\n"
                    "  Public Function Deposit(ByRef amount)\n"
                    "    Balance = Balance + amount\n    amount = 0\n    Set Deposit = Me\n  End Function\n"
                    "  Private Sub Hidden\n  End Sub\n"
                    "End Class\n"
                    "Set a = New Account\na.Owner = \"ann\"\nx = 5\n"
                    "a.Deposit(x).Deposit 7\n"
                    "Print a.Owner, a.Balance, a, x, TypeName(a), IsObject(a), a + 1\n"
                    "Set b = a\nb.Balance = 1\nPrint a.Balance, a Is b\n"
                    "On Error Resume Next\n"
                    "a.Balance = -1\nPrint Err.Number, a.Balance\nErr.Clear\n"
                    "a.Hidden\nPrint Err.Number\nErr.Clear\n"
                    "x = a.balance_\nPrint Err.Number\n"),
            "ann 12 12 0 Account True 13\n1 True\n5 1\n438\n438\n");
}

TEST(ScriptClasses, InitializeAndTerminateRunAsObjectsAreMadeAndFreed) {
  EXPECT_EQ(printed("Class Log\n"
                    "  Public Name\n"
                    "  Private Sub Class_Initialize\n    Name = \"new\"\n    Print \"init\"\n  End Sub\n"
                    "  Private Sub Class_Terminate\n    Print \"bye \" & Name\n  End Sub\n"
                    "End Class\n"
                    "Sub Scoped\n  Dim l\n  Set l = New Log\n  l.Name = \"local\"\nEnd Sub\n"
                    "Set a = New Log\nPrint a.Name\na.Name = \"a\"\nSet b = a\n"
                    "Set a = Nothing\nPrint \"still held\"\nSet b = Nothing\n"
                    "Scoped\nSet c = New Log\nc.Name = \"at the end\"\nPrint \"done\"\n"),
            "init\nnew\nstill held\nbye a\ninit\nbye local\ninit\ndone\nbye at the end\n");
  // An unknown class; an error in Class_Terminate reaches the statement that freed the object.
  EXPECT_EQ(runScriptText("Set x = New Nowhere\n").errors,
            "Error 506 in test.vbs: Class not defined: 'Nowhere' (ScriptHost), line 1\n");
  EXPECT_EQ(runScriptText("Class T\nSub Class_Terminate\nx = 1 / 0\nEnd Sub\nEnd Class\n"
                          "Set t = New T\nSet t = Nothing\nPrint \"not here\"\n").errors,
            "Error 11 in test.vbs: Division by zero (ScriptHost), line 3\n");
}

TEST(ScriptValues, ErrIsItsNumberAndNumbersCompareWithTextAsTheReferenceSays) {
  EXPECT_EQ(printed("On Error Resume Next\nx = 1 / 0\n"
                    "If Err = 11 Then Print \"eleven\", Err, Err + 1\n"
                    "Err.Clear\nIf Err = 0 Then Print \"clear\"\nn = Err\nPrint TypeName(n)\n"),
            "eleven 11 12\nclear\nLong\n");
  // A number is less than any text; a constant text holding a number
  // compares as that number.
  EXPECT_EQ(printed("n = 100\ns = \"100\"\nt = \"abc\"\n"
                    "Print 100 = \"\", n = \"\", n = s, n < t, t > n, n = \"100\", 100 = s, n < \"99\"\n"
                    "Print Empty = 0, Empty = \"\", IsNull(Null = \"\")\n"
                    "Select Case s\nCase 100\nPrint \"case 100\"\nEnd Select\n"
                    "Const LIMIT = 500\nm = \"-1\"\nPrint s < LIMIT, m = -1, m = (-1)\n"),
            "False False False True True True True False\nTrue True True\ncase 100\nTrue True True\n");
}

TEST(ScriptArrays, MoreThanTwoDimensions) {
  EXPECT_EQ(printed("Dim a(1, 2, 3)\na(1, 2, 3) = \"far\"\n"
                    "Print UBound(a, 1), UBound(a, 2), UBound(a, 3), a(1, 2, 3)\n"
                    "ReDim b(1, 1, 1, 1)\nb(1, 1, 1, 1) = 4\nReDim Preserve b(1, 1, 1, 5)\n"
                    "n = 0\nFor Each e In b\nn = n + 1\nNext\nPrint n, b(1, 1, 1, 1), UBound(b, 4)\n"),
            "1 2 3 far\n48 4 5\n");
  EXPECT_EQ(runScriptText("Dim a(1, 1, 1)\nx = a(1, 1)\n").errors,
            "Error 9 in test.vbs: Subscript out of range (ScriptHost), line 2\n");
}

TEST(ScriptProcedures, EvalExecuteExecuteGlobalAndGetRef) {
  EXPECT_EQ(printed("x = 2\nPrint Eval(\"x * 3 + 1\"), Eval(\"x = 2\")\n"
                    "Execute \"y = x + 10 : Sub Hello(n) : Print \"\"hello \"\" & n : End Sub\"\n"
                    "Hello y\n"
                    "ExecuteGlobal \"Function Twice(v)\" & vbCrLf & \"Twice = v * 2\" & vbCrLf & \"End Function\"\n"
                    "Set f = GetRef(\"Twice\")\nPrint f(21), TypeName(f)\n"
                    "Sub Scope\n  Dim z\n  z = 5\n  Execute \"z = z + 1\"\n  ExecuteGlobal \"g = z\"\n  Print z\nEnd Sub\n"
                    "Scope\nPrint IsEmpty(g), IsEmpty(z)\n"
                    "On Error Resume Next\nExecute \"If\"\nPrint Err.Number, Err.Description\nErr.Clear\n"
                    "Execute \"Sub Hello : End Sub\"\nPrint Err.Number\n"),
            "7 True\nhello 12\n42 Object\n6\nTrue True\n"
            "1002 Syntax error: expected an expression, found end of line, line 1\n1041\n");
}

TEST(ScriptValues, AppendingToATextVariable) {
  // `s = s & ...` changes s where it is; what it must still do as before:
  EXPECT_EQ(printed("Dim t As String\nFor i = 1 To 3\n  s = s & i & \",\"\n  t = t & i\nNext\n"
                    "u = vbNullString\nu = u & \"x\" & Null & Empty & 1.5\n"
                    "n = 5\nn = n & \"!\"\n"
                    "Function Grow(v)\n  v = v & \"+\"\n  Grow = \"g\"\nEnd Function\n"
                    "w = \"a\"\nw = w & Grow(w)\n"
                    "copy = s\ns = s & \"z\"\n"
                    "Print s, t, TypeName(t), u, n, w, copy\n"),
            "1,2,3,z 123 String x1.5 5! ag 1,2,3,\n");
  // The right side fails: the variable keeps its text.
  EXPECT_EQ(printed("s = \"keep\"\nOn Error Resume Next\ns = s & \"x\" & CreateObject(\"ScriptHost.Window\")\n"
                    "s = s & Array(1)\nPrint s, Err.Number\n"),
            "keep 13\n");
}

TEST(ScriptFlow, CommentsContinuationsColonsAndCase) {
  EXPECT_EQ(printed("' a comment\nREM another\nrem\nDIM a ' trailing\n"
                    "a = \"x\" & _\n    \"y\" _\n    & \"z\"\nprint A: PRINT \"it's\" ' quote in a string\n"),
            "xyz\nit's\n");
}

TEST(ScriptErrors, AnUncaughtErrorStopsTheScriptWithItsLine) {
  const ScriptResult r = runScriptText("Print \"before\"\nSet o = CreateObject(\"No.Such\")\nPrint \"after\"\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "before\n");
  EXPECT_EQ(r.errors, "Error 429 in test.vbs: ActiveX component can't create object (VEZEzoro10), line 2\n");
  // The line of a statement continued over several lines is its first.
  EXPECT_EQ(runScriptText("x = 1\ny = 2 + _\n  \"z\"\n").errors, "Error 13 in test.vbs: Type mismatch (ScriptHost), line 2\n");
}

TEST(ScriptErrors, ResumeNextRecordsTheErrorAndGoesOn) {
  EXPECT_EQ(printed("On Error Resume Next\n"
                    "x = 1 / 0\n"
                    "Print Err.Number, Err.Description, Err.Source\n"
                    "Err.Clear\nPrint Err.Number, \"[\" & Err.Description & \"]\"\n"
                    "Print \"skipped\", 1 / 0\n"
                    "Print \"next\", Err.Number\n"
                    "Err.Raise 1234, \"Mine\", \"my own\"\n"
                    "Print Err.Number, Err.Source, Err.Description\n"
                    "Err.Raise 5\nPrint Err.Description, Err.Source\n"
                    "If 1 / 0 Then\n  Print \"an error in the condition enters the block\"\nEnd If\n"
                    "On Error GoTo 0\nPrint Err.Number\n"),
            "11 Division by zero ScriptHost\n0 []\nnext 11\n1234 Mine my own\n"
            "Invalid procedure call or argument ScriptHost\nan error in the condition enters the block\n0\n");
  // After On Error GoTo 0 errors stop the script again.
  const ScriptResult r = runScriptText("On Error Resume Next\nOn Error GoTo 0\nErr.Raise 7\nPrint \"no\"\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.errors, "Error 7 in test.vbs: Out of memory (ScriptHost), line 3\n");
}

TEST(ScriptErrors, ObjectFaults) {
  EXPECT_EQ(runScriptText("Set o = Nothing\no.Move 1\n").errors,
            "Error 91 in test.vbs: Object variable or With block variable not set (ScriptHost), line 2\n");
  EXPECT_EQ(runScriptText("x = 5\nx.Move 1\n").errors, "Error 424 in test.vbs: Object required (ScriptHost), line 2\n");
  EXPECT_EQ(runScriptText("Set x = 5\n").errors, "Error 424 in test.vbs: Object required (ScriptHost), line 1\n");
  EXPECT_EQ(runScriptText("Set w = CreateObject(\"ScriptHost.Window\")\nw.Fly\n").errors,
            "Error 438 in test.vbs: Object doesn't support this property or method: 'Fly' (ScriptHost), line 2\n");
  EXPECT_EQ(runScriptText("x = CreateObject(\"ScriptHost.Window\")\n").errors,
            "Error 438 in test.vbs: Object doesn't support this property or method (ScriptHost), line 1\n");
}

TEST(ScriptSyntax, ASyntaxErrorNamesItsLineAndNothingRuns) {
  const struct {
    const char* script;
    const char* error;
  } cases[] = {
      {"Print \"runs?\"\nIf x Then\nPrint 1\n", "expected 'End If', found end of script, line 4"},
      {"Print \"runs?\"\nx = \"open\n", "unterminated string, line 2"},
      {"Print 1\nFor i = 1 To 2\nNext j\n", "Next names another variable than its For, line 2"},
      {"Print 1\nNext\n", "'Next' without a matching block start, line 2"},
      {"x = (1 + 2\n", "expected ')', found end of line, line 1"},
      {"Dim x As Whatever\n", "unknown type 'whatever', line 1"},
      {"x = 1 $ 2\n", "unexpected character '$', line 1"},
      {"x = 1 # 2\n", "unterminated date, line 1"},
      {"x = #2/30/2004#\n", "not a date: #2/30/2004#, line 1"},
      {"On Error GoTo Handler\n", "expected 0 (line labels are not supported), found 'Handler', line 1"},
      {"Print 1\n5 = x\n", "expected a statement, found '5', line 2"},
      {"Dim If\n", "expected a name, found 'If', line 1"},
      // A continuation with no line after it (a fuzzing finding: the error
      // named a line past the end).
      {"x =   _", "expected an expression, found end of line, line 1"},
      {"Print 1\nClass Settings\nPrint 2\nEnd Class\n", "expected a member of the class, found 'Print', line 3"},
      {"Property Get X\n", "'Property' outside a Class, line 1"},
      {"Class A\nPublic x\nSub X\nEnd Sub\nEnd Class\n", "'X' is defined twice in the class, line 3"},
      {"Class A\nEnd Class\nSub a\nEnd Sub\n", "'A' is defined twice, line 1"},
      {"Class A\nProperty Get P\n  Exit Function\nEnd Property\nEnd Class\n",
       "'Exit Function' outside a Function, line 3"},
      // What the language leaves out is refused by name.
      {"GoTo done\n", "'GoTo' is not supported, line 1"},
      {"Sub S(Optional a)\nEnd Sub\n", "'Optional' is not supported, line 1"},
      {"o.M a:=1\n", "named arguments (':=') are not supported, line 1"},
      {"For i = 1 To 2\nNext\nExit For\n", "'Exit For' outside a For loop, line 3"},
      {"Sub S\n  Exit Function\nEnd Sub\n", "'Exit Function' outside a Function, line 2"},
      {"If 1 Then\n  Sub S\n  End Sub\nEnd If\n", "'Sub' inside a block or procedure, line 2"},
      {"Sub S\nEnd Sub\nsub s\nEnd Sub\n", "'s' is defined twice, line 3"},
      {"Do While 1\nLoop Until 1\n", "a Do loop has its condition at the start or at the end, not both, line 2"},
      {"Select Case 1\nCase Else\nCase 2\nEnd Select\n", "'Case' after 'Case Else', line 3"},
      {"Print 1\nOption Explicit\n", "'Option Explicit' must come before any other statement, line 2"},
      {"Do\nPrint 1\n", "expected 'Loop', found end of script, line 3"},
  };
  for (const auto& c : cases) {
    const ScriptResult r = runScriptText(c.script);
    EXPECT_EQ(r.status, 2) << c.script;
    EXPECT_EQ(r.out, "") << c.script;
    EXPECT_EQ(r.errors, std::string("Syntax error in test.vbs: ") + c.error + "\n") << c.script;
  }
}

TEST(ScriptSyntax, DeepNestingIsASyntaxErrorNotACrash) {
  const std::string deep = "x = " + std::string(100000, '(') + "1" + std::string(100000, ')') + "\n";
  const ScriptResult r = runScriptText(deep);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.errors.find("nested too deeply"), std::string::npos) << r.errors;
  std::string blocks;
  for (int i = 0; i < 50000; ++i) blocks += "If 1 Then\n";
  EXPECT_EQ(runScriptText(blocks).status, 2);
  EXPECT_EQ(runScriptText("x = " + std::string(100000, '-') + "1\n").status, 2);
  std::string loops;
  for (int i = 0; i < 50000; ++i) loops += i % 2 == 0 ? "Do\n" : "Select Case 1\nCase 1\n";
  EXPECT_EQ(runScriptText(loops).status, 2);
}

}  // namespace
