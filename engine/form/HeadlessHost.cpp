#include "engine/form/HeadlessHost.h"

#include "engine/chain/BasicInput.h"
#include "engine/chain/BasicOutput.h"
#include "engine/form/FanucScreen.h"
#include "engine/form/TextInput.h"
#include "engine/form/base.h"

namespace orv {

void THeadlessHost::SetButtonDown(TMainButton Button, bool Down)
{
    const uint32_t bit = uint32_t(1) << static_cast<int>(Button);
    FDown = Down ? FDown | bit : FDown & ~bit;
}

void THeadlessHost::Set3DChoice(int Item, bool Checked)
{
    if (Checked)
        FChoice3D.insert(Item);
    else
        FChoice3D.erase(Item);
}

bool THeadlessHost::ButtonDown(TMainButton Button) const
{
    return (FDown >> static_cast<int>(Button)) & 1;
}

bool THeadlessHost::Choice3DChecked(int Item) const { return FChoice3D.count(Item) > 0; }

void THeadlessHost::SwitchOutput(TMainButton Button, bool On)
{
    if (!FEngine)
        return;
    switch (Button) {
    case TMainButton::Output2D: FEngine->Set2DOutput(On); break;
    case TMainButton::Compiled: FEngine->SetCompiledOutput(On); break;
    case TMainButton::PostOutput: FEngine->SetPostOutput(On); break;
    case TMainButton::BlockSearch: FEngine->SetBlockSearchOutput(On); break;
    case TMainButton::MachineOutput:
        if (On)
            FEngine->MakeMachineLink();
        else
            FEngine->FreeMachine();
        break;
    case TMainButton::Output3D:
        if (Choice3DChecked(Choice3DOpenGL))
            FEngine->SetOpenGLOutput(On);
        else
            FEngine->Set3DSimOutput(On);
        break;
    default: break;
    }
}

// A click toggles a toggle button and does what the main window's handler
// does; run buttons call the run commands.
void THeadlessHost::ClickButton(TMainButton Button)
{
    Clicks.push_back(Button);
    switch (Button) {
    case TMainButton::Start:
        if (FEngine)
            FEngine->CycleStart();
        return;
    case TMainButton::Pause:
        if (FEngine)
            FEngine->CyclePause();
        return;
    case TMainButton::Stop:
        if (FEngine)
            FEngine->CycleStop();
        return;
    case TMainButton::Rewind:
        if (FEngine)
            FEngine->CycleRewind();
        return;
    default:
        break;
    }
    bool down = !ButtonDown(Button);
    SetButtonDown(Button, down);
    if (Button == TMainButton::SingleBlock && FEngine)
        FEngine->SetSingleStep(down);
    else if (Button == TMainButton::BlockSkip && FEngine)
        FEngine->SetBlockSkip(down);
    else if (Button == TMainButton::Offsets && FEngine)
        FEngine->WorkPieceOffsetClick();
    else
        SwitchOutput(Button, down);
}

void THeadlessHost::SetMenuItemVisible(TMainMenuItem, bool) {}

void THeadlessHost::SetStatusText(int Bar, int Panel, const std::string &Text, bool OwnerDrawn)
{
    FStatus[{Bar, Panel}] = TStatus{Text, OwnerDrawn};
    if (OnStatusText)
        OnStatusText(Bar, Panel, Text);
}

std::string THeadlessHost::StatusText(int Bar, int Panel) const
{
    auto it = FStatus.find({Bar, Panel});
    return it == FStatus.end() ? std::string() : it->second.Text;
}

bool THeadlessHost::StatusOwnerDrawn(int Bar, int Panel) const
{
    auto it = FStatus.find({Bar, Panel});
    return it != FStatus.end() && it->second.OwnerDrawn;
}

void THeadlessHost::SetModalLabel(int Index, const std::string &Text) { FLabels[Index] = Text; }

std::string THeadlessHost::ModalLabel(int Index) const
{
    auto it = FLabels.find(Index);
    return it == FLabels.end() ? std::string() : it->second;
}

void THeadlessHost::SetScreenSaverActive(bool Active)
{
    ScreenSaver = Active;
    ++ScreenSaverWrites;
}

bool THeadlessHost::ChooseOutputs(std::vector<TMainButton> &Chosen)
{
    Chosen = OfferedOutputs;
    return !Chosen.empty();
}

std::unique_ptr<TBasicOutput> THeadlessHost::CreateOutput(int) { return nullptr; }

std::unique_ptr<TFanucScreen> THeadlessHost::CreateFanucScreen(TBaseForm &, int) { return nullptr; }

std::unique_ptr<TBasicInput> THeadlessHost::CreateEditorInput(TBaseForm &)
{
    return std::make_unique<TTextInput>();
}

} // namespace orv
