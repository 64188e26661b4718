' Reports when certificates and service passwords expire, from the dates a
' settings file keeps: the expiry date (a month count from the issue date,
' the day kept where the month has it), the days left, the weekday it falls
' on, and a warning a fortnight before. Dates in the file are written
' year first, so any locale reads them alike.
'   zidevuv10 run expiry_report.vbs TODAY
Option Explicit

Dim ini, names, count, i, today
today = CDate(WScript.Arguments(0))
WScript.Echo "Expiry report for " & FormatDateTime(today, vbLongDate)

Set ini = CreateObject("VEZEzoro10.clsOrviInifINIFilesObjC")
ini.FullPath = ".\expiry_report.ini"
count = ini.GetSectionsEx(names)
WScript.Echo count & " items, " & TypeName(names) & " from " & LBound(names) & " to " & UBound(names)

For i = 0 To UBound(names)
  Report names(i)
Next

Sub Report(name)
  Dim issued, months, expires, left, state
  ini.SectionName = name
  issued = ini.GetString("Issued", "")
  months = ini.GetInt("ValidMonths", 12)
  If Not IsDate(issued) Then
    WScript.Echo "  " & name & ": no valid issue date ('" & issued & "')"
    Exit Sub
  End If
  expires = DateAdd("m", months, CDate(issued))
  left = DateDiff("d", today, expires)
  Select Case True
    Case left < 0
      state = "EXPIRED " & -left & " days ago"
    Case left <= 14
      state = "renew now: " & left & " days left"
    Case Else
      state = left & " days left"
  End Select
  WScript.Echo "  " & name & ": expires " & expires & " (" & WeekdayName(Weekday(expires)) & ", week " & _
    DatePart("ww", expires) & "), " & state
  ' The next review is a month before expiry, moved off the weekend.
  Dim review
  review = DateAdd("m", -1, expires)
  If Weekday(review) = vbSaturday Then review = review - 1
  If Weekday(review) = vbSunday Then review = DateAdd("d", -2, review)
  ini.PutString "NextReview", Year(review) & "-" & Right("0" & Month(review), 2) & "-" & Right("0" & Day(review), 2)
End Sub

ini.SectionName = "web-tls"
WScript.Echo "web-tls review saved as " & ini.GetString("NextReview", "(none)")
