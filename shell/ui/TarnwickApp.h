#pragma once
// Tarnwick's main routine as a class, so tests run it as the program does:
// the application's title, then the message module, the path module (from
// the command-line arguments) and the main window, in that order.
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TQtMessageService;
class TMess;
class TNetUtil;
class TMainForm;

class TTarnwickApp {
public:
    // Args: the command-line arguments after the program name. Needs a
    // QApplication and an installed event loop.
    explicit TTarnwickApp(const std::vector<std::string> &Args);
    ~TTarnwickApp();
    TTarnwickApp(const TTarnwickApp &) = delete;
    TTarnwickApp &operator=(const TTarnwickApp &) = delete;

    TMainForm &MainForm() const { return *FMainForm; }
    // Shows the main window (its first show creates the engine).
    void Show();

private:
    std::unique_ptr<TMess> FMess;
    std::unique_ptr<TNetUtil> FNetUtil;
    std::unique_ptr<TMainForm> FMainForm;
};

// The program's dialogs, as the main routine installs them before the main
// window: through Messages, the localised file and input dialogs (a
// program to open with its picture) and the localised colour dialog;
// Qt's own texts in the language in use; the machine's windows.
void InstallProgramDialogs(TQtMessageService &Messages);

} // namespace orv
