' Keeps a window's place between runs: restores it from the settings file
' when the application starts and saves it when it closes, through the
' addressed class and the host's window object.
Option Explicit

Dim layout, main
Set layout = CreateObject("VEZEzoro10.clsOrviInifINIFilesObjB")
With layout
  .Path = ".\layout.ini"
  .Section = "MainWindow"
End With

Sub Report(title, w)
  With w
    WScript.Echo title & ": left " & .Left & ", top " & .Top & ", " & .Width & " x " & .Height & _
                 ", state " & .WindowState
  End With
End Sub

' First start: nothing saved, the window keeps its own place.
Set main = CreateObject("ScriptHost.Window")
layout.LoadFormPosition main
Report "first start", main

' The user moves and sizes the window, then closes the application.
main.Move 1500, 900, 12000, 7500
layout.SaveFormPosition main
layout.Key = "Width"
WScript.Echo "saved width: " & layout.Value

' Next start: a new window takes the saved place.
Dim again
Set again = CreateObject("ScriptHost.Window")
layout.LoadFormPosition again
Report "next start", again

' A maximised window is restored maximised.
layout.Key = "Maximised"
layout.Value = "1"
layout.LoadFormPosition again
Report "maximised", again
