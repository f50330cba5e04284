#pragma once
// The pixel-format choice of a rendering context as a pure function: the
// requested attributes become an attribute list, and a chooser (the
// platform's, or a fake format list) is asked with it and then with the
// step-wise fall-backs until it finds a format:
//   1. the samples dropped (no new call);  2. depth 32 -> 24;
//   3. depth 24 -> 16;  4. colour 24 -> 16;
//   5. colour and depth as asked, no acceleration demanded.

#include "view3d/scene/GLContext.h"

#include <functional>
#include <utility>
#include <vector>

namespace orv {

enum TPixelAttribute {
    paDrawToWindow, paDrawToBitmap, paStereo, paDoubleBuffer, paAcceleration, paColorBits,
    paAlphaBits, paDepthBits, paStencilBits, paAccumBits, paAuxBuffers, paSampleBuffers,
    paSamples
};
// Pairs of attribute and minimum value (paAcceleration 1: full acceleration).
using TPixelAttributes = std::vector<std::pair<TPixelAttribute, int>>;

struct TPixelFormatRequest {
    int ColorBits = 32, AlphaBits = 0, DepthBits = 0, StencilBits = 0, AccumBits = 0,
        AuxBuffers = 0;
    TGLAntiAliasing AntiAliasing = aaDefault;
    bool DoubleBuffered = false, Stereo = false, Window = true;
    bool Multisample = false; // the platform offers multisampled formats
};

// One format the platform offers.
struct TPixelFormat {
    bool Window = true, Bitmap = false, Stereo = false, DoubleBuffer = false, Accelerated = true;
    int ColorBits = 24, AlphaBits = 0, DepthBits = 24, StencilBits = 0, AccumBits = 0,
        AuxBuffers = 0, SampleBuffers = 0, Samples = 0;
};

// The indices of the formats that meet every attribute, in list order.
std::vector<int> MatchPixelFormats(const std::vector<TPixelFormat> &Formats,
                                   const TPixelAttributes &Attributes);

using TFormatChooser = std::function<std::vector<int>(const TPixelAttributes &)>;

// The attribute lists tried, in order, and the formats the last one found.
struct TPixelFormatChoice {
    std::vector<TPixelAttributes> Attempts;
    TPixelAttributes Chosen; // the list that found the formats
    std::vector<int> Formats;
};
TPixelFormatChoice SelectExtendedFormat(const TPixelFormatRequest &Request,
                                        const TFormatChooser &Choose);

// Of the formats found: without multisampling, or with anti-aliasing
// asked, the first; with aaDefault or aaNone the first without sample
// buffers (the last one when all have them). -1 when none.
int PickPixelFormat(const TPixelFormatRequest &Request, const std::vector<int> &Found,
                    const std::vector<TPixelFormat> &Formats);

} // namespace orv
