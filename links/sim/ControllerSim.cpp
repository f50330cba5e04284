#include "links/sim/ControllerSim.h"

#include "links/LowLevel.h"
#include "links/sim/PtyMaster.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace orv {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr uint8_t IdleBits = 0x02, MovingBits = 0x10, StoppedBit = 0x08;

std::vector<std::string> Split(const std::string &Text) {
    std::vector<std::string> out;
    std::string f;
    for (char c : Text) {
        if (c == ',') {
            out.push_back(f);
            f.clear();
        } else
            f += c;
    }
    out.push_back(f);
    return out;
}

double Number(const std::string &Text) {
    double v = 0;
    return TryStrToFloat(Text, v) ? v : 0;
}

} // namespace

TControllerSim::TControllerSim() : FRandom(1) {
    FComms[5] = FComms[6] = 100;
    FComms[19] = 1;
    FComms[31] = 5;
    FComms[32] = 4;
}

TControllerSim::~TControllerSim() {
    Stop();
}

void TControllerSim::AddFault(const TSimFault &Fault) {
    std::lock_guard lock(FLock);
    FFaults.push_back(Fault);
}

void TControllerSim::SetFaultRate(unsigned Seed, int Percent, std::vector<TSimFault::TKind> Kinds) {
    std::lock_guard lock(FLock);
    FRandom.seed(Seed);
    FRatePercent = Percent;
    FRateKinds = std::move(Kinds);
}

double TControllerSim::CommsValue(int Index) const {
    std::lock_guard lock(FLock);
    return Index >= 0 && Index < 100 ? FComms[Index] : 0;
}

void TControllerSim::SetCommsValue(int Index, double Value) {
    std::lock_guard lock(FLock);
    if (Index >= 0 && Index < 100)
        FComms[Index] = Value;
}

void TControllerSim::ChangeEntry(int Index, double Value) {
    std::lock_guard lock(FLock);
    FChanges.push_back({Index, Value});
}

bool TControllerSim::Quiet() const {
    pollfd p{FMaster, POLLIN, 0};
    if (::poll(&p, 1, 0) > 0 || FReading || Now() >= FNextDue)
        return false;
    std::lock_guard lock(FLock);
    return FChanges.empty();
}

void TControllerSim::Later(int64_t At, const std::string &Bytes, const std::string &Kind) {
    FLater.push_back({At, Bytes, Kind});
    if (At < FNextDue)
        FNextDue = At;
}

// ---------------------------------------------------------------- loop

// The PC side closes its port for a while during a program download; it
// has gone for good when its end stays closed for 3 s.
void TControllerSim::Run() {
    int64_t closedSince = -1;
    while (!FStop) {
        pollfd p{FMaster, POLLIN, 0};
        int n = ::poll(&p, 1, 1);
        bool hangUp = n > 0 && (p.revents & POLLHUP) && !(p.revents & POLLIN);
        if (!hangUp)
            closedSince = -1;
        if (n > 0 && (p.revents & POLLIN)) {
            FReading = true;
            ReadInput();
            FReading = false;
        }
        else if (hangUp) {
            int64_t now = SteadyClockMs();
            if (closedSince < 0)
                closedSince = now;
            if (FTalked && now - closedSince > 3000)
                FPeerGone = true;
            // Nobody holds the other end: wait without spinning.
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        Timers();
    }
}

void TControllerSim::ReadInput() {
    uint8_t buffer[512];
    ssize_t n = ::read(FMaster, buffer, sizeof buffer);
    if (n <= 0)
        return;
    FTalked = true;
    if (PaceBaud > 0)
        std::this_thread::sleep_for(
            std::chrono::microseconds(int64_t(n) * 11 * 1000000 / PaceBaud));
    for (ssize_t i = 0; i < n; ++i)
        Byte(buffer[i]);
    FBytesIn += uint64_t(n); // counted once answered
}

void TControllerSim::Byte(uint8_t B) {
    if (!ProgramRunning && FParse == psIdle && B != frames::EOT) {
        if (B == '\n') {
            CommandLine(FLine);
            FLine.clear();
        } else if (B >= 32 || B == frames::CtrlZ)
            FLine += char(B); // the terminal drops other control bytes
        return;
    }
    switch (FParse) {
    case psIdle:
        if (B == frames::EOT) {
            FFrame.assign(1, char(B));
            FParse = psFrame;
        }
        return;
    case psFrame:
        if (B == frames::EOT) { // a new frame starts: the old one is lost
            FFrame.assign(1, char(B));
            return;
        }
        FFrame += char(B);
        if (B == frames::ENQ) {
            FParse = psIdle;
            Frame(FFrame, true);
        } else if (B == frames::ETX)
            FParse = psCheck;
        return;
    case psCheck:
        FFrame += char(B);
        FParse = psIdle;
        Frame(FFrame, false);
        return;
    }
}

bool TControllerSim::TakeFault(TSimFault::TKind Kind, const std::string &Printable,
                               TSimFault *Found) {
    std::lock_guard lock(FLock);
    for (TSimFault &f : FFaults) {
        if (f.Kind != Kind || f.Count == 0 || Printable.find(f.Match) == std::string::npos)
            continue;
        if (f.Count > 0)
            --f.Count;
        if (Found)
            *Found = f;
        return true;
    }
    return false;
}

void TControllerSim::Frame(const std::string &Raw, bool Read) {
    ++FFramesReceived;
    std::string printable = frames::Printable(Raw);
    Record('<', Read ? "read" : "write", Raw);
    if (FFrozen || TakeFault(TSimFault::Freeze, printable)) {
        FFrozen = true;
        return;
    }
    std::string frame = Raw;
    FCurrent.clear();
    // The held duplicate goes out with this frame's answer, in one burst.
    FPrefix.swap(FHeldAck);
    FHeldAck.clear();
    for (TSimFault::TKind k : {TSimFault::DropByte, TSimFault::GarbleAnswer, TSimFault::DelayByte,
                               TSimFault::NoAck, TSimFault::Nak, TSimFault::BadCheck,
                               TSimFault::StatusBeforeCheck, TSimFault::LateDuplicateAck}) {
        TSimFault f;
        if (TakeFault(k, printable, &f))
            FCurrent.push_back(f);
    }
    {
        std::lock_guard lock(FLock);
        if (FRatePercent > 0 && !FRateKinds.empty() && int(FRandom() % 100) < FRatePercent) {
            TSimFault f;
            f.Kind = FRateKinds[FRandom() % FRateKinds.size()];
            FCurrent.push_back(f);
        }
    }
    auto has = [this](TSimFault::TKind K) {
        return std::any_of(FCurrent.begin(), FCurrent.end(),
                           [K](const TSimFault &F) { return F.Kind == K; });
    };
    // A garbled write frame fails its check; read frames are left whole.
    if (!Read && (TakeFault(TSimFault::GarbleByte, printable) || has(TSimFault::GarbleByte)))
        frame[1] = char(frame[1] ^ 0x01);
    if (!ProgramRunning)
        return; // the command line does not speak frames
    if (TakeFault(TSimFault::EStop, printable)) {
        double x, y, z;
        Position(x, y, z);
        StartMotion(x, y, z, 0);
        EStopped = true;
        Send(std::string(1, char(0xC0 | StatusBits())), "status");
    }
    if (frame.size() < 4) {
        SendAck(true);
        return;
    }
    bool oneLetter = frame[1] == 'O' || frame[1] == 'X';
    size_t head = oneLetter ? 2 : 3;
    std::string command = frame.substr(1, head - 1);
    int channel = frame[head] - '0';
    if (Read) {
        if (has(TSimFault::NoAck))
            return; // a read not understood is not answered
        for (const TSimFault &f : FCurrent)
            if (f.Kind == TSimFault::Nak) {
                SendAck(true, f.NakValue);
                return;
            }
        ReadRequest(command, channel, frame.substr(head + 1, frame.size() - head - 2));
        return;
    }
    std::string body = frame.substr(0, frame.size() - 1);
    if (frames::Check(body) != uint8_t(frame.back())) {
        SendAck(true);
        return;
    }
    std::string payload = frame.substr(head + 1, frame.size() - head - 3);
    if (LengthByte && command != "CT" && command != "ST") {
        if (payload.empty() || uint8_t(payload[0]) != payload.size() - 1 + 33) {
            SendAck(true);
            return;
        }
        payload.erase(0, 1);
    }
    TSimFault nak;
    for (const TSimFault &f : FCurrent)
        if (f.Kind == TSimFault::Nak)
            nak = f;
    if (has(TSimFault::Nak)) {
        SendAck(true, nak.NakValue);
        return;
    }
    // Every write taken is carried out, also one identical to the one
    // before: telling a resend from a second command is the PC's part.
    Record('=', "done", Raw);
    WriteFrame(command, channel, payload, frame);
    if (has(TSimFault::NoAck))
        return;
    SendAck(false);
}

// The controller's command line: ">" prompts each line, "ver" names the
// firmware, a "LOAD" line is echoed and the lines after it are taken
// without a prompt until a Ctrl-Z, "run" starts the program loaded.
void TControllerSim::CommandLine(const std::string &Line) {
    Record('<', "line", Line);
    if (TakeFault(TSimFault::NoPrompt, frames::Printable(Line)))
        return;
    if (TSimFault late; TakeFault(TSimFault::LatePrompt, frames::Printable(Line), &late)) {
        late.Kind = TSimFault::DelayByte; // the prompt is the answer's last byte
        FCurrent.push_back(late);
    }
    std::string text = Trim(Line);
    if (Line.find(char(frames::CtrlZ)) != std::string::npos) {
        FLoading = false;
        Send("\r\n>", "line");
        return;
    }
    if (FLoading) {
        FProgram.push_back(text);
        return;
    }
    if (SameText(text, "RUN")) {
        LoadedVersions();
        ProgramRunning = true;
        Send(Banner + "\r\n", "line");
        return;
    }
    if (SameText(text, "ver")) {
        std::string version = VersionText.rfind("vn", 0) == 0 ? VersionText.substr(2) : VersionText;
        Send("MINT " + version + "\r\n>", "line");
        return;
    }
    if (UpperCase(text).find("LOAD") != std::string::npos) {
        FLoading = true;
        Send(UpperCase(text) + "\r\n", "line");
        return;
    }
    if (!text.empty())
        FProgram.push_back(text);
    Send("\r\n>", "line");
}

// "comms(31) = 4" in the program loaded: the version entries it sets.
void TControllerSim::LoadedVersions() {
    for (const std::string &line : FProgram) {
        std::string upper = UpperCase(line);
        for (int index : {31, 32}) {
            if (upper.find("COMMS(" + IntToStr(index) + ")") == std::string::npos)
                continue;
            size_t eq = upper.find('=');
            if (eq == std::string::npos)
                continue;
            SetCommsValue(index, Number(Trim(upper.substr(eq + 1))));
        }
    }
}

// ---------------------------------------------------------------- commands

void TControllerSim::WriteFrame(const std::string &Command, int Channel, const std::string &Payload,
                                const std::string &Raw) {
    std::vector<std::string> f = Split(Payload);
    double x, y, z;
    Position(x, y, z);
    if (TakeFault(TSimFault::GuardBlip, frames::Printable(Raw))) {
        OpenGuard();
        FGuardCloseOnStop = true;
    }
    if (Command == "MB" && f.size() == 2) {
        int index = int(Number(f[0]));
        double value = Number(f[1]);
        if (index < 0 || index > 99)
            return;
        {
            std::lock_guard lock(FLock);
            FComms[index] = value;
        }
        if (index == 1 && value != 0) {
            int code = int(CommsValue(18));
            TSimFault never;
            bool neverDone = int(value) == 18 && TakeFault(TSimFault::MCodeNeverDone,
                                                           "M" + IntToStr(code) + "|", &never);
            if (!neverDone)
                FClearAt = Now() + ClearDelayMs;
        }
        if (TakeFault(TSimFault::GuardOpen, frames::Printable(Raw)))
            OpenGuard();
    } else if (Command == "M3" && Channel == 0) {
        ProgramRunning = false; // the program breaks to the command line
    } else if (Command == "ST") {
        StartMotion(x, y, z, 0);
        if (FGuardCloseOnStop) {
            FGuardCloseOnStop = false;
            SetCommsValue(19, 1);
            SetCommsValue(99, 19);
            Announce();
        }
    } else if (Command == "HS" && !f.empty()) {
        FHomeFeed = std::max(1.0, Number(f[0]));
    } else if (Command == "HM" && Channel >= 0 && Channel <= 2) {
        double to[3] = {x, y, z};
        to[Channel] = 0;
        StartMotion(to[0], to[1], to[2], FHomeFeed);
    } else if ((Command == "MA" || Command == "VA") && Channel == 6 && f.size() == 3) {
        StartMotion(Number(f[0]), Number(f[1]), Number(f[2]), CommsValue(3));
    } else if ((Command == "MA" || Command == "MR") && Channel >= 0 && Channel <= 2 && !f.empty()) {
        double to[3] = {x, y, z};
        to[Channel] = Command == "MA" ? Number(f[0]) : to[Channel] + Number(f[0]);
        StartMotion(to[0], to[1], to[2], CommsValue(3));
    } else if (Command == "CA" && Channel == 3 && f.size() == 3) {
        double cx = Number(f[0]), cy = Number(f[1]), a = Number(f[2]) * Pi / 180;
        double ex = cx + (x - cx) * std::cos(a) - (y - cy) * std::sin(a);
        double ey = cy + (x - cx) * std::sin(a) + (y - cy) * std::cos(a);
        double r = std::hypot(x - cx, y - cy);
        StartMotion(std::round(ex), std::round(ey), z, CommsValue(3));
        // The path is the arc, not the chord.
        double length = r * std::fabs(a);
        double feed = std::max(1.0, CommsValue(3));
        FMotionMs = length / feed * 1000 / SpeedUp;
    }
}

void TControllerSim::OpenGuard() {
    SetCommsValue(19, 0);
    SetCommsValue(99, 19);
    FGuardUnread = true;
    Announce();
}

void TControllerSim::ReadRequest(const std::string &Command, int Channel,
                                 const std::string &Payload) {
    if (Command == "ZZ") {
        double x, y, z;
        int64_t now = Now();
        Position(x, y, z, now);
        bool idle = !Moving(now);
        std::string i = idle ? "1" : "0";
        SendReply("zz" + IntToStr(std::llround(x)) + "," + IntToStr(std::llround(y)) + "," +
                  IntToStr(std::llround(z)) + "," + i + "," + i + "," + i + ",0,0,0," +
                  InputField(0) + ",0,0,0," + InputField(1) + "," + InputField(2) + "," +
                  InputField(3));
    } else if (Command == "MB") {
        int32_t index = -1;
        if (!TryStrToInt(Payload, index) || index < 0 || index > 99) {
            SendReply("erbad index " + Payload);
            return;
        }
        if (index == 19)
            FGuardUnread = false;
        SendReply("mb" + FloatToStr(CommsValue(index)));
    } else if (Command == "VN") {
        SendReply(VersionText);
    } else {
        SendReply("erunknown " + Command);
    }
}

void TControllerSim::Timers() {
    std::vector<std::pair<int, double>> changes;
    {
        std::lock_guard lock(FLock);
        changes.swap(FChanges);
    }
    for (const auto &[index, value] : changes) {
        SetCommsValue(index, value);
        SetCommsValue(99, index);
        Announce();
    }
    int64_t now = Now();
    if (FClearAt >= 0 && now >= FClearAt && !FGuardUnread) {
        FClearAt = -1;
        SetCommsValue(1, 0);
        SetCommsValue(99, 1);
        Announce();
    }
    for (size_t i = 0; i < FLater.size();) {
        if (now >= FLater[i].At) {
            TLater l = FLater[i];
            FLater.erase(FLater.begin() + long(i));
            Send(l.Bytes, l.Kind);
        } else
            ++i;
    }
    int64_t next = INT64_MAX;
    for (const TLater &l : FLater)
        next = std::min(next, l.At);
    FNextDue = next;
}

// ---------------------------------------------------------------- motion

void TControllerSim::StartMotion(double X, double Y, double Z, double Feed) {
    double x, y, z;
    Position(x, y, z);
    if (EStopped)
        X = x, Y = y, Z = z; // an emergency stop holds the axes
    FAxis[0] = {x, X};
    FAxis[1] = {y, Y};
    FAxis[2] = {z, Z};
    FMotionStart = Now();
    double d = std::max({std::fabs(X - x), std::fabs(Y - y), std::fabs(Z - z)});
    FMotionMs = Feed > 0 ? d / Feed * 1000 / SpeedUp : 0;
}

void TControllerSim::Position(double &X, double &Y, double &Z, int64_t At) const {
    double t = FMotionMs <= 0 ? 1 : std::min(1.0, double(At - FMotionStart) / FMotionMs);
    X = FAxis[0].From + (FAxis[0].To - FAxis[0].From) * t;
    Y = FAxis[1].From + (FAxis[1].To - FAxis[1].From) * t;
    Z = FAxis[2].From + (FAxis[2].To - FAxis[2].From) * t;
}

std::string TControllerSim::InputField(int Group) const {
    return IntToStr((FInputs.load() >> (8 * Group)) & 0xFF);
}

bool TControllerSim::Moving(int64_t At) const {
    return FMotionMs > 0 && At - FMotionStart < FMotionMs;
}

uint8_t TControllerSim::StatusBits() const {
    return uint8_t((Moving() ? MovingBits : IdleBits) | (EStopped ? StoppedBit : 0));
}

// ---------------------------------------------------------------- output

void TControllerSim::SendAck(bool Nak, int NakValue) {
    uint8_t b = Nak ? uint8_t(NakValue) : uint8_t(0x80 | StatusBits());
    std::string bytes(1, char(b));
    for (const TSimFault &f : FCurrent) {
        if (f.Kind == TSimFault::LateDuplicateAck && !Nak) {
            if (f.DelayMs < 0)
                FHeldAck = bytes;
            else
                Later(Now() + f.DelayMs, bytes, "ack");
        }
    }
    Send(bytes, Nak ? "nak" : "ack");
}

void TControllerSim::SendReply(const std::string &Text) {
    std::string reply = frames::Reply(Text);
    for (const TSimFault &f : FCurrent) {
        if (f.Kind == TSimFault::BadCheck)
            reply.back() = char(reply.back() ^ 0x01);
        if (f.Kind == TSimFault::StatusBeforeCheck)
            reply.insert(reply.size() - 1, 1, char(0xC0 | StatusBits()));
    }
    Send(reply, "reply");
}

void TControllerSim::Announce() {
    Send(std::string(1, char(0xE0 | StatusBits())), "status");
}

void TControllerSim::Send(const std::string &Bytes, const std::string &Kind) {
    std::string out = Bytes;
    for (auto it = FCurrent.begin(); it != FCurrent.end();) {
        bool used = true;
        if (it->Kind == TSimFault::DropByte && !out.empty())
            out.erase(out.size() / 2, 1);
        else if (it->Kind == TSimFault::GarbleAnswer && !out.empty())
            out[out.size() / 2] = char(out[out.size() / 2] ^ 0x01);
        else if (it->Kind == TSimFault::DelayByte && out.size() > 1) {
            Later(Now() + it->DelayMs, out.substr(out.size() - 1), Kind);
            out.pop_back();
        } else
            used = false;
        it = used ? FCurrent.erase(it) : it + 1;
    }
    if (Silent)
        return;
    if (!FPrefix.empty())
        Record('>', "ack", FPrefix);
    Record('>', Kind, out);
    out = FPrefix + out;
    FPrefix.clear();
    size_t done = 0;
    while (done < out.size() && !FStop) {
        ssize_t n = ::write(FMaster, out.data() + done, out.size() - done);
        if (n > 0)
            done += size_t(n);
        else if (errno != EAGAIN && errno != EINTR)
            break;
        else {
            pollfd p{FMaster, POLLOUT, 0};
            ::poll(&p, 1, 1);
        }
    }
    FBytesOut += done;
    if (PaceBaud > 0)
        std::this_thread::sleep_for(
            std::chrono::microseconds(int64_t(done) * 11 * 1000000 / PaceBaud));
}

} // namespace orv
