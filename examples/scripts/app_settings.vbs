' An application's settings: read each with a default the first time, keep
' the user's changes, and write them back, through the settings class.
Option Explicit

Const SettingsFile = ".\editor.ini"
Const Section = "Editor"

Dim ini
Set ini = CreateObject("VEZEzoro10.clsOrviInifINIFilesObjC")
ini.FullPath = SettingsFile
ini.SectionName = Section

' The value stored under a key, or the default when there is none yet.
Function ReadSetting(key, fallback)
  ReadSetting = ini.GetString(key, fallback)
End Function

Sub WriteSetting(key, value)
  If ini.PutString(key, CStr(value)) <> 1 Then
    WScript.Echo "could not save " & key
  End If
End Sub

Sub ShowSettings(title)
  WScript.Echo title
  Dim key
  For Each key In Array("Font", "Size", "WordWrap", "Theme")
    WScript.Echo "  " & key & " = " & ReadSetting(key, "(not set)")
  Next
End Sub

ShowSettings "first start:"

' The first start stores the defaults.
Dim font, size, wrap
font = ReadSetting("Font", "Courier")
size = CInt(ReadSetting("Size", "10"))
wrap = CBool(ReadSetting("WordWrap", "False"))
WriteSetting "Font", font
WriteSetting "Size", size
WriteSetting "WordWrap", wrap

' The user makes the text larger and turns word wrap on.
size = size + 2
wrap = Not wrap
WriteSetting "Size", size
WriteSetting "WordWrap", wrap
WriteSetting "Theme", "Dark"

ShowSettings "after the changes:"
WScript.Echo "as numbers:", ini.GetInt("Size", 0) * 2, ini.GetTF("WordWrap", False)
