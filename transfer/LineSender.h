#pragma once
// Sends an editor's lines to the port, all at once or with a confirmation
// after each line that went out. The message queue is served after every
// line, so Stop and Escape (the cancel flag) take effect between lines. A
// line the port does not take within its time-out, or a port that fails,
// stops the send with a message naming the line or the system's reason.

#include "transfer/SendFilter.h"

#include <functional>
#include <string>

namespace orv {

class TTransferPort;

enum class TSendEnd { Completed, Cancelled, Stalled, Lost };

class TLineSender {
public:
    TLineSender(TTransferPort &Port, const TSendOptions &Options)
        : FPort(Port), FOptions(Options) {}

    // Next line (8-bit); false with the last one (TInputWin.GetNextLine).
    std::function<bool(std::string &Line)> GetNextLine;
    // The cased line shown in the "Sending" panel.
    std::function<void(const std::string &Line)> OnSending;
    // Characters of the lines taken so far ("Sent").
    std::function<void(int Sent)> OnSent;

    bool LineByLine = false;
    // Set by Stop or Escape; a declined confirmation sets it too.
    bool *Cancel = nullptr;

    TSendEnd Run();
    // The message for the end ("" when completed): "Data transfer cancelled
    // by user !", "Data transfer stopped at line N: the COM port takes no
    // data !" or "COM port lost: <reason> !".
    std::string EndMessage() const;
    // Line (from 1) where a Stalled or Lost send stopped.
    int StoppedAtLine() const { return FLine; }

    // Sends one line through the filter; true when it went to the port.
    bool SendLine(const std::string &Line);

private:
    bool Cancelled() const { return Cancel && *Cancel; }
    TTransferPort &FPort;
    TSendOptions FOptions;
    TSendEnd FEnd = TSendEnd::Completed;
    int FLine = 0;
    std::string FReason;
};

} // namespace orv
