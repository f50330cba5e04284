#include "view3d/scene/qt/GLQtScreen.h"

#include "view3d/scene/GLCrossPlatform.h"
#include "view3d/scene/GLTexture.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

namespace orv {

namespace {

TColor ToColor(const QColor &C) { return TColor(C.red() | (C.green() << 8) | (C.blue() << 16)); }

// System colour indices in the order the classic scheme numbers them.
TColor PaletteColor(int Index)
{
    const QPalette p = QGuiApplication::palette();
    switch (Index) {
    case 5: // window background
        return ToColor(p.color(QPalette::Base));
    case 8: // window text
    case 18: // button text
        return ToColor(p.color(QPalette::ButtonText));
    case 13: // highlight
        return ToColor(p.color(QPalette::Highlight));
    case 14: // highlighted text
        return ToColor(p.color(QPalette::HighlightedText));
    case 15: // button face
        return ToColor(p.color(QPalette::Button));
    case 16: // button shadow
        return ToColor(p.color(QPalette::Dark));
    case 20: // button highlight
        return ToColor(p.color(QPalette::Light));
    default:
        return ToColor(p.color(QPalette::Window));
    }
}

} // namespace

TVideoMode TGLQtDisplayModes::DesktopMode()
{
    QScreen *s = QGuiApplication::primaryScreen();
    if (!s)
        return {0, 0, 0, {}};
    // Bits per pixel: an X screen of depth 24 keeps each pixel in 32 bits.
    const int depth = s->depth() == 24 ? 32 : s->depth();
    return {uint16_t(s->size().width()), uint16_t(s->size().height()), uint8_t(depth), {}};
}

bool TGLQtDisplayModes::TestMode(int Width, int Height, int Depth)
{
    const TVideoMode d = DesktopMode();
    return Width == d.Width && Height == d.Height && Depth == d.ColorDepth;
}

bool TGLQtDisplayModes::ChangeMode(int Width, int Height, int Depth)
{
    return TestMode(Width, Height, Depth);
}

void InstallQtScreenServices()
{
    ScreenInfo().PixelsPerInch = [] {
        QScreen *s = QGuiApplication::primaryScreen();
        return s ? int(s->logicalDotsPerInchX() + 0.5) : 96;
    };
    ScreenInfo().Depth = [] {
        QScreen *s = QGuiApplication::primaryScreen();
        return s ? s->depth() : 24;
    };
    SetSystemColorResolver(PaletteColor);
}

} // namespace orv
