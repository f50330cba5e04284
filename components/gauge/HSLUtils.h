#pragma once
// Colours (Windows colour numbers, $00BBGGRR) to and from hue, saturation
// and lightness: as reals 0 to 1, or on the 240 scale (hue 0 to 239,
// saturation and lightness 0 to 240).

#include <cstdint>

namespace orv {

constexpr int HSLScale = 240;

// A channel 0 to 255 for a hue (wrapped into 0 to 1) between m1 and m2.
int HueToChannel(double Hue, double M1, double M2);
uint32_t HSLToColor(double Lightness, double Saturation, double Hue);
uint32_t HSLScaleToColor(int Hue, int Saturation, int Lightness);
void ColorToHSL(uint32_t Colour, double &Hue, double &Saturation, double &Lightness);
void ColorToHSLScale(uint32_t Colour, int &Hue, int &Saturation, int &Lightness);

// Rounds to the nearest integer, halves to the even neighbour.
int RoundEven(double Value);

} // namespace orv
