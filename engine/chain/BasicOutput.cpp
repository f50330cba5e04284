#include "engine/chain/BasicOutput.h"

#include "engine/core/DIniFile.h"
#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <deque>

namespace orv {

namespace {

// Notifications waiting for the one being served to return. A sink that is
// destroyed while queued is dropped from the queue (see ~TBasicOutput).
struct TPendingNotify {
    TBasicOutput *Sink = nullptr; // fire this sink's current OnNextNotify
    std::function<void()> Call;   // or this
};

struct TNotifyPump {
    bool Serving = false;
    std::deque<TPendingNotify> Pending;
};

TNotifyPump &Pump()
{
    static thread_local TNotifyPump Instance;
    return Instance;
}

// Serves queued notifications until none is left; the flag is cleared and
// the queue emptied also when a handler throws.
void ServePending(TNotifyPump &P)
{
    struct TGuard {
        TNotifyPump &P;
        ~TGuard()
        {
            P.Serving = false;
            P.Pending.clear();
        }
    } Guard{P};
    P.Serving = true;
    while (!P.Pending.empty()) {
        TPendingNotify Next = std::move(P.Pending.front());
        P.Pending.pop_front();
        if (Next.Sink && Next.Sink->OnNextNotify) {
            // A copy: the handler may free the sink and with it the event.
            const TOutputNotifyEvent Handler = Next.Sink->OnNextNotify;
            Handler(Next.Sink);
        } else if (Next.Call)
            Next.Call();
    }
}

void Enqueue(TPendingNotify Entry)
{
    TNotifyPump &P = Pump();
    P.Pending.push_back(std::move(Entry));
    if (!P.Serving)
        ServePending(P);
}

} // namespace

void RunNextNotify(std::function<void()> Notify)
{
    if (Notify)
        Enqueue({nullptr, std::move(Notify)});
}

TBasicOutput::TBasicOutput() = default;

TBasicOutput::~TBasicOutput()
{
    for (TPendingNotify &Entry : Pump().Pending) {
        if (Entry.Sink == this)
            Entry.Sink = nullptr;
    }
}

void TBasicOutput::SetUnits(TUnits NewUnits)
{
    Units = NewUnits;
    Decimals = NewUnits == Inch ? 4 : 3;
}

void TBasicOutput::Dwell(double Milliseconds)
{
    const int Ms = Round(Milliseconds, 0);
    if (Ms <= 0 || Dwelling())
        return;
    DwellTimer = std::make_unique<TTimer>();
    DwellTimer->SetInterval(Ms);
    bool Done = false;
    DwellTimer->OnTimer = [this, &Done] {
        DwellTimer->SetEnabled(false);
        Done = true;
    };
    DwellTimer->SetEnabled(true);
    // Stopped also ends the wait: a long dwell must not hold a stopped run.
    // The timer and the stop each come as a message: the wait sleeps in the
    // event loop between them.
    while (!Done && !Stopped)
        EventLoop().WaitForMessages();
    DwellTimer.reset();
}

void TBasicOutput::DoMove(TCNC_data &Data)
{
    switch (Data.Motion) {
    case 0:
        RapidMove(Data.X, Data.Y, Data.Z);
        break;
    case 1:
        LinearMove(Data.X, Data.Y, Data.Z);
        break;
    case 2:
    case 3:
        ArcMove(Data.X, Data.Y, Data.Z, Data.I, Data.J, Data.K, Data.Sweep, Data.Radius);
        break;
    case 4:
        Dwell(Data.X);
        break; // the dwell time in ms travels in X
    case 28:
        HomeMove(Data.X, Data.Y, Data.Z);
        break;
    default:
        break;
    }
}

bool TBasicOutput::ProcessData(TCNC_data &Data)
{
    ToolChange(Data);
    MCodeHook(Data.MCode);
    SpindleChange(Data);
    FeedChange(Data);
    DoMove(Data);
    MCodeHook(Data.MCode);
    return Data.Motion != EndOfProgramCode;
}

void TBasicOutput::Execute(TCNC_data &Data)
{
    const bool Ok = ProcessData(Data);
    if (Ok)
        NotifyNext();
    // The record is shared: the sinks after this one see "nothing to do".
    if (Data.Motion == EndOfProgramCode && RunState == csStopped)
        Data.Motion = NoMoveCode;
}

void TBasicOutput::Start()
{
    NotifyNext();
}

void TBasicOutput::SetBillet(double XPos, double YPos, double XSize, double YSize, double ZSize)
{
    BilletXPos = XPos;
    BilletYPos = YPos;
    BilletXSize = XSize;
    BilletYSize = YSize;
    BilletZSize = ZSize;
}

void TBasicOutput::ClampToLimits(double &X, double &Y, double &Z) const
{
    if (X > MaterialMaximum.X)
        X = MaterialMaximum.X;
    if (Y > MaterialMaximum.Y)
        Y = MaterialMaximum.Y;
    if (Z > MaterialMaximum.Z)
        Z = MaterialMaximum.Z;
}

void TBasicOutput::NotifyNext()
{
    if (OnNextNotify)
        Enqueue({this, {}});
}

void TBasicOutput::FillUnprogrammed(double &X, double &Y, double &Z, double LastX, double LastY,
                                    double LastZ)
{
    if (X == NoValue)
        X = LastX;
    if (Y == NoValue)
        Y = LastY;
    if (Z == NoValue)
        Z = LastZ;
}

void TBasicOutput::FinishRecord(TCNC_data &Data)
{
    if (Data.Motion != EndOfProgramCode && !Stopped)
        NotifyNext();
    if (Data.Motion == EndOfProgramCode && Stopped)
        Data.Motion = NoMoveCode;
}

bool TBasicOutput::AskForMissingTool(int Tool, const char *LineBreak)
{
    constexpr int MessageNoValidTool = 40;    // "Failed to Find a valid Tool-"
    constexpr int MessageEditToolingNow = 41; // "Edit Tooling Now"
    const std::string text = Mess().MessageText(MessageNoValidTool) + IntToStr(Tool) + LineBreak +
                             Mess().MessageText(MessageEditToolingNow);
    if (MessageDlg("", text, mtInformation, mbYesNo) != mrYes)
        return false;
    if (OnNeedsToolPage)
        OnNeedsToolPage(this);
    return true;
}

bool TBasicOutput::ExecuteSaveDialog(const std::string &FolderKey, const std::string &DefaultExt,
                                     const std::string &Filter, std::string &FileName) const
{
    TDIniFile settings(MainIniPath());
    TFileRequest request;
    request.Kind = TFileDialogKind::Save;
    request.InitialDir = settings.ReadString("directories", FolderKey, ExeFolder());
    request.DefaultExt = DefaultExt;
    request.Filter = Mess().Translate(Filter);
    const std::optional<std::string> chosen = Messages().ChooseFile(request);
    if (!chosen || chosen->empty())
        return false;
    settings.WriteString("directories", FolderKey, ExtractFilePath(*chosen));
    FileName = *chosen;
    return true;
}

} // namespace orv
