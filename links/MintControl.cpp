#include "links/MintControl.h"

#include "engine/core/Mess.h"
#include "platform/MessageService.h"

#include <cmath>
#include <filesystem>

namespace orv {

namespace {
std::string Tr(const std::string &Text) { return Mess().Translate(Text); }
} // namespace

namespace mint {

bool ArcAxes(int Plane, int32_t CentreX, int32_t CentreY, int32_t CentreZ, int16_t &AxisA,
             int16_t &AxisB, float &CentreA, float &CentreB) {
    switch (Plane) {
    case 17:
        AxisA = 0, AxisB = 1, CentreA = float(CentreX), CentreB = float(CentreY);
        return true;
    case 18:
        AxisA = 0, AxisB = 2, CentreA = float(CentreX), CentreB = float(CentreZ);
        return true;
    case 19:
        AxisA = 1, AxisB = 2, CentreA = float(CentreY), CentreB = float(CentreZ);
        return true;
    default:
        return false;
    }
}

bool ReportMissingFile(const std::string &Label, const std::string &Path) {
    if (std::filesystem::exists(Path))
        return false;
    MessageDlg("", Label + Path + Tr(" does not exist !"), mtError, mbOK);
    return true;
}

bool InputBit(int32_t Bits, int Index) {
    return Index >= 0 && Index <= 31 && ((uint32_t(Bits) >> Index) & 1u);
}

int32_t Nearest(float Value) {
    return int32_t(std::lround(Value));
}

} // namespace mint

TMintFactories &MintFactories() {
    static TMintFactories factories;
    return factories;
}

} // namespace orv
