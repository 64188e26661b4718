x = 1 _
  + 2 _
  + 3Print x ' comment
Rem x
