#include "simcontrol/ui/VelmaroxWidget.h"

#include "simcontrol/ui/ProgressDlg.h"
#include "simcontrol/ui/VelmaroxAboutBox.h"
#include "simcontrol/ui/VelmaroxPropPage.h"
#include "simcontrol/ui/ViewerWnd.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

namespace orv {

QVector<QRgb> PictureColourTable(const CPaletteTable &Palette)
{
    QVector<QRgb> table(256);
    for (int v = 0; v < 256; ++v) {
        const uint32_t c = v >= 10 && v < 10 + PaletteSize ? Palette.Get(v - 10) : SystemColour(v);
        table[v] = qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    }
    return table;
}

QImage PictureImage(const CDibSurface &Image, const CPaletteTable &Palette)
{
    if (!Image.Exists() || Image.Height() == 0 || Image.Stride() == 0)
        return {};
    QImage out(Image.Stride(), Image.Height(), QImage::Format_Indexed8);
    out.setColorTable(PictureColourTable(Palette));
    const int stride = Image.Stride();
    for (int y = 0; y < Image.Height(); ++y)
        std::memcpy(out.scanLine(y), Image.Bytes().data() + size_t(Image.Height() - 1 - y) * stride,
                    stride);
    return out;
}

CVelmaroxWidget::CVelmaroxWidget(CVelmaroxOCXCtrl &Ctrl, QWidget *Parent)
    : QWidget(Parent), FCtrl(&Ctrl)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    // The right button probes the billet, then its context-menu request
    // goes on to the host's panel (its verb menu, as a press that the
    // framework's handler passes on to the parent).
    setContextMenuPolicy(Qt::DefaultContextMenu);
    FCtrl->SetWindow(this);
    FCtrl->SetSceneWindows(this);
}

CVelmaroxWidget::~CVelmaroxWidget()
{
    Detach();
    delete FViewer;
}

void CVelmaroxWidget::Detach()
{
    if (!FCtrl)
        return;
    FCtrl->SetWindow(nullptr);
    FCtrl->SetSceneWindows(nullptr);
    FCtrl = nullptr;
    if (FViewer) {
        FViewer->hide();
        FViewer->deleteLater();
        FViewer = nullptr;
    }
}

QImage CVelmaroxWidget::Picture() const
{
    return FCtrl ? PictureImage(FCtrl->Scene().Image(), FCtrl->Scene().Palette()) : QImage();
}

// The draw hook runs now, so the picture is current at once; the screen
// follows with the next paint, which then only shows it. The control may
// be freed while the draw hook serves messages.
void CVelmaroxWidget::RepaintNow()
{
    if (!FCtrl)
        return;
    FCtrl->OnDraw(width(), height());
    if (!FCtrl)
        return;
    FFresh = true;
    repaint();
}

void CVelmaroxWidget::paintEvent(QPaintEvent *Event)
{
    if (FCtrl && !FFresh)
        FCtrl->OnDraw(width(), height(), !Event->rect().isEmpty());
    FFresh = false;
    QPainter painter(this);
    if (FCtrl)
        painter.drawImage(0, 0, Picture());
    else
        painter.fillRect(rect(), Qt::black);
}

void CVelmaroxWidget::mousePressEvent(QMouseEvent *Event)
{
    const QPoint p = Event->position().toPoint();
    if (!FCtrl)
        return;
    if (Event->button() == Qt::RightButton) {
        FCtrl->RightButtonDown(p.x(), p.y());
        return;
    }
    if (Event->button() != Qt::LeftButton)
        return;
    int keys = mkLeft;
    if (Event->modifiers() & Qt::ShiftModifier)
        keys |= mkShift;
    if (Event->modifiers() & Qt::ControlModifier)
        keys |= mkControl;
    FCtrl->LeftButtonDown(p.x(), p.y(), keys);
}

void CVelmaroxWidget::mouseMoveEvent(QMouseEvent *Event)
{
    if (!FCtrl)
        return;
    int keys = 0;
    if (Event->buttons() & Qt::LeftButton)
        keys |= mkLeft;
    if (Event->modifiers() & Qt::ShiftModifier)
        keys |= mkShift;
    if (Event->modifiers() & Qt::ControlModifier)
        keys |= mkControl;
    const QPoint p = Event->position().toPoint();
    FCtrl->MouseMove(p.x(), p.y(), keys);
}

void CVelmaroxWidget::mouseReleaseEvent(QMouseEvent *Event)
{
    if (FCtrl && Event->button() == Qt::LeftButton) {
        const QPoint p = Event->position().toPoint();
        FCtrl->LeftButtonUp(p.x(), p.y());
    }
}

void CVelmaroxWidget::contextMenuEvent(QContextMenuEvent *Event) { Event->ignore(); }

// Moves that queued up while a slow picture was drawn are dropped, so the
// next one handled is where the cursor is now. The window system merges
// the moves it holds back itself; those posted to this window go here.
void CVelmaroxWidget::DrainMouseMoves()
{
    QCoreApplication::removePostedEvents(this, QEvent::MouseMove);
}

void CVelmaroxWidget::ShowAboutBox()
{
    auto *box = new CVelmaroxAboutBox(window());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void CVelmaroxWidget::ShowPropertyPage()
{
    auto *page = new CVelmaroxOCXPropPage(window());
    page->setAttribute(Qt::WA_DeleteOnClose);
    page->open();
}

void CVelmaroxWidget::CreateViewer()
{
    if (FViewer || !FCtrl)
        return;
    FViewer = new CViewerWnd(FCtrl->Scene().Viewer(), &FCtrl->Scene().Palette(), this);
    FViewer->CubeView()->OnDragEnd = [this] { RepaintNow(); };
    FViewer->hide();
}

void CVelmaroxWidget::ShowViewer(bool Visible)
{
    if (FViewer)
        FViewer->setVisible(Visible);
}

void CVelmaroxWidget::ViewerChanged()
{
    if (FViewer && FViewer->isVisible())
        FViewer->Refresh();
}

std::unique_ptr<CReplayProgress> CVelmaroxWidget::CreateProgress(long long Count)
{
    return std::make_unique<CProgressDlg>(Count);
}

void CVelmaroxWidget::ServeProgressMessage() { QApplication::processEvents(); }

void CVelmaroxWidget::PaletteChanged()
{
    if (FViewer)
        FViewer->CubeView()->update();
}

} // namespace orv
