#pragma once
// JPEG pictures through libjpeg, decoded to 24-bit B, G, R rows.

#include "view3d/scene/GLGraphics.h"

#include <stdexcept>
#include <string>

namespace orv {

class EInvalidGraphic : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "JPEG error #<code>" for data libjpeg refuses (nothing is kept).
TGLPicture DecodeJPEG(const uint8_t *Data, size_t Size);
// The picture of a file, chosen by its extension (".jpg", ".jpeg");
// EInvalidGraphic for another extension or a file that cannot be read.
TGLPicture LoadPictureFile(const std::string &FileName);

} // namespace orv
