#include "engine/form/CNC_to_Generic.h"

#include "engine/core/data_types.h"
#include "platform/NumberText.h"

#include <cerrno>
#include <cstring>

namespace orv {

namespace {

constexpr const char *CRLF = "\r\n";

bool IsSet(double Value) { return Value != NoValue; }

bool Differs(double Value, double Last) { return IsSet(Value) && Value != Last; }

} // namespace

std::string GenericNumber(double Value)
{
    std::string text = FormatFixed(Value, 3);
    if (text.size() < 8)
        text.insert(0, 8 - text.size(), ' ');
    return text;
}

std::string ShortDateText(std::time_t Time)
{
    std::tm parts{};
    gmtime_r(&Time, &parts);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%d/%m/%Y", &parts);
    return buffer;
}

TCNC_to_Generic::TCNC_to_Generic()
{
    Clock = [] { return std::time(nullptr); };
}

TCNC_to_Generic::~TCNC_to_Generic() { CloseFile(); }

void TCNC_to_Generic::WriteLine(const std::string &Line)
{
    if (!FFile || FWriteFailed)
        return;
    std::string text = Line + CRLF;
    if (std::fwrite(text.data(), 1, text.size(), FFile) == text.size())
        return;
    FWriteFailed = true;
    if (OnFileError)
        OnFileError(this, "Cannot write " + FOutName + ": " + std::strerror(errno));
}

void TCNC_to_Generic::WriteHeader()
{
    WriteLine("string machine_type (4) = \"MILL\"");
    WriteLine("repeat");
    WriteLine("metric = true");
    WriteLine("DATE = " + ShortDateText(Clock()));
    WriteLine("PROLOGUE");
}

void TCNC_to_Generic::CloseFile()
{
    if (!FFile)
        return;
    WriteLine("EPILOGUE");
    WriteLine("until last_pass");
    bool closed = std::fclose(FFile) == 0;
    FFile = nullptr;
    if (!closed && !FWriteFailed && OnFileError)
        OnFileError(this, "Cannot write " + FOutName + ": " + std::strerror(errno));
}

bool TCNC_to_Generic::OpenFile(const std::string &FileName)
{
    CloseFile();
    FOutName = FileName;
    FWriteFailed = false;
    FFile = std::fopen(FileName.c_str(), "wb");
    if (FFile)
        return true;
    if (OnFileError)
        OnFileError(this, "Cannot create " + FileName + ": " + std::strerror(errno));
    return false;
}

void TCNC_to_Generic::WriteCoordinates(double X, double Y, double Z)
{
    if (Differs(X, FLastX))
        WriteLine("x = " + GenericNumber(X));
    if (Differs(Y, FLastY))
        WriteLine("y = " + GenericNumber(Y));
    if (Differs(Z, FLastZ))
        WriteLine("z = " + GenericNumber(Z));
}

void TCNC_to_Generic::Remember(double X, double Y, double Z)
{
    FLastX = X;
    FLastY = Y;
    FLastZ = Z;
}

void TCNC_to_Generic::RapidMove(double X, double Y, double Z)
{
    WriteCoordinates(X, Y, Z);
    WriteLine("FAST_TRAV");
    Remember(X, Y, Z);
}

void TCNC_to_Generic::LinearMove(double X, double Y, double Z)
{
    WriteCoordinates(X, Y, Z);
    WriteLine("LINEAR_TRAV");
    Remember(X, Y, Z);
}

void TCNC_to_Generic::ArcMove(double X, double Y, double Z, double CentreX, double CentreY,
                              double CentreZ, Extended Sweep, Extended Radius)
{
    if (IsSet(CentreX))
        WriteLine("cx = " + GenericNumber(CentreX));
    if (IsSet(CentreY))
        WriteLine("cy = " + GenericNumber(CentreY));
    if (Sweep != NoValue)
        WriteLine("angle = " + GenericNumber((double)Sweep));
    WriteLine("CIRC_TRAV");
    Remember(X, Y, Z);
}

void TCNC_to_Generic::HomeMove(double, double, double)
{
    WriteLine("TRAV_HOME");
    // Every coordinate is written again after a reference return.
    Remember(NoValue, NoValue, NoValue);
}

void TCNC_to_Generic::Dwell(double Milliseconds)
{
    WriteLine("dwelltime = " + GenericNumber(Milliseconds));
    WriteLine("DWELL");
}

void TCNC_to_Generic::DoMove(TCNC_data &Data)
{
    if (BlockSkip && Data.BlockDelete)
        return;
    switch (Data.Motion) {
    case -1: // BILLET: the three sizes
        WriteLine("real x_dimension = " + FloatToStr(Data.X));
        WriteLine("real y_dimension = " + FloatToStr(Data.Y));
        WriteLine("real z_dimension = " + FloatToStr(Data.Z));
        return;
    case -3: // TOOLDEF: later outputs and the machine see tool 0
        Data.Tool = 0;
        return;
    default:
        TBasicOutput::DoMove(Data);
    }
}

void TCNC_to_Generic::MCodeHook(int &) {}

void TCNC_to_Generic::SpindleChange(TCNC_data &Data)
{
    if (Data.Spindle == FLastSpindle)
        return;
    int32_t speed = Data.Spindle == NoMoveCode ? 0 : Data.Spindle;
    WriteLine("spindle = " + IntToStr(speed));
    WriteLine("CHANGE_SPINDLE");
    FLastSpindle = Data.Spindle;
}

void TCNC_to_Generic::ToolChange(TCNC_data &Data)
{
    if (Data.MCode != 6 || Data.Tool == FLastTool)
        return;
    WriteLine("tool = " + IntToStr(Data.Tool));
    WriteLine("CHANGE_TOOL");
    FLastTool = Data.Tool;
}

void TCNC_to_Generic::FeedChange(TCNC_data &Data)
{
    if (!(Data.Feed < NoValue) || Data.Feed == FLastFeed)
        return;
    WriteLine("feed = " + GenericNumber(Data.Feed));
    FLastFeed = Data.Feed;
}

bool TCNC_to_Generic::Initialise() { return true; }

void TCNC_to_Generic::Start()
{
    std::string chosen;
    if (!ExecuteSaveDialog("GNC Folder", "GNC",
                           "Corvane Post Processor File (*.GNC)|*.GNC|All Files (*.*)|*.*",
                           chosen)) {
        if (OnSaveCancelled)
            OnSaveCancelled(this);
        return;
    }
    if (!OpenFile(chosen))
        return;
    FLastSpindle = 0;
    FLastTool = 0;
    WriteHeader();
    Stopped = false;
    TBasicOutput::Start();
}

void TCNC_to_Generic::Stop()
{
    TBasicOutput::Stop();
    CloseFile();
}

void TCNC_to_Generic::Execute(TCNC_data &Data)
{
    bool isEnd = Data.Motion == EndOfProgramCode;
    TBasicOutput::Execute(Data);
    if (isEnd)
        CloseFile();
}

} // namespace orv
