#pragma once
// Test helpers of the 2D view: a canvas that writes down every shape, a
// view over it that records what the window was asked to show, and a
// fixture with a temporary settings folder, scripted message boxes and a
// test event loop.

#include "engine/view2d/DD_Draw_Form.h"
#include "machine/tests/ToolingFixture.h"
#include "platform/NumberText.h"

#include <map>
#include <string>
#include <vector>

namespace orv::test {

class TRecordingCanvas : public TCanvas2D {
public:
    std::vector<std::string> Shapes;
    TColor PenColour = clBlack;
    int PenWidth = 1;
    TPenMode Mode = TPenMode::Copy;

    void SetPen(TColor Colour, int Width, TPenStyle, TPenMode NewMode) override
    {
        PenColour = Colour;
        PenWidth = Width;
        Mode = NewMode;
    }
    void SetBrush(TColor, TBrushStyle) override {}
    void Line(TPixel A, TPixel B) override
    {
        Shapes.push_back("line " + Pt(A) + " " + Pt(B) + " c" + IntToStr(PenColour));
    }
    void Arc(const TPixelRect &R, TPixel A, TPixel B) override
    {
        Shapes.push_back("arc " + Box(R) + " " + Pt(A) + " " + Pt(B) + " c" + IntToStr(PenColour));
    }
    void Ellipse(const TPixelRect &R) override
    {
        Shapes.push_back("ellipse " + Box(R) + " c" + IntToStr(PenColour));
    }
    void FillRect(const TPixelRect &R, TColor Colour) override
    {
        Shapes.push_back("fill " + Box(R) + " c" + IntToStr(Colour));
    }

    static std::string Pt(TPixel P) { return IntToStr(P.X) + "," + IntToStr(P.Y); }
    static std::string Box(const TPixelRect &R)
    {
        return IntToStr(R.Left) + "," + IntToStr(R.Top) + "-" + IntToStr(R.Right) + "," +
               IntToStr(R.Bottom);
    }
};

// What the window was asked to show; owned by the form, so tests keep a
// pointer to the shared record.
struct TViewRecord {
    TRecordingCanvas Background, Drawing;
    int Width = 0, Height = 0;
    int Presents = 0;
    std::map<int, std::string> Status;
    std::vector<std::string> Saved;
    int ClientWidth = 400, ClientHeight = 300;
    int GaugeHeight = 210;
    TElementInfoResult InfoAnswer = TElementInfoResult::Ok;
    int InfoShown = 0;
    bool DatumShown = false; // the last Present drew the datum symbol
    double DatumEditX = 0, DatumEditY = 0;
    bool DatumEditsEnabled = true;
    bool DatumPointer = false;
    long long MaxPicturePixels = 1LL << 40;
};

class TRecordingView : public TForm2DView {
public:
    explicit TRecordingView(TViewRecord &Record) : R(Record) {}
    void ResizePictures(int Width, int Height) override
    {
        R.Width = Width;
        R.Height = Height;
    }
    int PictureWidth() const override { return R.Width; }
    int PictureHeight() const override { return R.Height; }
    TCanvas2D &Background() override { return R.Background; }
    TCanvas2D &Drawing() override { return R.Drawing; }
    void ClearDrawing() override { R.Drawing.Shapes.clear(); }
    void Present(bool ShowDatum, TPixel) override
    {
        ++R.Presents;
        R.DatumShown = ShowDatum;
    }
    bool SavePicture(const std::string &FileName) override
    {
        R.Saved.push_back(FileName);
        return true;
    }
    bool CanHoldPictures(long long Width, long long Height) const override
    {
        return Width * Height <= R.MaxPicturePixels;
    }
    int ScrollClientWidth() const override { return R.ClientWidth; }
    int ScrollClientHeight() const override { return R.ClientHeight; }
    void SetStatusText(int Panel, const std::string &Text) override { R.Status[Panel] = Text; }
    int GaugeHeight() const override { return R.GaugeHeight; }
    void ShowDatumEdits(double X, double Y) override
    {
        R.DatumEditX = X;
        R.DatumEditY = Y;
    }
    void SetDatumEditsEnabled(bool Enabled) override { R.DatumEditsEnabled = Enabled; }
    void ShowDatumPointer(bool Dragging) override { R.DatumPointer = Dragging; }
    TElementInfoResult ShowElementInfo(const TDD_Type &, int, double, const std::string &) override
    {
        ++R.InfoShown;
        return R.InfoAnswer;
    }

private:
    TViewRecord &R;
};

using TView2dFixture = TToolingFixture;

// Program to view millimetres without offsets, over an area H mm high.
inline TViewMapping Billet(double H)
{
    TViewMapping Map;
    Map.AreaHeight = H;
    return Map;
}

inline TArcMove XYArc(TMovePoint End, TMovePoint Centre, double Sweep, double Radius)
{
    TArcMove Arc;
    Arc.End = End;
    Arc.Centre = Centre;
    Arc.Sweep = Sweep;
    Arc.Radius = Radius;
    return Arc;
}

// A move record (motion code, end point) of a source line.
inline TCNC_data MoveRecord(int Motion, double X, double Y, double Z, int Line = 1)
{
    TCNC_data Data;
    Data.Motion = Motion;
    Data.X = X;
    Data.Y = Y;
    Data.Z = Z;
    Data.LineNumber = Line;
    return Data;
}

// A 100 x 50 mm table with X,Y offsets at scale 2; the travel starts at
// X -100, Y -50 and the datum is at machine (-80, -40): pixel (40, 80).
inline void UseDatumTable(TForm2D &Form)
{
    Form.UseOffsets = true;
    Form.AreaWidth = 100;
    Form.AreaHeight = 50;
    Form.TravelXMinus = -100;
    Form.TravelYMinus = -50;
    Form.Layout(2);
    Form.SetDatumFromMachine(-80, -40);
}

} // namespace orv::test
