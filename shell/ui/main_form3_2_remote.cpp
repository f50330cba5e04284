// The main window's remote inputs: the CIM RS232 port with its settings
// dialog, copy-data requests, the DDE server and its window, the Keplin
// console's presses and keys. The rules live in shell/RemoteInputs.h; this
// binds them to the window's buttons, menus and focus. Also the "VR
// Machine" button with the VR link's window.

#include "shell/ui/main_form3_2.h"

#include "components/toolbar/ui/TbCtls.h"
#include "engine/form/base.h"
#include "links/KeplinDriverNew.h"
#include "links/VRLink.h"
#include "links/VRWorld.h"
#include "links/ui/Rs232.h"
#include "links/ui/vrt_form_display.h"
#include "platform/ui/VirtualKeys.h"
#include "shell/RemoteInputs.h"
#include "shell/simple_server_one.h"
#include "shell/ui/DDEServerWindow.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

namespace orv {

namespace {

class TMainRemote : public TRemoteWindow {
public:
    explicit TMainRemote(TMainForm &Form) : FForm(Form) {}
    TBaseForm *Engine() const override { return FForm.Engine(); }
    bool OpenProgramFile(int Mode, std::string &FileName) override
    {
        return FForm.Engine() && FForm.OpenProgramFile(Mode, FileName);
    }
    void PressButton(TMainButton Which) override { FForm.PressButton(Which); }
    void PressControl(const std::string &Control, bool Press) override
    {
        FForm.KeplinPress(Control, Press);
    }
    void SendKey(uint8_t Key, unsigned Shift) override { FForm.KeplinKey(Key, Shift); }

private:
    TMainForm &FForm;
};

void SendMouse(QWidget *Target, QEvent::Type Type)
{
    const QPointF at(1, 1);
    QMouseEvent event(Type, at, Target->mapToGlobal(at), Qt::LeftButton,
                      Type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(Target, &event);
}

} // namespace

void TMainForm::CreateRemoteInputs()
{
    FRemoteWindow = std::make_unique<TMainRemote>(*this);
    FRemote = std::make_unique<TRemoteInputs>(*FRemoteWindow);
    FRemote->RS232InputDialog.ini_name = FMainIni;
    FRemote->RS232InputDialog.Dialog = Rs232Dialog(this);
    FRemote->OnShowDDEServer = [this](TDDEServer &) { ShowDDEWindow(); };
    FRemote->OnDDEServerFreed = [this] { delete FDDEWindow.data(); };
    connect(MenuItem("DDEConnection"), &QAction::triggered, this,
            [this] { FRemote->ShowDDEServer(); });
    connect(MenuItem("CIMSettings"), &QAction::triggered, this,
            [this] { FRemote->CIMRS232Settings1Click(); });
    TVRLink::WindowFactory = [this](TVRLink &Link) -> std::unique_ptr<TVRView> {
        return std::make_unique<TVRTView>(
            Link, [this](QWidget *W) { KeepPosition(W, "TVRT_form", TPosBorder::Sizeable); });
    };
}

bool CanCreateVRControl()
{
    return std::make_unique<TVRWorld>() != nullptr;
}

// Down: the VR link over the world into the machine slot, with the
// standard control panel to drive it; a world that does not load (its error
// shown) lets the button up. Up: the link and the panel go.
void TMainForm::VRClick(TToolbarButton *Sender)
{
    if (!Sender->Down()) {
        if (FEngine->MachineIsVRLink()) {
            FEngine->FreeMachine();
            FEngine->FreeStandardPanel();
        }
        return;
    }
    if (!FEngine->InsertMachine(std::make_unique<TVRLink>(FEngine.get()), true)) {
        FEngine->FreeMachine();
        Sender->SetDown(false);
        return;
    }
    if (FEngine->SourceKind() != skFanuc21 && FEngine->SourceKind() != skFanuc0M)
        FEngine->MakeStandardPanel();
}

// Other programs' copy-data requests are taken once the engine stands. A
// second Tarnwick of the same user finds the socket taken and goes without.
void TMainForm::StartRemoteInputs()
{
    std::string error;
    FRemote->ListenCopyData(error);
}

void TMainForm::FreeRemoteInputs()
{
    TVRLink::WindowFactory = nullptr;
    delete FDDEWindow.data();
    if (FEngine)
        FEngine->OnDDESend = nullptr;
    FRemote.reset();
}

void TMainForm::MachineDataApplied()
{
    if (FRemote)
        FRemote->MachineDataApplied();
}

TDDEServerWindow *TMainForm::DDEWindow() const
{
    return static_cast<TDDEServerWindow *>(FDDEWindow.data());
}

void TMainForm::ShowDDEWindow()
{
    TDDEServer *server = FRemote->DDEServer();
    if (!server)
        return;
    if (!FDDEWindow)
        FDDEWindow = new TDDEServerWindow(*server, this);
    DDEWindow()->show();
    DDEWindow()->ShowState();
}

void TMainForm::KeplinPress(const std::string &Control, bool Press)
{
    QWidget *target = findChild<QWidget *>(QString::fromStdString(Control));
    if (!target)
        return;
    if (Press) {
        SendMouse(target, QEvent::MouseButtonPress);
        return;
    }
    SendMouse(target, QEvent::MouseButtonRelease);
}

void TMainForm::KeplinKey(uint8_t Key, unsigned Shift)
{
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : this;
    Qt::KeyboardModifiers mods;
    if (Shift & ksShift)
        mods |= Qt::ShiftModifier;
    if (Shift & ksAlt)
        mods |= Qt::AltModifier;
    if (Shift & ksCtrl)
        mods |= Qt::ControlModifier;
    const int key = QtKeyOf(Key);
    if (key == Qt::Key_unknown)
        return;
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods);
    QApplication::sendEvent(target, &release);
}

} // namespace orv
