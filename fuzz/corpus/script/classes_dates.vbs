Option Explicit
Class Account
  Private balance_, log()
  Public Owner
  Public Default Property Get Balance
    Balance = balance_
  End Property
  Property Let Balance(v)
    balance_ = v
  End Property
  Property Set Link(o)
    Set log(0) = o
  End Property
  Private Sub Class_Initialize
    ReDim log(0, 1, 2)
  End Sub
  Function Self
    Set Self = Me
    Exit Function
  End Function
End Class
Dim a, d
Set a = New Account
d = #11/1/2006# + #1:45 PM#
If a = 0 And d > #2006-11-01# Then a.Balance = DateDiff("d", #1/31/2004#, DateAdd("m", 1, #1/31/2004#))
Execute "x = Eval(""1 + 2"")"
