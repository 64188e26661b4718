x = (((1)
If x Then
Next
For i = 1
Dim 5
x = "open
