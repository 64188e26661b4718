' Plans the patch window of every server a settings file lists: when each
' was last patched, when it is due (its interval after that), its window
' (the first Saturday on or after the due date, at 22:00), which servers
' are overdue, and how many windows each group has. Each server's window is
' written back to the file. The planning date comes from the command line,
' so that a plan can be made ahead.
'   zidevuv10 run maintenance_plan.vbs PLANNING-DATE
Option Explicit

Const WINDOW_HOUR = 22
Dim planDate, ini, names, count, servers(), i, j, s, tally, overdue

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

' Windows counted per group. (Where the host offers Scripting.Dictionary,
' this is a Dictionary's Exists, Add and Item; the report below would then
' also go to a text file through Scripting.FileSystemObject.)
Class Tally
  Private keys_(), counts_(), size_

  Private Sub Class_Initialize
    size_ = 0
    ReDim keys_(0), counts_(0)
  End Sub

  Public Sub Add(key)
    Dim k
    For k = 0 To size_ - 1
      If StrComp(keys_(k), key, vbTextCompare) = 0 Then
        counts_(k) = counts_(k) + 1
        Exit Sub
      End If
    Next
    ReDim Preserve keys_(size_), counts_(size_)
    keys_(size_) = key
    counts_(size_) = 1
    size_ = size_ + 1
  End Sub

  Public Default Function Summary
    Dim k, parts()
    ReDim parts(size_ - 1)
    For k = 0 To size_ - 1
      parts(k) = keys_(k) & "=" & counts_(k)
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
