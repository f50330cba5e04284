// Tarnwick in German: the main window and every window it opens, each
// opened the way its user opens it, show no English text that has no
// German row (only texts that read the same in both languages, and the
// user's own names of machines, tools and files, stay as they are).
#include "shell/tests/user/TarnwickUser.h"
#include "shell/tests/user/UserTexts.h"

#include "components/richedit/RichEditW.h"
#include "components/toolbar/ui/TbCore.h"
#include "engine/core/Mess.h"
#include "engine/view2d/ui/Form2DWindow.h"
#include "localise/LxTextDictionary.h"
#include "localise/ui/LxLanguageDialog.h"
#include "localise/ui/LxQtTranslator.h"
#include "machine/ui/ControlPanelStdForm.h"
#include "platform/IniFile.h"
#include "shell/ui/editor.h"
#include "shell/ui/main_form3_2.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QTreeWidget>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>
#include <iterator>

#include <map>

namespace orv::test {
namespace {

// Texts that read the same in German.
std::set<QString> SameInGerman()
{
    return {"OK", "mm", "G54", "Info", "Start", "Name", "Status", "Position", "Radius"};
}

constexpr int German = 1;

class UserLanguage : public TarnwickUser {
public:
    // "Select Language" from the Setup menu (its captions in the language
    // in use), the language of that number picked in its tree and confirmed.
    void SelectLanguage(int Language)
    {
        // By the mouse: a window of its own (the DDE server) may have the keys.
        ASSERT_TRUE(SelectLanguageFrom(Language, {"Setup", "Select Language"}, true));
        ASSERT_EQ(Mess().Dictionary().Language(), Language);
    }
    // The program starts in the language its settings hold.
    void StartInGerman()
    {
        TIniFile(Dir.File("Tarnwick.ini"))
            .WriteInteger("Default Settings", "PrimaryLanguage", German);
        Start();
        ASSERT_EQ(Mess().Dictionary().Language(), German);
    }
    // Each text of Texts that reads English, once, with where it was seen.
    void ExpectGerman(const std::string &Window, const std::vector<TShownText> &Texts)
    {
        const TLanguageCheck check(Mess().Dictionary(), SameInGerman(), Dir.Path());
        std::map<std::string, std::string> english;
        for (const TShownText &text : Texts)
            if (std::string reason = check.EnglishIn(text.Text); !reason.empty())
                english.emplace(reason, text.Where);
        std::string list;
        for (const auto &[reason, where] : english)
            list += "\n  " + reason + "  [" + where + "]";
        EXPECT_TRUE(english.empty()) << Window << " shows " << english.size()
                                     << " English texts in German:" << list;
    }
    // No two items of a menu share a hot key.
    void ExpectHotKeysApart(const std::string &Window, QWidget *Shown)
    {
        std::string list;
        for (const std::string &clash : HotKeyClashes(Shown))
            list += "\n  " + clash;
        EXPECT_TRUE(list.empty()) << Window << " has menus whose items share a hot key:" << list;
    }

    // A dialog, a popup menu or a part of a window that the user brings up
    // inside a window.
    struct TAsked {
        std::string Name;
        std::function<void(UserLanguage &)> Open; // the window it is asked from
        std::function<void(UserLanguage &)> Ask;
        bool Menu = false;         // a popup menu, not a modal window
        const char *Shown = nullptr; // a part of this window shown, not a modal window
    };
    // Each of Asked brought up in turn (the windows opened on the way stay):
    // it reads German and its menus' hot keys stay apart.
    void ExpectAskedGerman(const std::vector<TAsked> &Asked)
    {
        for (const TAsked &c : Asked) {
            SCOPED_TRACE(c.Name);
            if (c.Open)
                c.Open(*this);
            if (c.Menu) {
                c.Ask(*this);
                QMenu *menu = OpenPopup();
                ASSERT_NE(menu, nullptr) << c.Name << " did not open";
                ExpectGerman(c.Name, ShownTexts(menu));
                ExpectHotKeysApart(c.Name, menu);
                Key(Qt::Key_Escape);
                continue;
            }
            if (c.Shown) {
                c.Ask(*this);
                QWidget *window = WindowTitled(c.Shown);
                ASSERT_NE(window, nullptr) << "shown: " << ShownWindows();
                ExpectGerman(c.Name, ShownTexts(window));
                continue;
            }
            bool shown = false;
            WhenModal([&](QWidget &Dialog) {
                shown = true;
                ExpectGerman(c.Name, ShownTexts(&Dialog));
                ExpectHotKeysApart(c.Name, &Dialog);
                // The panel's menu runs in a loop of its own, like a dialog.
                if (auto *menu = qobject_cast<QMenu *>(&Dialog)) {
                    menu->close();
                    return;
                }
                ExpectWindowFits(&Dialog);
                CloseByFrame(&Dialog);
            });
            c.Ask(*this);
            EXPECT_TRUE(WaitForModal(shown, 1000)) << c.Name << " did not open";
        }
    }
    // The next modal window that shows (a dialog on the way to another) is
    // answered with its button Button; that button's dialog comes next.
    void ThroughDialog(const QString &Button)
    {
        WhenModal([this, Button](QWidget &Dialog) {
            Answer(Dialog, Button);
            Serve(10);
            if (Dialog.isVisible())
                CloseByFrame(&Dialog);
        });
    }
};

TEST_F(UserLanguage, TheMainWindowReadsGerman)
{
    StartInGerman();
    std::vector<TShownText> texts = ShownTexts(&Form());
    for (TCustomToolWindow *window : TCustomToolWindow::ToolWindowsOf(&Form()))
        for (TShownText &text : ShownTexts(window))
            texts.push_back(std::move(text));
    ExpectGerman("The main window", texts);
    ExpectHotKeysApart("The main window", &Form());
}

// The 2D window's tool panel, a translated word and the tool of the run, is
// made again in each language the user switches to.
TEST_F(UserLanguage, The2DWindowsToolPanelFollowsTheLanguage)
{
    Start();
    ClickToolbarButton("2D Simulation");
    auto *window = dynamic_cast<TForm2DWindow *>(WindowTitled("2D Simulation"));
    ASSERT_NE(window, nullptr) << "shown: " << ShownWindows();
    ClickToolbarButton("startbutton");
    WaitFor([&] { return window->StatusText(3) == "Tool= 4"; }, 20000);
    ASSERT_EQ(window->StatusText(3).toStdString(), "Tool= 4") << "the demo ends with tool 4";
    SelectLanguage(German);
    EXPECT_EQ(window->StatusText(3).toStdString(), "Werkzeug= 4");
    SelectLanguage(0);
    EXPECT_EQ(window->StatusText(3).toStdString(), "Tool= 4");
}

// The dialogs the editor and the carousel open for a font and for a
// number are the program's localised ones: in German their caption, labels
// and buttons read German, and they sit over the window that asked.
TEST_F(UserLanguage, FontAndOffsetDialogsSpeakTheLanguage)
{
    struct Case {
        const char *Name;
        std::function<void(UserLanguage &)> Open;
        QString Title;
        QStringList Texts;
    };
    const Case cases[] = {
        {"the editor's font",
         [](UserLanguage &U) { U.ChooseMenu({"Editor", "Preferences", "Font..."}); },
         "Schriftart",
         {"&Schriftart:", "Schrifts&til:", "Effekte", "&Unterstrichen", "OK", "Abbrechen"}},
        {"the carousel's Z offset",
         [](UserLanguage &U) {
             U.ClickToolbarButton("Tooling");
             QWidget *deck = U.WindowTitled("Machine Tooling");
             ASSERT_NE(deck, nullptr);
             auto *position = deck->findChild<QWidget *>("Position1");
             ASSERT_NE(position, nullptr);
             U.RightClick(position);
             U.PickFromPopup(U.OpenPopup(), {"Set Z offset for this Tool"});
         },
         "Versatz setzen",
         {"OK", "Abbrechen"}},
    };
    StartInGerman();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        bool shown = false;
        WhenModal([&](QWidget &Dialog) {
            shown = true;
            EXPECT_EQ(Dialog.windowTitle(), c.Title);
            QStringList texts;
            for (QWidget *w : Dialog.findChildren<QWidget *>()) {
                if (auto *l = qobject_cast<QLabel *>(w))
                    texts << l->text();
                else if (auto *b = qobject_cast<QAbstractButton *>(w))
                    texts << b->text();
                else if (auto *g = qobject_cast<QGroupBox *>(w))
                    texts << g->title();
            }
            for (const QString &text : c.Texts)
                EXPECT_TRUE(texts.contains(text)) << text.toStdString() << " not in "
                                                  << texts.join("|").toStdString();
            // Over the window that asked; over the main window when none did.
            const QWidget *over = Dialog.parentWidget();
            const QPoint overCentre = !over ? Form().frameGeometry().center()
                                      : over->isWindow()
                                          ? over->frameGeometry().center()
                                          : over->mapToGlobal(over->rect().center());
            EXPECT_LE((Dialog.frameGeometry().center() - overCentre).manhattanLength(), 10)
                << "it is not centred";
            ExpectWindowFits(&Dialog);
            Answer(Dialog, "Abbrechen");
        });
        c.Open(*this);
        EXPECT_TRUE(WaitForModal(shown, 1000)) << c.Name << " did not open";
    }
}

// The colour dialogs of the 2D window's graphics setup and of the Control
// Panel's readout are the program's localised one: in German, over the
// window that asked.
TEST_F(UserLanguage, ColourDialogsSpeakTheLanguage)
{
    struct Case {
        const char *Name;
        // The windows on the way, and the handlers of the dialogs before
        // the colour dialog; then what the user does to ask for a colour.
        std::function<void(UserLanguage &)> Before, Ask;
    };
    const Case cases[] = {
        {"the 2D window's graphics setup",
         [](UserLanguage &U) {
             U.ClickToolbarButton("2D Simulation");
             U.WhenModal([&U](QWidget &Setup) {
                 QAbstractButton *swatch = nullptr;
                 for (QAbstractButton *b : Setup.findChildren<QAbstractButton *>())
                     if (ReadsAs(b->text(), "Rapid Movement Colour"))
                         swatch = b;
                 ASSERT_NE(swatch, nullptr) << "no swatch";
                 U.Click(swatch);
                 U.Answer(Setup, "Cancel");
             });
         },
         [](UserLanguage &U) {
             QWidget *window = U.WindowTitled("2D Simulation");
             ASSERT_NE(window, nullptr) << "shown: " << U.ShownWindows();
             QWidget *picture = window->findChild<QWidget *>("PaintBox");
             ASSERT_NE(picture, nullptr);
             U.RightClick(picture, QPoint(20, 20));
             U.PickFromPopup(U.OpenPopup(), {"Setup Graphics..."});
         }},
        {"the Control Panel's readout",
         [](UserLanguage &U) {
             bool asked = false;
             U.WhenModal([&](QWidget &Box) {
                 asked = true;
                 U.Answer(Box, "OK");
             });
             U.ClickToolbarButton("Machine");
             U.WaitFor([&] { return asked && U.WindowTitled("Control Panel"); }, 2000);
             if (!asked)
                 U.ForgetModalHandlers();
         },
         [](UserLanguage &U) {
             auto *panel = dynamic_cast<TControlPanelStdForm *>(U.WindowTitled("Control Panel"));
             ASSERT_NE(panel, nullptr) << "shown: " << U.ShownWindows();
             U.Click(panel->ProgDisp, QPoint(5, 5), Qt::RightButton);
         }},
    };
    StartInGerman();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        c.Before(*this);
        bool shown = false;
        WhenModal([&](QWidget &Dialog) {
            shown = true;
            EXPECT_NE(qobject_cast<QColorDialog *>(&Dialog), nullptr) << "another dialog";
            EXPECT_EQ(Dialog.windowTitle().toStdString(), "Farbe");
            QStringList texts;
            for (QWidget *w : Dialog.findChildren<QWidget *>()) {
                if (auto *l = qobject_cast<QLabel *>(w))
                    texts << l->text();
                else if (auto *b = qobject_cast<QAbstractButton *>(w))
                    texts << b->text();
            }
            for (const char *text : {"&Grundfarben:", "&Benutzerdefinierte Farben:", "OK",
                                     "Abbrechen"})
                EXPECT_TRUE(texts.contains(QString::fromUtf8(text)))
                    << text << " not in " << texts.join("|").toStdString();
            const QWidget *over = Dialog.parentWidget();
            ASSERT_NE(over, nullptr) << "asked by no window";
            // Centred over it, moved no further than keeps it whole on
            // the screen (the panel sits low).
            QRect expected = Dialog.frameGeometry();
            expected.moveCenter(over->isWindow() ? over->frameGeometry().center()
                                                 : over->mapToGlobal(over->rect().center()));
            const QRect room = Dialog.screen()->availableGeometry();
            expected.moveTop(std::min(expected.top(), room.bottom() - expected.height() + 1));
            expected.moveLeft(std::min(expected.left(), room.right() - expected.width() + 1));
            expected.moveTopLeft(
                {std::max(expected.left(), room.left()), std::max(expected.top(), room.top())});
            EXPECT_LE((Dialog.frameGeometry().center() - expected.center()).manhattanLength(), 10)
                << "it is not centred";
            ExpectWindowFits(&Dialog);
            Answer(Dialog, "Abbrechen");
        });
        c.Ask(*this);
        EXPECT_TRUE(WaitForModal(shown, 1000)) << c.Name << ": no colour dialog";
    }
}

// The dialogs and menus an operator meets inside the windows (a window's
// setup, a tool's data, an M code typed in, the panel's menu) read German.
TEST_F(UserLanguage, DialogsInsideTheWindowsReadGerman)
{
    using Case = TAsked;
    const auto rightClickOn = [](const char *Window, const char *Child) {
        return [=](UserLanguage &U) {
            QWidget *window = U.WindowTitled(Window);
            ASSERT_NE(window, nullptr) << "shown: " << U.ShownWindows();
            QWidget *target = window->findChild<QWidget *>(Child);
            ASSERT_NE(target, nullptr) << Child;
            U.RightClick(target, QPoint(10, 10));
        };
    };
    const auto panel = [](UserLanguage &U) {
        return dynamic_cast<TControlPanelStdForm *>(U.WindowTitled("Control Panel"));
    };
    const Case cases[] = {
        {"the 2D window's graphics setup",
         [](UserLanguage &U) { U.ClickToolbarButton("2D Simulation"); },
         [=](UserLanguage &U) {
             rightClickOn("2D Simulation", "PaintBox")(U);
             U.PickFromPopup(U.OpenPopup(), {"Setup Graphics..."});
         }},
        {"the 2D window's menu", nullptr, rightClickOn("2D Simulation", "PaintBox"), true},
        {"a tool's data",
         [](UserLanguage &U) { U.ClickToolbarButton("Tooling"); },
         [=](UserLanguage &U) {
             rightClickOn("Machine Tooling", "Position1")(U);
             U.PickFromPopup(U.OpenPopup(), {"Edit Tool Data"});
         }},
        {"a position of the carousel's menu", nullptr, rightClickOn("Machine Tooling", "Position1"), true},
        {"an M code typed in",
         [](UserLanguage &U) {
             bool asked = false;
             U.WhenModal([&](QWidget &Box) {
                 asked = true;
                 U.Answer(Box, "OK");
             });
             U.ClickToolbarButton("Machine");
             U.WaitFor([&] { return asked && U.WindowTitled("Control Panel"); }, 2000);
             if (!asked)
                 U.ForgetModalHandlers();
         },
         [=](UserLanguage &U) {
             ASSERT_NE(panel(U), nullptr);
             U.Click(panel(U)->Mcode_but);
             U.PickFromPopup(U.OpenPopup(), {"Manual M code entry"});
         }},
        {"the Control Panel's menu", nullptr,
         [=](UserLanguage &U) {
             ASSERT_NE(panel(U), nullptr);
             U.RightClick(panel(U)->MachStatusBar);
         }},
    };
    // The editor's dialogs first, from its menu (in the menu bar while the
    // editor is the active window).
    std::vector<Case> all;
    for (QStringList item : {QStringList{"Preferences", "Display Options..."},
                             QStringList{"Preferences", "Background Colour..."},
                             QStringList{"Modify", "Line Numbering..."},
                             QStringList{"Modify", "Remove Line End Token..."}}) {
        item.prepend("Editor");
        all.push_back({"the editor's " + item.join(" > ").toStdString(), nullptr,
                       [item](UserLanguage &U) { U.ChooseMenu(item); }});
    }
    // The 3D window's, from its menu while it is the active window.
    for (const char *item : {"Rapid Move Threshold...", "Surface Colour..."})
        all.push_back({std::string("the 3D window's ") + item,
                       [](UserLanguage &U) {
                           if (!U.WindowTitled("3D Simulation"))
                               U.ClickToolbarButton("3D Simulation");
                       },
                       [item](UserLanguage &U) { U.ChooseMenu({"3D Viewer", "Setup", item}); }});
    all.insert(all.end(), std::begin(cases), std::end(cases));
    StartInGerman();
    ExpectAskedGerman(all);
}

// The editor's further dialogs, from its menu and from the wizards of its
// popup, read German.
TEST_F(UserLanguage, EditorDialogsAndWizardsReadGerman)
{
    std::vector<TAsked> asked;
    for (QStringList item :
         {QStringList{"Search", "Find..."}, QStringList{"Search", "Goto Line Number..."},
          QStringList{"Modify", "Alter Feed Rates.."}, QStringList{"Modify", "Alter X Values..."},
          QStringList{"Modify", "Add Padding Token..."},
          QStringList{"Modify", "Append Line End Token..."}}) {
        item.prepend("Editor");
        asked.push_back({"the editor's " + item.join(" > ").toStdString(), nullptr,
                         [item](UserLanguage &U) { U.ChooseMenu(item); }});
    }
    const auto popup = [](QStringList Path) {
        return [Path](UserLanguage &U) {
            TEditorForm *editor = nullptr;
            for (QMdiSubWindow *sub : U.Form().MdiArea()->subWindowList())
                if (auto *form = qobject_cast<TEditorForm *>(sub->widget()))
                    editor = form;
            ASSERT_NE(editor, nullptr);
            U.RightClick(editor->RichEdit()->viewport(), QPoint(40, 20));
            U.PickFromPopup(U.OpenPopup(), Path);
        };
    };
    for (QStringList path :
         {QStringList{"Header"}, QStringList{"Traverse", "Fast Traverse"},
          QStringList{"Interpolation", "Clockwise Arc"},
          QStringList{"Drilling Canned Cycles", "Deep Hole Peck Drilling"},
          QStringList{"Boring Canned Cycles", "Boring - Dwell"},
          QStringList{"Tapping Canned Cycles", "Tapping - Right Hand"},
          QStringList{"Cutter Compensation"}, QStringList{"Scaling Operations"},
          QStringList{"Rotation Operations"}, QStringList{"Mirror Operations", "Mirror in X"},
          QStringList{"Spindle Operations"}, QStringList{"Program Operations"},
          QStringList{"Sub Program Operations"}, QStringList{"Tool Change"}}) {
        path.prepend("Wizards");
        asked.push_back({"the editor's wizard " + path.join(" > ").toStdString(), nullptr,
                         popup(path)});
    }
    StartInGerman();
    ExpectAskedGerman(asked);
}

// The menus and dialogs of the tooling, offset and settings windows, and
// the Help menu's box, read German.
TEST_F(UserLanguage, ToolingOffsetSettingsAndHelpDialogsReadGerman)
{
    // A node of the tree of the window titled Window: the first of the
    // second level (a tool of the library, an offset).
    const auto node = [](UserLanguage &U, const char *Window) -> std::pair<QTreeWidget *, QRect> {
        QWidget *window = U.WindowTitled(Window);
        if (!window)
            return {nullptr, {}};
        for (QTreeWidget *tree : window->findChildren<QTreeWidget *>())
            for (QTreeWidgetItemIterator it(tree); *it; ++it)
                if ((*it)->parent() && !(*it)->parent()->parent()) {
                    tree->scrollToItem(*it);
                    return {tree, tree->visualItemRect(*it)};
                }
        return {nullptr, {}};
    };
    const auto rightClickNode = [node](const char *Window) {
        return [=](UserLanguage &U) {
            auto [tree, at] = node(U, Window);
            ASSERT_NE(tree, nullptr) << "no node in " << Window << "; shown: " << U.ShownWindows();
            U.RightClick(tree->viewport(), at.center());
        };
    };
    const auto open = [](const char *Window, const char *Button) {
        return [=](UserLanguage &U) {
            if (!U.WindowTitled(Window))
                U.ClickToolbarButton(Button);
        };
    };
    const auto click = [](const char *Window, std::function<bool(QAbstractButton *)> Which) {
        return [=](UserLanguage &U) {
            QWidget *window = U.WindowTitled(Window);
            ASSERT_NE(window, nullptr) << "shown: " << U.ShownWindows();
            for (QAbstractButton *b : window->findChildren<QAbstractButton *>())
                if (b->isVisible() && Which(b)) {
                    U.Click(b);
                    return;
                }
            FAIL() << "no such button in " << Window;
        };
    };
    const std::vector<TAsked> asked = {
        {"the tool library's menu", open("Tooling Library", "Tool Library"),
         rightClickNode("Tooling Library"), true},
        {"the work offsets' menu", open("Work Piece Offsets", "Offsets"),
         rightClickNode("Work Piece Offsets"), true},
        {"the work offsets' circle centre", nullptr,
         click("Work Piece Offsets",
               [](QAbstractButton *B) { return ReadsAs(B->text(), "Circle Centre ?"); }),
         false, "Work Piece Offsets"},
        {"the carousel's tool offsets", open("Machine Tooling", "Tooling"),
         [](UserLanguage &U) {
             QWidget *deck = U.WindowTitled("Machine Tooling");
             ASSERT_NE(deck, nullptr);
             auto *bar = deck->findChild<QMenuBar *>();
             ASSERT_NE(bar, nullptr);
             QAction *offsets = nullptr;
             for (QAction *a : bar->actions())
                 if (ReadsAs(a->text(), "Tool Offsets"))
                     offsets = a;
             ASSERT_NE(offsets, nullptr);
             U.Click(bar, bar->actionGeometry(offsets).center());
             U.PickFromPopup(U.OpenPopup(), {"Edit ToolOffsets..."});
         }},
        {"the machine editor's new password",
         [](UserLanguage &U) {
             U.WhenModal([&U](QWidget &Dialog) {
                 U.Type("orvellan");
                 U.Answer(Dialog, "OK");
             });
             U.ThroughDialog("Change Password");
         },
         [](UserLanguage &U) { U.ChooseMenu({"Setup", "Setup Machine Parameters..."}); }},
        {"a utility's properties", [](UserLanguage &U) { U.ThroughDialog("Add..."); },
         [](UserLanguage &U) { U.ChooseMenu({"Utilities", "Configure Utilities..."}); }},
        {"the About box", nullptr, [](UserLanguage &U) { U.ChooseMenu({"Help", "About..."}); }},
    };
    StartInGerman();
    ExpectAskedGerman(asked);
}

class EveryWindowInGerman : public UserLanguage,
                            public ::testing::WithParamInterface<TUserWindow> {};

TEST_P(EveryWindowInGerman, ReadsGerman)
{
    const TUserWindow &window = GetParam();
    if (window.NeedsOpenGL && !OpenGLAvailable())
        GTEST_SKIP() << "needs OpenGL: run under scripts/with-xvfb.sh";
    if (window.Prepare)
        window.Prepare(*this);
    StartInGerman();
    bool visited = false;
    window.Visit(*this, [&](QWidget &Shown) {
        visited = true;
        ExpectGerman(window.Name, ShownTexts(&Shown));
        ExpectHotKeysApart(window.Name, &Shown);
    });
    EXPECT_TRUE(visited) << window.Name << " was not reached in German";
}

// The texts of a window that hold a word, as "where: text", sorted, for
// comparing (numbers a window shows may change meanwhile).
std::vector<std::string> TextsOf(QWidget *Window)
{
    static const QRegularExpression word("[A-Za-z]{2}");
    std::vector<std::string> texts;
    for (const TShownText &text : ShownTexts(Window))
        if (text.Text.contains(word))
            texts.push_back(text.Where + ": " + text.Text.toStdString());
    std::sort(texts.begin(), texts.end());
    return texts;
}

// What Now holds that Before did not, and the other way round.
std::string Differences(const std::vector<std::string> &Before, const std::vector<std::string> &Now)
{
    std::vector<std::string> gone, come;
    std::set_difference(Before.begin(), Before.end(), Now.begin(), Now.end(),
                        std::back_inserter(gone));
    std::set_difference(Now.begin(), Now.end(), Before.begin(), Before.end(),
                        std::back_inserter(come));
    std::string text;
    for (const std::string &t : gone)
        text += "\n  was: " + t;
    for (const std::string &t : come)
        text += "\n  now: " + t;
    return text;
}

// A window open while the user switches to German and back: it reads
// German, then exactly its English texts again (texts the window makes from
// a translated part and a value are made again in the new language). A
// modal window keeps the main window's menu out of reach: it is opened
// again after each switch instead.
class EveryWindowSwitched : public UserLanguage,
                            public ::testing::WithParamInterface<TUserWindow> {};

TEST_P(EveryWindowSwitched, ReadsGermanAndBackEnglish)
{
    const TUserWindow &window = GetParam();
    if (window.NeedsOpenGL && !OpenGLAvailable())
        GTEST_SKIP() << "needs OpenGL: run under scripts/with-xvfb.sh";
    if (window.Prepare)
        window.Prepare(*this);
    Start();
    bool modal = false;
    std::vector<std::string> english;
    window.Visit(*this, [&](QWidget &Shown) {
        english = TextsOf(&Shown);
        if ((modal = QApplication::activeModalWidget() || QApplication::activePopupWidget()))
            return;
        SelectLanguage(German);
        ExpectGerman(window.Name + " switched", ShownTexts(&Shown));
        SelectLanguage(0);
        const std::vector<std::string> back = TextsOf(&Shown);
        EXPECT_EQ(back, english) << window.Name << " after the switch back:"
                                 << Differences(english, back);
    });
    if (!modal)
        return;
    SelectLanguage(German);
    window.Visit(*this, [&](QWidget &Shown) {
        ExpectGerman(window.Name + " after the switch", ShownTexts(&Shown));
    });
    SelectLanguage(0);
    window.Visit(*this, [&](QWidget &Shown) {
        const std::vector<std::string> back = TextsOf(&Shown);
        EXPECT_EQ(back, english) << window.Name << " after the switch back:"
                                 << Differences(english, back);
    });
}

TEST_F(UserLanguage, TheMainWindowSwitchesToGermanAndBack)
{
    Start();
    const std::vector<std::string> english = TextsOf(&Form());
    SelectLanguage(German);
    ExpectGerman("The main window switched", ShownTexts(&Form()));
    SelectLanguage(0);
    const std::vector<std::string> back = TextsOf(&Form());
    EXPECT_EQ(back, english) << "after the switch back:" << Differences(english, back);
}

std::string TestName(const ::testing::TestParamInfo<TUserWindow> &Info)
{
    std::string name;
    for (char c : Info.param.Name)
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
    return name;
}

INSTANTIATE_TEST_SUITE_P(Tarnwick, EveryWindowInGerman, ::testing::ValuesIn(UserWindows()),
                         TestName);
INSTANTIATE_TEST_SUITE_P(Tarnwick, EveryWindowSwitched, ::testing::ValuesIn(UserWindows()),
                         TestName);

} // namespace
} // namespace orv::test
