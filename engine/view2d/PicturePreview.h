#pragma once
// Rules of the open dialog's picture preview: the picture kept beside a
// program under the same name ("bmp", then "bm2", then "bm3"), and where a
// picture is drawn in the preview box.

#include "engine/view2d/View2dCanvas.h"

#include <string>

namespace orv {

// The companion picture of a program file, or empty when the name has no
// extension or none of the three exists.
std::string CompanionPicture(const std::string &ProgramFile);

// The rectangle a Width x Height picture takes in a BoxWidth x BoxHeight
// box: centred at its own size when it fits, else scaled to fit with its
// proportions kept, from the box's top-left corner.
TPixelRect PreviewRect(int Width, int Height, int BoxWidth, int BoxHeight);

// " (%dx%d)": the label under a loaded picture.
std::string PictureSizeText(int Width, int Height);

} // namespace orv
