#include "machine/BasicControlPanel.h"

#include "machine/Read_Machinedata_file.h"
#include "platform/EventLoop.h"

namespace orv {

namespace {

constexpr int DebounceMs = 60;

bool IsAxisJogButton(uint8_t Button) {
    return Button <= 5;
}

} // namespace

TBasicControlPanel::TBasicControlPanel(TComponent *Owner)
    : TComponent(Owner), FSpeedTimer(std::make_unique<TTimer>()),
      FJogFeedTimer(std::make_unique<TTimer>()) {
    Request.Kind = rqNone;
    FSpeedTimer->SetInterval(DebounceMs);
    FJogFeedTimer->SetInterval(DebounceMs);
    FSpeedTimer->OnTimer = [this] {
        FSpeedTimer->SetEnabled(false);
        Request.IntValue = PendingSpeed;
        SendRequest(rqSpindleSpeed);
    };
    FJogFeedTimer->OnTimer = [this] {
        FJogFeedTimer->SetEnabled(false);
        Request.IntValue = JogFeed;
        SendRequest(rqJogFeed);
    };
}

TBasicControlPanel::~TBasicControlPanel() = default;

void TBasicControlPanel::DoMachineRequest() {
    if (OnMachineRequest)
        OnMachineRequest(this, Request);
}

void TBasicControlPanel::SendRequest(uint8_t Kind) {
    Request.Kind = Kind;
    DoMachineRequest();
}

void TBasicControlPanel::SetHasHomed(int Code)
{
    MarkHomed(Code, HomedX, HomedY, HomedZ, HomedXY, AllHomed);
}

void TBasicControlPanel::ClearHomed() {
    HomedX = HomedY = HomedZ = HomedXY = AllHomed = false;
}

void TBasicControlPanel::RequestHome(int Code) {
    Request.IntValue = Code;
    SendRequest(rqHome);
}

bool TBasicControlPanel::OverrideOwnedByKnob(uint8_t Kind) const {
    if (!FMachineIsReal || !MachData)
        return false;
    if (Kind == rqFeedOverride)
        return MachData->MachineCapability.FeedPot;
    if (Kind == rqSpeedOverride)
        return MachData->MachineCapability.SpeedPot;
    return false;
}

void TBasicControlPanel::Restart(TTimer &Timer) {
    Timer.SetEnabled(false);
    Timer.SetEnabled(true);
}

void TBasicControlPanel::RequestValue(uint8_t Kind, Extended Value) {
    if (Kind == rqJogFeed) {
        JogFeed = Round(Value, JogFeed);
        Restart(*FJogFeedTimer);
        return;
    }
    if (Kind == rqSpindleSpeed) {
        PendingSpeed = Round(Value, PendingSpeed);
        Restart(*FSpeedTimer);
        return;
    }
    if (OverrideOwnedByKnob(Kind))
        return;
    Request.Value = Value;
    SendRequest(Kind);
}

void TBasicControlPanel::RequestMCode(TObject *Sender, int MCode) {
    Request.IntValue = MCode;
    SendRequest(rqMCode);
}

void TBasicControlPanel::Initialise() {
    if (!MachData)
        return;
    FSpeedrate = MachData->Spindle.MinimumSpeed;
    PendingSpeed = MachData->Spindle.MinimumSpeed;
}

void TBasicControlPanel::RequestPositionRefresh(TObject *Sender) {
    SendRequest(rqRefreshPosition);
}

void TBasicControlPanel::RequestStateRefresh(TObject *Sender) {
    SendRequest(rqRefreshState);
}

void TBasicControlPanel::SetLengthOffset(int H, double Value) {
    LengthOffsetH = H;
    LengthOffsetValue = Value;
}

void TBasicControlPanel::SetDiameterOffset(int D, double Value) {
    DiameterOffsetD = D;
    DiameterOffsetValue = Value;
}

void TBasicControlPanel::RequestMachineMode(TMachineMode Mode) {
    Request.IntValue = Mode;
    SendRequest(rqMachineMode);
}

void TBasicControlPanel::RequestTurbo(bool On) {
    Request.Flag = On;
    Turbo = On;
    SendRequest(rqTurbo);
}

void TBasicControlPanel::RequestJog(uint8_t Button) {
    if (!IsJogMode(FMachineMode)) {
        if (Button == JogButtonStop)
            SendRequest(rqJogStop);
        return;
    }
    // The machine must jog at the feed the operator set.
    if (FFeedrate != JogFeed) {
        Request.IntValue = JogFeed;
        SendRequest(rqJogFeed);
    }
    if (!IsAxisJogButton(Button) && Button != JogButtonStop)
        return;
    Request.Value = JogIncrement;
    SendRequest(Button == JogButtonStop ? rqJogStop : uint8_t(rqJogXPlus + Button));
}

void TBasicControlPanel::RequestToolZOffset(TObject *Sender) {
    SendRequest(rqToolZOffset);
}

void TBasicControlPanel::RequestJogIncrement() {
    Request.Value = JogIncrement;
    SendRequest(rqJogIncrement);
}

} // namespace orv
