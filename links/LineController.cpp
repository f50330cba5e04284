#include "links/LineController.h"

#include "platform/NumberText.h"

#include <cmath>

namespace orv {

TLineController::TLineController() : FPort(std::make_unique<TThreadComm32>()) {}

TLineController::~TLineController() = default;

void TLineController::SetFeedRate(int StepsPerSecond) {
    if (StepsPerSecond != FeedRate && StepsPerSecond != 9999999)
        FeedRate = StepsPerSecond;
}

void TLineController::SetFeedOverride(int Percent) {
    if (Percent == FeedOverride)
        return;
    FeedOverride = Percent;
    FComms[comms::FeedOverride] = Percent;
}

int TLineController::GetSpindleOverride() {
    return int(std::lround(double(FComms[comms::SpeedOverride])));
}

void TLineController::SetSpindleOverride(int Percent) {
    if (Percent == SpindleOverride)
        return;
    SpindleOverride = Percent;
    FComms[comms::SpeedOverride] = Percent;
}

void TLineController::WriteComms(int Index, Extended Value) {
    if (Index >= 0 && Index < 100)
        FComms[Index] = Value;
}

Extended TLineController::ReadComms(int Index) {
    return Index >= 0 && Index < 100 ? FComms[Index] : 0;
}

void TLineController::NotifyDone(TObject *Sender, bool InPosition) {
    if (OnDone)
        OnDone(Sender, InPosition);
}

bool TLineController::OpenLine(int Port, TBaudRate Baud, TParity Parity, TDataBits Bits,
                               bool HardwareHandshaking, const std::string &What) {
    for (Extended &v : FComms)
        v = 0;
    FPort->ClosePort();
    FPort->NewComport = "COM" + IntToStr(Port);
    FPort->SettingsFile = SettingsFile;
    FPort->BaudRate = Baud;
    FPort->Parity = Parity;
    FPort->DataBits = Bits;
    FPort->StopBits = TStopBits::_2;
    FPort->HandShaking = HardwareHandshaking;
    try {
        if (FPort->OpenPort())
            return true;
        ReportError("ERROR", "Error opening com port: " + FPort->NewComport, What);
    } catch (const ECommsError &e) {
        ReportError("ERROR", e.what(), What + " on " + FPort->NewComport);
    }
    return false;
}

} // namespace orv
