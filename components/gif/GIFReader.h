#pragma once
// Reads the block structure of a GIF file (GIF87a/89a): the logical screen,
// the global colour table, graphic control, comment and NETSCAPE 2.0 loop
// blocks, and each image with its descriptor. The pixels are not decoded
// here: every image is handed on re-wrapped as a GIF file of its own (the
// screen, its colour table, its transparency, its LZW data), for the
// platform's image reader.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orv {

enum TGIFVersion : uint8_t { gvGIF87a, gvGIF89a };

// Disposal: 0 none, 1 keep, 2 restore to background, 3 restore to previous.
struct TGIFFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    int Delay = 0; // ms: the file's hundredths times 10
    int Disposal = 0;
    bool Interlaced = false;
    bool Transparent = false;
    int TransparentIndex = 0;
    std::string Comment;
    std::string Wrapped; // the image alone as a GIF file
};

struct TGIFFile {
    TGIFVersion Version = gvGIF87a;
    int ScreenWidth = 0, ScreenHeight = 0;
    // The screen enlarged so every frame fits.
    int LogicalWidth = 0, LogicalHeight = 0;
    int LoopCount = 1; // NETSCAPE loop count; 1 without the block, 0 endless
    std::vector<TGIFFrame> Frames;
};

// Bytes processed, bytes in all; set Keep false to abort the load.
using TGIFProgress = std::function<void(size_t Done, size_t Total, bool &Keep)>;

constexpr int GIFMaxFrames = 256;
constexpr int GIFMaxSide = 16384;
// The logical screen may hold at most this many pixels (64 M).
constexpr int64_t GIFMaxPixels = int64_t(1) << 26;

// False with Error set when the data is no GIF, empty, holds an image of
// width or height 0, a logical screen past GIFMaxPixels, or the load was
// aborted. An image wider or higher than GIFMaxSide ends the reading (the
// frames before it stay). At most 256 images are read.
bool ReadGIF(const std::string &Data, TGIFFile &File, std::string &Error,
             bool FirstImageOnly = false, const TGIFProgress &Progress = {});

} // namespace orv
