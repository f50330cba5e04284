#include "simcontrol/ui/ViewerWnd.h"

#include "platform/CursorService.h"
#include "simcontrol/SimScene.h"
#include "simcontrol/ui/VelmaroxWidget.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

CCubeViewWidget::CCubeViewWidget(CViewerValues &Values, const CPaletteTable *Palette,
                                 QWidget *Parent)
    : QWidget(Parent), FView(Values), FPalette(Palette)
{
    setMinimumSize(120, 100);
}

void CCubeViewWidget::resizeEvent(QResizeEvent *)
{
    FView.DrawBlock(width() + 1, height() + 1);
}

void CCubeViewWidget::paintEvent(QPaintEvent *)
{
    if (!FPalette)
        return;
    if (!FView.Image().Exists())
        FView.DrawBlock(width() + 1, height() + 1);
    QPainter painter(this);
    painter.drawImage(0, 0, PictureImage(FView.Image(), *FPalette));
}

void CCubeViewWidget::mousePressEvent(QMouseEvent *Event)
{
    if (Event->button() != Qt::LeftButton)
        return;
    FDragging = true;
    CursorService().Capture(this);
    CursorService().Confine(this);
    CursorService().Show(false);
    int x, y;
    FView.DragStartPoint(x, y);
    CursorService().MoveTo(this, x, y);
    FView.ApplyPoint(x, y, width(), height());
    update();
}

void CCubeViewWidget::mouseMoveEvent(QMouseEvent *Event)
{
    if (!FDragging)
        return;
    const QPoint p = Event->position().toPoint();
    FView.ApplyPoint(p.x(), p.y(), width(), height());
    update();
}

void CCubeViewWidget::mouseReleaseEvent(QMouseEvent *)
{
    if (!FDragging)
        return;
    FDragging = false;
    CursorService().ReleaseCapture();
    CursorService().ReleaseConfine();
    CursorService().Show(true);
    update();
    if (OnDragEnd)
        OnDragEnd();
}

CViewerWnd::CViewerWnd(CViewerValues &Values, const CPaletteTable *Palette, QWidget *Owner)
    : QDialog(Owner, Qt::Tool), FValues(Values)
{
    setWindowTitle(QString());
    auto *layout = new QVBoxLayout(this);
    auto *buttons = new QHBoxLayout;
    auto *group = new QButtonGroup(this);
    const char *captions[] = {"XYZ", "X", "Light"};
    for (int mode = 0; mode < 3; ++mode) {
        auto *b = new QPushButton(captions[mode], this);
        b->setCheckable(true);
        b->setChecked(mode == Values.DragMode);
        group->addButton(b, mode);
        buttons->addWidget(b);
    }
    connect(group, &QButtonGroup::idClicked, this, [this](int Mode) { FValues.DragMode = Mode; });
    layout->addLayout(buttons);
    FCube = new CCubeViewWidget(Values, Palette, this);
    layout->addWidget(FCube, 1);
    resize(180, 180);
}

void CViewerWnd::Refresh()
{
    FCube->View().DrawBlock(FCube->width() + 1, FCube->height() + 1);
    FCube->update();
}

} // namespace orv
