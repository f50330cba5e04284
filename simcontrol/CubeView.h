#pragma once
// The orientation viewer's drawing area: a shaded block the user turns to
// choose the view rotation and tilt, or whose lighting he moves; its
// values are the scene's viewer values, which the scene takes at the next
// billet. Draws into its own 8-bit image with the control's palette.

#include "simcontrol/render/DibSurface.h"

namespace orv {

struct CViewerValues;

class CCubeView {
public:
    explicit CCubeView(CViewerValues &Values) : FValues(Values) {}

    // A cursor point in a view of Width x Height pixels, by the drag mode:
    // 0 rotation and tilt, 1 tilt only, 2 light. Then the block is redrawn.
    void ApplyPoint(int X, int Y, int Width, int Height);
    // The remembered point of the current mode (light point in mode 2).
    void DragStartPoint(int &X, int &Y) const;
    // The block into an image of Width x Height pixels.
    void DrawBlock(int Width, int Height);
    const CDibSurface &Image() const { return FImage; }
    CViewerValues &Values() { return FValues; }
    double DrawTilt = 0.4472135955, DrawCos = 0.894427191;

private:
    CViewerValues &FValues;
    CDibSurface FImage;
};

} // namespace orv
