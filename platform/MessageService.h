#pragma once
// Message boxes, questions, input prompts and file choices of the whole
// suite go through one service. The program installs a service that shows
// them; tests install TScriptedMessages, which answers from a script and
// records every request. With no answer left, a question takes its default.

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace orv {

// Dialog types as the numbered message boxes pass them: 0 warning, 1 error,
// 2 information, 3 confirmation, 4 custom.
enum TMsgDlgType { mtWarning = 0, mtError, mtInformation, mtConfirmation, mtCustom };

// Button set bits.
enum TMsgDlgBtn : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbAll = 1u << 7,
    mbNoToAll = 1u << 8,
    mbYesToAll = 1u << 9,
    mbHelp = 1u << 10,
};
constexpr unsigned mbYesNo = mbYes | mbNo;
constexpr unsigned mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr unsigned mbOKCancel = mbOK | mbCancel;

// Modal results (6 is Yes, as callers compare with the number).
enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

struct TMessageRequest {
    std::string Caption;
    std::string Text;
    int Type = mtInformation;
    unsigned Buttons = mbOK;
    int DefaultResult = mrNone; // mrNone: the first of OK, Yes, Retry, Ignore, No, Cancel present
};

// The result a request gets when nobody answers it.
int DefaultAnswer(const TMessageRequest &Request);

// Folder: a folder is chosen (the browser titled Title, starting in InitialDir).
enum class TFileDialogKind { Open, Save, Folder };

struct TFileRequest {
    TFileDialogKind Kind = TFileDialogKind::Open;
    std::string Title;
    std::string Filter; // "NC files (*.fnc)|*.fnc|All files (*.*)|*.*"
    std::string InitialDir;
    std::string FileName;
    std::string DefaultExt;
    // An NC program is asked for: the dialog previews the picture kept
    // beside the selected file, where the service has such a dialog.
    bool ProgramPreview = false;
};

class TMessageService {
public:
    virtual ~TMessageService() = default;
    // Shows a message box; returns the modal result.
    virtual int Show(const TMessageRequest &Request) = 0;
    // Asks for one line of text; false when cancelled.
    virtual bool InputQuery(const std::string &Caption, const std::string &Prompt, std::string &Value) = 0;
    // Asks for a file; empty when cancelled.
    virtual std::optional<std::string> ChooseFile(const TFileRequest &Request) = 0;
};

// The installed service (a headless one that answers with defaults and
// writes to standard error until the program or a test installs another).
TMessageService &Messages();
void SetMessageService(TMessageService *Service);

// Shorthand: a message box with a caption, text, type and buttons.
int MessageDlg(const std::string &Caption, const std::string &Text, int Type, unsigned Buttons,
               int DefaultResult = mrNone);
void ShowMessage(const std::string &Text);

// One recorded request of TScriptedMessages.
struct TRecordedMessage {
    std::string Kind; // "message", "input", "file"
    std::string Caption;
    std::string Text;
    unsigned Buttons = 0;
    std::string Answer; // the result number, the text given, or the file chosen
};

// Test double: answers from a script, records everything. A scripted
// answer is a text: for a message the result number ("6") or a name ("Yes",
// "No", "OK", "Cancel"); for an input the text ("" with Cancel: "\x1b");
// for a file the path ("" cancels).
class TScriptedMessages : public TMessageService {
public:
    void Answer(const std::string &Text) { FAnswers.push_back(Text); }
    const std::vector<TRecordedMessage> &Log() const { return FLog; }
    void ClearLog() { FLog.clear(); }
    size_t AnswersLeft() const { return FAnswers.size(); }

    int Show(const TMessageRequest &Request) override;
    bool InputQuery(const std::string &Caption, const std::string &Prompt, std::string &Value) override;
    std::optional<std::string> ChooseFile(const TFileRequest &Request) override;

private:
    std::optional<std::string> NextAnswer();
    std::deque<std::string> FAnswers;
    std::vector<TRecordedMessage> FLog;
};

// Installs a service for the lifetime of a scope, then puts the previous back.
class TMessageServiceScope {
public:
    explicit TMessageServiceScope(TMessageService &Service);
    ~TMessageServiceScope();
    TMessageServiceScope(const TMessageServiceScope &) = delete;
    TMessageServiceScope &operator=(const TMessageServiceScope &) = delete;

private:
    TMessageService *FPrevious;
};

} // namespace orv
