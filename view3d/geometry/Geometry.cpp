#include "view3d/geometry/Geometry.h"

#include <bit>
#include <cassert>
#include <cfenv>
#include <cmath>
#include <limits>

namespace orv {

using ld = long double;

const float EPSILON = std::bit_cast<float>(0x000116C2u);
const float EPSILON2 = 1e-30f;

const TMatrix4x4f IdentityHmgMatrix = {
    {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
const TAffineVec3f XVector = {1, 0, 0};
const TAffineVec3f YVector = {0, 1, 0};
const TAffineVec3f ZVector = {0, 0, 1};
const TAffineVec3f NullVector = {0, 0, 0};
const TVector4f NullHmgPoint = {0, 0, 0, 1};
const TQuat4f IdentityQuaternion = {0, 0, 0, 1};

namespace {

// pi/180 and 180/pi as the extended values nearest to them.
constexpr ld cPIdiv180 = 0.0174532925199432957692369076848861271L;
constexpr ld c180divPI = 57.2957795130823208767981548141051703L;
// The single constants of the single-precision conversions.
const float cPIdiv180Single = std::bit_cast<float>(0x3C8EFA35u);
const float c180divPISingle = std::bit_cast<float>(0x42652EE1u);
const float cInv360 = 0.0027777778f;

constexpr int32_t cIntegerIndefinite = std::numeric_limits<int32_t>::min();

// An extended value as the 32-bit integer the processor's conversion gives:
// out of range and not-a-number become the "integer indefinite".
int32_t ToInt32(ld Rounded)
{
    if (!(Rounded >= -2147483648.0L && Rounded <= 2147483647.0L))
        return cIntegerIndefinite;
    return static_cast<int32_t>(Rounded);
}

float Det3(ld A1, ld A2, ld A3, ld B1, ld B2, ld B3, ld C1, ld C2, ld C3)
{
    return static_cast<float>(A1 * (B2 * C3 - B3 * C2) - B1 * (A2 * C3 - A3 * C2) +
                              C1 * (A2 * B3 - A3 * B2));
}

// The 3x3 minor of M without row Skip and column Col, as a determinant.
float Minor(const TMatrix4x4f &M, int SkipRow, int SkipCol)
{
    float e[9];
    int n = 0;
    for (int i = 0; i < 4; ++i) {
        if (i == SkipRow)
            continue;
        for (int j = 0; j < 4; ++j)
            if (j != SkipCol)
                e[n++] = M[i][j];
    }
    // Rows of the minor are (e0 e1 e2), (e3 e4 e5), (e6 e7 e8); Determinant3x3
    // takes its nine singles as three rows too.
    return Determinant3x3(e[0], e[1], e[2], e[3], e[4], e[5], e[6], e[7], e[8]);
}

} // namespace

// ---- scalars ----

ld AffineLength(const TAffineVec3f &V)
{
    return std::sqrt(ld(V.X) * V.X + ld(V.Y) * V.Y + ld(V.Z) * V.Z);
}

ld HomogeneousLength(const TVector4f &V)
{
    return std::sqrt(ld(V.X) * V.X + ld(V.Y) * V.Y + ld(V.Z) * V.Z + ld(V.W) * V.W);
}

ld DegreesToRadians(ld Degrees) { return Degrees * cPIdiv180; }
ld RadiansToDegrees(ld Radians) { return Radians * c180divPI; }
ld DegreesToRadiansSingle(float Degrees) { return ld(Degrees) * ld(cPIdiv180Single); }
ld RadiansToDegreesSingle(float Radians) { return ld(Radians) * ld(c180divPISingle); }

ld ArcTangentYX(ld Y, ld X) { return std::atan2(Y, X); }
ld ArcTangentYXSingle(float Y, float X) { return ArcTangentYX(Y, X); }
ld ArcSine(ld X) { return ArcTangentYX(X, std::sqrt(1.0L - X * X)); }
ld ArcCosine(ld X) { return ArcTangentYX(std::sqrt(1.0L - X * X), X); }
ld ArcCosineSingle(float X) { return ArcCosine(X); }
ld Tangent(ld Angle) { return std::tan(Angle); }

int32_t NearestInteger(float X)
{
    // The default rounding mode is round to nearest, ties to even.
    return ToInt32(std::nearbyint(ld(X)));
}

int32_t TruncateToInteger(float X) { return ToInt32(std::trunc(ld(X))); }

ld IntegerPart(ld X) { return std::trunc(X); }
ld FractionalPart(ld X) { return X - std::trunc(X); }

void SineCosine(ld Angle, ld &Sine, ld &Cosine)
{
    Sine = std::sin(Angle);
    Cosine = std::cos(Angle);
}

void SineCosineSingle(float Angle, float &Sine, float &Cosine)
{
    Sine = static_cast<float>(std::sin(ld(Angle)));
    Cosine = static_cast<float>(std::cos(ld(Angle)));
}

ld InverseSquareRoot(float X) { return 1.0L / std::sqrt(ld(X)); }

float SinglePower(float Base, float Exponent)
{
    if (Exponent == 0)
        return 1;
    if (Base == 0 && Exponent > 0)
        return 0;
    return static_cast<float>(std::exp(ld(Exponent) * std::log(ld(Base))));
}

float NormalizeDegreesSingle(float Degrees)
{
    float r = static_cast<float>(Degrees - IntegerPart(ld(Degrees) * cInv360) * 360.0L);
    if (r > 180)
        return static_cast<float>(ld(r) - 360);
    if (r < -180)
        return static_cast<float>(ld(r) + 360);
    return r;
}

float MaxOfThree(float A, float B, float C)
{
    float m = A > B ? A : B;
    return m > C ? m : C;
}

float ClampSingle(float Value, float Min, float Max)
{
    if (Value < Min)
        return Min;
    if (Value > Max)
        return Max;
    return Value;
}

// ---- construction ----

TAffineVec3f AffineMake(float X, float Y, float Z) { return {X, Y, Z}; }
TAffineVec3d AffineToDouble(const TAffineVec3f &V) { return {V.X, V.Y, V.Z}; }
TVector4f HomogeneousMake(float X, float Y, float Z, float W) { return {X, Y, Z, W}; }
TVector4f HomogeneousFromAffine(const TAffineVec3f &V, float W) { return {V.X, V.Y, V.Z, W}; }
TVector4f PointOf(float X, float Y, float Z) { return {X, Y, Z, 1}; }
TVector4f PointFromAffine(const TAffineVec3f &V) { return {V.X, V.Y, V.Z, 1}; }
TVector4f DirectionFromAffine(const TAffineVec3f &V) { return {V.X, V.Y, V.Z, 0}; }
TAffineVec3f AffinePart(const TVector4f &V) { return {V.X, V.Y, V.Z}; }

// ---- arithmetic ----

TAffineVec3f AffineAdd(const TAffineVec3f &A, const TAffineVec3f &B)
{
    return {A.X + B.X, A.Y + B.Y, A.Z + B.Z};
}

TVector4f HomogeneousAdd(const TVector4f &A, const TVector4f &B)
{
    return {A.X + B.X, A.Y + B.Y, A.Z + B.Z, A.W + B.W};
}

void AffineAddTo(TAffineVec3f &A, const TAffineVec3f &B) { A = AffineAdd(A, B); }
void HomogeneousAddTo(TVector4f &A, const TVector4f &B) { A = HomogeneousAdd(A, B); }

void AffineArrayOffset(const TAffineVec3f *Src, const TAffineVec3f &Delta, int N,
                       TAffineVec3f *Dest)
{
    for (int i = 0; i < N; ++i)
        Dest[i] = AffineAdd(Src[i], Delta);
}

TAffineVec3f AffineSubtract(const TAffineVec3f &A, const TAffineVec3f &B)
{
    return {A.X - B.X, A.Y - B.Y, A.Z - B.Z};
}

TVector4f HomogeneousSubtract(const TVector4f &A, const TVector4f &B)
{
    return {A.X - B.X, A.Y - B.Y, A.Z - B.Z, A.W - B.W};
}

void HomogeneousSubtractFrom(TVector4f &A, const TVector4f &B) { A = HomogeneousSubtract(A, B); }

void AffineCombineInto(TAffineVec3f &R, const TAffineVec3f &V, float F)
{
    for (int i = 0; i < 3; ++i)
        R[i] = static_cast<float>(ld(R[i]) + ld(V[i]) * F);
}

TVector4f HomogeneousCombine(float F1, const TVector4f &V1, float F2, const TVector4f &V2)
{
    TVector4f r;
    for (int i = 0; i < 4; ++i)
        r[i] = static_cast<float>(ld(F1) * V1[i] + ld(F2) * V2[i]);
    return r;
}

void AffineScaleBy(TAffineVec3f &V, float F) { V = AffineScaled(V, F); }
void HomogeneousScaleBy(TVector4f &V, float F) { V = HomogeneousScaled(V, F); }
TAffineVec3f AffineScaled(const TAffineVec3f &V, float F) { return {V.X * F, V.Y * F, V.Z * F}; }

TVector4f HomogeneousScaled(const TVector4f &V, float F)
{
    return {V.X * F, V.Y * F, V.Z * F, V.W * F};
}

void HomogeneousMultiplyBy(TVector4f &A, const TVector4f &B)
{
    for (int i = 0; i < 4; ++i)
        A[i] *= B[i];
}

void AffineNegate(TAffineVec3f &V) { V = {-V.X, -V.Y, -V.Z}; }

TAffineVec3f AffineLerp(const TAffineVec3f &A, const TAffineVec3f &B, float T)
{
    TAffineVec3f r;
    for (int i = 0; i < 3; ++i)
        r[i] = static_cast<float>(A[i] + (ld(B[i]) - A[i]) * T);
    return r;
}

TVector4f HomogeneousLerp(const TVector4f &A, const TVector4f &B, float T)
{
    TVector4f r;
    for (int i = 0; i < 4; ++i)
        r[i] = static_cast<float>(A[i] + (ld(B[i]) - A[i]) * T);
    return r;
}

void AffineArrayLerp(const TAffineVec3f *A, const TAffineVec3f *B, float T, int N,
                     TAffineVec3f *Into)
{
    for (int i = 0; i < N; ++i)
        Into[i] = AffineLerp(A[i], B[i], T);
}

void HomogeneousArrayLerp(const TVector4f *A, const TVector4f *B, float T, int N, TVector4f *Into)
{
    for (int i = 0; i < N; ++i)
        Into[i] = HomogeneousLerp(A[i], B[i], T);
}

// ---- products, norms, distances, tests ----

ld AffineDot(const TAffineVec3f &A, const TAffineVec3f &B)
{
    return ld(A.X) * B.X + ld(A.Y) * B.Y + ld(A.Z) * B.Z;
}

ld HomogeneousDot(const TVector4f &A, const TVector4f &B)
{
    return ld(A.X) * B.X + ld(A.Y) * B.Y + ld(A.Z) * B.Z + ld(A.W) * B.W;
}

TAffineVec3f AffineCross(const TAffineVec3f &A, const TAffineVec3f &B)
{
    return {static_cast<float>(ld(A.Y) * B.Z - ld(A.Z) * B.Y),
            static_cast<float>(ld(A.Z) * B.X - ld(A.X) * B.Z),
            static_cast<float>(ld(A.X) * B.Y - ld(A.Y) * B.X)};
}

TVector4f HomogeneousCross(const TVector4f &A, const TVector4f &B)
{
    return DirectionFromAffine(AffineCross(AffinePart(A), AffinePart(B)));
}

ld PlanarLength(float X, float Y) { return std::sqrt(ld(X) * X + ld(Y) * Y); }
float PlanarNorm(float X, float Y) { return static_cast<float>(ld(X) * X + ld(Y) * Y); }
ld AffineNorm(const TAffineVec3f &V) { return AffineDot(V, V); }
ld HomogeneousNorm(const TVector4f &V) { return AffineNorm(AffinePart(V)); }

void AffineNormalize(TAffineVec3f &V) { V = AffineNormalized(V); }

TAffineVec3f AffineNormalized(const TAffineVec3f &V)
{
    ld f = 1.0L / AffineLength(V);
    return {static_cast<float>(V.X * f), static_cast<float>(V.Y * f),
            static_cast<float>(V.Z * f)};
}

void AffineArrayNormalize(TAffineVec3f *V, int N)
{
    for (int i = 0; i < N; ++i)
        AffineNormalize(V[i]);
}

void HomogeneousNormalize(TVector4f &V) { V = HomogeneousNormalized(V); }

TVector4f HomogeneousNormalized(const TVector4f &V)
{
    return DirectionFromAffine(AffineNormalized(AffinePart(V)));
}

bool AffineEquals(const TAffineVec3f &A, const TAffineVec3f &B)
{
    for (int i = 0; i < 3; ++i)
        if (std::bit_cast<uint32_t>(A[i]) != std::bit_cast<uint32_t>(B[i]))
            return false;
    return true;
}

bool HomogeneousEquals(const TVector4f &A, const TVector4f &B)
{
    for (int i = 0; i < 4; ++i)
        if (std::bit_cast<uint32_t>(A[i]) != std::bit_cast<uint32_t>(B[i]))
            return false;
    return true;
}

bool AffineIsNull(const TAffineVec3f &V) { return V.X == 0 && V.Y == 0 && V.Z == 0; }

ld AffineSpacing(const TAffineVec3f &A, const TAffineVec3f &B)
{
    return std::fabs(ld(A.X) - B.X) + std::fabs(ld(A.Y) - B.Y) + std::fabs(ld(A.Z) - B.Z);
}

ld AffineDistance2(const TAffineVec3f &A, const TAffineVec3f &B)
{
    ld dx = ld(A.X) - B.X, dy = ld(A.Y) - B.Y, dz = ld(A.Z) - B.Z;
    return dx * dx + dy * dy + dz * dz;
}

ld AffineDistance(const TAffineVec3f &A, const TAffineVec3f &B)
{
    return std::sqrt(AffineDistance2(A, B));
}

ld HomogeneousDistance2(const TVector4f &A, const TVector4f &B)
{
    return AffineDistance2(AffinePart(A), AffinePart(B));
}

TAffineVec3f AffinePlaneProject(const TAffineVec3f &V, const TAffineVec3f &N)
{
    float d = static_cast<float>(AffineDot(V, N));
    TAffineVec3f r;
    for (int i = 0; i < 3; ++i)
        r[i] = static_cast<float>(V[i] - ld(d) * N[i]);
    return r;
}

ld AffineMaxComponent(const TAffineVec3f &V) { return MaxOfThree(V.X, V.Y, V.Z); }

// ---- matrices ----

TMatrix4x4f MatrixProduct(const TMatrix4x4f &A, const TMatrix4x4f &B)
{
    TMatrix4x4f r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r[i][j] = static_cast<float>(ld(A[i][0]) * B[0][j] + ld(A[i][1]) * B[1][j] +
                                         ld(A[i][2]) * B[2][j] + ld(A[i][3]) * B[3][j]);
    return r;
}

TVector4f TransformByMatrix(const TVector4f &V, const TMatrix4x4f &M)
{
    TVector4f r;
    for (int j = 0; j < 4; ++j)
        r[j] = static_cast<float>(ld(V.X) * M[0][j] + ld(V.Y) * M[1][j] + ld(V.Z) * M[2][j] +
                                  ld(V.W) * M[3][j]);
    return r;
}

TMatrix4x4f ScaleTranslationMatrix(const TVector4f &Scale, const TVector4f &Offset)
{
    TMatrix4x4f r = IdentityHmgMatrix;
    r[0][0] = Scale.X;
    r[1][1] = Scale.Y;
    r[2][2] = Scale.Z;
    r[3] = {Offset.X, Offset.Y, Offset.Z, 1};
    return r;
}

TMatrix4x4f AxisRotationMatrix(const TAffineVec3f &Axis, float Angle)
{
    TAffineVec3f n = AffineNormalized(Axis);
    ld x = n.X, y = n.Y, z = n.Z;
    float sf, cf;
    SineCosineSingle(Angle, sf, cf);
    ld s = sf, c = cf, t = 1 - c;
    auto f = [](ld v) { return static_cast<float>(v); };
    TMatrix4x4f r;
    r[0] = {f(t * x * x + c), f(t * x * y - z * s), f(t * z * x + y * s), 0};
    r[1] = {f(t * x * y + z * s), f(t * y * y + c), f(t * y * z - x * s), 0};
    r[2] = {f(t * z * x - y * s), f(t * y * z + x * s), f(t * z * z + c), 0};
    r[3] = {0, 0, 0, 1};
    return r;
}

void RotateAroundAxis(TVector4f &V, const TAffineVec3f &Axis, float Angle)
{
    V = TransformByMatrix(V, AxisRotationMatrix(Axis, Angle));
}

float Determinant3x3(float A1, float A2, float A3, float B1, float B2, float B3, float C1, float C2,
                     float C3)
{
    // Rows (A1 A2 A3), (B1 B2 B3), (C1 C2 C3).
    return Det3(A1, B1, C1, A2, B2, C2, A3, B3, C3);
}

float DeterminantOf(const TMatrix4x4f &M)
{
    return static_cast<float>(ld(M[0][0]) * Minor(M, 0, 0) - ld(M[0][1]) * Minor(M, 0, 1) +
                              ld(M[0][2]) * Minor(M, 0, 2) - ld(M[0][3]) * Minor(M, 0, 3));
}

void MatrixAdjoint(TMatrix4x4f &M)
{
    TMatrix4x4f a;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float m = Minor(M, i, j);
            // The cofactor of (i, j) goes to (j, i): the adjoint is transposed.
            a[j][i] = ((i + j) % 2 == 0) ? m : -m;
        }
    M = a;
}

void MatrixScaleBy(TMatrix4x4f &M, float Factor)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            M[i][j] = static_cast<float>(ld(M[i][j]) * Factor);
}

void TransposeInPlace(TMatrix4x4f &M)
{
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) {
            float t = M[i][j];
            M[i][j] = M[j][i];
            M[j][i] = t;
        }
}

void MatrixInverse(TMatrix4x4f &M)
{
    float d = DeterminantOf(M);
    if (std::fabs(d) < EPSILON) {
        M = IdentityHmgMatrix;
        return;
    }
    MatrixAdjoint(M);
    MatrixScaleBy(M, static_cast<float>(1.0L / d));
}

TMatrix4x4f InvertRigidMatrix(const TMatrix4x4f &M)
{
    ld s = AffineNorm(AffinePart(M[0]));
    if (std::fabs(s) < EPSILON)
        return IdentityHmgMatrix;
    ld f = 1.0L / s;
    TMatrix4x4f r;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            r[i][j] = static_cast<float>(M[j][i] * f);
        r[i][3] = 0;
    }
    for (int j = 0; j < 3; ++j)
        r[3][j] = static_cast<float>(
            -(ld(r[0][j]) * M[3][0] + ld(r[1][j]) * M[3][1] + ld(r[2][j]) * M[3][2]));
    r[3][3] = 1;
    return r;
}

void OrthonormalizeMatrix(TMatrix4x4f &M)
{
    M[0][3] = 0;
    HomogeneousNormalize(M[0]);
    M[1][3] = 0;
    HomogeneousNormalize(M[1]);
    M[2] = HomogeneousCross(M[0], M[1]);
    M[0] = HomogeneousCross(M[1], M[2]);
    M[3] = {0, 0, 0, 1};
}

bool DecomposeMatrix(const TMatrix4x4f &M, TDecomposedTransform &Tran)
{
    TMatrix4x4f L = M;
    if (L[3][3] == 0)
        return false;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            L[i][j] = static_cast<float>(ld(L[i][j]) / M[3][3]);
    TMatrix4x4f P = L;
    for (int i = 0; i < 3; ++i)
        P[i][3] = 0;
    P[3][3] = 1;
    if (DeterminantOf(P) == 0)
        return false;

    if (L[0][3] != 0 || L[1][3] != 0 || L[2][3] != 0) {
        TVector4f rhs = {L[0][3], L[1][3], L[2][3], L[3][3]};
        TMatrix4x4f inv = P;
        MatrixInverse(inv);
        TransposeInPlace(inv);
        TVector4f persp = TransformByMatrix(rhs, inv);
        Tran.PerspectiveX = persp.X;
        Tran.PerspectiveY = persp.Y;
        Tran.PerspectiveZ = persp.Z;
        Tran.PerspectiveW = persp.W;
        L[0][3] = L[1][3] = L[2][3] = 0;
        L[3][3] = 1;
    } else {
        Tran.PerspectiveX = Tran.PerspectiveY = Tran.PerspectiveZ = Tran.PerspectiveW = 0;
    }

    Tran.TranslateX = L[3][0];
    Tran.TranslateY = L[3][1];
    Tran.TranslateZ = L[3][2];
    L[3][0] = L[3][1] = L[3][2] = 0;

    TAffineVec3f row[3] = {AffinePart(L[0]), AffinePart(L[1]), AffinePart(L[2])};
    // Scale and shear by Gram-Schmidt over the rows.
    Tran.ScaleX = static_cast<float>(AffineLength(row[0]));
    row[0] = AffineNormalized(row[0]);
    Tran.ShearXY = static_cast<float>(AffineDot(row[0], row[1]));
    AffineCombineInto(row[1], row[0], -Tran.ShearXY);
    Tran.ScaleY = static_cast<float>(AffineLength(row[1]));
    row[1] = AffineNormalized(row[1]);
    Tran.ShearXY = static_cast<float>(ld(Tran.ShearXY) / Tran.ScaleY);
    Tran.ShearXZ = static_cast<float>(AffineDot(row[0], row[2]));
    AffineCombineInto(row[2], row[0], -Tran.ShearXZ);
    Tran.ShearYZ = static_cast<float>(AffineDot(row[1], row[2]));
    AffineCombineInto(row[2], row[1], -Tran.ShearYZ);
    Tran.ScaleZ = static_cast<float>(AffineLength(row[2]));
    row[2] = AffineNormalized(row[2]);
    Tran.ShearXZ = static_cast<float>(ld(Tran.ShearXZ) / Tran.ScaleZ);
    Tran.ShearYZ = static_cast<float>(ld(Tran.ShearYZ) / Tran.ScaleZ);

    // A left-handed system: flip the scales and the rows.
    if (AffineDot(row[0], AffineCross(row[1], row[2])) < 0) {
        Tran.ScaleX = -Tran.ScaleX;
        Tran.ScaleY = -Tran.ScaleY;
        Tran.ScaleZ = -Tran.ScaleZ;
        for (auto &r : row)
            AffineNegate(r);
    }

    Tran.RotateY = static_cast<float>(ArcSine(-ld(row[0].Z)));
    if (std::cos(ld(Tran.RotateY)) != 0) {
        Tran.RotateX = static_cast<float>(ArcTangentYX(row[1].Z, row[2].Z));
        Tran.RotateZ = static_cast<float>(ArcTangentYX(row[0].Y, row[0].X));
    } else {
        Tran.RotateX = static_cast<float>(ArcTangentYX(row[1].X, row[1].Y));
        Tran.RotateZ = 0;
    }
    return true;
}

// ---- quaternions and angles ----

float QuatMagnitude(const TQuat4f &Q)
{
    return static_cast<float>(
        std::sqrt(ld(Q.X) * Q.X + ld(Q.Y) * Q.Y + ld(Q.Z) * Q.Z + ld(Q.W) * Q.W));
}

void QuatNormalize(TQuat4f &Q)
{
    float m = QuatMagnitude(Q);
    if (m > EPSILON2) {
        float f = static_cast<float>(1.0L / m);
        Q = {Q.X * f, Q.Y * f, Q.Z * f, Q.W * f};
    } else {
        Q = IdentityQuaternion;
    }
}

TQuat4f QuatProduct(const TQuat4f &A, const TQuat4f &B)
{
    auto f = [](ld v) { return static_cast<float>(v); };
    return {f(ld(A.W) * B.X + ld(A.X) * B.W + ld(A.Y) * B.Z - ld(A.Z) * B.Y),
            f(ld(A.W) * B.Y + ld(A.Y) * B.W + ld(A.Z) * B.X - ld(A.X) * B.Z),
            f(ld(A.W) * B.Z + ld(A.Z) * B.W + ld(A.X) * B.Y - ld(A.Y) * B.X),
            f(ld(A.W) * B.W - ld(A.X) * B.X - ld(A.Y) * B.Y - ld(A.Z) * B.Z)};
}

TMatrix4x4f QuatToMatrix(const TQuat4f &Q)
{
    TQuat4f q = Q;
    QuatNormalize(q);
    // Products rounded to single before they are combined.
    auto p = [](float a, float b) { return static_cast<float>(ld(a) * b); };
    float xx = p(q.X, q.X), yy = p(q.Y, q.Y), zz = p(q.Z, q.Z);
    float xy = p(q.X, q.Y), xz = p(q.X, q.Z), yz = p(q.Y, q.Z);
    float xw = p(q.X, q.W), yw = p(q.Y, q.W), zw = p(q.Z, q.W);
    auto f = [](ld v) { return static_cast<float>(v); };
    TMatrix4x4f m;
    m[0] = {f(1 - 2 * (ld(yy) + zz)), f(2 * (ld(xy) + zw)), f(2 * (ld(xz) - yw)), 0};
    m[1] = {f(2 * (ld(xy) - zw)), f(1 - 2 * (ld(zz) + xx)), f(2 * (ld(yz) + xw)), 0};
    m[2] = {f(2 * (ld(xz) + yw)), f(2 * (ld(yz) - xw)), f(1 - 2 * (ld(xx) + yy)), 0};
    m[3] = {0, 0, 0, 1};
    return m;
}

TQuat4f QuatFromAxisAngle(const TAffineVec3f &Axis, float AngleDegrees)
{
    float h = static_cast<float>(DegreesToRadians(ld(AngleDegrees) * 0.5L));
    float s, c;
    SineCosineSingle(h, s, c);
    ld f = s / AffineLength(Axis);
    return {static_cast<float>(Axis.X * f), static_cast<float>(Axis.Y * f),
            static_cast<float>(Axis.Z * f), c};
}

TQuat4f QuatFromAnglesOrdered(int Order, float XDegrees, float YDegrees, float ZDegrees)
{
    // For each order, the slot (1..3) that qx, qy and qz take.
    static const int cSlots[6][3] = {{1, 2, 3}, {1, 3, 2}, {2, 1, 3},
                                     {2, 3, 1}, {3, 1, 2}, {3, 2, 1}};
    assert(Order >= 0 && Order <= 5);
    TQuat4f q[3] = {QuatFromAxisAngle(XVector, XDegrees), QuatFromAxisAngle(YVector, YDegrees),
                    QuatFromAxisAngle(ZVector, ZDegrees)};
    TQuat4f slot[3];
    for (int i = 0; i < 3; ++i)
        slot[cSlots[Order][i] - 1] = q[i];
    return QuatProduct(slot[0], QuatProduct(slot[1], slot[2]));
}

TQuat4f QuatFromAngles(int Order, float XDegrees, float YDegrees, float ZDegrees)
{
    assert(Order >= 0 && Order <= 5);
    float a[3] = {NormalizeDegreesSingle(XDegrees), NormalizeDegreesSingle(YDegrees),
                  NormalizeDegreesSingle(ZDegrees)};
    // The angle whose +-90 degrees locks the gimbal for this order.
    static const int cTested[6] = {1, 2, 0, 2, 0, 1};
    int t = cTested[Order];
    if (std::fabs(std::fabs(ld(a[t])) - 90) > EPSILON2)
        return QuatFromAnglesOrdered(Order, a[0], a[1], a[2]);
    float lo[3] = {a[0], a[1], a[2]}, hi[3] = {a[0], a[1], a[2]};
    lo[t] = static_cast<float>(ld(a[t]) - 0.001L);
    hi[t] = static_cast<float>(ld(a[t]) + 0.001L);
    return QuatSlerp(QuatFromAnglesOrdered(Order, lo[0], lo[1], lo[2]),
                     QuatFromAnglesOrdered(Order, hi[0], hi[1], hi[2]), 0.5f);
}

TQuat4f QuatSlerp(const TQuat4f &A, const TQuat4f &B, float T)
{
    TQuat4f b = B;
    ld c = ld(A.X) * b.X + ld(A.Y) * b.Y + ld(A.Z) * b.Z + ld(A.W) * b.W;
    if (c < 0) {
        c = -c;
        b = {-b.X, -b.Y, -b.Z, -b.W};
    }
    ld f0, f1;
    if (1 - c > EPSILON2) {
        ld w = ArcCosine(c);
        ld s = std::sin(w);
        f0 = std::sin((1 - ld(T)) * w) / s;
        f1 = std::sin(ld(T) * w) / s;
    } else {
        f0 = 1 - ld(T);
        f1 = T;
    }
    auto f = [](ld v) { return static_cast<float>(v); };
    TQuat4f r = {f(f0 * A.X + f1 * b.X), f(f0 * A.Y + f1 * b.Y), f(f0 * A.Z + f1 * b.Z),
                 f(f0 * A.W + f1 * b.W)};
    QuatNormalize(r);
    return r;
}

TAffineVec3f InterpolateAngle(const TAffineVec3f &A, const TAffineVec3f &B, float T)
{
    if (AffineEquals(A, B))
        return A;
    auto quat = [](const TAffineVec3f &V) {
        auto deg = [](float r) { return static_cast<float>(RadiansToDegreesSingle(r)); };
        return QuatFromAngles(5, deg(V.X), deg(V.Y), deg(V.Z));
    };
    TDecomposedTransform d;
    DecomposeMatrix(QuatToMatrix(QuatSlerp(quat(A), quat(B), T)), d);
    return {d.RotateX, d.RotateY, d.RotateZ};
}

// ---- visibility ----

int RaySphereIntersect(const TVector4f &RayOrigin, const TVector4f &RayDirection,
                       const TVector4f &Centre, float Radius, TVector4f &I1, TVector4f &I2)
{
    float d = static_cast<float>(HomogeneousDot(RayDirection, HomogeneousSubtract(Centre, RayOrigin)));
    TVector4f p = HomogeneousCombine(1, RayOrigin, d, RayDirection);
    ld x = ld(Radius) * Radius - HomogeneousDistance2(Centre, p);
    if (x < 0)
        return 0;
    if (x == 0) {
        if (d > 0) {
            I1 = p;
            return 1;
        }
        return 0;
    }
    ld s = std::sqrt(x);
    auto along = [&](ld t) { return HomogeneousCombine(1, RayOrigin, float(t), RayDirection); };
    if (d - s >= 0) {
        I1 = along(d - s);
        I2 = along(d + s);
        return 2;
    }
    if (d + s >= 0) {
        I1 = along(d + s);
        return 1;
    }
    return 0;
}

bool SphereCulled(const TVector4f &Centre, float Radius, const TViewClippingInfo &View)
{
    TAffineVec3f v = AffinePart(HomogeneousSubtract(Centre, View.CameraPosition));
    TAffineVec3f dir = AffinePart(View.CameraDirection);
    float d = static_cast<float>(AffineDot(v, dir));
    if (ld(d) + Radius <= 0 || ld(d) - Radius >= View.FarClippingDistance)
        return true;
    if (d <= 0)
        return !(ld(Radius) * Radius >= AffineNorm(v));
    ld q = AffineDistance2(v, AffineScaled(dir, d));
    ld r = Radius + ld(d) * 1.1L * View.ViewPortRadius;
    return !(r * r >= q);
}

bool BoxCulled(const TVector4f &Min, const TVector4f &Max, const TViewClippingInfo &View)
{
    TVector4f centre = HomogeneousScaled(HomogeneousAdd(Min, Max), 0.5f);
    centre.W = 1;
    float radius = static_cast<float>(AffineDistance(AffinePart(Min), AffinePart(Max)) * 0.5L);
    return SphereCulled(centre, radius, View);
}

} // namespace orv
