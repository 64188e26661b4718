' The main class: stateless wrappers of the profile functions that take the
' file, section and key on every call, and a current entry with commands.
Dim lib, file, section, key, value, names
Set lib = CreateObject("VEZEzoro10.clsOrviVEZEzoro10A")
file = ".\main.ini"
section = "Colours"
Print "add section:", lib.WritePrivateProfileStringAddSectionInif(file, section)
key = "Background"
value = "navy"
Print "add key:", lib.WritePrivateProfileStringAddKeyInif(file, section, key, value)
key = "Depth"
value = "24"
Print "add key:", lib.WritePrivateProfileStringAddKeyInif(file, section, key, value)
key = "Background"
Print "read:", lib.GetPrivateProfileStringInif(file, section, key)
key = "Depth"
Print "read number:", lib.GetPrivateProfileIntInif(file, section, key)
Set names = lib.GetPrivateProfileStringKeysInif(file, section)
Print "keys:", names.Count, TypeName(names)
For i = 1 To names.Count
  Print "  " & names.Item(i)
Next
' The current entry: set the names, then run a command.
lib.INIFileName = file
lib.INISectionName = "Fonts"
lib.INIKeyName = "Face"
lib.INIKeyValue = "Serif"
Print "INIAddKey:", lib.INIAddKey
Set names = lib.GetPrivateProfileStringSectionsInif(file)
Print "sections:", names.Count, names.Item(1), names.Item(2)
Print "INIDeleteKey:", lib.INIDeleteKey
key = "Face"
section = "Fonts"
Print "after delete:", "[" & lib.GetPrivateProfileStringInif(file, section, key) & "]"
section = "Colours"
Print "delete section:", lib.WritePrivateProfileStringToDeleteSectionInif(file, section)
Print "resource string 101:", lib.GetProResStrings(101)
On Error Resume Next
Print lib.GetProResStrings(999)
Print "missing resource:", Err.Number, Err.Description
