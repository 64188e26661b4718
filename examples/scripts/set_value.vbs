' Sets one value in a settings file from the command line and shows the
' section afterwards; deletes the key when VALUE is left out.
'   zidevuv10 run set_value.vbs FILE SECTION KEY [VALUE]
Option Explicit

Dim args
Set args = WScript.Arguments
If args.Count < 3 Or args.Count > 4 Then
  WScript.Echo "usage: " & WScript.ScriptName & " FILE SECTION KEY [VALUE]"
  WScript.Quit 2
End If

Dim lib, file, section, key, result
Set lib = CreateObject("VEZEzoro10.clsOrviVEZEzoro10A")
file = args(0)
section = args(1)
key = args(2)
If args.Count = 4 Then
  result = lib.WritePrivateProfileStringAddKeyInif(file, section, key, args(3))
  WScript.Echo "set " & section & "." & key & ":", result = 1
Else
  result = lib.WritePrivateProfileStringToDeleteKeyInif(file, section, key)
  WScript.Echo "deleted " & section & "." & key & ":", result = 1
End If

Dim name
WScript.Echo "[" & section & "]"
For Each name In lib.GetPrivateProfileStringKeysInif(file, section)
  WScript.Echo name & "=" & lib.GetPrivateProfileStringInif(file, section, name)
Next
