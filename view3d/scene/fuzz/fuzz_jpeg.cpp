// Feeds arbitrary bytes to the JPEG texture reader: data libjpeg refuses
// must raise the reader's own error, and a picture it gives must be whole.
#include "view3d/scene/JPEGImage.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    orv::TGLPicture picture;
    try {
        picture = orv::DecodeJPEG(Data, Size);
    } catch (const orv::EInvalidGraphic &) {
        return 0;
    }
    if (picture.Width <= 0 || picture.Height <= 0 ||
        picture.BGR.size() != size_t(picture.Width) * size_t(picture.Height) * 3)
        std::abort();
    return 0;
}
