' Plans the patch window of every server a settings file lists: when each
' was last patched, when it is due (its interval after that), its window
' (the first Saturday on or after the due date, at 22:00), which servers
' are overdue, and how many windows each group has. Each server's window is
' written back to the file, and a summary goes to patch_plan.txt beside it.
' The planning date comes from the command line,
' so that a plan can be made ahead.
'   zidevuv10 run maintenance_plan.vbs PLANNING-DATE
Option Explicit

Const WINDOW_HOUR = 22
Dim planDate, ini, names, count, servers(), i, j, s, tally, overdue, fso, report, stream

Class Server
  Public Name, Group, IntervalDays
  Private patched_

  Private Sub Class_Initialize
    IntervalDays = 30
    Group = "(none)"
  End Sub

  Public Property Let LastPatched(value)
    If IsDate(value) Then patched_ = CDate(value) Else patched_ = Empty
  End Property

  Public Property Get HasHistory
    HasHistory = Not IsEmpty(patched_)
  End Property

  Public Property Get DueDate
    If HasHistory Then DueDate = DateAdd("d", IntervalDays, patched_) Else DueDate = planDate
  End Property

  ' The first Saturday on or after the due date (not before `notBefore`), at 22:00.
  Public Function Window(notBefore)
    Dim day
    day = DueDate
    If day < notBefore Then day = notBefore
    day = DateValue(day)
    Do While Weekday(day) <> vbSaturday
      day = day + 1
    Loop
    Window = day + TimeSerial(WINDOW_HOUR, 0, 0)
  End Function

  Public Function DaysOverdue(today)
    DaysOverdue = DateDiff("d", DueDate, today)
  End Function
End Class

' Windows counted per group, whatever the case of the group's name.
Class Tally
  Private counts_

  Private Sub Class_Initialize
    Set counts_ = CreateObject("Scripting.Dictionary")
    counts_.CompareMode = vbTextCompare
  End Sub

  Public Sub Add(key)
    If counts_.Exists(key) Then
      counts_.Item(key) = counts_.Item(key) + 1
    Else
      counts_.Add key, 1
    End If
  End Sub

  Public Default Function Summary
    Dim k, parts(), n
    ReDim parts(counts_.Count - 1)
    n = 0
    For Each k In counts_.Keys
      parts(n) = k & "=" & counts_.Item(k)
      n = n + 1
    Next
    Summary = Join(parts, ", ")
  End Function
End Class

If WScript.Arguments.Count <> 1 Then
  WScript.Echo "usage: maintenance_plan.vbs PLANNING-DATE"
  WScript.Quit 2
End If
If Not IsDate(WScript.Arguments(0)) Then
  WScript.Echo "not a date: " & WScript.Arguments(0)
  WScript.Quit 2
End If
planDate = DateValue(WScript.Arguments(0))

Set ini = CreateObject("VEZEzoro10.clsOrviInifINIFilesObjC")
ini.FullPath = ".\maintenance_plan.ini"
count = ini.GetSectionsEx(names)
ReDim servers(count - 1)
For i = 0 To count - 1
  Set s = New Server
  s.Name = names(i)
  ini.SectionName = s.Name
  s.Group = ini.GetString("Group", s.Group)
  s.IntervalDays = ini.GetInt("IntervalDays", s.IntervalDays)
  s.LastPatched = ini.GetString("LastPatched", "")
  ' Sorted by due date as they are read: insertion into the sorted part.
  j = i - 1
  Do While j >= 0
    If servers(j).DueDate <= s.DueDate Then Exit Do
    Set servers(j + 1) = servers(j)
    j = j - 1
  Loop
  Set servers(j + 1) = s
Next

WScript.Echo "Patch plan made " & FormatDateTime(planDate, vbLongDate) & " for " & count & " servers"
Set tally = New Tally
overdue = 0
For Each s In servers
  Dim window
  window = s.Window(planDate)
  tally.Add s.Group
  If Not s.HasHistory Then
    WScript.Echo "  " & s.Name & " [" & s.Group & "]: never patched, window " & window
  ElseIf s.DaysOverdue(planDate) > 0 Then
    overdue = overdue + 1
    WScript.Echo "  " & s.Name & " [" & s.Group & "]: OVERDUE by " & s.DaysOverdue(planDate) & " days, window " & window
  Else
    WScript.Echo "  " & s.Name & " [" & s.Group & "]: due " & FormatDateTime(s.DueDate, vbShortDate) & _
      ", window " & window & " (in " & DateDiff("d", planDate, window) & " days)"
  End If
  ini.SectionName = s.Name
  ini.PutString "NextWindow", Year(window) & "-" & Right("0" & Month(window), 2) & "-" & Right("0" & Day(window), 2)
Next
WScript.Echo "Overdue: " & overdue & "; windows per group: " & tally
ini.SectionName = servers(0).Name
WScript.Echo "First window written: " & servers(0).Name & " NextWindow=" & ini.GetString("NextWindow", "?")

' The summary also goes to a report file beside the settings file.
Set fso = CreateObject("Scripting.FileSystemObject")
report = fso.BuildPath(fso.GetParentFolderName(fso.GetAbsolutePathName(".\maintenance_plan.ini")), "patch_plan.txt")
Set stream = fso.CreateTextFile(report, True)
stream.WriteLine "Plan of " & FormatDateTime(planDate, vbShortDate)
stream.WriteLine "Overdue: " & overdue
stream.WriteLine "Windows per group: " & tally
stream.Close
Set stream = fso.OpenTextFile(report, 1)
Do Until stream.AtEndOfStream
  WScript.Echo "Report " & fso.GetFileName(report) & " " & stream.Line & ": " & stream.ReadLine
Loop
stream.Close
