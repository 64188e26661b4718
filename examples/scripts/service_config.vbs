' A service's settings as a class: defaults when the class is made, checked
' properties, a default member, and the settings saved when the last
' reference goes (Class_Terminate).
Option Explicit

Class ServiceConfig
  Private ini_, port_, mode_, changed_
  Public Name

  Private Sub Class_Initialize
    Set ini_ = CreateObject("VEZEzoro10.clsOrviInifINIFilesObjC")
    ini_.FullPath = ".\service_config.ini"
    port_ = 8080
    mode_ = "normal"
    changed_ = False
    Name = "(unnamed)"
  End Sub

  Private Sub Class_Terminate
    If changed_ Then
      Save
      WScript.Echo "[" & Name & "] saved on release"
    End If
  End Sub

  Public Sub Load(section)
    Name = section
    ini_.SectionName = section
    port_ = ini_.GetInt("Port", port_)
    mode_ = ini_.GetString("Mode", mode_)
  End Sub

  Private Sub Save
    ini_.SectionName = Name
    ini_.PutInt "Port", port_
    ini_.PutString "Mode", mode_
  End Sub

  Public Property Get Port
    Port = port_
  End Property

  Public Property Let Port(value)
    If Not IsNumeric(value) Then Err.Raise 13, "ServiceConfig", "Port must be a number"
    If value < 1 Or value > 65535 Then Err.Raise 5, "ServiceConfig", "Port out of range: " & value
    port_ = CLng(value)
    changed_ = True
  End Property

  Public Property Get Mode
    Mode = mode_
  End Property

  Public Property Let Mode(value)
    Select Case LCase(value)
      Case "normal", "maintenance", "readonly"
        mode_ = LCase(value)
        changed_ = True
      Case Else
        Err.Raise 5, "ServiceConfig", "unknown mode: " & value
    End Select
  End Property

  ' The text a config stands for: WScript.Echo cfg prints this.
  Public Default Function Describe
    Describe = Name & " on port " & port_ & " (" & mode_ & ")"
  End Function

  Public Function WithMode(value)
    Mode = value
    Set WithMode = Me
  End Function
End Class

Dim cfg, other
Set cfg = New ServiceConfig
WScript.Echo "new: " & cfg
cfg.Load "api"
WScript.Echo "loaded:", cfg.Describe
On Error Resume Next
cfg.Port = 70000
WScript.Echo "Port = 70000:", Err.Number, Err.Description
Err.Clear
cfg.Mode = "fast"
WScript.Echo "Mode = fast:", Err.Number, Err.Description
On Error GoTo 0
cfg.Port = 9090
WScript.Echo "after: " & cfg.WithMode("Maintenance")
Set other = cfg
Set cfg = Nothing
WScript.Echo "one reference left:", other.Port
Set other = Nothing

Set cfg = New ServiceConfig
cfg.Load "api"
WScript.Echo "reloaded: " & cfg
