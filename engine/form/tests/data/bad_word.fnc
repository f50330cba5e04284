(Line #3 : "QQ" in line:G01 QQ 5 : Error in code, Token not recognised)
G00 X1
G01 QQ 5
G00 X2
