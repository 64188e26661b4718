x = -1 + 2 * 3 / 4 \ 5 Mod 6 ^ 7 & "a""b" = 1 <> 2 < 3 > 4 <= 5 >= 6 Is Nothing And Not True Or False Xor Null
y = &HFF + &H7FFFFFFF + 1.5E+3 + .5
z = a(1)(2).b.c(3, , 4)
