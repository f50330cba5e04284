#pragma once
// Tarnwick as its user drives it: the real main window started through its
// main routine on a copy of data/ in a folder of the test's own, driven only
// through the window system's input (mouse presses and releases at the
// drawn positions, keys to the focused window, the frame's close), with the
// modal windows it opens answered the same way. The checker asserts what
// the user sees of a window: shown, inside the MDI area, not below its
// minimum size, every button of it visible and inside it.
//
// UserWindows() lists every window the main window can open, each with the
// way a user opens and closes it; window tests of any kind (fit, language,
// ...) walk that one list.
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"
#include "platform/ui/QtMessageService.h"

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QStyle>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QMdiSubWindow;
class QMenu;
class QWidget;

namespace orv {

class TMainForm;
class TTarnwickApp;
class TToolbarButton;

namespace test {

// The program's loop on the test clock: Qt's own events (input, painting,
// Qt timers) are served at every turn, as the program's loop serves them,
// and the clock moves by StepMs.
class TUserLoop : public TTestEventLoop {
public:
    void ProcessMessages() override;
    void WaitForMessages() override;
    // Runs before each turn (a device simulator catching up with the clock).
    std::function<void()> BeforeTurn;
};

class TarnwickUser : public ::testing::Test {
public:
    TarnwickUser();
    ~TarnwickUser() override;

    // Starts Tarnwick as "Tarnwick Args..." in the data folder, its main
    // window Size large, shown and active (the seat of the smoke test is
    // 1280 x 1024). An invalid Size keeps the size the program gives it.
    void Start(std::vector<std::string> Args = {"programs/demo.fnc"}, QSize Size = {1280, 1000});
    TMainForm &Form() const;
    bool Started() const { return App != nullptr; }
    // The main routine returns (its main window closed): the program goes.
    void EndProgram();

    // --- Input through the window system ---------------------------------
    // A press and release of Button at At in Target's coordinates (default:
    // its centre), delivered to Target's window as the window system
    // delivers it. Fails the test when another widget covers the spot.
    void Click(QWidget *Target, QPoint At = QPoint(-1, -1), Qt::MouseButton Button = Qt::LeftButton,
               Qt::KeyboardModifiers Modifiers = Qt::NoModifier);
    void DoubleClick(QWidget *Target, QPoint At = QPoint(-1, -1));
    // A drag with the left button held from From to To (Target's coordinates).
    void Drag(QWidget *Target, QPoint From, QPoint To);
    // The right button pressed and released: the context-menu event comes
    // from the window system's press, as on the desktop.
    void RightClick(QWidget *Target, QPoint At = QPoint(-1, -1));
    // A key to the window that has the focus (the active popup or modal
    // window first).
    void Key(int QtKey, Qt::KeyboardModifiers Modifiers = Qt::NoModifier);
    // Files dragged from the desktop and dropped at At on Target: the drag's
    // enter, move and drop go to the widget under the spot and up to the
    // first that takes them, as the window system's drag delivers them.
    void DropFiles(const QStringList &Paths, QWidget *Target, QPoint At = QPoint(-1, -1));
    void Type(const QString &Text);

    // The main window's toolbar button whose caption (without "&") or
    // object name is Name, clicked at its drawn centre.
    TToolbarButton *ToolbarButton(const QString &Name) const;
    void ClickToolbarButton(const QString &Name, Qt::MouseButton Button = Qt::LeftButton);
    // A menu of the main window's bar opened by its accelerator (Alt and
    // its hot key) or, with ByMouse, by a click on its title; then each item
    // of Path after the first clicked in the popup that opens (captions
    // without "&"). {"File", "Source", "Fanuc 21i"}.
    void ChooseMenu(const QStringList &Path, bool ByMouse = false);
    // "Select Language" chosen from Menu (the Setup menu's item, its captions
    // in the language in use), the language of that number picked in its
    // tree and confirmed; false when the dialog never came.
    bool SelectLanguageFrom(int Language, const QStringList &Menu, bool ByMouse);
    // The items of Path clicked in Popup, an open popup menu.
    void PickFromPopup(QMenu *Popup, const QStringList &Path);
    // The popup open now (a context menu or a menu), or null.
    QMenu *OpenPopup() const;
    // Closes Window as its user does through its frame: the close button of
    // an MDI child's title bar, the window manager's close of a top-level
    // window.
    void CloseByFrame(QWidget *Window);
    // A button of an MDI child's title bar (SC_TitleBarCloseButton,
    // SC_TitleBarMinButton ...) where its style draws it, in the frame's
    // pixels; empty when the frame has none.
    static QRect TitleBarButton(QWidget *Window, QStyle::SubControl Button);
    void ClickTitleBarButton(QWidget *Window, QStyle::SubControl Button);

    // --- Time and modal windows ------------------------------------------
    // Serves messages while the test clock moves on by Ms.
    void Serve(int64_t Ms = 10);
    // Runs Action once the test clock has moved on by Ms: also during a run,
    // whose waits serve messages (a click inside a run goes there).
    void At(int64_t Ms, std::function<void()> Action);
    // Serves messages until Done, at most LimitMs of the test clock.
    bool WaitFor(const std::function<bool()> &Done, int64_t LimitMs = 5000);
    // Handle runs with the next modal window (a dialog, a message box, or a
    // menu run in a loop of its own) once it shows, inside its loop; it
    // answers it through real input. A modal window with no handler waiting
    // is recorded in Unexpected and cancelled, so a test never hangs on one.
    void WhenModal(std::function<void(QWidget &Window)> Handle);
    // A modal message box's button by its text (without "&"), clicked.
    void Answer(QWidget &Box, const QString &ButtonText);
    // Drops the handlers no modal window has taken (their window never came).
    void ForgetModalHandlers();
    // Serves messages until Shown (set by a WhenModal handler), at most
    // LimitMs of the test clock; when the window never came, its handler is
    // dropped so that it cannot take a later one. Returns Shown.
    bool WaitForModal(const bool &Shown, int64_t LimitMs);
    std::vector<std::string> Unexpected;
    // Answers of the file dialogs in order ("" cancels); every request is
    // kept in FileRequests. With no answer left a dialog is cancelled.
    std::deque<std::string> FileAnswers;
    std::vector<TFileRequest> FileRequests;

    // --- What the user sees ----------------------------------------------
    // The checker: Window is visible, lies inside the main window's MDI
    // area (a top-level window: on the screen), is not smaller than its
    // minimum size, and every button it owns is visible and inside it.
    void ExpectWindowFits(QWidget *Window);
    // The frame the user sees of Window: its MDI sub-window, or itself.
    static QWidget *Frame(QWidget *Window);
    // The visible MDI child whose title is Title, or null.
    QMdiSubWindow *MdiChild(const QString &Title) const;
    // The window a user reads as Title: an MDI child's content, or a
    // visible top-level window.
    QWidget *WindowTitled(const QString &Title) const;
    // The titles of the windows the user sees now (MDI children, then the
    // other top-level windows), for messages.
    std::string ShownWindows() const;

    TTempDir Dir;
    TUserLoop Loop;

protected:
    std::unique_ptr<TTarnwickApp> App;

private:
    class TModalWatch;
    class TFocusReturn;
    void ServeQtOnly();
    std::filesystem::path FPrevious;
    std::optional<std::string> FSessionBus; // the environment's, put back at the end
    TEventLoopScope FLoopScope{Loop};
    TQtMessageService FMessages;
    std::unique_ptr<TMessageServiceScope> FMessageScope;
    std::unique_ptr<TModalWatch> FModalWatch;
    std::unique_ptr<TFocusReturn> FFocusReturn;
    std::vector<std::shared_ptr<TTimer>> FTimers;
};

// A window of the main window as its user reaches it. Visit opens it
// through real input, runs While with the window shown (for a modal dialog
// inside its loop) and closes it again as its user does.
// A caption as the user reads it: without its hot-key "&" and without the
// shortcut after a tab.
QString PlainCaption(QString Text);
// A caption shown reads as English (a caption without "&"): it is that
// text, or its translation in the language in use. A title may go on
// after it.
bool ReadsAs(const QString &Shown, const QString &English);
bool TitleReadsAs(const QString &Shown, const QString &English);

struct TUserWindow {
    std::string Name;
    // Settings the window needs before the start (may be empty).
    std::function<void(TarnwickUser &User)> Prepare;
    std::function<void(TarnwickUser &User, const std::function<void(QWidget &Window)> &While)>
        Visit;
    // The window draws with OpenGL: reached where a context can be made
    // (the suite's run under scripts/with-xvfb.sh).
    bool NeedsOpenGL = false;
};
const std::vector<TUserWindow> &UserWindows();
// True when an OpenGL context can be made here.
bool OpenGLAvailable();
void PrintTo(const TUserWindow &Window, std::ostream *Out);

} // namespace test
} // namespace orv
