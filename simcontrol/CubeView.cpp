#include "simcontrol/CubeView.h"

#include "simcontrol/SimScene.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {
constexpr double QuarterTurn = 1.570796;

int BlockShade(const double *L, double NX, double NY, double NZ)
{
    const double d = L[0] * NX + L[1] * NY + L[2] * NZ;
    return d < 0 ? 10 : 10 + static_cast<int>(191 * std::min(d, 1.0));
}
} // namespace

void CCubeView::ApplyPoint(int X, int Y, int Width, int Height)
{
    CViewerValues &v = FValues;
    auto tiltFrom = [&] {
        if (Height <= 1)
            return;
        v.Tilt = std::clamp(static_cast<double>(Y) / (Height - 1), 0.0, 1.0);
        DrawTilt = v.Tilt;
        DrawCos = std::sqrt(1 - v.Tilt * v.Tilt);
    };
    if (v.DragMode == 0) {
        v.ViewPointX = X;
        v.ViewPointY = Y;
        if (Width > 0)
            v.Rotation = (2.0 * X - Width) * QuarterTurn / Width;
        tiltFrom();
    }
    else if (v.DragMode == 1) {
        tiltFrom();
    }
    else if (Width > 0 && Height > 0) {
        v.LightPointX = X;
        v.LightPointY = Y;
        const double g = std::clamp(2.0 * X / Width - 1, -1.0, 1.0);
        const double d = std::clamp(static_cast<double>(Y) / Height, 0.0, 1.0);
        v.Light[0] = g * d;
        v.Light[1] = -d * std::sqrt(1 - g * g);
        v.Light[2] =
            std::sqrt(std::max(0.0, 1 - v.Light[0] * v.Light[0] - v.Light[1] * v.Light[1]));
    }
    DrawBlock(Width, Height);
}

void CCubeView::DragStartPoint(int &X, int &Y) const
{
    X = FValues.DragMode == 2 ? FValues.LightPointX : FValues.ViewPointX;
    Y = FValues.DragMode == 2 ? FValues.LightPointY : FValues.ViewPointY;
}

void CCubeView::DrawBlock(int Width, int Height)
{
    FImage.Create(Width, Height);
    FImage.Clear(0);
    const double e = std::min((Height - 4) / std::sqrt(1000.0), (Width - 4) * 0.023570225412436516);
    if (!(e > 0))
        return;
    const double t = DrawTilt, c = DrawCos;
    const double cr = std::cos(FValues.Rotation), sr = std::sin(FValues.Rotation);
    const double half = 15 * e, height = 10 * e * c;
    const double px[4] = {-half, -half, half, half}, py[4] = {-half, half, half, -half};
    double rx[4], ry[4];
    for (int k = 0; k < 4; ++k) {
        rx[k] = px[k] * cr - py[k] * sr;
        ry[k] = px[k] * sr + py[k] * cr;
    }
    const double cx = Width / 2.0, cy = Height / 2.0 - height / 2;
    auto screen = [&](double x, double y, double up, int &sx, int &sy) {
        sx = static_cast<int>(cx + x);
        sy = Height - 1 - static_cast<int>(cy + y * t + up);
    };
    CSpanFiller filler(FImage);
    for (int k = 0; k < 4; ++k) {
        const int m = (k + 1) % 4;
        const double dx = rx[m] - rx[k], dy = ry[m] - ry[k], l = std::hypot(dx, dy);
        const double ox = dy / l, oy = -dx / l;
        if (oy >= 0)
            continue;
        int X[4], Y[4];
        screen(rx[k], ry[k], 0, X[0], Y[0]);
        screen(rx[m], ry[m], 0, X[1], Y[1]);
        screen(rx[m], ry[m], height, X[2], Y[2]);
        screen(rx[k], ry[k], height, X[3], Y[3]);
        filler.Quad(X, Y, static_cast<uint8_t>(BlockShade(FValues.Light, ox, oy, 0)));
    }
    int X[4], Y[4];
    for (int k = 0; k < 4; ++k)
        screen(rx[k], ry[k], height, X[k], Y[k]);
    filler.Quad(X, Y, static_cast<uint8_t>(BlockShade(FValues.Light, 0, 0, 1)));
    // A small triangle on the top face marks the billet's front.
    int TX[4], TY[4];
    const double tx[3] = {0, -half / 3, half / 3}, ty[3] = {-half * 0.8, -half * 0.4, -half * 0.4};
    for (int k = 0; k < 3; ++k)
        screen(tx[k] * cr - ty[k] * sr, tx[k] * sr + ty[k] * cr, height, TX[k], TY[k]);
    TX[3] = TX[0];
    TY[3] = TY[0];
    filler.Quad(TX, TY, 1);
}

} // namespace orv
