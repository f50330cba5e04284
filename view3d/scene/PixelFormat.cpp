#include "view3d/scene/PixelFormat.h"

#include <algorithm>

namespace orv {

namespace {

int Value(const TPixelFormat &F, TPixelAttribute A)
{
    switch (A) {
    case paDrawToWindow:
        return F.Window;
    case paDrawToBitmap:
        return F.Bitmap;
    case paStereo:
        return F.Stereo;
    case paDoubleBuffer:
        return F.DoubleBuffer;
    case paAcceleration:
        return F.Accelerated;
    case paColorBits:
        return F.ColorBits;
    case paAlphaBits:
        return F.AlphaBits;
    case paDepthBits:
        return F.DepthBits;
    case paStencilBits:
        return F.StencilBits;
    case paAccumBits:
        return F.AccumBits;
    case paAuxBuffers:
        return F.AuxBuffers;
    case paSampleBuffers:
        return F.SampleBuffers;
    case paSamples:
        return F.Samples;
    }
    return 0;
}

// Flags must match exactly; sizes are minimums.
bool IsFlag(TPixelAttribute A)
{
    return A == paStereo || A == paDoubleBuffer || A == paSampleBuffers;
}

void Change(TPixelAttributes &List, TPixelAttribute A, int V)
{
    for (auto &p : List)
        if (p.first == A) {
            p.second = V;
            return;
        }
    List.push_back({A, V});
}

void Drop(TPixelAttributes &List, TPixelAttribute A)
{
    List.erase(std::remove_if(List.begin(), List.end(), [&](auto &p) { return p.first == A; }),
               List.end());
}

int Samples(TGLAntiAliasing AA) { return AA == aa2x || AA == aa2xHQ ? 2 : 4; }

} // namespace

std::vector<int> MatchPixelFormats(const std::vector<TPixelFormat> &Formats,
                                   const TPixelAttributes &Attributes)
{
    std::vector<int> found;
    for (size_t i = 0; i < Formats.size(); ++i) {
        const bool ok = std::all_of(Attributes.begin(), Attributes.end(), [&](auto &p) {
            const int v = Value(Formats[i], p.first);
            return IsFlag(p.first) ? v == p.second : v >= p.second;
        });
        if (ok)
            found.push_back(int(i));
    }
    return found;
}

TPixelFormatChoice SelectExtendedFormat(const TPixelFormatRequest &R, const TFormatChooser &Choose)
{
    TPixelAttributes a = {{R.Window ? paDrawToWindow : paDrawToBitmap, 1},
                          {paStereo, R.Stereo ? 1 : 0},
                          {paDoubleBuffer, R.DoubleBuffered ? 1 : 0},
                          {paAcceleration, 1},
                          {paColorBits, R.ColorBits}};
    if (R.AlphaBits > 0)
        a.push_back({paAlphaBits, R.AlphaBits});
    a.push_back({paDepthBits, R.DepthBits});
    if (R.StencilBits > 0)
        a.push_back({paStencilBits, R.StencilBits});
    if (R.AccumBits > 0)
        a.push_back({paAccumBits, R.AccumBits});
    if (R.AuxBuffers > 0)
        a.push_back({paAuxBuffers, R.AuxBuffers});
    const bool samples = R.AntiAliasing != aaDefault && R.Multisample;
    if (samples) {
        a.push_back({paSampleBuffers, R.AntiAliasing == aaNone ? 0 : 1});
        if (R.AntiAliasing != aaNone)
            a.push_back({paSamples, Samples(R.AntiAliasing)});
    }

    TPixelFormatChoice c;
    auto attempt = [&] {
        c.Attempts.push_back(a);
        c.Formats = Choose(a);
        c.Chosen = a;
        return !c.Formats.empty();
    };
    if (attempt())
        return c;
    if (samples) {
        Drop(a, paSampleBuffers);
        Drop(a, paSamples);
    }
    if (R.DepthBits >= 32) {
        Change(a, paDepthBits, 24);
        if (attempt())
            return c;
    }
    if (R.DepthBits >= 24) {
        Change(a, paDepthBits, 16);
        if (attempt())
            return c;
    }
    if (R.ColorBits >= 24) {
        Change(a, paColorBits, 16);
        if (attempt())
            return c;
    }
    Change(a, paColorBits, R.ColorBits);
    Change(a, paDepthBits, R.DepthBits);
    Drop(a, paAcceleration);
    attempt();
    return c;
}

int PickPixelFormat(const TPixelFormatRequest &Request, const std::vector<int> &Found,
                    const std::vector<TPixelFormat> &Formats)
{
    if (Found.empty())
        return -1;
    if (!Request.Multisample || Request.AntiAliasing > aaNone)
        return Found.front();
    for (int i : Found)
        if (Formats[size_t(i)].SampleBuffers == 0)
            return i;
    return Found.back();
}

} // namespace orv
