#include "links/sim/TrioSim.h"

#include "platform/NumberText.h"

#include <vector>

namespace orv {

namespace {

// The numbers between the first "(" and the matching ")" of Text,
// separated by commas; inner parentheses are dropped.
std::vector<double> Arguments(const std::string &Text, size_t From = 0) {
    std::vector<double> out;
    size_t open = Text.find('(', From);
    if (open == std::string::npos)
        return out;
    int depth = 0;
    std::string field;
    for (size_t i = open; i < Text.size(); ++i) {
        char c = Text[i];
        if (c == '(') {
            ++depth;
            continue;
        }
        if (c == ')' && --depth == 0)
            break;
        if (c == ')')
            continue;
        if (c == ',') {
            double v = 0;
            out.push_back(TryStrToFloat(field, v) ? v : 0);
            field.clear();
        } else
            field += c;
    }
    double v = 0;
    out.push_back(TryStrToFloat(field, v) ? v : 0);
    return out;
}

// The axis of " AXIS(n)", -1 without one.
int AxisOf(const std::string &Line) {
    size_t at = Line.find("AXIS(");
    if (at == std::string::npos)
        return -1;
    std::vector<double> a = Arguments(Line, at);
    return a.empty() ? -1 : int(a[0]);
}

bool Starts(const std::string &Line, const char *Command) {
    return Line.rfind(Command, 0) == 0;
}

} // namespace

void TTrioSim::DropPrompt(const std::string &Match, int Count) {
    std::lock_guard lock(FLock);
    FDrops.push_back({Match, Count});
}

std::vector<std::string> TTrioSim::Outputs() const {
    std::lock_guard lock(FLock);
    return FOutputs;
}

void TTrioSim::Byte(uint8_t B) {
    if (B == '\n')
        return;
    if (B != '\r') {
        FLine += char(B);
        Send(std::string(1, char(B)), "");
        return;
    }
    std::string line = FLine;
    FLine.clear();
    Record('<', "line", line);
    if (!FSilenceAt.empty() && line.find(FSilenceAt) != std::string::npos) {
        SetSilent(true);
        return;
    }
    std::string output = Execute(line);
    bool drop = false;
    {
        std::lock_guard lock(FLock);
        for (TDrop &d : FDrops)
            if (d.Count != 0 && line.find(d.Match) != std::string::npos) {
                --d.Count;
                drop = true;
                break;
            }
    }
    std::string answer = "\r\n" + output + (output.empty() ? "" : "\r\n");
    Send(drop ? answer : answer + ">", "answer");
}

std::string TTrioSim::Execute(const std::string &Line) {
    double x, y, z;
    Position(x, y, z);
    double at[3] = {x, y, z};
    int axis = AxisOf(Line);
    std::vector<double> a = Arguments(Line);
    if (Starts(Line, "TABLEVALUES")) {
        TAxesState axes = Axes();
        std::string values;
        for (int i = 0; i < 3; ++i)
            values += IntToStr(int64_t(axes.At[i])) + ",";
        for (int i = 0; i < 3; ++i)
            values += std::string(axes.Moving[i] ? "1" : "0") + (i < 2 ? "," : "");
        return values;
    }
    if (Starts(Line, "SP(") && !a.empty()) {
        FSpeed = a[0];
        return "";
    }
    if (Starts(Line, "MA(") && axis < 0 && a.size() == 3) {
        StartMotion(a[0], a[1], a[2], FSpeed);
        return "";
    }
    bool single = axis >= 0 && axis <= 2 && !a.empty();
    if (single && (Starts(Line, "MA(") || Starts(Line, "MO(") || Starts(Line, "DATUM("))) {
        double target = Starts(Line, "MA(") ? a[0] : Starts(Line, "MO(") ? at[axis] + a[0] : 0;
        at[axis] = target;
        StartMotion(at[0], at[1], at[2], FSpeed);
        return "";
    }
    if (Line == "RS") {
        StopMotion();
        return "";
    }
    if (Starts(Line, "OP(") && a.size() == 2) {
        std::lock_guard lock(FLock);
        FOutputs.push_back(Line.substr(3, Line.size() - 4));
        return "";
    }
    return "er: unknown command " + Line;
}

} // namespace orv
