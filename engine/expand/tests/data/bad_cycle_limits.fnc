(Cycle expansion exceeds limits)
G21 G90 G17
G00 X0 Y0 Z20
G99 G83 X10 Y10 Z-100 R2 Q0.2 F100
G80
M30
