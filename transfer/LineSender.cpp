#include "transfer/LineSender.h"

#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "transfer/TransferPort.h"

namespace orv {

bool TLineSender::SendLine(const std::string &Line) {
    std::string cased = CasedLine(Line, FOptions);
    if (OnSending)
        OnSending(cased);
    auto wire = WireText(cased, FOptions);
    if (!wire)
        return false;
    TSendOutcome out = FPort.SendString(*wire);
    if (out.Status == TSendStatus::Stalled) {
        FEnd = TSendEnd::Stalled;
    } else if (out.Status == TSendStatus::Lost || out.Status == TSendStatus::Closed) {
        // A port closed under the send (Stop) is a cancel, not a loss.
        if (out.Status == TSendStatus::Closed && Cancelled())
            return false;
        FEnd = TSendEnd::Lost;
        FReason = out.Status == TSendStatus::Closed ? "the port is closed" : out.Reason;
    }
    return FEnd == TSendEnd::Completed;
}

TSendEnd TLineSender::Run() {
    FEnd = TSendEnd::Completed;
    FLine = 0;
    int sent = 0;
    std::string line;
    bool last = false;
    while (!Cancelled()) {
        line.clear();
        last = !GetNextLine(line);
        ++FLine;
        if (last)
            break;
        sent += int(line.size());
        if (OnSent)
            OnSent(sent);
        bool went = SendLine(line);
        if (FEnd != TSendEnd::Completed)
            return FEnd;
        EventLoop().ProcessMessages();
        if (EventLoop().KeyDown(VK_ESCAPE) && Cancel)
            *Cancel = true;
        if (LineByLine && went && !Cancelled() &&
            MessageDlg("Confirm", "Press OK to send next line", mtConfirmation, mbOKCancel) !=
                mrOk &&
            Cancel)
            *Cancel = true;
    }
    if (Cancelled())
        return FEnd = TSendEnd::Cancelled;
    SendLine(line);
    if (FEnd == TSendEnd::Completed)
        EventLoop().ProcessMessages();
    return FEnd;
}

std::string TLineSender::EndMessage() const {
    switch (FEnd) {
    case TSendEnd::Completed:
        return "";
    case TSendEnd::Cancelled:
        return "Data transfer cancelled by user !";
    case TSendEnd::Stalled:
        return "Data transfer stopped at line " + std::to_string(FLine) +
               ": the COM port takes no data !";
    case TSendEnd::Lost:
        return "COM port lost: " + FReason + " !";
    }
    return "";
}

} // namespace orv
