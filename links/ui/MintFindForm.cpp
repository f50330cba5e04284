#include "links/ui/MintFindForm.h"

#include "links/MachLink.h"
#include "links/ui/Mint_Information.h"
#include "platform/ui/ModalRunner.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace orv {

namespace {
// The program that shows the finder shows the probe's window too.
const bool gMintInformation = (InstallMintInformationWindow(), true);
} // namespace

TMintFindDialog::TMintFindDialog(QWidget *Parent, const std::string &SettingsFile)
    : QDialog(Parent), Form(this, SettingsFile) {
    setWindowTitle("Corvane Machine Finder");
    auto *layout = new QVBoxLayout(this);
    ComPorts = new QGroupBox("Com Ports Available", this);
    ComPorts->setObjectName("ComPorts");
    PortButtons = new QButtonGroup(this);
    auto *ports = new QVBoxLayout(ComPorts);
    layout->addWidget(ComPorts);
    auto button = [this, layout](const char *Name, const char *Text) {
        auto *b = new QPushButton(Text, this);
        b->setObjectName(Name);
        layout->addWidget(b);
        return b;
    };
    FindButt = button("FindButt", "Find Machine");
    DownloadButt = button("DownloadButt", "Download Mint");
    RunMintButt = button("RunMintButt", "Run Mint");
    Break = button("Break", "Break Mint");
    QuitButt = button("QuitButt", "Quit");
    Label1 = new QLabel(this);
    StatBar = new QLabel(this);
    Progbar = new QProgressBar(this);
    Progbar->setRange(0, 100);
    layout->addWidget(Label1);
    layout->addWidget(StatBar);
    layout->addWidget(Progbar);
    connect(FindButt, &QPushButton::clicked, this, [this] { Form.FindButtClick(); });
    connect(DownloadButt, &QPushButton::clicked, this, [this] { Form.DownloadButtClick(); });
    connect(RunMintButt, &QPushButton::clicked, this, [this] { Form.RunMintButtClick(); });
    connect(Break, &QPushButton::clicked, this, [this] { Form.BreakClick(); });
    connect(QuitButt, &QPushButton::clicked, this, [this] { Form.Quit(); });
    Form.FormCreate();
    for (const std::string &p : Form.Ports) {
        auto *r = new QRadioButton(QString::fromStdString(p), ComPorts);
        PortButtons->addButton(r);
        ports->addWidget(r);
    }
    if (!PortButtons->buttons().isEmpty())
        PortButtons->buttons().front()->setChecked(true);
}

TMintFindDialog::~TMintFindDialog() {
    Form.FormDestroy();
}

// The automatic search runs after the first paint has finished.
void TMintFindDialog::paintEvent(QPaintEvent *Event) {
    QDialog::paintEvent(Event);
    if (Form.AutomaticSearch && Form.FirstPaint)
        QTimer::singleShot(0, this, [this] { Form.FormPaint(); });
}

void TMintFindDialog::SetStatus(const std::string &Text) {
    StatBar->setText(QString::fromStdString(Text));
}
void TMintFindDialog::SetProgress(int Percent) {
    Progbar->setValue(Percent);
}
void TMintFindDialog::SetButtonsEnabled(bool Enabled) {
    for (QPushButton *b : {FindButt, DownloadButt, RunMintButt, Break, QuitButt})
        b->setEnabled(Enabled);
}
void TMintFindDialog::SetFileLabel(const std::string &Text) {
    Label1->setText(QString::fromStdString(Text));
}
void TMintFindDialog::SelectPort(int Index) {
    QList<QAbstractButton *> buttons = PortButtons->buttons();
    if (Index >= 0 && Index < buttons.size())
        buttons[Index]->setChecked(true);
}
void TMintFindDialog::SetBusyCursor(bool Busy) {
    if (Busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}
void TMintFindDialog::Close() {
    accept();
}

int SearchForMachine(QWidget *Parent, TRead_Machinedata_file *MachineData,
                     const std::string &ArgumentFile, const std::string &SettingsFile) {
    TMintFindDialog dialog(Parent, SettingsFile);
    dialog.Form.AutomaticSearch = true;
    dialog.Form.ArgumentFile = ArgumentFile;
    RunModal(dialog);
    int port = dialog.Form.FoundPort;
    if (MachineData && port > 0)
        SaveComPort(*MachineData, port);
    return port;
}

} // namespace orv
