#include "ncrun/NcRunOptions.h"

#include "platform/NumberText.h"

#include <cstdint>

namespace orv {

namespace {

bool TakeValue(int Argc, const char *const *Argv, int &Index, std::string &Value,
               std::string &Error)
{
    if (Index + 1 >= Argc) {
        Error = std::string("missing value after ") + Argv[Index];
        return false;
    }
    Value = Argv[++Index];
    return true;
}

bool TakeSearchLine(const std::string &Text, TNcRunOptions &Options, std::string &Error)
{
    int32_t line = 0;
    if (!TryStrToInt(Text, line) || line < 0) {
        Error = "--search needs a line number of 0 or more, not \"" + Text + "\"";
        return false;
    }
    Options.Search = true;
    Options.SearchLine = line;
    return true;
}

bool TakeOption(int Argc, const char *const *Argv, int &Index, TNcRunOptions &Options,
                std::string &Error)
{
    const std::string arg = Argv[Index];
    std::string value;
    if (arg == "--compiled")
        return Options.Compiled = true;
    if (arg == "--single-step")
        return Options.SingleStep = true;
    if (arg == "--machine")
        return Options.Machine = true;
    if (arg == "--link")
        return Options.Link = true;
    if (arg == "--vr")
        return Options.VR = Options.Machine = true;
    if (arg == "--block-skip")
        return Options.BlockSkip = true;
    if (arg == "--settings")
        return TakeValue(Argc, Argv, Index, Options.SettingsDir, Error);
    if (arg == "--xnc")
        return TakeValue(Argc, Argv, Index, Options.XncFile, Error);
    if (arg == "--gnc")
        return TakeValue(Argc, Argv, Index, Options.GncFile, Error);
    if (arg == "--mdi")
        return TakeValue(Argc, Argv, Index, Options.MdiFile, Error);
    if (arg == "--answers")
        return TakeValue(Argc, Argv, Index, Options.AnswersFile, Error);
    if (arg == "--2d")
        return Options.Draw2D = true;
    if (arg == "--bm2")
        return (Options.Draw2D = true) && TakeValue(Argc, Argv, Index, Options.Bm2File, Error);
    if (arg == "--2d-list")
        return (Options.Draw2D = true) && TakeValue(Argc, Argv, Index, Options.Draw2DList, Error);
    if (arg == "--fanuc21")
        return (Options.Fanuc21 = true) && TakeValue(Argc, Argv, Index, Options.FanucKeys, Error);
    if (arg == "--fanuc0m")
        return (Options.Fanuc21 = Options.Fanuc0M = true) &&
               TakeValue(Argc, Argv, Index, Options.FanucKeys, Error);
    if (arg == "--screen")
        return TakeValue(Argc, Argv, Index, Options.ScreenFile, Error);
    if (arg == "--sim")
        return TakeValue(Argc, Argv, Index, Options.SimFile, Error);
    if (arg == "--3d-grid")
        return TakeValue(Argc, Argv, Index, Options.Grid3DFile, Error);
    if (arg == "--3d")
        return TakeValue(Argc, Argv, Index, Options.Capture3DFile, Error);
    if (arg == "--search")
        return TakeValue(Argc, Argv, Index, value, Error) && TakeSearchLine(value, Options, Error);
    Error = "unknown option " + arg;
    return false;
}

} // namespace

bool ParseNcRunOptions(int Argc, const char *const *Argv, TNcRunOptions &Options,
                       std::string &Error)
{
    for (int i = 1; i < Argc; ++i) {
        std::string arg = Argv[i];
        bool isOption = arg.size() > 1 && arg[0] == '-';
        if (isOption) {
            if (!TakeOption(Argc, Argv, i, Options, Error))
                return false;
            continue;
        }
        if (!Options.Program.empty()) {
            Error = "more than one program named: " + Options.Program + ", " + arg;
            return false;
        }
        Options.Program = arg;
    }
    if (Options.VR && (Options.Link || !Options.MdiFile.empty() || Options.Fanuc21)) {
        Error = "--vr runs the VR machine alone: no --link, --mdi or --fanuc21";
        return false;
    }
    if (!Options.SimFile.empty() && (!Options.Grid3DFile.empty() || !Options.Capture3DFile.empty())) {
        Error = "--sim and --3d or --3d-grid share the 3D button: name one of them";
        return false;
    }
    if (!Options.MdiFile.empty()) {
        if (!Options.Machine) {
            Error = "--mdi runs on the machine: add --machine";
            return false;
        }
        if (!Options.Program.empty()) {
            Error = "--mdi takes no program: " + Options.Program;
            return false;
        }
        return true;
    }
    if (Options.Program.empty() && !Options.Fanuc21) {
        Error = "no program named";
        return false;
    }
    if (Options.Link && !Options.Machine) {
        Error = "--link drives the machine: it needs --machine";
        return false;
    }
    return true;
}

} // namespace orv
