// Feeds arbitrary bytes to the reader of the control's saved picture. A
// file it takes must be in the saved layout, and its pixels saved again
// from an image must read back the same.
#include "platform/fuzz/FuzzSupport.h"
#include "simcontrol/render/DibSurface.h"
#include "simcontrol/render/PaletteTable.h"
#include "simcontrol/render/SavedImage.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    const std::string name = orv::FuzzFile("fuzz.bmp", Data, Size);
    const std::string again = orv::FuzzFolder() + "again.bmp";
    orv::CSavedBitmap bitmap;
    std::string error;
    if (!orv::ReadSavedBitmap(name, bitmap, error)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    if (bitmap.Width <= 0 || bitmap.Height <= 0 || bitmap.Width % 4 != 0 ||
        bitmap.Colours.size() != 226 ||
        bitmap.Pixels.size() != size_t(bitmap.Width) * size_t(bitmap.Height) ||
        Size != orv::SavedPixelOffset + bitmap.Pixels.size())
        std::abort();
    orv::CDibSurface image;
    image.Create(bitmap.Width, bitmap.Height);
    for (int row = 0; row < bitmap.Height; ++row)
        for (int x = 0; x < bitmap.Width; ++x)
            image.SetPixel(x, row, bitmap.Pixels[size_t(row) * size_t(bitmap.Width) + size_t(x)]);
    static const orv::CPaletteTable palette;
    orv::CSavedBitmap reread;
    if (!orv::SaveBitmap(again, image, palette) || !orv::ReadSavedBitmap(again, reread, error) ||
        reread.Width != bitmap.Width || reread.Height != bitmap.Height ||
        reread.Pixels != bitmap.Pixels)
        std::abort();
    return 0;
}
