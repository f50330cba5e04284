#include "engine/view2d/DD_Draw_Form.h"

#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "platform/EventLoop.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

constexpr const char *GraphicsSection = "graphics";
constexpr TColor TableColour = 4539717;
constexpr TColor BandColour = 8421504;
constexpr double BandMillimetres = 10;
constexpr int MessageNoElementsInRange = 47;
constexpr int MessageNoElementsForLine = 48;
constexpr int DatumGripPixels = 8;     // a press this near the symbol's centre grabs it
constexpr int DatumEditDelayMs = 300; // typing settles before the datum moves

const char *const PictureFilter =
    "All (*.bmp,*.bm2,*.bm3;*.ico;*.emf;*.wmf]|*.bmp;*.bm2;*.bm3;*.ico;*.emf;*.wmf;|"
    "Bitmaps (*.bmp,*.bm2,*.bm3)|*.bmp;*.bm2;*.bm3;|Icons (*.ico)|*.ico;|"
    "Enhanced Metafiles (*.emf)|*.emf;|Metafiles (*.wmf)|*.wmf;";

// A view that keeps nothing: the form's list and rules without pixels.
class TNoCanvas : public TCanvas2D {
public:
    void SetPen(TColor, int, TPenStyle, TPenMode) override {}
    void SetBrush(TColor, TBrushStyle) override {}
    void Line(TPixel, TPixel) override {}
    void Arc(const TPixelRect &, TPixel, TPixel) override {}
    void Ellipse(const TPixelRect &) override {}
    void FillRect(const TPixelRect &, TColor) override {}
};

class TNoView : public TForm2DView {
public:
    void ResizePictures(int Width, int Height) override
    {
        FWidth = Width;
        FHeight = Height;
    }
    int PictureWidth() const override { return FWidth; }
    int PictureHeight() const override { return FHeight; }
    TCanvas2D &Background() override { return FCanvas; }
    TCanvas2D &Drawing() override { return FCanvas; }
    void ClearDrawing() override {}
    void Present(bool, TPixel) override {}
    bool SavePicture(const std::string &) override { return false; }

private:
    TNoCanvas FCanvas;
    int FWidth = 0, FHeight = 0;
};

bool WithinPixels(int A, int B, int Limit) { return std::abs(A - B) <= Limit; }

} // namespace

TForm2D::TForm2D(std::unique_ptr<TForm2DView> View)
    : FView(View ? std::move(View) : std::make_unique<TNoView>()),
      FTimer(std::make_unique<TTimer>()), FDatumTimer(std::make_unique<TTimer>()),
      FAlive(std::make_shared<bool>(true))
{
    LoadGraphicsSettings(MainIniPath());
    const TIniFile Ini(MainIniPath());
    TimerInterval = std::max(1, Ini.ReadInteger(GraphicsSection, "Timer", 100));
    AutoSaveBitmap = Ini.ReadBool(GraphicsSection, "AutoSave Bitmap", false);
    UseOffsets = Ini.ReadBool(GraphicsSection, "Use Offsets", false);
    ThinCutter = Ini.ReadBool(GraphicsSection, "Vosk Width", true);
    ZWidth = Ini.ReadInteger(GraphicsSection, "Z Width", 12);
    FGauge.Width = ZWidth;
    FTimer->SetInterval(TimerInterval);
    FTimer->OnTimer = [this] { TickCount = TickCount >= 32000 ? 0 : TickCount + 1; };
    FDatumTimer->SetInterval(DatumEditDelayMs);
    FDatumTimer->OnTimer = [this] { ApplyDatumEdits(); };
    ShowZ(Decimals, 1000);
    FView->Attach(*this);
}

TForm2D::~TForm2D()
{
    *FAlive = false;
    TIniFile Ini(MainIniPath());
    Ini.WriteBool(GraphicsSection, "AutoSave Bitmap", AutoSaveBitmap);
    Ini.WriteBool(GraphicsSection, "Use Offsets", UseOffsets);
    Ini.WriteBool(GraphicsSection, "Vosk Width", ThinCutter);
    Ini.WriteInteger(GraphicsSection, "Z Width", ZWidth);
}

void TForm2D::AddElement(const TDD_Type &Element)
{
    FElements.push_back(Element);
    FLastCutterRadius = Element.CutterRadius;
    DrawLive(Element);
}

void TForm2D::ClearElements()
{
    FElements.clear();
    FSelected = -1;
}

void TForm2D::SetElements(std::vector<TDD_Type> Elements)
{
    FElements = TElementList(Elements);
    FSelected = -1;
    Redraw();
}

void TForm2D::DrawLive(const TDD_Type &Element)
{
    if (FSettings.ShowCutter && !AnimateAlong(Element))
        return; // the window went while the cutter moved
    DrawElement(FView->Drawing(), Element, FSettings, Scale);
    Present();
}

void TForm2D::Layout(double NewScale)
{
    FTimer->SetEnabled(false);
    Scale = NewScale;
    SizePictures();
    FPainted = {};
    if (FAnchorPending) {
        FView->SetScrollPosition(FAnchorX, FAnchorY);
        FAnchorPending = false;
    }
    if (!PaintingOnDemand()) {
        PaintBackground();
        FView->ClearDrawing();
        FPainted = WholePicture(); // the callers draw the elements at once
    }
    Present();
    FTimer->SetEnabled(true);
}

// The animated cutter is drawn over the background and taken off again
// (NotXor): a part painted in between would keep its trace, so the
// pictures are painted whole while it may be shown.
bool TForm2D::PaintingOnDemand() const
{
    return FView->PaintsOnDemand() && !(Running && FSettings.ShowCutter);
}

TPixelRect TForm2D::WholePicture() const
{
    return {0, 0, FView->PictureWidth(), FView->PictureHeight()};
}

namespace {

bool IsEmpty(const TPixelRect &R) { return R.Right <= R.Left || R.Bottom <= R.Top; }

bool Contains(const TPixelRect &Outer, const TPixelRect &Inner)
{
    return Inner.Left >= Outer.Left && Inner.Top >= Outer.Top && Inner.Right <= Outer.Right &&
           Inner.Bottom <= Outer.Bottom;
}

} // namespace

void TForm2D::PaintPart(const TPixelRect &Part)
{
    const TPixelRect Whole = WholePicture();
    const TPixelRect Wanted{std::max(Part.Left, Whole.Left), std::max(Part.Top, Whole.Top),
                            std::min(Part.Right, Whole.Right), std::min(Part.Bottom, Whole.Bottom)};
    if (IsEmpty(Wanted) || Contains(FPainted, Wanted))
        return;
    if (IsEmpty(FPainted)) {
        PaintPiece(Wanted);
        FPainted = Wanted;
        return;
    }
    // What was painted grows to a rectangle around both: the pieces
    // around it are painted.
    const TPixelRect Was = FPainted;
    const TPixelRect Grown{std::min(Was.Left, Wanted.Left), std::min(Was.Top, Wanted.Top),
                           std::max(Was.Right, Wanted.Right), std::max(Was.Bottom, Wanted.Bottom)};
    const TPixelRect Pieces[] = {{Grown.Left, Grown.Top, Grown.Right, Was.Top},
                                 {Grown.Left, Was.Bottom, Grown.Right, Grown.Bottom},
                                 {Grown.Left, Was.Top, Was.Left, Was.Bottom},
                                 {Was.Right, Was.Top, Grown.Right, Was.Bottom}};
    for (const TPixelRect &Piece : Pieces)
        if (!IsEmpty(Piece))
            PaintPiece(Piece);
    FPainted = Grown;
}

void TForm2D::PaintAll()
{
    PaintPart(WholePicture());
}

// Background, elements and highlight as a whole painting leaves them, in
// Piece alone.
void TForm2D::PaintPiece(const TPixelRect &Piece)
{
    TCanvas2D &Back = FView->Background();
    TCanvas2D &Drawing = FView->Drawing();
    Back.ClipTo(Piece);
    Drawing.ClipTo(Piece);
    PaintBackground();
    Drawing.FillRect(Piece, clWhite);
    if (Piece == WholePicture())
        DrawElements(Drawing, FElements, FSettings, Scale); // nothing to leave out
    else
        DrawElementsIn(Drawing, FElements, FSettings, Scale, Piece);
    DrawHighlight();
    Back.Unclip();
    Drawing.Unclip();
}

// The pictures sized for the scale (with X,Y offsets a size within ten
// pixels of the present one is kept).
void TForm2D::SizePictures()
{
    const int W = ToPixel(AreaWidth, Scale);
    const int H = ToPixel(AreaHeight, Scale);
    const bool Near = WithinPixels(FView->PictureWidth(), W, 10) &&
                      WithinPixels(FView->PictureHeight(), H, 10);
    if (!UseOffsets || !Near)
        FView->ResizePictures(W, H);
}

// The billet (or, with X,Y offsets, the machine table with its two bands
// and the billet on it) on the background picture.
void TForm2D::PaintBackground()
{
    TCanvas2D &Canvas = FView->Background();
    const int PW = FView->PictureWidth();
    if (!UseOffsets) {
        Canvas.FillRect({0, 0, PW, FView->PictureHeight()}, FSettings.MaterialColour);
        return;
    }
    const double Hs = AreaHeight * Scale;
    const int Band = ToPixel(BandMillimetres, Scale);
    Canvas.FillRect({0, 0, PW, FView->PictureHeight()}, TableColour);
    const int Top1 = Round(Hs / 4 - Band / 2.0);
    const int Top2 = Round(Hs / 2 + Hs / 4 - Band / 2.0 + 1);
    Canvas.FillRect({0, Top1, PW, Top1 + Band}, BandColour);
    Canvas.FillRect({0, Top2, PW, Top2 + Band}, BandColour);
    const int Left = ToPixel(BilletRect.Left, Scale);
    const int Bottom = ToPixel(AreaHeight - BilletRect.Top, Scale);
    const int Width = ToPixel(BilletRect.Right - BilletRect.Left, Scale);
    const int Height = ToPixel(BilletRect.Bottom - BilletRect.Top, Scale);
    Canvas.FillRect({Left, Bottom - Height, Left + Width, Bottom}, FSettings.MaterialColour);
}

void TForm2D::Redraw()
{
    Layout(Scale);
    const bool Whole = FPainted == WholePicture(); // else drawn as it is shown
    if (Whole)
        DrawElements(FView->Drawing(), FElements, FSettings, Scale);
    FGauge.SetBillet(FGauge.MaterialColour, FGauge.ZSize);
    FView->GaugeChanged();
    if (Whole)
        DrawHighlight();
    Present();
}

void TForm2D::Present()
{
    FView->Present(UseOffsets && !FDraggingDatum, DatumPixel());
}

TPixel TForm2D::DatumPixel() const
{
    return {ToPixel(static_cast<double>(DatumX), Scale),
            FView->PictureHeight() - ToPixel(static_cast<double>(DatumY), Scale)};
}

void TForm2D::DrawHighlight()
{
    if (!SelectionInList())
        return;
    const TDD_Type &Element = FElements[FSelected];
    const TDrawStyles Styles = BuildDrawStyles(FSettings, Element.Colour);
    DrawOutline(FView->Drawing(), Element, Styles[dsHighlight], FSettings, Scale);
}

void TForm2D::SetGaugeSize(int Width, int Height)
{
    FGauge.Width = Width;
    FGauge.Height = Height;
    FGauge.SetBillet(FGauge.MaterialColour, FGauge.ZSize);
}

void TForm2D::ShowZ(int NewDecimals, double Z)
{
    if (FView->GaugeHeight() > 0 && FView->GaugeHeight() != FGauge.Height)
        SetGaugeSize(FGauge.Width, FView->GaugeHeight());
    FGauge.Z = Z;
    FView->GaugeChanged();
}

void TForm2D::SetZCutter(TColor Colour, double Diameter)
{
    FGauge.SetCutter(Colour, Diameter, ThinCutter);
    FView->GaugeChanged();
}

void TForm2D::SetZBillet(TColor Colour, double ZSize)
{
    if (FView->GaugeHeight() > 0)
        FGauge.Height = FView->GaugeHeight();
    FGauge.SetBillet(Colour, ZSize);
    FView->GaugeChanged();
}

void TForm2D::HighlightLine(int Line)
{
    if (SelectionInList())
        DrawLive(FElements[FSelected]);
    const auto Found = std::find_if(FElements.begin(), FElements.end(),
                                    [Line](const TDD_Type &E) { return E.LineNumber == Line + 1; });
    FSelected = Found == FElements.end() ? -1 : static_cast<int>(Found - FElements.begin());
    if (FSelected < 0)
        Mess().ShowMessageByIndex(MessageNoElementsForLine, mtWarning, mbOK);
    Redraw();
}

void TForm2D::LeftPress(TPixel At)
{
    if (FDraggingDatum) {
        EndDatumDrag(At);
        return;
    }
    if (UseOffsets && !Running && NearDatumSymbol(At)) {
        StartDatumDrag();
        return;
    }
    FLastPress = At;
    if (SelectionInList())
        DrawElement(FView->Drawing(), FElements[FSelected], FSettings, Scale);
    if (!PickingAllowed)
        return;
    FSelected = PickElement(FElements, At, Scale);
    DrawHighlight();
    Present();
}

void TForm2D::ObjectData()
{
    if (!SelectionInList()) {
        Mess().ShowMessageByIndex(MessageNoElementsInRange, mtWarning, mbOK);
        return;
    }
    DrawHighlight();
    Present();
    const TDD_Type Element = FElements[FSelected];
    const auto Result = FView->ShowElementInfo(Element, Decimals, AreaHeight, FCurrentFilename);
    if (Result == TElementInfoResult::EditSource)
        FireEditSource(Element.LineNumber - 1);
}

void TForm2D::FireEditSource(int Line)
{
    if (OnEditSource)
        OnEditSource(Line);
}

// The next layout scrolls the last pressed point's place in the picture
// into view.
void TForm2D::AnchorAtLastPress()
{
    const int W = std::max(1, FView->PictureWidth());
    const int H = std::max(1, FView->PictureHeight());
    FAnchorX = static_cast<double>(FLastPress.X) / W;
    FAnchorY = static_cast<double>(FLastPress.Y) / H;
    FAnchorPending = true;
}

void TForm2D::ZoomIn()
{
    AnchorAtLastPress();
    const double Next = ZoomInScale(Scale, FitScale);
    if (Next == Scale || !PicturesFitAt(Next))
        return; // at the deepest step, or pictures too big to keep
    Scale = Next;
    Redraw();
}

bool TForm2D::PicturesFitAt(double NewScale) const
{
    const long long W = ToPixel(AreaWidth, NewScale);
    const long long H = ToPixel(AreaHeight, NewScale);
    return FView->CanHoldPictures(W, H);
}

void TForm2D::ZoomOut()
{
    AnchorAtLastPress();
    const double Next = ZoomOutScale(Scale, FitScale);
    if (Next == Scale)
        return;
    Scale = Next;
    Redraw();
}

void TForm2D::ShowAll()
{
    Layout(FitScale);
    if (FPainted == WholePicture())
        DrawElements(FView->Drawing(), FElements, FSettings, Scale);
    Present();
}

std::string TForm2D::PointerHint(TPixel At) const
{
    if (Scale <= 0)
        return {};
    const bool Inch = Decimals == 4;
    const double X = At.X / Scale;
    const double Y = (FView->PictureHeight() - At.Y) / Scale;
    return Mess().Translate("X=") + FloatToUnitsText(Inch, X) + "," + Mess().Translate("Y=") +
           FloatToUnitsText(Inch, Y);
}

void TForm2D::SetUnits(TUnits Units)
{
    if (DatumEditPending())
        ApplyDatumEdits(); // typed in the units they were shown in
    Decimals = Units == Inch ? 4 : 3;
    if (DatumNeverSet())
        return;
    const uint8_t U = DisplayUnits();
    FView->ShowDatumEdits(RoundToUnits(U, DatumShownX), RoundToUnits(U, DatumShownY));
}

void TForm2D::SetCurrentFilename(const std::string &FileName)
{
    FCurrentFilename = FileName;
    PictureName = PictureNameFor(FileName);
}

void TForm2D::LoadGraphicsSettings(const std::string &FileName)
{
    FSettingsFile = FileName;
    FSettings = LoadGraphicSettings(FileName);
}

void TForm2D::SetupGraphics()
{
    TGraphicSettings Edited = LoadGraphicSettings(FSettingsFile);
    if (FView->ShowSetupDialog(FSettingsFile, Edited))
        FSettings = Edited;
    Redraw();
}

bool TForm2D::SavePicture(const std::string &FileName)
{
    const bool PictureEmpty = FView->PictureWidth() <= 0 || FView->PictureHeight() <= 0;
    if (FileName.empty() || PictureEmpty || !DriveReady(FileName))
        return false;
    Present();
    return FView->SavePicture(FileName);
}

void TForm2D::SaveBitmapAs()
{
    TFileRequest Request;
    Request.Kind = TFileDialogKind::Save;
    Request.Filter = PictureFilter;
    Request.FileName = PictureName;
    Request.DefaultExt = "bm2";
    const auto Chosen = Messages().ChooseFile(Request);
    if (Chosen && !Chosen->empty())
        SavePicture(*Chosen);
}

void TForm2D::AutoSavePicture()
{
    if (AutoSaveBitmap)
        SavePicture(PictureName);
}

void TForm2D::SetDatumFromMachine(double X, double Y)
{
    DatumShownX = X;
    DatumShownY = Y;
    DatumX = X - TravelXMinus;
    DatumY = Y - TravelYMinus;
    const uint8_t U = DisplayUnits();
    FView->ShowDatumEdits(RoundToUnits(U, X), RoundToUnits(U, Y));
    Present();
}

bool TForm2D::NearDatumSymbol(TPixel At) const
{
    const TPixel Centre = DatumPixel();
    const long long Dx = At.X - Centre.X;
    const long long Dy = At.Y - Centre.Y;
    return Dx * Dx + Dy * Dy <= DatumGripPixels * DatumGripPixels;
}

// The symbol leaves the picture and rides on the pointer.
void TForm2D::StartDatumDrag()
{
    FDraggingDatum = true;
    FView->ShowDatumPointer(true);
    Present();
}

// The datum lands on the whole millimetre under the pointer.
void TForm2D::EndDatumDrag(TPixel At)
{
    FDraggingDatum = false;
    if (Scale > 0) {
        DatumX = Round(At.X / Scale);
        DatumY = Round(AreaHeight - At.Y / Scale);
    }
    FView->ShowDatumPointer(false);
    Present();
}

void TForm2D::PointerMove(TPixel At)
{
    if (!FDraggingDatum || Scale <= 0)
        return;
    const uint8_t U = DisplayUnits();
    const double X = RoundToUnits(U, At.X / Scale + TravelXMinus);
    const double Y = RoundToUnits(U, (FView->PictureHeight() - At.Y) / Scale + TravelYMinus);
    FView->ShowDatumEdits(X, Y);
    DatumShownX = UnitsToMM(U, X);
    DatumShownY = UnitsToMM(U, Y);
}

void TForm2D::DatumEdited(double X, double Y)
{
    if (FDraggingDatum)
        return;
    FEditX = X;
    FEditY = Y;
    FDatumTimer->SetEnabled(false); // each change starts the wait again
    FDatumTimer->SetEnabled(true);
}

bool TForm2D::DatumEditPending() const
{
    return FDatumTimer->Enabled();
}

void TForm2D::ApplyDatumEdits()
{
    FDatumTimer->SetEnabled(false);
    const uint8_t U = DisplayUnits();
    DatumShownX = UnitsToMM(U, FEditX);
    DatumShownY = UnitsToMM(U, FEditY);
    DatumX = DatumShownX - TravelXMinus;
    DatumY = DatumShownY - TravelYMinus;
    Present();
}

void TForm2D::SetRunning(bool Value)
{
    Running = Value;
    if (Value && DatumEditPending())
        ApplyDatumEdits(); // the run draws on the datum the operator typed
    if (Value && FDraggingDatum) {
        FDraggingDatum = false; // the datum stays where it was
        FView->ShowDatumPointer(false);
        Present();
    }
    FView->SetDatumEditsEnabled(!Value);
}

// --- Cutter animation -------------------------------------------------------

bool TForm2D::WaitTick()
{
    const std::shared_ptr<bool> Alive = FAlive;
    if (!FTimer->Enabled()) {
        EventLoop().ProcessMessages();
        return *Alive;
    }
    // The tick, a stop and the window's close each come as a message: the
    // animation sleeps between them instead of spinning a core.
    const int Start = TickCount;
    while (*Alive && !FStopAnimation && TickCount == Start)
        EventLoop().WaitForMessages();
    return *Alive;
}

// Shows the symbol at At for two timer ticks, turning it at each tick while
// the spindle runs, and removes it again. False when the window went.
bool TForm2D::AnimateStep(TPixel At, double CutterRadius)
{
    const TColor Material = FSettings.MaterialColour;
    DrawCutterSymbol(FView->Background(), At, CutterRadius, Scale, FOrientation, Material);
    Present();
    for (int Tick = 0; Tick < 2; ++Tick) {
        if (!WaitTick())
            return false;
        DrawCutterSymbol(FView->Background(), At, CutterRadius, Scale, FOrientation, Material);
        if (SpindleTurning)
            FOrientation = 1 - FOrientation;
        DrawCutterSymbol(FView->Background(), At, CutterRadius, Scale, FOrientation, Material);
        Present();
    }
    DrawCutterSymbol(FView->Background(), At, CutterRadius, Scale, FOrientation, Material);
    return true;
}

// A plunge or retract: the cutter stays, the Z gauge follows it down or up.
bool TForm2D::AnimateVertical(const TDD_Type &Element, TPixel At, double Step)
{
    const double Direction = Element.EndZ >= Element.StartZ ? 1 : -1;
    const double Length = std::fabs(Element.EndZ - Element.StartZ);
    for (double Covered = 0; Covered < Length && !FStopAnimation; Covered += Step) {
        ShowZ(Decimals, Element.StartZ + Direction * Covered);
        if (!AnimateStep(At, Element.CutterRadius))
            return false;
    }
    ShowZ(Decimals, Element.EndZ);
    return AnimateStep(At, Element.CutterRadius);
}

bool TForm2D::AnimateAlong(const TDD_Type &Element)
{
    const bool IsArc = Element.Kind >= ekArc;
    if (IsArc && !FSettings.ShowArcs)
        return true;
    const double Step = CutterStep(FSettings.CutterSpeed);
    const TPoint2D Start = CutterStart(Element);
    PaintAll();
    FAnimating = true;
    FStopAnimation = false;
    bool Alive = true;
    const bool Vertical = !IsArc && Element.StartX == Element.EndX && Element.StartY == Element.EndY;
    if (Vertical)
        Alive = AnimateVertical(Element, ToPixel(Start.X, Start.Y, Scale), Step);
    TPixel Previous = ToPixel(Start.X, Start.Y, Scale);
    const std::vector<TPoint2D> Path = Vertical ? std::vector<TPoint2D>{} : CutterPath(Element, Step);
    for (const TPoint2D &P : Path) {
        if (!Alive || FStopAnimation)
            break;
        const TPixel At = ToPixel(P.X, P.Y, Scale);
        Alive = AnimateStep(At, Element.CutterRadius);
        if (!Alive)
            break;
        TCanvas2D &Trail = FView->Drawing();
        Trail.SetPen(FSettings.CentreColour, 1, TPenStyle::Dash, TPenMode::Copy);
        Trail.Line(Previous, At);
        Previous = At;
    }
    if (Alive)
        FAnimating = false;
    return Alive;
}

void TForm2D::AnimateCutterUntil(TPoint2D At, double CutterRadius, const std::function<bool()> &Done)
{
    PaintAll();
    FAnimating = true;
    FStopAnimation = false;
    const TPixel Pixel = ToPixel(At.X, At.Y, Scale);
    while (!FStopAnimation && !Done()) {
        if (!AnimateStep(Pixel, CutterRadius))
            return;
    }
    FAnimating = false;
}

} // namespace orv
