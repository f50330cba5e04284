(Line #3 : Radius : Bad ARC End Point)
G00 X0 Y0
G02 X50 Y50 R10
G00 X1
