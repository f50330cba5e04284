#include "components/gauge/HSLUtils.h"

#include <algorithm>
#include <cmath>

namespace orv {

int RoundEven(double Value) {
    return int(std::nearbyint(Value));
}

namespace {
uint32_t Rgb(int R, int G, int B) {
    return uint32_t(R) | uint32_t(G) << 8 | uint32_t(B) << 16;
}
} // namespace

int HueToChannel(double Hue, double M1, double M2) {
    if (Hue < 0)
        Hue += 1;
    else if (Hue > 1)
        Hue -= 1;
    double v;
    if (6 * Hue < 1)
        v = M1 + (M2 - M1) * Hue * 6;
    else if (2 * Hue < 1)
        v = M2;
    else if (3 * Hue < 2)
        v = M1 + (M2 - M1) * (2.0 / 3 - Hue) * 6;
    else
        v = M1;
    return RoundEven(v * 255);
}

uint32_t HSLToColor(double L, double S, double H) {
    if (S == 0) {
        int grey = RoundEven(L * 255);
        return Rgb(grey, grey, grey);
    }
    double m2 = L <= 0.5 ? L * (1 + S) : L + S - L * S;
    double m1 = 2 * L - m2;
    return Rgb(HueToChannel(H + 1.0 / 3, m1, m2), HueToChannel(H, m1, m2),
               HueToChannel(H - 1.0 / 3, m1, m2));
}

uint32_t HSLScaleToColor(int Hue, int Saturation, int Lightness) {
    return HSLToColor(Lightness / double(HSLScale), Saturation / double(HSLScale),
                      Hue / double(HSLScale - 1));
}

void ColorToHSL(uint32_t Colour, double &H, double &S, double &L) {
    double r = (Colour & 0xFF) / 255.0, g = (Colour >> 8 & 0xFF) / 255.0,
           b = (Colour >> 16 & 0xFF) / 255.0;
    double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    L = (mx + mn) / 2;
    if (mx == mn) {
        H = S = 0;
        return;
    }
    double d = mx - mn;
    S = L < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx)
        H = (g - b) / d;
    else if (g == mx)
        H = 2 + (b - r) / d;
    else
        H = 4 + (r - g) / d;
    H /= 6;
    if (H < 0)
        H += 1;
}

void ColorToHSLScale(uint32_t Colour, int &Hue, int &Saturation, int &Lightness) {
    double h, s, l;
    ColorToHSL(Colour, h, s, l);
    Hue = RoundEven(h * (HSLScale - 1));
    Saturation = RoundEven(s * HSLScale);
    Lightness = RoundEven(l * HSLScale);
}

} // namespace orv
