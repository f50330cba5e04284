#include "shell/ui/TarnwickApp.h"

#include "engine/core/Mess.h"
#include "engine/core/NetUtil.h"
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

} // namespace orv
