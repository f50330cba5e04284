#pragma once
// The picture of a cutter type ("TOOL1" to "TOOL11"): a side view of the
// shank and the cutting end, drawn for the tool windows.

#include "engine/core/data_types.h"

#include <QPixmap>

namespace orv {

// Picture of the cutter type, Width x Height pixels.
QPixmap CutterPicture(TCutter_types Type, int Width = 64, int Height = 96);

} // namespace orv
