#include "shell/HeadlessRemote.h"

#include "engine/chain/BasicInput.h"
#include "engine/form/HeadlessHost.h"
#include "engine/form/base.h"

namespace orv {

TBaseForm *THeadlessRemote::Engine() const { return FHost.EngineForm(); }

bool THeadlessRemote::OpenProgramFile(int Mode, std::string &FileName)
{
    TBaseForm *engine = Engine();
    if (!engine || engine->RunState() != csStopped)
        return false;
    if (!engine->Source())
        engine->SelectSource(skEditor);
    std::string name = FileName;
    if (!engine->Source() || !engine->Source()->LoadFile(name))
        return false;
    engine->SetProgramFile(name);
    engine->ProgramLoaded(name, true, 0);
    Opened.push_back(name);
    return true;
}

void THeadlessRemote::PressButton(TMainButton Which) { FHost.ClickButton(Which); }

void THeadlessRemote::PressControl(const std::string &Control, bool Press)
{
    Controls.push_back(Control + (Press ? " down" : " up"));
    TMainButton which;
    if (!Press && MainButtonOfControl(Control, which))
        FHost.ClickButton(which);
}

void THeadlessRemote::SendKey(uint8_t Key, unsigned Shift)
{
    Keys.push_back(std::to_string(Key) + "+" + std::to_string(Shift));
}

} // namespace orv
