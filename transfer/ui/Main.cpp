#include "transfer/ui/Main.h"

#include "components/lcd/ui/LCD_Lab.h"
#include "components/richedit/RichEditW.h"
#include "components/toolbar/ui/PanelToolWindow.h"
#include "components/toolbar/ui/TbCore.h"
#include "components/toolbar/ui/TbCtls.h"
#include "components/toolbar/ui/TbTlbr.h"
#include "components/toolbar/ui/TbTlwn.h"
#include "platform/EventLoop.h"
#include "platform/HelpService.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"
#include "platform/ui/MdiHost.h"
#include "platform/ui/QtPos_size.h"
#include "transfer/LineSender.h"
#include "transfer/TransferLink.h"
#include "transfer/TransferPort.h"
#include "transfer/ui/About.h"
#include "transfer/ui/InputWin.h"
#include "transfer/ui/RadioGroup.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <optional>

namespace orv {

namespace {
const char *const FileFilter =
    "Mill Files (*.fnc)|*.fnc|Lathe Files (*.fnl)|*.fnl|Robot Files "
    "(*.rob)|*.rob|Robot Position Files (*.pos)|*.pos|All Files (*.*)|*.*";

// The open dialog for a program file, starting in Directory.
std::optional<std::string> ChooseProgramFile(const std::string &Directory) {
    TFileRequest r;
    r.Filter = FileFilter;
    r.InitialDir = Directory;
    return Messages().ChooseFile(r);
}

bool IsFile(const std::string &Name) {
    std::error_code ec;
    return !Name.empty() && std::filesystem::is_regular_file(Name, ec);
}

// Two exclusive boxes: when both end up ticked, the other one is cleared.
void KeepExclusive(QCheckBox *Clicked, QCheckBox *Other) {
    if (Clicked->isChecked() && Other->isChecked())
        Other->setChecked(false);
}

void SetEditorFont(TInputWin *Editor, int PointSize) {
    QFont font = Editor->Editor()->font();
    font.setPointSize(PointSize);
    Editor->Editor()->setFont(font);
}

QLabel *PanelLabel(QWidget *Parent, const char *Name, const char *Text) {
    auto *l = new QLabel(Text, Parent);
    l->setObjectName(Name);
    l->setStyleSheet("color: black");
    return l;
}
} // namespace

TMainForm::TMainForm(const std::string &WorkingFolder, TTransferPort *Port, QWidget *Parent)
    : QMainWindow(Parent), FWorkingFolder(WorkingFolder), FIniFile(RostrelIniPath(WorkingFolder)) {
    setWindowTitle("Corvane RS232 communicator");
    if (!Port) {
        FOwnPort = std::make_unique<TMsgDrvTransferPort>();
        Port = FOwnPort.get();
    }
    FLink = std::make_unique<TTransferLink>(*Port);
    FLink->OnPortLost = [this](const std::string &M) { PortLost(M); };
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    FDock2 = new TDock(central, dpTop);
    FDock2->setObjectName("Dock2");
    FMdi = new QMdiArea(central);
    FDock1 = new TDock(central, dpBottom);
    FDock1->setObjectName("Dock1");
    layout->addWidget(FDock2);
    layout->addWidget(FMdi, 1);
    layout->addWidget(FDock1);
    setCentralWidget(central);
    BuildMenus();
    BuildToolbar();
    BuildStatusPanel();
    BuildCommsSetup();
    BuildOptionWin();
    BuildRobotWin();
    FPollingTimer = new QTimer(this);
    FPollingTimer->setObjectName("PollingTimer");
    FPollingTimer->setInterval(50);
    connect(FPollingTimer, &QTimer::timeout, this, [this] { PollingTimerTimer(); });
    FPollingTimer->start();
    new TQtPos_size(this, "TMainForm", TPosBorder::Sizeable, "Rostrel");
    // Help opens in the desktop's viewer; when it cannot, the user is told.
    Help().SetViewer([](const THelpDocument &Document) {
        if (Document.Path.empty() || !FileExists(Document.Path) ||
            !OpenDocument(Document.Path, Document.Anchor))
            ShowMessage("Cannot open help file: " +
                        (Document.Path.empty() ? Help().HelpFile() : Document.Path));
    });
    FormCreate();
}

TMainForm::~TMainForm() {
    Help().SetViewer(nullptr);
}

void TMainForm::BuildMenus() {
    QMenu *file = menuBar()->addMenu("&File");
    file->addAction("&New", this, [this] { FileNew(); });
    FOpenAction = file->addAction("&Open...", this, [this] { FileOpen(); });
    FReopen = file->addMenu("&Reopen");
    file->addAction("&Save", this, [this] { FileSave(); });
    file->addAction("Save &As...", this, [this] { FileSaveAs(); });
    file->addSeparator();
    file->addAction("&Print", this, [this] { FilePrint(); });
    file->addAction("P&rint Setup...", this, [this] { QPageSetupDialog(&Printer(), this).exec(); });
    file->addSeparator();
    file->addAction("E&xit", this, [this] { close(); });
    QMenu *setup = menuBar()->addMenu("&Setup");
    QMenu *sizes = setup->addMenu("&Font Size");
    const char *captions[] = {"8", "10", "12", "16"};
    for (int tag = 1; tag <= 4; ++tag) {
        QAction *a =
            sizes->addAction(captions[tag - 1], this, [this, tag] { FontSize1Click(tag); });
        a->setCheckable(true);
        FSizeItems.push_back(a);
    }
    setup->addAction("&RS232 port", this, [this] { FCommsSetup->SetVisible(true); });
    setup->addAction("&Options", this, [this] { FOptionWin->SetVisible(true); });
    QMenu *window = menuBar()->addMenu("&Window");
    window->addAction("&Tile", this, [this] { FMdi->tileSubWindows(); });
    window->addAction("&Cascade", this, [this] { FMdi->cascadeSubWindows(); });
    window->addAction("&Arrange All", this, [this] { WindowArrange(); });
    window->addAction("&Close All", this, [this] { CloseAll1Click(); });
    window->addAction("Robot Comms", this, [this] { FRobotWin->SetVisible(true); });
    QMenu *help = menuBar()->addMenu("&Help");
    help->addAction("&Contents", this, [this] { HelpContents(); });
    help->addAction("&Search for Help On...", this, [this] { HelpSearch(); });
    help->addAction("&How to Use Help", this, [this] { HelpHowToUse(); });
    help->addSeparator();
    help->addAction("&About...", this, [this] { HelpAbout(); });
    FHistory.OnRebuildMenu = [this](const std::vector<std::string> &Captions) {
        FReopen->clear();
        for (const std::string &name : Captions)
            FReopen->addAction(QString::fromStdString(name), this, [this, name] {
                if (IsFile(name))
                    OpenIntoNewEditor(name);
            });
    };
}

void TMainForm::BuildToolbar() {
    FRostrel = new TToolbar(this);
    FRostrel->setObjectName("Rostrel");
    FRostrel->SetCaption("Rostrel RS232 functions");
    FRostrel->SetCloseButton(false);
    auto add = [this](const char *Name, const char *Caption, const char *Hint,
                      std::function<void()> Click) {
        auto *b = new TToolbarButton(FRostrel);
        b->setObjectName(Name);
        b->SetCaption(Caption);
        b->setToolTip(Hint);
        b->SetDisplayMode(dmTextOnly);
        b->resize(b->fontMetrics().horizontalAdvance(Caption) + 16, 24);
        b->OnClick = [Click](TToolbarButton *) { Click(); };
        return b;
    };
    FConfigureButt = add("ConfigureButt", "RS Configure", "Configure RS232 parameters",
                         [this] { FCommsSetup->SetVisible(true); });
    FReceiveButt = add("ReceiveButt", "Receive <---", "Receive data into current Receive editor",
                       [this] { ReceiveButtClick(); });
    FSendButt = add("SendButt", "Send --->", "Send data from current editor",
                    [this] { SendButtClick("SendButt"); });
    FStopButt =
        add("StopButt", "Stop", "Stop sending or receiveing data", [this] { StopButtClick(); });
    FSendOne = add("SendOne", "Line by line --->", "Send one line of data at a time",
                   [this] { SendButtClick("SendOne"); });
    FRostrel->SetDockedTo(FDock1);
}

void TMainForm::BuildStatusPanel() {
    auto *panel = new QWidget(this);
    panel->setObjectName("StatusPanel");
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(PanelLabel(panel, "SendingLabel", "Sending:"));
    FSendingPanel = PanelLabel(panel, "Sending", "");
    row->addWidget(FSendingPanel, 1);
    FSent = PanelLabel(panel, "Sent", "0");
    row->addWidget(FSent);
    row->addWidget(PanelLabel(panel, "OfLabel", "of"));
    FSentOf = PanelLabel(panel, "SentOf", "0");
    row->addWidget(FSentOf);
    row->addWidget(PanelLabel(panel, "ReceivingLabel", "Receiving:"));
    FReceived = PanelLabel(panel, "Received", "0");
    row->addWidget(FReceived);
    row->addWidget(PanelLabel(panel, "DroppedLabel", "Dropped:"));
    FDropped = PanelLabel(panel, "Dropped", "0");
    row->addWidget(FDropped);
    centralWidget()->layout()->addWidget(panel);
}

void TMainForm::BuildCommsSetup() {
    auto *content = new QWidget;
    auto *grid = new QGridLayout(content);
    FComPorts = new TRadioGroup("&Com Ports", {}, content);
    FComPorts->setObjectName("ComPorts");
    auto *baudBox = new QGroupBox("&Baud Rate", content);
    FBaudRate = new QComboBox(baudBox);
    FBaudRate->setObjectName("BaudRate");
    for (int rate : BaudRates())
        FBaudRate->addItem(QString::number(rate));
    (new QVBoxLayout(baudBox))->addWidget(FBaudRate);
    FParity = new TRadioGroup("&Parity", {"None", "Odd", "Even", "Mark", "Space"}, content);
    FDataBits = new TRadioGroup("&Data Bits", {"5", "6", "7", "8"}, content);
    FStopBits = new TRadioGroup("&Stop Bits", {"1", "1.5", "2"}, content);
    FHwflow = new TRadioGroup("&HW Flow", {"NONE", "NONE but RTS ON", "RTS<>CTS "}, content);
    FSwflow = new TRadioGroup("&SW Flow", {"NONE", "XON/XOFF"}, content);
    FParity->setObjectName("Parity");
    FDataBits->setObjectName("DataBits");
    FStopBits->setObjectName("StopBits");
    FHwflow->setObjectName("hwflow");
    FSwflow->setObjectName("swflow");
    FHwflow->SetItemIndex(0);
    FSwflow->SetItemIndex(0);
    FHandShaking = new QCheckBox("Hardware handshaking NOT USED", content);
    FHandShaking->setObjectName("HandShaking");
    FHandShaking->setVisible(false);
    auto *ok = new QPushButton("&Ok", content);
    ok->setObjectName("Button1");
    grid->addWidget(FComPorts, 0, 0, 2, 1);
    grid->addWidget(baudBox, 0, 1);
    grid->addWidget(FParity, 1, 1);
    grid->addWidget(FDataBits, 0, 2);
    grid->addWidget(FStopBits, 1, 2);
    grid->addWidget(FHwflow, 0, 3);
    grid->addWidget(FSwflow, 1, 3);
    grid->addWidget(ok, 2, 3);
    FCommsSetup = new TPanelToolWindow(this, "CommsSetup", "Comms Setup", content);
    FCommsSetup->SetResizable(false);
    connect(ok, &QPushButton::clicked, this, [this] { FCommsSetup->SetVisible(false); });
    // The close button writes the port settings.
    FCommsSetup->OnClose = [this](TCustomToolWindow *) { WriteComSettings(); };
}

void TMainForm::BuildOptionWin() {
    auto *content = new QWidget;
    auto *col = new QVBoxLayout(content);
    FStripBlank = new QCheckBox("Do NOT send blank lines", content);
    FStripBlank->setObjectName("StripBlank");
    col->addWidget(FStripBlank);
    col->addWidget(new QLabel("Ignore lines with these comment strings at start", content));
    FIgnoreString = new QLineEdit(content);
    FIgnoreString->setObjectName("IgnoreString");
    FIgnoreString2 = new QLineEdit(content);
    FIgnoreString2->setObjectName("IgnoreString2");
    col->addWidget(FIgnoreString);
    col->addWidget(FIgnoreString2);
    col->addWidget(new QLabel("eg, \"REM Change Tool Here\" would ", content));
    col->addWidget(new QLabel("not be sent if you entered REM here", content));
    auto box = [&](QCheckBox *&Box, const char *Name, const char *Caption,
                   void (TMainForm::*Click)()) {
        Box = new QCheckBox(Caption, content);
        Box->setObjectName(Name);
        connect(Box, &QCheckBox::clicked, this, [this, Click] { (this->*Click)(); });
        col->addWidget(Box);
    };
    box(FUpperOnly, "UpperOnly", "Output everything in UPPERCASE", &TMainForm::UpperOnlyClick);
    box(FLowerOnly, "LowerOnly", "Output everything in lowercase", &TMainForm::LowerOnlyClick);
    box(FAppendLF, "AppendLF", "Append LF after CR", &TMainForm::AppendLFClick);
    box(FAppendCR, "AppendCR", "Append LF before CR          (NB none means CR only)",
        &TMainForm::AppendCRClick);
    auto *ok = new QPushButton("&Ok", content);
    ok->setObjectName("Button2");
    col->addWidget(ok);
    FOptionWin = new TPanelToolWindow(this, "OptionWin", "Options", content);
    connect(ok, &QPushButton::clicked, this, [this] { FOptionWin->SetVisible(false); });
}

void TMainForm::BuildRobotWin() {
    auto *content = new QWidget;
    auto *col = new QVBoxLayout(content);
    // One line of 26 red characters on black, dots off in maroon.
    FWhereLabel = new TLCDLabel(content);
    FWhereLabel->setObjectName("WhereLabel");
    FWhereLabel->SetPixelSize(pix1x1);
    FWhereLabel->SetNoOfChars(26);
    FWhereLabel->SetBackGround(0x000000);
    FWhereLabel->SetPixelOn(0x0000FF);
    FWhereLabel->SetPixelOff(0x000080);
    col->addWidget(FWhereLabel);
    auto *where = new QPushButton("Where ?", content);
    where->setObjectName("WhereButton");
    connect(where, &QPushButton::clicked, this, [this] { WhereButtonClick(); });
    auto *ok = new QPushButton("&Ok", content);
    ok->setObjectName("Button3");
    col->addWidget(where);
    col->addWidget(ok);
    FRobotWin = new TPanelToolWindow(this, "RobotWin", "Mitsubishi Robot Comms", content);
    connect(ok, &QPushButton::clicked, this, [this] { FRobotWin->SetVisible(false); });
}

void TMainForm::FormCreate() {
    Help().SetHelpFile(ChangeFileExt(ProgramFolder() + ProgramFileName(), ".hlp"));
    ListComPorts();
    ReadComSettings();
    ReadOptions();
    FNextWinId = 0;
    FReceiveWinId = -1;
    FReceivedCount = 0;
    FHistory.SetSize(FHistorySize);
    FHistory.LoadHistory(FIniFile);
}

void TMainForm::FormDestroy() {
    WriteComSettings();
    WriteOptions();
    FHistory.SaveHistory(FIniFile);
    FLink->Disconnect();
}

void TMainForm::closeEvent(QCloseEvent *Event) {
    if (FSending) {
        // The send stops first; the frame closes when it has.
        FCancel = true;
        Event->ignore();
        QTimer::singleShot(0, this, [this] { close(); });
        return;
    }
    FormDestroy();
    FMdi->closeAllSubWindows();
    Event->accept();
}

// ---- editors and files ----

std::vector<TInputWin *> TMainForm::Editors() const {
    std::vector<TInputWin *> list;
    // A closed window is gone at once, though it is freed later.
    for (QMdiSubWindow *w : FMdi->subWindowList())
        if (auto *e = qobject_cast<TInputWin *>(w->widget()); e && !w->isHidden())
            list.push_back(e);
    return list;
}

TInputWin *TMainForm::ActiveEditor() const {
    QMdiSubWindow *w = FMdi->activeSubWindow();
    if (w && !w->isHidden())
        return qobject_cast<TInputWin *>(w->widget());
    const auto list = Editors();
    return list.empty() ? nullptr : list.back();
}

TInputWin *TMainForm::CreateMDIChild(const std::string &Name) {
    auto *e = new TInputWin;
    e->setWindowTitle(QString::fromStdString(Name));
    e->WinId = ++FNextWinId;
    e->OnSendClick = [this](TInputWin *) { SendButtClick("SendtoRS2321"); };
    e->OnReceiveClick = [this](TInputWin *) { ReceiveButtClick(); };
    e->OnReOpen = [this](TInputWin *) {
        if (FSending)
            return;
        auto chosen = ChooseProgramFile(FFileDirectory);
        if (chosen && IsFile(*chosen) && ActiveEditor()) {
            ActiveEditor()->LoadFile(*chosen);
            FHistory.AddFile(*chosen);
        }
    };
    e->OnCloseQuery = [this](TInputWin *W) { return EditorCloseQuery(W); };
    SetEditorFont(e, FFontSize);
    QMdiSubWindow *sub = FMdi->addSubWindow(e);
    new TQtPos_size(sub, "TInputWin", TPosBorder::Sizeable);
    sub->show();
    FMdi->setActiveSubWindow(sub);
    if (IsFile(Name))
        e->LoadFile(Name);
    return e;
}

bool TMainForm::EditorCloseQuery(TInputWin *Editor) {
    if (!FSending || Editor != FSendingEditor)
        return true;
    FCancel = true;
    FCloseAfterSend = true;
    return false;
}

void TMainForm::FileNew() {
    CreateMDIChild("UNKNOWN" + std::to_string(Editors().size() + 1));
}

void TMainForm::OpenIntoNewEditor(const std::string &Name) {
    CreateMDIChild(Name);
}

void TMainForm::FileOpen() {
    if (FSending)
        return;
    auto chosen = ChooseProgramFile(FFileDirectory);
    if (chosen && !chosen->empty()) {
        CreateMDIChild(*chosen);
        FHistory.AddFile(*chosen);
        FFileDirectory = std::filesystem::path(*chosen).parent_path().string();
        if (!FFileDirectory.empty() && FFileDirectory.back() != '/')
            FFileDirectory += '/';
    }
    WriteOptions();
}

void TMainForm::FileSave() {
    if (TInputWin *e = ActiveEditor())
        e->SaveFile(e->windowTitle().toStdString());
}

void TMainForm::FileSaveAs() {
    TInputWin *e = ActiveEditor();
    if (!e)
        return;
    e->SaveFile("");
    if (IsFile(e->windowTitle().toStdString()))
        FHistory.AddFile(e->windowTitle().toStdString());
}

QPrinter &TMainForm::Printer() {
    if (!FPrinter)
        FPrinter = std::make_unique<QPrinter>();
    return *FPrinter;
}

void TMainForm::FilePrint() {
    TInputWin *e = ActiveEditor();
    if (!e)
        return;
    QPrintDialog dialog(&Printer(), this);
    if (dialog.exec() == QDialog::Accepted)
        e->Editor()->Print(e->windowTitle().toStdString(), Printer());
}

void TMainForm::FontSize1Click(int Tag) {
    static const int sizes[] = {8, 10, 12, 16};
    if (Tag >= 1 && Tag <= 4)
        FFontSize = sizes[Tag - 1];
    for (size_t i = 0; i < FSizeItems.size(); ++i)
        FSizeItems[i]->setChecked(sizes[i] == FFontSize);
    for (TInputWin *e : Editors())
        SetEditorFont(e, FFontSize);
}

void TMainForm::UpperOnlyClick() {
    KeepExclusive(FUpperOnly, FLowerOnly);
}
void TMainForm::LowerOnlyClick() {
    KeepExclusive(FLowerOnly, FUpperOnly);
}
void TMainForm::AppendLFClick() {
    KeepExclusive(FAppendLF, FAppendCR);
}
void TMainForm::AppendCRClick() {
    KeepExclusive(FAppendCR, FAppendLF);
}

void TMainForm::CloseAll1Click() {
    const auto list = FMdi->subWindowList();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        (*it)->close();
}

void TMainForm::HelpContents() {
    Help().ShowContents(Help().HelpFile());
}

void TMainForm::HelpSearch() {
    Help().ShowIndex(Help().HelpFile());
}

void TMainForm::HelpHowToUse() {
    Help().ShowHelpOnHelp(Help().HelpFile());
}

// The icons of the minimised editors line up along the bottom of the
// area, left to right, a row above when one is full; the other windows
// stay where they are.
void TMainForm::WindowArrange() {
    const QRect area = FMdi->viewport()->rect();
    int x = 0;
    int y = area.bottom() + 1;
    int rowHeight = 0;
    for (QMdiSubWindow *w : FMdi->subWindowList()) {
        if (!w->isMinimized() || w->isHidden())
            continue;
        const QSize icon = w->size();
        if (x > 0 && x + icon.width() > area.width()) {
            x = 0;
            y -= rowHeight;
            rowHeight = 0;
        }
        if (x == 0)
            rowHeight = icon.height();
        w->move(x, std::max(0, y - icon.height()));
        x += icon.width();
        rowHeight = std::max(rowHeight, icon.height());
    }
}

void TMainForm::HelpAbout() {
    TAboutBox box(this);
    box.exec();
}

// ---- settings ----

void TMainForm::ListComPorts() {
    FPorts = orv::ListComPorts(FIniFile);
    QStringList names;
    for (const TComPortEntry &p : FPorts)
        names << QString::fromStdString(p.Name);
    FComPorts->SetItems(names);
    FComPorts->SetItemIndex(0);
}

void TMainForm::ReadComSettings() {
    TComSettings c;
    orv::ReadComSettings(FIniFile, c);
    FComPorts->SetItemIndex(PortIndexFor(c.Port, FComPorts->Count()));
    FBaudRate->setCurrentIndex(c.BaudRate >= 0 && c.BaudRate < FBaudRate->count() ? c.BaudRate
                                                                                  : -1);
    FParity->SetItemIndex(c.Parity);
    FDataBits->SetItemIndex(c.DataBits);
    FStopBits->SetItemIndex(c.StopBits);
    FHandShaking->setChecked(c.HandShaking);
}

void TMainForm::WriteComSettings() {
    TComSettings c{FComPorts->ItemIndex(), FBaudRate->currentIndex(), FParity->ItemIndex(),
                   FDataBits->ItemIndex(), FStopBits->ItemIndex(),    FHandShaking->isChecked()};
    orv::WriteComSettings(FIniFile, c, Options());
}

void TMainForm::ReadOptions() {
    TRostrelSettings s;
    orv::ReadOptions(FIniFile, s);
    FFileDirectory = s.FileDirectory;
    FFontSize = s.FontSize;
    FHistorySize = s.HistorySize;
    SetOptions(s.Options);
    FontSize1Click(0);
}

void TMainForm::WriteOptions() {
    TRostrelSettings s;
    s.FileDirectory = FFileDirectory;
    s.FontSize = FFontSize;
    s.Options = Options();
    orv::WriteOptions(FIniFile, s);
}

TSendOptions TMainForm::Options() const {
    TSendOptions o;
    o.StripBlank = FStripBlank->isChecked();
    o.Comment1 = FIgnoreString->text().toStdString();
    o.Comment2 = FIgnoreString2->text().toStdString();
    o.UpperOnly = FUpperOnly->isChecked();
    o.LowerOnly = FLowerOnly->isChecked();
    o.AppendLF = FAppendLF->isChecked();
    o.AppendCR = FAppendCR->isChecked();
    return o;
}

void TMainForm::SetOptions(const TSendOptions &O) {
    FStripBlank->setChecked(O.StripBlank);
    FIgnoreString->setText(QString::fromStdString(O.Comment1));
    FIgnoreString2->setText(QString::fromStdString(O.Comment2));
    FUpperOnly->setChecked(O.UpperOnly);
    FLowerOnly->setChecked(O.LowerOnly);
    FAppendLF->setChecked(O.AppendLF);
    FAppendCR->setChecked(O.AppendCR);
}

// ---- the port ----

void TMainForm::OpenPort() {
    FLink->Disconnect();
    const TSerialSettings line =
        LineSettings(FBaudRate->currentIndex(), FParity->ItemIndex(), FDataBits->ItemIndex(),
                     FStopBits->ItemIndex(), FHwflow->ItemIndex(), FSwflow->ItemIndex());
    FPortOpen = FLink->OpenPort(FPorts, FComPorts->ItemIndex(), line);
}

void TMainForm::PollingTimerTimer() {
    FLink->Poll();
}

void TMainForm::PortLost(const std::string &Message) {
    FPortOpen = false;
    if (FSending) {
        // The send ends at its next line and shows this message.
        FLostMessage = Message;
        FCancel = true;
        return;
    }
    if (TInputWin *w = ReceiveWindow())
        w->SetEditorState(2);
    ShowMessage(Message);
}

// ---- sending ----

void TMainForm::SetSendingCommands(bool Enabled) {
    for (QWidget *w :
         {static_cast<QWidget *>(FSendButt), static_cast<QWidget *>(FSendOne),
          static_cast<QWidget *>(FReceiveButt), static_cast<QWidget *>(FConfigureButt)})
        w->setEnabled(Enabled);
    FOpenAction->setEnabled(Enabled);
    FReopen->setEnabled(Enabled);
}

void TMainForm::SendButtClick(const std::string &SenderName) {
    if (FSending)
        return;
    const bool lineByLine = SenderName == "SendOne";
    TInputWin *editor = ActiveEditor();
    if (!editor) {
        ShowMessage("Please open a file to send !");
        return;
    }
    OpenPort();
    if (!FPortOpen)
        return;
    FCancel = false;
    FSending = true;
    FSendingEditor = editor;
    FCloseAfterSend = false;
    FLostMessage.clear();
    SetSendingCommands(false);
    editor->SetEditorState(0);
    editor->ResetSendPosition();
    FSentOf->setText(QString::number(editor->NumberOfChars()));
    FSent->setText("0");

    TLineSender sender(FLink->Port(), Options());
    sender.LineByLine = lineByLine;
    sender.Cancel = &FCancel;
    sender.GetNextLine = [editor](std::string &Line) { return editor->GetNextLine(Line); };
    sender.OnSending = [this](const std::string &L) { FSendingPanel->setText(FromBytes(L)); };
    sender.OnSent = [this](int N) { FSent->setText(QString::number(N)); };
    TSendEnd end = sender.Run();

    editor->SetEditorState(2);
    FSending = false;
    FSendingEditor = nullptr;
    SetSendingCommands(true);
    std::string message = FLostMessage.empty() ? sender.EndMessage() : FLostMessage;
    if (end == TSendEnd::Lost || !FLostMessage.empty())
        FLink->Disconnect();
    if (!message.empty())
        ShowMessage(message);
    if (FCloseAfterSend) {
        FCloseAfterSend = false;
        QWidget *frame = editor->parentWidget();
        (qobject_cast<QMdiSubWindow *>(frame) ? frame : editor)->close();
    }
}

void TMainForm::StopButtClick() {
    FCancel = true;
    if (TInputWin *w = ReceiveWindow())
        w->SetEditorState(2);
    FLink->Disconnect();
    FPortOpen = false;
    FReceivedCount = 0;
}

// ---- receiving ----

int TMainForm::FindWindowById(int Id) const {
    const auto list = Editors();
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i]->WinId == Id)
            return int(i);
    return -1;
}

TInputWin *TMainForm::ReceiveWindow() const {
    int i = FReceiveWinId < 0 ? -1 : FindWindowById(FReceiveWinId);
    return i < 0 ? nullptr : Editors()[size_t(i)];
}

void TMainForm::ReceiveButtClick() {
    if (FSending)
        return;
    FReceivedCount = 0;
    if (TInputWin *w = ReceiveWindow())
        w->SetEditorState(2);
    int answer = mrNo;
    if (ActiveEditor())
        answer = MessageDlg("Confirm", "Receive data into active editor ?", mtConfirmation,
                            mbYesNoCancel);
    if (answer == mrCancel)
        return;
    if (answer == mrYes)
        FReceiveWinId = ActiveEditor()->WinId;
    else
        FReceiveWinId = CreateMDIChild("RS232 Receive")->WinId;
    OpenPort();
    FReceiveBound = true;
    FLink->OnReceiveData = [this](const uint8_t *Data, int Size) { ReceiveData(Data, Size); };
}

void TMainForm::ReceiveData(const uint8_t *Data, int Size) {
    TInputWin *w = ReceiveWindow();
    if (!w) {
        w = CreateMDIChild("RS232 Receive");
        FReceiveWinId = w->WinId;
    }
    w->SetEditorState(1);
    w->AppendReceived(Data, Size);
    if (FRobotWin->Visible())
        ShowRobotReply(std::string(reinterpret_cast<const char *>(Data), size_t(Size)));
    FReceivedCount = w->NumberOfChars();
    FReceived->setText(QString::number(FReceivedCount));
    FDropped->setText(QString::number(w->Dropped()));
}

void TMainForm::ShowRobotReply(const std::string &Text) {
    FWhereLabel->SetCaption(Text);
}

void TMainForm::WhereButtonClick() {
    OpenPort();
    if (!FPortOpen)
        return;
    TSendOutcome out = FLink->Port().SendString("WH\r\n");
    if (out.Status == TSendStatus::Lost)
        PortLost("COM port lost: " + out.Reason + " !");
}

} // namespace orv
