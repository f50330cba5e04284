#include "shell/ui/CNC_Editor_pref_form.h"

#include "components/richedit/RichEditW.h"
#include "engine/core/Mess.h"
#include "platform/ui/QtPos_size.h"
#include "shell/ui/EditorDialogs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orv {

namespace {
QString Tr(const char *Text) { return QString::fromStdString(Mess().Translate(Text)); }

void Paint(QLabel *Label, uint32_t Colour)
{
    Label->setAutoFillBackground(true);
    QPalette p = Label->palette();
    p.setColor(QPalette::Window, TRichEditW::ToQColor(Colour));
    Label->setPalette(p);
}
} // namespace

TCol_pref::TCol_pref(const TTokenColours &Colours, QWidget *Parent)
    : QDialog(Parent), FColours(Colours)
{
    setObjectName("Col_pref");
    setWindowTitle(Tr("Colour Preferences"));
    Tree = new QTreeWidget(this);
    Tree->setHeaderHidden(true);
    for (int i = 0; i < EditorTokenCount; ++i)
        Tree->addTopLevelItem(new QTreeWidgetItem({QString(QChar(EditorTokens[i]))}));
    Cols = new QWidget(this);
    Cols->setObjectName("Cols");
    Example = new QLabel(Cols);
    Example->setMinimumWidth(60);
    Fcolor = new QLabel(Cols);
    Fcolor->setObjectName("Fcolor");
    Fcolor->setFixedSize(40, 20);
    Bcolor = new QLabel(Cols);
    Bcolor->setObjectName("Bcolor");
    Bcolor->setFixedSize(40, 20);
    Fcolor->installEventFilter(this);
    Bcolor->installEventFilter(this);
    Style = new QButtonGroup(this);
    auto *panel = new QVBoxLayout(Cols);
    panel->addWidget(Example);
    auto *swatches = new QHBoxLayout;
    swatches->addWidget(Fcolor);
    swatches->addWidget(Bcolor);
    panel->addLayout(swatches);
    const char *styles[] = {"Regular", "Bold", "Italic", "Bold Italic"};
    for (int i = 0; i < 4; ++i) {
        auto *button = new QRadioButton(Tr(styles[i]), Cols);
        Style->addButton(button, i);
        panel->addWidget(button);
    }
    connect(Style, &QButtonGroup::idClicked, this, [this](int Id) { SetStyle(Id); });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    row->addWidget(Tree);
    row->addWidget(Cols);
    layout->addLayout(row);
    layout->addWidget(buttons);
    connect(Tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *Item) {
        SelectToken(Item ? Tree->indexOfTopLevelItem(Item) : -1);
    });
    SelectToken(0);
    adjustSize();
    new TQtPos_size(this, "TCol_pref", TPosBorder::Fixed);
}

void TCol_pref::SelectToken(int Index)
{
    FIndex = Index;
    Cols->setVisible(Index >= 0);
    if (Index >= 0 && Tree->currentItem() != Tree->topLevelItem(Index))
        Tree->setCurrentItem(Tree->topLevelItem(Index));
    ShowToken();
}

void TCol_pref::ShowToken()
{
    if (FIndex < 0)
        return;
    const TTokenFormat &format = FColours.Tokens[FIndex];
    Example->setText(QString(QChar(EditorTokens[FIndex])));
    Example->setAutoFillBackground(true);
    QPalette p = Example->palette();
    p.setColor(QPalette::WindowText, TRichEditW::ToQColor(format.Colour));
    p.setColor(QPalette::Window, TRichEditW::ToQColor(format.BackColour));
    Example->setPalette(p);
    QFont font = Example->font();
    font.setBold(format.Style & 1);
    font.setItalic(format.Style & 2);
    Example->setFont(font);
    Paint(Fcolor, format.Colour);
    Paint(Bcolor, format.BackColour);
    if (QAbstractButton *button = Style->button(format.Style & 3))
        button->setChecked(true);
}

void TCol_pref::SetStyle(int StyleIndex)
{
    if (FIndex < 0)
        return;
    FColours.Tokens[FIndex].Style = (uint8_t)(StyleIndex & 3);
    ShowToken();
}

void TCol_pref::ChooseColour(bool Background)
{
    if (FIndex < 0)
        return;
    TTokenFormat &format = FColours.Tokens[FIndex];
    uint32_t colour = Background ? format.BackColour : format.Colour;
    if (!EditorDialogs().Colour(this, colour))
        return;
    (Background ? format.BackColour : format.Colour) = colour;
    ShowToken();
}

bool TCol_pref::eventFilter(QObject *Watched, QEvent *Event)
{
    if (Event->type() == QEvent::MouseButtonPress && (Watched == Fcolor || Watched == Bcolor)) {
        ChooseColour(Watched == Bcolor);
        return true;
    }
    return QDialog::eventFilter(Watched, Event);
}

} // namespace orv
