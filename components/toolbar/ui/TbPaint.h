#pragma once
// Painting helpers of the toolbar family: the system colours as Qt colours,
// the 3D edges of buttons and tool windows, the etched separator lines, the
// checkerboard of a held-down button and glyph images as Qt images.

#include "components/toolbar/TbTypes.h"

#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;
class QBrush;

namespace orv {

struct TBitmap32;

QColor SysColor(uint32_t Rgb);

enum TEdgeKind : uint8_t {
    ekRaised,      // outer and inner raised: a non-flat button up
    ekSunken,      // outer and inner sunken: a non-flat button pushed
    ekRaisedInner, // one ring: a flat button hot, a docked tool window
    ekSunkenOuter, // one ring: a flat button pushed, a flat edit
};

// Draws the edge rings inside R (R is right/bottom exclusive).
void DrawEdge(QPainter &P, const QRect &R, TEdgeKind Kind);

// The 8x8 checkerboard of face and highlight behind a held-down button.
const QBrush &DitherBrush();
// Drops the checkerboard (after a system-colour change).
void DropDitherBrush();

// A view of a glyph image as a Qt image (copies the pixels).
QImage ToQImage(const TBitmap32 &Bitmap);
TBitmap32 FromQImage(const QImage &Image);

QRect ToQRect(const TRect &R);
TRect FromQRect(const QRect &R);

} // namespace orv
