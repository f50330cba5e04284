#include "view3d/scene/GLScreen.h"

#include <cstdio>

namespace orv {

namespace {

constexpr int cMaxModes = 200;

} // namespace

TGLScreen::TGLScreen(TDisplayModePlatform &Platform) : FPlatform(Platform)
{
    TVideoMode desktop = FPlatform.DesktopMode();
    desktop.Description = "default";
    FModes.push_back(desktop);
    for (const TVideoMode &m : FPlatform.EnumModes()) {
        if (ModeCount() > cMaxModes)
            break;
        AddMode(m);
    }
    // A driver that claims a mode no device has cannot be trusted with tests.
    if (FPlatform.TestMode(42, 37, 8))
        return;
    static const int widths[] = {320, 360}, heights[] = {200, 240, 350, 400, 480},
                     depths[] = {8, 15, 16, 24, 32};
    std::vector<TVideoMode> standard;
    for (int w : widths)
        for (int h : heights)
            for (int d : depths)
                standard.push_back({uint16_t(w), uint16_t(h), uint8_t(d), {}});
    for (int d : depths)
        standard.push_back({400, 300, uint8_t(d), {}});
    for (int d : {8, 15, 16, 24})
        standard.push_back({512, 384, uint8_t(d), {}});
    for (const TVideoMode &m : standard) {
        if (ModeCount() > cMaxModes)
            break;
        AddMode(m);
    }
}

TGLScreen::~TGLScreen()
{
    if (FCurrent != 0)
        RestoreDisplayMode();
}

void TGLScreen::AddMode(const TVideoMode &Mode)
{
    for (size_t i = 1; i < FModes.size(); ++i)
        if (FModes[i].ColorDepth == Mode.ColorDepth && FModes[i].Width == Mode.Width &&
            FModes[i].Height == Mode.Height)
            return;
    if (!FPlatform.TestMode(Mode.Width, Mode.Height, Mode.ColorDepth))
        return;
    TVideoMode m = Mode;
    char text[64];
    std::snprintf(text, sizeof text, "%d x %d, %d bpp", m.Width, m.Height, m.ColorDepth);
    m.Description = text;
    FModes.push_back(m);
}

int TGLScreen::NearestMode(int Width, int Height, int Depth) const
{
    int best = 0, dw = 9999, dh = 9999, dd = 99;
    for (int i = 1; i < ModeCount(); ++i) {
        const TVideoMode &m = FModes[size_t(i)];
        if (m.Width < Width || m.Height < Height || m.ColorDepth < Depth)
            continue;
        const int w = m.Width - Width, h = m.Height - Height, d = m.ColorDepth - Depth;
        if (w <= dw && h <= dh && d <= dd) {
            best = i;
            dw = w;
            dh = h;
            dd = d;
        }
    }
    return best;
}

bool TGLScreen::SwitchDisplayMode(int Index)
{
    const TVideoMode &m = Mode(Index);
    if (!FPlatform.ChangeMode(m.Width, m.Height, m.ColorDepth))
        return false;
    FCurrent = Index;
    return true;
}

void TGLScreen::RestoreDisplayMode()
{
    FPlatform.RestoreMode();
    FCurrent = 0;
}

} // namespace orv
