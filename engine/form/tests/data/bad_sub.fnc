(not found - check file and path.)
G00 X1
M98 P4444
G00 X2
