#pragma once
// The control's picture: an 8-bit image whose rows are stored bottom-up
// with a stride of the width raised to a multiple of 4. Every pixel write
// is checked on its column and its row.

#include <cstdint>
#include <vector>

namespace orv {

class CDibSurface {
public:
    // Width and height in pixels; non-positive sizes make an empty image.
    void Create(int Width, int Height);
    bool Exists() const { return FExists; }
    int Width() const { return FStride; }  // the stride: what the header states
    int RequestedWidth() const { return FWidth; }
    int Height() const { return FHeight; }
    int Stride() const { return FStride; }
    void Clear(uint8_t Value);
    // Row counted from the bottom.
    void SetPixel(int X, int RowFromBottom, uint8_t Value);
    uint8_t Pixel(int X, int RowFromBottom) const;
    // Row counted from the top.
    void SetPixelTop(int X, int RowFromTop, uint8_t Value)
    {
        SetPixel(X, FHeight - 1 - RowFromTop, Value);
    }
    uint8_t PixelTop(int X, int RowFromTop) const { return Pixel(X, FHeight - 1 - RowFromTop); }
    // Count pixels downwards from a row counted from the top.
    void VerticalRun(int X, int RowFromTop, int Count, uint8_t Value);
    // A line between two points, rows counted from the top.
    void DrawLine(int X0, int Y0, int X1, int Y1, uint8_t Value);
    // Rows bottom-up, Stride bytes each.
    const std::vector<uint8_t> &Bytes() const { return FBytes; }

private:
    bool FExists = false;
    int FWidth = 0, FHeight = 0, FStride = 0;
    std::vector<uint8_t> FBytes;
};

// Row spans of a convex polygon, filled in one value (rows from the top).
class CSpanFiller {
public:
    explicit CSpanFiller(CDibSurface &Image) : FImage(Image) {}
    void Edge(int X0, int Y0, int X1, int Y1);
    void Fill(uint8_t Value);
    // Four vertices (x, y from the top), filled with one value.
    void Quad(const int *X, const int *Y, uint8_t Value);

private:
    void Widen(int X, int Y);
    CDibSurface &FImage;
    std::vector<std::pair<int, int>> FSpans;
    int FFirstRow = 30000, FLastRow = -30000;
};

} // namespace orv
