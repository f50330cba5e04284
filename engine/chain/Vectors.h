#pragma once
// Plane and space geometry on doubles, shared by the absolute stage (arc
// sweeps), cutter compensation and the optimiser (directions, corners,
// intersections), the 2D drawing window, move validation and the simulated
// machine. Angles are radians unless a name says degrees.

namespace orv {

struct TPoint2D {
    double X = 0;
    double Y = 0;
};

struct TPoint3D {
    double X = 0;
    double Y = 0;
    double Z = 0;
};

double Distance2D(double X1, double Y1, double X2, double Y2);
// The same between two points in space.
double Distance3D(const TPoint3D &A, const TPoint3D &B);

// Centre (Xc, Yc) and radius R of the arc from (X1, Y1) to (X2, Y2) whose
// included angle is Angle degrees (sign ignored). For angles below 180 the
// centre lies to the right of the chord: (0,0)->(10,0) at 90 gives (5,-5).
// An angle of 0 or a multiple of 360 has no finite centre from the chord:
// the result is the chord's midpoint with half the chord as radius.
void ArcCentreFromChord(double &Xc, double &Yc, double &R, double X1, double Y1, double X2,
                        double Y2, double Angle);

// Angle of the vector (X, Y) in [0, 2pi); (0, 0) gives pi/2.
double DirectionAngle(double X, double Y);
// DirectionAngle in degrees, [0, 360).
double AngleDegrees(double X, double Y);
double RadToDeg(double A);
// A brought into [0, 2pi).
double NormalizeAngle(double A);
// Direction turned a right angle: clockwise (A - pi/2) when Minus, else A + pi/2.
double RightAngleTurn(bool Minus, double A);
// Turn in degrees at (X2, Y2) on the way 1 -> 2 -> 3: 180 straight on,
// 90 a right-angle turn to the right, -90 one to the left.
double CornerTurnAngle(double X1, double Y1, double X2, double Y2, double X3, double Y3);
// Angle between two directions, 0 to pi. A zero vector has no direction and
// counts as square to the other (pi/2).
double AngleBetween3D(const TPoint3D &A, const TPoint3D &B);
// Arc cosine with guards: |V| < 0.0001 gives exactly pi/2, V <= -1 pi, V >= 1 0.
double SafeArcCos(double V);

void Set2D(TPoint2D &P, double X, double Y);
void Set3D(TPoint3D &P, double X, double Y, double Z);
double GetX2D(const TPoint2D &P);
double GetY2D(const TPoint2D &P);
double GetX3D(const TPoint3D &P);
double GetY3D(const TPoint3D &P);

// P scaled to unit length; a zero (or non-finite) vector becomes (0, 0).
void Normalize2D(TPoint2D &P);
// D := unit vector of A - B and Len its length; below 0.0001 both are zero.
void Direction2D(TPoint2D &D, const TPoint2D &A, const TPoint2D &B, double &Len);
void Direction3D(TPoint3D &D, const TPoint3D &A, const TPoint3D &B, double &Len);
// Clockwise: D := (V.Y, -V.X); else D := (-V.Y, V.X).
void Perpendicular2D(TPoint2D &D, const TPoint2D &V, bool Clockwise);
// P := P + V * S.
void AddScaled2D(TPoint2D &P, const TPoint2D &V, double S);
// P turned counter-clockwise by the angle whose sine and cosine are given.
void Rotate2D(TPoint2D &P, double SinA, double CosA);
// Within 0.001 in each coordinate.
bool SamePoint2D(const TPoint2D &A, const TPoint2D &B);
// Min <= P <= Max in each coordinate, bounds included.
bool InBox2D(const TPoint2D &P, const TPoint2D &Min, const TPoint2D &Max);
bool InBox3D(const TPoint3D &P, const TPoint3D &Min, const TPoint3D &Max);
// Intersection of the line through P1 along D1 with the line through P2
// along D2; lines closer to parallel than |D1 x D2| < 0.0001 give (0, 0).
void IntersectLines2D(TPoint2D &P, const TPoint2D &P1, const TPoint2D &D1, const TPoint2D &P2,
                      const TPoint2D &D2);

} // namespace orv
