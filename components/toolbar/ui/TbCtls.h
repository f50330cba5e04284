#pragma once
// The toolbar button (TToolbarButton): a flat, hot-tracking push button with
// a glyph and caption, group (radio/toggle) behaviour, auto-repeat and an
// optional drop-down menu; and the flat edit box of toolbars (TFlatEdit).
// Timers run on the platform event loop, so tests drive them on a test clock.

#include "components/toolbar/TbCmn.h"
#include "components/toolbar/TbTypes.h"

#include <QLineEdit>
#include <QWidget>

#include <functional>
#include <memory>

class QMenu;

namespace orv {

class TButtonGlyph;
class TImageList;
class TTimer;
struct TBitmap32;

// Where the pointer is on the screen; tests replace it.
using TCursorPosFunc = std::function<QPoint()>;
void SetToolbarCursorPos(TCursorPosFunc Func);
QPoint ToolbarCursorPos();

// Opens a drop-down menu at a screen point (right-aligned when asked) and
// returns when it closes; tests replace it, the default runs the menu.
using TMenuPopupFunc = std::function<void(QMenu *Menu, QPoint At, bool RightAligned)>;
void SetToolbarMenuPopup(TMenuPopupFunc Func);

class TToolbarButton : public QWidget {
    Q_OBJECT
public:
    explicit TToolbarButton(QWidget *Parent = nullptr);
    ~TToolbarButton() override;

    // ---- properties (defaults as a new button has them)
    Qt::Alignment Alignment() const { return FAlignment; }
    void SetAlignment(Qt::Alignment Value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    QString Caption() const { return FCaption; }
    void SetCaption(const QString &Value);
    uint32_t Color() const { return FColor; }
    void SetColor(uint32_t Rgb);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value) { FDefault = Value; }
    TButtonDisplayMode DisplayMode() const { return FDisplayMode; }
    void SetDisplayMode(TButtonDisplayMode Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool DropdownArrow() const { return FDropdownArrow; }
    void SetDropdownArrow(bool Value);
    bool DropdownCombo() const { return FDropdownCombo; }
    void SetDropdownCombo(bool Value);
    QMenu *DropdownMenu() const { return FDropdownMenu; }
    void SetDropdownMenu(QMenu *Menu);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    const TBitmap32 &Glyph() const;
    void SetGlyph(const TBitmap32 &Strip);
    void SetGlyphMask(const TBitmap32 &Mask);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    int ImageIndex() const;
    void SetImageIndex(int Value);
    TImageList *Images() const;
    void SetImages(TImageList *List);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }
    bool NoBorder() const { return FNoBorder; }
    void SetNoBorder(bool Value);
    int NumGlyphs() const;
    void SetNumGlyphs(int Value);
    bool OldDisabledStyle() const;
    void SetOldDisabledStyle(bool Value);
    bool Opaque() const { return FOpaque; }
    void SetOpaque(bool Value);
    bool Repeating() const { return FRepeating; }
    void SetRepeating(bool Value) { FRepeating = Value; }
    int RepeatDelay() const { return FRepeatDelay; }
    void SetRepeatDelay(int Ms) { FRepeatDelay = Ms; }
    int RepeatInterval() const { return FRepeatInterval; }
    void SetRepeatInterval(int Ms) { FRepeatInterval = Ms; }
    bool ShowBorderWhenInactive() const { return FShowBorderWhenInactive; }
    void SetShowBorderWhenInactive(bool Value) { FShowBorderWhenInactive = Value; }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    int Tag = 0;

    // ---- state
    TButtonDrawState State() const { return FState; }
    bool MouseOver() const { return FMouseOver; }
    bool MousePressed() const { return FMousePressed; }
    bool Clicking() const { return FClicking; }
    // The button that is hot-tracked now, if any.
    static TToolbarButton *TrackedButton();
    static int ButtonCount();
    // True while the repeat timer exists.
    bool HasRepeatTimer() const { return FRepeatTimer != nullptr; }

    // ---- operations
    // Clicks as the mouse does: toggles a group button, opens the drop-down
    // menu or fires OnClick (a Repeating button only fires OnClick).
    virtual void Click();
    // The platform's cancel-mode message: ends a press without a click.
    void CancelMode();
    // Enter/Escape from the dialog (no shift key): clicks a Default/Cancel button.
    bool DialogKey(int Key, Qt::KeyboardModifiers Shift);
    // Accelerator character (Alt + the caption's "&" letter).
    bool DialogChar(QChar Char);
    // System colours changed: drops the built images.
    void SysColorChange();
    // Hot-tracking entry points (also called by the timer and the hooks).
    void PointerEntered();
    void PointerLeft();
    void RefreshHotState();

    // ---- events
    std::function<void(TToolbarButton *)> OnClick;
    std::function<void(TToolbarButton *)> OnDblClick;
    std::function<void(TToolbarButton *)> OnMouseEnter;
    std::function<void(TToolbarButton *)> OnMouseExit;
    std::function<void(TToolbarButton *, Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y)>
        OnMouseDown;
    std::function<void(TToolbarButton *, Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y)>
        OnMouseUp;
    std::function<void(TToolbarButton *, Qt::KeyboardModifiers, int X, int Y)> OnMouseMove;

    // Pushed offset, arrow part and content rectangle of the current look
    // (what Paint uses), for the LED buttons that paint on top.
    bool Pushed() const { return FState == bsPressed || FState == bsHeldDown; }
    bool PressUsesDropdown() const { return FShowsDropdown; }

protected:
    virtual void Paint(QPainter &P);
    void paintEvent(QPaintEvent *Event) override;
    void mousePressEvent(QMouseEvent *Event) override;
    void mouseMoveEvent(QMouseEvent *Event) override;
    void mouseReleaseEvent(QMouseEvent *Event) override;
    void mouseDoubleClickEvent(QMouseEvent *Event) override;
    void changeEvent(QEvent *Event) override;

private:
    void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
    void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void EnabledChanged();
    void Redraw(bool AllowTransparent);
    void UpdateExclusive();
    void UpdateOpaqueStyle();
    void RepeatTimerTick();
    void FreeRepeatTimer();
    void OpenDropdown();
    bool HasDropdownMenu() const { return FDropdownMenu != nullptr; }
    bool InPressArea(int X, int Y) const;
    bool PointerIsOver() const;
    bool InHotPhaseLook() const;
    TButtonDrawState UpState() const;
    void DrawContent(QPainter &P, const QRect &Content, QPoint Offset);
    static void HookProc(THookEvent Kind, void *Wnd, intptr_t WParam, intptr_t LParam);
    static void TrackingTimerTick();

    Qt::Alignment FAlignment = Qt::AlignHCenter;
    bool FAllowAllUp = false;
    bool FCancel = false;
    QString FCaption;
    uint32_t FColor;
    bool FDefault = false;
    TButtonDisplayMode FDisplayMode = dmBoth;
    bool FDown = false;
    bool FDropdownArrow = true;
    bool FDropdownCombo = false;
    QMenu *FDropdownMenu = nullptr;
    bool FFlat = true;
    std::unique_ptr<TButtonGlyph> FGlyph;
    int FGroupIndex = 0;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FModalResult = 0;
    bool FNoBorder = false;
    bool FOpaque = true;
    bool FRepeating = false;
    int FRepeatDelay = 400;
    int FRepeatInterval = 100;
    bool FShowBorderWhenInactive = false;
    int FSpacing = 4;
    bool FWordWrap = false;

    bool FClicking = false;
    bool FMouseOver = false;
    bool FMousePressed = false;
    bool FShowsDropdown = false;
    bool FDestroying = false;
    std::unique_ptr<TTimer> FRepeatTimer;
    TButtonDrawState FState = bsUp;
};

// A flat edit box for toolbars: a 3-pixel border that looks active only
// while focused or hovered.
class TFlatEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TFlatEdit(QWidget *Parent = nullptr);
    bool MouseOver() const { return FMouseOver; }
    // True when the border is drawn in its active (sunken) look.
    bool LooksActive() const;

    std::function<void(TFlatEdit *)> OnChange;

protected:
    void paintEvent(QPaintEvent *Event) override;
    void enterEvent(QEnterEvent *Event) override;
    void leaveEvent(QEvent *Event) override;
    void focusInEvent(QFocusEvent *Event) override;
    void focusOutEvent(QFocusEvent *Event) override;
    void changeEvent(QEvent *Event) override;

private:
    void UpdateColours();
    void FitHeight();
    bool FMouseOver = false;
};

} // namespace orv
