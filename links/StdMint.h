#pragma once
// The command-line loader: when the controller program does not answer the
// framed protocol, its text command line takes the program file line by
// line (19200 baud, 8N1, no handshaking), then "RUN" starts it. Pauses run
// on the event loop's clock.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TCommPortDriver;

// The lines of a controller program file, CR LF or LF; false when it
// cannot be read.
bool ReadProgramLines(const std::string &FileName, std::vector<std::string> &Lines);
class TProgressView;

class TStdMint {
public:
    // Pauses 1 s (the controller settles after the framed port closed).
    TStdMint();
    virtual ~TStdMint();

    // Sends "ver" and, when the controller's prompt ">" comes within
    // 150 ms, the program file: empty lines skipped, a "|" line as a lone
    // Ctrl-Z followed by 1.5 s, other lines followed by LineDelay ms until a
    // line holding "328" has gone; then an empty line, "RUN" and 6.5 s.
    // False when the port does not open, the prompt does not come or the
    // file cannot be read.
    bool Download(int Port, const std::string &FileName);

    int LineDelay = 50; // ms
    std::string SettingsFile;
    std::function<std::unique_ptr<TProgressView>()> ProgressFactory;
    TCommPortDriver &Driver() { return *FDriver; }

protected:
    // Pauses PauseMs first.
    explicit TStdMint(int PauseMs);
    // The port seams of a loader over another driver: open the port at
    // 19200 baud with the prompt watcher bound, tell whether it is open,
    // send a line (LF added) and wait Ms while the port is read.
    virtual bool OpenPort(int Port);
    virtual bool PortOpen() const;
    virtual void SendText(const std::string &Line);
    virtual void Wait(int Ms);
    // The prompt watcher: ">" from the command line.
    void Received(const uint8_t *Data, size_t Size);

private:
    bool SendFile(const std::string &FileName);
    void SendLine(const std::string &Text);

    std::unique_ptr<TCommPortDriver> FDriver;
    bool FPromptSeen = false;
    std::string FReceived;
};

} // namespace orv
