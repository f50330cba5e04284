#pragma once
// The docking frame of the toolbar family: TDock, a strip along one edge of a
// form that holds tool windows in rows, and TCustomToolWindow, a window that
// is docked in such a strip or floats above its form with a caption and a
// close button; the operator drags, docks, floats and sizes them. Also the
// saving and restoring of their placement in ini files.

#include "components/toolbar/TbCmn.h"
#include "components/toolbar/TbDockLayout.h"
#include "components/toolbar/TbDragLoop.h"
#include "components/toolbar/TbTypes.h"
#include "platform/BorderStyle.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TCustomToolWindow;
class TDragOutline;


// Sets of dock positions and of bound lines, as bit masks.
using TDockableTo = uint8_t;
constexpr TDockableTo DockableTo(TDockPosition P) { return TDockableTo(1u << P); }
constexpr TDockableTo AllDockPositions = 0x0F;
enum TDockBoundLine : uint8_t { blTop = 1, blBottom = 2, blLeft = 4, blRight = 8 };

// Frame metrics (pixels).
constexpr int DockedFrame = 2;
constexpr int DialogFrame = 3;
constexpr int SizingFrame = 4;
constexpr int SmallCaptionHeight = 15;
int DragHandleSize(TDragHandleStyle Style);

class TDock : public QWidget {
    Q_OBJECT
public:
    // Raises "A TDock control cannot be placed inside a tool window or
    // another TDock" for such a parent.
    explicit TDock(QWidget *Parent, TDockPosition Position = dpTop);
    ~TDock() override;

    bool AllowDrag() const { return FAllowDrag; }
    void SetAllowDrag(bool Value);
    const QImage &Background() const { return FBackground; }
    void SetBackground(const QImage &Image);
    bool BackgroundOnToolbars() const { return FBackgroundOnToolbars; }
    void SetBackgroundOnToolbars(bool Value);
    bool BackgroundTransparent() const { return FBackgroundTransparent; }
    void SetBackgroundTransparent(bool Value);
    uint8_t BoundLines() const { return FBoundLines; }
    void SetBoundLines(uint8_t Lines);
    uint32_t Color() const { return FColor; }
    void SetColor(uint32_t Rgb);
    bool FixAlign() const { return FFixAlign; }
    void SetFixAlign(bool Value);
    bool LimitToOneRow() const { return FLimitToOneRow; }
    void SetLimitToOneRow(bool Value);
    TDockPosition Position() const { return FPosition; }
    // Raises "Cannot change Position of a TDock if it already contains controls".
    void SetPosition(TDockPosition Value);
    TDockAxis Axis() const { return DockAxisOf(FPosition); }

    std::function<void(TDock *, bool Inserting, TCustomToolWindow *)> OnInsertRemoveBar;
    std::function<void(TDock *, TCustomToolWindow *, bool &Accept)> OnRequestDock;
    std::function<void(TDock *)> OnResize;

    // The docked tool windows that take part in the layout, by row and position.
    const std::vector<TCustomToolWindow *> &DockList() const { return FDockList; }
    const std::vector<int> &RowSizes() const { return FLayout.RowSizes(); }
    void MoveInDockList(bool Insert, TCustomToolWindow *Bar, bool IsVisible);
    // Arranges the rows (only flags the need while held).
    void LayOutRows();
    int RowAtPoint(int XY, bool &Before) const { return FLayout.RowAtPoint(XY, Before); }
    int DesignRowAtPoint(int XY) const { return FLayout.DesignRowAtPoint(XY); }
    void OpenRowBefore(int Row);
    void HoldLayout();
    void ReleaseLayout();
    // Arrangements done so far (diagnostics: held changes arrange once).
    int LayoutCount() const { return FLayoutCount; }

    // The client area: the dock less its bound lines; its length along.
    QRect ClientRect() const;
    int ClientLength() const;
    // Puts a dropped bar at the outline's centre across and along (client coordinates).
    void PlaceDropped(TCustomToolWindow *Bar, int CentreAcross, int Along);

    // Places the docks of Parent along its edges (top and bottom full width,
    // left and right between them); the rest is FormClientRect. A dock that
    // Parent's layout holds is left to the layout, which gives it its
    // thickness across and at least its longest row's length along
    // (sizeHint), so no window is cut off.
    static void AlignDocks(QWidget *Parent);
    static QRect FormClientRect(QWidget *Form);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *Event) override;
    void resizeEvent(QResizeEvent *Event) override;
    void moveEvent(QMoveEvent *Event) override;
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    friend class TCustomToolWindow;
    void SetThickness(int Across);
    void SetLayoutPolicy();
    bool InParentLayout() const;
    void InvalidateBars();
    QImage ShownBackground() const;

    bool FAllowDrag = true;
    QImage FBackground;
    mutable QImage FTransparentCache;
    bool FBackgroundOnToolbars = true;
    bool FBackgroundTransparent = false;
    uint8_t FBoundLines = 0;
    uint32_t FColor;
    bool FFixAlign = false;
    bool FLimitToOneRow = false;
    TDockPosition FPosition;
    std::vector<TCustomToolWindow *> FDockList;
    TDockLayout FLayout;
    int FDisableArrange = 0;
    bool FArrangeNeeded = false;
    int FLayoutCount = 0;
    int FThickness = 0;
    int FLongestBar = 0; // the longest row along, for a layout that holds the dock
    bool FDestroying = false;
};

// The routines through which a layout is read and written, with their extra
// data (the ini file object for the ini-file forms).
struct TLayoutReader {
    std::function<int(const std::string &Section, const std::string &Key, int Default, void *Extra)>
        ReadInt;
    std::function<std::string(const std::string &Section, const std::string &Key,
                              const std::string &Default, void *Extra)>
        ReadString;
    void *Extra = nullptr;
};

struct TLayoutWriter {
    std::function<void(const std::string &Section, const std::string &Key, int Value, void *Extra)>
        WriteInt;
    std::function<void(const std::string &Section, const std::string &Key, const std::string &Value,
                       void *Extra)>
        WriteString;
    void *Extra = nullptr;
};

class TCustomToolWindow : public QWidget {
    Q_OBJECT
public:
    // Form is the owner: the window belongs to it (and floats on it) but has
    // no parent until it is docked or floated.
    explicit TCustomToolWindow(QWidget *Form);
    ~TCustomToolWindow() override;

    QWidget *OwnerForm() const { return FOwnerForm; }
    // The tool windows of Form in creation order.
    static std::vector<TCustomToolWindow *> ToolWindowsOf(const QWidget *Form);

    // ---- properties
    bool ActivateParent() const { return FActivateParent; }
    void SetActivateParent(bool Value) { FActivateParent = Value; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString &Value);
    bool CloseButton() const { return FCloseButton; }
    void SetCloseButton(bool Value);
    uint32_t Color() const { return FColor; }
    void SetColor(uint32_t Rgb);
    TDock *DefaultDock() const { return FDefaultDock; }
    void SetDefaultDock(TDock *Dock);
    TDockableTo DockableTo() const { return FDockableTo; }
    void SetDockableTo(TDockableTo Value) { FDockableTo = Value; }
    TDock *DockedTo() const { return FDockedTo; }
    // A dock docks the window; nullptr floats it on its form.
    void SetDockedTo(TDock *Dock);
    int DockPos() const { return FPlace.DockPos; }
    void SetDockPos(int Value);
    int DockRow() const { return FPlace.DockRow; }
    void SetDockRow(int Value);
    TDragHandleStyle DragHandleStyle() const { return FDragHandleStyle; }
    void SetDragHandleStyle(TDragHandleStyle Value);
    bool FullSize() const { return FPlace.FullSize; }
    void SetFullSize(bool Value);
    bool HideWhenInactive() const { return FHideWhenInactive; }
    void SetHideWhenInactive(bool Value);
    bool Resizable() const { return FResizable; }
    void SetResizable(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // 0 text only, 1 small images, 2 large images; kept with the layout.
    int IconSize = 2;
    bool ShowCaption = false;

    bool Docked() const { return FDockedTo != nullptr; }
    bool Floating() const { return FFloatForm != nullptr; }
    QPoint FloatingTopLeft() const { return FFloatingTopLeft; }
    void SetFloatingTopLeft(QPoint Screen);
    bool InactiveCaption() const { return FInactiveCaption; }

    // ---- events
    std::function<void(TCustomToolWindow *)> OnClose, OnDockChanged, OnDockChanging, OnMove,
        OnRecreated, OnRecreating, OnResize, OnVisibleChanged;

    // ---- operations
    void BeginUpdate();
    void EndUpdate();
    // Lays out the contents and resizes the window to them.
    void Arrange();
    // Docks (TDock), floats (a form) or removes (nullptr) the window. Raises
    // "A tool window can only be placed on a TDock or directly on the form".
    void SetParent(QWidget *Parent);
    // The form the window belongs to; raises "Control '<Name>' has no parent window".
    QWidget *ParentForm() const;
    // Moves a floating window back onto its monitor's work area.
    void KeepOnScreen(bool OnlyWhenOffScreen);
    // Re-evaluates whether a floating window shows (form shown, application active ...).
    void UpdateVisibility();

    // Non-client frame of the current placement, and the client area.
    QMargins NonClientMargins() const;
    QMargins NonClientMarginsFor(const TDock *Dock, bool Floating) const;
    QSize ClientSize() const;
    QRect CloseButtonRect() const;

    // ---- the interactive loops (the mouse and keys feed them; tests too)
    // Starts dragging from a press at PressInWindow (window coordinates).
    void RunDragLoop(QPoint PressInWindow);
    const TDragLoop *DragLoop() const { return FDrag.get(); }
    void RunSizeLoop(THitCode Code, QPoint PressScreen);
    const TSizeLoop *SizeLoop() const { return FSize.get(); }
    void TrackCloseButton();
    const TCloseButtonLoop *CloseLoop() const { return FCloseLoop.get(); }
    // Pointer moved to Screen, the left button came up, a key changed.
    void LoopMouseMove(QPoint Screen);
    void LoopRelease(QPoint Screen);
    void LoopKey(int Key, bool Down);
    // Escape, a second press or a double-click: cancels the running loop.
    void LoopCancel();
    // The double-click rule: floats a docked window, docks a floating one
    // into its DefaultDock at the front of row 0.
    void DoubleClick();
    THitCode HitTest(QPoint InWindow) const;

    // ---- layout operations of the descendants
    virtual int BarThickness(TDockAxis Axis) = 0;
    virtual QSize MinimumClientSize() = 0;
    // The client size the contents need for TargetDock (nullptr: floating);
    // CanMove also moves the controls.
    virtual QSize LayOutItems(bool CanMove, TDockAxis PreviousAxis, TDock *TargetDock) = 0;
    virtual void SizeChanged(int Width, int Height) {}
    virtual bool PassesClicksThrough(QWidget *Control) { return false; }
    virtual void QueryBehaviour(bool &InheritsAlignment, bool &EightWaySizing,
                                bool &ClipsSizingCursor)
    {
        InheritsAlignment = EightWaySizing = ClipsSizingCursor = true;
    }
    virtual void PrepareItemOrder() {}
    virtual void SizingStarted(THitCode Code) {}
    virtual void SizingEnded(bool Accepted) {}
    virtual void SizingTrack(QRect &NewRect, const QRect &OrigRect) {}
    virtual void ReadExtraLayout(const TLayoutReader &Reader, const std::string &Section) {}
    virtual void FinishExtraLayout() {}
    virtual void WriteExtraLayout(const TLayoutWriter &Writer, const std::string &Section) {}

    TDockAxis CurrentAxis() const { return FDockedTo ? FDockedTo->Axis() : daFloating; }
    // Row size of this window's row in its dock (0 when not docked).
    int DockRowSize() const;

    // Qt's show and hide go through SetVisible.
    void setVisible(bool Visible) override;

protected:
    void paintEvent(QPaintEvent *Event) override;
    virtual void PaintContents(QPainter &P) {}
    void mousePressEvent(QMouseEvent *Event) override;
    void mouseMoveEvent(QMouseEvent *Event) override;
    void mouseReleaseEvent(QMouseEvent *Event) override;
    void mouseDoubleClickEvent(QMouseEvent *Event) override;
    void keyPressEvent(QKeyEvent *Event) override;
    void keyReleaseEvent(QKeyEvent *Event) override;
    void resizeEvent(QResizeEvent *Event) override;
    void moveEvent(QMoveEvent *Event) override;
    void closeEvent(QCloseEvent *Event) override;
    // A child control shown, hidden, resized, added or removed re-arranges
    // the window (or flags it while updates are held).
    void childEvent(QChildEvent *Event) override;
    bool eventFilter(QObject *Watched, QEvent *Event) override;
    bool EightWaySizing();
    int ArrangingCount() const { return FArranging; }

private:
    friend class TDock;
    bool ShouldBeVisible() const;
    void ShowOrHide(bool Show);
    void MoveToParent(TDock *NewDock, QWidget *NewForm);
    void FinishDrag();
    void FinishSize();
    void FinishClose();
    void StartLoopInput();
    void EndLoopInput();
    void PaintDocked(QPainter &P);
    void PaintFloating(QPainter &P);
    std::vector<TDragCandidate> CollectCandidates(QWidget *Form);
    TSize OuterSizeFor(TDock *Dock);
    TDock *DockOfCandidate(void *Dock) const { return static_cast<TDock *>(Dock); }
    static void HookProc(THookEvent Kind, void *Wnd, intptr_t WParam, intptr_t LParam);

    QWidget *FOwnerForm;
    long FSerial;
    bool FActivateParent = true;
    TBorderStyle FBorderStyle = bsSingle;
    QString FCaption;
    bool FCloseButton = true;
    uint32_t FColor;
    TDock *FDefaultDock = nullptr;
    TDockableTo FDockableTo = AllDockPositions;
    TDock *FDockedTo = nullptr;
    QWidget *FFloatForm = nullptr;
    TDragHandleStyle FDragHandleStyle = dhDouble;
    bool FHideWhenInactive = true;
    bool FResizable = true;
    bool FVisible = true;
    TDockBarPlace FPlace;
    TDockAxis FLastAxis = daFloating;
    bool FLastAxisValid = false;
    int FBehaviour = -1; // bit 0 inherits alignment, 1 eight-way sizing, 2 clips cursor
    int FUpdateCount = 0;
    int FArranging = 0;
    int FLayingOut = 0;
    int FHiding = 0;
    int FInternalVisible = 0;
    bool FArrangeNeeded = false;
    bool FInactiveCaption = false;
    bool FDestroying = false;
    QPoint FFloatingTopLeft;
    std::unique_ptr<TDragLoop> FDrag;
    std::unique_ptr<TSizeLoop> FSize;
    std::unique_ptr<TCloseButtonLoop> FCloseLoop;
    std::unique_ptr<TDragOutline> FOutline;
};

// Restores every tool window of Form from the ini file (one section per
// window Name: "Rev", "Visible", "DockedTo", "DockRow", "DockPos",
// "FloatLeft", "FloatTop", "IconSize", "ShowCaption" and the window's own
// keys); the docks arrange once at the end.
void LoadToolWindowPositions(QWidget *Form, const std::string &IniFileName);
// Writes the same keys for every tool window of Form.
void SaveToolWindowPositions(QWidget *Form, const std::string &IniFileName);
void LoadLayoutsWith(QWidget *Form, const TLayoutReader &Reader);
void SaveLayoutsWith(QWidget *Form, const TLayoutWriter &Writer);

} // namespace orv
