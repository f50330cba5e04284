// Feeds arbitrary bytes to the GIF block reader. A picture it takes must
// keep to its limits, and every image it hands on (re-wrapped as a GIF of
// its own) must read back as that one image, unchanged.
#include "components/gif/GIFReader.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    const std::string data(reinterpret_cast<const char *>(Data), Size);
    orv::TGIFFile file;
    std::string error;
    size_t calls = 0;
    const orv::TGIFProgress progress = [&](size_t Done, size_t Total, bool &Keep) {
        if (Done > Total || Total != Size)
            std::abort();
        ++calls;
    };
    const bool firstOnly = Size > 10 && (Data[10] & 0x20) != 0; // a bit of the screen byte
    if (!orv::ReadGIF(data, file, error, firstOnly, progress)) {
        if (error.empty() || !file.Frames.empty())
            std::abort();
        return 0;
    }
    if (file.Frames.empty() || int(file.Frames.size()) > orv::GIFMaxFrames ||
        (firstOnly && file.Frames.size() != 1))
        std::abort();
    if (int64_t(file.LogicalWidth) * file.LogicalHeight > orv::GIFMaxPixels)
        std::abort();
    for (const orv::TGIFFrame &frame : file.Frames) {
        if (frame.Width <= 0 || frame.Height <= 0 || frame.Width > orv::GIFMaxSide ||
            frame.Height > orv::GIFMaxSide || frame.Left + frame.Width > file.LogicalWidth ||
            frame.Top + frame.Height > file.LogicalHeight)
            std::abort();
        orv::TGIFFile alone;
        if (!orv::ReadGIF(frame.Wrapped, alone, error))
            std::abort();
        const orv::TGIFFrame &again = alone.Frames.front();
        if (alone.Frames.size() != 1 || again.Width != frame.Width || again.Height != frame.Height ||
            again.Left != 0 || again.Top != 0 || again.Interlaced != frame.Interlaced ||
            again.Transparent != frame.Transparent ||
            (frame.Transparent && again.TransparentIndex != frame.TransparentIndex) ||
            again.Wrapped != frame.Wrapped)
            std::abort();
    }
    return 0;
}
