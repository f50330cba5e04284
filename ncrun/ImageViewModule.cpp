// The 2D pictures of ncrun as a module of their own: ncrun loads it only when
// a run draws (--2d, --bm2, --2d-list), so that runs without pictures start
// without the graphics libraries. The engine's own code comes from ncrun.
#include "engine/view2d/ui/View2dImageView.h"

extern "C" __attribute__((visibility("default"))) orv::TForm2DView *
OrvNcrunImageView(int ClientWidth, int ClientHeight)
{
    return new orv::TImageView2D(ClientWidth, ClientHeight);
}
