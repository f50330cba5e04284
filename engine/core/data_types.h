#pragma once
// Shared vocabulary of the NC engine: the parsed block record TCNC_Groups that
// travels down the processing chain, the move record TCNC_data that sinks and
// the machine consume, the 2D drawing element, sub-program and DDE records,
// the "not set" markers and the word tables of the NC dialect.

#include "platform/Classes.h"
#include "platform/NumberText.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

namespace orv {

// Markers for a missing value, tested by exact equality everywhere.
constexpr double NoValue = 9e9;           // real word or coordinate not programmed
constexpr int32_t NoGCode = 9999999;      // integer group value or position not set
constexpr int32_t NoMoveCode = -1000;     // integer field of a TCNC_data not set
constexpr int32_t EndOfProgramCode = -101; // motion code of the end record

enum TUnits : uint8_t { Metric, Inch };
// Lengths are millimetres inside the program; an inch is this many.
constexpr double MmPerInch = 25.4;
enum TCycleState : uint8_t { csStopped, csPaused, csRunning, csRewind };
enum TMachineMode : uint8_t {
    modeHome,
    modeJog,
    modeAuto,
    modeMDI,
    modeEdit,
    modeCanJog,
    modeCannotJog,
    modeIncJog
};
// The two modes in which the axes may be jogged.
constexpr bool IsJogMode(TMachineMode Mode) { return Mode == modeJog || Mode == modeIncJog; }
enum TCircularDirection : uint8_t { ClockWise, AntiClockWise };
enum TCutter_types : uint8_t {
    SlotMill,
    EndMill,
    BallNose,
    SlabMill,
    Drill,
    centreDrill,
    Tapered,
    Dove,
    Tee,
    Engrave,
    Unknown
};

// Event shapes shared by the engine, the machine model and the editor.
using EToolDataChanged = std::function<void(TObject *Sender, const std::string &OldToolName,
                                            const std::string &NewToolName)>;
using EStringNotify = std::function<void(TObject *Sender, const std::string &AString)>;
using NotifyErrorMsg = std::function<void(TObject *Sender, const std::string &ErrorMsg)>;

// Address letters of a block; a word's index is its position in this text.
constexpr const char *CNCLetters = "~XYZUVWPQRIJKFDLABCGM[HSTNO%(/!?]~~~~~";
constexpr int WordCount = 39;
constexpr int GroupCount = 28;

// Word indexes (positions in CNCLetters).
enum TWordIndex : int {
    wX = 1, wY, wZ, wU, wV, wW, wP, wQ, wR, wI, wJ, wK, wF, wD, wL, wA, wB, wC, wG, wM,
    wBracket, wH, wS, wT, wN, wO, wPercent, wComment, wSlash, wMessage, wQuestion, wCloseBracket,
    wIncX = 33,   // incremental X as programmed (G91 blocks), written by the absolute stage
    wIncY = 34,   // incremental Y as programmed
    wSweep = 36,  // arc sweep in degrees, positive clockwise (G02)
    wRadius = 37, // arc radius
};

// Group indexes besides the modal G groups 0 to 22.
enum TGroupIndex : int {
    gNonModal = 0, gMotion = 1, gPlane = 2, gAbsInc = 3, gFeedMode = 5, gUnits = 6,
    gCutterComp = 7, gLengthComp = 8, gCannedCycle = 9, gReturnLevel = 10, gScaling = 11,
    gWorkOffset = 14, gRotation = 16, gPolar = 17, gMirror = 22,
    gMCode = 23, gSpindle = 24, gTool = 25, gBlockDelete = 26, gKeyword = 27,
};

// memcpy and memset of a record's value arrays, out of line: the C
// library's vector routines, not the string instructions the compiler puts
// inline for a block of known size.
void CopyRecordBytes(void *To, const void *From, size_t Size);
void ZeroRecordBytes(void *To, size_t Size);

// One parsed NC block. Values carry modal state from block to block; the set
// flags say what this block programmed. Copied by assignment or Assign.
class TCNC_Groups : public TPersistent {
public:
    // Every field zero or empty.
    TCNC_Groups() { Reset(); } // all bits zero is 0.0 for the words
    // Records travel from stage to stage by copy: the value arrays go as
    // blocks of memory, not element by element.
    TCNC_Groups(const TCNC_Groups &Other)
        : TPersistent(Other), GeneratedText(Other.GeneratedText), RestOfLine(Other.RestOfLine)
    {
        CopyValues(Other);
    }
    TCNC_Groups(TCNC_Groups &&Other) noexcept
        : TPersistent(Other), GeneratedText(std::move(Other.GeneratedText)),
          RestOfLine(std::move(Other.RestOfLine))
    {
        CopyValues(Other);
    }
    TCNC_Groups &operator=(const TCNC_Groups &Other)
    {
        if (this != &Other) {
            CopyValues(Other);
            GeneratedText = Other.GeneratedText;
            RestOfLine = Other.RestOfLine;
        }
        return *this;
    }
    TCNC_Groups &operator=(TCNC_Groups &&Other) noexcept
    {
        if (this != &Other) {
            CopyValues(Other);
            GeneratedText = std::move(Other.GeneratedText);
            RestOfLine = std::move(Other.RestOfLine);
        }
        return *this;
    }
    ~TCNC_Groups() override = default;

    // Every field as a new record has it, in place: the stages refill the
    // same records block after block without building new ones.
    void Reset()
    {
        ZeroRecordBytes(Groups, ValueBytes());
        LookAheadMark = false;
        GeneratedMark = false;
        GeneratedText.clear();
        RestOfLine.clear();
        LineNumber = 0;
        InputPosition = 0;
        Level = 0;
        MoveLength = 0;
        CornerAngle = 0;
    }

    // Every group Round(Value) (NoGCode when Value is NoValue), every word
    // Value, all flags and marks false, texts empty, LineNumber and
    // InputPosition -1, Level 0, MoveLength and CornerAngle 0.
    void Clear(Extended Value);

    int32_t Groups[GroupCount];
    bool GroupSet[GroupCount];
    Extended Words[WordCount];
    bool WordSet[WordCount];
    bool LookAheadMark = false;
    bool GeneratedMark = false;
    std::string GeneratedText;
    std::string RestOfLine;
    int32_t LineNumber = 0;
    int32_t InputPosition = 0;
    int32_t Level = 0;
    double MoveLength = 0;
    double CornerAngle = 0;

protected:
    // Only into a TCNC_Groups itself (not a subclass); else EConvertError
    // "Cannot assign a TCNC_Groups to a <class>".
    void AssignTo(TPersistent &Dest) const override;

private:
    // The value arrays, Groups to WordSet, lie together: they are copied and
    // cleared as one block, by the C library's own routines.
    size_t ValueBytes() const
    {
        return static_cast<size_t>(reinterpret_cast<const char *>(WordSet + WordCount) -
                                   reinterpret_cast<const char *>(Groups));
    }
    void CopyValues(const TCNC_Groups &Other)
    {
        CopyRecordBytes(Groups, Other.Groups, ValueBytes());
        LookAheadMark = Other.LookAheadMark;
        GeneratedMark = Other.GeneratedMark;
        LineNumber = Other.LineNumber;
        InputPosition = Other.InputPosition;
        Level = Other.Level;
        MoveLength = Other.MoveLength;
        CornerAngle = Other.CornerAngle;
    }
};

// Every field of TCNC_Groups must be copied above: a field added to the
// record changes its size and stops the build here until it is.
static_assert(sizeof(void *) != 8 || sizeof(TCNC_Groups) == 928,
              "TCNC_Groups changed: copy the new field in CopyValues, then update this size");

// One executable move or event for the sinks and the machine.
class TCNC_data : public TPersistent {
public:
    TCNC_data() = default;

    int32_t Spindle = NoMoveCode;
    int32_t MCode = NoMoveCode;
    int32_t Tool = NoMoveCode;
    int32_t Motion = NoMoveCode; // motion or event code (0 rapid, 1 linear, 2/3 arcs, 4 dwell, ...)
    int32_t LengthOffset = NoMoveCode;
    int32_t WorkOffset = NoMoveCode;
    int32_t LengthComp = NoMoveCode;
    double Feed = NoValue;
    double X = NoValue; // for a dwell: the time in ms
    double Y = NoValue;
    double Z = NoValue;
    double FourthAxis = NoValue;
    double Spare = NoValue;
    double I = NoValue;
    double J = NoValue;
    double K = NoValue;
    double R = NoValue;
    double P = NoValue;
    double MoveLength = NoValue;
    double CornerAngle = NoValue;
    Extended Sweep = 0; // degrees, positive clockwise
    Extended Radius = 0;
    int32_t Plane = 17;
    bool LookAhead = true;
    bool BlockDelete = false;
    int32_t LineNumber = 0;
    int32_t InputPosition = 0;
    int32_t Level = 0;
    std::string Text;

protected:
    // Only into a TCNC_data itself; else EConvertError
    // "Cannot assign a TCNC_Data to a <class>".
    void AssignTo(TPersistent &Dest) const override;
};

// One element of the 2D view's drawing list.
class TDD_Type : public TObject {
public:
    TDD_Type() = default;
    TDD_Type(uint8_t Kind, double StartX, double StartY, double StartZ, double EndX, double EndY,
             double EndZ, double BoxRight, double BoxTop, double BoxLeft, double BoxBottom,
             double CentreX, double CentreY, double Sweep, double CutterRadius, double Radius,
             int32_t LineNumber, int32_t Colour);

    uint8_t Kind = 0; // 0 rapid, 1 linear, 2/3 XY arcs, 4/5 XZ or YZ arcs
    int32_t LineNumber = 0;
    int32_t Colour = 0;
    double StartX = 0, StartY = 0, StartZ = 0;
    double EndX = 0, EndY = 0, EndZ = 0;
    double BoxRight = 0, BoxTop = 0, BoxLeft = 0, BoxBottom = 0;
    double CutterRadius = 0;
    double Sweep = 0;
    double CentreY = 0;
    double CentreX = 0;
    double Radius = 0;
};

// One active sub-program call (by nesting level).
struct TSubProgram {
    std::string FileName;
    int32_t Repeats = 0; // further runs still to come
    std::string ProgramNumber;
};

// A sub-program file announced by a "SUBPROGRAM" line.
struct TSubIdentity {
    std::string Identity; // program number, at least four digits
    std::string FileName;
};

// DDE command state of the engine form.
struct Tdevice_type {
    uint8_t State = 0; // 0 busy, 1 idle, 2 not connected, 3 error
    std::string Argument;
    std::string Command;
    std::string PreviousArgument;
    std::string FileName;
};

// Word tables of the NC dialect.
constexpr int BracketKeywordCount = 10; // only the first nine are matched
constexpr int NoBracketKeyword = 9;
extern const char *const BracketKeywords[BracketKeywordCount];
extern const char *const MacroStatements[3];
extern const char *const MacroOperators[4];
extern const char *const MacroFunctions[8];   // ends with "~~~~"
extern const char *const MacroComparisons[7]; // ends with "~~~~"

// Tool vocabulary: type names by TCutter_types, and the tool data keys.
extern const char *const CutterTypeNames[11];
extern const char *const ToolDataNames[7];

// Display text of a generated move: "G<n> " unless GNumber is NoGCode, then
// each of X, Y, Z, F that is not NoValue as letter + "0.000" + " ";
// values are divided by 25.4 first when Metric is false.
std::string FormatMoveText(int GNumber, bool Metric, double X, double Y, double Z, double F);

} // namespace orv
