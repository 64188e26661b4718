' Lists a settings file: every section with its entries, in file order.
'   zidevuv10 run list_file.vbs FILE
Option Explicit

If WScript.Arguments.Count <> 1 Then
  WScript.Echo "usage: " & WScript.ScriptName & " FILE"
  WScript.Quit 2
End If

Dim lib, file, sections, name, key, value, count
Set lib = CreateObject("VEZEzoro10.clsOrviVEZEzoro10A")
file = WScript.Arguments(0)
Set sections = lib.GetPrivateProfileStringSectionsInif(file)
If sections.Count = 0 Then
  WScript.Echo file & ": no sections"
  WScript.Quit 1
End If

count = 0
For Each name In sections
  WScript.Echo "[" & name & "]"
  For Each key In lib.GetPrivateProfileStringKeysInif(file, name)
    value = lib.GetPrivateProfileStringInif(file, name, key)
    If Len(value) > 20 Then value = Left(value, 17) & "..."
    WScript.Echo "  " & key & Space(12 - Len(key)) & value
    count = count + 1
  Next
Next
WScript.Echo sections.Count & " sections, " & count & " entries"
