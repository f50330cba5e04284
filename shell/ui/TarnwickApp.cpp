#include "shell/ui/TarnwickApp.h"

#include "engine/core/Mess.h"
#include "engine/core/NetUtil.h"
#include "engine/view2d/ui/DOpenPicDlg.h"
#include "localise/ui/LxQtDialogs.h"
#include "machine/ui/MachProbDialog.h"
#include "platform/ui/ColourDialog.h"
#include "platform/ui/QtMessageService.h"
#include "shell/ui/main_form3_2.h"

#include <QApplication>

namespace orv {

TTarnwickApp::TTarnwickApp(const std::vector<std::string> &Args) {
    QApplication::setApplicationName("Orvellan");
    FMess = std::make_unique<TMess>();
    FNetUtil = std::make_unique<TNetUtil>(Args);
    FMainForm = std::make_unique<TMainForm>();
}

TTarnwickApp::~TTarnwickApp() {
    FMainForm.reset();
    FNetUtil.reset();
    FMess.reset();
}

void TTarnwickApp::Show() {
    FMainForm->show();
}

void InstallProgramDialogs(TQtMessageService &Messages) {
    Messages.ProgramDialog = ChooseProgramWithPicture;
    // Every other file choice, and a text asked for, is a localised dialog.
    InstallLxDialogs();
    Messages.FileDialog = LxChooseFile;
    Messages.InputDialog = LxInputQuery;
    SetColourDialog(LxChooseColour);
    InstallMachineWindows();
}

} // namespace orv
