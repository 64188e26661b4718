' The main class: stateless wrappers of the profile functions that take the
' file, section and key on every call, and a current entry with commands.
Dim lib, file, section, key, value, names
Set lib = CreateObject("VEZEzoro10.clsOrviVEZEzoro10A")
file = ".\main.ini"
section = "Colours"
WScript.Echo "add section:", lib.WritePrivateProfileStringAddSectionInif(file, section)
key = "Background"
value = "navy"
WScript.Echo "add key:", lib.WritePrivateProfileStringAddKeyInif(file, section, key, value)
key = "Depth"
value = "24"
WScript.Echo "add key:", lib.WritePrivateProfileStringAddKeyInif(file, section, key, value)
key = "Background"
WScript.Echo "read:", lib.GetPrivateProfileStringInif(file, section, key)
key = "Depth"
WScript.Echo "read number:", lib.GetPrivateProfileIntInif(file, section, key)
Set names = lib.GetPrivateProfileStringKeysInif(file, section)
WScript.Echo "keys:", names.Count, TypeName(names)
For i = 1 To names.Count
  WScript.Echo "  " & names.Item(i)
Next
' The current entry: set the names, then run a command.
lib.INIFileName = file
lib.INISectionName = "Fonts"
lib.INIKeyName = "Face"
lib.INIKeyValue = "Serif"
WScript.Echo "INIAddKey:", lib.INIAddKey
Set names = lib.GetPrivateProfileStringSectionsInif(file)
WScript.Echo "sections:", names.Count, names.Item(1), names.Item(2)
WScript.Echo "INIDeleteKey:", lib.INIDeleteKey
key = "Face"
section = "Fonts"
WScript.Echo "after delete:", "[" & lib.GetPrivateProfileStringInif(file, section, key) & "]"
section = "Colours"
WScript.Echo "delete section:", lib.WritePrivateProfileStringToDeleteSectionInif(file, section)
WScript.Echo "resource string 101:", lib.GetProResStrings(101)
On Error Resume Next
WScript.Echo lib.GetProResStrings(999)
WScript.Echo "missing resource:", Err.Number, Err.Description
