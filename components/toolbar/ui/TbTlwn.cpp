#include "components/toolbar/ui/TbTlwn.h"

namespace orv {

TToolWindow::TToolWindow(QWidget *Form) : TCustomToolWindow(Form) { resize(32, 32); }

int TToolWindow::ClientAreaWidth() const
{
    return (DockedTo() || Floating()) ? ClientSize().width() : width();
}

int TToolWindow::ClientAreaHeight() const
{
    return (DockedTo() || Floating()) ? ClientSize().height() : height();
}

void TToolWindow::SetClientArea(int Width, int Height)
{
    FClientWidth = Width;
    FClientHeight = Height;
    const QMargins m = NonClientMargins();
    resize(Width + m.left() + m.right(), Height + m.top() + m.bottom());
    Arrange();
}

void TToolWindow::SetClientAreaWidth(int Value) { SetClientArea(Value, ClientAreaHeight()); }

void TToolWindow::SetClientAreaHeight(int Value) { SetClientArea(ClientAreaWidth(), Value); }

int TToolWindow::BarThickness(TDockAxis Axis)
{
    return Axis == daVertical ? FClientWidth : FClientHeight;
}

QSize TToolWindow::MinimumClientSize() { return QSize(FMinClientWidth, FMinClientHeight); }

QSize TToolWindow::LayOutItems(bool, TDockAxis, TDock *)
{
    return QSize(FClientWidth, FClientHeight);
}

void TToolWindow::SizeChanged(int Width, int Height)
{
    FClientWidth = Width;
    FClientHeight = Height;
}

void TToolWindow::ReadExtraLayout(const TLayoutReader &Reader, const std::string &Section)
{
    if (!Resizable())
        return;
    const int w = Reader.ReadInt(Section, "ClientWidth", FClientWidth, Reader.Extra);
    const int h = Reader.ReadInt(Section, "ClientHeight", FClientHeight, Reader.Extra);
    SetClientArea(w, h);
}

void TToolWindow::WriteExtraLayout(const TLayoutWriter &Writer, const std::string &Section)
{
    Writer.WriteInt(Section, "ClientWidth", FClientWidth, Writer.Extra);
    Writer.WriteInt(Section, "ClientHeight", FClientHeight, Writer.Extra);
}

} // namespace orv
