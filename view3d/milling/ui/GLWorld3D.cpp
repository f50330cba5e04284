#include "view3d/milling/ui/GLWorld3D.h"

#include "engine/core/Mess.h"

#include "components/lcd/ui/LCD_Lab.h"
#include "components/toolbar/ui/PanelToolWindow.h"
#include "components/toolbar/ui/TbCore.h"
#include "components/toolbar/ui/TbCtls.h"
#include "components/toolbar/ui/TbTlbr.h"
#include "components/toolbar/ui/TbTlwn.h"
#include "platform/MessageService.h"
#include "view3d/milling/ui/G3D_setup.h"
#include "view3d/milling/ui/MillingScene.h"
#include "view3d/scene/GLGraph.h"
#include "view3d/scene/GLObjects.h"
#include "view3d/scene/GLTexture.h"
#include "view3d/scene/qt/GLQtContext.h"
#include "view3d/scene/qt/GLWorldViewer.h"

#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace orv {

namespace {
std::string Tr(const std::string &Text) { return Mess().Translate(Text); }
} // namespace

namespace {

constexpr double cCoarseSampling = 3.0; // mm, while the camera moves and in Turbo

// The sampling while the camera moves and in Turbo: never finer than the
// height map itself (a very large billet has a grid coarser than 3 mm).
double CoarseSampling(const TMillingBillet &Billet)
{
    return std::max(cCoarseSampling, Billet.GridStep());
}

std::string BaseName(const std::string &Path)
{
    return std::filesystem::path(Path).filename().string();
}

} // namespace

TGLWorld3D::TGLWorld3D(const std::string &SettingsPath, QWidget *Parent) : QMainWindow(Parent)
{
    setObjectName("GLWorld3D");
    setWindowTitle("Milling 3D Simulation");
    resize(640, 520);
    FormCreate(SettingsPath);
}

TGLWorld3D::~TGLWorld3D() { FormDestroy(); }

void TGLWorld3D::FormCreate(const std::string &SettingsPath)
{
    FScene = std::make_unique<TMillingScene>();
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    DockTop = new TDock(central, dpTop);
    DockTop->setObjectName("DockTop");
    column->addWidget(DockTop);
    auto *window3D = new QWidget(central);
    window3D->setObjectName("Window3D");
    auto *inner = new QVBoxLayout(window3D);
    inner->setContentsMargins(0, 0, 0, 0);
    // Without OpenGL on this display the viewer stays out of the window (a
    // widget that cannot draw would break the window's painting); the
    // window says so instead.
    const bool drawable = DisplayHasOpenGL();
    SceneViewer = new TGLWorldViewer(drawable ? window3D : nullptr);
    SceneViewer->setObjectName("SceneViewer");
    SceneViewer->SetCamera(FScene->Camera);
    SceneViewer->Buffer().SetShadeModel(smSmooth);
    SceneViewer->installEventFilter(this);
    if (drawable) {
        inner->addWidget(SceneViewer);
    } else {
        auto *none = new QLabel(
            "OpenGL is not available on this display: the 3D view cannot be drawn.", window3D);
        none->setObjectName("NoOpenGL");
        none->setAlignment(Qt::AlignCenter);
        none->setWordWrap(true);
        inner->addWidget(none);
    }
    column->addWidget(window3D, 1);
    setCentralWidget(central);
    BuildMenu();
    BuildToolbars();
    BuildStatusBar();
    BuildMeasureWin();
    BuildCaptureWin();

    Billet.OnSurfaceChanged = [this] { FScene->SurfaceChanged(); };
    Billet.OnCellsCut = [this](int I0, int J0, int I1, int J1) {
        FScene->CellsCut(Billet.GridStep(), I0, J0, I1, J1);
    };
    Billet.OnPlaceTool = [this](const TMillPoint &Tip, double Radius) {
        if (ShowCutter)
            FScene->PlaceTool(Tip, static_cast<float>(Radius), Billet.ToolShape);
    };
    FScene->SetOnGetHeight([this](float X, float Y, float &Z, TVector4f &Colour, TTexPoint &Tex) {
        Tex.S *= 0.01f; // the material's picture repeats every 100 mm
        Tex.T *= 0.01f;
        Z = Billet.SurfaceAt(X, Y);
        Colour = WinColorToVector(static_cast<TColor>(FSetup->Settings().SurfaceColour), 1);
        if (Z < 0)
            Colour = FSetup->Textured() ? FSetup->PreviewMaterial().FrontProperties().Diffuse().Color()
                                        : ColorWhite;
    });

    Billet.TurboCount = 0;
    FSetup = std::make_unique<TG3D_setup>(this);
    FSetup->LoadSettings(SettingsPath);
    ApplySetup();
    Billet.ResetHeightMap(0);
    SurfaceReset();
    ResetButtClick();
}

void TGLWorld3D::FormDestroy()
{
    if (FSetup && FSetup->Dirty())
        FSetup->SaveSettings();
    // The viewer goes before the scene it shows.
    delete SceneViewer;
    SceneViewer = nullptr;
}

// --- building ------------------------------------------------------------------------

void TGLWorld3D::BuildMenu()
{
    FSetupMenu = menuBar()->addMenu("&3D Setup");
    FSetupMenu->setObjectName("N3DSetup1");
    FSetupMenu->menuAction()->setProperty("MenuGroup", 8);
    Options1 = FSetupMenu->addAction("&Options", this, [this] { Options1Click(); });
    Options1->setObjectName("Options1");
    SaveBitmapAs1 =
        FSetupMenu->addAction("&Capture as bitmap", this, [this] { SaveBitmapAs1Click(); });
    SaveBitmapAs1->setObjectName("SaveBitmapAs1");
    UseOffsets1 = FSetupMenu->addAction("Use Offsets");
    UseOffsets1->setObjectName("UseOffsets1");
    UseOffsets1->setCheckable(true);
    // The item's own toggle is undone: the handler toggles, as for a click.
    connect(UseOffsets1, &QAction::triggered, this, [this] {
        UseOffsets1->setChecked(!UseOffsets1->isChecked());
        UseOffsets1Click();
    });
}

void TGLWorld3D::BuildToolbars()
{
    ViewingTBar = new TToolbar(this);
    ViewingTBar->setObjectName("ViewingTBar");
    ViewingTBar->SetCaption("Viewing Controls");
    ViewingTBar->SetCloseButton(false);
    auto button = [this](const char *Name, const char *Caption, int Group) {
        auto *b = new TToolbarButton(ViewingTBar);
        b->setObjectName(Name);
        b->SetCaption(Caption);
        b->SetDisplayMode(dmTextOnly);
        b->SetAllowAllUp(true);
        b->SetGroupIndex(Group);
        b->resize(b->fontMetrics().horizontalAdvance(Caption) + 16, 24);
        return b;
    };
    ResetButt = button("ResetButt", "Reset", 0);
    ResetButt->OnClick = [this](TToolbarButton *) { ResetButtClick(); };
    TurboButt = button("TurboButt", "Turbo", 1);
    TurboButt->OnMouseDown = [this](TToolbarButton *, Qt::MouseButton, Qt::KeyboardModifiers,
                                    int, int) { TurboButtMouseDown(); };
    TurboButt->OnClick = [this](TToolbarButton *B) { Billet.Turbo = B->Down(); };
    PathsButt = button("PathsButt", "Paths", 2);
    PathsButt->OnClick = [this](TToolbarButton *) { PathsButtClick(); };
    Show3D = button("Show3D", "3D", 4);
    Show3D->SetDown(true);
    Show3D->OnClick = [this](TToolbarButton *) { Show3DClick(); };
    MeasureButt = button("MeasureButt", "Measure", 5);
    MeasureButt->OnClick = [this](TToolbarButton *) { MeasureButtClick(); };
    ViewingTBar->SetDockedTo(DockTop);

    ToolBarDatum = new TToolbar(this);
    ToolBarDatum->setObjectName("ToolBarDatum");
    ToolBarDatum->SetCaption("Datum Position");
    ToolBarDatum->SetCloseButton(false);
    TFlatEdit **edits[3] = {&EditXOffset, &EditYOffset, &EditZOffset};
    const char *names[3] = {"EditXOffset", "EditYOffset", "EditZOffset"};
    const char *labels[3] = {" X:", " Y:", " Z:"};
    for (int i = 0; i < 3; ++i) {
        auto *label = new QLabel(labels[i], ToolBarDatum);
        label->resize(label->sizeHint());
        auto *edit = *edits[i] = new TFlatEdit(ToolBarDatum);
        edit->setObjectName(names[i]);
        edit->setText("0.000");
        edit->resize(64, 22);
        edit->OnChange = [this](TFlatEdit *) { EditXOffsetChange(); };
        new TToolbarSep(ToolBarDatum);
    }
    ToolBarDatum->SetDockedTo(DockTop);
    ToolBarDatum->SetVisible(false);
}

void TGLWorld3D::BuildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName("StatusBar");
    auto *row = new QWidget(bar);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i < 15; ++i) {
        FPanelLabels[i] = new QLabel(QString::fromStdString(PanelText(i)), row);
        FPanelLabels[i]->setFixedWidth(PanelWidth(i));
        if (i % 2 == 0 && i < 14)
            FPanelLabels[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        else
            FPanelLabels[i]->setFrameShape(QFrame::Panel);
        layout->addWidget(FPanelLabels[i]);
    }
    FPanelLabels[14]->setMinimumWidth(0);
    FPanelLabels[14]->setMaximumWidth(QWIDGETSIZE_MAX);
    layout->setStretch(14, 1);
    bar->addWidget(row, 1);
}

void TGLWorld3D::BuildMeasureWin()
{
    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(2, 2, 2, 2);
    TLCDLabel **labels[3] = {&Xmeas, &YMeas, &ZMeas};
    const char *names[3] = {"Xmeas", "YMeas", "ZMeas"};
    const char *captions[3] = {"X 000.000", "Y 000.000", "Z 000.000"};
    for (int i = 0; i < 3; ++i) {
        auto *l = *labels[i] = new TLCDLabel(content);
        l->setObjectName(names[i]);
        l->SetNoOfChars(10);
        l->SetTextLines(1);
        l->SetCaption(captions[i]);
        column->addWidget(l);
    }
    MeasureWin = new TPanelToolWindow(this, "MeasureWin", "Measuring Info", content);
    MeasureWin->SetBorderStyle(bsNone);
    MeasureWin->SetResizable(false);
}

void TGLWorld3D::BuildCaptureWin()
{
    auto *content = new QWidget;
    content->setMinimumSize(280, 280);
    auto *column = new QVBoxLayout(content);
    Image1 = new QLabel(content);
    Image1->setObjectName("Image1");
    Image1->setScaledContents(true);
    Image1->setMinimumSize(240, 200);
    column->addWidget(Image1, 1);
    auto *row = new QHBoxLayout;
    auto add = [&](const char *Name, const char *Caption, std::function<void()> Click) {
        auto *b = new QPushButton(Caption, content);
        b->setObjectName(Name);
        connect(b, &QPushButton::clicked, this, [Click] { Click(); });
        row->addWidget(b);
    };
    add("SaveAs", "Save As", [this] { SaveAsClick(); });
    add("ReCapture", "Re-Capture", [this] { ReCaptureClick(); });
    add("Cancel", "Cancel", [this] { CancelClick(); });
    column->addLayout(row);
    content->resize(content->minimumSize());
    SaveABMP = new TPanelToolWindow(this, "SaveABMP", "Capture As Bitmap", content);
    SaveABMP->SetMinClientWidth(280);
    SaveABMP->SetMinClientHeight(280);
    SaveABMP->SetDockableTo(0);
}

// --- the view's hooks ------------------------------------------------------------------

void TGLWorld3D::UnitsChanged()
{
    FUpdating = true;
    TFlatEdit *edits[3] = {EditXOffset, EditYOffset, EditZOffset};
    for (int i = 0; i < 3; ++i)
        edits[i]->setText(QString::fromStdString(DatumText(i)));
    FUpdating = false;
    ShowMeasurement();
}

void TGLWorld3D::RunFinished()
{
    TurboButt->SetDown(false);
    if (ShowCutter)
        FScene->DummyTool->SetVisible(true);
    FScene->SetSampling(Billet.GridStep());
    FScene->SurfaceChanged();
}

bool TGLWorld3D::TurboDown() const { return TurboButt->Down(); }

void TGLWorld3D::PanelChanged(int Index)
{
    FPanelLabels[Index]->setText(QString::fromStdString(PanelText(Index)));
    FPanelLabels[Index]->setFixedWidth(PanelWidth(Index));
}

int TGLWorld3D::PanelTextWidth(const std::string &Text) const
{
    return statusBar()->fontMetrics().horizontalAdvance(QString::fromStdString(Text));
}

QString TGLWorld3D::PanelCaption(int Index) const { return FPanelLabels[Index]->text(); }

// --- scene upkeep ----------------------------------------------------------------------

// The billet (or the grid) is new: planes, sampling and an empty path.
void TGLWorld3D::SurfaceReset()
{
    const TMillingBillet &b = Billet;
    FScene->SetBillet(b.BilletX(), b.BilletY(), b.BilletZ(), b.GridStep());
    if (TurboButt->Down())
        FScene->SetSampling(CoarseSampling(Billet));
    FPathShown = 0;
    PathChanged();
    FScene->SurfaceChanged();
}

void TGLWorld3D::PathChanged()
{
    const std::vector<TPathNode> &path = Billet.Path();
    if (path.size() < FPathShown)
        FPathShown = 0;
    if (path.size() == FPathShown && FPathShown != 0)
        return;
    FScene->SyncPath(path, FPathShown);
    FPathShown = path.size();
}

void TGLWorld3D::ApplySetup()
{
    const TG3D_settings &s = FSetup->Settings();
    TMillingView::ApplySetup(s);
    FScene->DummyTool->SetVisible(ShowCutter);
    UseOffsets1->setChecked(s.UseOffsets);
    if (s.UseOffsets)
        ToolBarDatum->SetVisible(true);
    TGLMaterial &surface = FScene->VisGrid->Material();
    surface.AssignFrom(FSetup->PreviewMaterial());
    FScene->VisGrid->SetColorMode(FSetup->Textured() ? hfcmDiffuse : hfcmNone);
    SceneViewer->Buffer().SetBackgroundColor(static_cast<TColor>(s.BackgroundColour));
    FScene->SetBackground(s.BackgroundColour);
    FScene->SurfaceChanged();
}

void TGLWorld3D::ShowMeasurement()
{
    TLCDLabel *labels[3] = {Xmeas, YMeas, ZMeas};
    for (int i = 0; i < 3; ++i)
        labels[i]->SetCaption(MeasureText(i));
    FScene->PlaceProbe(ProbeX, ProbeY, ProbeZ);
}

void TGLWorld3D::PlaceDatumSymbol()
{
    const TMillingBillet &b = Billet;
    if (UseOffsets1->isChecked())
        FScene->PlaceDatum(b.DatumX, b.DatumY, b.DatumZ);
    else
        FScene->PlaceDatum(0, 0, 0);
}

// --- mouse and camera ------------------------------------------------------------------

bool TGLWorld3D::eventFilter(QObject *Watched, QEvent *Event)
{
    if (Watched != SceneViewer)
        return QMainWindow::eventFilter(Watched, Event);
    auto *m = dynamic_cast<QMouseEvent *>(Event);
    if (!m)
        return false;
    const QPoint p = m->position().toPoint();
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
        Window3DMouseDown(m->buttons(), m->modifiers(), p.x(), p.y());
        return true;
    case QEvent::MouseMove:
        Window3DMouseMove(m->buttons(), m->modifiers(), p.x(), p.y());
        return true;
    case QEvent::MouseButtonRelease:
        Window3DMouseUp();
        return true;
    default:
        return false;
    }
}

void TGLWorld3D::Window3DMouseDown(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Shift, int X,
                                   int Y)
{
    FMouseX = X;
    FMouseY = Y;
    const bool leftAlone = Buttons == Qt::LeftButton && !(Shift & Qt::ShiftModifier);
    if (leftAlone && MeasureButt->Down()) {
        FMeasuring = true;
        FProbeMouseX = X;
        FProbeMouseY = Y;
    }
    if (!FMeasuring)
        FScene->SetSampling(CoarseSampling(Billet));
}

void TGLWorld3D::Window3DMouseMove(Qt::MouseButtons Buttons, Qt::KeyboardModifiers, int X, int Y)
{
    const bool left = Buttons & Qt::LeftButton, right = Buttons & Qt::RightButton;
    if (!MeasureButt->Down()) {
        if (left && !right) {
            FScene->Camera->OrbitTarget(static_cast<float>(FMouseY - Y),
                                        static_cast<float>(FMouseX - X));
        } else if (left && right) {
            TGLCoordinates &target = FScene->CameraTarget->Position();
            target.AssignPoint(target.X() + (FMouseX - X) * 0.2f,
                               target.Y() - (FMouseY - Y) * 0.2f, target.Z());
        }
    }
    if (right && !left)
        FScene->Camera->ScaleTargetDistance(std::pow(1.1f, (Y - FMouseY) / 2.0f));
    FMouseX = X;
    FMouseY = Y;
    if (FMeasuring) {
        DragProbe(FProbeMouseX - X, FProbeMouseY - Y);
        ShowMeasurement();
        FProbeMouseX = X;
        FProbeMouseY = Y;
    }
}

void TGLWorld3D::Window3DMouseUp()
{
    FScene->SetSampling(Billet.GridStep());
    FMeasuring = false;
}

// --- buttons ---------------------------------------------------------------------------

void TGLWorld3D::ResetButtClick() { FScene->ResetCamera(); }

void TGLWorld3D::PathsButtClick() { FScene->ToolPath->SetVisible(PathsButt->Down()); }

void TGLWorld3D::Show3DClick() { FScene->DummyGrid->SetVisible(Show3D->Down()); }

void TGLWorld3D::MeasureButtClick()
{
    const bool on = MeasureButt->Down();
    MeasureWin->SetVisible(on);
    FScene->Measure->SetVisible(on);
    if (on)
        ShowMeasurement();
}

// Runs before the button changes: going up shows the tool again; going
// down hides it and samples coarsely.
void TGLWorld3D::TurboButtMouseDown()
{
    if (TurboButt->Down() && ShowCutter) {
        FScene->DummyTool->SetVisible(true);
        return;
    }
    FScene->DummyTool->SetVisible(false);
    FScene->SetSampling(CoarseSampling(Billet));
}

void TGLWorld3D::Options1Click()
{
    if (!FSetup->Execute())
        return;
    const double previous = Billet.GridStep();
    OptionsAccepted(FSetup->Settings());
    ApplySetup();
    if (Billet.GridStep() != previous || Billet.Path().size() < FPathShown)
        SurfaceReset();
}

void TGLWorld3D::UseOffsets1Click()
{
    UseOffsets1->setChecked(!UseOffsets1->isChecked());
    ToolBarDatum->SetVisible(UseOffsets1->isChecked());
    FSetup->SetUseOffsets(UseOffsets1->isChecked());
    Billet.UseOffsets = UseOffsets1->isChecked();
    PlaceDatumSymbol();
}

void TGLWorld3D::EditXOffsetChange()
{
    if (FUpdating)
        return;
    TFlatEdit *edits[3] = {EditXOffset, EditYOffset, EditZOffset};
    for (int i = 0; i < 3; ++i)
        SetDatumText(i, edits[i]->text().toStdString());
    PlaceDatumSymbol();
}

// --- capture ---------------------------------------------------------------------------

const QImage &TGLWorld3D::CapturedPicture() const
{
    static const QImage none;
    return FCaptured ? *FCaptured : none;
}

void TGLWorld3D::SaveBitmapAs1Click()
{
    SaveABMP->SetVisible(true);
    CaptureBitmap("", 1);
}

void TGLWorld3D::ReCaptureClick() { CaptureBitmap("", 1); }

void TGLWorld3D::CancelClick() { SaveABMP->SetVisible(false); }

void TGLWorld3D::SaveAsClick()
{
    TFileRequest request;
    request.Kind = TFileDialogKind::Save;
    request.Filter = "Bitmaps (*.bmp)|*.BMP";
    request.DefaultExt = "bmp";
    std::filesystem::path program(ProgramName);
    request.InitialDir = program.parent_path().string();
    request.FileName = program.replace_extension(".BMP").string();
    const std::optional<std::string> chosen = Messages().ChooseFile(request);
    if (chosen && !chosen->empty() && *chosen != ".BMP")
        CaptureBitmap(*chosen, 1);
    SaveABMP->SetVisible(false);
}

bool TGLWorld3D::CaptureBitmap(const std::string &FileName, float Scale)
{
    const int width = static_cast<int>(std::nearbyint(SceneViewer->width() * Scale));
    const int height = static_cast<int>(std::nearbyint(Scale * SceneViewer->height()));
    TGLQtBitmap bitmap(std::max(width, 1), std::max(height, 1));
    try {
        SceneViewer->Buffer().RenderBitmap(bitmap, static_cast<int>(std::nearbyint(Scale * 96)));
    } catch (const std::exception &e) {
        MessageDlg(Tr("Capture As Bitmap"), Tr("The picture cannot be drawn: ") + e.what(),
                   mtError, mbOK);
        return false;
    }
    QImage picture = bitmap.Image.convertToFormat(QImage::Format_RGB888);
    {
        QPainter p(&picture);
        p.setPen(Qt::black);
        p.setBackgroundMode(Qt::OpaqueMode);
        p.setBackground(Qt::white);
        const std::string name = BaseName(FileName.empty() ? ProgramName : FileName);
        const QString text = QString::fromStdString("Corvane 3D - Orvellan. " + name);
        p.drawText(QPoint(1, 1 + p.fontMetrics().ascent()), text);
    }
    FCaptured = std::make_unique<QImage>(picture);
    Image1->setPixmap(QPixmap::fromImage(picture));
    if (FileName.empty()) {
        SaveABMP->SetVisible(true);
        return true;
    }
    if (!picture.save(QString::fromStdString(FileName), "BMP")) {
        MessageDlg(Tr("Capture As Bitmap"), Tr("Cannot write the picture file ") + FileName + ".",
                   mtError, mbOK);
        return false;
    }
    return true;
}

} // namespace orv
