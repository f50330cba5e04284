#include "simcontrol/SimScene.h"

#include "simcontrol/render/ObliqueRender.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

constexpr int SurfaceEntry = EntrySurface;
constexpr int ProgressThreshold = 26;

bool Finite(std::initializer_list<double> Values)
{
    for (double v : Values)
        if (!std::isfinite(v))
            return false;
    return true;
}

} // namespace

CSimScene::CSimScene(CSceneWindows *Windows)
    : FWindows(Windows), FAlive(std::make_shared<bool>(true))
{
    FModel.SetLight(FLight[0], FLight[1], FLight[2]);
}

CSimScene::~CSimScene()
{
    *FAlive = false;
    FAbortReplay = true;
    FMoves.Clear();
}

void CSimScene::SetClientSize(int Width, int Height)
{
    FClientW = std::max(Width, 0);
    FClientH = std::max(Height, 0);
}

// --- Repaint ------------------------------------------------------------------

void CSimScene::DrawScene(int Width, int Height)
{
    SetClientSize(Width, Height);
    if (FFirstDraw) {
        FImage.Create(Width, Height);
        FImageW = Width;
        FImageH = Height;
        if (FWindows)
            FWindows->CreateViewer();
        if (!FBilletSet)
            SetBilletBounds(0, 0, -20, 100, 100, 0);
        SetView(0.5, 0.5);
        FFirstDraw = false;
        FFitStale = true;
    }
    if (FImageW != Width || FImageH != Height) {
        FImage.Create(Width, Height);
        FImageW = Width;
        FImageH = Height;
        FFitStale = true;
    }
    if (QuickDraw && !(DrawFlags & dfQuick) && FFitStale && FClientW > 0 && FClientH > 0) {
        FitView(FClientW, FClientH);
        RebuildModel();
        FFitStale = false;
    }
    const int flags = DrawFlags;
    if (flags & dfClear)
        FImage.Clear(ImageBackground);
    if (flags & dfSetBillet)
        SetBilletBounds(FLowX, FLowY, FLowZ, FHighX, FHighY, FHighZ);
    if (flags & dfReplay) {
        const std::shared_ptr<bool> alive = FAlive;
        ReplayMoves();
        if (!*alive)
            return;
    }
    if (flags & dfRender)
        Render(FModel, FImage);
    if (flags & dfSmallMarker)
        DrawToolMarker(FModel, FImage, 1);
    if (flags & dfLargeMarker)
        DrawToolMarker(FModel, FImage, 25);
    if (flags & dfQuick)
        RenderQuick(FModel, FImage);
}

// --- Billet and view ------------------------------------------------------------

void CSimScene::SetBillet(double LowX, double LowY, double LowZ, double HighX, double HighY,
                          double HighZ)
{
    if (FReplaying)
        FAbortReplay = true;
    FBilletSet = true;
    SetBilletBounds(LowX, LowY, LowZ, HighX, HighY, HighZ);
    FMoves.Clear();
}

void CSimScene::SetBilletBounds(double LowX, double LowY, double LowZ, double HighX, double HighY,
                                double HighZ)
{
    FLowX = LowX;
    FLowY = LowY;
    FLowZ = LowZ;
    FHighX = HighX;
    FHighY = HighY;
    FHighZ = HighZ;
    SetLight(FViewer.Light[0], FViewer.Light[1], FViewer.Light[2]);
    SetView(FViewer.Tilt, FViewer.Rotation);
    if (FClientW > 0 && FClientH > 0) {
        FitView(FClientW, FClientH);
        RebuildModel();
    }
    FFitStale = true;
}

void CSimScene::SetLight(double X, double Y, double Z)
{
    if (!Finite({X, Y, Z}))
        return;
    if (X == FLight[0] && Y == FLight[1] && Z == FLight[2])
        return;
    FViewer.Light[0] = FLight[0] = X;
    FViewer.Light[1] = FLight[1] = Y;
    FViewer.Light[2] = FLight[2] = Z;
    FModel.SetLight(X, Y, Z);
    if (FWindows)
        FWindows->ViewerChanged();
    RebuildModel();
}

void CSimScene::SetView(double Tilt, double Rotation)
{
    if (std::isfinite(Tilt)) {
        Tilt = std::clamp(Tilt, 0.0, 1.0);
        if (Tilt != FTilt) {
            FViewer.Tilt = FTilt = Tilt;
            FModel.SetTilt(Tilt);
        }
    }
    if (std::isfinite(Rotation) && Rotation != FRotation) {
        FViewer.Rotation = FRotation = Rotation;
        FModel.SetRotation(Rotation);
        RebuildModel();
        FFitStale = true;
    }
    if (FWindows)
        FWindows->ViewerChanged();
}

// Pixels per host unit so that the rotated billet, with its height seen
// at the steepest tilt, fits in at most 884 x 752 pixels of the client.
void CSimScene::FitView(int Width, int Height)
{
    if (Width <= 0 || Height <= 0)
        return;
    const double xe = FHighX - FLowX, ye = FHighY - FLowY, ze = FHighZ - FLowZ;
    if (!Finite({xe, ye, ze}) || xe <= 0 || ye <= 0 || ze <= 0)
        return;
    const double c = std::cos(FModel.Rotation()), s = std::sin(FModel.Rotation());
    const double px[4] = {0, xe, xe, 0}, py[4] = {0, 0, ye, ye};
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    for (int k = 0; k < 4; ++k) {
        const double x = px[k] * c - py[k] * s, y = px[k] * s + py[k] * c;
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    const double wr = maxX - minX, dr = maxY - minY;
    const double usableW = std::min(Width, 900) - 16;
    const double usableH = std::min(Height, 768) - 16;
    if (usableW <= 0 || usableH <= 0)
        return;
    const double sx = usableW / wr;
    const double sy = usableH / std::sqrt(ze * ze + dr * dr);
    double scale = std::min(sx, sy);
    const double cells = scale * scale * xe * ye;
    if (cells > 249900)
        scale = scale * 249900 / cells;
    FModel.SetScale(scale);
}

void CSimScene::RebuildModel()
{
    FModel.BuildBillet(FLowX, FLowY, FHighX, FHighY, FHighZ - FLowZ, SurfaceEntry);
}

// --- Moves ------------------------------------------------------------------------

void CSimScene::AppendTool(const ToolMoveRecord &Record) { FMoves.Append(Record); }
void CSimScene::AppendLine(const LineMoveRecord &Record) { FMoves.Append(Record); }
void CSimScene::AppendArc(const ArcMoveRecord &Record) { FMoves.Append(Record); }

void CSimScene::ApplyLastMove()
{
    if (!FMoves.Empty())
        ApplyMove(FMoves.Last());
}

void CSimScene::ApplyMove(const MoveRecord &Record)
{
    if (const auto *tool = std::get_if<ToolMoveRecord>(&Record)) {
        FModel.SetToolSize(tool->Radius);
        FModel.SetBallNosed(tool->Flat);
        SetPaletteEntry(CPaletteTable::ToolEntry(tool->Number), tool->Colour);
        FModel.ToolNumber = std::clamp<int>(tool->Number, 0, 15);
        return;
    }
    if (const auto *line = std::get_if<LineMoveRecord>(&Record)) {
        FModel.Rapid = line->Rapid;
        FModel.CutPoint(line->X1, line->Y1, line->Z1);
        FModel.CutLine(line->X1, line->Y1, line->Z1, line->X2, line->Y2, line->Z2);
        FModel.CutPoint(line->X2, line->Y2, line->Z2);
        return;
    }
    const auto &arc = std::get<ArcMoveRecord>(Record);
    FModel.Rapid = arc.Rapid;
    if (std::hypot(arc.EX - arc.SX, arc.EY - arc.SY) < 0.00001) {
        FModel.CutFullCircle(arc.CX, arc.CY, arc.CZ, arc.Radius);
        return;
    }
    FModel.CutPoint(arc.CX + arc.Radius * arc.SX, arc.CY + arc.Radius * arc.SY, arc.CZ);
    FModel.CutArc(arc.CX, arc.CY, arc.CZ, arc.Radius, arc.SX, arc.SY, arc.EX, arc.EY,
                  arc.Clockwise);
    FModel.CutPoint(arc.CX + arc.Radius * arc.EX, arc.CY + arc.Radius * arc.EY, arc.CZ);
}

// Never re-entered: a repaint served while the progress window pumps
// finds the replay running and leaves it alone; a new billet or the
// control's release ends it after the record in hand.
void CSimScene::ReplayMoves()
{
    if (FReplaying)
        return;
    const long long counted = FMoves.LineCount() + FMoves.ArcCount();
    if (counted == 0)
        return;
    const std::shared_ptr<bool> alive = FAlive;
    FReplaying = true;
    FAbortReplay = false;
    std::unique_ptr<CReplayProgress> progress;
    if (counted >= ProgressThreshold && FWindows)
        progress = FWindows->CreateProgress(counted);
    for (size_t i = 0; i < FMoves.Size(); ++i) {
        if (progress) {
            if (progress->Cancelled())
                break;
            FWindows->ServeProgressMessage();
            if (!*alive)
                return;
            if (FAbortReplay || progress->Cancelled())
                break;
            progress->Step();
        }
        ApplyMove(FMoves[i]);
    }
    progress.reset();
    FReplaying = false;
    FAbortReplay = false;
}

// --- Colours ---------------------------------------------------------------------

void CSimScene::BuildShadeRamp(int R, int G, int B)
{
    FPalette.BuildShadeRamp(R, G, B);
}

void CSimScene::SetPaletteEntry(int Entry, uint32_t Colour)
{
    FPalette.Set(Entry, Colour);
    if (FWindows)
        FWindows->PaletteChanged();
}

} // namespace orv
