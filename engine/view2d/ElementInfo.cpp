#include "engine/view2d/ElementInfo.h"

#include "engine/core/Mess.h"
#include "engine/chain/Vectors.h"
#include "engine/view2d/View2dGeometry.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

#include <cmath>
#include <fstream>
#include <optional>
#include <utility>

namespace orv {

namespace {

bool IsCompiledProgram(const std::string &FileName)
{
    return UpperCase(ExtractFileExt(FileName)) == ".XNC";
}

std::string Length(double Millimetres, int Decimals)
{
    return FormatFixed(Decimals == 4 ? Millimetres / 25.4 : Millimetres, Decimals);
}

// Line Line (from 1) of the file, or nothing when the file cannot be read
// or is shorter.
std::optional<std::string> SourceLine(const std::string &FileName, int Line)
{
    std::ifstream File(FindFileNoCase(FileName), std::ios::binary);
    if (!File || Line < 1)
        return std::nullopt;
    std::string Text;
    for (int I = 0; I < Line; ++I) {
        if (!std::getline(File, Text))
            return std::nullopt;
    }
    if (!Text.empty() && Text.back() == '\r')
        Text.pop_back();
    return UpperCase(Text);
}

void SetKind(TElementInfoTexts &T, const TDD_Type &E)
{
    const TMess &M = Mess();
    switch (E.Kind) {
    case ekRapid:
        T.Caption = M.Translate("Rapid Linear");
        T.Picture = TElementPicture::Rapid;
        break;
    case ekLinear:
        T.Caption = M.Translate("Linear G01");
        T.Picture = TElementPicture::Linear;
        break;
    case ekArc:
        T.Caption = M.Translate(E.Sweep >= 0 ? "Arc G03" : "Arc G02");
        T.Picture = E.Sweep >= 0 ? TElementPicture::AnticlockwiseArc : TElementPicture::ClockwiseArc;
        T.ArcPanel = true;
        break;
    default: break;
    }
}

// Centre and radius of an XY arc from its program start and end. The
// centre lies right of the chord from the first to the second point given,
// so a clockwise arc is given start to end and an anticlockwise one the
// other way round.
void SetArc(TElementInfoTexts &T, const TDD_Type &E, double X1, double Y1, double X2, double Y2,
            int Decimals)
{
    double Xc = 0, Yc = 0, R = 0;
    if (E.Sweep >= 0)
        ArcCentreFromChord(Xc, Yc, R, X2, Y2, X1, Y1, E.Sweep);
    else
        ArcCentreFromChord(Xc, Yc, R, X1, Y1, X2, Y2, E.Sweep);
    T.XCentre = Length(Xc, Decimals);
    T.YCentre = Length(Yc, Decimals);
    T.ArcRadius = Length(R, Decimals);
    T.ArcAngle = FormatFixed(std::fabs(E.Sweep), 3) + Mess().Translate(E.Sweep >= 0 ? " ACW" : " CW");
}

} // namespace

TElementInfoTexts ElementInfoTexts(const TDD_Type &E, int Line, const std::string &FileName,
                                   int Decimals, double AreaHeight)
{
    TElementInfoTexts T;
    double X1 = E.StartX, Y1 = E.StartY, Z1 = E.StartZ;
    double X2 = E.EndX, Y2 = E.EndY, Z2 = E.EndZ;
    if (E.Kind == ekArc && E.Sweep < 0) {
        std::swap(X1, X2); // a clockwise arc is kept from its end
        std::swap(Y1, Y2);
        std::swap(Z1, Z2);
    }
    Y1 = AreaHeight - Y1;
    Y2 = AreaHeight - Y2;
    SetKind(T, E);
    T.XStart = Length(X1, Decimals);
    T.YStart = Length(Y1, Decimals);
    T.ZStart = Length(Z1, Decimals);
    T.XEnd = Length(X2, Decimals);
    T.YEnd = Length(Y2, Decimals);
    T.ZEnd = Length(Z2, Decimals);
    T.ObjectNumber = IntToStr(Line + 1);
    if (E.Kind == ekArc)
        SetArc(T, E, X1, Y1, X2, Y2, Decimals);

    const bool Compiled = IsCompiledProgram(FileName);
    const std::optional<std::string> Text =
        FileName.empty() || Compiled ? std::nullopt : SourceLine(FileName, Line);
    T.Source = Text ? *Text : Mess().Translate("Not Available from the file");
    T.LineNumber = Text ? IntToStr(Line) : "####";
    T.EditSourceEnabled = !Compiled;
    return T;
}

} // namespace orv
