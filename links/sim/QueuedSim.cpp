#include "links/sim/QueuedSim.h"

#include "links/LowLevel.h"
#include "platform/NumberText.h"

#include <cmath>

namespace orv {

namespace {

std::vector<double> Numbers(const std::string &Text) {
    std::vector<double> out;
    std::string f;
    for (size_t i = 0; i <= Text.size(); ++i) {
        if (i == Text.size() || Text[i] == ',') {
            double v = 0;
            out.push_back(TryStrToFloat(f, v) ? v : 0);
            f.clear();
        } else
            f += Text[i];
    }
    return out;
}

// The number after Letter in an arc text ("G02X10Y20I..."), 0 without one.
double Word(const std::string &Text, char Letter) {
    size_t at = Text.find(Letter, 3);
    if (at == std::string::npos)
        return 0;
    size_t end = at + 1;
    while (end < Text.size() && (std::isdigit(uint8_t(Text[end])) || Text[end] == '-'))
        ++end;
    double v = 0;
    TryStrToFloat(Text.substr(at + 1, end - at - 1), v);
    return v;
}

} // namespace

void TQueuedSim::AddFault(TFault Kind, const std::string &Match, int Count) {
    std::lock_guard lock(FLock);
    FFaults.push_back({Kind, Match, Count});
}

bool TQueuedSim::TakeFault(TFault Kind, const std::string &Printable) {
    std::lock_guard lock(FLock);
    for (TEntry &e : FFaults)
        if (e.Kind == Kind && e.Count != 0 && Printable.find(e.Match) != std::string::npos) {
            --e.Count;
            return true;
        }
    return false;
}

std::vector<std::string> TQueuedSim::Frames() const {
    std::vector<std::string> out;
    for (const TSimLogEntry &e : Log())
        if (e.Direction == '<' && (e.Kind == "write" || e.Kind == "read"))
            out.push_back(e.Bytes);
    return out;
}

void TQueuedSim::Byte(uint8_t B) {
    if (FAwaitCheck) {
        FAwaitCheck = false;
        FInFrame = false;
        std::string frame = FFrame + char(B);
        std::string printable = frames::Printable(frame);
        Record('<', "write", frame);
        if (!FHoldAt.empty() && printable.find(FHoldAt) != std::string::npos) {
            FHoldAt.clear();
            HoldPeerOutput();
            SetSilent(true);
            return;
        }
        if (!FSilenceAt.empty() && printable.find(FSilenceAt) != std::string::npos) {
            SetSilent(true);
            return;
        }
        if (TakeFault(NoAnswer, printable))
            return;
        std::string text = FFrame.substr(1, FFrame.size() - 2);
        if (frames::Check(FFrame) != B || TakeFault(Nak, printable)) {
            Send(std::string(1, char(0x81)), "nak");
            return;
        }
        Send(std::string(1, char(0x80)), "ack");
        Command(text);
        return;
    }
    if (B == frames::EOT) {
        FFrame.assign(1, char(B));
        FInFrame = true;
        return;
    }
    if (!FInFrame)
        return;
    FFrame += char(B);
    if (B == frames::ETX) {
        FAwaitCheck = true;
        return;
    }
    if (B != frames::ENQ)
        return;
    FInFrame = false;
    std::string printable = frames::Printable(FFrame);
    Record('<', "read", FFrame);
    if (!FSilenceAt.empty() && printable.find(FSilenceAt) != std::string::npos) {
        SetSilent(true);
        return;
    }
    if (TakeFault(NoAnswer, printable))
        return;
    Read(FFrame.substr(1, FFrame.size() - 2));
}

void TQueuedSim::Reply(const std::string &Text, bool Bad) {
    std::string reply = frames::Reply(Text);
    if (Bad)
        reply.back() = char(reply.back() ^ 0x01);
    Send(reply, "reply");
}

void TQueuedSim::Read(const std::string &Text) {
    bool bad = TakeFault(BadCheck, Text);
    if (Text != "zz6") {
        Reply("ok" + Text, bad);
        return;
    }
    TAxesState axes = Axes();
    std::string reply = "zz";
    for (int a = 0; a < 3; ++a)
        reply += IntToStr(int64_t(axes.At[a])) + ",";
    for (int a = 0; a < 3; ++a)
        reply += std::string(axes.Moving[a] ? "0" : "1") + (a < 2 ? "," : "");
    Reply(reply, bad);
}

void TQueuedSim::Command(const std::string &Text) {
    double x, y, z;
    Position(x, y, z);
    double at[3] = {x, y, z};
    auto starts = [&Text](const char *P) { return Text.rfind(P, 0) == 0; };
    if (starts("VA6") || starts("MA6")) {
        std::vector<double> n = Numbers(Text.substr(3));
        if (n.size() == 3)
            StartMotion(n[0], n[1], n[2], starts("VA6") ? FeedSteps : RapidSteps);
    } else if (starts("MA") && Text.size() > 3) {
        int axis = Text[2] - '0';
        double v = 0;
        if (axis >= 0 && axis <= 2 && TryStrToFloat(Text.substr(3), v)) {
            at[axis] = v;
            StartMotion(at[0], at[1], at[2], RapidSteps);
        }
    } else if (starts("HS6")) {
        std::vector<double> n = Numbers(Text.substr(3));
        FHomeFeed = n.empty() || n[0] <= 0 ? 1000 : n[0];
    } else if (starts("HM") && Text.size() >= 4) {
        int axis = Text[2] - '0';
        if (axis >= 0 && axis <= 2) {
            at[axis] = 0;
            StartMotion(at[0], at[1], at[2], FHomeFeed);
        }
    } else if (starts("ST6")) {
        StopMotion();
    } else if (starts("G02") || starts("G03")) {
        StartMotion(Word(Text, 'X'), Word(Text, 'Y'), z, FeedSteps);
    }
}

} // namespace orv
