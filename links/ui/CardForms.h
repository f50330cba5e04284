#pragma once
// The motion cards' windows: the splash shown while the first card is
// prepared (TMintSplash: "Please Wait . . .", "Initialising controller
// . . ." and the step in DoingWhat) and the trace window of the newer card
// ("Next Step DEBUG": the log Memo, cleared past 300 lines, and "Capture
// -->" copying it into Memo1).

#include "links/LinkViews.h"

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace orv {

class TMintSplash : public QWidget, public TCardSplashView {
public:
    explicit TMintSplash(QWidget *Parent = nullptr);
    void SetStatus(const std::string &Text) override;
    QLabel *DoingWhat = nullptr;
};

class TNextStepdebug : public QWidget, public TCardTraceView {
public:
    static constexpr int MaxLines = 300;
    explicit TNextStepdebug(QWidget *Parent = nullptr);
    void Trace(const std::string &Line) override;

    QPlainTextEdit *Memo = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *CaptureButton = nullptr; // "Capture -->"
    // The three counters ("Buffer Free Size:", "Buffer Low Events:",
    // "Buffer Full Events:"); EventCount shows in the second.
    QLabel *Counters[3] = {};
    void SetEventCount(int Count);
};

} // namespace orv
