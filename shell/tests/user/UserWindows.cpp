// Every window Tarnwick's main window opens, each reached the way its user
// reaches it: a toolbar button, a menu by its hot keys, a context menu, the
// settings password typed in; and closed again the user's way.
#include "shell/tests/user/TarnwickUser.h"

#include "components/richedit/RichEditW.h"
#include "components/toolbar/ui/TbCtls.h"
#include "platform/IniFile.h"
#include "shell/ui/editor.h"
#include "shell/ui/main_form3_2.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QWidget>

namespace orv::test {

namespace {

using TWhile = std::function<void(QWidget &)>;
using TVisit = std::function<void(TarnwickUser &, const TWhile &)>;

constexpr const char *SettingsPassword = "orvellan";

// The program's editor window.
TEditorForm *Editor(TarnwickUser &U)
{
    for (QMdiSubWindow *sub : U.Form().MdiArea()->subWindowList())
        if (auto *editor = qobject_cast<TEditorForm *>(sub->widget()))
            return editor;
    return nullptr;
}

// Runs While on the window titled Title once Open has shown it, then
// closes it with Close (default: through its frame) and sees it go.
void VisitShown(TarnwickUser &U, const QString &Title, const std::function<void()> &Open,
                const TWhile &While, std::function<void(QWidget *)> Close = nullptr)
{
    Open();
    QWidget *window = nullptr;
    U.WaitFor([&] { return (window = U.WindowTitled(Title)) != nullptr; }, 1000);
    ASSERT_NE(window, nullptr) << "the window \"" << Title.toStdString()
                               << "\" did not show; shown: " << U.ShownWindows();
    While(*window);
    QPointer<QWidget> frame = TarnwickUser::Frame(window);
    if (Close)
        Close(window);
    else
        U.CloseByFrame(window);
    U.Serve(100);
    EXPECT_TRUE(frame.isNull() || !frame->isVisible())
        << "\"" << Title.toStdString() << "\" is still there after its close";
}

// The modal dialog titled Title that Open brings: While runs inside its
// loop, then it is closed through its frame.
void VisitModal(TarnwickUser &U, const QString &Title, const std::function<void()> &Open,
                const TWhile &While)
{
    bool shown = false;
    U.WhenModal([&](QWidget &Dialog) {
        shown = true;
        EXPECT_TRUE(TitleReadsAs(Dialog.windowTitle(), Title))
            << Dialog.windowTitle().toStdString() << " is not " << Title.toStdString();
        While(Dialog);
        U.CloseByFrame(&Dialog);
    });
    Open();
    U.WaitFor([&] { return shown; }, 1000);
    if (!shown)
        U.ForgetModalHandlers();
    EXPECT_TRUE(shown) << "the dialog \"" << Title.toStdString() << "\" did not show";
}

// A machine put on line asks the operator to put the first tool in.
void AnswerToolChange(TarnwickUser &U)
{
    U.WhenModal([&U](QWidget &Box) { U.Answer(Box, "OK"); });
}

// The settings password asked first, typed in and confirmed.
void TypePassword(TarnwickUser &U)
{
    U.WhenModal([&U](QWidget &Dialog) {
        U.Type(SettingsPassword);
        U.Answer(Dialog, "OK");
    });
}

TUserWindow Toolbar(const char *Title, const char *Button)
{
    return {Title, nullptr, [=](TarnwickUser &U, const TWhile &While) {
                VisitShown(U, Title, [&] { U.ClickToolbarButton(Button); }, While);
            }};
}

TUserWindow Dialog(const char *Title, QStringList Menu, bool Password = false)
{
    return {Title, nullptr, [=](TarnwickUser &U, const TWhile &While) {
                if (Password)
                    TypePassword(U);
                VisitModal(U, Title, [&] { U.ChooseMenu(Menu); }, While);
            }};
}

// The "OpenGL enhanced 3D" choice of the 3D button's popup.
void OpenMilling3D(TarnwickUser &U)
{
    U.RightClick(U.ToolbarButton("3D Simulation"));
    QMenu *choice = U.OpenPopup();
    ASSERT_NE(choice, nullptr) << "the 3D button's choice did not open";
    U.PickFromPopup(choice, {"OpenGL enhanced 3D"});
}

std::vector<TUserWindow> MakeWindows()
{
    std::vector<TUserWindow> list;
    list.push_back({"Editor", nullptr, [](TarnwickUser &U, const TWhile &While) {
                        TEditorForm *editor = Editor(U);
                        ASSERT_NE(editor, nullptr);
                        While(*editor);
                    }});
    list.push_back({"Editor popup", nullptr, [](TarnwickUser &U, const TWhile &While) {
                        TEditorForm *editor = Editor(U);
                        ASSERT_NE(editor, nullptr);
                        QWidget *text = editor->RichEdit()->viewport();
                        U.RightClick(text, QPoint(40, 20));
                        QMenu *popup = U.OpenPopup();
                        ASSERT_NE(popup, nullptr) << "no popup opened";
                        EXPECT_EQ(popup, editor->PopupMenu()) << "another popup opened";
                        While(*popup);
                        U.Key(Qt::Key_Escape);
                    }});
    list.push_back(Toolbar("2D Simulation", "2D Simulation"));
    list.push_back(Toolbar("3D Simulation", "3D Simulation"));
    list.push_back({"OpenGL Milling 3D Simulation", nullptr, [](TarnwickUser &U, const TWhile &While) {
                        VisitShown(U, "Milling 3D Simulation", [&] { OpenMilling3D(U); }, While);
                    }});
    list.push_back({"OpenGL Capture As Bitmap", nullptr, [](TarnwickUser &U, const TWhile &While) {
                        OpenMilling3D(U);
                        QWidget *milling = U.WindowTitled("Milling 3D Simulation");
                        ASSERT_NE(milling, nullptr);
                        VisitShown(
                            U, "Capture As Bitmap",
                            [&] { U.ChooseMenu({"3D Setup", "Capture as bitmap"}); }, While,
                            [&U](QWidget *Capture) { U.Answer(*Capture, "Cancel"); });
                        U.CloseByFrame(milling);
                    }, true});
    list.push_back({"Control Panel", nullptr, [](TarnwickUser &U, const TWhile &While) {
                        AnswerToolChange(U);
                        VisitShown(U, "Control Panel", [&] { U.ClickToolbarButton("Machine"); },
                                   While, [&U](QWidget *) { U.ClickToolbarButton("Machine"); });
                    }});
    list.push_back(Toolbar("Machine Tooling", "Tooling"));
    list.push_back(Toolbar("Tooling Library", "Tool Library"));
    list.push_back(Toolbar("Work Piece Offsets", "Offsets"));
    list.push_back({"Macro Variables #", nullptr, [](TarnwickUser &U, const TWhile &While) {
                        VisitShown(U, "Macro Variables #",
                                   [&] { U.ChooseMenu({"Setup", "Macro Variables"}); }, While);
                    }});
    for (auto [title, item] : {std::pair{"Fanuc 21i MA", "Fanuc 21i"}, std::pair{"Fanuc OM", "Fanuc 0M"}})
        list.push_back({title, nullptr, [title, item](TarnwickUser &U, const TWhile &While) {
                            AnswerToolChange(U);
                            VisitShown(
                                U, title, [&] { U.ChooseMenu({"File", "Source", item}); }, While,
                                [&U](QWidget *) { U.ChooseMenu({"File", "Source", "Editor"}); });
                        }});
    list.push_back({"Corvane Virtual Reality", nullptr, [](TarnwickUser &U, const TWhile &While) {
                        AnswerToolChange(U);
                        VisitShown(U, "Corvane Virtual Reality",
                                   [&] { U.ClickToolbarButton("VR Machine"); }, While,
                                   [&U](QWidget *) { U.ClickToolbarButton("VR Machine"); });
                    }});
    list.push_back({"CIM DDE Server",
                    [](TarnwickUser &U) {
                        // A machine that takes DDE input.
                        TIniFile(U.Dir.File("machines/BENCHMILL.ini"))
                            .WriteString("Input/Output Devices", "CIM DDE Input", "TRUE");
                    },
                    [](TarnwickUser &U, const TWhile &While) {
                        VisitShown(U, "CIM DDE Server",
                                   [&] { U.ChooseMenu({"Setup", "View", "DDE Connection..."}); },
                                   While);
                    }});
    list.push_back(
        Dialog("Machine Properties Editor", {"Setup", "Setup Machine Parameters..."}, true));
    list.push_back(Dialog("Billet Size", {"Setup", "Default Billet Size..."}));
    list.push_back(Dialog("Select Language", {"Setup", "Select Language"}));
    list.push_back(Dialog("ToolBar Setup", {"Setup", "ToolBars", "View..."}, true));
    list.push_back(Dialog("Configure Utilities", {"Utilities", "Configure Utilities..."}));
    list.push_back(Dialog("Axis Key Definition", {"Setup", "Jog Keys"}));
    // Block search: its toolbar button shown through ToolBar Setup's "Show
    // All" (behind the settings password), then pressed and released.
    list.push_back({"NC Program Restart", nullptr, [](TarnwickUser &U, const TWhile &While) {
                        TypePassword(U);
                        U.WhenModal([&U](QWidget &Setup) {
                            U.Answer(Setup, "Show All");
                            U.Answer(Setup, "OK");
                        });
                        U.ChooseMenu({"Setup", "ToolBars", "View..."});
                        VisitShown(
                            U, "NC Program Restart", [&] { U.ClickToolbarButton("Block Search"); },
                            While, [&U](QWidget *) { U.ClickToolbarButton("Block Search"); });
                    }});
    list.push_back({"Please Choose!", nullptr, [](TarnwickUser &U, const TWhile &While) {
                        VisitModal(U, "Please Choose!", [&] { U.ClickToolbarButton("startbutton"); },
                                   While);
                    }});
    return list;
}

} // namespace

const std::vector<TUserWindow> &UserWindows()
{
    static const std::vector<TUserWindow> list = MakeWindows();
    return list;
}

void PrintTo(const TUserWindow &Window, std::ostream *Out)
{
    *Out << Window.Name;
}

} // namespace orv::test
