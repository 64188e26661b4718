Dim a, b(1 To 2) As String, c()
ReDim Preserve c(0 To 3, 1)
Set o = CreateObject("ScriptHost.Window")
Let x = 1
o.Move 1, , 3
Call o.Move(1, 2)
o.Left = x
Set o.Item(1) = Nothing
If x Then Print 1 Else Print 2
If a Then
ElseIf b Then
Else
End If
For i = 1 To 3 Step -1: Next i
On Error Resume Next
On Error GoTo 0
