#pragma once
// The motion cards' Mint controls as the controllers call them: one method
// per dispatch id with its argument types (I2 int16_t, I4 int32_t, R4
// float, BOOL bool, automation arrays as vectors, out arguments as
// references), the events the controllers bind, and the factories of this
// process, which answer "not available" (null) where no card is installed.
// A call that fails raises EMintError; the controllers report it.

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace orv {

class EMintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The first card's control (MINTCONTROLSLib).
class TMintControl {
public:
    virtual ~TMintControl() = default;
    virtual void DownloadDone96() = 0;
    virtual void SetComms103(int16_t Index, float Value) = 0;
    virtual void GetComms104(int16_t Index, float &Value) = 0;
    virtual void DriveStep203(int16_t Axis) = 0;
    virtual void Circle218(int16_t AxisA, int16_t AxisB, float CentreA, float CentreB,
                           float Angle) = 0;
    virtual void Setup236(int16_t Axis, int16_t Value) = 0;
    virtual void DriveEnable264(int16_t Axis, bool On) = 0;
    virtual void Speed304(int16_t Axis, float Feed) = 0;
    virtual void Setup306(int16_t Axis, int16_t Value) = 0;
    virtual void FeedOverride307(int16_t Zero, float &Percent) = 0;
    virtual void Go331(int16_t Count, const std::vector<int32_t> &Axes) = 0;
    virtual void Home347(int16_t Axis, int16_t Mode) = 0;
    virtual void Idle368(int16_t Axis, bool &Idle) = 0;
    virtual void Inputs376(int16_t Zero, int32_t &Bits) = 0;
    virtual void MoveA430(int16_t Axis, float Position) = 0;
    virtual void MoveCount431(int16_t Zero, int16_t &Count) = 0;
    virtual void MoveR438(int16_t Axis, float Distance) = 0;
    virtual void Position464(int16_t Axis, float &Position) = 0;
    virtual void StopAxis551(int16_t Axis) = 0;
    virtual void Stopped552(int16_t Zero, bool &Stopped) = 0;
    virtual void Vector572(int16_t Count, const std::vector<int32_t> &Axes,
                           const std::vector<float> &Targets) = 0;
    virtual void Enable606(bool On) = 0;
    virtual void Events611(bool On) = 0;
    virtual void Connect941(int16_t Card, int16_t Port, int32_t Baud, bool On) = 0;
    std::function<void(int16_t AxisBits)> OnAxisIdleEvent;
};

// The newer card's control (MintControls5023Lib), on a serial port.
class TMintControl5023 {
public:
    virtual ~TMintControl5023() = default;
    virtual void DownloadFirmware87(const std::string &Path) = 0;
    virtual void Version90(int32_t &Version) = 0;
    virtual void Run97() = 0;
    virtual void SetComms104(int16_t Index, float Value) = 0;
    virtual void GetComms105(int16_t Index, float &Value) = 0;
    virtual void DownloadProgram107(const std::string &Path) = 0;
    virtual void DriveStep204(int16_t Axis) = 0;
    virtual void Reset207() = 0;
    virtual void Circle219(int16_t AxisA, int16_t AxisB, float CentreA, float CentreB,
                           float Angle) = 0;
    virtual void DriveEnable265(int16_t Axis, bool On) = 0;
    virtual void Speed305(int16_t Axis, float Feed) = 0;
    virtual void Setup307(int16_t Axis, int16_t Value) = 0;
    virtual void FeedOverride308(int16_t Zero, float &Percent) = 0;
    virtual void Go332(int16_t Count, const std::vector<int16_t> &Axes) = 0;
    virtual void Home348(int16_t Axis, int16_t Mode) = 0;
    virtual void Idle369(int16_t Axis, bool &Idle) = 0;
    virtual void Inputs377(int16_t Zero, int32_t &Bits) = 0;
    virtual void MoveA431(int16_t Axis, float Position) = 0;
    virtual void MoveR439(int16_t Axis, float Distance) = 0;
    virtual void Position465(int16_t Axis, float &Position) = 0;
    virtual void StopAxis552(int16_t Axis) = 0;
    virtual void Suspend559(int16_t Axis, int16_t Suspend) = 0;
    virtual void Vector573(int16_t Count, const std::vector<int16_t> &Axes,
                           const std::vector<float> &Targets) = 0;
    virtual void Enable606(bool On) = 0;
    virtual void Events612(bool On) = 0;
    virtual void Connect942(int16_t Card, int16_t Port, int32_t Baud, bool On) = 0;
    // Property put 1305.
    virtual void PutContourAngle1305(int16_t Axis, float Value) = 0;
    std::function<void(int16_t AxisBits)> OnAxisIdleEvent;
    std::function<void(int16_t Code)> OnDPREvent;
};

// Helpers both card controllers use.
namespace mint {
// The axes and centres of an arc in Plane: 17 X and Y, 18 X and Z, 19 Y
// and Z; false for any other plane.
bool ArcAxes(int Plane, int32_t CentreX, int32_t CentreY, int32_t CentreZ, int16_t &AxisA,
             int16_t &AxisB, float &CentreA, float &CentreB);
// Shows Label + Path + " does not exist !" when Path is missing; true then.
bool ReportMissingFile(const std::string &Label, const std::string &Path);
// Input Index (0 to 31) of the card's input bits, read unsigned.
bool InputBit(int32_t Bits, int Index);
int32_t Nearest(float Value);
} // namespace mint

struct TMintFactories {
    std::function<std::unique_ptr<TMintControl>()> CardA;
    std::function<std::unique_ptr<TMintControl5023>()> CardB;
};

// The factories of this process; empty ones answer "not available".
TMintFactories &MintFactories();

} // namespace orv
