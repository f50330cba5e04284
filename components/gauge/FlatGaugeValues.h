#pragma once
// The flat gauge's values and what it draws from them: the writers keep
// Progress within MinValue..MaxValue, and a gauge whose ends meet shows an
// empty bar and "0 %" instead of dividing by zero.

#include <string>

namespace orv {

class TFlatGaugeValues {
public:
    int MinValue() const { return FMin; }
    int MaxValue() const { return FMax; }
    int Progress() const { return FProgress; }
    // Each returns true when something changed (the gauge repaints).
    // MinValue is kept not above MaxValue, MaxValue not below MinValue;
    // Progress is pulled into the stored range.
    bool SetMinValue(int Value);
    bool SetMaxValue(int Value);
    bool SetProgress(int Value);

    // Bar length in pixels over an inner width (rounded, halves to even).
    int BarLength(int InnerWidth) const;
    // "25 %".
    std::string Text() const;

private:
    int FMin = 0;
    int FMax = 100;
    int FProgress = 25;
};

} // namespace orv
