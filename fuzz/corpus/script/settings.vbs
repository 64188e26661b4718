' The settings class: a settings file, a current section, typed reads and
' writes, and listings into arrays.
Dim ini, names() As String, entries() As String, count
Set ini = CreateObject("VEZEzoro10.clsOrviInifINIFilesObjC")
ini.FullPath = ".\demo.ini"
Print "file:", ini.FileName, ini.FileExt
ini.SectionName = "Window"
Print "PutString:", ini.PutString("Title", "Demo")
Print "PutInt:", ini.PutInt("Width", 640)
Print "PutTF:", ini.PutTF("Maximised", True)
Print "GetString:", ini.GetString("Title", "none")
Print "GetInt:", ini.GetInt("Width", 0), ini.GetInt("Missing", 7)
Print "GetTF:", ini.GetTF("Maximised", False)
Print "section exists:", ini.SectExist("window"), ini.SectExist("Other")
ini.SectionName = "Recent"
ini.PutString "File1", "a.txt"
ini.PutString "File2", "b.txt"
count = ini.GetSectionsEx(names)
Print "sections:", count, LBound(names), UBound(names)
For i = LBound(names) To UBound(names)
  Print "  " & names(i)
Next
count = ini.GetSectEntriesEx(entries)
Print "entries of Recent:", count, UBound(entries, 1), UBound(entries, 2)
For i = 0 To count - 1
  Print "  " & entries(0, i) & " = " & entries(1, i)
Next
ini.DeleteStrEntry "File1"
ini.DeleteNumEntry "File2"
Print "after deletes:", "[" & ini.GetString("File1", "(none)") & "]", ini.GetString("File2", "(none)")
ini.SectionName = ""
Print "without a section:", "[" & ini.GetString("Title", "none") & "]"
