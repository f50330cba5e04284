#include "simcontrol/render/ObliqueRender.h"

#include "simcontrol/model/DexelModel.h"
#include "simcontrol/render/DibSurface.h"
#include "simcontrol/render/PaletteTable.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace orv {

namespace {

constexpr int HeightTable = 500;

int Trunc(double V) { return TruncGrid(V); }

} // namespace

int ImageX0(const CDexelModel &Model, const CDibSurface &Image)
{
    return (Image.Width() - Model.ColumnCount() - 4) / 2;
}

void Render(const CDexelModel &Model, CDibSurface &Image)
{
    if (Model.ColumnCount() <= 0 || !Image.Exists())
        return;
    const double t = Model.Tilt(), c = Model.CosTilt();
    int zc[HeightTable];
    for (int z = 0; z < HeightTable; ++z)
        zc[z] = Trunc(z * c);
    auto rise = [&](int z) { return z >= 0 && z < HeightTable ? zc[z] : Trunc(z * c); };
    const int x0 = ImageX0(Model, Image);
    std::vector<int> stack;
    for (int col = 0; col < Model.Columns(); ++col) {
        const int x = x0 + col;
        if (x < 0 || x >= Image.Width())
            continue;
        for (int j = Model.LastRow(col); j >= Model.FirstRow(col); --j) {
            stack.clear();
            for (int n = Model.HeadIndex(col, j); n >= 0; n = Model.Node(n).next)
                stack.push_back(n);
            for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
                const DexelNode &node = Model.Node(*it);
                Image.SetPixel(x, Trunc(rise(node.z) + j * t), node.colour);
            }
        }
    }
    // The origin cross at the billet top.
    const double cr = std::cos(Model.Rotation()), sr = std::sin(Model.Rotation());
    const int base = rise(Model.Top());
    auto project = [&](double px, double py, int &ix, int &iy) {
        const double gx = px * cr - py * sr + Model.ColumnOffset();
        const double gy = px * sr + py * cr + Model.RowOffset();
        ix = x0 + Trunc(gx);
        iy = Image.Height() - 1 - Trunc(base + gy * t);
    };
    int ax, ay, bx, by;
    project(-10, 0, ax, ay);
    project(10, 0, bx, by);
    Image.DrawLine(ax, ay, bx, by, EntryCross + 10);
    project(0, -10, ax, ay);
    project(0, 10, bx, by);
    Image.DrawLine(ax, ay, bx, by, EntryCross + 10);
}

void DrawToolMarker(const CDexelModel &Model, CDibSurface &Image, int Size)
{
    if (Size == 0 || Model.ColumnCount() <= 0 || !Image.Exists())
        return;
    const int x = ImageX0(Model, Image) + Model.ToolColumn;
    if (x <= 0 || x >= Image.Width())
        return;
    const double t = Model.Tilt(), c = Model.CosTilt();
    const int y = Trunc(Model.ToolRow * t) + Trunc(Model.ToolZ * c);
    if (y < 1 || y - Size >= Image.Height())
        return;
    const uint8_t colour = static_cast<uint8_t>(CPaletteTable::ToolEntry(Model.ToolNumber) + 10);
    if (Size == 1) {
        Image.SetPixel(x, y, colour);
        return;
    }
    const int length = Trunc(c * Size);
    for (int k = 0; k < length; ++k)
        Image.SetPixel(x, y + k, colour);
}

void RenderQuick(CDexelModel &Model, CDibSurface &Image)
{
    Model.Rapid = false;
    if (!Image.Exists())
        return;
    const int W = Image.Width(), H = Image.Height();
    const double e = std::min((H - 4) / std::sqrt(1000.0) * 0.5, (W - 4) * 0.011785112706218258);
    if (!(e > 0))
        return;
    const double t = Model.Tilt(), c = Model.CosTilt();
    const double cr = std::cos(Model.Rotation()), sr = std::sin(Model.Rotation());
    const double half = 15 * e, height = 10 * e * c;
    const double px[4] = {-half, -half, half, half}, py[4] = {-half, half, half, -half};
    double rx[4], ry[4];
    for (int k = 0; k < 4; ++k) {
        rx[k] = px[k] * cr - py[k] * sr;
        ry[k] = px[k] * sr + py[k] * cr;
    }
    const double cx = W / 2.0, cy = H / 2.0 - height / 2;
    auto screen = [&](int k, double up, int &x, int &y) {
        x = Trunc(cx + rx[k]);
        y = H - 1 - Trunc(cy + ry[k] * t + up);
    };
    CSpanFiller filler(Image);
    // Sides whose outward normal faces the viewer (towards lower rows).
    for (int k = 0; k < 4; ++k) {
        const int m = (k + 1) % 4;
        const double dx = rx[m] - rx[k], dy = ry[m] - ry[k];
        const double l = std::hypot(dx, dy);
        const double ox = dy / l, oy = -dx / l; // outward for this corner order
        if (oy >= 0)
            continue;
        int X[4], Y[4];
        screen(k, 0, X[0], Y[0]);
        screen(m, 0, X[1], Y[1]);
        screen(m, height, X[2], Y[2]);
        screen(k, height, X[3], Y[3]);
        filler.Quad(X, Y, static_cast<uint8_t>(Model.ShadeUnit(-ox, -oy, 0)));
    }
    int X[4], Y[4];
    for (int k = 0; k < 4; ++k)
        screen(k, height, X[k], Y[k]);
    filler.Quad(X, Y, static_cast<uint8_t>(Model.ShadeUnit(0, 0, -1)));
}

void Probe(CDexelModel &Model, const CDibSurface &Image, int X, int Y)
{
    if (Model.ColumnCount() <= 0 || !Image.Exists() || !(Model.Tilt() > 1e-6))
        return;
    const double column = X - ImageX0(Model, Image);
    const int rowFromBottom = Image.Height() - 1 - Y;
    const double row = (rowFromBottom - std::trunc(Model.Top() * Model.CosTilt())) / Model.Tilt();
    const bool wasRapid = Model.Rapid;
    Model.Rapid = false;
    Model.StampGrid({column, row, -10.0}, 10.0);
    Model.Rapid = wasRapid;
}

} // namespace orv
