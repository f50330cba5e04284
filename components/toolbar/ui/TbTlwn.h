#pragma once
// TToolWindow: a tool window with a free client area (pixels) that keeps the
// size it was last given, docked or floating; its client size is saved with
// the layout ("ClientWidth", "ClientHeight").

#include "components/toolbar/ui/TbCore.h"

namespace orv {

class TToolWindow : public TCustomToolWindow {
    Q_OBJECT
public:
    explicit TToolWindow(QWidget *Form);

    // Client size with a parent, else the whole size.
    int ClientAreaWidth() const;
    int ClientAreaHeight() const;
    // Sets the client size, keeping the other dimension.
    void SetClientAreaWidth(int Value);
    void SetClientAreaHeight(int Value);
    int MinClientWidth() const { return FMinClientWidth; }
    void SetMinClientWidth(int Value) { FMinClientWidth = Value; }
    int MinClientHeight() const { return FMinClientHeight; }
    void SetMinClientHeight(int Value) { FMinClientHeight = Value; }

    int BarThickness(TDockAxis Axis) override;
    QSize MinimumClientSize() override;
    QSize LayOutItems(bool CanMove, TDockAxis PreviousAxis, TDock *TargetDock) override;
    void SizeChanged(int Width, int Height) override;
    void ReadExtraLayout(const TLayoutReader &Reader, const std::string &Section) override;
    void WriteExtraLayout(const TLayoutWriter &Writer, const std::string &Section) override;

private:
    void SetClientArea(int Width, int Height);
    int FMinClientWidth = 32;
    int FMinClientHeight = 32;
    int FClientWidth = 32;
    int FClientHeight = 32;
};

} // namespace orv
