#pragma once
// The block wizard's model: the 24 G operations and 16 M operations it
// writes, the scan of the program above the caret (modal position and feed,
// the neighbours' block numbers, the kind of the block being altered), the
// text of the block it writes, the header and footer lines, and the arc's
// centre and radius conversion. The wizard's dialog (shell/ui) shows and
// edits the working block; everything it writes comes from here.

#include "engine/core/data_types.h"
#include "shell/EditorCommands.h"

#include <array>
#include <optional>
#include <string>

namespace orv {

constexpr int WizardKindCount = 25;
constexpr int WizardMKind = 25;
constexpr int WizardMSubKindCount = 16;
constexpr int NoBlockNumber = 9999999;

// Caption of a kind's item ("Linear Interpolation (G01)"); kind 25 with
// its M sub-kind.
std::string WizardItemText(int Kind, int SubKind = 0);
// G code a kind writes; M code of an M sub-kind.
int WizardGCode(int Kind);
int WizardMCode(int SubKind);
// Kind (and M sub-kind) of a wizard menu tag (group * 100 + position);
// false for a tag that opens nothing.
bool WizardKindOfTag(int Tag, int &Kind, int &SubKind);
// "G76 Not Supported": letter, two digits below 10.
std::string NotSupportedCaption(char Letter, int Code);
// True when the wizard knows the code but cannot edit it.
bool IsUnsupportedG(int Code);
bool IsUnsupportedM(int Code);

enum class TWizardMode { Insert, Alter };

// Header wizard values; billet in millimetres.
struct THeaderValues {
    std::string Author = "Unknown";
    std::string Description;
    std::string Date; // as "dd mmmm yyyy"
    std::string MachineName;
    TUnits Units = Metric;
    double BilletX = 0, BilletY = 0, BilletZ = 0;
};
// The six header lines (comments, G20 or G21, "[BILLET X.. Y.. Z..").
TLines HeaderLines(const THeaderValues &Values);
// "M05", "G91 G28 X0 Y0 Z0", "M30".
TLines FooterLines();

// Radius of an arc from its centre offsets, to 3 decimals.
double RadiusFromCentre(double I, double J);
// Centre offsets of an arc of radius R from (sx, sy) to (ex, ey), each to
// 3 decimals. False, with a message quoting the values, when there is no
// such arc (a radius shorter than half the chord, or start equal to end);
// I and J are then left as they were.
bool CentreFromRadius(double Sx, double Sy, double Ex, double Ey, double R, bool Clockwise,
                      double &I, double &J, std::string &Message);

// What writing a block does to the text: the new line (inserted before
// Line, or replacing it), and a sub-program header line that replaces the
// line HeaderAt or, with HeaderAt -1, goes in as the first line.
struct TWizardEdit {
    bool Replace = false;
    int Line = 0;
    std::string Text;
    std::optional<std::string> Header;
    int HeaderAt = -1;
};

class TWizardModel {
public:
    // Opens a kind for a new block before CaretLine. Lines is the text.
    void StartInsert(const TLines &Lines, int CaretLine, int Kind, int SubKind = 0);
    // Opens the block on CaretLine. False when it holds no kind the wizard
    // edits; UnsupportedG or UnsupportedM then tell a known code it cannot.
    bool StartAlter(const TLines &Lines, int CaretLine);

    // Alter mode, the code changed in the dialog: the working block's words
    // are adapted to the new kind (values of the block being altered, 0
    // where it has none, or unset).
    void ChangeKind(int NewKind, int NewSubKind = 0);

    // The field of a word is on the page (its value set, for arcs only the
    // words of the shown page).
    bool FieldShown(int Word) const;
    // The operator typed a value into a word's field.
    void Enter(int Word, long double Value);
    // Sub-program call: P = Repeats * 10000 + Id, and the file announced.
    void SetSubProgram(int Repeats, int Id, const std::string &FileName);
    // Proposed id of a new sub-program: the highest announced + 1.
    static int ProposedSubProgramId(const TLines &Lines);

    // The block; none when no word differs from the previous move (unless
    // WriteAll). BlockNumberPlaced() is false afterwards when the numbers
    // around the insertion point leave no room.
    std::optional<TWizardEdit> Build(bool WriteAll = false);
    bool BlockNumberPlaced() const { return !FNoNumberPlace; }

    std::string Padding = " ";
    bool CentrePage = true;   // arcs: I and J shown, else R
    bool ReturnToRPoint = false; // G99 instead of G98

    int Kind = 0;
    int SubKind = 0;
    TWizardMode Mode = TWizardMode::Insert;
    TCNC_Groups Block;                // working block
    std::array<bool, WordCount> Entered{};
    TCNC_Groups Previous;             // modal values before the block
    TCNC_Groups Old;                  // values of the block being altered
    std::string OldLine;
    int PrevNumber = NoBlockNumber;
    int NextNumber = NoBlockNumber;
    int UnsupportedG = 0;
    int UnsupportedM = 0;
    double Feed = 0;
    std::string SubProgramFile;
    int SubProgramHeaderLine = -1;

private:
    void Scan(const TLines &Lines, int StartLine);
    void SetInsertDefaults();
    void CompleteAlter();
    std::string NumberText();
    bool WordWritten(int Word, bool WriteAll) const;
    std::optional<TWizardEdit> BuildMBlock();
    void DropTrailingPadding(std::string &Text) const;
    int FCaretLine = 0;
    bool FNoNumberPlace = false;
    TLines FLines;
};

} // namespace orv
