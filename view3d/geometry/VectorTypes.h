#pragma once
// The value types of the scene graph: affine and homogeneous vectors,
// texture points, 4x4 matrices and quaternions, all single precision and
// copied by value. Points are row vectors, transformed as p' = p . M, with a
// transform's translation in row 3 (the memory order OpenGL takes).

namespace orv {

struct TAffineVec3f {
    float X = 0, Y = 0, Z = 0;
    float &operator[](int i) { return this->*Member[i]; }
    float operator[](int i) const { return this->*Member[i]; }

private:
    static constexpr float TAffineVec3f::*Member[3] = {&TAffineVec3f::X, &TAffineVec3f::Y,
                                                       &TAffineVec3f::Z};
};

struct TAffineVec3d {
    double X = 0, Y = 0, Z = 0;
};

// A direction (W = 0) or a point (W = 1); a colour keeps R, G, B, A here.
struct TVector4f {
    float X = 0, Y = 0, Z = 0, W = 0;
    float &operator[](int i) { return this->*Member[i]; }
    float operator[](int i) const { return this->*Member[i]; }

private:
    static constexpr float TVector4f::*Member[4] = {&TVector4f::X, &TVector4f::Y, &TVector4f::Z,
                                                    &TVector4f::W};
};

struct TTexPoint {
    float S = 0, T = 0;
};

// Four rows, row 0 first.
struct TMatrix4x4f {
    TVector4f Row[4];
    TVector4f &operator[](int i) { return Row[i]; }
    const TVector4f &operator[](int i) const { return Row[i]; }
};

// X, Y, Z the imaginary part, W the real part.
struct TQuat4f {
    float X = 0, Y = 0, Z = 0, W = 1;
};

// Result of DecomposeMatrix, in this order.
struct TDecomposedTransform {
    float ScaleX = 0, ScaleY = 0, ScaleZ = 0;
    float ShearXY = 0, ShearXZ = 0, ShearYZ = 0;
    float RotateX = 0, RotateY = 0, RotateZ = 0; // radians
    float TranslateX = 0, TranslateY = 0, TranslateZ = 0;
    float PerspectiveX = 0, PerspectiveY = 0, PerspectiveZ = 0, PerspectiveW = 0;
};

} // namespace orv
