#pragma once
// The debug windows of the queued controller ("LowLevelNewDebugForm") and
// the router box ("QuorelDebugForm"): the frames or lines sent, the
// answers received (each list cleared when it passes 800 lines), a copy of
// the received list, and a command line whose text "Send  ->" or Enter
// hands to the controller. The program's factories show them and keep
// their position between sessions.

#include "links/LinkViews.h"

#include <QWidget>

#include <string>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace orv {

class TLineDebugForm : public QWidget, public TLineDebugView {
public:
    static constexpr int MaxLines = 800;

    TLineDebugForm(const std::string &Caption, const std::string &ClassName,
                   QWidget *Parent = nullptr);
    ~TLineDebugForm() override;

    void AddSent(const std::string &Line) override;
    void AddReceived(const std::string &Line) override;

    QPlainTextEdit *SentMemo = nullptr;
    QPlainTextEdit *ReceiveMemo = nullptr;
    QPlainTextEdit *Capture = nullptr;
    QLineEdit *CommandLine = nullptr;
    QPushButton *Button1 = nullptr; // "Send  ->"
    QPushButton *Button2 = nullptr; // "Capture Receive"

    // The form's class, the name its position is kept under.
    const std::string &ClassName() const { return FClassName; }

private:
    void SendCommand();
    std::string FClassName;
};

class TLowLevelNewDebugForm : public TLineDebugForm {
public:
    explicit TLowLevelNewDebugForm(QWidget *Parent = nullptr)
        : TLineDebugForm("LowLevelNewDebugForm", "TLowLevelNewDebugForm", Parent) {}
};

class TQuorelDebugForm : public TLineDebugForm {
public:
    explicit TQuorelDebugForm(QWidget *Parent = nullptr)
        : TLineDebugForm("QuorelDebugForm", "TQuorelDebugForm", Parent) {}
};

// Installs the controllers' window factories of the program.
void InstallLinkViews();

} // namespace orv
