#include "machine/ui/offset_type_form.h"

#include "localise/ui/LxQtTranslator.h"
#include "machine/ToolingMessages.h"
#include "machine/ui/QtText.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

namespace {

constexpr int HelpContexts[3] = {3100, 3110, 3120}; // X, Y, Z

// Reference picture Tag (1 on the edge, 2 beside it, 3 the other side): the
// part as a block and the cutter as a disc where it touches.
QPixmap ReferencePicture(int Tag, bool Flat)
{
    QPixmap pixmap(72, 56);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Flat ? QColor(200, 200, 200) : QColor(160, 170, 200));
    painter.drawRect(22, 16, 28, 36);
    const int centres[3] = {36, 58, 14};
    painter.setBrush(QColor(90, 90, 90));
    painter.drawEllipse(QPoint(centres[Tag - 1], 10), 8, 8);
    return pixmap;
}

} // namespace

TOffset_type::TOffset_type(int Axis, int FirstPicture, QWidget *Parent) : QDialog(Parent)
{
    FormCreate(Axis, FirstPicture);
}

void TOffset_type::FormCreate(int Axis, int FirstPicture)
{
    setWindowTitle("Set Offset");
    const int axis = Axis >= 1 && Axis <= 3 ? Axis : 1;
    setProperty("HelpContext", HelpContexts[axis - 1]);
    Pictures = new QButtonGroup(this);
    auto *pictures = new QHBoxLayout;
    for (int tag = 1; tag <= 3; ++tag) {
        auto *pic = new QToolButton(this);
        pic->setObjectName(QString("pic%1").arg(tag));
        pic->setCheckable(true);
        pic->setIcon(ReferencePicture(tag, FirstPicture == 5));
        pic->setIconSize(QSize(72, 56));
        Pictures->addButton(pic, tag);
        pictures->addWidget(pic);
    }
    Pictures->button(1)->setChecked(true);
    Rad = new QRadioButton("Use Cutter Radius", this);
    any = new QRadioButton("Other Value", this);
    Edit1 = new QLineEdit("0", this);
    Rad->setChecked(true);
    Edit1->setEnabled(false);
    connect(any, &QRadioButton::toggled, Edit1, &QLineEdit::setEnabled);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(pictures);
    layout->addWidget(Rad);
    layout->addWidget(any);
    layout->addWidget(Edit1);
    layout->addWidget(buttons);
    // English texts; the translator gives the window its language.
    AttachTranslator(this, "TOffset_type");
}

int TOffset_type::Picture() const { return Pictures->checkedId() > 0 ? Pictures->checkedId() : 1; }

bool TOffset_type::UseCutterRadius() const { return Rad->isChecked(); }

std::string TOffset_type::OtherValue() const { return Edit1->text().toStdString(); }

} // namespace orv
