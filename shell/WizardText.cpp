#include "shell/WizardText.h"

#include "engine/core/CNCLineParser.h"
#include "engine/core/DUtils.h"
#include "platform/NumberText.h"

#include <cmath>
#include <cstdio>

namespace orv {

namespace {

struct TKindEntry {
    const char *Text;
    int Code;
};

const TKindEntry GKinds[WizardKindCount - 1] = {
    {"Rapid Traverse (G00)", 0},
    {"Return to Reference (G28)", 28},
    {"Linear Interpolation (G01)", 1},
    {"Clockwise Arc Interpolation (G02)", 2},
    {"Counter Clockwise Arc Interpolation (G03)", 3},
    {"High Speed Peck Drilling (G73)", 73},
    {"Spot Boring - Drilling (G81)", 81},
    {"Counter Boring - Drilling (G82)", 82},
    {"Deep Hole Peck Drilling (G83)", 83},
    {"Boring - No Spindle Stop (G85)", 85},
    {"Boring - Spindle Stop (G86)", 86},
    {"Boring - With Dwell (G89)", 89},
    {"Counter Tapping - Left Hand (G74)", 74},
    {"Tapping - Right Hand (G84)", 84},
    {"Cancel Canned Cycle (G80)", 80},
    {"Cutter Compensation Cancel (G40)", 40},
    {"Cutter Compensation Left (G41)", 41},
    {"Cutter Compensation Right (G42)", 42},
    {"Feed Per Minute (G94)", 94},
    {"Feed Per Revolution (G95)", 95},
    {"Scaling On (G51)", 51},
    {"Scaling Off (G50)", 50},
    {"Rotation On (G68)", 68},
    {"Rotation Off (G69)", 69},
};

const TKindEntry MKinds[WizardMSubKindCount] = {
    {"Mirror in X On (M70)", 70},
    {"Mirror in X Off (M80)", 80},
    {"Mirror in Y On (M71)", 71},
    {"Mirror in Y Off (M81)", 81},
    {"Spindle Forward (M03)", 3},
    {"Spindle Reverse (M04)", 4},
    {"Spindle Stop (M05)", 5},
    {"Spindle Forward Coolant On (M13)", 13},
    {"Spindle Reverse Coolant On (M14)", 14},
    {"Program Stop (M00)", 0},
    {"Optional Stop (M01)", 1},
    {"End of Program (M02)", 2},
    {"Program Stop and Reset (M30)", 30},
    {"Sub Program Call (M98)", 98},
    {"Sub Program End and Return (M99)", 99},
    {"Automatic Tool Change (M06)", 6},
};

const int UnsupportedGCodes[] = {20, 21, 76, 87, 170, 171, 172, 173};
const int UnsupportedMCodes[] = {8,  9,  10, 11, 19, 20, 21, 22, 23, 24, 25, 27,
                                 32, 33, 38, 39, 62, 63, 64, 65, 66, 67, 76, 77};

// Menu tags g * 100 + position and the kind each opens (sub-kind for 25).
struct TTagEntry {
    int Tag, Kind, SubKind;
};
const TTagEntry Tags[] = {
    {101, 1, 0},   {102, 2, 0},   {201, 3, 0},    {202, 4, 0},    {203, 5, 0},
    {204, 19, 0},  {301, 6, 0},   {302, 7, 0},    {303, 8, 0},    {304, 9, 0},
    {401, 10, 0},  {402, 11, 0},  {403, 12, 0},   {501, 13, 0},   {502, 14, 0},
    {601, 15, 0},  {701, 16, 0},  {801, 21, 0},   {901, 23, 0},   {1001, 25, 1},
    {1002, 25, 3}, {1101, 25, 5}, {1201, 25, 10}, {1301, 25, 14}, {1401, 25, 16},
};

std::string TwoDigitCode(const char *Letter, int Code)
{
    return std::string(Letter) + (Code <= 9 ? "0" : "") + IntToStr(Code);
}

bool IsSet(const TCNC_Groups &Groups, int Word) { return Groups.Words[Word] != NoValue; }

bool IsCannedKind(int Kind) { return Kind >= 6 && Kind <= 14; }
bool IsArcKind(int Kind) { return Kind == 4 || Kind == 5; }

// Parses a line into a fresh record; false for a keyword line or one the
// parser refuses.
bool ParseFresh(const std::string &Line, TCNC_Groups &Groups)
{
    Groups.Clear(NoValue);
    if (Line.find('[') != std::string::npos)
        return false;
    CNCLineParser parser;
    return parser.ParseLine(Line, Groups);
}

// The G code that names a line's operation: cutter compensation first,
// then a canned cycle (also behind G98 or G99), motion, the other groups.
int LineGCode(const TCNC_Groups &Groups)
{
    const int groups[] = {gCutterComp, gCannedCycle, gMotion, gNonModal,
                          gFeedMode,   gScaling,     gRotation};
    for (int g : groups)
        if (Groups.GroupSet[g])
            return Groups.Groups[g];
    return Round(Groups.Words[wG], -1);
}

std::string RealText(long double Value) { return FloatToStr(Value); }

} // namespace

std::string WizardItemText(int Kind, int SubKind)
{
    if (Kind >= 1 && Kind < WizardMKind)
        return GKinds[Kind - 1].Text;
    if (Kind == WizardMKind && SubKind >= 1 && SubKind <= WizardMSubKindCount)
        return MKinds[SubKind - 1].Text;
    return "";
}

int WizardGCode(int Kind) { return Kind >= 1 && Kind < WizardMKind ? GKinds[Kind - 1].Code : -1; }

int WizardMCode(int SubKind)
{
    return SubKind >= 1 && SubKind <= WizardMSubKindCount ? MKinds[SubKind - 1].Code : -1;
}

bool WizardKindOfTag(int Tag, int &Kind, int &SubKind)
{
    for (const TTagEntry &entry : Tags)
        if (entry.Tag == Tag) {
            Kind = entry.Kind;
            SubKind = entry.SubKind;
            return true;
        }
    return false;
}

std::string NotSupportedCaption(char Letter, int Code)
{
    const char letter[2] = {Letter, 0};
    return TwoDigitCode(letter, Code) + " Not Supported";
}

bool IsUnsupportedG(int Code)
{
    for (int c : UnsupportedGCodes)
        if (c == Code)
            return true;
    return false;
}

bool IsUnsupportedM(int Code)
{
    for (int c : UnsupportedMCodes)
        if (c == Code)
            return true;
    return false;
}

TLines HeaderLines(const THeaderValues &Values)
{
    const bool inch = Values.Units == Inch;
    auto billet = [inch](double Mm) { return CleanNumberText(FloatToUnitsText(inch, Mm)); };
    return {"(Author - " + Values.Author,
            "(Date - " + Values.Date,
            "(Machine - " + Values.MachineName,
            "(Description - " + Values.Description,
            inch ? "G20" : "G21",
            "[BILLET X" + billet(Values.BilletX) + " Y" + billet(Values.BilletY) + " Z" +
                billet(Values.BilletZ)};
}

TLines FooterLines() { return {"M05", "G91 G28 X0 Y0 Z0", "M30"}; }

double RadiusFromCentre(double I, double J)
{
    return Round64(std::sqrt(I * I + J * J) * 1000) / 1000.0;
}

bool CentreFromRadius(double Sx, double Sy, double Ex, double Ey, double R, bool Clockwise,
                      double &I, double &J, std::string &Message)
{
    const double dx = Ex - Sx, dy = Ey - Sy;
    const double h = std::sqrt(dx * dx + dy * dy);
    const double rest = R * R - (h / 2) * (h / 2);
    if (h == 0 || rest < 0) {
        char text[200];
        std::snprintf(text, sizeof text,
                      "No arc of radius %g from X%g Y%g to X%g Y%g: the radius must be at least "
                      "half the distance (%g) and the end must differ from the start.",
                      R, Sx, Sy, Ex, Ey, h / 2);
        Message = text;
        return false;
    }
    const double m = std::sqrt(rest);
    const double sign = Clockwise ? 1 : -1;
    I = Round64((dx / 2 - sign * m * dy / h) * 1000) / 1000.0;
    J = Round64((dy / 2 + sign * m * dx / h) * 1000) / 1000.0;
    return true;
}

// --- The model ---

void TWizardModel::Scan(const TLines &Lines, int StartLine)
{
    FLines = Lines;
    Previous.Clear(NoValue);
    Old.Clear(NoValue);
    OldLine.clear();
    PrevNumber = NextNumber = NoBlockNumber;
    UnsupportedG = UnsupportedM = 0;
    Feed = 0;
    bool feedFound = false;
    TCNC_Groups line;
    if (StartLine + 1 < (int)Lines.size() && ParseFresh(Lines[StartLine + 1], line) &&
        IsSet(line, wN))
        NextNumber = Round(line.Words[wN], NoBlockNumber);
    const bool alter = Mode == TWizardMode::Alter;
    for (int i = StartLine; i >= 0; --i) {
        if (i >= (int)Lines.size() || !ParseFresh(Lines[i], line))
            continue;
        if (i == StartLine) {
            OldLine = Lines[i];
            if (IsSet(line, wN))
                PrevNumber = Round(line.Words[wN], NoBlockNumber);
        }
        if (alter && Kind == 0) {
            const int g = line.WordSet[wG] ? LineGCode(line) : -1;
            for (int k = 1; k < WizardMKind && g >= 0; ++k)
                if (WizardGCode(k) == g) {
                    Kind = k;
                    break;
                }
            if (line.GroupSet[gReturnLevel])
                ReturnToRPoint = line.Groups[gReturnLevel] == 99;
            if (Kind == 0 && g >= 0 && IsUnsupportedG(g)) {
                UnsupportedG = g;
                return;
            }
            if (Kind == 0 && i == StartLine && line.WordSet[wM]) {
                const int m = Round(line.Words[wM], -1);
                for (int s = 1; s <= WizardMSubKindCount; ++s)
                    if (WizardMCode(s) == m) {
                        Kind = WizardMKind;
                        SubKind = s;
                    }
                if (Kind == 0 && IsUnsupportedM(m)) {
                    UnsupportedM = m;
                    return;
                }
            }
        }
        // The block being altered is not its own previous move.
        const bool intoPrevious = !alter || i < StartLine;
        for (int w = 1; w < WordCount; ++w) {
            if (!line.WordSet[w])
                continue;
            if (alter && !IsSet(Old, w))
                Old.Words[w] = line.Words[w];
            if (intoPrevious && !IsSet(Previous, w))
                Previous.Words[w] = line.Words[w];
        }
        if (line.WordSet[wF] && !feedFound) {
            Feed = (double)line.Words[wF];
            feedFound = true;
        }
        const bool needsNoPosition = Kind == 15 || Kind == 19 || Kind == 20 || Kind == WizardMKind;
        const bool positionKnown = (IsSet(alter ? Old : Previous, wX) &&
                                    IsSet(alter ? Old : Previous, wY) &&
                                    IsSet(alter ? Old : Previous, wZ));
        if (Kind != 0 && (needsNoPosition || positionKnown) && feedFound && i < StartLine)
            break;
    }
}

void TWizardModel::StartInsert(const TLines &Lines, int CaretLine, int NewKind, int NewSubKind)
{
    Mode = TWizardMode::Insert;
    Kind = NewKind;
    SubKind = NewSubKind;
    FCaretLine = CaretLine;
    ReturnToRPoint = false;
    SubProgramFile.clear();
    SubProgramHeaderLine = -1;
    Scan(Lines, CaretLine - 1);
    Block.Clear(NoValue);
    Block.GeneratedText = "INSERT";
    Entered.fill(false);
    SetInsertDefaults();
}

void TWizardModel::SetInsertDefaults()
{
    auto set = [this](std::initializer_list<int> Words, long double Value) {
        for (int w : Words)
            Block.Words[w] = Value;
    };
    const bool positioned = (Kind >= 1 && Kind <= 14) || (Kind >= 16 && Kind <= 18) ||
                            (Kind >= 21 && Kind <= 24);
    if (positioned)
        set({wX, wY, wZ}, 0);
    if ((Kind >= 1 && Kind <= 15) || Kind == 19 || Kind == 20)
        Block.Words[wF] = Feed;
    if (Kind >= 6 && Kind <= 15) {
        Block.Words[wR] = 0;
        Block.Words[wK] = 1;
    }
    if (IsArcKind(Kind))
        set({wI, wJ}, 0);
    if (Kind == 6 || Kind == 9)
        Block.Words[wQ] = 0;
    if (Kind == 8 || (Kind >= 12 && Kind <= 14))
        Block.Words[wP] = 0;
    if (Kind == 15)
        for (int w = 1; w < WordCount; ++w)
            if (w != wG)
                Block.Words[w] = NoValue;
    if (Kind == 21 || Kind == 22)
        set({wI, wJ, wK}, 0);
    if (Kind == 23 || Kind == 24)
        Block.Words[wR] = 0;
    if (Kind == WizardMKind && SubKind == 16)
        Block.Words[wT] = 1;
}

bool TWizardModel::StartAlter(const TLines &Lines, int CaretLine)
{
    Mode = TWizardMode::Alter;
    Kind = SubKind = 0;
    FCaretLine = CaretLine;
    ReturnToRPoint = false;
    SubProgramFile.clear();
    SubProgramHeaderLine = -1;
    Scan(Lines, CaretLine);
    if (Kind == 0)
        return false;
    Block = Old;
    Block.GeneratedText = "ALTER";
    Entered.fill(false);
    CompleteAlter();
    return true;
}

void TWizardModel::CompleteAlter()
{
    auto unsetTo = [this](int Word, long double Value) {
        if (!IsSet(Block, Word))
            Block.Words[Word] = Value;
    };
    if (Kind >= 6 && Kind <= 15) {
        unsetTo(wK, 1);
        unsetTo(wR, 0);
        if (Kind == 6 || Kind == 9)
            unsetTo(wQ, 0);
        if (Kind == 8 || (Kind >= 12 && Kind <= 14))
            unsetTo(wP, 0);
        if (Kind == 15)
            for (int w = 1; w < WordCount; ++w)
                if (w != wG)
                    Block.Words[w] = NoValue;
    }
    if (Kind >= 21 && Kind <= 24) {
        unsetTo(wX, 0);
        unsetTo(wY, 0);
        unsetTo(wZ, 0);
        Block.Words[wF] = NoValue;
        if (Kind <= 22) {
            unsetTo(wI, 0);
            unsetTo(wJ, 0);
            unsetTo(wK, 0);
        } else {
            unsetTo(wR, 0);
        }
    }
    if (IsArcKind(Kind))
        CentrePage = IsSet(Block, wI) || IsSet(Block, wJ) || !IsSet(Block, wR);
}

void TWizardModel::ChangeKind(int NewKind, int NewSubKind)
{
    const bool wasArc = IsArcKind(Kind);
    auto taken = [this](int Word) {
        Block.Words[Word] = IsSet(Old, Word) ? Old.Words[Word] : 0;
    };
    auto unset = [this](std::initializer_list<int> Words) {
        for (int w : Words)
            Block.Words[w] = NoValue;
    };
    auto position = [&taken] {
        taken(wX);
        taken(wY);
        taken(wZ);
    };
    auto retract = [&] {
        if (wasArc)
            Block.Words[wR] = 0;
        else
            unset({wR});
    };
    const int k = NewKind;
    if (k == 1 || k == 2 || k == 3) {
        taken(wF);
        unset({wQ, wR, wI, wJ, wK});
    } else if (IsArcKind(k)) {
        taken(wF);
        unset({wQ, wR, wK});
        if (!wasArc) {
            taken(wI);
            taken(wJ);
        }
    } else if (IsCannedKind(k)) {
        position();
        taken(wF);
        taken(wK);
        unset({wI, wJ});
        retract();
        // A canned cycle always has its retract point.
        if (!IsSet(Block, wR))
            taken(wR);
        if (k == 6 || k == 9) {
            taken(wQ);
            unset({wP});
        } else if (k == 8 || k >= 12) {
            taken(wP);
            unset({wQ});
        } else {
            unset({wP, wQ});
        }
    } else if (k == 15 || k == WizardMKind) {
        taken(wF);
        retract();
        unset({wI, wJ, wK});
    } else if (k >= 16 && k <= 18) {
        position();
        unset({wF, wP, wQ, wI, wJ, wK});
        retract();
    } else if (k == 19 || k == 20) {
        unset({wX, wY, wZ, wI, wJ, wK});
        taken(wF);
        retract();
    } else if (k == 21 || k == 22) {
        position();
        unset({wF, wP, wQ});
        retract();
        taken(wI);
        taken(wJ);
        taken(wK);
    } else if (k == 23 || k == 24) {
        position();
        unset({wF, wP, wQ, wI, wJ, wK});
        taken(wR);
    }
    Kind = NewKind;
    SubKind = NewSubKind;
    if (IsArcKind(Kind))
        CentrePage = IsSet(Block, wI) || IsSet(Block, wJ) || !IsSet(Block, wR);
}

bool TWizardModel::FieldShown(int Word) const
{
    if (Word < wX || Word > wS || !IsSet(Block, Word))
        return false;
    switch (Word) {
    case wX: case wY: case wZ: case wP: case wQ: case wK: case wF: case wS:
        return true;
    case wI: case wJ:
        return IsArcKind(Kind) ? CentrePage : true;
    case wR:
        return IsArcKind(Kind) ? !CentrePage : true;
    default:
        return false;
    }
}

void TWizardModel::Enter(int Word, long double Value)
{
    Block.Words[Word] = Value;
    Entered[Word] = true;
}

void TWizardModel::SetSubProgram(int Repeats, int Id, const std::string &FileName)
{
    Block.Words[wP] = (long double)Repeats * 10000 + Id;
    SubProgramFile = FileName;
    SubProgramHeaderLine = -1;
    for (int i = 0; i < (int)FLines.size(); ++i) {
        if (FLines[i].find("SUBPROGRAM") == std::string::npos)
            continue;
        int number = 0;
        std::string name;
        ParseSubprogramHeader(number, name, FLines[i].substr(FLines[i].find("SUBPROGRAM")));
        if (number == Id)
            SubProgramHeaderLine = i;
    }
}

int TWizardModel::ProposedSubProgramId(const TLines &Lines)
{
    int highest = 0;
    for (const std::string &line : Lines) {
        const size_t at = line.find("SUBPROGRAM");
        if (at == std::string::npos)
            continue;
        int number = 0;
        std::string name;
        ParseSubprogramHeader(number, name, line.substr(at));
        highest = std::max(highest, number);
    }
    return highest + 1;
}

void TWizardModel::DropTrailingPadding(std::string &Text) const
{
    if (!Padding.empty() && Text.size() >= Padding.size() &&
        Text.compare(Text.size() - Padding.size(), Padding.size(), Padding) == 0)
        Text.erase(Text.size() - Padding.size());
}

std::string TWizardModel::NumberText()
{
    FNoNumberPlace = false;
    if (Mode == TWizardMode::Alter) {
        TCNC_Groups old;
        if (ParseFresh(OldLine, old) && old.WordSet[wN])
            return "N" + IntToStr(Round(old.Words[wN])) + Padding;
        return "";
    }
    if (PrevNumber == NoBlockNumber || NextNumber == NoBlockNumber)
        return "";
    if (PrevNumber + 1 < NextNumber)
        return "N" + IntToStr((PrevNumber + NextNumber) / 2) + Padding;
    FNoNumberPlace = true;
    return "";
}

bool TWizardModel::WordWritten(int Word, bool WriteAll) const
{
    if (!FieldShown(Word))
        return false;
    if (WriteAll)
        return true;
    const long double value = Block.Words[Word];
    bool sameAsPrevious = IsSet(Previous, Word) && Previous.Words[Word] == value;
    if (IsCannedKind(Kind) && ((Word == wR && value == 0) || (Word == wK && value == 1)))
        sameAsPrevious = true;
    if (sameAsPrevious)
        return false;
    if (Mode == TWizardMode::Insert)
        return Entered[Word];
    TCNC_Groups old;
    const bool inOldLine = ParseFresh(OldLine, old) && old.WordSet[Word];
    return inOldLine || Old.Words[Word] != value;
}

std::optional<TWizardEdit> TWizardModel::Build(bool WriteAll)
{
    if (Kind == WizardMKind)
        return BuildMBlock();
    std::string text = NumberText();
    if (IsCannedKind(Kind))
        text += (ReturnToRPoint ? "G99" : "G98") + Padding;
    if (Kind == 2)
        text += "G91" + Padding;
    const int g = WizardGCode(Kind);
    TCNC_Groups old;
    const bool oldHasG = ParseFresh(OldLine, old) && old.WordSet[wG];
    if (Mode == TWizardMode::Insert || oldHasG || LineGCode(old) != g)
        text += TwoDigitCode("G", g) + Padding;
    if (Kind >= 16 && Kind <= 18)
        text += "G01" + Padding;
    if (IsSet(Block, wM))
        text += TwoDigitCode("M", Round(Block.Words[wM])) + Padding;
    // Cancelling and switching off write no words.
    const bool noWords = Kind == 15 || Kind == 22 || Kind == 24;
    bool done = noWords;
    for (int w = wX; w <= wS && !noWords; ++w)
        if (WordWritten(w, WriteAll)) {
            text += CNCLetters[w] + RealText(Block.Words[w]) + Padding;
            done = true;
        }
    if (!done)
        return std::nullopt;
    DropTrailingPadding(text);
    return TWizardEdit{Mode == TWizardMode::Alter, FCaretLine, text, std::nullopt, -1};
}

std::optional<TWizardEdit> TWizardModel::BuildMBlock()
{
    std::string text = NumberText();
    text += TwoDigitCode("M", WizardMCode(SubKind)) + Padding;
    if (SubKind == 16)
        text += TwoDigitCode("T", Round(Block.Words[wT], 1)) + Padding;
    const bool spindleOn = SubKind == 5 || SubKind == 6 || SubKind == 8 || SubKind == 9;
    if (spindleOn && IsSet(Block, wS) && Block.Words[wS] != 0)
        text += "S" + RealText(Block.Words[wS]) + Padding;
    TWizardEdit edit{Mode == TWizardMode::Alter, FCaretLine, "", std::nullopt, -1};
    if (SubKind == 14 && IsSet(Block, wP)) {
        const int64_t p = Round64(Block.Words[wP]);
        text += "P" + IntToStr(p) + Padding;
        if (!SubProgramFile.empty()) {
            edit.Header = "[SUBPROGRAM " + IntToStr(p % 10000) + " " + SubProgramFile;
            edit.HeaderAt = SubProgramHeaderLine;
        }
    }
    DropTrailingPadding(text);
    edit.Text = text;
    return edit;
}

} // namespace orv
