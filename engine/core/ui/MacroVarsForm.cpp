#include "engine/core/ui/MacroVarsForm.h"

#include "components/rspin/ui/RSpin.h"
#include "engine/core/MacroVars.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace orv {

namespace {

// Field grid of a page: rows of four, each field with its label on the
// left, as wide as the widest label ("#999: ") in the window's font.
constexpr int FieldWidth = 80;
constexpr int ColumnGap = 35;
constexpr int FirstRowTop = 20;
constexpr int RowStep = 29;
constexpr int PageMargin = 10;

} // namespace

TMacroVarsForm::TMacroVarsForm(TMacroVars &Store, QWidget *Parent)
    : QWidget(Parent, Qt::Window | Qt::WindowStaysOnTopHint), FStore(Store)
{
    setObjectName("MacroVarsForm");
    setWindowTitle("Macro Variables #");
    FPages = new QTabWidget(this);
    FPages->addTab(MakePage(0, 33), "Variables #1 to #33");
    FPages->addTab(MakePage(100, 149), "Variables #100 to #149");
    FPages->addTab(MakePage(500, 531), "Variables #500 to #531");
    FPages->setCurrentIndex(2);
    FOK = new QPushButton("OK", this);
    connect(FOK, &QPushButton::clicked, this, [this] { OKClick(); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(FOK);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FPages);
    layout->addLayout(buttons);
    // Wide enough for every tab's caption side by side and every page.
    FPages->setMinimumWidth(
        std::max(FPages->minimumSizeHint().width(), FPages->tabBar()->sizeHint().width() + 8));
    resize(QSize(500, 480).expandedTo(minimumSizeHint()));
    FStore.OnChange = [this](int Number) { StoreChanged(Number); };
}

TMacroVarsForm::~TMacroVarsForm() { FStore.OnChange = nullptr; }

QLineEdit *TMacroVarsForm::Field(int Number) const
{
    auto it = FFields.find(Number);
    return it == FFields.end() ? nullptr : it->second;
}

QWidget *TMacroVarsForm::MakePage(int First, int Last)
{
    auto *page = new QWidget;
    const int LabelWidth =
        std::max(40, page->fontMetrics().horizontalAdvance("#999: ") + 4);
    int FieldLefts[4];
    for (int column = 0; column < 4; ++column)
        FieldLefts[column] = PageMargin + LabelWidth + column * (LabelWidth + FieldWidth + ColumnGap);
    page->setMinimumSize(FieldLefts[3] + FieldWidth + 20, FirstRowTop + RowStep * 13 + 10);
    auto *typed = new QRegularExpressionValidator(QRegularExpression("[-+0-9.]*"), page);
    for (int number = First; number <= Last; ++number) {
        int row = (number - First) / 4, column = (number - First) % 4;
        int top = FirstRowTop + row * RowStep;
        auto *label = new QLabel(QString("#%1: ").arg(number), page);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(FieldLefts[column] - LabelWidth, top + 3, LabelWidth, 17);
        auto *field = new TRSpinEdit(page);
        field->setText(QString::fromStdString(FStore.VarText(number)));
        field->setObjectName(QString("Var%1").arg(number));
        field->setGeometry(FieldLefts[column], top, FieldWidth, 23);
        field->setValidator(typed);
        field->setEnabled(number != 0); // #0 always reads 0
        connect(field, &QLineEdit::textEdited, this,
                [this, number](const QString &Text) { FieldEdited(number, Text); });
        // A step by the arrow keys or the spin button reaches the store too.
        field->OnChange = [this, number, field] {
            if (field->text().toStdString() != FStore.VarText(number))
                FieldEdited(number, field->text());
        };
        FFields[number] = field;
    }
    return page;
}

void TMacroVarsForm::FieldEdited(int Number, const QString &Text)
{
    FStore.SetVarText(Number, Text.toStdString());
}

// A program or the operator changed a value: show the store's text.
void TMacroVarsForm::StoreChanged(int Number)
{
    QLineEdit *field = Field(Number);
    QString text = QString::fromStdString(FStore.VarText(Number));
    if (field && field->text() != text)
        field->setText(text);
}

void TMacroVarsForm::OKClick()
{
    FStore.Save();
    hide();
}

} // namespace orv
