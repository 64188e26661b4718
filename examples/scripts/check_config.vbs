' Checks a service's settings before it starts: required keys, numbers in
' range, known choices. Every problem is listed, not just the first.
Option Explicit

Dim lib, file, problems, checked
Set lib = CreateObject("VEZEzoro10.clsOrviVEZEzoro10A")
file = ".\service.ini"

' A settings file with a few mistakes in it.
lib.WritePrivateProfileStringAddKeyInif file, "Server", "Host", "example.org"
lib.WritePrivateProfileStringAddKeyInif file, "Server", "Port", "80800"
lib.WritePrivateProfileStringAddKeyInif file, "Server", "Protocol", "gopher"
lib.WritePrivateProfileStringAddKeyInif file, "Log", "Level", "3"
lib.WritePrivateProfileStringAddKeyInif file, "Log", "KeepDays", "two weeks"

problems = ""
checked = 0

Sub Problem(section, key, what)
  problems = problems & "  " & section & "." & key & ": " & what & vbLf
End Sub

Function Setting(section, key)
  checked = checked + 1
  Setting = lib.GetPrivateProfileStringInif(file, section, key)
  If Setting = "" Then Problem section, key, "missing"
End Function

Sub CheckNumber(section, key, low, high)
  Dim value
  value = Setting(section, key)
  If value = "" Then Exit Sub
  If Not IsNumeric(value) Then
    Problem section, key, "'" & value & "' is not a number"
  ElseIf CDbl(value) < low Or CDbl(value) > high Then
    Problem section, key, value & " is outside " & low & " to " & high
  End If
End Sub

Sub CheckChoice(section, key, choices)
  Dim value, choice
  value = Setting(section, key)
  If value = "" Then Exit Sub
  For Each choice In Split(choices, "|")
    If StrComp(value, choice, vbTextCompare) = 0 Then Exit Sub
  Next
  Problem section, key, "'" & value & "' is not one of " & Replace(choices, "|", ", ")
End Sub

Setting "Server", "Host"
CheckNumber "Server", "Port", 1, 65535
CheckChoice "Server", "Protocol", "http|https"
CheckNumber "Log", "Level", 0, 5
CheckNumber "Log", "KeepDays", 1, 365
Setting "Log", "Folder"

If problems = "" Then
  WScript.Echo checked & " settings checked, all good"
Else
  WScript.Echo checked & " settings checked, " & UBound(Split(problems, vbLf)) & " problems:"
  WScript.Echo Left(problems, Len(problems) - 1)
End If
