#include "machine/ShapeUtils.h"

#include "engine/chain/Vectors.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

// Relative size below which the doubled triangle area counts as zero: the
// points are then on one line within the rounding of the coordinates.
constexpr double CollinearTolerance = 1e-12;

} // namespace

bool CircleFrom3Points(const TPoint3D &P1, const TPoint3D &P2, const TPoint3D &P3,
                       TPoint3D &Centre)
{
    // Work relative to P1 so that large machine coordinates keep their precision.
    const double bx = P2.X - P1.X, by = P2.Y - P1.Y;
    const double cx = P3.X - P1.X, cy = P3.Y - P1.Y;
    const double b2 = bx * bx + by * by;
    const double c2 = cx * cx + cy * cy;
    const double d = 2 * (bx * cy - by * cx);
    const double scale = std::max({b2, c2, 1e-300});
    if (!std::isfinite(d) || std::fabs(d) <= CollinearTolerance * scale)
        return false;
    Centre.X = P1.X + (cy * b2 - by * c2) / d;
    Centre.Y = P1.Y + (bx * c2 - cx * b2) / d;
    Centre.Z = 0;
    return true;
}

} // namespace orv
