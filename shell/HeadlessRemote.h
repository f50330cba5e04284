#pragma once
// The main window of the remote inputs with no window: the headless host's
// buttons and the engine's sources. Opens a program as the main window's
// open routine does (only while stopped), clicks buttons through the host,
// and records what the Keplin console presses and types.

#include "shell/RemoteInputs.h"

#include <string>
#include <vector>

namespace orv {

class THeadlessHost;

class THeadlessRemote : public TRemoteWindow {
public:
    explicit THeadlessRemote(THeadlessHost &Host) : FHost(Host) {}

    TBaseForm *Engine() const override;
    // Loads FileName in the current source (the editor source when none);
    // false while a run is not stopped or when the source cannot read it.
    bool OpenProgramFile(int Mode, std::string &FileName) override;
    void PressButton(TMainButton Which) override;
    // A main-window button clicks on its release, as a toolbar button does;
    // every press and release is logged as "name down" / "name up".
    void PressControl(const std::string &Control, bool Press) override;
    void SendKey(uint8_t Key, unsigned Shift) override;

    std::vector<std::string> Opened;   // files opened, in order
    std::vector<std::string> Controls; // "startbutton down", ...
    std::vector<std::string> Keys;     // "112+4" (key + modifier bits)

private:
    THeadlessHost &FHost;
};

} // namespace orv
