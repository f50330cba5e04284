#include "view3d/milling/MillingView.h"

#include "engine/core/DUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string_view>

namespace orv {

TMillingView::TMillingView()
{
    static const char *const labels[7] = {"X :", "Y:", "Z :", "F :", "M :", "S :", "T :"};
    for (int k = 0; k < 7; ++k) {
        FPanels[2 * k].Text = labels[k];
        FPanels[2 * k].Width = 20;
    }
    Billet.OnSurfaceChanged = [this] {
        if (OnChanged)
            OnChanged();
    };
}

void TMillingView::AddStraightMove(uint8_t Kind, double X1, double Y1, double Z1, double X2,
                                   double Y2, double Z2, double ToolRadius)
{
    Billet.AddStraightMove(Kind, X1, Y1, Z1, X2, Y2, Z2, ToolRadius);
    PathChanged();
}

void TMillingView::AddArcMove(int Plane, double X1, double Y1, double Z1, double CentreX,
                              double CentreY, double CentreZ, double Radius, double Sweep,
                              double ToolRadius)
{
    Billet.AddArcMove(Plane, X1, Y1, Z1, CentreX, CentreY, CentreZ, Radius, Sweep, ToolRadius);
    PathChanged();
}

void TMillingView::SetBilletSize(double X, double Y, double Z)
{
    Billet.SetBilletSize(X, Y, Z);
    if (OnChanged)
        OnChanged();
    SurfaceReset();
}

void TMillingView::FinishRun()
{
    Billet.FinishRun();
    RunFinished();
}

void TMillingView::SetUnits(TUnits Units)
{
    FUnits = Units;
    UnitsChanged();
}

void TMillingView::SetPanelText(int Index, const std::string &Text)
{
    if (Index < 0 || Index >= static_cast<int>(FPanels.size()))
        return;
    FPanels[Index].Text = Text;
    PanelChanged(Index);
}

void TMillingView::SetPanelWidth(int Index, int Width)
{
    if (Index < 0 || Index >= static_cast<int>(FPanels.size()))
        return;
    FPanels[Index].Width = Width;
    PanelChanged(Index);
}

int TMillingView::PanelTextWidth(const std::string &Text) const
{
    return 8 * static_cast<int>(Text.size());
}

void TMillingView::ApplySetup(const TG3D_settings &Settings)
{
    Billet.PathColours = {Settings.LinearColour, Settings.CircularColour, Settings.RapidColour};
    Billet.PathShown = {Settings.ShowLinears, Settings.ShowArcs, Settings.ShowRapids};
    Billet.GridSizeSetting = Settings.GridSize;
    Billet.UseOffsets = Settings.UseOffsets;
    Billet.TurboCount = 9999;
    ShowCutter = Settings.ShowCutter;
    if (OnChanged)
        OnChanged();
}

void TMillingView::OptionsAccepted(const TG3D_settings &Settings)
{
    const double previous = Billet.GridStep();
    ApplySetup(Settings);
    if (std::fabs(Settings.GridSize - previous) > 0.09)
        Billet.ResetHeightMap(0);
}

void TMillingView::DragProbe(int DX, int DY)
{
    const double step = Billet.GridStep();
    ProbeX = std::clamp(static_cast<float>(ProbeX - DX * step / 2), 0.0f, Billet.BilletX());
    ProbeY = std::clamp(static_cast<float>(ProbeY + DY * step / 2), 0.0f, Billet.BilletY());
    Billet.HeightAt(ProbeZ, ProbeX, ProbeY);
}

std::string TMillingView::MeasureText(int Axis) const
{
    static const char *const names[3] = {"X: ", "Y: ", "Z: "};
    const float value[3] = {ProbeX, ProbeY, ProbeZ};
    return names[Axis] + FloatToUnitsText(FUnits == Inch, value[Axis]);
}

void TMillingView::SetDatumText(int Axis, const std::string &Text)
{
    double *datum[3] = {&Billet.DatumX, &Billet.DatumY, &Billet.DatumZ};
    *datum[Axis] = UnitsTextToMM(CleanNumberText(Text), FUnits == Inch ? 1 : 0);
}

std::string TMillingView::DatumText(int Axis) const
{
    const double datum[3] = {Billet.DatumX, Billet.DatumY, Billet.DatumZ};
    return FloatToUnitsText(FUnits == Inch, datum[Axis]);
}

void WriteHeightMap(std::ostream &Out, const TMillingBillet &Billet)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", Billet.GridStep());
    Out << Billet.NX() << ' ' << Billet.NY() << ' ' << buf << '\n';
    for (int j = 0; j < Billet.NY(); ++j) {
        for (int i = 0; i < Billet.NX(); ++i) {
            std::snprintf(buf, sizeof buf, "%.4f", static_cast<double>(Billet.Cell(i, j)));
            // A depth that rounds away is written as the untouched top.
            const char *text = std::string_view(buf) == "-0.0000" ? buf + 1 : buf;
            Out << (i ? " " : "") << text;
        }
        Out << '\n';
    }
}

} // namespace orv
