#include "engine/view2d/ui/graphic_setup.h"

#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "engine/view2d/View2dGeometry.h"
#include "engine/view2d/ui/View2dQtCanvas.h"
#include "localise/ui/LxQtTranslator.h"
#include "platform/IniFile.h"
#include "platform/ui/ColourDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace orv {

namespace {

constexpr const char *ColourCaptions[GraphicColourCount] = {
    "Rapid Movement Colour", "Linear Movement Colour", "Circular Movement Colour",
    "Material Colour",       "Centre line Colour",     "Not Cutting Colour",
    "High light Colour"};
constexpr const char *CheckCaptions[GraphicSwitchCount] = {
    "Draw Outline Graphics", "Draw Solid Graphics", "Draw Centre Line", "Use Tool Colours",
    "linears",               "rapids",              "arcs",             "Show Cutter"};

// The preview box: 200 x 200 mm at one pixel per mm.
TViewMapping PreviewMapping()
{
    TViewMapping Map;
    Map.AreaHeight = 200;
    return Map;
}

TDD_Type PreviewLine(uint8_t Kind, double X1, double Y1, double X2, double Y2, TColor Colour)
{
    return MakeStraightElement(Kind, PreviewMapping(), {X1, Y1, -1}, {X2, Y2, -1}, 10, 1, Colour);
}

} // namespace

TG_setup::TG_setup(QWidget *Parent) : QDialog(Parent)
{
    setWindowTitle("2D Simulation Setup");
    auto *Grid = new QGridLayout;
    for (int I = 0; I < GraphicColourCount; ++I) {
        FSwatches[I] = new QPushButton(ColourCaptions[I]);
        connect(FSwatches[I], &QPushButton::clicked, this, [this, I] { ChooseColour(I); });
        Grid->addWidget(FSwatches[I], I, 0);
    }
    for (int I = 0; I < GraphicSwitchCount; ++I) {
        FChecks[I] = new QCheckBox(CheckCaptions[I]);
        if (I < 3)
            connect(FChecks[I], &QCheckBox::toggled, this, [this] { UpdatePreview(); });
        Grid->addWidget(FChecks[I], I, 1);
    }
    FSpeed = new QScrollBar(Qt::Horizontal);
    FSpeed->setRange(1, 8);
    FSpeedLabel = new QLabel;
    connect(FSpeed, &QScrollBar::valueChanged, this, [this](int V) {
        FSpeedLabel->setText(QString::fromStdString(Mess().Translate("Speed = ")) + QString::number(V));
    });
    Grid->addWidget(FSpeedLabel, 8, 0);
    Grid->addWidget(FSpeed, 8, 1);
    FPreview = new QLabel;
    FPreview->setFixedSize(200, 200);
    Grid->addWidget(FPreview, 0, 2, 9, 1);
    auto *Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(Buttons, &QDialogButtonBox::accepted, this, [this] {
        SaveSettings();
        accept();
    });
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *Layout = new QVBoxLayout(this);
    Layout->addLayout(Grid);
    Layout->addWidget(Buttons);
    SetValues(TGraphicSettings{});
    // English texts; the translator gives the window its language.
    AttachTranslator(this, "TG_setup");
}

void TG_setup::LoadSettings(const std::string &FileName)
{
    FFileName = FileName;
    SetValues(LoadGraphicSettings(FileName));
}

void TG_setup::SaveSettings()
{
    if (!FFileName.empty())
        SaveGraphicSettings(FFileName, Values());
}

TGraphicSettings TG_setup::Values() const
{
    TGraphicSettings S;
    for (int I = 0; I < GraphicColourCount; ++I)
        S.*GraphicColourKeys[I].Field = FColours[I];
    for (int I = 0; I < GraphicSwitchCount; ++I)
        S.*GraphicSwitchKeys[I].Field = FChecks[I]->isChecked();
    S.CutterSpeed = FSpeed->value();
    return S;
}

void TG_setup::SetValues(const TGraphicSettings &Settings)
{
    for (int I = 0; I < GraphicColourCount; ++I) {
        FColours[I] = Settings.*GraphicColourKeys[I].Field;
        ShowSwatch(I);
    }
    for (int I = 0; I < GraphicSwitchCount; ++I)
        FChecks[I]->setChecked(Settings.*GraphicSwitchKeys[I].Field);
    FSpeed->setValue(Settings.CutterSpeed);
    FSpeedLabel->setText(QString::fromStdString(Mess().Translate("Speed = ")) +
                         QString::number(Settings.CutterSpeed));
    UpdatePreview();
}

void TG_setup::ShowSwatch(int Index)
{
    const QColor C = ToQColor(FColours[Index]);
    FSwatches[Index]->setStyleSheet(QString("background-color: %1; color: %2")
                                        .arg(C.name(), C.lightness() < 128 ? "white" : "black"));
}

// The program's colour dialog, in the language in use, with the custom
// colours every colour dialog keeps beside the program.
void TG_setup::ChooseColour(int Index)
{
    uint32_t Chosen = static_cast<uint32_t>(FColours[Index]);
    if (!orv::ChooseColour(this, Chosen, ExeFileWithExt("col")))
        return;
    FColours[Index] = static_cast<TColor>(Chosen);
    ShowSwatch(Index);
    UpdatePreview();
}

QImage TG_setup::PreviewImage() const
{
    TGraphicSettings S = Values();
    QImage Image(200, 200, QImage::Format_RGB32);
    Image.fill(ToQColor(S.MaterialColour));
    TQtCanvas2D Canvas(&Image);
    S.UseToolColour = false;
    DrawElement(Canvas, PreviewLine(ekRapid, 20, 180, 180, 180, 0), S, 1);
    DrawElement(Canvas, PreviewLine(ekLinear, 20, 140, 180, 140, 0), S, 1);
    TArcMove Arc;
    Arc.End = {150, 60, -1};
    Arc.Centre = {100, 60, 0};
    Arc.Sweep = 180;
    Arc.Radius = 50;
    DrawElement(Canvas, MakeArcElement(PreviewMapping(), {50, 60, -1}, Arc, 10, 1, 0), S, 1);
    const TDD_Type High = PreviewLine(ekLinear, 20, 20, 180, 20, 0);
    DrawOutline(Canvas, High, BuildDrawStyles(S, 0)[dsHighlight], S, 1);
    Canvas.Flush();
    return Image;
}

void TG_setup::UpdatePreview()
{
    FPreview->setPixmap(QPixmap::fromImage(PreviewImage()));
}

} // namespace orv
