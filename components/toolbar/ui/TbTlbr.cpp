#include "components/toolbar/ui/TbTlbr.h"

#include "components/toolbar/TbToolbarLayout.h"
#include "components/toolbar/ui/TbPaint.h"

#include <QChildEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace orv {

namespace {

const char *const SepParentError = "TToolbarSep can only be placed on a TToolbar";

TSizingEdge EdgeOf(THitCode Code)
{
    switch (Code) {
    case htLeft:
        return seLeft;
    case htTop:
        return seTop;
    case htBottom:
        return seBottom;
    default:
        return seRight;
    }
}

} // namespace

TCustomToolbar::TCustomToolbar(QWidget *Form)
    : TCustomToolWindow(Form), FLineSeps(std::make_unique<std::vector<TLineSeparator>>())
{
}

TCustomToolbar::~TCustomToolbar() = default;

void TCustomToolbar::SetFloatRightX(int Value)
{
    FFloatRightX = Value;
    if (Floating())
        Arrange();
}

const std::vector<TLineSeparator> &TCustomToolbar::LineSeparators() const { return *FLineSeps; }

void TCustomToolbar::childEvent(QChildEvent *Event)
{
    QObject *child = Event->child();
    if (Event->removed())
        FOrderList.erase(std::remove(FOrderList.begin(), FOrderList.end(), child),
                         FOrderList.end());
    TCustomToolWindow::childEvent(Event);
    if (Event->added() && child->isWidgetType()) {
        auto *w = static_cast<QWidget *>(child);
        if (std::find(FOrderList.begin(), FOrderList.end(), w) == FOrderList.end())
            FOrderList.push_back(w);
    }
}

std::vector<TToolbarItem> TCustomToolbar::GatherItems(std::vector<QWidget *> &Controls) const
{
    std::vector<TToolbarItem> items;
    for (QWidget *w : FOrderList) {
        if (w->isHidden() || w->isWindow())
            continue;
        TToolbarItem it;
        if (auto *sep = qobject_cast<TToolbarSep *>(w)) {
            it.IsSeparator = true;
            it.Blank = sep->Blank();
            it.SizeHorz = sep->SizeHorz();
            it.SizeVert = sep->SizeVert();
        } else {
            it.Width = w->width();
            it.Height = w->height();
        }
        items.push_back(it);
        Controls.push_back(w);
    }
    return items;
}

int TCustomToolbar::BarThickness(TDockAxis Axis)
{
    std::vector<QWidget *> controls;
    return ToolbarBarThickness(GatherItems(controls), Axis);
}

QSize TCustomToolbar::LayOutItems(bool CanMove, TDockAxis, TDock *TargetDock)
{
    const TDockAxis axis = TargetDock ? TargetDock->Axis() : daFloating;
    const int centre = (TargetDock && TargetDock == DockedTo()) ? DockRowSize() : 0;
    std::vector<QWidget *> controls;
    std::vector<TToolbarItem> items = GatherItems(controls);
    const TToolbarLayoutResult r = LayOutToolbarItems(items, axis, FFloatRightX, centre);
    if (CanMove) {
        const QMargins m = NonClientMargins();
        for (size_t i = 0; i < controls.size(); ++i)
            controls[i]->setGeometry(ToQRect(items[i].Bounds).translated(m.left(), m.top()));
        *FLineSeps = axis == daFloating ? r.LineSeparators : std::vector<TLineSeparator>{};
        update();
    }
    return QSize(r.ClientSize.Width, r.ClientSize.Height);
}

bool TCustomToolbar::PassesClicksThrough(QWidget *Control)
{
    return qobject_cast<TToolbarSep *>(Control);
}

void TCustomToolbar::QueryBehaviour(bool &InheritsAlignment, bool &EightWaySizing,
                                    bool &ClipsSizingCursor)
{
    InheritsAlignment = EightWaySizing = ClipsSizingCursor = false;
}

void TCustomToolbar::PrepareItemOrder()
{
    const bool vertical = CurrentAxis() == daVertical;
    std::stable_sort(FOrderList.begin(), FOrderList.end(), [vertical](QWidget *a, QWidget *b) {
        return vertical ? a->y() < b->y() : a->x() < b->x();
    });
}

void TCustomToolbar::SizingStarted(THitCode Code)
{
    std::vector<QWidget *> controls;
    const std::vector<TToolbarItem> items = GatherItems(controls);
    const QMargins m = NonClientMargins();
    TFloatingFrame frame{m.left(), m.top() - m.left()};
    FSizingCode = Code;
    FSizing = std::make_unique<TToolbarSizing>(items, frame, EdgeOf(Code), TSize{width(), height()},
                                               FFloatRightX);
}

void TCustomToolbar::SizingTrack(QRect &NewRect, const QRect &OrigRect)
{
    if (!FSizing)
        return;
    const TSizingEdge edge = EdgeOf(FSizingCode);
    const bool horizontal = edge == seLeft || edge == seRight;
    const TSize s = FSizing->Track(horizontal ? NewRect.width() : NewRect.height());
    // The fixed edges stay where they were.
    const int left = edge == seLeft ? OrigRect.right() + 1 - s.Width : OrigRect.left();
    const int top = edge == seTop ? OrigRect.bottom() + 1 - s.Height : OrigRect.top();
    NewRect = QRect(left, top, s.Width, s.Height);
}

void TCustomToolbar::SizingEnded(bool Accepted)
{
    if (Accepted && FSizing)
        FFloatRightX = FSizing->CandidateFloatRightX();
    FSizing.reset();
}

void TCustomToolbar::ReadExtraLayout(const TLayoutReader &Reader, const std::string &Section)
{
    FFloatRightX = Reader.ReadInt(Section, "FloatRightX", 0, Reader.Extra);
}

void TCustomToolbar::WriteExtraLayout(const TLayoutWriter &Writer, const std::string &Section)
{
    Writer.WriteInt(Section, "FloatRightX", FFloatRightX, Writer.Extra);
}

void TCustomToolbar::PaintContents(QPainter &P)
{
    if (!Floating())
        return;
    const int w = ClientSize().width();
    for (const TLineSeparator &s : *FLineSeps) {
        if (s.Blank)
            continue;
        P.setPen(SysColor(SysColors().BtnShadow));
        P.drawLine(1, s.Offset - 4, w - 2, s.Offset - 4);
        P.setPen(SysColor(SysColors().BtnHighlight));
        P.drawLine(1, s.Offset - 3, w - 2, s.Offset - 3);
    }
}

// =============================================================== TToolbarSep

TToolbarSep::TToolbarSep(QWidget *Parent) : QWidget(nullptr)
{
    setAttribute(Qt::WA_NoSystemBackground);
    SetParent(Parent);
    resize(FSizeHorz, 22);
}

void TToolbarSep::SetParent(QWidget *Parent)
{
    if (Parent && !qobject_cast<TCustomToolbar *>(Parent))
        throw EInvalidOperation(SepParentError);
    setParent(Parent);
    if (Parent)
        show(); // a control is visible unless hidden
    if (auto *bar = qobject_cast<TCustomToolbar *>(Parent))
        bar->Arrange();
}

void TToolbarSep::Changed()
{
    update();
    if (auto *bar = qobject_cast<TCustomToolbar *>(parentWidget()))
        bar->Arrange();
}

void TToolbarSep::SetBlank(bool Value)
{
    FBlank = Value;
    Changed();
}

void TToolbarSep::SetSizeHorz(int Value)
{
    FSizeHorz = std::max(1, Value);
    Changed();
}

void TToolbarSep::SetSizeVert(int Value)
{
    FSizeVert = std::max(1, Value);
    Changed();
}

void TToolbarSep::paintEvent(QPaintEvent *)
{
    if (FBlank || width() == 0)
        return;
    QPainter p(this);
    auto *bar = qobject_cast<TCustomToolbar *>(parentWidget());
    const bool vertical = bar && bar->CurrentAxis() == daVertical;
    const QColor shadow = SysColor(SysColors().BtnShadow),
                 light = SysColor(SysColors().BtnHighlight);
    if (vertical) {
        const int y = height() / 2 - 1;
        p.setPen(shadow);
        p.drawLine(0, y, width() - 1, y);
        p.setPen(light);
        p.drawLine(0, y + 1, width() - 1, y + 1);
    } else {
        const int x = width() / 2 - 1;
        p.setPen(shadow);
        p.drawLine(x, 0, x, height() - 1);
        p.setPen(light);
        p.drawLine(x + 1, 0, x + 1, height() - 1);
    }
}

// A press on a separator belongs to the toolbar: it starts a drag.
void TToolbarSep::mousePressEvent(QMouseEvent *Event) { Event->ignore(); }

void TToolbarSep::mouseDoubleClickEvent(QMouseEvent *Event) { Event->ignore(); }

} // namespace orv
