#pragma once
// Turns the dexel model into the control's picture: an oblique parallel
// projection painted back to front (later rows and higher nodes over
// earlier pixels), the origin cross, the tool marker, the quick preview
// block, and the right-button probe that stamps a hole into the model.

namespace orv {

class CDexelModel;
class CDibSurface;

// Image column of grid column 0: the model centred in the image's stride.
int ImageX0(const CDexelModel &Model, const CDibSurface &Image);
// Every node of every cell, then the origin cross (image value 203).
void Render(const CDexelModel &Model, CDibSurface &Image);
// The marker of the last stamp: one pixel (Size 1) or a shank of
// trunc(c * Size) pixels, in the tool's marker colour (210 + tool number).
void DrawToolMarker(const CDexelModel &Model, CDibSurface &Image, int Size);
// A shaded block in the middle of the image that previews rotation, tilt
// and light; clears the model's rapid flag.
void RenderQuick(CDexelModel &Model, CDibSurface &Image);
// The right-button probe at a client pixel (X, Y from the top): a hole of
// 10 pixels radius down to 10 pixels below the bottom, where the pixel
// meets the billet's top plane; shown at the next render. Nothing at tilt
// 0 or without a model.
void Probe(CDexelModel &Model, const CDibSurface &Image, int X, int Y);

} // namespace orv
