#include "engine/view2d/ui/Form2DWindow.h"

#include "components/scpanel/ui/ScPanel.h"
#include "engine/core/Mess.h"
#include "engine/view2d/ui/element_info_form.h"
#include "engine/view2d/ui/graphic_setup.h"
#include "localise/ui/LxQtTranslator.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

namespace orv {

namespace {

QString Tr(const char *Text)
{
    return QString::fromStdString(Mess().Translate(Text));
}

TPixel PixelOf(const QPoint &P)
{
    return {P.x(), P.y()};
}

// The pointer while the datum is dragged: the datum symbol, its centre
// the hot spot.
QCursor DatumCursor()
{
    QImage Symbol(32, 32, QImage::Format_ARGB32);
    Symbol.fill(Qt::transparent);
    PaintDatumSymbol(Symbol, {16, 16});
    return QCursor(QPixmap::fromImage(Symbol), 16, 16);
}

} // namespace

// The paint box: shows the composite picture; presses pick and zoom.
class TForm2DWindow::TPaintBox : public QWidget {
public:
    explicit TPaintBox(TForm2DWindow &Window) : W(Window) { setMouseTracking(true); }

protected:
    // Only the part that is shown is painted and composed.
    void paintEvent(QPaintEvent *Event) override
    {
        QPainter P(this);
        const QRect Part = Event->rect();
        P.drawImage(Part, W.Composite(Part), Part);
    }
    void mousePressEvent(QMouseEvent *Event) override
    {
        if (!W.FForm)
            return;
        if (Event->button() == Qt::LeftButton)
            W.FForm->LeftPress(PixelOf(Event->pos()));
        if (Event->button() == Qt::RightButton) {
            W.UpdatePopup();
            W.FPopup->popup(Event->globalPosition().toPoint());
        }
    }
    void mouseDoubleClickEvent(QMouseEvent *Event) override
    {
        FDoubleClicked = Event->button() == Qt::LeftButton;
    }
    void mouseReleaseEvent(QMouseEvent *Event) override
    {
        if (!FDoubleClicked || !W.FForm)
            return;
        FDoubleClicked = false;
        if (Event->modifiers() & Qt::ShiftModifier)
            W.FForm->ZoomOut();
        else
            W.FForm->ZoomIn();
    }
    void mouseMoveEvent(QMouseEvent *Event) override
    {
        if (!W.FForm)
            return;
        W.FForm->PointerMove(PixelOf(Event->pos()));
        const bool Dragging = W.FForm->DraggingDatum();
        const bool Hint = (Event->modifiers() & Qt::ControlModifier) && W.isActiveWindow();
        if (!Hint) {
            QToolTip::hideText();
            if (!Dragging)
                unsetCursor();
            return;
        }
        if (!Dragging)
            setCursor(Qt::CrossCursor);
        QToolTip::showText(Event->globalPosition().toPoint() + QPoint(10, 10),
                           QString::fromStdString(W.FForm->PointerHint(PixelOf(Event->pos()))),
                           this);
    }

private:
    TForm2DWindow &W;
    bool FDoubleClicked = false;
};

// The Z gauge strip beside the drawing.
class TForm2DWindow::TGaugeBox : public QWidget {
public:
    explicit TGaugeBox(TForm2DWindow &Window) : W(Window)
    {
        setMinimumWidth(10);
        auto *Group = new QActionGroup(this);
        FScale = FMenu.addAction(Tr("Draw Cutter to Scale"));
        FThin = FMenu.addAction(Tr("Draw thin cutter"));
        for (QAction *A : {FScale, FThin}) {
            A->setCheckable(true);
            Group->addAction(A);
        }
        connect(FThin, &QAction::toggled, this, [this](bool On) {
            if (W.FForm)
                W.FForm->ThinCutter = On;
        });
    }
    void SyncMenu(bool Thin) { (Thin ? FThin : FScale)->setChecked(true); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!W.FForm)
            return;
        TZGauge Gauge = W.FForm->Gauge();
        Gauge.Width = width();
        Gauge.Height = height();
        TQtCanvas2D Canvas(this);
        Gauge.Paint(Canvas);
    }
    void contextMenuEvent(QContextMenuEvent *Event) override { FMenu.popup(Event->globalPos()); }

private:
    TForm2DWindow &W;
    QMenu FMenu;
    QAction *FScale = nullptr;
    QAction *FThin = nullptr;
};

TForm2DWindow::TForm2DWindow() : TImageView2D(600, 400)
{
    setWindowTitle("2D Simulation");
    setObjectName("Form2D");
    // Three scroll panels: the client area, its scrolling drawing area
    // (the paint box, picture-sized, scrolls in it) and the depth bar.
    FScroll = new TScrollPanel;
    FScroll->setObjectName("DrawArea");
    FScroll->SetBevelOuter(bvNone);
    FScroll->HorzScrollBar().SetSmooth(true);
    FScroll->VertScrollBar().SetSmooth(true);
    FScroll->HorzScrollBar().SetTracking(true);
    FScroll->VertScrollBar().SetTracking(true);
    FPaintBox = new TPaintBox(*this);
    FPaintBox->setObjectName("PaintBox");
    FScroll->SetScrolled(FPaintBox);
    FGauge = new TGaugeBox(*this);
    FDepthBar = new TScrollPanel;
    FDepthBar->setObjectName("DepthBar");
    FDepthBar->SetBevelOuter(bvLowered);
    FDepthBar->SetClient(FGauge);
    FDepthBar->setMinimumWidth(FGauge->minimumWidth() + 2 * FDepthBar->Frame().FrameWidth());
    FSplitter = new QSplitter(Qt::Horizontal);
    FSplitter->addWidget(FScroll);
    FSplitter->addWidget(FDepthBar);
    FSplitter->setStretchFactor(0, 1);
    FClientArea = new TScrollPanel;
    FClientArea->setObjectName("ClientArea");
    FClientArea->SetBevelOuter(bvNone);
    auto *Central = new QWidget;
    auto *Layout = new QVBoxLayout(Central);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(FSplitter, 1);
    BuildDatumPanel();
    Layout->addWidget(FDatumPanel);
    FClientArea->SetClient(Central);
    setCentralWidget(FClientArea);
    // Each readout is wide enough for the longest value it shows, and the
    // window never gets narrower than the readouts side by side.
    const int Widths[5] = {70, 70, 70, 75, 50};
    const char *Captions[5] = {"X=", "Y=", "Z=", "Tool=", ""};
    const char *Widest[5] = {"X= -9999.999", "Y= -9999.999", "Z= -9999.999", "Tool= 999", ""};
    for (int I = 0; I < 5; ++I) {
        FStatus[I] = new QLabel(Captions[I]);
        FStatus[I]->setMinimumWidth(
            std::max(Widths[I], FStatus[I]->fontMetrics().horizontalAdvance(Widest[I]) + 6));
        statusBar()->addWidget(FStatus[I]);
    }
    BuildMenus();
    // The window's texts are its English ones; its translator gives them the
    // language. The lock's tip follows its state, and the tool panel holds a
    // word and the tool: both made again in a new language.
    AttachTranslator(this, "TForm2D")->Translator().OnAfterTranslate = [this](auto &) {
        FLock->setToolTip(Tr(FLock->isChecked() ? "Datum Locked" : "Datum Unlocked"));
        if (FForm)
            FForm->LanguageChanged();
    };
}

TForm2DWindow::~TForm2DWindow() = default;

void TForm2DWindow::BuildDatumPanel()
{
    FDatumPanel = new QWidget;
    auto *Row = new QHBoxLayout(FDatumPanel);
    FDatumX = new QDoubleSpinBox;
    FDatumY = new QDoubleSpinBox;
    FDatumX->setObjectName("DatumX");
    FDatumY->setObjectName("DatumY");
    for (QDoubleSpinBox *Edit : {FDatumX, FDatumY}) {
        Edit->setRange(-1e6, 1e6);
        Edit->setDecimals(4);
        Edit->setSingleStep(1);
        connect(Edit, &QDoubleSpinBox::valueChanged, this, [this] {
            if (FForm)
                FForm->DatumEdited(FDatumX->value(), FDatumY->value());
        });
    }
    FLock = new QToolButton;
    FLock->setObjectName("DatumLock");
    FLock->setCheckable(true);
    FLock->setChecked(true);
    FLock->setText("L");
    FLock->setToolTip(Tr("Datum Locked"));
    connect(FLock, &QToolButton::toggled, this, [this](bool Down) {
        FLock->setToolTip(Tr(Down ? "Datum Locked" : "Datum Unlocked"));
    });
    Row->addWidget(new QLabel("Datum X : "));
    Row->addWidget(FDatumX);
    Row->addWidget(new QLabel("Datum Y :"));
    Row->addWidget(FDatumY);
    Row->addWidget(FLock);
    Row->addStretch();
    FDatumPanel->hide();
}

void TForm2DWindow::BuildMenus()
{
    FPopup = new QMenu(this);
    FZoomIn = FPopup->addAction("Zoom In", this, [this] { FForm->ZoomIn(); });
    FZoomOut = FPopup->addAction("Zoom Out", this, [this] { FForm->ZoomOut(); });
    FShowAll = FPopup->addAction("Show All", this, [this] { FForm->ShowAll(); });
    FPopup->addSeparator();
    FObjectData = FPopup->addAction("Object Data...", this, [this] { FForm->ObjectData(); });
    FPopup->addSeparator();
    FPopup->addAction("Setup Graphics...", this, [this] { FForm->SetupGraphics(); });
    FPopup->addSeparator();
    FPopupSave = FPopup->addMenu("Save As Bitmap");
    FSaveAs = FPopup->addAction("Save Bitmap As...", this, [this] { FForm->SaveBitmapAs(); });

    QMenu *Main = menuBar()->addMenu("2D Simulation");
    Main->addAction("Setup Graphics...", this, [this] { FForm->SetupGraphics(); });
    FAutoSave = Main->addAction("Auto Save Bitmap?");
    FAutoSave->setCheckable(true);
    connect(FAutoSave, &QAction::toggled, this, [this](bool On) { FForm->AutoSaveBitmap = On; });
    FMainSave = Main->addMenu("Save as Bitmap");
    FMainSaveAs = Main->addAction("Save Bitmap as...", this, [this] { FForm->SaveBitmapAs(); });
    Main->addSeparator();
    FUseOffsets = Main->addAction("Use X,Y Offsets");
    FUseOffsets->setCheckable(true);
    connect(FUseOffsets, &QAction::triggered, this, [this] {
        if (FForm->OnToggleOffsets)
            FForm->OnToggleOffsets();
        FUseOffsets->setChecked(FForm->UseOffsets);
    });
    connect(Main, &QMenu::aboutToShow, this, [this] {
        FMainSaveAs->setEnabled(FForm->CanSavePicture());
        FMainSave->setEnabled(FForm->CanSavePicture());
        FillSaveMenu(FMainSave);
    });
}

void TForm2DWindow::FillSaveMenu(QMenu *Menu)
{
    Menu->clear();
    const std::string Name = FForm->PictureName;
    if (!Name.empty())
        Menu->addAction(QString::fromStdString(Name), this, [this, Name] { FForm->SavePicture(Name); });
}

void TForm2DWindow::UpdatePopup()
{
    FZoomIn->setEnabled(FForm->CanZoomIn());
    FZoomOut->setEnabled(FForm->CanZoomOut());
    FShowAll->setEnabled(FForm->CanZoomOut());
    FObjectData->setEnabled(FForm->CanShowObjectData());
    FSaveAs->setEnabled(FForm->CanSavePicture());
    FPopupSave->setEnabled(FForm->CanSavePicture());
    FillSaveMenu(FPopupSave);
}

void TForm2DWindow::Attach(TForm2D &Form)
{
    TImageView2D::Attach(Form);
    FForm = &Form;
    FAutoSave->setChecked(Form.AutoSaveBitmap);
    FUseOffsets->setChecked(Form.UseOffsets);
    FDepthBar->setFixedWidth(std::max(10, Form.ZWidth) + 2 * FDepthBar->Frame().FrameWidth());
    FitSplitter();
    FGauge->SyncMenu(Form.ThinCutter);
}

// The splitter keeps the depth bar's width from before it was fixed: the
// drawing area takes all the rest.
void TForm2DWindow::FitSplitter()
{
    FSplitter->setSizes({std::max(0, FSplitter->width() - FSplitter->handleWidth() - FDepthBar->width()),
                         FDepthBar->width()});
}

// The paint box is as large as the picture; the drawing area scrolls over it.
void TForm2DWindow::SizePaintBox()
{
    if (FPaintBox->size() != QSize(PictureWidth(), PictureHeight()))
        FPaintBox->setFixedSize(PictureWidth(), PictureHeight());
    FScroll->HorzScrollBar().SetRange(PictureWidth());
    FScroll->VertScrollBar().SetRange(PictureHeight());
}

QSize TForm2DWindow::Chrome() const
{
    const int Extra = FDatumPanel->isVisibleTo(this) ? FDatumPanel->sizeHint().height() : 0;
    QSize Around(FDepthBar->width() + FSplitter->handleWidth() + 14,
                 Extra + statusBar()->sizeHint().height() + menuBar()->sizeHint().height() + 13);
    if (auto *Sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        Around += Sub->size() - size();
    return Around;
}

QSize TForm2DWindow::Room() const
{
    QSize Shown = FScroll->maximumViewportSize();
    if (!isVisible())
        Shown = QSize(0, 0);
    QSize Wanted = Shown.expandedTo(QSize(FClientWidth, FClientHeight));
    auto *Sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (Sub && Sub->parentWidget())
        Wanted = Wanted.boundedTo(Sub->parentWidget()->size() - Chrome());
    return Wanted.expandedTo(QSize(1, 1));
}

void TForm2DWindow::SetScrollPosition(double AnchorX, double AnchorY)
{
    SizePaintBox();
    TPanelScrollBar &H = FScroll->HorzScrollBar();
    TPanelScrollBar &V = FScroll->VertScrollBar();
    H.SetPosition(AnchoredScrollPosition(H.Range(), FScroll->ClientWidth(), AnchorX));
    V.SetPosition(AnchoredScrollPosition(V.Range(), FScroll->ClientHeight(), AnchorY));
}

void TForm2DWindow::SetStatusText(int Panel, const std::string &Text)
{
    if (Panel >= 0 && Panel < 5)
        FStatus[Panel]->setText(QString::fromStdString(Text));
}

QString TForm2DWindow::StatusText(int Panel) const
{
    return Panel >= 0 && Panel < 5 ? FStatus[Panel]->text() : QString();
}

int TForm2DWindow::GaugeHeight() const
{
    return std::max(FGauge->height(), FClientHeight);
}

void TForm2DWindow::GaugeChanged()
{
    FGauge->update();
}

// Values put in by the program are not the operator's typing.
void TForm2DWindow::ShowDatumEdits(double X, double Y)
{
    const QSignalBlocker BlockX(FDatumX);
    const QSignalBlocker BlockY(FDatumY);
    FDatumX->setValue(X);
    FDatumY->setValue(Y);
}

void TForm2DWindow::ShowDatumPointer(bool Dragging)
{
    if (Dragging)
        FPaintBox->setCursor(DatumCursor());
    else
        FPaintBox->unsetCursor();
}

void TForm2DWindow::SetDatumEditsEnabled(bool Enabled)
{
    FDatumX->setEnabled(Enabled);
    FDatumY->setEnabled(Enabled);
}

void TForm2DWindow::ShowDatumPanel(bool Visible)
{
    FDatumPanel->setVisible(Visible);
}

bool TForm2DWindow::DatumLocked() const
{
    return FLock->isChecked();
}

void TForm2DWindow::FitToPicture(bool WithDatumPanel)
{
    SizePaintBox();
    FDatumPanel->setVisible(WithDatumPanel);
    const int Extra = WithDatumPanel ? FDatumPanel->sizeHint().height() : 0;
    const QSize Wanted(PictureWidth() + FDepthBar->width() + FSplitter->handleWidth() + 14,
                       PictureHeight() + Extra + statusBar()->sizeHint().height() +
                           menuBar()->sizeHint().height() + 13);
    // In the MDI area the frame is what is sized: the window fills it.
    auto *Sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    QWidget *Frame = Sub ? static_cast<QWidget *>(Sub) : this;
    Frame->resize(Frame->size() - size() + Wanted);
    // Shown, the window is laid out: the drawing area is made exactly as
    // large as the picture.
    if (isVisible()) {
        const QSize Off = QSize(PictureWidth(), PictureHeight()) - FScroll->maximumViewportSize();
        if (!Off.isNull())
            Frame->resize(Frame->size() + Off);
    }
    // A picture narrower than the readouts side by side leaves room beside
    // it: the frame never cuts the window's right part (the depth bar, the
    // drawing area's vertical scroll bar) off.
    Frame->resize(Frame->size().expandedTo(Frame->minimumSizeHint()));
    // In the MDI area the frame stays inside the area.
    if (Sub && Sub->parentWidget()) {
        const QSize Area = Sub->parentWidget()->size();
        Sub->move(std::clamp(Sub->x(), 0, std::max(0, Area.width() - Sub->width())),
                  std::clamp(Sub->y(), 0, std::max(0, Area.height() - Sub->height())));
    }
}

TWindowBounds TForm2DWindow::Bounds() const
{
    return {x(), y(), width(), height()};
}

void TForm2DWindow::SetBounds(const TWindowBounds &B)
{
    if (B.Width > 0 && B.Height > 0)
        setGeometry(B.Left, B.Top, B.Width, B.Height);
}

TElementInfoResult TForm2DWindow::ShowElementInfo(const TDD_Type &Element, int Decimals,
                                                  double AreaHeight, const std::string &FileName)
{
    TElement_info Dialog(this);
    Dialog.Decimals = Decimals;
    Dialog.AreaHeight = AreaHeight;
    Dialog.ShowElement(Element, Element.LineNumber, FileName);
    const QPoint Top = mapToGlobal(centralWidget()->pos());
    Dialog.adjustSize();
    Dialog.move(Top.x() + (width() - Dialog.width()) / 2, Top.y());
    return Dialog.exec() == TElement_info::ResultEditSource ? TElementInfoResult::EditSource
                                                            : TElementInfoResult::Ok;
}

bool TForm2DWindow::ShowSetupDialog(const std::string &FileName, TGraphicSettings &Settings)
{
    TG_setup Dialog(this);
    Dialog.LoadSettings(FileName);
    if (Dialog.exec() != QDialog::Accepted)
        return false;
    Settings = Dialog.Values();
    return true;
}

// The status bar's size grip comes with the show: the readouts side by
// side with it are the narrowest the window goes.
void TForm2DWindow::showEvent(QShowEvent *Event)
{
    QMainWindow::showEvent(Event);
    setMinimumWidth(statusBar()->sizeHint().width());
}

void TForm2DWindow::CompositeChanged()
{
    SizePaintBox();
    FPaintBox->update();
}

} // namespace orv
