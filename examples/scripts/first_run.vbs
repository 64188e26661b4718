' A first-run dialogue: asks the user for a few settings (standard input
' answers the boxes), keeps a default where the answer is empty, checks the
' answers and saves them.
Option Explicit

Const File = ".\firstrun.ini"
Dim ini
Set ini = CreateObject("VEZEzoro10.clsOrviInifINIFilesObjC")
ini.FullPath = File
ini.SectionName = "User"

Function Ask(prompt, fallback)
  Ask = Trim(InputBox(prompt, "First run", fallback))
End Function

Dim name, language, pageSize, tries
name = Ask("Your name?", "")
Do While name = ""
  MsgBox "A name is needed.", vbExclamation, "First run"
  name = Ask("Your name?", "")
Loop

language = LCase(Ask("Language (en, de, fr)?", "en"))
Select Case language
  Case "en", "de", "fr"
  Case Else
    MsgBox "Unknown language '" & language & "', using en.", vbInformation, "First run"
    language = "en"
End Select

tries = 0
Do
  pageSize = Ask("Lines per page (10 to 100)?", "40")
  tries = tries + 1
  If IsNumeric(pageSize) Then
    If CInt(pageSize) >= 10 And CInt(pageSize) <= 100 Then Exit Do
  End If
  MsgBox "Not a number from 10 to 100: " & pageSize, vbExclamation, "First run"
Loop Until tries = 3
If tries = 3 And Not IsNumeric(pageSize) Then pageSize = "40"

ini.PutString "Name", name
ini.PutString "Language", language
ini.PutInt "PageSize", CInt(pageSize)
MsgBox "Saved for " & name & ": " & language & ", " & ini.GetInt("PageSize", 0) & " lines.", _
       vbInformation, "First run"
