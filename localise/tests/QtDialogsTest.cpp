#include "localise/LxTextDictionary.h"
#include "localise/dialogs/LxMlDlgs.h"
#include "localise/tests/LxTestSupport.h"
#include "localise/ui/LxQtDialogs.h"
#include "localise/ui/LxWidgetText.h"
#include "platform/ui/FindDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QToolButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace orv;

namespace {

// Runs Inspect on the modal dialog once it is up, then cancels it; the
// dialog is looked for again and again for a bounded number of turns.
void WhenModal(std::function<void(QDialog &)> Inspect)
{
    auto *timer = new QTimer;
    auto turns = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, turns, Inspect] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog && ++*turns < 500)
            return;
        timer->stop();
        timer->deleteLater();
        if (!dialog) {
            ADD_FAILURE() << "no dialog came up";
            return;
        }
        Inspect(*dialog);
        dialog->reject();
    });
    timer->start(5);
}

class LxQtDialogsTest : public test::TLxEnvironmentTest {
protected:
    void SetUp() override
    {
        TLxEnvironmentTest::SetUp();
        InstallLxDialogs();
        Dictionary.SetDictionaryName("Dictionary1");
        Dictionary.SetLanguageFileName(std::string(ORV_DATA_DIR) + "/language.txt");
        Dictionary.SetFileName(std::string(ORV_DATA_DIR) + "/translat.txt");
        Dictionary.SetCheckLevel(lxclNone);
        Dictionary.SetLanguage(1);
        Dictionary.Open();
        ASSERT_TRUE(Dictionary.Active());
        Parent.setGeometry(100, 100, 800, 600);
    }
    static QPoint Centre(const QWidget &W) { return W.frameGeometry().center(); }

    TLxTextDictionary Dictionary;
    QWidget Parent;
};

TEST_F(LxQtDialogsTest, OpenDialogSpeaksTheLanguageAndSitsOverItsParent)
{
    TLxOpenDialog dialog;
    dialog.Parent = &Parent;
    dialog.SetInitialDir(std::string(ORV_DATA_DIR) + "/");
    dialog.Filter = "NC files|*.fnc|Any file|*.*";
    WhenModal([&](QDialog &D) {
        auto &files = static_cast<QFileDialog &>(D);
        EXPECT_EQ(files.windowTitle().toStdString(), "\xC3\x96" "ffnen");
        EXPECT_EQ(files.labelText(QFileDialog::LookIn).toStdString(), "Suchen &in:");
        EXPECT_EQ(files.labelText(QFileDialog::FileName).toStdString(), "Datei&name:");
        EXPECT_EQ(files.labelText(QFileDialog::FileType).toStdString(), "Datei&typ:");
        EXPECT_EQ(files.labelText(QFileDialog::Accept).toStdString(), "\xC3\x96&" "ffnen");
        EXPECT_EQ(files.labelText(QFileDialog::Reject).toStdString(), "Abbrechen");
        EXPECT_EQ(files.directory().absolutePath().toStdString(), ORV_DATA_DIR);
        EXPECT_EQ(files.nameFilters().size(), 2);
        // Qt's own texts inside: the list's columns and the tool buttons' tips.
        auto *model = files.findChild<QFileSystemModel *>();
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString().toStdString(),
                  "Gr\xC3\xB6\xC3\x9F" "e");
        QStringList tips;
        for (QToolButton *b : files.findChildren<QToolButton *>())
            tips << b->toolTip();
        EXPECT_TRUE(tips.contains("Eine Ebene h\xC3\xB6her")) << tips.join("|").toStdString();
        EXPECT_LE((Centre(files) - Centre(Parent)).manhattanLength(), 10);
    });
    EXPECT_FALSE(dialog.Execute());
}

TEST_F(LxQtDialogsTest, SaveDialogKeepsItsTitleElseSaveAs)
{
    struct Case {
        const char *Title;
        const char *Caption;
    };
    for (const Case &c : {Case{"Save Project", "Save Project"}, Case{"", "Speichern unter"}}) {
        TLxSaveDialog dialog;
        dialog.Title = c.Title;
        std::string caption, accept;
        WhenModal([&](QDialog &D) {
            caption = D.windowTitle().toStdString();
            accept = static_cast<QFileDialog &>(D).labelText(QFileDialog::Accept).toStdString();
        });
        EXPECT_FALSE(dialog.Execute());
        EXPECT_EQ(caption, c.Caption);
        EXPECT_EQ(accept, "&Speichern");
    }
}

TEST_F(LxQtDialogsTest, WithoutADictionaryNothingIsTranslatedButTheDialogIsCentred)
{
    Dictionary.Close();
    TLxDictionaries::Remove(&Dictionary);
    TLxOpenDialog dialog;
    dialog.Parent = &Parent;
    QString lookIn, title;
    QPoint centre;
    WhenModal([&](QDialog &D) {
        lookIn = static_cast<QFileDialog &>(D).labelText(QFileDialog::LookIn);
        title = D.windowTitle();
        centre = Centre(D);
    });
    EXPECT_FALSE(dialog.Execute());
    TLxDictionaries::Add(&Dictionary);
    QFileDialog plain;
    plain.setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(lookIn, plain.labelText(QFileDialog::LookIn));
    EXPECT_NE(title.toStdString(), "\xC3\x96" "ffnen");
    EXPECT_LE((centre - Centre(Parent)).manhattanLength(), 10);
}

TEST_F(LxQtDialogsTest, ColourDialogCaption)
{
    TLxColorDialog dialog;
    dialog.Parent = &Parent;
    dialog.CustomColors = {"ColorA=0000FF"};
    QString title;
    WhenModal([&](QDialog &D) {
        title = D.windowTitle();
        EXPECT_TRUE(qobject_cast<QColorDialog *>(&D));
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(title.toStdString(), "Farbe");
    EXPECT_EQ(QColorDialog::customColor(0), QColor(255, 0, 0));
}

} // namespace

namespace {

TEST_F(LxQtDialogsTest, FindAndReplaceTexts)
{
    struct Case {
        bool Replace;
        std::vector<std::pair<const char *, const char *>> Texts; // object, text
        const char *Caption;
    };
    const Case cases[] = {
        {false,
         {{"FindLabel", "&Suchen nach:"}, {"FindNextButton", "&Weitersuchen"},
          {"CancelButton", "Abbrechen"}, {"CaseBox", "&Gro\xC3\x9F-/Kleinschreibung"},
          {"Direction", "Richtung"}, {"UpButton", "&Aufw\xC3\xA4rts"}},
         "Suchen"},
        {true,
         {{"FindLabel", "&Suchen nach:"}, {"ReplaceLabel", "Ersetzen &durch:"},
          {"ReplaceButton", "&Ersetzen"}, {"ReplaceAllButton", "&Alle ersetzen"},
          {"WholeWordBox", "Nur &ganzes Wort"}},
         "Ersetzen"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Caption);
        std::unique_ptr<TFindDialog> dialog = MakeFindDialog(nullptr, c.Replace);
        EXPECT_EQ(dialog->windowTitle().toStdString(), c.Caption);
        for (const auto &[name, text] : c.Texts) {
            auto *widget = dialog->findChild<QWidget *>(name);
            ASSERT_NE(widget, nullptr) << name;
            TLxWidgetText window(widget);
            EXPECT_EQ(window.Text(), text) << name;
        }
    }
    Dictionary.Close();
    std::unique_ptr<TFindDialog> plain = MakeFindDialog(nullptr, true);
    EXPECT_EQ(plain->windowTitle().toStdString(), "Replace");
    EXPECT_EQ(plain->findChild<QWidget *>("ReplaceAllButton")->property("lxControlId"), 1025);
}

} // namespace

namespace {

TEST_F(LxQtDialogsTest, OldStyleSaveDialogsTypeBoxAndDefaultExtension)
{
    struct Case {
        const char *Name;
        TOpenOptions Options;
        bool Module;
        const char *TypeLabel;
        const char *Suffix;
    };
    const Case cases[] = {
        {"old style as a component", ofOldStyleDialog, false, "Datei speichern als &Typ:", "gnc"},
        {"old style through the dialog module", ofOldStyleDialog, true, "Dateien vom &Typ:",
         "gnc"},
        {"new style", 0, false, "Speichern als &Typ:", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TLxSaveDialog dialog;
        dialog.Options = c.Options;
        dialog.ModuleTexts = c.Module;
        dialog.FileName = "part.gnc";
        QString type, suffix;
        WhenModal([&](QDialog &D) {
            type = static_cast<QFileDialog &>(D).labelText(QFileDialog::FileType);
            suffix = static_cast<QFileDialog &>(D).defaultSuffix();
        });
        EXPECT_FALSE(dialog.Execute());
        EXPECT_EQ(type.toStdString(), c.TypeLabel);
        EXPECT_EQ(suffix.toStdString(), c.Suffix);
        EXPECT_EQ(dialog.FileName, "part.gnc"); // cancelled: unchanged
    }
}

} // namespace
