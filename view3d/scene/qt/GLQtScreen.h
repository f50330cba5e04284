#pragma once
// The display-mode platform on Qt, which cannot switch modes: the desktop's
// mode is the only one, and a switch succeeds only to the mode in force
// (a full-screen viewer then runs at desktop size). Also tells the scene
// graph the screen's density, depth and the palette's system colours.

#include "view3d/scene/GLScreen.h"

namespace orv {

class TGLQtDisplayModes : public TDisplayModePlatform {
public:
    TVideoMode DesktopMode() override;
    std::vector<TVideoMode> EnumModes() override { return {DesktopMode()}; }
    bool TestMode(int Width, int Height, int Depth) override;
    bool ChangeMode(int Width, int Height, int Depth) override;
    void RestoreMode() override {}
};

// Screen density and depth from the primary screen, system colours from
// the application palette.
void InstallQtScreenServices();

} // namespace orv
