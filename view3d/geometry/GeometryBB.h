#pragma once
// Bounding boxes of scene objects: an eight-corner box that follows a
// transform and merges with the boxes of children, and its axis-aligned
// minimum and maximum.
//
//        4-------0        corner signs (X, Y, Z): 0 +++, 1 +-+, 2 +--, 3 ++-,
//       /|      /|                                4 -++, 5 --+, 6 ---, 7 -+-
//      7-------3 |        faces: 0 +X (0 1 2 3), 1 -X (4 5 6 7), 2 +Y (0 4 7 3),
//      | 5-----|-1               3 -Y (1 5 6 2), 4 +Z (0 1 5 4), 5 -Z (2 3 7 6)
//      |/      |/
//      6-------2

#include "view3d/geometry/VectorTypes.h"

namespace orv {

struct TCornerBox {
    TVector4f Corner[8]; // W = 1
};

struct TAxisBox {
    TAffineVec3f Min, Max;
};

// The coordinate of Face (X for 0 and 1, Y for 2 and 3, Z for 4 and 5)
// becomes Value at its four corners, whose W becomes 1.
void SetBoxFace(TCornerBox &Box, int Face, float Value);
// Face 2i gets +H[i], face 2i + 1 gets -H[i].
void BoxFromHalfExtents(TCornerBox &Box, const TVector4f &H);
void TransformBox(TCornerBox &Box, const TMatrix4x4f &M);
// Pushes the faces of Box out to enclose every corner of Other.
void GrowBox(TCornerBox &Box, const TCornerBox &Other);
TAxisBox BoxToAxisBox(const TCornerBox &Box);

} // namespace orv
