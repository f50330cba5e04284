#pragma once
// Vector, matrix, quaternion and scalar routines of the scene graph. Every
// routine is a free function without state. Arithmetic runs in extended
// precision (long double); a routine whose result is a single hands it back
// unrounded as long double, so a caller that goes on computing keeps the
// precision. Routines documented "rounded" store the single themselves.
// Nothing raises: a square root of a negative number gives a not-a-number,
// a division by zero an infinity.

#include "view3d/geometry/VectorTypes.h"

#include <cstdint>

namespace orv {

// 1e-40 (a denormal single, bits 0x000116C2) and 1e-30.
extern const float EPSILON;
extern const float EPSILON2;

extern const TMatrix4x4f IdentityHmgMatrix;
extern const TAffineVec3f XVector, YVector, ZVector, NullVector;
extern const TVector4f NullHmgPoint; // (0, 0, 0, 1)
extern const TQuat4f IdentityQuaternion;

// ---- scalars (also used outside the scene graph) ----
long double AffineLength(const TAffineVec3f &V);
long double HomogeneousLength(const TVector4f &V); // W included
long double DegreesToRadians(long double Degrees);
long double RadiansToDegrees(long double Radians);
long double DegreesToRadiansSingle(float Degrees);
long double RadiansToDegreesSingle(float Radians);
long double ArcSine(long double X);
long double ArcCosine(long double X);
long double ArcCosineSingle(float X);
long double ArcTangentYX(long double Y, long double X);
long double ArcTangentYXSingle(float Y, float X);
long double Tangent(long double Angle);
// Round to nearest, ties to even; out of range or not-a-number: -2147483648.
int32_t NearestInteger(float X);
// Toward zero; out of range or not-a-number: -2147483648.
int32_t TruncateToInteger(float X);
long double IntegerPart(long double X);
long double FractionalPart(long double X);
void SineCosine(long double Angle, long double &Sine, long double &Cosine);
void SineCosineSingle(float Angle, float &Sine, float &Cosine);
long double InverseSquareRoot(float X);
float SinglePower(float Base, float Exponent);
float NormalizeDegreesSingle(float Degrees); // into -180..180, rounded
float MaxOfThree(float A, float B, float C);
float ClampSingle(float Value, float Min, float Max);

// ---- construction ----
TAffineVec3f AffineMake(float X, float Y, float Z);
TAffineVec3d AffineToDouble(const TAffineVec3f &V);
TVector4f HomogeneousMake(float X, float Y, float Z, float W);
TVector4f HomogeneousFromAffine(const TAffineVec3f &V, float W);
TVector4f PointOf(float X, float Y, float Z);
TVector4f PointFromAffine(const TAffineVec3f &V);
TVector4f DirectionFromAffine(const TAffineVec3f &V);
TAffineVec3f AffinePart(const TVector4f &V);

// ---- arithmetic ----
TAffineVec3f AffineAdd(const TAffineVec3f &A, const TAffineVec3f &B);
TVector4f HomogeneousAdd(const TVector4f &A, const TVector4f &B);
void AffineAddTo(TAffineVec3f &A, const TAffineVec3f &B);
void HomogeneousAddTo(TVector4f &A, const TVector4f &B);
void AffineArrayOffset(const TAffineVec3f *Src, const TAffineVec3f &Delta, int N,
                       TAffineVec3f *Dest);
TAffineVec3f AffineSubtract(const TAffineVec3f &A, const TAffineVec3f &B);
TVector4f HomogeneousSubtract(const TVector4f &A, const TVector4f &B);
void HomogeneousSubtractFrom(TVector4f &A, const TVector4f &B);
void AffineCombineInto(TAffineVec3f &R, const TAffineVec3f &V, float F);
TVector4f HomogeneousCombine(float F1, const TVector4f &V1, float F2, const TVector4f &V2);
void AffineScaleBy(TAffineVec3f &V, float F);
void HomogeneousScaleBy(TVector4f &V, float F);
TAffineVec3f AffineScaled(const TAffineVec3f &V, float F);
TVector4f HomogeneousScaled(const TVector4f &V, float F);
void HomogeneousMultiplyBy(TVector4f &A, const TVector4f &B);
void AffineNegate(TAffineVec3f &V);
TAffineVec3f AffineLerp(const TAffineVec3f &A, const TAffineVec3f &B, float T);
TVector4f HomogeneousLerp(const TVector4f &A, const TVector4f &B, float T);
void AffineArrayLerp(const TAffineVec3f *A, const TAffineVec3f *B, float T, int N,
                     TAffineVec3f *Into);
void HomogeneousArrayLerp(const TVector4f *A, const TVector4f *B, float T, int N, TVector4f *Into);

// ---- products, norms, distances, tests ----
long double AffineDot(const TAffineVec3f &A, const TAffineVec3f &B);
long double HomogeneousDot(const TVector4f &A, const TVector4f &B);
TAffineVec3f AffineCross(const TAffineVec3f &A, const TAffineVec3f &B);
TVector4f HomogeneousCross(const TVector4f &A, const TVector4f &B); // W = 0
long double PlanarLength(float X, float Y);
float PlanarNorm(float X, float Y); // rounded
long double AffineNorm(const TAffineVec3f &V);
long double HomogeneousNorm(const TVector4f &V); // W ignored
void AffineNormalize(TAffineVec3f &V);
TAffineVec3f AffineNormalized(const TAffineVec3f &V);
void AffineArrayNormalize(TAffineVec3f *V, int N);
void HomogeneousNormalize(TVector4f &V); // W becomes 0
TVector4f HomogeneousNormalized(const TVector4f &V);
bool AffineEquals(const TAffineVec3f &A, const TAffineVec3f &B); // bit for bit
bool HomogeneousEquals(const TVector4f &A, const TVector4f &B);
bool AffineIsNull(const TAffineVec3f &V);
long double AffineSpacing(const TAffineVec3f &A, const TAffineVec3f &B);
long double AffineDistance(const TAffineVec3f &A, const TAffineVec3f &B);
long double AffineDistance2(const TAffineVec3f &A, const TAffineVec3f &B);
long double HomogeneousDistance2(const TVector4f &A, const TVector4f &B);
TAffineVec3f AffinePlaneProject(const TAffineVec3f &V, const TAffineVec3f &N);
long double AffineMaxComponent(const TAffineVec3f &V);

// ---- matrices ----
TMatrix4x4f MatrixProduct(const TMatrix4x4f &A, const TMatrix4x4f &B);
TVector4f TransformByMatrix(const TVector4f &V, const TMatrix4x4f &M);
TMatrix4x4f ScaleTranslationMatrix(const TVector4f &Scale, const TVector4f &Offset);
TMatrix4x4f AxisRotationMatrix(const TAffineVec3f &Axis, float Angle);
void RotateAroundAxis(TVector4f &V, const TAffineVec3f &Axis, float Angle);
float Determinant3x3(float A1, float A2, float A3, float B1, float B2, float B3, float C1, float C2,
                     float C3);
float DeterminantOf(const TMatrix4x4f &M);
void MatrixAdjoint(TMatrix4x4f &M);
void MatrixScaleBy(TMatrix4x4f &M, float Factor);
void TransposeInPlace(TMatrix4x4f &M);
void MatrixInverse(TMatrix4x4f &M); // singular: the identity
TMatrix4x4f InvertRigidMatrix(const TMatrix4x4f &M);
void OrthonormalizeMatrix(TMatrix4x4f &M);
bool DecomposeMatrix(const TMatrix4x4f &M, TDecomposedTransform &Tran);

// ---- quaternions and angles (degrees where the name of the argument says so) ----
float QuatMagnitude(const TQuat4f &Q);
void QuatNormalize(TQuat4f &Q); // too short: the identity
TQuat4f QuatProduct(const TQuat4f &A, const TQuat4f &B);
TMatrix4x4f QuatToMatrix(const TQuat4f &Q);
TQuat4f QuatFromAxisAngle(const TAffineVec3f &Axis, float AngleDegrees);
TQuat4f QuatFromAnglesOrdered(int Order, float XDegrees, float YDegrees, float ZDegrees);
TQuat4f QuatFromAngles(int Order, float XDegrees, float YDegrees, float ZDegrees);
TQuat4f QuatSlerp(const TQuat4f &A, const TQuat4f &B, float T);
TAffineVec3f InterpolateAngle(const TAffineVec3f &A, const TAffineVec3f &B, float T);

// ---- visibility ----
// What the render pass knows of the view for object-based culling.
struct TViewClippingInfo {
    TVector4f CameraPosition;
    TVector4f CameraDirection; // unit length
    float ViewPortRadius = 0;
    float FarClippingDistance = 0;
};
// Number of intersections (0, 1 or 2) of a ray (unit direction) and a sphere.
int RaySphereIntersect(const TVector4f &RayOrigin, const TVector4f &RayDirection,
                       const TVector4f &Centre, float Radius, TVector4f &I1, TVector4f &I2);
bool SphereCulled(const TVector4f &Centre, float Radius, const TViewClippingInfo &View);
bool BoxCulled(const TVector4f &Min, const TVector4f &Max, const TViewClippingInfo &View);

} // namespace orv
