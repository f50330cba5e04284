#include "simcontrol/render/DibSurface.h"

#include "simcontrol/model/DexelModel.h"

#include <algorithm>

namespace orv {

void CDibSurface::Create(int Width, int Height)
{
    FExists = true;
    FWidth = std::max(Width, 0);
    FHeight = std::max(Height, 0);
    FStride = (FWidth + 3) & ~3;
    FBytes.assign(static_cast<size_t>(FStride) * FHeight, 0);
}

void CDibSurface::Clear(uint8_t Value) { std::fill(FBytes.begin(), FBytes.end(), Value); }

void CDibSurface::SetPixel(int X, int RowFromBottom, uint8_t Value)
{
    if (X < 0 || X >= FStride || RowFromBottom < 0 || RowFromBottom >= FHeight)
        return;
    FBytes[static_cast<size_t>(RowFromBottom) * FStride + X] = Value;
}

uint8_t CDibSurface::Pixel(int X, int RowFromBottom) const
{
    if (X < 0 || X >= FStride || RowFromBottom < 0 || RowFromBottom >= FHeight)
        return 0;
    return FBytes[static_cast<size_t>(RowFromBottom) * FStride + X];
}

void CDibSurface::VerticalRun(int X, int RowFromTop, int Count, uint8_t Value)
{
    for (int k = 0; k < Count; ++k)
        SetPixelTop(X, RowFromTop + k, Value);
}

void CDibSurface::DrawLine(int X0, int Y0, int X1, int Y1, uint8_t Value)
{
    StepLine(X0, Y0, X1, Y1, [&](int x, int y) { SetPixelTop(x, y, Value); });
}

void CSpanFiller::Widen(int X, int Y)
{
    if (Y < 0 || Y >= FImage.Height())
        return;
    if (FSpans.size() != static_cast<size_t>(FImage.Height()))
        FSpans.assign(FImage.Height(), {30000, -30000});
    auto &span = FSpans[Y];
    span.first = std::min(span.first, X);
    span.second = std::max(span.second, X);
    FFirstRow = std::min(FFirstRow, Y);
    FLastRow = std::max(FLastRow, Y);
}

void CSpanFiller::Edge(int X0, int Y0, int X1, int Y1)
{
    StepLine(X0, Y0, X1, Y1, [&](int x, int y) { Widen(x, y); });
}

void CSpanFiller::Fill(uint8_t Value)
{
    for (int y = FFirstRow; y <= FLastRow; ++y) {
        auto &span = FSpans[y];
        for (int x = span.first; x <= span.second; ++x)
            FImage.SetPixelTop(x, y, Value);
        span = {30000, -30000};
    }
    FFirstRow = 30000;
    FLastRow = -30000;
}

void CSpanFiller::Quad(const int *X, const int *Y, uint8_t Value)
{
    for (int k = 0; k < 4; ++k)
        Edge(X[k], Y[k], X[(k + 1) % 4], Y[(k + 1) % 4]);
    Fill(Value);
}

} // namespace orv
