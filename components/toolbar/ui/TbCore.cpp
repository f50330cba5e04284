#include "components/toolbar/ui/TbCore.h"

#include "components/toolbar/ui/TbHooks.h"
#include "components/toolbar/ui/TbPaint.h"
#include "platform/IniFile.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QPainter>
#include <QRegion>
#include <QScreen>

#include <algorithm>
#include <map>

namespace orv {

// The dotted outline shown while a tool window is dragged or sized: a
// frameless overlay window whose visible part is only the frame.
class TDragOutline : public QWidget {
public:
    TDragOutline()
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                               Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
    }
    void Place(const TRect &R, int Thickness)
    {
        setGeometry(ToQRect(R));
        const QRect all(0, 0, R.Width(), R.Height());
        setMask(QRegion(all).subtracted(
            QRegion(all.adjusted(Thickness, Thickness, -Thickness, -Thickness))));
        if (!isVisible())
            show();
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QImage dots(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                dots.setPixel(x, y, (x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u);
        p.fillRect(rect(), QBrush(dots));
    }
};

namespace {

std::vector<TCustomToolWindow *> GToolWindows; // creation order
std::vector<TCustomToolWindow *> GFloating;
long GNextSerial = 1;

constexpr int EmptyDockThickness = 0;
constexpr int FixAlignThickness = 1;
// DockPos that puts a window in front of every window of its row.
constexpr int FrontOfRow = -8;

void Remove(std::vector<TCustomToolWindow *> &List, TCustomToolWindow *W)
{
    List.erase(std::remove(List.begin(), List.end(), W), List.end());
}

bool Contains(const std::vector<TCustomToolWindow *> &List, const TCustomToolWindow *W)
{
    return std::find(List.begin(), List.end(), W) != List.end();
}

int BoundLineCount(uint8_t Lines, bool Horizontal)
{
    if (Horizontal)
        return ((Lines & blTop) ? 1 : 0) + ((Lines & blBottom) ? 1 : 0);
    return ((Lines & blLeft) ? 1 : 0) + ((Lines & blRight) ? 1 : 0);
}

TRect WorkAreaAt(TPoint P)
{
    QScreen *screen = QGuiApplication::screenAt(QPoint(P.X, P.Y));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? FromQRect(screen->availableGeometry()) : TRect{0, 0, 1 << 15, 1 << 15};
}

bool IsToolWindowOrDock(const QWidget *W)
{
    for (; W; W = W->parentWidget())
        if (qobject_cast<const TDock *>(W) || qobject_cast<const TCustomToolWindow *>(W))
            return true;
    return false;
}

} // namespace

int DragHandleSize(TDragHandleStyle Style)
{
    switch (Style) {
    case dhDouble:
        return 9;
    case dhSingle:
        return 6;
    case dhNone:
        return 0;
    }
    return 0;
}

// ====================================================================== TDock

TDock::TDock(QWidget *Parent, TDockPosition Position)
    : QWidget(nullptr), FColor(SysColors().BtnFace), FPosition(Position)
{
    if (IsToolWindowOrDock(Parent))
        throw EInvalidOperation(
            "A TDock control cannot be placed inside a tool window or another TDock");
    setParent(Parent);
    setProperty("DockPosition", int(Position));
    SetLayoutPolicy();
    if (Parent) {
        Parent->installEventFilter(this);
        show(); // a control is visible unless hidden
    }
    SetThickness(EmptyDockThickness);
    AlignDocks(Parent);
}

TDock::~TDock()
{
    FDestroying = true;
    for (TCustomToolWindow *w : findChildren<TCustomToolWindow *>(Qt::FindDirectChildrenOnly))
        w->FDockedTo = nullptr;
    FDockList.clear();
}

void TDock::SetAllowDrag(bool Value)
{
    if (Value == FAllowDrag)
        return;
    FAllowDrag = Value;
    // The drag handle comes and goes: every window re-frames.
    for (TCustomToolWindow *w : FDockList)
        w->Arrange();
    LayOutRows();
}

void TDock::SetBackground(const QImage &Image)
{
    FBackground = Image;
    FTransparentCache = QImage();
    InvalidateBars();
}

void TDock::SetBackgroundOnToolbars(bool Value)
{
    FBackgroundOnToolbars = Value;
    InvalidateBars();
}

void TDock::SetBackgroundTransparent(bool Value)
{
    FBackgroundTransparent = Value;
    FTransparentCache = QImage();
    InvalidateBars();
}

void TDock::SetBoundLines(uint8_t Lines)
{
    FBoundLines = Lines;
    LayOutRows();
    update();
}

void TDock::SetColor(uint32_t Rgb)
{
    FColor = Rgb;
    FTransparentCache = QImage();
    InvalidateBars();
}

void TDock::SetFixAlign(bool Value)
{
    FFixAlign = Value;
    LayOutRows();
}

void TDock::SetLimitToOneRow(bool Value)
{
    FLimitToOneRow = Value;
    LayOutRows();
}

void TDock::SetPosition(TDockPosition Value)
{
    if (Value == FPosition)
        return;
    if (!findChildren<QWidget *>(Qt::FindDirectChildrenOnly).isEmpty())
        throw EInvalidOperation(
            "Cannot change Position of a TDock if it already contains controls");
    FPosition = Value;
    setProperty("DockPosition", int(Value));
    SetLayoutPolicy();
    LayOutRows();
    AlignDocks(parentWidget());
}

void TDock::InvalidateBars()
{
    update();
    for (TCustomToolWindow *w : FDockList)
        w->update();
}

QImage TDock::ShownBackground() const
{
    if (FBackground.isNull() || !FBackgroundTransparent)
        return FBackground;
    if (FTransparentCache.isNull()) {
        FTransparentCache = FBackground.convertToFormat(QImage::Format_RGB32);
        const QRgb key = FTransparentCache.pixel(0, FTransparentCache.height() - 1);
        const QRgb face = SysColor(FColor).rgb();
        for (int y = 0; y < FTransparentCache.height(); ++y)
            for (int x = 0; x < FTransparentCache.width(); ++x)
                if (FTransparentCache.pixel(x, y) == key)
                    FTransparentCache.setPixel(x, y, face);
    }
    return FTransparentCache;
}

QRect TDock::ClientRect() const
{
    return rect().adjusted((FBoundLines & blLeft) ? 1 : 0, (FBoundLines & blTop) ? 1 : 0,
                           (FBoundLines & blRight) ? -1 : 0, (FBoundLines & blBottom) ? -1 : 0);
}

int TDock::ClientLength() const
{
    const QRect r = ClientRect();
    return Axis() == daHorizontal ? r.width() : r.height();
}

void TDock::MoveInDockList(bool Insert, TCustomToolWindow *Bar, bool IsVisible)
{
    const bool had = Contains(FDockList, Bar);
    Remove(FDockList, Bar);
    if (Insert && IsVisible)
        FDockList.push_back(Bar);
    const bool has = Contains(FDockList, Bar);
    if (had == has && !(had && Insert))
        return;
    LayOutRows();
    Bar->Arrange();
    Fire(OnInsertRemoveBar, this, Insert, Bar);
}

void TDock::LayOutRows()
{
    if (FDisableArrange > 0 || FDestroying) {
        FArrangeNeeded = true;
        return;
    }
    ++FDisableArrange;
    ++FLayoutCount;
    raise();
    std::vector<TDockBarPlace *> places;
    const bool horizontal = Axis() == daHorizontal;
    for (TCustomToolWindow *w : FDockList) {
        w->FPlace.Thickness = w->BarThickness(Axis());
        w->FPlace.Length = horizontal ? w->width() : w->height();
        places.push_back(&w->FPlace);
    }
    const int empty = FFixAlign ? FixAlignThickness : EmptyDockThickness;
    const int across = FLayout.LayOutRows(places, ClientLength(), FLimitToOneRow, empty);
    // The dock list follows the sorted places.
    std::vector<TCustomToolWindow *> sorted;
    for (TDockBarPlace *p : places)
        for (TCustomToolWindow *w : FDockList)
            if (&w->FPlace == p)
                sorted.push_back(w);
    FDockList = sorted;
    const QPoint origin = ClientRect().topLeft();
    for (TCustomToolWindow *w : FDockList) {
        const TDockBarPlace &p = w->FPlace;
        QRect r = horizontal ? QRect(p.Along, p.Across, p.AlongSize, p.AcrossSize)
                             : QRect(p.Across, p.Along, p.AcrossSize, p.AlongSize);
        ++w->FArranging;
        w->setGeometry(r.translated(origin));
        --w->FArranging;
    }
    const int lines = FDockList.empty() ? 0 : BoundLineCount(FBoundLines, horizontal);
    // The longest row: its windows end to end.
    std::map<int, int> rowLengths;
    for (TCustomToolWindow *w : FDockList)
        rowLengths[w->FPlace.DockRow] += horizontal ? w->width() : w->height();
    int longest = 0;
    for (const auto &[row, length] : rowLengths)
        longest = std::max(longest, length);
    if (longest != FLongestBar) {
        FLongestBar = longest;
        updateGeometry();
    }
    SetThickness(FDockList.empty() ? across : across + lines);
    FArrangeNeeded = false;
    --FDisableArrange;
}

void TDock::SetThickness(int Across)
{
    if (FThickness == Across && !isHidden())
        return;
    FThickness = Across;
    updateGeometry(); // a layout that holds the dock gives it the new thickness
    AlignDocks(parentWidget());
}

// In a layout the dock takes exactly its thickness across, and along any
// length from that of its longest row up, so every window fits.
void TDock::SetLayoutPolicy()
{
    if (Axis() == daHorizontal)
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    else
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    updateGeometry();
}

QSize TDock::sizeHint() const
{
    return Axis() == daHorizontal ? QSize(FLongestBar, FThickness)
                                  : QSize(FThickness, FLongestBar);
}

QSize TDock::minimumSizeHint() const { return sizeHint(); }

bool TDock::InParentLayout() const
{
    const QWidget *p = parentWidget();
    return p && p->layout() && p->layout()->indexOf(const_cast<TDock *>(this)) >= 0;
}

void TDock::OpenRowBefore(int Row)
{
    std::vector<TDockBarPlace *> places;
    for (TCustomToolWindow *w : FDockList)
        places.push_back(&w->FPlace);
    orv::OpenRowBefore(places, Row);
}

void TDock::PlaceDropped(TCustomToolWindow *Bar, int CentreAcross, int Along)
{
    std::vector<TDockBarPlace *> places;
    for (TCustomToolWindow *w : FDockList)
        places.push_back(&w->FPlace);
    PlaceDroppedBar(places, FLayout, Bar->FPlace, CentreAcross, Along);
}

void TDock::HoldLayout() { ++FDisableArrange; }

void TDock::ReleaseLayout()
{
    if (FDisableArrange > 0 && --FDisableArrange == 0 && FArrangeNeeded)
        LayOutRows();
}

void TDock::AlignDocks(QWidget *Parent)
{
    if (!Parent)
        return;
    QRect free = Parent->rect();
    const QList<TDock *> docks = Parent->findChildren<TDock *>(Qt::FindDirectChildrenOnly);
    for (TDockPosition side : {dpTop, dpBottom, dpLeft, dpRight})
        for (TDock *d : docks) {
            // A dock in the parent's layout is placed by that layout.
            if (d->FPosition != side || d->InParentLayout())
                continue;
            const int t = d->FThickness;
            QRect r;
            switch (side) {
            case dpTop:
                r = QRect(free.left(), free.top(), free.width(), t);
                free.setTop(free.top() + t);
                break;
            case dpBottom:
                r = QRect(free.left(), free.bottom() + 1 - t, free.width(), t);
                free.setBottom(free.bottom() - t);
                break;
            case dpLeft:
                r = QRect(free.left(), free.top(), t, free.height());
                free.setLeft(free.left() + t);
                break;
            case dpRight:
                r = QRect(free.right() + 1 - t, free.top(), t, free.height());
                free.setRight(free.right() - t);
                break;
            }
            if (d->geometry() != r)
                d->setGeometry(r);
        }
}

QRect TDock::FormClientRect(QWidget *Form)
{
    QRect free = Form->rect();
    for (TDock *d : Form->findChildren<TDock *>(Qt::FindDirectChildrenOnly)) {
        const QRect g = d->geometry();
        switch (d->FPosition) {
        case dpTop:
            free.setTop(std::max(free.top(), g.bottom() + 1));
            break;
        case dpBottom:
            free.setBottom(std::min(free.bottom(), g.top() - 1));
            break;
        case dpLeft:
            free.setLeft(std::max(free.left(), g.right() + 1));
            break;
        case dpRight:
            free.setRight(std::min(free.right(), g.left() - 1));
            break;
        }
    }
    return free;
}

bool TDock::eventFilter(QObject *Watched, QEvent *Event)
{
    if (Watched == parentWidget() && Event->type() == QEvent::Resize)
        AlignDocks(parentWidget());
    return false;
}

void TDock::resizeEvent(QResizeEvent *Event)
{
    QWidget::resizeEvent(Event);
    const bool horizontal = Axis() == daHorizontal;
    const int oldLength = horizontal ? Event->oldSize().width() : Event->oldSize().height();
    const int newLength = horizontal ? width() : height();
    if (oldLength != newLength && FDisableArrange == 0)
        LayOutRows();
    Fire(OnResize, this);
}

void TDock::moveEvent(QMoveEvent *Event)
{
    QWidget::moveEvent(Event);
    if (!FBackground.isNull())
        InvalidateBars();
}

void TDock::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), SysColor(FColor));
    const QImage bg = ShownBackground();
    if (!bg.isNull()) {
        // Tiled in the parent's coordinates: neighbouring docks line up.
        p.setBrushOrigin(-pos());
        p.fillRect(rect(), QBrush(bg));
    }
    if (FDockList.empty())
        return;
    const QRect r = rect();
    p.setPen(SysColor(SysColors().BtnShadow));
    if (FBoundLines & blTop)
        p.drawLine(r.left(), r.top(), r.right(), r.top());
    if (FBoundLines & blLeft)
        p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(SysColor(SysColors().BtnHighlight));
    if (FBoundLines & blBottom)
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    if (FBoundLines & blRight)
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

// ========================================================= TCustomToolWindow

TCustomToolWindow::TCustomToolWindow(QWidget *Form)
    : QWidget(nullptr), FOwnerForm(Form), FSerial(GNextSerial++), FColor(SysColors().BtnFace)
{
    EnsureQtHookBackend();
    AddHookClient(HookProc, {hkActivateApp, hkWindowPosChanged, hkDestroyWindow}, false);
    GToolWindows.push_back(this);
    setFocusPolicy(Qt::NoFocus);
    ++FInternalVisible;
    QWidget::setVisible(false);
    --FInternalVisible;
    if (Form)
        connect(Form, &QObject::destroyed, this, [this] { FOwnerForm = nullptr; });
}

TCustomToolWindow::~TCustomToolWindow()
{
    FDestroying = true;
    if (FDockedTo && Contains(FDockedTo->FDockList, this)) {
        Remove(FDockedTo->FDockList, this);
        FDockedTo->LayOutRows();
    }
    Remove(GFloating, this);
    Remove(GToolWindows, this);
    RemoveHookClient(HookProc);
}

std::vector<TCustomToolWindow *> TCustomToolWindow::ToolWindowsOf(const QWidget *Form)
{
    std::vector<TCustomToolWindow *> list;
    for (TCustomToolWindow *w : GToolWindows)
        if (w->FOwnerForm == Form)
            list.push_back(w);
    return list;
}

bool TCustomToolWindow::EightWaySizing()
{
    if (FBehaviour < 0) {
        bool inherits = true, eightWay = true, clips = true;
        QueryBehaviour(inherits, eightWay, clips);
        FBehaviour = (inherits ? 1 : 0) | (eightWay ? 2 : 0) | (clips ? 4 : 0);
    }
    return (FBehaviour & 2) != 0;
}

// ---- properties

void TCustomToolWindow::SetBorderStyle(TBorderStyle Value)
{
    FBorderStyle = Value;
    if (Docked())
        Arrange();
    update();
}

void TCustomToolWindow::SetCaption(const QString &Value)
{
    FCaption = Value;
    setWindowTitle(Value);
    update();
}

void TCustomToolWindow::SetCloseButton(bool Value)
{
    FCloseButton = Value;
    update();
}

void TCustomToolWindow::SetColor(uint32_t Rgb)
{
    FColor = Rgb;
    update();
}

void TCustomToolWindow::SetDefaultDock(TDock *Dock)
{
    FDefaultDock = Dock;
    if (Dock)
        connect(Dock, &QObject::destroyed, this, [this, Dock] {
            if (FDefaultDock == Dock)
                FDefaultDock = nullptr;
        });
}

void TCustomToolWindow::SetDockedTo(TDock *Dock)
{
    if (Dock)
        SetParent(Dock);
    else
        SetParent(ParentForm());
}

void TCustomToolWindow::SetDockPos(int Value)
{
    FPlace.DockPos = Value;
    if (FDockedTo)
        FDockedTo->LayOutRows();
}

void TCustomToolWindow::SetDockRow(int Value)
{
    FPlace.DockRow = Value;
    if (FDockedTo)
        FDockedTo->LayOutRows();
}

void TCustomToolWindow::SetDragHandleStyle(TDragHandleStyle Value)
{
    FDragHandleStyle = Value;
    if (Docked())
        Arrange();
    update();
}

void TCustomToolWindow::SetFullSize(bool Value)
{
    FPlace.FullSize = Value;
    Arrange();
    if (FDockedTo)
        FDockedTo->LayOutRows();
}

void TCustomToolWindow::SetHideWhenInactive(bool Value)
{
    FHideWhenInactive = Value;
    UpdateVisibility();
}

void TCustomToolWindow::SetResizable(bool Value)
{
    FResizable = Value;
    if (Floating())
        Arrange();
}

void TCustomToolWindow::SetFloatingTopLeft(QPoint Screen)
{
    FFloatingTopLeft = Screen;
    if (Floating()) {
        ++FArranging;
        move(Screen);
        --FArranging;
    }
}

void TCustomToolWindow::setVisible(bool Value)
{
    if (FInternalVisible > 0) {
        QWidget::setVisible(Value);
        return;
    }
    SetVisible(Value);
}

void TCustomToolWindow::SetVisible(bool Value)
{
    if (Value == FVisible) {
        UpdateVisibility();
        return;
    }
    FVisible = Value;
    if (FDockedTo)
        FDockedTo->MoveInDockList(Value, this, Value);
    UpdateVisibility();
    Fire(OnVisibleChanged, this);
}

// ---- visibility

bool TCustomToolWindow::ShouldBeVisible() const
{
    if (!FVisible || FHiding > 0 || (!FDockedTo && !FFloatForm))
        return false;
    if (FDockedTo)
        return true;
    const QWidget *form = FFloatForm;
    if (!form->isVisible() || form->isMinimized())
        return false;
    return !FHideWhenInactive || AppHasActiveWindow();
}

void TCustomToolWindow::ShowOrHide(bool Show)
{
    ++FInternalVisible;
    QWidget::setVisible(Show);
    --FInternalVisible;
}

void TCustomToolWindow::UpdateVisibility()
{
    if (FDestroying)
        return;
    const bool inactive = Floating() && !FHideWhenInactive && !AppHasActiveWindow();
    if (inactive != FInactiveCaption) {
        FInactiveCaption = inactive;
        update();
    }
    const bool want = ShouldBeVisible();
    // A docked window shows with its dock; a floating one is a window of its own.
    const bool shown = Floating() ? isVisible() : !isHidden();
    if (want != shown)
        ShowOrHide(want);
}

void TCustomToolWindow::HookProc(THookEvent Kind, void *Wnd, intptr_t, intptr_t)
{
    const std::vector<TCustomToolWindow *> floating = GFloating;
    for (TCustomToolWindow *w : floating) {
        if (Kind == hkActivateApp) {
            w->UpdateVisibility();
            continue;
        }
        if (Kind != hkWindowPosChanged || !Wnd)
            continue;
        auto *changed = static_cast<QWidget *>(Wnd);
        if (changed == w->FFloatForm || changed->isAncestorOf(w->FFloatForm))
            w->UpdateVisibility();
    }
}

// ---- update holding and arranging

void TCustomToolWindow::BeginUpdate() { ++FUpdateCount; }

void TCustomToolWindow::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FArrangeNeeded)
        Arrange();
}

int TCustomToolWindow::DockRowSize() const
{
    if (!FDockedTo)
        return 0;
    const std::vector<int> &rows = FDockedTo->RowSizes();
    return FPlace.DockRow >= 0 && FPlace.DockRow < int(rows.size()) ? rows[FPlace.DockRow] : 0;
}

void TCustomToolWindow::Arrange()
{
    if (FUpdateCount > 0 || FDestroying || (!FDockedTo && !FFloatForm)) {
        FArrangeNeeded = true;
        return;
    }
    FArrangeNeeded = false;
    ++FLayingOut;
    QSize need = LayOutItems(true, FLastAxis, FDockedTo);
    --FLayingOut;
    if (FDockedTo) {
        const bool horizontal = FDockedTo->Axis() == daHorizontal;
        const int row = DockRowSize();
        if (horizontal)
            need.setHeight(std::max(need.height(), row));
        else
            need.setWidth(std::max(need.width(), row));
        if (FPlace.FullSize) {
            const QMargins m = NonClientMargins();
            if (horizontal)
                need.setWidth(FDockedTo->ClientLength() - m.left() - m.right());
            else
                need.setHeight(FDockedTo->ClientLength() - m.top() - m.bottom());
        }
    }
    if (need != ClientSize()) {
        const QMargins m = NonClientMargins();
        ++FArranging;
        resize(need.width() + m.left() + m.right(), need.height() + m.top() + m.bottom());
        --FArranging;
        if (FDockedTo)
            FDockedTo->LayOutRows();
    }
    update();
}

QMargins TCustomToolWindow::NonClientMarginsFor(const TDock *Dock, bool IsFloating) const
{
    if (Dock) {
        QMargins m(DockedFrame, DockedFrame, DockedFrame, DockedFrame);
        const int handle = Dock->AllowDrag() ? DragHandleSize(FDragHandleStyle) : 0;
        if (Dock->Axis() == daHorizontal)
            m.setLeft(m.left() + handle);
        else
            m.setTop(m.top() + handle);
        return m;
    }
    if (!IsFloating)
        return QMargins();
    const int f = FResizable ? SizingFrame : DialogFrame;
    return QMargins(f, f + SmallCaptionHeight, f, f);
}

QMargins TCustomToolWindow::NonClientMargins() const
{
    return NonClientMarginsFor(FDockedTo, Floating());
}

QSize TCustomToolWindow::ClientSize() const { return size().shrunkBy(NonClientMargins()); }

QRect TCustomToolWindow::CloseButtonRect() const
{
    if (!Floating() || !FCloseButton)
        return QRect();
    const int f = FResizable ? SizingFrame : DialogFrame;
    const int side = SmallCaptionHeight - 1;
    return QRect(width() - f - side, f, side, side);
}

QWidget *TCustomToolWindow::ParentForm() const
{
    if (FOwnerForm)
        return FOwnerForm->window();
    if (FFloatForm)
        return FFloatForm;
    if (FDockedTo)
        return FDockedTo->window();
    throw EInvalidOperation("Control '" + objectName().toStdString() + "' has no parent window");
}

// ---- re-parenting

void TCustomToolWindow::SetParent(QWidget *Parent)
{
    TDock *newDock = qobject_cast<TDock *>(Parent);
    if (Parent && !newDock && !Parent->isWindow())
        throw EInvalidOperation(
            "A tool window can only be placed on a TDock or directly on the form");
    QWidget *newForm = (Parent && !newDock) ? Parent : nullptr;
    if (newDock == FDockedTo && newForm == FFloatForm)
        return;
    if (!FDestroying && Parent)
        Fire(OnDockChanging, this);
    if (FDockedTo || FFloatForm)
        Fire(OnRecreating, this);
    if (newDock)
        newDock->HoldLayout();
    MoveToParent(newDock, newForm);
    FLastAxis = CurrentAxis();
    FLastAxisValid = true;
    Arrange();
    if (newDock) {
        newDock->ReleaseLayout();
        if (FVisible)
            Fire(newDock->OnInsertRemoveBar, newDock, true, this);
    }
    UpdateVisibility();
    if (!Parent || FDestroying)
        return;
    Fire(OnMove, this);
    Fire(OnRecreated, this);
    Fire(OnDockChanged, this);
}

// Leaves the old dock (or the floating list) and takes the new parent, with
// the window kept hidden meanwhile; a new dock lists it while it is visible.
void TCustomToolWindow::MoveToParent(TDock *NewDock, QWidget *NewForm)
{
    ++FHiding;
    ++FInternalVisible;
    if (TDock *oldDock = FDockedTo) {
        Remove(oldDock->FDockList, this);
        oldDock->LayOutRows();
    }
    FDockedTo = NewDock;
    FFloatForm = NewForm;
    if (NewDock) {
        QWidget::setParent(NewDock, Qt::Widget);
    } else if (NewForm) {
        QWidget::setParent(NewForm, Qt::Tool | Qt::FramelessWindowHint);
        move(FFloatingTopLeft);
    } else {
        QWidget::setParent(nullptr, Qt::Widget);
    }
    Remove(GFloating, this);
    if (NewForm)
        GFloating.push_back(this);
    --FInternalVisible;
    --FHiding;
    if (!NewDock)
        return;
    if (FVisible)
        NewDock->FDockList.push_back(this);
    NewDock->FArrangeNeeded = true;
}

void TCustomToolWindow::KeepOnScreen(bool OnlyWhenOffScreen)
{
    if (!Floating())
        return;
    const TRect r = FromQRect(geometry());
    const TRect work = WorkAreaAt({r.Left + r.Width() / 2, r.Top + r.Height() / 2});
    const TRect moved = KeepRectOnScreen(r, work, OnlyWhenOffScreen);
    if (!(moved == r))
        SetFloatingTopLeft(QPoint(moved.Left, moved.Top));
}

// ---- geometry events

void TCustomToolWindow::resizeEvent(QResizeEvent *Event)
{
    QWidget::resizeEvent(Event);
    if (FArranging == 0) {
        const QSize c = ClientSize();
        SizeChanged(c.width(), c.height());
    }
    // A dock may have given the row another thickness: centre the contents again.
    if (FDockedTo && FUpdateCount == 0) {
        ++FLayingOut;
        LayOutItems(true, FLastAxis, FDockedTo);
        --FLayingOut;
    }
    Fire(OnResize, this);
}

void TCustomToolWindow::moveEvent(QMoveEvent *Event)
{
    QWidget::moveEvent(Event);
    if (Floating() && FArranging == 0)
        FFloatingTopLeft = pos();
}

void TCustomToolWindow::childEvent(QChildEvent *Event)
{
    QWidget::childEvent(Event);
    if (Event->added() && Event->child()->isWidgetType())
        Event->child()->installEventFilter(this);
    else if (Event->removed() && !FDestroying)
        Arrange();
}

bool TCustomToolWindow::eventFilter(QObject *Watched, QEvent *Event)
{
    const QEvent::Type t = Event->type();
    const bool changes = t == QEvent::Show || t == QEvent::Hide || t == QEvent::Resize;
    if (changes && Watched->parent() == this && FLayingOut == 0 && FArranging == 0 && !FDestroying)
        Arrange();
    return false;
}

void TCustomToolWindow::closeEvent(QCloseEvent *Event)
{
    // A close request goes to the form the window belongs to.
    Event->ignore();
    if (QWidget *form = FOwnerForm ? FOwnerForm->window() : nullptr)
        form->close();
}

// ---- mouse

THitCode TCustomToolWindow::HitTest(QPoint InWindow) const
{
    if (!Floating())
        return htClient;
    const int f = FResizable ? SizingFrame : DialogFrame;
    auto *self = const_cast<TCustomToolWindow *>(this);
    return FloatingHitTest(TRect::FromSize(0, 0, width(), height()), {InWindow.x(), InWindow.y()},
                           f, SmallCaptionHeight, FResizable, self->EightWaySizing(),
                           FromQRect(CloseButtonRect()));
}

void TCustomToolWindow::mousePressEvent(QMouseEvent *Event)
{
    if (Event->button() != Qt::LeftButton)
        return; // other buttons never start or end a loop
    if (FDrag || FSize || FCloseLoop) {
        LoopCancel(); // a second left press ends the loop
        return;
    }
    const QPoint p = Event->position().toPoint();
    QWidget *child = childAt(p);
    if (child && child->isVisible() && !PassesClicksThrough(child))
        return;
    if (FDockedTo && !FDockedTo->AllowDrag())
        return;
    if (Floating()) {
        // A press brings a floating window up, but the form keeps the focus.
        raise();
        if (FActivateParent)
            ParentForm()->activateWindow();
    }
    const THitCode code = HitTest(p);
    if (code == htClose)
        TrackCloseButton();
    else if (IsSizingCode(code))
        RunSizeLoop(code, Event->globalPosition().toPoint());
    else
        RunDragLoop(p);
}

void TCustomToolWindow::mouseMoveEvent(QMouseEvent *Event)
{
    LoopMouseMove(Event->globalPosition().toPoint());
}

void TCustomToolWindow::mouseReleaseEvent(QMouseEvent *Event)
{
    if (Event->button() == Qt::LeftButton)
        LoopRelease(Event->globalPosition().toPoint());
}

void TCustomToolWindow::mouseDoubleClickEvent(QMouseEvent *Event)
{
    if (Event->button() != Qt::LeftButton)
        return;
    if (FDrag || FSize || FCloseLoop) {
        LoopCancel();
        return;
    }
    QWidget *child = childAt(Event->position().toPoint());
    if (child && child->isVisible() && !PassesClicksThrough(child))
        return;
    if (FDockedTo && !FDockedTo->AllowDrag())
        return;
    if (HitTest(Event->position().toPoint()) == htClose)
        return;
    DoubleClick();
}

void TCustomToolWindow::DoubleClick()
{
    if (FDockedTo) {
        SetParent(ParentForm());
        KeepOnScreen(true);
    } else if (FFloatForm && FDefaultDock) {
        FPlace.DockRow = 0;
        FPlace.DockPos = FrontOfRow;
        SetParent(FDefaultDock);
    }
}

void TCustomToolWindow::keyPressEvent(QKeyEvent *Event) { LoopKey(Event->key(), true); }

void TCustomToolWindow::keyReleaseEvent(QKeyEvent *Event) { LoopKey(Event->key(), false); }

// ---- drag loop

TSize TCustomToolWindow::OuterSizeFor(TDock *Dock)
{
    if (Dock && Dock == FDockedTo)
        return {width(), height()};
    const QSize client = LayOutItems(false, CurrentAxis(), Dock);
    const QMargins m = NonClientMarginsFor(Dock, Dock == nullptr);
    return {client.width() + m.left() + m.right(), client.height() + m.top() + m.bottom()};
}

std::vector<TDragCandidate> TCustomToolWindow::CollectCandidates(QWidget *Container)
{
    std::vector<TDragCandidate> list;
    const QList<QWidget *> children =
        Container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (TDockPosition side : {dpTop, dpBottom, dpLeft, dpRight})
        for (QWidget *c : children) {
            auto *dock = qobject_cast<TDock *>(c);
            if (!dock || dock->Position() != side)
                continue;
            if (!dock->AllowDrag() || !(FDockableTo & orv::DockableTo(side)) || !dock->isVisible())
                continue;
            TDragCandidate cand;
            cand.Dock = dock;
            cand.Position = side;
            cand.DockRect = FromQRect(QRect(dock->mapToGlobal(QPoint(0, 0)), dock->size()));
            cand.Empty = dock->DockList().empty();
            cand.DockedSize = OuterSizeFor(dock);
            cand.RequestDock = [this, dock](bool &Accept) {
                Fire(dock->OnRequestDock, dock, this, Accept);
            };
            list.push_back(cand);
        }
    for (QWidget *c : children) {
        if (qobject_cast<TDock *>(c) || qobject_cast<TCustomToolWindow *>(c) || c->isWindow())
            continue;
        std::vector<TDragCandidate> inner = CollectCandidates(c);
        list.insert(list.end(), inner.begin(), inner.end());
    }
    return list;
}

void TCustomToolWindow::StartLoopInput()
{
    if (!FOutline)
        FOutline = std::make_unique<TDragOutline>();
    grabKeyboard();
}

void TCustomToolWindow::EndLoopInput()
{
    releaseKeyboard();
    if (FOutline)
        FOutline->hide();
}

void TCustomToolWindow::RunDragLoop(QPoint PressInWindow)
{
    QWidget *form = ParentForm();
    TDragLoopSetup s;
    s.Grab = {PressInWindow.x(), PressInWindow.y()};
    s.OuterSize = {width(), height()};
    s.FloatingSize = OuterSizeFor(nullptr);
    s.Candidates = CollectCandidates(form);
    s.FrameThickness = FResizable ? SizingFrame : DialogFrame;
    s.CaptionHeight = SmallCaptionHeight;
    s.CtrlDown = QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier;
    const QPoint start = mapToGlobal(PressInWindow);
    s.Start = {start.x(), start.y()};
    s.WorkAreaAt = WorkAreaAt;
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    FDrag = std::make_unique<TDragLoop>(std::move(s));
    StartLoopInput();
    FDrag->OnOutlineChanged = [this] {
        FOutline->Place(FDrag->Outline(), FDrag->OutlineThickness());
    };
    FDrag->OnOutlineChanged();
}

void TCustomToolWindow::LoopMouseMove(QPoint Screen)
{
    if (FDrag)
        FDrag->MouseMove({Screen.x(), Screen.y()});
    if (FSize) {
        FSize->MouseMove({Screen.x(), Screen.y()});
        FOutline->Place(FSize->Rect(), FResizable ? SizingFrame : DialogFrame);
    }
    if (FCloseLoop) {
        const QPoint p = mapFromGlobal(Screen);
        const bool was = FCloseLoop->Pushed();
        FCloseLoop->MouseMove({p.x(), p.y()});
        if (was != FCloseLoop->Pushed())
            update();
    }
}

void TCustomToolWindow::LoopRelease(QPoint Screen)
{
    if (FDrag) {
        FDrag->MouseMove({Screen.x(), Screen.y()});
        FDrag->Release();
        FinishDrag();
    } else if (FSize) {
        FSize->Release();
        FinishSize();
    } else if (FCloseLoop) {
        const QPoint p = mapFromGlobal(Screen);
        FCloseLoop->Release({p.x(), p.y()});
        FinishClose();
    }
}

void TCustomToolWindow::LoopKey(int Key, bool Down)
{
    if (Key == Qt::Key_Escape && Down) {
        LoopCancel();
        return;
    }
    if (Key == Qt::Key_Control && FDrag)
        FDrag->SetCtrl(Down);
}

void TCustomToolWindow::LoopCancel()
{
    if (FDrag) {
        FDrag->Cancel();
        FinishDrag();
    } else if (FSize) {
        FSize->Cancel();
        FinishSize();
    } else if (FCloseLoop) {
        FCloseLoop->Cancel();
        FinishClose();
    }
}

void TCustomToolWindow::FinishDrag()
{
    std::unique_ptr<TDragLoop> drag = std::move(FDrag);
    EndLoopInput();
    if (drag->State() != lsAccepted)
        return;
    const TRect outline = drag->Outline();
    if (TDock *dock = DockOfCandidate(drag->TargetDock())) {
        const QPoint tl =
            dock->mapFromGlobal(QPoint(outline.Left, outline.Top)) - dock->ClientRect().topLeft();
        const bool horizontal = dock->Axis() == daHorizontal;
        const int centre =
            horizontal ? tl.y() + outline.Height() / 2 : tl.x() + outline.Width() / 2;
        dock->PlaceDropped(this, centre, horizontal ? tl.x() : tl.y());
        if (dock == FDockedTo)
            dock->LayOutRows();
        else
            SetParent(dock);
    } else {
        FFloatingTopLeft = QPoint(outline.Left, outline.Top);
        if (Floating())
            SetFloatingTopLeft(FFloatingTopLeft);
        else
            SetParent(ParentForm());
    }
    KeepOnScreen(true);
}

// ---- size loop

void TCustomToolWindow::RunSizeLoop(THitCode Code, QPoint PressScreen)
{
    const QSize min = MinimumClientSize().grownBy(NonClientMargins());
    SizingStarted(Code);
    FSize = std::make_unique<TSizeLoop>(Code, FromQRect(geometry()),
                                        TPoint{PressScreen.x(), PressScreen.y()},
                                        TSize{min.width(), min.height()});
    FSize->OnTrack = [this](TRect &NewRect, const TRect &OrigRect) {
        QRect r = ToQRect(NewRect);
        SizingTrack(r, ToQRect(OrigRect));
        NewRect = FromQRect(r);
    };
    StartLoopInput();
    FOutline->Place(FSize->Rect(), FResizable ? SizingFrame : DialogFrame);
}

void TCustomToolWindow::FinishSize()
{
    std::unique_ptr<TSizeLoop> loop = std::move(FSize);
    EndLoopInput();
    const bool accepted = loop->State() == lsAccepted;
    SizingEnded(accepted);
    if (!accepted)
        return;
    BeginUpdate();
    setGeometry(ToQRect(loop->Rect()));
    FArrangeNeeded = true;
    EndUpdate();
    KeepOnScreen(true);
}

// ---- close button

void TCustomToolWindow::TrackCloseButton()
{
    const QRect r = CloseButtonRect();
    FCloseLoop = std::make_unique<TCloseButtonLoop>(FromQRect(r));
    grabKeyboard();
    update();
}

void TCustomToolWindow::FinishClose()
{
    std::unique_ptr<TCloseButtonLoop> loop = std::move(FCloseLoop);
    releaseKeyboard();
    update();
    if (loop->State() != lsAccepted)
        return;
    SetVisible(false);
    Fire(OnClose, this);
}

// ---- painting

void TCustomToolWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (Floating())
        PaintFloating(p);
    else
        PaintDocked(p);
    p.save();
    const QMargins m = NonClientMargins();
    p.translate(m.left(), m.top());
    PaintContents(p);
    p.restore();
}

void TCustomToolWindow::PaintDocked(QPainter &P)
{
    P.fillRect(rect(), SysColor(FColor));
    if (FDockedTo && FDockedTo->BackgroundOnToolbars() && !FDockedTo->Background().isNull()) {
        P.setBrushOrigin(-(pos() + FDockedTo->pos()));
        P.fillRect(rect(), QBrush(FDockedTo->ShownBackground()));
        P.setBrushOrigin(0, 0);
    }
    if (FBorderStyle == bsSingle)
        DrawEdge(P, rect(), ekRaisedInner);
    if (!FDockedTo || !FDockedTo->AllowDrag() || FDragHandleStyle == dhNone)
        return;
    const bool horizontal = FDockedTo->Axis() == daHorizontal;
    const QSize client = ClientSize();
    const int grips = FDragHandleStyle == dhDouble ? 2 : 1;
    for (int i = 0; i < grips; ++i) {
        const int at = 4 + 3 * i;
        const QRect g =
            horizontal ? QRect(at, 2, 3, client.height()) : QRect(2, at, client.width(), 3);
        P.fillRect(g, SysColor(SysColors().BtnFace));
        DrawEdge(P, g, ekRaisedInner);
        P.setPen(SysColor(SysColors().BtnHighlight));
        P.drawPoint(horizontal ? QPoint(g.left(), g.bottom()) : QPoint(g.right(), g.top()));
    }
}

void TCustomToolWindow::PaintFloating(QPainter &P)
{
    const TSysColors &c = SysColors();
    P.fillRect(rect(), SysColor(c.BtnFace));
    DrawEdge(P, rect(), ekRaised);
    const int f = FResizable ? SizingFrame : DialogFrame;
    const QRect caption(f, f, width() - 2 * f, SmallCaptionHeight - 1);
    P.fillRect(caption, SysColor(FInactiveCaption ? c.InactiveCaption : c.ActiveCaption));
    QFont font = P.font();
    font.setPixelSize(11);
    font.setBold(true);
    P.setFont(font);
    P.setPen(SysColor(FInactiveCaption ? c.InactiveCaptionText : c.CaptionText));
    const QRect closeRect = CloseButtonRect();
    QRect text = caption.adjusted(2, 0, closeRect.isNull() ? -2 : -closeRect.width() - 2, 0);
    // Shortened one character at a time, never below four characters.
    QString shown = FCaption;
    const QFontMetrics fm(font);
    for (int n = int(FCaption.size()) - 1; fm.horizontalAdvance(shown) > text.width() && n >= 4;
         --n)
        shown = FCaption.left(n - 3) + "...";
    P.drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, shown);
    if (!closeRect.isNull()) {
        const bool pushed = FCloseLoop && FCloseLoop->Pushed();
        const QRect b = closeRect.adjusted(1, 1, -1, -1);
        P.fillRect(b, SysColor(c.BtnFace));
        DrawEdge(P, b, pushed ? ekSunken : ekRaised);
        P.setPen(SysColor(c.BtnText));
        const QRect x = b.adjusted(4, 3, -4, -3).translated(pushed ? 1 : 0, pushed ? 1 : 0);
        P.drawLine(x.topLeft(), x.bottomRight());
        P.drawLine(x.bottomLeft(), x.topRight());
    }
    P.fillRect(QRect(f, f + SmallCaptionHeight - 1, width() - 2 * f, 1), SysColor(c.BtnFace));
    const QMargins m = NonClientMargins();
    P.fillRect(rect().marginsRemoved(m), SysColor(FColor));
}

// ============================================================ layout files

namespace {

const char *const NoNameError =
    "Cannot save tool window's position because Name property is not set";
const char *const NoDockNameError =
    "Cannot save tool window's position because DockedTo's Name property not set";
constexpr int LayoutRevision = 2;
const char *const FloatingMark = "+";

std::string NameOf(const QWidget *W) { return W->objectName().toStdString(); }

void PlaceFromLayout(TCustomToolWindow *W, const TLayoutReader &R, const std::string &Name,
                     TDock *Dock, QWidget *Form)
{
    W->SetDockRow(R.ReadInt(Name, "DockRow", W->DockRow(), R.Extra));
    W->SetDockPos(R.ReadInt(Name, "DockPos", W->DockPos(), R.Extra));
    const int left = R.ReadInt(Name, "FloatLeft", 0, R.Extra);
    const int top = R.ReadInt(Name, "FloatTop", 0, R.Extra);
    W->SetFloatingTopLeft(QPoint(left, top));
    W->IconSize = R.ReadInt(Name, "IconSize", 2, R.Extra);
    W->ShowCaption = R.ReadInt(Name, "ShowCaption", W->ShowCaption ? 1 : 0, R.Extra) != 0;
    W->ReadExtraLayout(R, Name);
    if (Dock) {
        W->SetDockedTo(Dock);
    } else {
        W->SetParent(Form);
        W->SetFloatingTopLeft(QPoint(left, top));
    }
    W->Arrange();
    W->FinishExtraLayout();
    if (!Dock)
        W->KeepOnScreen(true);
}

TDock *FindDock(const std::vector<TDock *> &Docks, const std::string &Name)
{
    for (TDock *d : Docks)
        if (NameOf(d) == Name)
            return d;
    return nullptr;
}

} // namespace

void LoadLayoutsWith(QWidget *Form, const TLayoutReader &Reader)
{
    const QList<TDock *> found = Form->findChildren<TDock *>();
    std::vector<TDock *> docks(found.begin(), found.end());
    for (TDock *d : docks)
        d->HoldLayout();
    struct TRelease {
        std::vector<TDock *> &Docks;
        ~TRelease()
        {
            for (auto it = Docks.rbegin(); it != Docks.rend(); ++it)
                (*it)->ReleaseLayout();
        }
    } release{docks};
    for (TCustomToolWindow *w : TCustomToolWindow::ToolWindowsOf(Form)) {
        const std::string name = NameOf(w);
        if (name.empty())
            throw EInvalidOperation(NoNameError);
        if (Reader.ReadInt(name, "Rev", 0, Reader.Extra) != LayoutRevision)
            continue;
        w->SetVisible(Reader.ReadInt(name, "Visible", w->Visible() ? 1 : 0, Reader.Extra) != 0);
        const std::string dockedTo = Reader.ReadString(name, "DockedTo", "", Reader.Extra);
        if (dockedTo.empty())
            continue;
        TDock *dock = nullptr;
        if (dockedTo != FloatingMark) {
            dock = FindDock(docks, dockedTo);
            if (!dock || !dock->AllowDrag())
                continue;
        }
        PlaceFromLayout(w, Reader, name, dock, Form);
    }
}

void SaveLayoutsWith(QWidget *Form, const TLayoutWriter &Writer)
{
    for (TCustomToolWindow *w : TCustomToolWindow::ToolWindowsOf(Form)) {
        const std::string name = NameOf(w);
        if (name.empty())
            throw EInvalidOperation(NoNameError);
        std::string dockedTo;
        if (TDock *d = w->DockedTo()) {
            if (d->AllowDrag()) {
                dockedTo = NameOf(d);
                if (dockedTo.empty())
                    throw EInvalidOperation(NoDockNameError);
            }
        } else if (w->Floating()) {
            dockedTo = FloatingMark;
        }
        void *x = Writer.Extra;
        Writer.WriteInt(name, "Rev", LayoutRevision, x);
        Writer.WriteInt(name, "Visible", w->Visible() ? 1 : 0, x);
        Writer.WriteString(name, "DockedTo", dockedTo, x);
        Writer.WriteInt(name, "DockRow", w->DockRow(), x);
        Writer.WriteInt(name, "DockPos", w->DockPos(), x);
        Writer.WriteInt(name, "FloatLeft", w->FloatingTopLeft().x(), x);
        Writer.WriteInt(name, "FloatTop", w->FloatingTopLeft().y(), x);
        Writer.WriteInt(name, "IconSize", w->IconSize, x);
        Writer.WriteInt(name, "ShowCaption", w->ShowCaption ? 1 : 0, x);
        w->WriteExtraLayout(Writer, name);
    }
}

namespace {

TLayoutReader IniReader(TIniFile &Ini)
{
    TLayoutReader r;
    r.ReadInt = [](const std::string &S, const std::string &K, int D, void *X) {
        return static_cast<TIniFile *>(X)->ReadInteger(S, K, D);
    };
    r.ReadString = [](const std::string &S, const std::string &K, const std::string &D, void *X) {
        return static_cast<TIniFile *>(X)->ReadString(S, K, D);
    };
    r.Extra = &Ini;
    return r;
}

TLayoutWriter IniWriter(TIniFile &Ini)
{
    TLayoutWriter w;
    w.WriteInt = [](const std::string &S, const std::string &K, int V, void *X) {
        static_cast<TIniFile *>(X)->WriteInteger(S, K, V);
    };
    w.WriteString = [](const std::string &S, const std::string &K, const std::string &V, void *X) {
        static_cast<TIniFile *>(X)->WriteString(S, K, V);
    };
    w.Extra = &Ini;
    return w;
}

} // namespace

void LoadToolWindowPositions(QWidget *Form, const std::string &IniFileName)
{
    TIniFile ini(IniFileName);
    LoadLayoutsWith(Form, IniReader(ini));
}

void SaveToolWindowPositions(QWidget *Form, const std::string &IniFileName)
{
    TIniFile ini(IniFileName);
    SaveLayoutsWith(Form, IniWriter(ini));
}

} // namespace orv
