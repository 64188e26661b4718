' The recent-files list of an application: File1 is the newest; opening a
' file moves it to the top, the list keeps at most four, and a file opened
' again is not listed twice (names compared without regard to case).
Option Explicit

Const MaxFiles = 4
Dim ini
Set ini = CreateObject("VEZEzoro10.clsOrviInifINIFilesObjC")
ini.FullPath = ".\recent.ini"
ini.SectionName = "Recent"

' The list as an array, newest first.
Function LoadList()
  Dim items(), n, name
  ReDim items(MaxFiles - 1)
  n = 0
  Do While n < MaxFiles
    name = ini.GetString("File" & (n + 1), "")
    If name = "" Then Exit Do
    items(n) = name
    n = n + 1
  Loop
  If n = 0 Then
    LoadList = Array()
  Else
    ReDim Preserve items(n - 1)
    LoadList = items
  End If
End Function

Sub SaveList(items)
  Dim i
  For i = 1 To MaxFiles
    If i - 1 <= UBound(items) Then
      ini.PutString "File" & i, items(i - 1)
    Else
      ini.DeleteStrEntry "File" & i
    End If
  Next
End Sub

Sub Opened(file)
  Dim old, items(), i, n
  old = LoadList()
  ReDim items(MaxFiles - 1)
  items(0) = file
  n = 1
  For i = 0 To UBound(old)
    If n = MaxFiles Then Exit For
    If StrComp(old(i), file, vbTextCompare) <> 0 Then
      items(n) = old(i)
      n = n + 1
    End If
  Next
  ReDim Preserve items(n - 1)
  SaveList items
  WScript.Echo "opened " & file & ": " & Join(LoadList(), ", ")
End Sub

WScript.Echo "empty list has " & UBound(LoadList()) + 1 & " files"
Dim f
For Each f In Split("a.txt b.txt c.txt B.TXT d.txt e.txt", " ")
  Opened f
Next
WScript.Echo "stored: " & Replace(ini.GetSectEntries, vbNullChar, "|")
