#pragma once
// The "Corvane Machine Finder" dialog: the port list, the five buttons,
// the file label, the status line and the progress bar over the finder's
// logic (links/MintFind).

#include "links/MintFind.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace orv {

class TRead_Machinedata_file;

class TMintFindDialog : public QDialog, public TMintFindView {
public:
    explicit TMintFindDialog(QWidget *Parent = nullptr, const std::string &SettingsFile = "");
    ~TMintFindDialog() override;

    void SetStatus(const std::string &Text) override;
    void SetProgress(int Percent) override;
    void SetButtonsEnabled(bool Enabled) override;
    void SetFileLabel(const std::string &Text) override;
    void SelectPort(int Index) override;
    void SetBusyCursor(bool Busy) override;
    void Close() override;

    TMintFindForm Form;
    QGroupBox *ComPorts = nullptr;
    QButtonGroup *PortButtons = nullptr;
    QPushButton *FindButt = nullptr, *DownloadButt = nullptr, *RunMintButt = nullptr,
                *Break = nullptr, *QuitButt = nullptr;
    QLabel *Label1 = nullptr, *StatBar = nullptr;
    QProgressBar *Progbar = nullptr;

protected:
    void paintEvent(QPaintEvent *Event) override;
};

// "Search for machine . . .": the finder in its automatic mode, modal; a
// port found (above 0) goes into the machine data and its file. The port,
// or -1.
int SearchForMachine(QWidget *Parent, TRead_Machinedata_file *MachineData,
                     const std::string &ArgumentFile, const std::string &SettingsFile = "");

} // namespace orv
