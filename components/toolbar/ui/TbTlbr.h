#pragma once
// Toolbars: a tool window that lines up its child controls (buttons, edits,
// separators) in one row when docked and wraps them into lines when floating
// (FloatRightX, 0 = one line); dragging a floating toolbar's frame steps
// through the widths at which the wrapping changes. TToolbarSep is the gap
// between groups of buttons.

#include "components/toolbar/ui/TbCore.h"

#include <memory>

namespace orv {

class TToolbarSizing;
struct TToolbarItem;
struct TLineSeparator;

class TCustomToolbar : public TCustomToolWindow {
    Q_OBJECT
public:
    explicit TCustomToolbar(QWidget *Form);
    ~TCustomToolbar() override;

    int FloatRightX() const { return FFloatRightX; }
    void SetFloatRightX(int Value);
    // The child controls in toolbar order.
    const std::vector<QWidget *> &OrderList() const { return FOrderList; }
    // Wrapped lines that begin after a separator (floating only).
    const std::vector<TLineSeparator> &LineSeparators() const;
    // The sizing in progress, while the frame is dragged.
    const TToolbarSizing *Sizing() const { return FSizing.get(); }

    int BarThickness(TDockAxis Axis) override;
    QSize MinimumClientSize() override { return QSize(0, 0); }
    QSize LayOutItems(bool CanMove, TDockAxis PreviousAxis, TDock *TargetDock) override;
    bool PassesClicksThrough(QWidget *Control) override;
    void QueryBehaviour(bool &InheritsAlignment, bool &EightWaySizing,
                        bool &ClipsSizingCursor) override;
    void PrepareItemOrder() override;
    void SizingStarted(THitCode Code) override;
    void SizingEnded(bool Accepted) override;
    void SizingTrack(QRect &NewRect, const QRect &OrigRect) override;
    void ReadExtraLayout(const TLayoutReader &Reader, const std::string &Section) override;
    void WriteExtraLayout(const TLayoutWriter &Writer, const std::string &Section) override;

protected:
    void PaintContents(QPainter &P) override;
    void childEvent(QChildEvent *Event) override;

private:
    std::vector<TToolbarItem> GatherItems(std::vector<QWidget *> &Controls) const;

    int FFloatRightX = 0;
    std::vector<QWidget *> FOrderList;
    std::unique_ptr<std::vector<TLineSeparator>> FLineSeps;
    std::unique_ptr<TToolbarSizing> FSizing;
    THitCode FSizingCode = htNowhere;
};

class TToolbar : public TCustomToolbar {
    Q_OBJECT
public:
    explicit TToolbar(QWidget *Form) : TCustomToolbar(Form) {}
};

class TToolbarSep : public QWidget {
    Q_OBJECT
public:
    // Raises "TToolbarSep can only be placed on a TToolbar" for another parent.
    explicit TToolbarSep(QWidget *Parent = nullptr);
    void SetParent(QWidget *Parent);

    bool Blank() const { return FBlank; }
    void SetBlank(bool Value);
    int SizeHorz() const { return FSizeHorz; }
    void SetSizeHorz(int Value);
    int SizeVert() const { return FSizeVert; }
    void SetSizeVert(int Value);

protected:
    void paintEvent(QPaintEvent *Event) override;
    void mousePressEvent(QMouseEvent *Event) override;
    void mouseDoubleClickEvent(QMouseEvent *Event) override;

private:
    void Changed();
    bool FBlank = false;
    int FSizeHorz = 6;
    int FSizeVert = 6;
};

} // namespace orv
