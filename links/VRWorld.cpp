#include "links/VRWorld.h"

#include "platform/EventLoop.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>

namespace orv {

namespace {

constexpr int TickMs = 10;

std::string Key(const std::string &Object, const std::string &Variable)
{
    return Object + '\n' + Variable;
}

std::string Num(double V)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.3f", V);
    std::string s = text;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s == "-0" ? "0" : s;
}

// A number of the world file; 0 for a text that is none, or one no double holds.
double ToReal(const std::string &Text)
{
    long double v = 0;
    if (!TryStrToFloat(Trim(Text), v) || !std::isfinite(v) ||
        std::fabs(v) > std::numeric_limits<double>::max())
        return 0;
    return double(v);
}

// The number as a whole one, its fraction cut off (or rounded with Round);
// Default for a text that is none, or one outside the range of int.
int ToInt(const std::string &Text, int Default = 0, bool Round = false)
{
    long double v = 0;
    if (!TryStrToFloat(Trim(Text), v) || !std::isfinite(v))
        return Default;
    v = Round ? std::round(v) : std::trunc(v);
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return Default;
    return int(v);
}

const char *const Axes[3] = {"xaxis", "yaxis", "zaxis"};

std::vector<std::string> Split(const std::string &Text, char Separator)
{
    std::vector<std::string> out;
    size_t at = 0;
    for (;;) {
        size_t next = Text.find(Separator, at);
        out.push_back(Text.substr(at, next == std::string::npos ? next : next - at));
        if (next == std::string::npos)
            return out;
        at = next + 1;
    }
}

} // namespace

TVRWorld::TVRWorld() : FTimer(std::make_unique<TTimer>())
{
    FTimer->OnTimer = [this] { Tick(); };
    FTimer->SetInterval(TickMs);
}

TVRWorld::~TVRWorld() = default;

std::string &TVRWorld::Value(const std::string &Object, const std::string &Variable)
{
    return FValues[Key(Object, Variable)];
}

void TVRWorld::Trace(const std::string &Line)
{
    if (OnTrace)
        OnTrace(Line);
}

// Loading finishes at the next tick, as the control reports its ready state
// from its own message loop.
void TVRWorld::SetWorldFile(const std::string &FileName)
{
    Trace("world " + std::filesystem::path(FileName).filename().string());
    FValues.clear();
    FNever.clear();
    FReady = 1;
    FError.clear();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(FileName, ec)) {
        FError = "World file not found: " + FileName;
    } else {
        TIniFile ini(FileName);
        for (const std::string &section : ini.ReadSections())
            for (const std::string &key : ini.ReadSection(section))
                Value(section, key) = ini.ReadString(section, key, "");
        if (ToReal(Value("vrparams", "vrscale")) <= 0)
            FError = "World file without a scale: " + FileName;
        for (const std::string &f : Split(Value("never", "mcodes"), ','))
            if (!Trim(f).empty())
                FNever.insert(ToInt(f));
    }
    FTimer->SetEnabled(true);
}

int TVRWorld::Timing(const char *Name, int Default)
{
    auto it = FValues.find(Key("timing", Name));
    return it == FValues.end() ? Default : ToInt(it->second, Default);
}

void TVRWorld::Raise(int Type, int Code)
{
    Trace("event SCL " + std::to_string(Type) + " " + std::to_string(Code));
    if (OnSCL)
        OnSCL(Type, Code);
}

void TVRWorld::Action(const std::string &Object, int Code)
{
    Trace("action " + Object + " " + std::to_string(Code));
    const int64_t now = EventLoop().NowMs();
    if (Object == "MillerData" && Code == 0) {
        StartMove();
    } else if (Object == "MillerData" && Code == 3) {
        FMoving = false;
    } else if (Object == "carousal" && Code == 1) {
        const int steps = GetInt("carousal", "Tool Count");
        FPending.insert({now + int64_t(steps) * Timing("carousel step", 200), {0, 1, 4}});
    } else if (Object == "caro" && (Code == 1 || Code == 2)) {
        FPending.insert({now + Timing("tool setup", 20), {0, 1, 5}});
    }
}

void TVRWorld::SelectView(int View) { Trace("view " + std::to_string(View)); }

void TVRWorld::Version(int &Major, int &Minor, int &Release)
{
    std::vector<std::string> parts = Split(Value("control", "version"), '.');
    int *out[3] = {&Major, &Minor, &Release};
    for (int i = 0; i < 3; ++i)
        *out[i] = i < int(parts.size()) ? ToInt(parts[size_t(i)]) : 0;
}

int TVRWorld::GetInt(const std::string &Object, const std::string &Variable)
{
    return ToInt(Value(Object, Variable), 0, true);
}

void TVRWorld::SetInt(const std::string &Object, const std::string &Variable, int V)
{
    Trace("set " + Object + "." + Variable + " = " + std::to_string(V));
    Value(Object, Variable) = std::to_string(V);
}

float TVRWorld::GetReal(const std::string &Object, const std::string &Variable)
{
    const double v = ToReal(Value(Object, Variable));
    return std::fabs(v) <= std::numeric_limits<float>::max() ? float(v) : 0;
}

void TVRWorld::SetReal(const std::string &Object, const std::string &Variable, float V)
{
    Trace("set " + Object + "." + Variable + " = " + Num(V));
    Value(Object, Variable) = Num(V);
}

std::string TVRWorld::GetText(const std::string &Object, const std::string &Variable)
{
    return Value(Object, Variable);
}

bool TVRWorld::GetFlag(const std::string &Object, const std::string &Variable)
{
    return Value(Object, Variable) == "1";
}

// "Mcode" "DoIt" starts the M code in "Mcode" "Mcode"; the world answers
// when it is done (or never, for the codes it is told to hang on).
void TVRWorld::SetFlag(const std::string &Object, const std::string &Variable, bool V)
{
    Trace("set " + Object + "." + Variable + " = " + (V ? "true" : "false"));
    Value(Object, Variable) = V ? "1" : "0";
    if (Object == "Mcode" && Variable == "DoIt" && V) {
        const int code = GetInt("Mcode", "Mcode");
        if (!FNever.count(code))
            FPending.insert({EventLoop().NowMs() + Timing("mcode", 100), {0, 2, code}});
    }
}

// Direction -1 turns to higher places, 1 to lower ones; places count from 1.
void TVRWorld::FinishCarousel()
{
    const int places = GetInt("carousal", "positions");
    if (places <= 0)
        return;
    const int steps = GetInt("carousal", "Tool Count");
    const int direction = GetInt("carousal", "Direction");
    // Wide enough for any place, turn and count the file may hold.
    int64_t current = int64_t(GetInt("carousal", "current")) - 1 - int64_t(direction) * steps;
    current = ((current % places) + places) % places;
    Value("carousal", "current") = std::to_string(current + 1);
    Value("carousal", "BUSY") = "0";
}

void TVRWorld::StartMove()
{
    for (int a = 0; a < 3; ++a) {
        FFrom[a] = ToReal(Value("MillerData", std::string(Axes[a]) + "_pos"));
        FTo[a] = ToReal(Value("MillerData", std::string(Axes[a]) + "_go"));
    }
    FSpeed = ToReal(Value("MillerData", "feed_rate"));
    FStart = EventLoop().NowMs();
    FMoving = true;
    Value("MillerData", "There") = "0";
    MoveOn(FStart);
}

// The mill goes straight at FSpeed units per second; a feed of 0 or less
// takes it there at once.
void TVRWorld::MoveOn(int64_t Now)
{
    if (!FMoving)
        return;
    double length = 0;
    for (int a = 0; a < 3; ++a)
        length += (FTo[a] - FFrom[a]) * (FTo[a] - FFrom[a]);
    length = std::sqrt(length);
    const double done = FSpeed <= 0 || length == 0 ? 1 : FSpeed * double(Now - FStart) / 1000 / length;
    const double t = done >= 1 ? 1 : done;
    for (int a = 0; a < 3; ++a)
        Value("MillerData", std::string(Axes[a]) + "_pos") = Num(FFrom[a] + (FTo[a] - FFrom[a]) * t);
    if (t < 1)
        return;
    FMoving = false;
    Value("MillerData", "There") = "1";
    Raise(1, 6);
}

void TVRWorld::Tick()
{
    const int64_t now = EventLoop().NowMs();
    if (FReady == 1 && FError.empty()) {
        FReady = ReadyComplete;
        Trace("ready");
        if (OnReadyStateChange)
            OnReadyStateChange();
    }
    MoveOn(now);
    while (!FPending.empty() && FPending.begin()->first <= now) {
        TPending p = FPending.begin()->second;
        FPending.erase(FPending.begin());
        if (p.Type == 1 && p.Code == 4)
            FinishCarousel();
        Raise(p.Type, p.Code);
    }
}

} // namespace orv
