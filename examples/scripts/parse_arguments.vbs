' Reads a command line the way administrators' scripts do: switches
' written /name:value or /flag (any case), -v for more output, and the
' rest as positional arguments; then checks them and prints what it found.
' (`--` ends the tool's own options, so that -v reaches the script.)
'   zidevuv10 run parse_arguments.vbs -- [/section:NAME] [/retries:N] [/dry] [-v] FILE...
Option Explicit

Dim section, retries, dryRun, verbose, files(), fileCount, i, arg, switchName, switchValue, at
section = "Main"
retries = 3
dryRun = False
verbose = False
fileCount = 0
ReDim files(0)

For i = 0 To WScript.Arguments.Count - 1
  arg = WScript.Arguments(i)
  If Left(arg, 1) = "/" Then
    at = InStr(arg, ":")
    If at > 0 Then
      switchName = LCase(Mid(arg, 2, at - 2))
      switchValue = Mid(arg, at + 1)
    Else
      switchName = LCase(Mid(arg, 2))
      switchValue = ""
    End If
    Select Case switchName
      Case "section"
        section = switchValue
      Case "retries"
        If Not IsNumeric(switchValue) Then
          WScript.Echo "ignored: /retries needs a number, not '" & switchValue & "'"
        Else
          retries = CInt(switchValue)
        End If
      Case "dry", "dryrun"
        dryRun = True
      Case Else
        WScript.Echo "ignored: unknown switch /" & switchName
    End Select
  ElseIf arg = "-v" Then
    verbose = True
  Else
    ReDim Preserve files(fileCount)
    files(fileCount) = arg
    fileCount = fileCount + 1
  End If
Next

WScript.Echo "section:", section
WScript.Echo "retries:", retries, TypeName(retries)
WScript.Echo "dry run:", dryRun, "verbose:", verbose
If fileCount = 0 Then
  WScript.Echo "no files given"
Else
  WScript.Echo fileCount & " file(s): " & Join(files, ", ")
  If verbose Then
    For Each arg In files
      WScript.Echo "  " & arg & " (" & UCase(Mid(arg, InStrRev(arg, ".") + 1)) & ")"
    Next
  End If
End If
