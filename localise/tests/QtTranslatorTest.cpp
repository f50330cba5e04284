#include "localise/LxErrors.h"
#include "localise/LxTextDictionary.h"
#include "localise/ui/LxLanguageDialog.h"
#include "localise/ui/LxQtTranslator.h"
#include "localise/tests/LxTestSupport.h"
#include "platform/tests/TempDir.h"
#include "platform/ui/ModalRunner.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace orv;

namespace {

const char *const Languages = "English\tEnglish\t0\t\t0\n"
                              "German\tDeutsch\t7\t\t1\n"
                              "French\tFrancais\t12\t\t1\n"
                              "Arabic\tArabic\t1\t\t1\n";
const char *const Translations = "File\tDatei\tFichier\tArFile\n"
                                 "Open\tOeffnen\tOuvrir\tArOpen\n"
                                 "Exit\tBeenden\tQuitter\tArExit\n"
                                 "Tool\tWerkzeug\tOutil\tArTool\n"
                                 "Size\tGroesse\tTaille\tArSize\n"
                                 "Start\tStarten\tDemarrer\tArStart\n"
                                 "Metric\tMetrisch\tMetrique\tArMetric\n"
                                 "Page\tSeite\tPage\tArPage\n"
                                 "Editor\tEditor\tEditeur\tArEditor\n"
                                 "Select Language\tSprache waehlen\tLangue\tArLanguage\n"
                                 "OK\tOK\tOK\tArOK\n"
                                 "Cancel\tAbbrechen\tAnnuler\tArCancel\n"
                                 "German\tDeutsch\tAllemand\tArGerman\n"
                                 "French\tFranzoesisch\tFrancais\tArFrench\n"
                                 "Arabic\tArabisch\tArabe\tArArabic\n"
                                 "&Close\tS&chliessen\t&Fermer\tArClose\n";

class LxQtTranslatorTest : public test::TLxEnvironmentTest {
protected:
    void SetUp() override
    {
        TLxEnvironmentTest::SetUp();
        test::OpenTestDictionary(Dictionary, Dir, Languages, Translations);
        ASSERT_TRUE(Dictionary.Active());
    }
    void TearDown() override
    {
        SetModalScript(nullptr);
        TLxEnvironmentTest::TearDown();
    }

    test::TTempDir Dir;
    TLxTextDictionary Dictionary;
};

// A window with texts of every kind the adapter knows.
struct TSampleWindow {
    TSampleWindow()
    {
        Window.setObjectName("SampleForm");
        Window.setWindowTitle("Editor");
        QMenu *file = Window.menuBar()->addMenu("File");
        file->setObjectName("File1");
        Open = file->addAction("&Open");
        Open->setObjectName("Open1");
        file->addSeparator();
        file->addAction("Exit")->setObjectName("Exit1");
        auto *centre = new QWidget(&Window);
        auto *column = new QVBoxLayout(centre);
        Button = new QPushButton("Start", centre);
        Button->setObjectName("StartButton");
        Button->setToolTip("Tool");
        column->addWidget(Button);
        Combo = new QComboBox(centre);
        Combo->addItems({"Metric", "Size"});
        Combo->setCurrentIndex(1);
        column->addWidget(Combo);
        Table = new QTableWidget(2, 2, centre);
        Table->setHorizontalHeaderLabels({"Tool", "Size"});
        Table->setItem(0, 0, new QTableWidgetItem("Tool"));
        column->addWidget(Table);
        auto *tabs = new QTabWidget(centre);
        tabs->addTab(new QWidget, "Page");
        column->addWidget(tabs);
        Window.setCentralWidget(centre);
        Window.resize(200, 200);
        auto *sheet = new QWidget(centre);
        sheet->setGeometry(0, 0, 200, 30);
        Free = new QWidget(sheet); // placed by hand: its parent has no layout
        Free->setGeometry(10, 0, 50, 20);
    }
    // Every text of the window, for comparing before and after.
    QStringList Dump() const
    {
        QStringList texts{Window.windowTitle()};
        for (QAction *a : Window.findChildren<QAction *>())
            texts << a->text();
        for (QAbstractButton *b : Window.findChildren<QAbstractButton *>())
            texts << b->text() << b->toolTip();
        for (int i = 0; i < Combo->count(); ++i)
            texts << Combo->itemText(i);
        for (int c = 0; c < Table->columnCount(); ++c)
            texts << Table->horizontalHeaderItem(c)->text();
        texts << Table->item(0, 0)->text();
        for (QTabBar *bar : Window.findChildren<QTabBar *>())
            for (int i = 0; i < bar->count(); ++i)
                texts << bar->tabText(i);
        return texts;
    }
    QMainWindow Window;
    QAction *Open;
    QPushButton *Button;
    QComboBox *Combo;
    QTableWidget *Table;
    QWidget *Free;
};

TEST_F(LxQtTranslatorTest, WindowTextsFollowTheLanguageAndComeBackWhole)
{
    TSampleWindow sample;
    TLxQtTranslator *tran = AttachTranslator(&sample.Window, "TSampleForm");
    EXPECT_EQ(tran->objectName(), "Tran");
    ASSERT_TRUE(tran->Translator().Active());
    const QStringList english = sample.Dump();

    Dictionary.SetLanguage(1);
    EXPECT_EQ(sample.Window.windowTitle(), "Editor");
    EXPECT_EQ(sample.Window.menuBar()->actions()[0]->text(), "&Datei");
    EXPECT_EQ(sample.Open->text(), "&Oeffnen");
    EXPECT_EQ(sample.Button->text(), "Starten");
    EXPECT_EQ(sample.Button->toolTip(), "Werkzeug");
    EXPECT_EQ(sample.Combo->itemText(0), "Metrisch");
    EXPECT_EQ(sample.Combo->currentIndex(), 1);
    EXPECT_EQ(sample.Table->horizontalHeaderItem(0)->text(), "Werkzeug");
    EXPECT_EQ(sample.Table->item(0, 0)->text(), "Tool"); // data cells stay
    EXPECT_EQ(sample.Window.findChild<QTabBar *>()->tabText(0), "Seite");

    Dictionary.SetLanguage(2);
    EXPECT_EQ(sample.Button->text(), "Demarrer");
    Dictionary.SetLanguage(0);
    EXPECT_EQ(sample.Dump(), english);
}

// A list's items in every column, its column titles and every node of a
// tree, nested ones too, follow the language and come back; a sorted list
// keeps its sort; a list of the user's names is left alone.
TEST_F(LxQtTranslatorTest, ListAndTreeItemsFollowTheLanguageInEveryColumn)
{
    QWidget window;
    auto *list = new QTreeWidget(&window);
    list->setColumnCount(3);
    list->setHeaderLabels({"Tool", "Size", "Page"});
    new QTreeWidgetItem(list, {"Tool", "Metric", "Open"});
    new QTreeWidgetItem(list, {"Size", "Start", "12"});
    list->setSortingEnabled(true);
    list->sortByColumn(0, Qt::AscendingOrder);
    auto *tree = new QTreeWidget(&window);
    auto *file = new QTreeWidgetItem(tree, {"File"});
    new QTreeWidgetItem(new QTreeWidgetItem(file, {"Open"}), {"Exit"});
    // The user's own names (a tool called "Tool") stay as they are.
    auto *names = new QTreeWidget(&window);
    new QTreeWidgetItem(names, {"Tool"});
    MarkAsData(names);
    const auto texts = [](QTreeWidget *Tree) {
        QStringList all;
        for (int c = 0; c < Tree->columnCount(); ++c)
            all << Tree->headerItem()->text(c);
        for (QTreeWidgetItemIterator it(Tree); *it; ++it)
            for (int c = 0; c < Tree->columnCount(); ++c)
                all << (*it)->text(c);
        return all;
    };
    AttachTranslator(&window, "TSampleForm");
    const QStringList englishList = texts(list), englishTree = texts(tree);

    Dictionary.SetLanguage(1);
    EXPECT_EQ(texts(list), QStringList({"Werkzeug", "Groesse", "Seite", "Groesse", "Starten", "12",
                                        "Werkzeug", "Metrisch", "Oeffnen"}));
    EXPECT_EQ(texts(tree).mid(1), QStringList({"Datei", "Oeffnen", "Beenden"}));
    EXPECT_TRUE(list->isSortingEnabled());
    EXPECT_EQ(names->topLevelItem(0)->text(0), "Tool");
    Dictionary.SetLanguage(2);
    ASSERT_EQ(list->findItems("Outil", Qt::MatchExactly).size(), 1);
    EXPECT_EQ(list->findItems("Outil", Qt::MatchExactly)[0]->text(1), "Metrique");
    Dictionary.SetLanguage(0);
    EXPECT_EQ(texts(list), englishList);
    EXPECT_EQ(texts(tree), englishTree);
}

// What a window puts inside Qt's own containers (the pages of a tab
// widget, the contents of a scroll area) is the window's: translated too.
TEST_F(LxQtTranslatorTest, TextsOnTabPagesAndInScrollAreas)
{
    QWidget window;
    auto *tabs = new QTabWidget(&window);
    auto *first = new QWidget;
    auto *onPage = new QPushButton("Start", first);
    tabs->addTab(first, "Page");
    auto *second = new QWidget;
    auto *hidden = new QLabel("Tool", second);
    tabs->addTab(second, "File");
    auto *scroll = new QScrollArea(&window);
    auto *inside = new QLabel("Size");
    scroll->setWidget(inside);
    AttachTranslator(&window, "TSampleForm");
    Dictionary.SetLanguage(1);
    EXPECT_EQ(onPage->text(), "Starten");
    EXPECT_EQ(hidden->text(), "Werkzeug") << "on the page not shown";
    EXPECT_EQ(inside->text(), "Groesse");
    Dictionary.SetLanguage(0);
    EXPECT_EQ(hidden->text(), "Tool");
}

TEST_F(LxQtTranslatorTest, RightToLeftMirrorsLayoutsAndMovesPlacedWidgets)
{
    TSampleWindow sample;
    AttachTranslator(&sample.Window, "TSampleForm");
    const int parentWidth = sample.Free->parentWidget()->contentsRect().width();
    Dictionary.SetLanguage(3);
    EXPECT_EQ(sample.Window.layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(QApplication::layoutDirection(), Qt::RightToLeft); // for windows made later
    EXPECT_EQ(sample.Free->x(), parentWidth - 50 - 10);
    Dictionary.SetLanguage(1);
    EXPECT_EQ(sample.Window.layoutDirection(), Qt::LeftToRight);
    EXPECT_EQ(QApplication::layoutDirection(), Qt::LeftToRight);
    EXPECT_EQ(sample.Free->x(), 10);
}

TEST_F(LxQtTranslatorTest, AWindowBuiltInAnotherLanguageReturnsToItsSources)
{
    Dictionary.SetLanguage(1);
    QWidget window;
    auto *button = new QPushButton("Starten", &window); // translated while built
    AttachTranslator(&window, "TBuilt");
    EXPECT_EQ(button->text(), "Starten");
    Dictionary.SetLanguage(0);
    EXPECT_EQ(button->text(), "Start");
}

TEST_F(LxQtTranslatorTest, MdiChildSystemMenuAndNestedWindows)
{
    QMainWindow frame;
    AttachTranslator(&frame, "TFrame");
    auto *area = new QMdiArea(&frame);
    frame.setCentralWidget(area);
    auto *child = new QWidget;
    auto *label = new QLabel("Tool", child);
    QMdiSubWindow *sub = area->addSubWindow(child);
    AttachTranslator(child, "TChild");
    Dictionary.SetLanguage(1);
    EXPECT_EQ(label->text(), "Werkzeug");
    QStringList texts;
    for (QAction *a : sub->systemMenu()->actions())
        texts << a->text();
    EXPECT_TRUE(texts.contains("S&chliessen")) << texts.join("|").toStdString();
    Dictionary.SetLanguage(0);
    EXPECT_EQ(label->text(), "Tool");
}

// --- Language dialog ----------------------------------------------------------

TEST_F(LxQtTranslatorTest, LanguageDialogListsSortsTranslatesAndSelects)
{
    Dictionary.SetLanguage(1);
    TLxLanguageDialog dialog(nullptr, 0, 0, 0, "", &Dictionary);
    EXPECT_EQ(dialog.windowTitle(), "Sprache waehlen");
    EXPECT_EQ(dialog.CancelButton->text(), "Abbrechen");
    EXPECT_TRUE(dialog.HelpButton->isHidden());
    QStringList nodes;
    for (int i = 0; i < dialog.TreeView->topLevelItemCount(); ++i)
        nodes << dialog.TreeView->topLevelItem(i)->text(0);
    EXPECT_EQ(nodes, QStringList({"Arabisch", "Deutsch", "Franzoesisch"}));
    int chosen = -1;
    EXPECT_TRUE(dialog.ChosenValue(chosen));
    EXPECT_EQ(chosen, 1);

    TLxLanguageDialog native(nullptr, 5, 0, 2, "Mine", &Dictionary);
    EXPECT_EQ(native.windowTitle(), "Mine");
    EXPECT_FALSE(native.HelpButton->isHidden());
    EXPECT_EQ(native.TreeView->topLevelItem(1)->text(0), "Deutsch");
    EXPECT_EQ(native.TreeView->topLevelItem(2)->text(0), "Francais");
}

QTreeWidgetItem *NodeOf(TLxLanguageDialog &Dialog, int Language)
{
    for (int i = 0; i < Dialog.TreeView->topLevelItemCount(); ++i)
        if (Dialog.TreeView->topLevelItem(i)->data(0, Qt::UserRole).toInt() == Language)
            return Dialog.TreeView->topLevelItem(i);
    return nullptr;
}

TEST_F(LxQtTranslatorTest, SelectLanguageAnswers)
{
    struct Case {
        const char *Name;
        std::function<int(TLxLanguageDialog &)> Answer;
        bool Result;
        int Chosen;
    };
    const Case cases[] = {
        {"double click on French",
         [](TLxLanguageDialog &D) {
             D.TreeViewDblClick(NodeOf(D, 2));
             return D.result();
         },
         true, 2},
        {"OK keeps the current language", [](TLxLanguageDialog &) { return 1; }, true, 1},
        {"cancel", [](TLxLanguageDialog &) { return 0; }, false, -1},
        {"OK with nothing selected is a cancel",
         [](TLxLanguageDialog &D) {
             D.TreeView->clearSelection();
             return 1;
         },
         false, -1},
    };
    Dictionary.SetLanguage(1);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        SetModalScript([&](QDialog &D) { return c.Answer(static_cast<TLxLanguageDialog &>(D)); });
        int chosen = -1;
        EXPECT_EQ(SelectLanguage(nullptr, &Dictionary, "", chosen, 0, 0), c.Result);
        EXPECT_EQ(chosen, c.Chosen);
    }
    Dictionary.Close();
    int chosen = -1;
    try {
        SelectLanguage(nullptr, &Dictionary, "", chosen, 0, 0);
        ADD_FAILURE() << "a closed dictionary was accepted";
    } catch (const ELxError &e) {
        EXPECT_STREQ(e.what(), "Dictionary is not open\n\rYou must open the dictionary before "
                               "you can change the language");
    }
}

TEST_F(LxQtTranslatorTest, SublanguageDialogClosesOnlyOnACountry)
{
    Dictionary.SetLanguage(1);
    TLxLanguageDialog dialog(nullptr, 0, 1, 0, "", &Dictionary);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Select Sublanguage");
    QTreeWidgetItem *german = NodeOf(dialog, 7);
    ASSERT_NE(german, nullptr);
    ASSERT_GT(german->childCount(), 0);
    EXPECT_EQ(dialog.TreeView->currentItem()->parent(), german); // the current locale
    dialog.TreeViewDblClick(german);
    EXPECT_EQ(dialog.result(), 0);
    dialog.TreeViewDblClick(german->child(0));
    EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
}

TEST_F(LxQtTranslatorTest, CentreOnFormNeverNegative)
{
    QWidget form;
    form.setGeometry(-400, -300, 100, 100);
    QWidget dialog;
    dialog.resize(256, 257);
    CentreOnForm(&form, &dialog);
    EXPECT_EQ(dialog.pos(), QPoint(0, 0));
}

} // namespace
