#include "links/ui/Rs232.h"

#include "engine/core/Mess.h"
#include "platform/MessageService.h"
#include "platform/ui/ModalRunner.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace orv {

namespace {

QString Tr(const char *Text) { return QString::fromStdString(Mess().Translate(Text)); }

QButtonGroup *RadioGroup(QWidget *Owner, QGridLayout *Grid, int Row, int Column,
                         const char *Caption, std::initializer_list<const char *> Items,
                         int Columns = 1)
{
    auto *box = new QGroupBox(Tr(Caption), Owner);
    auto *layout = new QGridLayout(box);
    auto *group = new QButtonGroup(box);
    int i = 0;
    for (const char *item : Items) {
        auto *radio = new QRadioButton(QString::fromUtf8(item), box);
        layout->addWidget(radio, i / Columns, i % Columns);
        group->addButton(radio, i);
        ++i;
    }
    Grid->addWidget(box, Row, Column);
    return group;
}

void Check(QButtonGroup *Group, int Index)
{
    if (QAbstractButton *b = Group->button(Index))
        b->setChecked(true);
}

} // namespace

TRs232_form::TRs232_form(QWidget *Parent) : QDialog(Parent)
{
    setObjectName("Rs232_form");
    setWindowTitle(Tr("RS 232 Setup"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto *outer = new QVBoxLayout(this);
    auto *grid = new QGridLayout;
    outer->addLayout(grid);
    ComPortRG = RadioGroup(this, grid, 0, 0, " COM Port ", {"COM1", "COM2", "COM3", "COM4"});
    BaudRateRG = RadioGroup(this, grid, 0, 1, " Baud rate ",
                            {"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200"},
                            3);
    DataBitsRG = RadioGroup(this, grid, 1, 0, " Data bits ", {"5", "6", "7", "8"});
    ParityRG = RadioGroup(this, grid, 1, 1, " Parity ", {"none", "odd", "even", "mark", "space"});
    HandshakingRG = RadioGroup(this, grid, 2, 0, " Handshaking ",
                               {"none", "RTS/CTS", "XON/XOFF", "RTS/CTS + XON/XOFF"});
    stop_bits = RadioGroup(this, grid, 2, 1, "Stop Bits", {"1", "1.5", "2"});
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(Tr("&OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(Tr("&Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    outer->addWidget(buttons);
}

void TRs232_form::SetGroups(const TRs232Groups &G)
{
    Check(ComPortRG, G.ComPortRG);
    Check(BaudRateRG, G.BaudRateRG);
    Check(DataBitsRG, G.DataBitsRG);
    Check(ParityRG, G.ParityRG);
    Check(HandshakingRG, G.HandshakingRG);
    Check(stop_bits, G.stop_bits);
}

TRs232Groups TRs232_form::Groups() const
{
    TRs232Groups g;
    g.ComPortRG = ComPortRG->checkedId();
    g.BaudRateRG = BaudRateRG->checkedId();
    g.DataBitsRG = DataBitsRG->checkedId();
    g.ParityRG = ParityRG->checkedId();
    g.HandshakingRG = HandshakingRG->checkedId();
    g.stop_bits = stop_bits->checkedId();
    return g;
}

TRs232Dialog Rs232Dialog(QWidget *Parent)
{
    return [Parent](TRs232Groups &Groups) {
        TRs232_form form(Parent);
        form.SetGroups(Groups);
        if (RunModal(form) != QDialog::Accepted)
            return int(mrCancel);
        Groups = form.Groups();
        return int(mrOk);
    };
}

} // namespace orv
