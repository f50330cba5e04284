#include "view3d/geometry/GeometryBB.h"

#include "view3d/geometry/Geometry.h"

namespace orv {

namespace {

constexpr int cFaceCorners[6][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 4, 7, 3},
                                    {1, 5, 6, 2}, {0, 1, 5, 4}, {2, 3, 7, 6}};

int FaceAxis(int Face) { return Face / 2; }

// True when Value lies beyond the face at any of its four corners: above it
// for an even (positive) face, below it for an odd one.
bool IsBeyondFace(const TCornerBox &Box, int Face, float Value)
{
    const int axis = FaceAxis(Face);
    for (int c : cFaceCorners[Face]) {
        const float v = Box.Corner[c][axis];
        if (Face % 2 == 0 ? Value > v : Value < v)
            return true;
    }
    return false;
}

} // namespace

void SetBoxFace(TCornerBox &Box, int Face, float Value)
{
    const int axis = FaceAxis(Face);
    for (int c : cFaceCorners[Face]) {
        Box.Corner[c][axis] = Value;
        Box.Corner[c].W = 1;
    }
}

void BoxFromHalfExtents(TCornerBox &Box, const TVector4f &H)
{
    for (int i = 0; i < 3; ++i) {
        SetBoxFace(Box, 2 * i, H[i]);
        SetBoxFace(Box, 2 * i + 1, -H[i]);
    }
}

void TransformBox(TCornerBox &Box, const TMatrix4x4f &M)
{
    for (TVector4f &c : Box.Corner)
        c = TransformByMatrix(c, M);
}

void GrowBox(TCornerBox &Box, const TCornerBox &Other)
{
    for (const TVector4f &p : Other.Corner)
        for (int face = 0; face < 6; ++face)
            if (IsBeyondFace(Box, face, p[FaceAxis(face)]))
                SetBoxFace(Box, face, p[FaceAxis(face)]);
}

TAxisBox BoxToAxisBox(const TCornerBox &Box)
{
    TAxisBox r;
    r.Min = AffinePart(Box.Corner[0]);
    r.Max = r.Min;
    for (const TVector4f &c : Box.Corner)
        for (int i = 0; i < 3; ++i) {
            if (c[i] < r.Min[i])
                r.Min[i] = c[i];
            if (c[i] > r.Max[i])
                r.Max[i] = c[i];
        }
    return r;
}

} // namespace orv
