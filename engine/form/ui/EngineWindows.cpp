#include "engine/form/ui/EngineWindows.h"

#include "localise/ui/LxQtTranslator.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

namespace {

QString Q(const std::string &Text) { return QString::fromStdString(Text); }

QLabel *ValueLabel(QWidget *Parent)
{
    auto *label = new QLabel(Parent);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumWidth(80);
    return label;
}

// The bar counts in int: a file past this size is counted in kilobytes.
constexpr long long LargestCountInBytes = 1000000000;

int BarCount(long long Value, long long Maximum)
{
    return int(Maximum > LargestCountInBytes ? Value / 1024 : Value);
}

} // namespace

TSplashWindow::TSplashWindow(QWidget *Parent)
    : QWidget(Parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel("Orvellan", this);
    QFont font = title->font();
    font.setPointSize(font.pointSize() * 2);
    font.setBold(true);
    title->setFont(font);
    FText = new QLabel(this);
    layout->addWidget(title);
    layout->addWidget(FText);
    resize(360, 120);
}

void TSplashWindow::ShowProgress(const std::string &Text)
{
    FText->setText(Q(Text));
    show();
}

QString TSplashWindow::ProgressText() const { return FText->text(); }

TProgressWindow::TProgressWindow(QWidget *Parent) : QWidget(Parent)
{
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    FBar = new QProgressBar(this);
    FBar->setMinimum(0);
    FBar->setTextVisible(false);
    layout->addWidget(FBar);
    auto *status = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        FPanels[i] = new QLabel(this);
        FPanels[i]->setFrameShape(QFrame::Panel);
        FPanels[i]->setFrameShadow(QFrame::Sunken);
        status->addWidget(FPanels[i], i == 0 ? 0 : 1);
    }
    FPanels[0]->setFixedWidth(150);
    layout->addLayout(status);
    setFixedSize(400, 65);
}

void TProgressWindow::SetCaption(const std::string &Caption) { setWindowTitle(Q(Caption)); }

void TProgressWindow::SetMaximum(long long Maximum)
{
    FMaximum = Maximum;
    FBar->setMaximum(BarCount(Maximum, Maximum));
}

void TProgressWindow::SetPosition(long long Position)
{
    FBar->setValue(BarCount(Position, FMaximum));
}

void TProgressWindow::SetPanel(int Index, const std::string &Text)
{
    if (Index >= 0 && Index < 2)
        FPanels[Index]->setText(Q(Text));
}

QString TProgressWindow::Panel(int Index) const
{
    return Index >= 0 && Index < 2 ? FPanels[Index]->text() : QString();
}

TBlockSearchForm::TBlockSearchForm(QWidget *Parent) : QWidget(Parent)
{
    setWindowTitle("NC Program Restart");
    setWindowFlags(Qt::Tool | Qt::MSWindowsFixedSizeDialogHint);
    auto *layout = new QVBoxLayout(this);

    auto *axes = new QGroupBox("Axes", this);
    auto *axesGrid = new QGridLayout(axes);
    const char *names[] = {"G", "X", "Y", "Z", "F"};
    QLabel **values[] = {&Gval, &XVal, &YVal, &ZVal, &FVal};
    for (int i = 0; i < 5; ++i) {
        axesGrid->addWidget(new QLabel(names[i], axes), i, 0);
        *values[i] = ValueLabel(axes);
        axesGrid->addWidget(*values[i], i, 1);
        if (i >= 1 && i <= 3)
            axesGrid->addWidget(new QPushButton("->", axes), i, 2);
    }
    layout->addWidget(axes);

    auto *tool = new QGroupBox("Tool", this);
    auto *toolRow = new QHBoxLayout(tool);
    TVal = ValueLabel(tool);
    toolRow->addWidget(new QLabel("T", tool));
    toolRow->addWidget(TVal);
    toolRow->addWidget(new QPushButton("Change Tool", tool));
    layout->addWidget(tool);

    auto *codes = new QGroupBox("M and S Code", this);
    auto *codesGrid = new QGridLayout(codes);
    MVal = ValueLabel(codes);
    Sval = ValueLabel(codes);
    McodeList = new QComboBox(codes);
    MarkAsData(McodeList); // the machine's M codes
    codesGrid->addWidget(new QLabel("M", codes), 0, 0);
    codesGrid->addWidget(MVal, 0, 1);
    codesGrid->addWidget(McodeList, 0, 2);
    codesGrid->addWidget(new QLabel("S", codes), 1, 0);
    codesGrid->addWidget(Sval, 1, 1);
    codesGrid->addWidget(new QPushButton("Run Last M", codes), 1, 2);
    layout->addWidget(codes);

    auto *blocks = new QGridLayout;
    BlockNo = ValueLabel(this);
    TargetBlock = ValueLabel(this);
    blocks->addWidget(new QLabel("Search Block:", this), 0, 0);
    blocks->addWidget(BlockNo, 0, 1);
    blocks->addWidget(new QLabel("Target Block:", this), 1, 0);
    blocks->addWidget(TargetBlock, 1, 1);
    layout->addLayout(blocks);
    layout->addWidget(new QPushButton("Run all", this));
}

void TBlockSearchForm::ShowValues(const TBlockSearchShown &V)
{
    Gval->setText(Q(V.G));
    XVal->setText(Q(V.X));
    YVal->setText(Q(V.Y));
    ZVal->setText(Q(V.Z));
    FVal->setText(Q(V.F));
    TVal->setText(Q(V.T));
    MVal->setText(Q(V.M));
    Sval->setText(Q(V.S));
    BlockNo->setText(Q(V.SearchBlock));
    TargetBlock->setText(Q(V.TargetBlock));
    McodeList->clear();
    for (const auto &code : V.MCodes)
        McodeList->addItem(Q(code));
}

} // namespace orv
