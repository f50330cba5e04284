#include "links/sim/RouterSim.h"

#include "platform/NumberText.h"

#include <cctype>

namespace orv {

namespace {

constexpr char DC1 = 17;

// The number after Letter ("G01X10Y-20Z3F300"), or Default.
double Word(const std::string &Line, char Letter, double Default) {
    size_t at = Line.find(Letter, 3);
    if (at == std::string::npos)
        return Default;
    size_t end = at + 1;
    while (end < Line.size() && (std::isdigit(uint8_t(Line[end])) || Line[end] == '-'))
        ++end;
    double v = Default;
    TryStrToFloat(Line.substr(at + 1, end - at - 1), v);
    return v;
}

} // namespace

void TRouterSim::Byte(uint8_t B) {
    FLine += char(B);
    bool last = B == '\r';
    if (!(last && !FDropEchoAt.empty() && FLine.find(FDropEchoAt) != std::string::npos))
        Send(std::string(1, char(B)), "");
    else
        FDropEchoAt.clear(); // lost once
    if (!last)
        return;
    std::string line = FLine.substr(0, FLine.size() - 1);
    FLine.clear();
    Record('<', "line", line);
    if (!FSilenceAt.empty() && line.find(FSilenceAt) != std::string::npos) {
        SetSilent(true);
        return;
    }
    if (!FGuardAt.empty() && line.find(FGuardAt) != std::string::npos) {
        FGuardOpen = true;
        FGuardAt.clear();
    }
    if (!FEStopAt.empty() && line.find(FEStopAt) != std::string::npos) {
        FEStop = true;
        FReleasedAt = Now() + FHeldMs;
        StopMotion();
        FEStopAt.clear();
    }
    std::string answer = Execute(line);
    if (!FParkPending)
        Send(answer + DC1, "answer");
}

void TRouterSim::Timers() {
    if (FParkPending && !Moving()) {
        FParkPending = false;
        Send(std::string("ok") + DC1, "answer");
    }
}

std::string TRouterSim::Execute(const std::string &Line) {
    double x, y, z;
    Position(x, y, z);
    double at[3] = {x, y, z};
    if (Line == "xz?") {
        TAxesState axes = Axes();
        return "x" + IntToStr(int64_t(axes.At[0])) + "y" + IntToStr(int64_t(axes.At[1])) + "z" +
               IntToStr(int64_t(axes.At[2])) + (axes.Any() ? "G" : "") +
               (FGuardOpen ? "go" : "") + (FEStop ? "es" : "");
    }
    if (Line == "reset" && FEStop && Now() >= FReleasedAt && --FResetsNeeded <= 0)
        FEStop = false;
    if (FEStop)
        return "";
    bool g0 = Line.rfind("G00", 0) == 0, g1 = Line.rfind("G01", 0) == 0;
    if (g0 || g1) {
        StartMotion(Word(Line, 'X', x), Word(Line, 'Y', y), Word(Line, 'Z', z),
                    g0 ? FeedSteps * 2 : FeedSteps);
    } else if (Line.rfind("G02", 0) == 0 || Line.rfind("G03", 0) == 0) {
        StartMotion(Word(Line, 'X', x), Word(Line, 'Y', y), z, FeedSteps);
    } else if (Line.rfind("park", 0) == 0 && Line.size() == 6) {
        int axis = Line[5] - 'x';
        if (axis >= 0 && axis <= 2) {
            at[axis] = 0;
            StartMotion(at[0], at[1], at[2], FeedSteps);
            FParkPending = true;
        }
    } else if (Line == "q") {
        StopMotion();
    }
    return "";
}

} // namespace orv
