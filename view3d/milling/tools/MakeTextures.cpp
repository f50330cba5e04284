// make_textures: writes the material pictures of the milling view's setup
// ("Wood.jpg", "Metal.jpg", "Marble.jpg", "Foam.jpg") into a folder, each
// 64 x 64 pixels drawn from a fixed pseudo-random sequence, so the same
// pictures come out on every run. Usage: make_textures FOLDER
#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>

namespace {

constexpr int Size = 64;

// A small linear congruential sequence: the same noise everywhere.
struct TNoise {
    uint32_t State;
    double Next()
    {
        State = State * 1664525u + 1013904223u;
        return (State >> 8) / double(1u << 24);
    }
};

// Smooth value noise over a 8 x 8 lattice that wraps, so the picture tiles.
struct TLattice {
    double V[8][8];
    explicit TLattice(uint32_t Seed)
    {
        TNoise n{Seed};
        for (auto &row : V)
            for (double &v : row)
                v = n.Next();
    }
    double At(double X, double Y) const
    {
        const double fx = X * 8 / Size, fy = Y * 8 / Size;
        const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
        const double tx = fx - x0, ty = fy - y0;
        auto v = [&](int X, int Y) { return V[(Y % 8 + 8) % 8][(X % 8 + 8) % 8]; };
        const double sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
        const double a = v(x0, y0) + (v(x0 + 1, y0) - v(x0, y0)) * sx;
        const double b = v(x0, y0 + 1) + (v(x0 + 1, y0 + 1) - v(x0, y0 + 1)) * sx;
        return a + (b - a) * sy;
    }
};

QRgb Mix(QRgb A, QRgb B, double T)
{
    T = std::clamp(T, 0.0, 1.0);
    auto m = [T](int a, int b) { return int(a + (b - a) * T + 0.5); };
    return qRgb(m(qRed(A), qRed(B)), m(qGreen(A), qGreen(B)), m(qBlue(A), qBlue(B)));
}

QImage Draw(const std::function<QRgb(int, int)> &Pixel)
{
    QImage image(Size, Size, QImage::Format_RGB32);
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x)
            image.setPixel(x, y, Pixel(x, y));
    return image;
}

QImage Wood()
{
    const TLattice grain(11);
    return Draw([&](int x, int y) {
        // Rings across the picture, bent by the grain.
        const double ring = std::sin((y + 6 * grain.At(x, y)) * 2 * M_PI / 8);
        return Mix(qRgb(0x8a, 0x5a, 0x2b), qRgb(0xd2, 0xa0, 0x64), 0.5 + 0.5 * ring);
    });
}

QImage Metal()
{
    TNoise n{23};
    double streak[Size];
    for (double &s : streak)
        s = n.Next();
    const TLattice cloud(29);
    return Draw([&](int x, int y) {
        // Brushed along X: each row keeps its shade.
        return Mix(qRgb(0x90, 0x94, 0x9a), qRgb(0xd8, 0xdc, 0xe0),
                   0.6 * streak[y] + 0.4 * cloud.At(x, y));
    });
}

QImage Marble()
{
    const TLattice a(37), b(41);
    return Draw([&](int x, int y) {
        const double vein = std::fabs(std::sin((x + y) * M_PI / 32 + 5 * a.At(x, y) + 3 * b.At(y, x)));
        return Mix(qRgb(0x70, 0x70, 0x78), qRgb(0xf2, 0xf0, 0xec), std::pow(vein, 0.3));
    });
}

QImage Foam()
{
    TNoise n{53};
    const TLattice base(59);
    return Draw([&](int x, int y) {
        const double pore = n.Next();
        const QRgb c = Mix(qRgb(0xd8, 0xc8, 0x60), qRgb(0xf0, 0xe4, 0x98), base.At(x, y));
        return pore < 0.12 ? Mix(c, qRgb(0x80, 0x70, 0x30), 0.6) : c;
    });
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_textures FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + "/";
    const struct {
        const char *Name;
        QImage (*Make)();
    } pictures[] = {{"Wood.jpg", Wood}, {"Metal.jpg", Metal}, {"Marble.jpg", Marble},
                    {"Foam.jpg", Foam}};
    int status = 0;
    for (const auto &p : pictures)
        if (!p.Make().save(folder + p.Name, "JPG", 85)) {
            std::fprintf(stderr, "make_textures: cannot write %s\n", p.Name);
            status = 1;
        }
    return status;
}
