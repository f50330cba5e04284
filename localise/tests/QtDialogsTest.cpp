#include "localise/LxTextDictionary.h"
#include "localise/dialogs/LxMlDlgs.h"
#include "localise/tests/LxTestSupport.h"
#include "localise/tests/WhenModal.h"
#include "localise/ui/LxQtDialogs.h"
#include "localise/ui/LxWidgetText.h"
#include "platform/ui/FindDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QLineEdit>
#include <QCheckBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace orv;
using orv::test::WhenModal;

namespace {

class LxQtDialogsTest : public test::TLxEnvironmentTest {
protected:
    void SetUp() override
    {
        TLxEnvironmentTest::SetUp();
        InstallLxDialogs();
        // Qt's widgets take their texts again once the translator is in.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        Dictionary.SetDictionaryName("Dictionary1");
        Dictionary.SetLanguageFileName(std::string(ORV_DATA_DIR) + "/language.txt");
        Dictionary.SetFileName(std::string(ORV_DATA_DIR) + "/translat.txt");
        Dictionary.SetCheckLevel(lxclNone);
        Dictionary.SetLanguage(1);
        Dictionary.Open();
        ASSERT_TRUE(Dictionary.Active());
        // Whole on the (800 x 800) screen: a dialog is kept whole on it.
        Parent.setGeometry(40, 40, 720, 600);
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

// The labels of the open and save dialogs show their hot keys underlined,
// never a "&" as it stands: each label with one has the box it names.
TEST_F(LxQtDialogsTest, FileDialogLabelsShowNoAmpersand)
{
    for (int language : {0, 1})
        for (bool save : {false, true}) {
            SCOPED_TRACE((save ? "save, language " : "open, language ") + std::to_string(language));
            Dictionary.SetLanguage(language);
            QStringList shown;
            WhenModal([&](QDialog &D) {
                for (QLabel *label : D.findChildren<QLabel *>())
                    if (label->isVisible() && label->text().contains('&')) {
                        shown << label->text();
                        EXPECT_NE(label->buddy(), nullptr)
                            << "\"" << label->text().toStdString() << "\" shows its \"&\"";
                    }
            });
            if (save) {
                TLxSaveDialog dialog;
                EXPECT_FALSE(dialog.Execute());
            } else {
                TLxOpenDialog dialog;
                EXPECT_FALSE(dialog.Execute());
            }
            EXPECT_EQ(shown.size(), 3) << shown.join(" | ").toStdString();
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

// The font dialog of the dialog module: its caption, labels, boxes and
// buttons from the font table in the language, over its parent; the font
// chosen comes back, a cancel keeps the one given.
TEST_F(LxQtDialogsTest, FontDialogSpeaksTheLanguageAndSitsOverItsParent)
{
    QFont font("Monospace", 11);
    QStringList texts;
    QString title;
    QPoint centre;
    WhenModal([&](QDialog &D) {
        EXPECT_TRUE(qobject_cast<QFontDialog *>(&D));
        title = D.windowTitle();
        centre = Centre(D);
        for (QWidget *w : D.findChildren<QWidget *>()) {
            if (auto *l = qobject_cast<QLabel *>(w))
                texts << l->text();
            else if (auto *b = qobject_cast<QAbstractButton *>(w))
                texts << b->text();
            else if (auto *g = qobject_cast<QGroupBox *>(w))
                texts << g->title();
        }
    });
    EXPECT_FALSE(LxChooseFont(&Parent, font));
    EXPECT_EQ(font, QFont("Monospace", 11));
    EXPECT_EQ(title.toStdString(), "Schriftart");
    for (const char *text : {"&Schriftart:", "Schrifts&til:", "&Gr\xC3\xB6\xC3\x9F" "e:",
                             "Effekte", "Beispiel", "&Durchgestrichen", "&Unterstrichen",
                             "S&kript:", "OK", "Abbrechen"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(text)))
            << text << " not in " << texts.join("|").toStdString();
    EXPECT_LE((centre - Centre(Parent)).manhattanLength(), 10);

    WhenModal([](QDialog &D) { static_cast<QFontDialog &>(D).setCurrentFont(QFont("Serif", 14)); },
              true);
    EXPECT_TRUE(LxChooseFont(&Parent, font));
    EXPECT_EQ(font.pointSize(), 14);
}

// The message service's question for a text: the caller's caption and
// prompt, OK and Cancel in the language, over the parent; the text typed
// comes back only when confirmed.
TEST_F(LxQtDialogsTest, InputQueryButtonsSpeakTheLanguage)
{
    std::string value = "1.5";
    QStringList buttons;
    QString title, prompt;
    QPoint centre;
    WhenModal([&](QDialog &D) {
        title = D.windowTitle();
        centre = Centre(D);
        for (QAbstractButton *b : D.findChildren<QAbstractButton *>())
            buttons << b->text();
        for (QLabel *l : D.findChildren<QLabel *>())
            prompt += l->text();
        static_cast<QInputDialog &>(D).setTextValue("2.25");
    });
    EXPECT_FALSE(LxInputQuery(&Parent, "Versatz setzen", "Z:", value));
    EXPECT_EQ(value, "1.5");
    EXPECT_EQ(title.toStdString(), "Versatz setzen");
    EXPECT_EQ(prompt.toStdString(), "Z:");
    EXPECT_TRUE(buttons.contains("OK") && buttons.contains("Abbrechen"))
        << buttons.join("|").toStdString();
    EXPECT_LE((centre - Centre(Parent)).manhattanLength(), 10);
    WhenModal([](QDialog &D) { static_cast<QInputDialog &>(D).setTextValue("2.25"); }, true);
    EXPECT_TRUE(LxInputQuery(&Parent, "Versatz setzen", "Z:", value));
    EXPECT_EQ(value, "2.25");
}

// Qt's own message boxes take the buttons' names of the program's message
// dialogs in the language.
TEST_F(LxQtDialogsTest, MessageBoxButtonsSpeakTheLanguage)
{
    QMessageBox box(QMessageBox::Question, "Frage", "?", QMessageBox::Yes | QMessageBox::No |
                                                             QMessageBox::Cancel);
    QStringList buttons;
    for (QAbstractButton *b : box.buttons())
        buttons << b->text();
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({"&Ja", "&Nein", "Abbrechen"}));
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

namespace {

// The text of a dialog's control: by object name, or "#1" / "#2" for the
// control with that id (the unnamed accept and cancel buttons).
std::string ControlText(QDialog &Dialog, const std::string &Name)
{
    QWidget *control = nullptr;
    if (Name[0] == '#') {
        for (QWidget *w : Dialog.findChildren<QWidget *>())
            if (w->property("lxControlId").toString() == QString::fromStdString(Name.substr(1)))
                control = w;
    } else {
        control = Dialog.findChild<QWidget *>(QString::fromStdString(Name));
    }
    if (!control)
        return "(no " + Name + ")";
    return TLxWidgetText(control).Text();
}

TEST_F(LxQtDialogsTest, PrintDialogsSpeakTheLanguageAndSitOverTheirParent)
{
    struct Case {
        const char *Name;
        bool Setup;
        bool Dictionary;
        const char *Caption;
        std::vector<std::pair<std::string, const char *>> Texts; // control, text
    };
    const Case cases[] = {
        {"print",
         false,
         true,
         "Drucken",
         {{"#1", "OK"},
          {"#2", "Abbrechen"},
          {"collate", "&Sortieren"},
          {"gbPrintRange", "Druckbereich"},
          {"printAll", "&Alles"},
          {"properties", "&Eigenschaften"},
          {"printerGroup", "Drucker"}}},
        {"printer set-up",
         true,
         true,
         "Druckereinrichtung",
         {{"#1", "OK"},
          {"#2", "Abbrechen"},
          {"portrait", "&Hochformat"},
          {"landscape", "&Querformat"},
          {"groupBox_3", "Ausrichtung"},
          {"groupBox_2", "Papier"},
          {"pageSizeLabel", "&Gr\xC3\xB6\xC3\x9F" "e:"}}},
        // No dictionary: Qt's own texts stay.
        {"print without a dictionary",
         false,
         false,
         "Print",
         {{"collate", "Collate"}, {"gbPrintRange", "Print range"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        if (!c.Dictionary) {
            Dictionary.Close();
            TLxDictionaries::Remove(&Dictionary);
        }
        QPrinter qtPrinter;
        TLxQtPrinter printer(qtPrinter);
        TLxPrinterSetupDialog setup(&printer);
        TLxPrintDialog print(&printer);
        TLxPrintDialog &dialog = c.Setup ? setup : print;
        dialog.Parent = &Parent;
        dialog.SetCopies(2);
        std::string caption;
        std::vector<std::string> texts;
        QPoint centre;
        WhenModal([&](QDialog &D) {
            EXPECT_TRUE(c.Setup ? qobject_cast<QPageSetupDialog *>(&D) != nullptr
                                : qobject_cast<QPrintDialog *>(&D) != nullptr);
            caption = D.windowTitle().toStdString();
            for (const auto &text : c.Texts)
                texts.push_back(ControlText(D, text.first));
            centre = Centre(D);
        });
        EXPECT_FALSE(dialog.Execute());
        if (!c.Dictionary)
            TLxDictionaries::Add(&Dictionary);
        EXPECT_EQ(caption, c.Caption);
        ASSERT_EQ(texts.size(), c.Texts.size());
        for (size_t i = 0; i < texts.size(); ++i)
            EXPECT_EQ(texts[i], c.Texts[i].second) << c.Texts[i].first;
        EXPECT_LE((centre - Centre(Parent)).manhattanLength(), 10);
        EXPECT_EQ(dialog.Copies(), 2); // cancelled: unchanged
    }
}

// A printer that is not a Qt one: the dialog shows its count and device.
class TStandInPrinter : public TLxPrinter {
public:
    int Copies() const override { return FCopies; }
    void SetCopies(int Value) override { FCopies = Value; }
    std::string DeviceName() const override { return {}; }
    void SetDevice(const std::string &) override {}
    int FCopies = 4;
};

TEST_F(LxQtDialogsTest, ConfirmedPrintDialogReturnsItsChoices)
{
    QTemporaryDir folder;
    QPrinter qtPrinter;
    qtPrinter.setOutputFileName(folder.filePath("out.pdf"));
    TLxQtPrinter printer(qtPrinter);
    TLxPrintDialog dialog(&printer);
    dialog.Options = poPageNums;
    dialog.MinPage = 1;
    dialog.MaxPage = 9;
    WhenModal(
        [](QDialog &D) {
            D.findChild<QSpinBox *>("copies")->setValue(3);
            D.findChild<QCheckBox *>("collate")->setChecked(true);
            D.findChild<QRadioButton *>("printRange")->setChecked(true);
            D.findChild<QSpinBox *>("from")->setValue(2);
            D.findChild<QSpinBox *>("to")->setValue(4);
        },
        true);
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Copies(), 3);
    EXPECT_EQ(qtPrinter.copyCount(), 3);
    EXPECT_TRUE(dialog.Collate);
    EXPECT_EQ(dialog.PrintRange, prPageNums);
    EXPECT_EQ(dialog.FromPage, 2);
    EXPECT_EQ(dialog.ToPage, 4);

    // The count a printer keeps itself comes back whichever way the
    // dialog answers (one copy, or the count).
    TStandInPrinter standIn;
    TLxPrintDialog other(&standIn);
    int shown = 0;
    WhenModal([&](QDialog &D) { shown = D.findChild<QSpinBox *>("copies")->value(); }, true);
    ASSERT_TRUE(other.Execute());
    EXPECT_EQ(shown, 4);
    EXPECT_EQ(other.Copies(), 4);
    EXPECT_EQ(standIn.Copies(), 4);
}

TEST_F(LxQtDialogsTest, ProgramPrintGoesThroughTheLocalisedDialog)
{
    QTemporaryDir folder;
    QPrinter qtPrinter;
    qtPrinter.setOutputFileName(folder.filePath("out.pdf"));
    std::string name, caption;
    WhenModal([&](QDialog &D) {
        name = D.objectName().toStdString();
        caption = D.windowTitle().toStdString();
        D.findChild<QSpinBox *>("copies")->setValue(2);
    }, true);
    int copies = 0;
    ASSERT_TRUE(LxPrint(nullptr, qtPrinter, copies));
    EXPECT_EQ(name, "LxPrintDialog");
    EXPECT_EQ(caption, "Drucken");
    // The program prints the copies the printer does not make itself.
    EXPECT_EQ(copies, qtPrinter.supportsMultipleCopies() ? 1 : 2);
    EXPECT_EQ(qtPrinter.copyCount(), 2);
    WhenModal([&](QDialog &D) { name = D.objectName().toStdString(); });
    EXPECT_FALSE(LxPrinterSetup(nullptr, qtPrinter));
    EXPECT_EQ(name, "LxPrinterSetupDialog");
}

} // namespace

namespace {

// Two files chosen at once come back as whole paths, FileName the first.
TEST_F(LxQtDialogsTest, MultiSelectReturnsWholePathsFileNameFirst)
{
    TLxOpenDialog dialog;
    dialog.Options |= ofAllowMultiSelect;
    dialog.SetInitialDir(std::string(ORV_DATA_DIR) + "/");
    WhenModal(
        [](QDialog &D) {
            auto *name = D.findChild<QLineEdit *>("fileNameEdit");
            ASSERT_NE(name, nullptr);
            name->setText("\"translat.txt\" \"language.txt\"");
        },
        true);
    ASSERT_TRUE(dialog.Execute());
    const std::string data = ORV_DATA_DIR;
    EXPECT_EQ(dialog.Files(),
              (std::vector<std::string>{data + "/translat.txt", data + "/language.txt"}));
    EXPECT_EQ(dialog.FileName, data + "/translat.txt");
}

} // namespace
