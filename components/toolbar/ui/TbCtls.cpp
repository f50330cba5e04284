#include "components/toolbar/ui/TbCtls.h"

#include "components/toolbar/TbGlyphImage.h"
#include "components/toolbar/TbGlyphLayout.h"
#include "components/toolbar/ui/TbHooks.h"
#include "components/toolbar/ui/TbPaint.h"
#include "platform/EventLoop.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace orv {

namespace {

// Hot tracking is checked this often (ms) while a button is tracked.
constexpr int TrackingIntervalMs = 125;
// Width of the separate arrow part of a DropdownCombo button.
constexpr int ComboArrowWidth = 11;

TToolbarButton *GTracked = nullptr;
std::unique_ptr<TTimer> GTrackingTimer;
int GButtonCount = 0;
TCursorPosFunc GCursorPos;
TMenuPopupFunc GMenuPopup;

// While a drop-down menu is open: a press that closes it over the button
// that opened it is not replayed, so that press does not reopen the menu.
class TNoReplayFilter : public QObject {
public:
    TNoReplayFilter(QMenu *Menu, QWidget *Button) : FMenu(Menu), FButton(Button) {}

protected:
    bool eventFilter(QObject *, QEvent *Event) override
    {
        const QEvent::Type t = Event->type();
        if (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick) {
            const QPoint g = static_cast<QMouseEvent *>(Event)->globalPosition().toPoint();
            FMenu->setAttribute(Qt::WA_NoMouseReplay, QApplication::widgetAt(g) == FButton);
        }
        return false;
    }

private:
    QMenu *FMenu;
    QWidget *FButton;
};

void RunMenu(QMenu *Menu, QPoint At, bool RightAligned, QWidget *Button)
{
    if (GMenuPopup) {
        GMenuPopup(Menu, At, RightAligned);
        return;
    }
    if (RightAligned)
        At.rx() -= Menu->sizeHint().width();
    TNoReplayFilter filter(Menu, Button);
    Menu->installEventFilter(&filter);
    Menu->exec(At);
    Menu->removeEventFilter(&filter);
    Menu->setAttribute(Qt::WA_NoMouseReplay, false);
}

void EndTracking()
{
    GTracked = nullptr;
    if (GTrackingTimer)
        GTrackingTimer->SetEnabled(false);
}

void DrawArrow(QPainter &P, int X, int Y, QColor Colour)
{
    P.setPen(Colour);
    P.drawLine(X + 4, Y, X + 8, Y);
    P.drawLine(X + 5, Y + 1, X + 7, Y + 1);
    P.drawPoint(X + 6, Y + 2);
}

// The drop-down arrow: the font colour, or embossed when disabled.
void DrawDropdownArrow(QPainter &P, int X, int Y, bool Enabled, QColor FontColour)
{
    if (Enabled) {
        DrawArrow(P, X, Y, FontColour);
        return;
    }
    DrawArrow(P, X + 1, Y + 1, SysColor(SysColors().BtnHighlight));
    DrawArrow(P, X, Y, SysColor(SysColors().BtnShadow));
}

// Side of the dock the button's tool window sits in, -1 when none.
int DockSideOf(const QWidget *Button)
{
    const QWidget *bar = Button->parentWidget();
    const QWidget *dock = bar ? bar->parentWidget() : nullptr;
    if (!dock)
        return -1;
    QVariant v = dock->property("DockPosition");
    return v.isValid() ? v.toInt() : -1;
}

} // namespace

void SetToolbarCursorPos(TCursorPosFunc Func) { GCursorPos = std::move(Func); }

QPoint ToolbarCursorPos() { return GCursorPos ? GCursorPos() : QCursor::pos(); }

void SetToolbarMenuPopup(TMenuPopupFunc Func) { GMenuPopup = std::move(Func); }

// ------------------------------------------------------------ TToolbarButton

TToolbarButton::TToolbarButton(QWidget *Parent) : QWidget(Parent), FColor(SysColors().BtnFace)
{
    EnsureQtHookBackend();
    if (!GTrackingTimer) {
        GTrackingTimer = std::make_unique<TTimer>();
        GTrackingTimer->SetInterval(TrackingIntervalMs);
    }
    AddHookClient(HookProc, {hkActivateApp, hkMouseMove}, false);
    resize(23, 22);
    setMouseTracking(true);
    FGlyph = std::make_unique<TButtonGlyph>();
    FGlyph->OnChange = [this] { Redraw(true); };
    UpdateOpaqueStyle();
    ++GButtonCount;
    if (Parent)
        show(); // a control is visible unless hidden
}

TToolbarButton::~TToolbarButton()
{
    FDestroying = true;
    if (GTracked == this)
        EndTracking();
    FGlyph.reset();
    RemoveHookClient(HookProc);
    FRepeatTimer.reset();
    if (--GButtonCount == 0) {
        DropDitherBrush();
        GTrackingTimer.reset();
    }
}

TToolbarButton *TToolbarButton::TrackedButton() { return GTracked; }

int TToolbarButton::ButtonCount() { return GButtonCount; }

// ---- property writers

void TToolbarButton::SetAlignment(Qt::Alignment Value)
{
    if (Value != FAlignment) {
        FAlignment = Value;
        Redraw(true);
    }
}

void TToolbarButton::SetAllowAllUp(bool Value)
{
    FAllowAllUp = Value;
    UpdateExclusive();
}

void TToolbarButton::SetCaption(const QString &Value)
{
    FCaption = Value;
    Redraw(true);
}

void TToolbarButton::SetColor(uint32_t Rgb)
{
    FColor = Rgb;
    Redraw(true);
}

void TToolbarButton::SetDisplayMode(TButtonDisplayMode Value)
{
    if (Value != FDisplayMode) {
        FDisplayMode = Value;
        Redraw(true);
    }
}

void TToolbarButton::SetDown(bool Value)
{
    if (FGroupIndex == 0)
        Value = false;
    if (Value == FDown || (FDown && !FAllowAllUp))
        return;
    FDown = Value;
    FState = !isEnabled() ? bsDisabled : (Value ? bsHeldDown : bsUp);
    Redraw(true);
    if (Value)
        UpdateExclusive();
}

void TToolbarButton::SetDropdownArrow(bool Value)
{
    if (Value != FDropdownArrow) {
        FDropdownArrow = Value;
        Redraw(true);
    }
}

void TToolbarButton::SetDropdownCombo(bool Value)
{
    if (Value == FDropdownCombo)
        return;
    FDropdownCombo = Value;
    resize(Value ? width() + ComboArrowWidth : std::max(1, width() - ComboArrowWidth), height());
    Redraw(true);
}

void TToolbarButton::SetDropdownMenu(QMenu *Menu)
{
    FDropdownMenu = Menu;
    if (Menu)
        connect(Menu, &QObject::destroyed, this, [this, Menu] {
            if (FDropdownMenu == Menu)
                FDropdownMenu = nullptr;
        });
    if (FDropdownArrow)
        Redraw(true);
}

void TToolbarButton::SetFlat(bool Value)
{
    FFlat = Value;
    UpdateOpaqueStyle();
    Redraw(true);
}

const TBitmap32 &TToolbarButton::Glyph() const { return FGlyph->Glyph(); }

void TToolbarButton::SetGlyph(const TBitmap32 &Strip)
{
    FGlyph->SetGlyph(Strip);
    Redraw(true);
}

void TToolbarButton::SetGlyphMask(const TBitmap32 &Mask)
{
    FGlyph->SetGlyphMask(Mask);
    Redraw(true);
}

void TToolbarButton::SetGroupIndex(int Value)
{
    FGroupIndex = Value;
    UpdateExclusive();
}

int TToolbarButton::ImageIndex() const { return FGlyph->ImageIndex(); }

void TToolbarButton::SetImageIndex(int Value) { FGlyph->SetImageIndex(Value); }

TImageList *TToolbarButton::Images() const { return FGlyph->Images(); }

void TToolbarButton::SetImages(TImageList *List) { FGlyph->SetImages(List); }

void TToolbarButton::SetLayout(TButtonLayout Value)
{
    if (Value != FLayout) {
        FLayout = Value;
        Redraw(true);
    }
}

void TToolbarButton::SetMargin(int Value)
{
    if (Value >= -1 && Value != FMargin) {
        FMargin = Value;
        Redraw(true);
    }
}

void TToolbarButton::SetNoBorder(bool Value)
{
    FNoBorder = Value;
    update();
}

int TToolbarButton::NumGlyphs() const { return FGlyph->NumGlyphs(); }

void TToolbarButton::SetNumGlyphs(int Value)
{
    const int old = FGlyph->NumGlyphs();
    FGlyph->SetNumGlyphs(ClampNumGlyphs(Value));
    if (FGlyph->NumGlyphs() != old)
        Redraw(true);
}

bool TToolbarButton::OldDisabledStyle() const { return FGlyph->OldDisabledStyle(); }

void TToolbarButton::SetOldDisabledStyle(bool Value)
{
    FGlyph->SetOldDisabledStyle(Value);
    Redraw(true);
}

void TToolbarButton::SetOpaque(bool Value)
{
    FOpaque = Value;
    UpdateOpaqueStyle();
    Redraw(true);
}

void TToolbarButton::SetSpacing(int Value)
{
    if (Value != FSpacing) {
        FSpacing = Value;
        Redraw(true);
    }
}

void TToolbarButton::SetWordWrap(bool Value)
{
    if (Value != FWordWrap) {
        FWordWrap = Value;
        Redraw(true);
    }
}

void TToolbarButton::UpdateOpaqueStyle()
{
    // An opaque or raised button paints every pixel itself; a flat
    // transparent one lets its parent show through.
    setAttribute(Qt::WA_OpaquePaintEvent, FOpaque || !FFlat);
}

void TToolbarButton::Redraw(bool) { update(); }

// ---- groups

void TToolbarButton::UpdateExclusive()
{
    if (FGroupIndex == 0 || !parentWidget())
        return;
    for (TToolbarButton *other :
         parentWidget()->findChildren<TToolbarButton *>(Qt::FindDirectChildrenOnly)) {
        if (other == this || other->FGroupIndex != FGroupIndex)
            continue;
        if (FDown && other->FDown) {
            other->FDown = false;
            other->FState = bsUp;
            other->Redraw(true);
        }
        other->FAllowAllUp = FAllowAllUp;
    }
}

// ---- hot tracking

bool TToolbarButton::PointerIsOver() const
{
    return QApplication::widgetAt(ToolbarCursorPos()) == this;
}

TButtonDrawState TToolbarButton::UpState() const
{
    return (FDown && FGroupIndex != 0) ? bsHeldDown : bsUp;
}

void TToolbarButton::PointerEntered()
{
    if (!isEnabled() || FMouseOver)
        return;
    FMouseOver = true;
    if (FState == bsUp)
        FState = bsHot;
    if (FFlat || NumGlyphs() == 5)
        Redraw(FDown || NumGlyphs() == 5);
    Fire(OnMouseEnter, this);
}

void TToolbarButton::PointerLeft()
{
    if (!isEnabled() || !FMouseOver || FMousePressed)
        return;
    FMouseOver = false;
    if (GTracked == this)
        EndTracking();
    const TButtonDrawState old = FState;
    if (FState == bsHot || (FState == bsPressed && !FClicking))
        FState = UpState();
    if (FFlat || NumGlyphs() == 5 || (FState != old && old != bsHot))
        Redraw(true);
    Fire(OnMouseExit, this);
}

void TToolbarButton::RefreshHotState()
{
    if (!isEnabled())
        return;
    const bool over = PointerIsOver();
    FMouseOver = !over;
    if (over)
        PointerEntered();
    else
        PointerLeft();
}

void TToolbarButton::TrackingTimerTick()
{
    if (GTracked && !GTracked->PointerIsOver())
        GTracked->PointerLeft();
}

void TToolbarButton::HookProc(THookEvent Kind, void *, intptr_t WParam, intptr_t)
{
    if (!GTracked)
        return;
    if (Kind == hkActivateApp && WParam == 0 && !GTracked->FShowBorderWhenInactive)
        GTracked->PointerLeft();
    else if (Kind == hkMouseMove && !GTracked->PointerIsOver())
        GTracked->PointerLeft();
}

// ---- mouse

bool TToolbarButton::InPressArea(int X, int Y) const
{
    int w = width();
    if (FDropdownCombo && HasDropdownMenu())
        w -= ComboArrowWidth;
    return X >= 0 && Y >= 0 && X < w && Y < height();
}

void TToolbarButton::mousePressEvent(QMouseEvent *Event)
{
    const QPoint p = Event->position().toPoint();
    MouseDown(Event->button(), Event->modifiers(), p.x(), p.y());
}

void TToolbarButton::mouseMoveEvent(QMouseEvent *Event)
{
    const QPoint p = Event->position().toPoint();
    MouseMove(Event->modifiers(), p.x(), p.y());
}

void TToolbarButton::mouseReleaseEvent(QMouseEvent *Event)
{
    const QPoint p = Event->position().toPoint();
    MouseUp(Event->button(), Event->modifiers(), p.x(), p.y());
}

void TToolbarButton::mouseDoubleClickEvent(QMouseEvent *Event)
{
    mousePressEvent(Event);
    if (FDown)
        Fire(OnDblClick, this);
}

void TToolbarButton::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    const bool left = Button == Qt::LeftButton && isEnabled();
    if (isEnabled())
        PointerEntered();
    if (left) {
        FShowsDropdown = HasDropdownMenu() && (!FDropdownCombo || X >= width() - ComboArrowWidth);
        if (!FDown) {
            FState = bsPressed;
            Redraw(true);
        } else if (FAllowAllUp) {
            Redraw(true);
        }
        if (!FShowsDropdown)
            FMousePressed = true;
    }
    Fire(OnMouseDown, this, Button, Shift, X, Y);
    if (!left)
        return;
    struct TClearDropdown {
        bool &Flag;
        ~TClearDropdown() { Flag = false; }
    } clear{FShowsDropdown};
    if (FShowsDropdown) {
        Click();
    } else if (FRepeating) {
        Click();
        if (!FRepeatTimer) {
            FRepeatTimer = std::make_unique<TTimer>();
            FRepeatTimer->OnTimer = [this] { RepeatTimerTick(); };
        }
        FRepeatTimer->SetInterval(FRepeatDelay);
        FRepeatTimer->SetEnabled(true);
    }
}

void TToolbarButton::MouseMove(Qt::KeyboardModifiers Shift, int X, int Y)
{
    if (FMousePressed) {
        const bool inside = InPressArea(X, Y);
        if (inside && FRepeatTimer)
            FRepeatTimer->SetEnabled(true);
        const TButtonDrawState s = FDown ? bsHeldDown : (inside ? bsPressed : bsUp);
        if (s != FState) {
            FState = s;
            Redraw(true);
        }
    }
    Fire(OnMouseMove, this, Shift, X, Y);
    if (GTracked == this || !PointerIsOver())
        return;
    if (GTracked)
        GTracked->PointerLeft();
    if (FShowBorderWhenInactive || AppHasActiveWindow()) {
        GTracked = this;
        GTrackingTimer->OnTimer = &TToolbarButton::TrackingTimerTick;
        GTrackingTimer->SetEnabled(true);
        PointerEntered();
    }
}

void TToolbarButton::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    FreeRepeatTimer();
    if (Button == Qt::RightButton && isEnabled()) {
        FMousePressed = false;
        PointerLeft();
    }
    Fire(OnMouseUp, this, Button, Shift, X, Y);
    if (Button != Qt::LeftButton || !FMousePressed)
        return;
    FMousePressed = false;
    if (InPressArea(X, Y) && !FRepeating)
        Click();
    else
        PointerLeft();
}

void TToolbarButton::RepeatTimerTick()
{
    FRepeatTimer->SetInterval(FRepeatInterval);
    const QPoint p = mapFromGlobal(ToolbarCursorPos());
    if (FRepeating && FMousePressed && InPressArea(p.x(), p.y()))
        Click();
    else
        FRepeatTimer->SetEnabled(false);
}

void TToolbarButton::FreeRepeatTimer() { FRepeatTimer.reset(); }

void TToolbarButton::CancelMode()
{
    FreeRepeatTimer();
    if (FMousePressed) {
        FMousePressed = false;
        PointerLeft();
    }
}

// ---- click

void TToolbarButton::Click()
{
    if (FRepeating && !FShowsDropdown) {
        Fire(OnClick, this);
        return;
    }
    FClicking = true;
    struct TFinally {
        TToolbarButton *B;
        ~TFinally()
        {
            B->FClicking = false;
            if (B->FState == bsPressed)
                B->FState = bsUp;
            if (!B->FDestroying) {
                B->Redraw(true);
                B->RefreshHotState();
            }
        }
    } finally{this};
    if (FGroupIndex != 0)
        SetDown(!FDown);
    if (FState == bsUp || FState == bsHot) {
        FState = bsPressed;
        Redraw(true);
    }
    PointerLeft();
    if (!HasDropdownMenu() || (FDropdownCombo && !FShowsDropdown)) {
        auto *dialog = qobject_cast<QDialog *>(window());
        if (dialog && FModalResult != 0)
            dialog->done(FModalResult);
        Fire(OnClick, this);
        return;
    }
    if (!FDropdownCombo)
        Fire(OnClick, this);
    OpenDropdown();
}

void TToolbarButton::OpenDropdown()
{
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
    QPoint at = mapToGlobal(QPoint(0, height()));
    bool rightAligned = false;
    const int side = DockSideOf(this);
    if (side == dpLeft) {
        at = mapToGlobal(QPoint(width(), 0));
    } else if (side == dpRight) {
        at = mapToGlobal(QPoint(0, 0));
        rightAligned = true;
    }
    RunMenu(FDropdownMenu, at, rightAligned, this);
}

// ---- keyboard

bool TToolbarButton::DialogKey(int Key, Qt::KeyboardModifiers Shift)
{
    const bool enter = (Key == Qt::Key_Return || Key == Qt::Key_Enter) && FDefault;
    const bool escape = Key == Qt::Key_Escape && FCancel;
    const bool parentCanFocus =
        parentWidget() && parentWidget()->isEnabled() && parentWidget()->isVisible();
    if (Shift != Qt::NoModifier || !(enter || escape) || !parentCanFocus || !isEnabled() ||
        !isVisible())
        return false;
    Click();
    return true;
}

bool TToolbarButton::DialogChar(QChar Char)
{
    const int amp = FCaption.indexOf('&');
    const bool isAccel =
        amp >= 0 && amp + 1 < FCaption.size() && FCaption.at(amp + 1).toUpper() == Char.toUpper();
    const bool parentCanFocus =
        parentWidget() && parentWidget()->isEnabled() && parentWidget()->isVisible();
    if (!isAccel || !parentCanFocus || !isEnabled() || !isVisible() || FDisplayMode == dmGlyphOnly)
        return false;
    Click();
    return true;
}

// ---- notifications

void TToolbarButton::changeEvent(QEvent *Event)
{
    if (Event->type() == QEvent::EnabledChange)
        EnabledChanged();
    else if (Event->type() == QEvent::FontChange)
        Redraw(true);
    QWidget::changeEvent(Event);
}

void TToolbarButton::EnabledChanged()
{
    if (!isEnabled()) {
        FState = bsDisabled;
        FMouseOver = false;
        FMousePressed = false;
        if (GTracked == this)
            EndTracking();
        CancelMode();
    } else if (FState == bsDisabled) {
        FState = UpState();
    }
    Redraw(true);
}

void TToolbarButton::SysColorChange()
{
    DropDitherBrush();
    FGlyph->Invalidate();
    FGlyph->StateImage(FState);
    Redraw(true);
}

// ---- painting

void TToolbarButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    Paint(p);
}

void TToolbarButton::Paint(QPainter &P)
{
    if (FOpaque || !FFlat)
        P.fillRect(rect(), SysColor(FColor));
    P.setFont(font());
    const bool pushed = Pushed();
    const bool combo = FDropdownCombo && HasDropdownMenu();
    const bool border = !FNoBorder && (pushed || !FFlat || (FMouseOver && FState != bsDisabled));
    QRect main = rect();
    if (combo)
        main.setWidth(width() - ComboArrowWidth);
    if (border) {
        const TEdgeKind up = FFlat ? ekRaisedInner : ekRaised;
        const TEdgeKind down = FFlat ? ekSunkenOuter : ekSunken;
        if (combo)
            DrawEdge(P, QRect(width() - ComboArrowWidth, 0, ComboArrowWidth - 2, height()),
                     pushed && FShowsDropdown ? down : up);
        DrawEdge(P, main, pushed && !FShowsDropdown ? down : up);
    }
    QRect content = main;
    if (!FNoBorder)
        content.adjust(FFlat ? 1 : 2, FFlat ? 1 : 2, FFlat ? -1 : -2, FFlat ? -1 : -2);
    const QPoint offset = pushed && !FShowsDropdown ? QPoint(1, 1) : QPoint(0, 0);
    if (FState == bsHeldDown && (!FFlat || !FMouseOver))
        P.fillRect(content, DitherBrush());
    DrawContent(P, content, offset);
    if (combo)
        DrawDropdownArrow(P, width() - 13, height() / 2 - 1, isEnabled(),
                          palette().color(QPalette::ButtonText));
}

void TToolbarButton::DrawContent(QPainter &P, const QRect &Content, QPoint Offset)
{
    const bool arrow = FDropdownArrow && !FDropdownCombo && HasDropdownMenu();
    TGlyphLayoutInput in;
    in.Client = FromQRect(Content);
    in.GlyphSize = FGlyph->ImageSize();
    in.ShowGlyph = FDisplayMode != dmTextOnly;
    in.ShowText = FDisplayMode != dmGlyphOnly;
    in.HasCaption = !FCaption.isEmpty();
    in.ShowArrow = arrow;
    in.Layout = FLayout;
    in.Margin = FMargin;
    in.Spacing = FSpacing;
    in.WordWrap = FWordWrap;
    in.Offset = {Offset.x(), Offset.y()};
    const int textFlags =
        Qt::TextShowMnemonic | (FWordWrap ? Qt::TextWordWrap : Qt::TextSingleLine);
    const QFontMetrics fm(font());
    const TGlyphLayoutResult r = CalcButtonLayout(in, [&](int W, bool) {
        const QRect b = fm.boundingRect(QRect(0, 0, std::max(W, 1), 10000), textFlags, FCaption);
        return TSize{b.width(), b.height()};
    });
    if (r.GlyphSize.Width > 0)
        if (const TBitmap32 *image = FGlyph->StateImage(FState))
            P.drawImage(QPoint(r.GlyphPos.X, r.GlyphPos.Y), ToQImage(*image));
    if (in.ShowText && in.HasCaption) {
        const int flags = textFlags | Qt::AlignVCenter | (FAlignment & Qt::AlignHorizontal_Mask);
        const QRect tr = ToQRect(r.TextRect);
        if (!isEnabled()) {
            P.setPen(SysColor(SysColors().BtnHighlight));
            P.drawText(tr.translated(1, 1), flags, FCaption);
            P.setPen(SysColor(SysColors().BtnShadow));
        } else {
            P.setPen(palette().color(QPalette::ButtonText));
        }
        P.drawText(tr, flags, FCaption);
    }
    if (arrow)
        DrawDropdownArrow(P, r.ArrowPos.X, r.ArrowPos.Y, isEnabled(),
                          palette().color(QPalette::ButtonText));
}

// ----------------------------------------------------------------- TFlatEdit

TFlatEdit::TFlatEdit(QWidget *Parent) : QLineEdit(Parent)
{
    setFrame(false);
    setTextMargins(3, 3, 3, 3);
    resize(width(), 19);
    UpdateColours();
    FitHeight();
    if (Parent)
        show();
    connect(this, &QLineEdit::textChanged, this, [this] { Fire(OnChange, this); });
}

void TFlatEdit::FitHeight() { resize(width(), QFontMetrics(font()).height() + 6); }

void TFlatEdit::UpdateColours()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Base, SysColor(isEnabled() ? SysColors().Window : SysColors().BtnFace));
    setPalette(pal);
}

bool TFlatEdit::LooksActive() const
{
    if (!isEnabled())
        return false;
    if (hasFocus())
        return true;
    return FMouseOver && !qobject_cast<TFlatEdit *>(QApplication::focusWidget());
}

void TFlatEdit::paintEvent(QPaintEvent *Event)
{
    QLineEdit::paintEvent(Event);
    QPainter p(this);
    const TSysColors &c = SysColors();
    const QRect r = rect();
    auto ring = [&](int Inset, QColor TopLeft, QColor BottomRight) {
        const QRect q = r.adjusted(Inset, Inset, -Inset, -Inset);
        p.setPen(TopLeft);
        p.drawLine(q.left(), q.bottom(), q.left(), q.top());
        p.drawLine(q.left(), q.top(), q.right(), q.top());
        p.setPen(BottomRight);
        p.drawLine(q.right(), q.top() + 1, q.right(), q.bottom());
        p.drawLine(q.left() + 1, q.bottom(), q.right(), q.bottom());
    };
    const QColor face = SysColor(c.BtnFace), window = SysColor(isEnabled() ? c.Window : c.BtnFace);
    if (LooksActive()) {
        ring(0, SysColor(c.BtnShadow), SysColor(c.BtnHighlight));
        ring(1, face, face);
    } else {
        ring(0, face, face);
        ring(1, face, face);
    }
    ring(2, window, window);
}

void TFlatEdit::enterEvent(QEnterEvent *Event)
{
    FMouseOver = true;
    update();
    QLineEdit::enterEvent(Event);
}

void TFlatEdit::leaveEvent(QEvent *Event)
{
    FMouseOver = false;
    update();
    QLineEdit::leaveEvent(Event);
}

void TFlatEdit::focusInEvent(QFocusEvent *Event)
{
    QLineEdit::focusInEvent(Event);
    update();
}

void TFlatEdit::focusOutEvent(QFocusEvent *Event)
{
    QLineEdit::focusOutEvent(Event);
    update();
}

void TFlatEdit::changeEvent(QEvent *Event)
{
    QLineEdit::changeEvent(Event);
    if (Event->type() == QEvent::EnabledChange)
        UpdateColours();
    else if (Event->type() == QEvent::FontChange)
        FitHeight();
}

} // namespace orv
