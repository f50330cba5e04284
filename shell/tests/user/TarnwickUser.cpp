#include "shell/tests/user/TarnwickUser.h"

#include "components/toolbar/ui/TbCtls.h"
#include "components/toolbar/ui/TbTlbr.h"
#include "components/toolbar/ui/TbTlwn.h"
#include "engine/core/Mess.h"
#include "localise/LxTextDictionary.h"
#include "localise/ui/LxLanguageDialog.h"
#include "platform/Paths.h"
#include "platform/ui/ColourDialog.h"
#include "shell/ui/TarnwickApp.h"
#include "shell/ui/main_form3_2.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QRegularExpression>
#include <QScreen>
#include <QStyleOptionTitleBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include <cstdlib>

namespace orv::test {

namespace {

QString Plain(QString Text)
{
    return PlainCaption(std::move(Text));
}

} // namespace

QString PlainCaption(QString Text)
{
    // "&&" stands for one "&"; a single "&" marks the hot key.
    Text.replace("&&", "\x01");
    Text.remove('&');
    Text.replace("\x01", "&");
    // A tab separates a shortcut's text.
    return Text.section('\t', 0, 0).trimmed();
}

// The program's dictionary in the language in use: a shown text reads as
// an English one when it is that text or its translation.
bool ReadsAs(const QString &Shown, const QString &English)
{
    const QString shown = Plain(Shown);
    if (shown == English)
        return true;
    const TLxTextDictionary &dictionary = Mess().Dictionary();
    if (!dictionary.Active())
        return false;
    for (int i = 0; i < dictionary.GetTranslationCount(); ++i) {
        const TLxTranslation &row = dictionary.Translation(i);
        if (row.State != 2 && Plain(QString::fromStdString(row.Translation)) == shown &&
            Plain(QString::fromStdString(row.Source)) == English)
            return true;
    }
    return false;
}

bool TitleReadsAs(const QString &Shown, const QString &English)
{
    const QString shown = Plain(Shown);
    return shown.startsWith(English) ||
           shown.startsWith(QString::fromStdString(Mess().Translate(English.toStdString())));
}

namespace {

std::string Describe(const QWidget *W)
{
    if (!W)
        return "(none)";
    QString text = W->metaObject()->className();
    if (!W->objectName().isEmpty())
        text += " " + W->objectName();
    if (auto *b = qobject_cast<const QAbstractButton *>(W))
        text += " \"" + b->text() + "\"";
    if (auto *b = qobject_cast<const TToolbarButton *>(W))
        text += " \"" + b->Caption() + "\"";
    if (W->isWindow() && !W->windowTitle().isEmpty())
        text += " [" + W->windowTitle() + "]";
    return text.toStdString();
}

std::string RectText(const QRect &R)
{
    return QString("(%1,%2 %3x%4)").arg(R.x()).arg(R.y()).arg(R.width()).arg(R.height()).toStdString();
}

// Buttons of the window the user can see and press.
bool IsButton(const QWidget *W)
{
    return qobject_cast<const QAbstractButton *>(W) || qobject_cast<const TToolbarButton *>(W);
}

} // namespace

bool OpenGLAvailable()
{
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    return context.create() && context.makeCurrent(&surface);
}

// --- Loop ---------------------------------------------------------------------

void TUserLoop::ProcessMessages()
{
    if (BeforeTurn)
        BeforeTurn();
    QCoreApplication::processEvents();
    TTestEventLoop::ProcessMessages();
}

// A wait for the operator (a tool put in) sees the user's input too.
void TUserLoop::WaitForMessages()
{
    QCoreApplication::processEvents();
    TTestEventLoop::WaitForMessages();
}

// --- Modal windows --------------------------------------------------------------

// Looks for a new modal window every few milliseconds of the real clock
// (a modal window runs Qt's own loop, which the test clock does not
// drive) and hands it to the next handler, outside the watch's own timer so
// that a handler's clicks may open the next modal window.
class TarnwickUser::TModalWatch : public QObject {
public:
    explicit TModalWatch(TarnwickUser &User) : FUser(User)
    {
        FTimer.setInterval(5);
        QObject::connect(&FTimer, &QTimer::timeout, this, [this] { Look(); });
        FTimer.start();
    }
    std::deque<std::function<void(QWidget &)>> Handlers;

private:
    void Look()
    {
        std::erase_if(FHandled, [](const QPointer<QWidget> &W) { return !W || !W->isVisible(); });
        QWidget *modal = RunningPopup();
        if (!modal)
            modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        for (const QPointer<QWidget> &w : FHandled)
            if (w == modal)
                return;
        FHandled.push_back(modal);
        std::function<void(QWidget &)> handle;
        if (!Handlers.empty()) {
            handle = std::move(Handlers.front());
            Handlers.pop_front();
        } else {
            handle = [this](QWidget &W) { Refuse(W); };
        }
        QPointer<QWidget> window = modal;
        QTimer::singleShot(0, this, [window, handle] {
            if (window)
                handle(*window);
        });
    }
    // A popup menu that runs a loop of its own (QMenu::exec): the loops
    // running are more than the modal windows open.
    QWidget *RunningPopup() const
    {
        QWidget *popup = QApplication::activePopupWidget();
        if (!popup)
            return nullptr;
        const int modals = static_cast<int>(std::count_if(
            FHandled.begin(), FHandled.end(), [popup](const QPointer<QWidget> &W) { return W != popup; }));
        return QThread::currentThread()->loopLevel() > modals ? popup : nullptr;
    }
    void Refuse(QWidget &W)
    {
        std::string what = W.windowTitle().toStdString();
        if (auto *box = qobject_cast<QMessageBox *>(&W))
            what += ": " + box->text().toStdString();
        if (auto *menu = qobject_cast<QMenu *>(&W)) {
            QStringList items;
            for (QAction *a : menu->actions())
                if (!a->isSeparator())
                    items << Plain(a->text());
            what += "a menu in a loop of its own: " + items.join(" | ").toStdString();
        }
        FUser.Unexpected.push_back(what);
        W.close();
    }

    TarnwickUser &FUser;
    QTimer FTimer;
    std::vector<QPointer<QWidget>> FHandled;
};

// The window manager's part the offscreen platform lacks: when the active
// window goes (a message box closed, a tool window hidden), the window that
// was active before it gets the focus back.
class TarnwickUser::TFocusReturn : public QObject {
public:
    TFocusReturn()
    {
        FTimer.setInterval(5);
        QObject::connect(&FTimer, &QTimer::timeout, this, [this] { Look(); });
        FTimer.start();
    }

    // Gives the focus back now, and waits until the window system has.
    void GiveBackNow()
    {
        Look();
        QTest::qWaitFor([] { return QGuiApplication::focusWindow() != nullptr; }, 2000);
    }

private:
    void Look()
    {
        QWindow *focus = QGuiApplication::focusWindow();
        if (focus && focus->isVisible()) {
            if (FHistory.empty() || FHistory.back() != focus) {
                std::erase_if(FHistory, [focus](const QPointer<QWindow> &H) { return !H || H == focus; });
                FHistory.push_back(focus);
            }
            return;
        }
        auto takesFocus = [](QWindow *W) {
            return W && W->isVisible() && W->isTopLevel() &&
                   (W->type() == Qt::Window || W->type() == Qt::Dialog);
        };
        for (auto it = FHistory.rbegin(); it != FHistory.rend(); ++it)
            if (takesFocus(*it)) {
                (*it)->requestActivate();
                return;
            }
        // None seen yet: a top-level window the user sees.
        for (QWindow *w : QGuiApplication::topLevelWindows())
            if (takesFocus(w)) {
                w->requestActivate();
                return;
            }
    }
    QTimer FTimer;
    std::vector<QPointer<QWindow>> FHistory;
};

// --- Fixture --------------------------------------------------------------------

TarnwickUser::TarnwickUser()
{
    std::filesystem::copy(ORV_DATA_DIR, Dir.Path(),
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    std::filesystem::create_directory(Dir.File("runtime"));
    std::filesystem::permissions(Dir.File("runtime"), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    FPrevious = std::filesystem::current_path();
    std::filesystem::current_path(Dir.Path());
    SetProgramPathOverride(Dir.Path(), "Tarnwick");
    // The remote inputs' sockets and the class registry are the test's own;
    // the desktop's session bus is not (a test that needs one makes its own).
    ::setenv("XDG_RUNTIME_DIR", Dir.File("runtime").c_str(), 1);
    if (const char *bus = std::getenv("DBUS_SESSION_BUS_ADDRESS"))
        FSessionBus = bus;
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    ::setenv("ORV_CLASS_REGISTRY", Dir.File("classes.reg").c_str(), 1);
    // The program's services, as its main routine installs them; a file
    // dialog takes the test's answers.
    InstallProgramDialogs(FMessages);
    FMessages.FileDialog = [this](QWidget *, const TFileRequest &Request) {
        FileRequests.push_back(Request);
        std::optional<std::string> answer;
        if (!FileAnswers.empty()) {
            if (!FileAnswers.front().empty())
                answer = FileAnswers.front();
            FileAnswers.pop_front();
        }
        return answer;
    };
    FMessages.ProgramDialog = FMessages.FileDialog;
    FMessageScope = std::make_unique<TMessageServiceScope>(FMessages);
    FModalWatch = std::make_unique<TModalWatch>(*this);
    FFocusReturn = std::make_unique<TFocusReturn>();
}

TarnwickUser::~TarnwickUser()
{
    FTimers.clear();
    App.reset();
    FFocusReturn.reset();
    FModalWatch.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SetColourDialog(nullptr);
    FMessageScope.reset();
    ::unsetenv("ORV_CLASS_REGISTRY");
    ::unsetenv("XDG_RUNTIME_DIR");
    if (FSessionBus)
        ::setenv("DBUS_SESSION_BUS_ADDRESS", FSessionBus->c_str(), 1);
    else
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    SetProgramPathOverride("", "");
    std::filesystem::current_path(FPrevious);
    EXPECT_TRUE(Unexpected.empty()) << "a modal window nobody expected: " << Unexpected.front();
}

void TarnwickUser::Start(std::vector<std::string> Args, QSize Size)
{
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QSize needed = Size.isValid() ? Size : QSize(1280, 1000);
    ASSERT_TRUE(screen.width() >= needed.width() && screen.height() >= needed.height())
        << "the screen is " << screen.width() << " x " << screen.height()
        << "; run on the seat's screen: QT_QPA_PLATFORM="
           "offscreen:configfile=shell/tests/user/seat-screen.json";
    App = std::make_unique<TTarnwickApp>(Args);
    if (Size.isValid())
        Form().resize(Size);
    Form().move(0, 0);
    App->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form()));
    Form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form()));
    Serve();
}

void TarnwickUser::EndProgram()
{
    App.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TMainForm &TarnwickUser::Form() const
{
    return App->MainForm();
}

// --- Input ----------------------------------------------------------------------

void TarnwickUser::ServeQtOnly()
{
    QCoreApplication::processEvents();
}

void TarnwickUser::Click(QWidget *Target, QPoint At, Qt::MouseButton Button,
                         Qt::KeyboardModifiers Modifiers)
{
    ASSERT_NE(Target, nullptr);
    ASSERT_TRUE(Target->isVisible()) << Describe(Target) << " is not shown";
    if (At.x() < 0)
        At = Target->rect().center();
    QWidget *top = Target->window();
    const QPoint inTop = Target->mapTo(top, At);
    QWidget *hit = top->childAt(inTop);
    if (!hit)
        hit = top;
    EXPECT_TRUE(hit == Target || Target->isAncestorOf(hit))
        << Describe(Target) << " is covered at " << At.x() << "," << At.y() << " by "
        << Describe(hit);
    QTest::mouseClick(top->windowHandle(), Button, Modifiers, inTop);
    ServeQtOnly();
}

void TarnwickUser::DoubleClick(QWidget *Target, QPoint At)
{
    ASSERT_NE(Target, nullptr);
    if (At.x() < 0)
        At = Target->rect().center();
    QWidget *top = Target->window();
    QTest::mouseDClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier, Target->mapTo(top, At));
    ServeQtOnly();
}

void TarnwickUser::Drag(QWidget *Target, QPoint From, QPoint To)
{
    ASSERT_NE(Target, nullptr);
    // The pointer's path on the window, fixed at the press: what it drags
    // may move under it.
    QWidget *top = Target->window();
    QWindow *handle = top->windowHandle();
    const QPoint from = Target->mapTo(top, From), to = Target->mapTo(top, To);
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, from);
    const int steps = 5;
    for (int i = 1; i <= steps; ++i) {
        QTest::mouseMove(handle, from + (to - from) * i / steps);
        ServeQtOnly();
    }
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, to);
    ServeQtOnly();
}

void TarnwickUser::RightClick(QWidget *Target, QPoint At)
{
    Click(Target, At, Qt::RightButton);
}

void TarnwickUser::Key(int QtKey, Qt::KeyboardModifiers Modifiers)
{
    if (!QGuiApplication::focusWindow())
        FFocusReturn->GiveBackNow();
    QWidget *to = QApplication::activePopupWidget();
    if (!to)
        to = QApplication::activeModalWidget();
    QWindow *window = to ? to->window()->windowHandle() : QGuiApplication::focusWindow();
    if (!window && App)
        window = Form().windowHandle();
    ASSERT_NE(window, nullptr) << "no window has the focus";
    QTest::keyClick(window, Qt::Key(QtKey), Modifiers);
    if (QtKey == Qt::Key_Menu) {
        // The desktop's platform turns the menu key into a context-menu
        // request to the window (the offscreen platform does not).
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(), QPoint(), Modifiers);
        QCoreApplication::sendEvent(window, &request);
    }
    ServeQtOnly();
}

void TarnwickUser::DropFiles(const QStringList &Paths, QWidget *Target, QPoint At)
{
    ASSERT_NE(Target, nullptr);
    if (At.x() < 0)
        At = Target->rect().center();
    QWidget *top = Target->window();
    QWidget *under = top->childAt(Target->mapTo(top, At));
    if (!under)
        under = top;
    const QPoint spot = under->mapFrom(top, Target->mapTo(top, At));
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &p : Paths)
        urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    QDragEnterEvent enter(spot, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(under, &enter);
    QDragMoveEvent move(spot, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(under, &move);
    QDropEvent drop(QPointF(spot), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(under, &drop);
    ServeQtOnly();
}

void TarnwickUser::Type(const QString &Text)
{
    if (!QGuiApplication::focusWindow())
        FFocusReturn->GiveBackNow();
    for (QChar c : Text) {
        QWidget *to = QApplication::activePopupWidget();
        if (!to)
            to = QApplication::activeModalWidget();
        QWindow *window = to ? to->window()->windowHandle() : QGuiApplication::focusWindow();
        ASSERT_NE(window, nullptr);
        QTest::keyClick(window, c.toLatin1());
    }
    ServeQtOnly();
}

TToolbarButton *TarnwickUser::ToolbarButton(const QString &Name) const
{
    for (TToolbar *bar : Form().Toolbars())
        for (TToolbarButton *b : bar->findChildren<TToolbarButton *>())
            if (b->objectName() == Name || ReadsAs(b->Caption(), Name))
                return b;
    return nullptr;
}

void TarnwickUser::ClickToolbarButton(const QString &Name, Qt::MouseButton Button)
{
    TToolbarButton *b = ToolbarButton(Name);
    ASSERT_NE(b, nullptr) << "no toolbar button " << Name.toStdString();
    ASSERT_TRUE(b->isVisible()) << Name.toStdString() << " is not shown";
    EXPECT_TRUE(b->isEnabled()) << Name.toStdString() << " is disabled";
    // The button as the toolbar draws it: its centre on the toolbar.
    Click(b, b->rect().center(), Button);
}

void TarnwickUser::ChooseMenu(const QStringList &Path, bool ByMouse)
{
    ASSERT_FALSE(Path.isEmpty());
    QMenuBar *bar = Form().menuBar();
    QAction *title = nullptr;
    for (QAction *a : bar->actions())
        if (a->isVisible() && ReadsAs(a->text(), Path[0]))
            title = a;
    ASSERT_NE(title, nullptr) << "no menu " << Path[0].toStdString();
    ASSERT_NE(title->menu(), nullptr);
    const int amp = title->text().indexOf(QRegularExpression("&[^&]"));
    if (!ByMouse && amp >= 0) {
        const QChar hot = title->text().at(amp + 1).toUpper();
        Key(Qt::Key_A + (hot.unicode() - 'A'), Qt::AltModifier);
    } else {
        Click(bar, bar->actionGeometry(title).center());
    }
    QMenu *menu = title->menu();
    ASSERT_TRUE(menu->isVisible())
        << "the menu " << Path[0].toStdString() << " did not open; active window: "
        << Describe(QApplication::activeWindow()) << ", focus: "
        << Describe(QApplication::focusWidget()) << ", focus window: "
        << (QGuiApplication::focusWindow() ? QGuiApplication::focusWindow()->objectName().toStdString()
                                           : std::string("(none)"));
    PickFromPopup(menu, Path.mid(1));
}

bool TarnwickUser::SelectLanguageFrom(int Language, const QStringList &Menu, bool ByMouse)
{
    bool chosen = false;
    WhenModal([this, Language, &chosen](QWidget &Dialog) {
        auto *tree = dynamic_cast<TLxLanguageDialog &>(Dialog).TreeView;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if ((*it)->childCount() == 0 && (*it)->data(0, Qt::UserRole).toInt() == Language) {
                tree->scrollToItem(*it);
                Click(tree->viewport(), tree->visualItemRect(*it).center());
            }
        Answer(Dialog, "OK");
        chosen = true;
    });
    ChooseMenu(Menu, ByMouse);
    WaitFor([&] { return chosen; }, 1000);
    return chosen;
}

void TarnwickUser::PickFromPopup(QMenu *Popup, const QStringList &Path)
{
    for (const QString &item : Path) {
        ASSERT_NE(Popup, nullptr);
        ASSERT_TRUE(Popup->isVisible()) << "the menu for " << item.toStdString() << " is not open";
        QAction *chosen = nullptr;
        QStringList seen;
        for (QAction *a : Popup->actions()) {
            seen << Plain(a->text());
            if (a->isVisible() && !a->isSeparator() && ReadsAs(a->text(), item))
                chosen = a;
        }
        ASSERT_NE(chosen, nullptr) << "no item " << item.toStdString() << " in "
                                   << seen.join(" | ").toStdString();
        ASSERT_TRUE(chosen->isEnabled()) << item.toStdString() << " is disabled";
        QMenu *sub = chosen->menu();
        Click(Popup, Popup->actionGeometry(chosen).center());
        if (sub) {
            WaitFor([sub] { return sub->isVisible(); }, 500);
            ASSERT_TRUE(sub->isVisible()) << "the submenu " << item.toStdString() << " did not open";
        }
        Popup = sub;
    }
}

QMenu *TarnwickUser::OpenPopup() const
{
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

QWidget *TarnwickUser::Frame(QWidget *Window)
{
    if (!Window)
        return nullptr;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(Window->parentWidget()))
        return sub;
    return Window->window();
}

QRect TarnwickUser::TitleBarButton(QWidget *Window, QStyle::SubControl Button)
{
    auto *sub = qobject_cast<QMdiSubWindow *>(Frame(Window));
    if (!sub)
        return QRect();
    // Where the sub-window's style draws the button on its title bar.
    QStyleOptionTitleBar option;
    option.initFrom(sub);
    option.titleBarFlags = sub->windowFlags();
    option.titleBarState = int(sub->windowState());
    option.subControls = QStyle::SC_All;
    option.text = sub->windowTitle();
    const int height = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, sub);
    option.rect = QRect(0, 0, sub->width(), height);
    return sub->style()->subControlRect(QStyle::CC_TitleBar, &option, Button, sub);
}

void TarnwickUser::ClickTitleBarButton(QWidget *Window, QStyle::SubControl Button)
{
    const QRect r = TitleBarButton(Window, Button);
    ASSERT_TRUE(r.isValid() && !r.isEmpty()) << Describe(Window) << " has no such button on its frame";
    QWidget *sub = Frame(Window);
    QWidget *top = sub->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      sub->mapTo(top, r.center()));
    ServeQtOnly();
}

void TarnwickUser::CloseByFrame(QWidget *Window)
{
    QWidget *frame = Frame(Window);
    ASSERT_NE(frame, nullptr);
    if (qobject_cast<QMdiSubWindow *>(frame)) {
        ClickTitleBarButton(Window, QStyle::SC_TitleBarCloseButton);
        return;
    }
    // The window manager's close.
    ASSERT_NE(frame->windowHandle(), nullptr);
    frame->windowHandle()->close();
    ServeQtOnly();
}

// --- Time and modal windows -------------------------------------------------------

void TarnwickUser::Serve(int64_t Ms)
{
    for (int64_t t = 0; t < Ms; t += Loop.StepMs)
        Loop.ProcessMessages();
    // Windows that went with deleteLater go once the test is back at the
    // top of its loop, as they go in the program's own loop.
    if (!QApplication::activeModalWidget())
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TarnwickUser::At(int64_t Ms, std::function<void()> Action)
{
    auto timer = std::make_shared<TTimer>();
    timer->SetInterval(static_cast<int>(Ms));
    // FTimers owns it; its handler holding it too would keep it for ever.
    timer->OnTimer = [t = timer.get(), Action] {
        t->SetEnabled(false);
        Action();
    };
    timer->SetEnabled(true);
    FTimers.push_back(timer);
}

bool TarnwickUser::WaitFor(const std::function<bool()> &Done, int64_t LimitMs)
{
    const int64_t end = Loop.NowMs() + LimitMs;
    while (!Done() && Loop.NowMs() < end)
        Loop.ProcessMessages();
    return Done();
}

void TarnwickUser::WhenModal(std::function<void(QWidget &Window)> Handle)
{
    FModalWatch->Handlers.push_back(std::move(Handle));
}

void TarnwickUser::ForgetModalHandlers()
{
    FModalWatch->Handlers.clear();
}

bool TarnwickUser::WaitForModal(const bool &Shown, int64_t LimitMs)
{
    WaitFor([&] { return Shown; }, LimitMs);
    if (!Shown)
        ForgetModalHandlers();
    return Shown;
}

void TarnwickUser::Answer(QWidget &Box, const QString &ButtonText)
{
    QAbstractButton *chosen = nullptr;
    QStringList seen;
    for (QAbstractButton *b : Box.findChildren<QAbstractButton *>()) {
        seen << Plain(b->text());
        if (b->isVisible() && ReadsAs(b->text(), ButtonText))
            chosen = b;
    }
    ASSERT_NE(chosen, nullptr) << "no button " << ButtonText.toStdString() << " in "
                               << Describe(&Box) << ": " << seen.join(" | ").toStdString();
    Click(chosen);
}

// --- What the user sees ------------------------------------------------------------

QMdiSubWindow *TarnwickUser::MdiChild(const QString &Title) const
{
    // A window may add to its title ("Corvane Virtual Reality.  Ver: 1.250").
    for (QMdiSubWindow *sub : Form().MdiArea()->subWindowList())
        if (sub->isVisible() && TitleReadsAs(sub->windowTitle(), Title))
            return sub;
    return nullptr;
}

QWidget *TarnwickUser::WindowTitled(const QString &Title) const
{
    if (QMdiSubWindow *sub = MdiChild(Title))
        return sub->widget();
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && TitleReadsAs(w->windowTitle(), Title))
            return w;
    return nullptr;
}

std::string TarnwickUser::ShownWindows() const
{
    QStringList titles;
    if (App)
        for (QMdiSubWindow *sub : Form().MdiArea()->subWindowList())
            titles << (sub->isVisible() ? "" : "(hidden) ") + sub->windowTitle();
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && !qobject_cast<QMenu *>(w) && (!App || w != &Form()))
            titles << "[" + w->windowTitle() + "]";
    return titles.join(", ").toStdString();
}

void TarnwickUser::ExpectWindowFits(QWidget *Window)
{
    ASSERT_NE(Window, nullptr);
    SCOPED_TRACE(Describe(Window));
    QWidget *frame = Frame(Window);
    EXPECT_TRUE(frame->isVisible()) << "its frame is hidden";
    EXPECT_TRUE(Window->isVisible()) << "it is hidden";
    if (auto *sub = qobject_cast<QMdiSubWindow *>(frame)) {
        EXPECT_FALSE(sub->isMinimized()) << "it is minimised";
        const QRect area = Form().MdiArea()->viewport()->rect();
        EXPECT_TRUE(area.contains(sub->geometry()))
            << "its frame " << RectText(sub->geometry()) << " is not inside the MDI area "
            << RectText(area);
    } else if (!qobject_cast<QMenu *>(frame)) {
        const QRect screen = frame->screen()->availableGeometry();
        EXPECT_TRUE(screen.contains(frame->frameGeometry()))
            << "it lies " << RectText(frame->frameGeometry()) << " off the screen "
            << RectText(screen);
    }
    for (QWidget *w : {frame, Window}) {
        EXPECT_GE(w->width(), w->minimumWidth()) << Describe(w) << " is narrower than its minimum";
        EXPECT_GE(w->height(), w->minimumHeight()) << Describe(w) << " is lower than its minimum";
    }
    if (auto *tool = qobject_cast<TToolWindow *>(Window)) {
        const QRect client = Window->rect().marginsRemoved(tool->NonClientMargins());
        EXPECT_GE(client.width(), tool->MinClientWidth()) << "its client area is too narrow";
        EXPECT_GE(client.height(), tool->MinClientHeight()) << "its client area is too low";
    }
    // Each button the user should see: shown, and whole inside every
    // widget it lies in up to the window.
    for (QWidget *b : Window->findChildren<QWidget *>()) {
        if (!IsButton(b) || !b->isVisibleTo(Window) || b->window() != Window->window())
            continue;
        EXPECT_TRUE(b->isVisible()) << Describe(b) << " is hidden";
        QRect r = b->rect();
        for (QWidget *p = b; p != Window && p->parentWidget(); p = p->parentWidget()) {
            r.translate(p->pos());
            const QRect inside = p->parentWidget()->rect();
            if (!inside.contains(r)) {
                ADD_FAILURE() << Describe(b) << " lies " << RectText(r) << " outside "
                              << Describe(p->parentWidget()) << " " << RectText(inside);
                break;
            }
        }
    }
}

} // namespace orv::test
