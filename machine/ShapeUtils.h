#pragma once
// Shapes found from touched points: the circle through three points in the
// XY plane, used to find the centre of a round part on the machine.

namespace orv {

struct TPoint3D;

// Centre (X, Y; Z 0) of the circle through P1, P2 and P3 (their X and Y),
// for the points in any order. False when two points coincide or the three
// lie on one line (no circle); Centre is then unchanged.
bool CircleFrom3Points(const TPoint3D &P1, const TPoint3D &P2, const TPoint3D &P3,
                       TPoint3D &Centre);

} // namespace orv
