#pragma once
// The glyphs of the main window's toolbar buttons, drawn at start-up on
// the transparent colour (magenta) in 24 by 24 pixels.
#include "components/toolbar/TbGlyphImage.h"

namespace orv {

enum TShellGlyph {
    glStart,
    glPause,
    glStop,
    glRewind,
    gl3D,
    gl2D,
    glVR,
    glMachine,
    glCompiled,
    glPost,
    glUnits,
    glOffsets,
    glTooling,
    glToolLib,
    glSkip,
    glSearch,
    glOpenGL,
    glBlank,
    glContinuous,
    glSingleStep,
    glUnitsInch
};

TBitmap32 ShellGlyph(int Glyph);
// The same glyph in 16 by 16 pixels, for toolbars with small icons.
TBitmap32 SmallShellGlyph(int Glyph);

} // namespace orv
