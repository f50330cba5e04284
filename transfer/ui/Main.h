#pragma once
// TMainForm: Rostrel's MDI frame. Editor windows on a QMdiArea, the
// "Rostrel RS232 functions" toolbar, the status panel with the send and
// receive counters, and the tool windows "Comms Setup", "Options" and
// "Mitsubishi Robot Comms". It sends the active editor's program, receives
// into an editor, asks a robot for its position, and keeps its settings in
// "Rostrel.ini" of the working folder. While a send runs, the commands
// that would start another transfer are disabled.

#include "transfer/ComPorts.h"
#include "transfer/FileHistory.h"
#include "transfer/RostrelSettings.h"

#include <QMainWindow>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMenu;
class QPrinter;
class QTimer;

namespace orv {

class TDock;
class TInputWin;
class TLCDLabel;
class TRadioGroup;
class TToolbar;
class TToolbarButton;
class TToolWindow;
class TTransferLink;
class TTransferPort;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // WorkingFolder ends in "/"; Port: the port to use (the serial device
    // when null).
    explicit TMainForm(const std::string &WorkingFolder, TTransferPort *Port = nullptr,
                       QWidget *Parent = nullptr);
    ~TMainForm() override;

    TInputWin *CreateMDIChild(const std::string &Name);
    void FileNew();
    void FileOpen();
    void FileSave();
    void FileSaveAs();
    // The active editor prints itself with its caption as the title.
    void FilePrint();
    void FontSize1Click(int Tag);
    void UpperOnlyClick();
    void LowerOnlyClick();
    void AppendLFClick();
    void AppendCRClick();
    void CloseAll1Click();
    // Lines up the icons of the minimised editors along the area's bottom.
    void WindowArrange();
    // The help file (the program's name with ".hlp", its pages in the
    // ".htm" beside it) at its contents, at its topics to search, at how
    // to use the help; "Cannot open help file: <path>" when the desktop
    // cannot show it.
    void HelpContents();
    void HelpSearch();
    void HelpHowToUse();
    void HelpAbout();

    // Sender name "SendOne" sends line by line.
    void SendButtClick(const std::string &SenderName);
    void StopButtClick();
    void ReceiveButtClick();
    void WhereButtonClick();
    void PollingTimerTimer();
    // Index among the editors of the one with WinId, -1 when none.
    int FindWindowById(int Id) const;
    void ShowRobotReply(const std::string &Text);

    void ListComPorts();
    void ReadComSettings();
    void WriteComSettings();
    void ReadOptions();
    void WriteOptions();
    void OpenPort();

    std::vector<TInputWin *> Editors() const;
    TInputWin *ActiveEditor() const;
    const std::string &IniFile() const { return FIniFile; }
    bool PortOpen() const { return FPortOpen; }
    bool Sending() const { return FSending; }
    TFileHistory &History() { return FHistory; }
    QMdiArea *MdiArea() const { return FMdi; }
    TToolWindow *CommsSetup() const { return FCommsSetup; }
    TToolWindow *OptionWin() const { return FOptionWin; }
    TToolWindow *RobotWin() const { return FRobotWin; }
    int FontSize() const { return FFontSize; }

protected:
    void closeEvent(QCloseEvent *Event) override;

private:
    void FormCreate();
    void FormDestroy();
    void BuildMenus();
    void BuildToolbar();
    void BuildStatusPanel();
    void BuildCommsSetup();
    void BuildOptionWin();
    void BuildRobotWin();
    TSendOptions Options() const;
    void SetOptions(const TSendOptions &Options);
    void SetSendingCommands(bool Enabled);
    void ReceiveData(const uint8_t *Data, int Size);
    void PortLost(const std::string &Message);
    TInputWin *ReceiveWindow() const;
    bool EditorCloseQuery(TInputWin *Editor);
    void OpenIntoNewEditor(const std::string &Name);
    QPrinter &Printer();

    std::string FWorkingFolder;
    std::string FIniFile;
    std::unique_ptr<TTransferPort> FOwnPort;
    std::unique_ptr<TTransferLink> FLink;
    std::unique_ptr<QPrinter> FPrinter;
    bool FPortOpen = false;
    bool FCancel = false;
    bool FSending = false;
    bool FReceiveBound = false;
    TInputWin *FSendingEditor = nullptr;
    bool FCloseAfterSend = false;
    std::string FLostMessage;
    int FReceiveWinId = -1;
    int FNextWinId = 0;
    int FFontSize = 8;
    int FHistorySize = 10;
    int FReceivedCount = 0;
    std::string FFileDirectory;
    std::vector<TComPortEntry> FPorts;
    TFileHistory FHistory;

    QMdiArea *FMdi = nullptr;
    QMenu *FReopen = nullptr;
    std::vector<QAction *> FSizeItems;
    QAction *FOpenAction = nullptr;
    TDock *FDock1 = nullptr;
    TDock *FDock2 = nullptr;
    TToolbar *FRostrel = nullptr;
    TToolbarButton *FConfigureButt = nullptr;
    TToolbarButton *FReceiveButt = nullptr;
    TToolbarButton *FSendButt = nullptr;
    TToolbarButton *FStopButt = nullptr;
    TToolbarButton *FSendOne = nullptr;
    QLabel *FSendingPanel = nullptr;
    QLabel *FSent = nullptr;
    QLabel *FSentOf = nullptr;
    QLabel *FReceived = nullptr;
    QLabel *FDropped = nullptr;
    TToolWindow *FCommsSetup = nullptr;
    TRadioGroup *FComPorts = nullptr;
    QComboBox *FBaudRate = nullptr;
    TRadioGroup *FParity = nullptr;
    TRadioGroup *FDataBits = nullptr;
    TRadioGroup *FStopBits = nullptr;
    TRadioGroup *FHwflow = nullptr;
    TRadioGroup *FSwflow = nullptr;
    QCheckBox *FHandShaking = nullptr;
    TToolWindow *FOptionWin = nullptr;
    QCheckBox *FStripBlank = nullptr;
    QLineEdit *FIgnoreString = nullptr;
    QLineEdit *FIgnoreString2 = nullptr;
    QCheckBox *FUpperOnly = nullptr;
    QCheckBox *FLowerOnly = nullptr;
    QCheckBox *FAppendLF = nullptr;
    QCheckBox *FAppendCR = nullptr;
    TToolWindow *FRobotWin = nullptr;
    TLCDLabel *FWhereLabel = nullptr;
    QTimer *FPollingTimer = nullptr;
};

} // namespace orv
