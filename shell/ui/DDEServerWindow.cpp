#include "shell/ui/DDEServerWindow.h"

#include "engine/core/Mess.h"
#include "shell/simple_server_one.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace orv {

namespace {
QString Tr(const char *Text) { return QString::fromStdString(Mess().Translate(Text)); }
} // namespace

TDDEServerWindow::TDDEServerWindow(TDDEServer &Server, QWidget *Parent)
    : QDialog(Parent), FServer(Server)
{
    setObjectName("DDEServer");
    setWindowTitle(Tr("CIM DDE Server"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint);
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(Tr("Data In"), this), 0, 0);
    DDE_Input = new QLineEdit(this);
    DDE_Input->setObjectName("DDE_Input");
    DDE_Input->setReadOnly(true);
    grid->addWidget(DDE_Input, 0, 1, 1, 3);
    grid->addWidget(new QLabel(Tr("Data Out"), this), 1, 0);
    DDE_output = new QLineEdit(this);
    DDE_output->setObjectName("DDE_output");
    grid->addWidget(DDE_output, 1, 1, 1, 3);
    Con_Discon = new QPushButton(this);
    Con_Discon->setObjectName("Con_Discon");
    SendData = new QPushButton(Tr("Send Data"), this);
    OK = new QPushButton(Tr("OK"), this);
    grid->addWidget(Con_Discon, 2, 1);
    grid->addWidget(SendData, 2, 2);
    grid->addWidget(OK, 2, 3);
    connect(Con_Discon, &QPushButton::clicked, this, [this] { FServer.Con_DisconClick(); });
    connect(SendData, &QPushButton::clicked, this,
            [this] { FServer.SendDataClick(DDE_output->text().toStdString()); });
    connect(OK, &QPushButton::clicked, this, [this] {
        FServer.Visible = false;
        hide();
    });
    FServer.OnChanged = [this] { ShowState(); };
    ShowState();
}

TDDEServerWindow::~TDDEServerWindow() { FServer.OnChanged = nullptr; }

void TDDEServerWindow::ShowState()
{
    DDE_Input->setText(QString::fromStdString(FServer.DDE_Input()));
    DDE_output->setText(QString::fromStdString(FServer.StatusText));
    Con_Discon->setText(QString::fromStdString(FServer.ConnectCaption()));
    if (FServer.Visible && !isVisible())
        show();
}

void TDDEServerWindow::showEvent(QShowEvent *Event)
{
    QDialog::showEvent(Event);
    ShowState();
}

} // namespace orv
