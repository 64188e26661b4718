' The addressed class: one entry named by Path, Section and Key, read and
' written through Value; name lists; and a window's placement saved and
' restored.
Dim ini, keys, count, form
Set ini = CreateObject("VEZEzoro10.clsOrviInifINIFilesObjB")
ini.Path = ".\addressed.ini"
ini.Section = "Editor"
ini.Key = "TabSize"
ini.Value = "4"
WScript.Echo "wrote TabSize:", ini.Success, ini.LastReturnCode
ini.Key = "Theme"
ini.Value = "dark"
ini.Key = "Missing"
ini.Default = "(default)"
WScript.Echo "Missing reads:", ini.Value, ini.Success
ini.EnumerateCurrentSection keys, count
WScript.Echo "keys of Editor:", count
For i = 1 To count
  WScript.Echo "  " & keys(i)
Next
WScript.Echo "CLngDefault:", ini.CLngDefault("12"), ini.CLngDefault("twelve", -1)
' Window placement, on the default screen of 1920 x 1080 pixels at 15 twips a pixel.
Set form = CreateObject("ScriptHost.Window")
form.Move 300, 450, 9000, 6000
ini.Section = "Placement"
ini.SaveFormPosition form
ini.Key = "Width"
WScript.Echo "saved width:", ini.Value
' A placement wider than the screen is fitted into it.
ini.Value = "30000"
Set other = CreateObject("ScriptHost.Window")
ini.LoadFormPosition other
WScript.Echo "restored:", other.Left, other.Top, other.Width, other.Height
ini.Key = "Maximised"
ini.Value = "1"
ini.LoadFormPosition other
WScript.Echo "state:", other.WindowState
ini.DeleteSection
WScript.Echo "sections left:", Replace(ini.Sections, vbNullChar, "|")
