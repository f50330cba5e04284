#pragma once
// TInputWin: one of Rostrel's editor windows. It loads and saves a program,
// hands its text to the sender line by line, assembles received bytes into
// lines (a line the far side left without CR shows after 3 s and is named
// in the status line) and shows the sending and receiving colours.

#include "transfer/ReceiveAssembly.h"

#include <QWidget>

#include <functional>
#include <string>

class QLabel;
class QMenu;

namespace orv {

class TRichEditW;

class TInputWin : public QWidget {
    Q_OBJECT
public:
    explicit TInputWin(QWidget *Parent = nullptr);

    int WinId = 0;
    // Sum of the lengths of the editor's lines.
    int NumberOfChars() const;

    // Loads an existing file, its closing line break kept; "File open
    // error !" when it cannot be read.
    void LoadFile(const std::string &FileName);
    // Saves the lines (CR LF); an empty name or one holding "UNKNOWN" asks
    // for a name first. "Cannot save file: <name>" when it cannot be written.
    void SaveFile(const std::string &FileName);
    void ResetSendPosition();
    // The next CR-separated part of the text; false with the last one.
    bool GetNextLine(std::string &Line);
    void AppendReceived(const uint8_t *Data, int Size);
    // 0 sending, 1 receiving, 2 normal; other values change nothing.
    void SetEditorState(int State);
    int Dropped() const { return FAssembly.Dropped(); }

    TRichEditW *Editor() const { return FEditor; }
    QString Status() const;
    QMenu *PopUp() const { return FPopUp; }

    std::function<void(TInputWin *Sender)> OnSendClick;
    std::function<void(TInputWin *Sender)> OnReceiveClick;
    std::function<void(TInputWin *Sender)> OnReOpen;
    // Asked before the window closes; false keeps it open (a send in
    // progress from this window is stopped first and closes it afterwards).
    std::function<bool(TInputWin *Sender)> OnCloseQuery;
    std::function<void(TInputWin *Sender)> OnDestroyed;

    static const char *const Filter;

protected:
    void closeEvent(QCloseEvent *Event) override;

private:
    void FormCreate();
    void EditorSelectionChange();
    void AddReceivedLine(const std::string &Line, bool WithoutCR);
    void SetCaption(const std::string &Name);
    // The text ends in a line break (an empty last paragraph).
    bool EndsWithLineBreak() const;

    TRichEditW *FEditor;
    QLabel *FStatusBar1;
    QMenu *FPopUp;
    TReceiveAssembly FAssembly;
    size_t FSendPosition = 0;
    std::string FSendText;
};

} // namespace orv
