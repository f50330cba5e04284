#pragma once
// The main window as the engine form sees it, with no window at all: for
// tests and for ncrun. Buttons are flags that a click toggles (an output
// button switches its output on the engine), status texts, labels and
// transformation panels are kept for inspection, and the editor source is
// a streaming text source (TTextInput) over the program file.

#include "engine/chain/EngineHost.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>

namespace orv {

class THeadlessHost : public TEngineHost {
public:
    THeadlessHost() = default;

    // The engine whose output switches the output buttons call.
    void SetEngine(TBaseForm *Engine) { FEngine = Engine; }
    TBaseForm *EngineForm() const { return FEngine; }

    // Sets a button without clicking it (no output is switched).
    void SetButtonDown(TMainButton Button, bool Down);
    void Set3DChoice(int Item, bool Checked);
    // Outputs to offer in the output choice; none answers Cancel.
    std::vector<TMainButton> OfferedOutputs;

    // What the engine showed.
    std::string StatusText(int Bar, int Panel) const;
    bool StatusOwnerDrawn(int Bar, int Panel) const;
    std::string ModalLabel(int Index) const;
    const TTransformPanels &Transform() const { return FTransform; }
    int CycleTimeResets() const { return FCycleTimeResets; }
    bool ExecuteModeSingleStep() const { return FSingleStepShown; }
    std::vector<TMainButton> Clicks; // every click, in order
    // Every status text as it is set (ncrun prints the errors).
    std::function<void(int Bar, int Panel, const std::string &Text)> OnStatusText;
    // Every showing of the transform panels, as it happens.
    std::function<void(const TTransformPanels &Panels)> OnTransformPanels;
    bool ModalVisible = true;
    TBilletBox Billet;

    // Screen saver: the setting and how often the engine wrote it.
    bool ScreenSaver = true;
    int ScreenSaverWrites = 0;

    bool ButtonDown(TMainButton Button) const override;
    void ClickButton(TMainButton Button) override;
    bool Choice3DChecked(int Item) const override;
    void SetMenuItemVisible(TMainMenuItem Item, bool Visible) override;
    void OpenCommand() override { ++OpenCommands; }
    int OpenCommands = 0;
    void SetStatusText(int Bar, int Panel, const std::string &Text, bool OwnerDrawn) override;
    bool ModalDataVisible() const override { return ModalVisible; }
    void SetModalLabel(int Index, const std::string &Text) override;
    void ShowTransformPanels(const TTransformPanels &Panels) override
    {
        FTransform = Panels;
        if (OnTransformPanels)
            OnTransformPanels(Panels);
    }
    void ResetCycleTime() override { ++FCycleTimeResets; }
    void ShowExecuteMode(bool SingleStep) override { FSingleStepShown = SingleStep; }
    TBilletBox DefaultBillet() const override { return Billet; }
    bool ScreenSaverActive() const override { return ScreenSaver; }
    void SetScreenSaverActive(bool Active) override;
    bool ChooseOutputs(std::vector<TMainButton> &Chosen) override;
    std::unique_ptr<TSplashView> CreateSplash() override { return nullptr; }
    std::unique_ptr<TProgressView> CreateProgressView() override { return nullptr; }
    std::unique_ptr<TBlockSearchView> CreateBlockSearchView() override { return nullptr; }
    std::unique_ptr<TBasicOutput> CreateOutput(int Slot) override;
    std::unique_ptr<TBasicInput> CreateEditorInput(TBaseForm &Engine) override;
    std::unique_ptr<TFanucScreen> CreateFanucScreen(TBaseForm &Engine, int Kind) override;
    void ShowMachineTooling() override { ++MachineToolingShown; }
    int MachineToolingShown = 0; // how often the engine asked for the window

private:
    struct TStatus {
        std::string Text;
        bool OwnerDrawn = false;
    };
    void SwitchOutput(TMainButton Button, bool On);

    TBaseForm *FEngine = nullptr;
    uint32_t FDown = 0; // one bit per TMainButton: asked for every record of a run
    static_assert(static_cast<int>(TMainButton::ToolLibrary) < 32);
    std::set<int> FChoice3D{Choice3DSimulationControl};
    std::map<std::pair<int, int>, TStatus> FStatus;
    std::map<int, std::string> FLabels;
    TTransformPanels FTransform;
    int FCycleTimeResets = 0;
    bool FSingleStepShown = false;
};

} // namespace orv
