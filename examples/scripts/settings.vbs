' The settings class: a settings file, a current section, typed reads and
' writes, and listings into arrays.
Dim ini, names, entries, count
Set ini = CreateObject("VEZEzoro10.clsOrviInifINIFilesObjC")
ini.FullPath = ".\demo.ini"
WScript.Echo "file:", ini.FileName, ini.FileExt
ini.SectionName = "Window"
WScript.Echo "PutString:", ini.PutString("Title", "Demo")
WScript.Echo "PutInt:", ini.PutInt("Width", 640)
WScript.Echo "PutTF:", ini.PutTF("Maximised", True)
WScript.Echo "GetString:", ini.GetString("Title", "none")
WScript.Echo "GetInt:", ini.GetInt("Width", 0), ini.GetInt("Missing", 7)
WScript.Echo "GetTF:", ini.GetTF("Maximised", False)
WScript.Echo "section exists:", ini.SectExist("window"), ini.SectExist("Other")
ini.SectionName = "Recent"
ini.PutString "File1", "a.txt"
ini.PutString "File2", "b.txt"
count = ini.GetSectionsEx(names)
WScript.Echo "sections:", count, LBound(names), UBound(names)
For i = LBound(names) To UBound(names)
  WScript.Echo "  " & names(i)
Next
count = ini.GetSectEntriesEx(entries)
WScript.Echo "entries of Recent:", count, UBound(entries, 1), UBound(entries, 2)
For i = 0 To count - 1
  WScript.Echo "  " & entries(0, i) & " = " & entries(1, i)
Next
ini.DeleteStrEntry "File1"
ini.DeleteNumEntry "File2"
WScript.Echo "after deletes:", "[" & ini.GetString("File1", "(none)") & "]", ini.GetString("File2", "(none)")
ini.SectionName = ""
WScript.Echo "without a section:", "[" & ini.GetString("Title", "none") & "]"
