// Tarnwick in another language and back: started from a settings folder
// with the shipped tables, the 2D window open, "Select Language" answered
// with German turns the main window, its menus with their hot keys, the 2D
// window and the dialogs German; the choice is stored and a restart comes
// up in German; English gives back every text the windows showed.
#include "components/toolbar/ui/TbCore.h"
#include "components/toolbar/ui/TbCtls.h"
#include "localise/ui/LxLanguageDialog.h"
#include "localise/ui/LxQtTranslator.h"
#include "platform/EventLoop.h"
#include "platform/FormatSettings.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"
#include "platform/tests/TempDir.h"
#include "platform/ui/ModalRunner.h"
#include "shell/ui/ShellStatusBar.h"
#include "shell/ui/TarnwickApp.h"
#include "shell/ui/main_form3_2.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace orv {
namespace {

// Every text a window shows, each with the object that shows it.
QStringList Dump(QWidget *Window)
{
    QStringList texts{"title=" + Window->windowTitle()};
    for (QObject *o : Window->findChildren<QObject *>()) {
        const QString name = o->objectName() + "/" + o->metaObject()->className() + "=";
        if (auto *a = qobject_cast<QAction *>(o))
            texts << name + a->text();
        else if (auto *m = qobject_cast<QMenu *>(o))
            texts << name + m->title();
        else if (auto *b = qobject_cast<QAbstractButton *>(o))
            texts << name + b->text() + "|" + b->toolTip();
        else if (auto *l = qobject_cast<QLabel *>(o))
            texts << name + l->text();
        else if (auto *t = qobject_cast<TToolbarButton *>(o))
            texts << name + t->Caption() + "|" + t->toolTip();
        else if (auto *w = qobject_cast<TCustomToolWindow *>(o))
            texts << name + w->Caption();
        else if (auto *s = dynamic_cast<TShellStatusBar *>(o))
            for (int i = 0; i < TShellStatusBar::PanelCount; ++i)
                texts << name + s->Text(i);
    }
    return texts;
}

// The lines that differ, for a readable failure.
std::string Differences(const QStringList &Now, const QStringList &Before)
{
    std::string text;
    for (int i = 0; i < std::max(Now.size(), Before.size()); ++i) {
        const QString now = i < Now.size() ? Now[i] : "<none>";
        const QString before = i < Before.size() ? Before[i] : "<none>";
        if (now != before)
            text += (before + " -> " + now + "\n").toStdString();
    }
    return text;
}

class MainFormLanguage : public ::testing::Test {
public:
    MainFormLanguage()
    {
        std::filesystem::copy(ORV_DATA_DIR, Dir.Path(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        FPrevious = std::filesystem::current_path();
        std::filesystem::current_path(Dir.Path());
        SetProgramPathOverride(Dir.Path(), "Tarnwick");
        ::setenv("ORV_CLASS_REGISTRY", Dir.File("classes.reg").c_str(), 1);
        SetModalScript([this](QDialog &D) {
            auto *languages = dynamic_cast<TLxLanguageDialog *>(&D);
            if (!languages) {
                TLxQtTranslator *tran = TranslatorOf(&D);
                Others.push_back(tran && tran->Translator().Active());
                LastDialog = Dump(&D);
                return int(QDialog::Rejected);
            }
            DialogTitle = D.windowTitle();
            for (int i = 0; i < languages->TreeView->topLevelItemCount(); ++i) {
                QTreeWidgetItem *node = languages->TreeView->topLevelItem(i);
                if (node->data(0, Qt::UserRole).toInt() == Choose)
                    languages->TreeView->setCurrentItem(node);
            }
            return int(QDialog::Accepted);
        });
    }
    ~MainFormLanguage() override
    {
        App.reset();
        FormatSettings() = FFormat;
        SetModalScript(nullptr);
        ::unsetenv("ORV_CLASS_REGISTRY");
        SetProgramPathOverride("", "");
        std::filesystem::current_path(FPrevious);
    }
    void Start()
    {
        App.reset();
        App = std::make_unique<TTarnwickApp>(std::vector<std::string>{});
        App->Show();
        Form().Button(TMainButton::Output2D)->Click();
        Form2D = nullptr;
        for (QMdiSubWindow *sub : Form().MdiArea()->subWindowList())
            if (sub->widget()->objectName() == "Form2D")
                Form2D = sub->widget();
        ASSERT_NE(Form2D, nullptr);
    }
    void SelectLanguage(int Language)
    {
        Choose = Language;
        Form().MenuItem("SelectLanguage")->trigger();
    }
    TMainForm &Form() { return App->MainForm(); }
    QStringList Texts() { return Dump(&Form()) + Dump(Form2D); }
    QString MenuTitle(const char *Name) { return Form().Menu(Name)->title(); }
    QString Item(const char *Name) { return Form().MenuItem(Name)->text(); }
    std::string Setting() const
    {
        return TIniFile(Dir.File("Tarnwick.ini"))
            .ReadString("Default Settings", "PrimaryLanguage", "<none>");
    }

    test::TTempDir Dir;
    TTestEventLoop Loop;
    TEventLoopScope LoopScope{Loop};
    TScriptedMessages Messages;
    TMessageServiceScope MessageScope{Messages};
    std::unique_ptr<TTarnwickApp> App;
    QWidget *Form2D = nullptr;
    int Choose = 0;
    QString DialogTitle;
    std::vector<bool> Others; // each other dialog: it ran with its translator open
    QStringList LastDialog;   // the texts of the last other dialog as it ran

private:
    std::filesystem::path FPrevious;
    TFormatSettings FFormat = FormatSettings();
};

void ExpectGerman(MainFormLanguage &T)
{
    const std::pair<QString, const char *> expected[] = {
        {T.MenuTitle("File"), "&Datei"},
        {T.Item("FileOpen"), "&\xC3\x96" "ffnen..."},
        {T.Item("FileSaveAs"), "Sp&eichern unter..."},
        {T.Item("FileExit"), "&Beenden"},
        {T.MenuTitle("Setup"), "&Einrichten"},
        {T.Item("SelectLanguage"), "&Sprache w\xC3\xA4hlen"},
        {T.MenuTitle("Windows"), "&Fenster"},
        {T.MenuTitle("Help"), "&Hilfe"},
        {T.Form().Button(TMainButton::Stop)->toolTip(), "Stopp"},
        {T.Form().Button(TMainButton::Output2D)->toolTip(), "2D-Simulationsfenster zeigen"},
        {QString::fromStdString(T.Form().StatusPanelText(1, 0)), "Metrisch"},
        {QString::fromStdString(T.Form().StatusPanelText(1, 2)), "Satzausblendung AUS"},
        {QString::fromStdString(T.Form().StatusPanelText(2, 0)), "Verschiebungen:"},
        {T.Form2D->windowTitle(), "2D-Simulation"},
        {T.Form2D->parentWidget()->windowTitle(), "2D-Simulation"},
    };
    for (const auto &[shown, german] : expected)
        EXPECT_EQ(shown.toStdString(), german);
    QStringList popup;
    for (QAction *a : T.Form2D->findChildren<QMenu *>()[0]->actions())
        popup << a->text();
    EXPECT_TRUE(popup.contains("&Vergr\xC3\xB6\xC3\x9F" "ern")) << popup.join("|").toStdString();
}

TEST_F(MainFormLanguage, GermanAndBackGiveEveryTextExactly)
{
    Start();
    const QStringList english = Texts();
    EXPECT_EQ(MenuTitle("File"), "&File");

    // Whatever separators a language brings, the program keeps "." and ",".
    FormatSettings().DecimalSeparator = ",";
    FormatSettings().ThousandSeparator = ".";
    SelectLanguage(1);
    ExpectGerman(*this);
    EXPECT_EQ(Setting(), "1");
    EXPECT_EQ(FormatSettings().DecimalSeparator, ".");
    EXPECT_EQ(FormatSettings().ThousandSeparator, ",");
    // A dialog opened now speaks German.
    SelectLanguage(1);
    EXPECT_EQ(DialogTitle.toStdString(), "Sprache w\xC3\xA4hlen");
    Form().MenuItem("BilletSize")->trigger();
    EXPECT_EQ(Others, std::vector<bool>{true});

    SelectLanguage(0);
    EXPECT_EQ(Setting(), "0");
    EXPECT_EQ(Differences(Texts(), english), "");

    // The stored choice brings the next start up in German.
    // A tip the window sets as its state changes follows the language too.
    auto *lock = Form2D->findChild<QToolButton *>("DatumLock");
    lock->toggle();
    SelectLanguage(1);
    EXPECT_EQ(lock->toolTip().toStdString(), "Nullpunkt frei");
    lock->toggle();
    SelectLanguage(0);
    EXPECT_EQ(lock->toolTip().toStdString(), "Datum Locked");

    SelectLanguage(1);
    Start();
    ExpectGerman(*this);
    SelectLanguage(0);
    EXPECT_EQ(Differences(Texts(), english), "");
}

// Menu items a window makes while a language is in use speak it, with hot
// keys, at once: the Utilities items, and the items of a child window's
// menus as they are merged into the main window's bar.
TEST_F(MainFormLanguage, MenusMadeLaterSpeakTheLanguageAtOnce)
{
    Start();
    SelectLanguage(1);
    Form().BuildUtilitiesMenu({"Notes", "Print"});
    QStringList utilities;
    for (QAction *a : Form().Menu("Utilities")->actions())
        if (!a->isSeparator())
            utilities << a->text();
    EXPECT_EQ(utilities.join("|").toStdString(),
              "Hilfsprogramme &einrichten...|&Notes|&Drucken")
        << "translated, hot keys no sibling uses";

    auto *child = new QMainWindow;
    child->setObjectName("Child");
    child->menuBar()->addMenu("Color");
    QMdiSubWindow *sub = Form().AdoptChild(child);
    child->show();
    QMenu *later = child->menuBar()->addMenu("Print Setup");
    Form().MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(Form2D->parentWidget()));
    Form().MdiArea()->setActiveSubWindow(sub);
    EXPECT_EQ(later->title().toStdString(), "&Druckereinrichtung");
    EXPECT_TRUE(Form().menuBar()->actions().contains(later->menuAction()));
}

// Windows that carry their English texts: a dialog opened in German speaks
// German, an open child window turns German, and English gives back the
// texts each showed before.
TEST_F(MainFormLanguage, ConvertedWindowsSpeakTheLanguageAndBack)
{
    Start();
    Form().MenuItem("BilletSize")->trigger();
    const QStringList billet = LastDialog;
    ASSERT_TRUE(billet.contains("title=Billet Size")) << billet.join("|").toStdString();
    Form().Button(TMainButton::ToolLibrary)->Click();
    QWidget *library = nullptr;
    for (QMdiSubWindow *sub : Form().MdiArea()->subWindowList())
        if (sub->widget()->windowTitle() == "Tooling Library")
            library = sub->widget();
    ASSERT_NE(library, nullptr);
    const QStringList libraryTexts = Dump(library);
    auto *files = library->findChildren<QMenu *>()[0];
    EXPECT_EQ(files->title(), "&Files");

    SelectLanguage(1);
    Form().MenuItem("BilletSize")->trigger();
    const std::string german = LastDialog.join("|").toStdString();
    for (const char *text : {"title=Rohteilgr\xC3\xB6\xC3\x9F" "e", "=X-Gr\xC3\xB6\xC3\x9F" "e",
                             "=Z-Gr\xC3\xB6\xC3\x9F" "e", "=Y-Position", "=Abbrechen|"})
        EXPECT_NE(german.find(text), std::string::npos) << text << " in " << german;
    EXPECT_EQ(library->windowTitle().toStdString(), "Werkzeugbibliothek");
    EXPECT_EQ(files->title().toStdString(), "&Dateien");
    QStringList items;
    for (QAction *a : files->actions())
        items << a->text();
    EXPECT_EQ(items.join("|").toStdString(),
              "&Werkzeugdatei importieren...|W&erkzeugdatei exportieren...|&Neue Werkzeugdatei");

    SelectLanguage(0);
    Form().MenuItem("BilletSize")->trigger();
    EXPECT_EQ(Differences(LastDialog, billet), "");
    EXPECT_EQ(Differences(Dump(library), libraryTexts), "");
}

} // namespace
} // namespace orv
