' Moves an application's settings from the section an older version used to
' the one the new version reads: known keys are renamed, obsolete ones are
' dropped, and the old section is deleted once everything has moved.
Option Explicit

Dim lib, file, oldSection, newSection
Set lib = CreateObject("VEZEzoro10.clsOrviVEZEzoro10A")
file = ".\viewer.ini"
oldSection = "Viewer 1.x"
newSection = "Viewer"

' What an older version left behind.
Sub Seed(key, value)
  lib.WritePrivateProfileStringAddKeyInif file, oldSection, key, value
End Sub
Seed "bgcolour", "navy"
Seed "fgcolour", "white"
Seed "zoom", "150"
Seed "splash", "1"
Seed "LastFile", "report.txt"

' The key's name in the new section; "" for a key the new version dropped.
Function NewName(key)
  Select Case LCase(key)
    Case "bgcolour": NewName = "Background"
    Case "fgcolour": NewName = "Foreground"
    Case "zoom": NewName = "ZoomPercent"
    Case "splash": NewName = ""
    Case Else: NewName = key
  End Select
End Function

Dim key, target, value, moved, dropped
moved = 0
dropped = ""
For Each key In lib.GetPrivateProfileStringKeysInif(file, oldSection)
  target = NewName(key)
  If target = "" Then
    dropped = dropped & " " & key
  Else
    value = lib.GetPrivateProfileStringInif(file, oldSection, key)
    lib.WritePrivateProfileStringAddKeyInif file, newSection, target, value
    moved = moved + 1
  End If
Next
lib.WritePrivateProfileStringToDeleteSectionInif file, oldSection

WScript.Echo "moved " & moved & " keys, dropped:" & dropped
WScript.Echo "sections now:"
Dim name
For Each name In lib.GetPrivateProfileStringSectionsInif(file)
  WScript.Echo "  [" & name & "]"
  For Each key In lib.GetPrivateProfileStringKeysInif(file, name)
    WScript.Echo "    " & key & "=" & lib.GetPrivateProfileStringInif(file, name, key)
  Next
Next
