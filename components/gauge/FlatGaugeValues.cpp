#include "components/gauge/FlatGaugeValues.h"

#include "components/gauge/HSLUtils.h"

#include <algorithm>

namespace orv {

bool TFlatGaugeValues::SetMinValue(int Value) {
    if (Value == FMin)
        return false;
    FMin = std::min(Value, FMax);
    FProgress = std::clamp(FProgress, FMin, FMax);
    return true;
}

bool TFlatGaugeValues::SetMaxValue(int Value) {
    if (Value == FMax)
        return false;
    FMax = std::max(Value, FMin);
    FProgress = std::clamp(FProgress, FMin, FMax);
    return true;
}

bool TFlatGaugeValues::SetProgress(int Value) {
    int v = std::clamp(Value, FMin, FMax);
    if (v == FProgress)
        return false;
    FProgress = v;
    return true;
}

int TFlatGaugeValues::BarLength(int InnerWidth) const {
    if (FMax == FMin)
        return 0;
    return RoundEven(double(InnerWidth) * (FProgress - FMin) / (FMax - FMin));
}

std::string TFlatGaugeValues::Text() const {
    int percent = FMax == FMin ? 0 : RoundEven(double(FProgress - FMin) / (FMax - FMin) * 100);
    return std::to_string(percent) + " %";
}

} // namespace orv
