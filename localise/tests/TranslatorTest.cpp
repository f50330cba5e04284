#include "localise/LxControlModule.h"
#include "localise/LxEmbedded.h"
#include "localise/LxErrors.h"
#include "localise/LxLanguage.h"
#include "localise/LxLanguageList.h"
#include "localise/LxTextDictionary.h"
#include "localise/LxTranslator.h"
#include "localise/tests/LxTestSupport.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

using namespace orv;

namespace {

// --- A small component tree -------------------------------------------------

class TFakeComponent : public TLxComponent {
public:
    TFakeComponent(std::string Class, std::string Name, bool Control = true)
        : FClass(std::move(Class)), FName(std::move(Name)), FControl(Control)
    {
    }
    std::string ClassName() const override { return FClass; }
    std::string Name() const override { return FName; }
    std::vector<TLxProperty> Properties() override
    {
        std::vector<TLxProperty> list;
        list.push_back(TLxProperty::Text(
            "Name", [this] { return FName; }, [this](const std::string &V) { FName = V; }));
        for (auto &[key, value] : Texts) {
            std::string *text = &value;
            list.push_back(TLxProperty::Text(
                key, [text] { return *text; }, [text](const std::string &V) { *text = V; }));
        }
        for (auto &[key, value] : Lists) {
            std::vector<std::string> *lines = &value;
            list.push_back(TLxProperty::Lines(
                key, [lines] { return *lines; },
                [lines](const std::vector<std::string> &V) { *lines = V; }, Combo));
        }
        return list;
    }
    bool IsControl() const override { return FControl; }
    bool Visible() const override { return Shown; }
    bool IsMenuItem() const override { return MenuItem; }
    TLxComponent *ParentControl() const override { return Parent; }
    int Left() const override { return FLeft; }
    void SetLeft(int Value) override { FLeft = Value; }
    int Width() const override { return FWidth; }
    int ParentClientWidth() const override { return Parent ? Parent->ClientWidth() : 0; }
    void SetLayout(int Layout) override { LastLayout = Layout; }

    std::map<std::string, std::string> Texts;
    std::map<std::string, std::vector<std::string>> Lists;
    bool Combo = false;
    bool Shown = true;
    bool MenuItem = false;
    TLxComponent *Parent = nullptr;
    int FLeft = 0;
    int FWidth = 0;
    int LastLayout = -1;

private:
    std::string FClass;
    std::string FName;
    bool FControl;
};

class TFakeForm : public TFakeComponent {
public:
    TFakeForm() : TFakeComponent("TFakeForm", "FakeForm") { FWidth = 200; }
    std::vector<TLxComponent *> Components() override
    {
        std::vector<TLxComponent *> list;
        for (auto &c : Owned)
            list.push_back(c.get());
        return list;
    }
    bool IsForm() const override { return true; }
    std::vector<std::string> AncestorClassNames() const override
    {
        return {"TFakeBase", "TForm"};
    }
    bool AutoScroll() const override { return Scrolls; }
    void ScaleBy(int M, int D) override { Scale = Scale * M / D; }
    template <typename T = TFakeComponent, typename... A> T &Add(A &&...Args)
    {
        Owned.push_back(std::make_unique<T>(std::forward<A>(Args)...));
        T &c = static_cast<T &>(*Owned.back());
        c.Parent = this;
        return c;
    }
    std::vector<std::unique_ptr<TFakeComponent>> Owned;
    bool Scrolls = false;
    int Scale = 100;
};

class TFakeMenu : public TFakeComponent {
public:
    TFakeMenu() : TFakeComponent("TMainMenu", "MainMenu1", false) {}
    bool IsHotKeyMenu() const override { return true; }
    std::vector<std::string> ItemCaptions() const override
    {
        std::vector<std::string> list;
        for (TFakeComponent *item : Items)
            list.push_back(item->Texts.at("Caption"));
        return list;
    }
    void SetItemCaptions(const std::vector<std::string> &Captions) override
    {
        for (size_t i = 0; i < Items.size(); ++i)
            Items[i]->Texts["Caption"] = Captions[i];
    }
    std::vector<TFakeComponent *> Items;
};

class TFakeGrid : public TFakeComponent, public TLxGridCells {
public:
    TFakeGrid() : TFakeComponent("TStringGrid", "Grid") {}
    int RowCount() const override { return 3; }
    int ColCount() const override { return 3; }
    int FixedRows() const override { return 1; }
    int FixedCols() const override { return 1; }
    std::string Cell(int C, int R) const override { return Cells[R][C]; }
    void SetCell(int C, int R, const std::string &T) override { Cells[R][C] = T; }
    std::string Cells[3][3] = {{"", "Tool", "Size"}, {"Tool", "Tool", "Size"}, {"Size", "x", "y"}};
};

class TFakeListView : public TFakeComponent, public TLxListView {
public:
    TFakeListView() : TFakeComponent("TListView", "List") {}
    int ItemCount() const override { return 2; }
    TLxObject *Item(int I) override { return &Objects[I]; }
    std::string Caption(int I) const override { return Rows[I][0]; }
    void SetCaption(int I, const std::string &T) override { Rows[I][0] = T; }
    int SubItemCount(int) const override { return 2; }
    std::string SubItem(int I, int S) const override { return Rows[I][S + 1]; }
    void SetSubItem(int I, int S, const std::string &T) override { Rows[I][S + 1] = T; }
    void BeginUpdate() override { Updating = true; }
    void EndUpdate() override { Updating = false; }
    struct TItem : TLxObject {
        std::string ClassName() const override { return "TListItem"; }
    };
    TItem Objects[2];
    std::string Rows[2][3] = {{"Tool", "Size", "File"}, {"Size", "Tool", "x"}};
    bool Updating = false;
};

class TFakeStatusBar : public TFakeComponent, public TLxStatusPanels {
public:
    TFakeStatusBar() : TFakeComponent("TStatusBar", "StatusBar1") {}
    int PanelCount() const override { return 3; }
    TLxAlignment PanelAlignment(int I) const override { return Align[I]; }
    void SetPanelAlignment(int I, TLxAlignment A) override { Align[I] = A; }
    TLxAlignment Align[3] = {lxaLeftJustify, lxaCenter, lxaRightJustify};
};

class TFakeSheet : public TFakeComponent, public TLxTabSheet {
public:
    TFakeSheet() : TFakeComponent("TTabSheet", "Sheet1") {}
    int ActivePageClientWidth() const override { return 300; }
};

// --- The dictionary of the tests ----------------------------------------------

const char *const Languages = "English\tEnglish\t0\t\t0\n"
                              "German\tDeutsch\t7\t\t1\n"
                              "French\tFrancais\t12\t\t1\n"
                              "Arabic\tArabic\t1\t\t1\n"
                              "Japanese\tJapanese\t17\t\t1\n";
const char *const Translations = "File\tDatei\tFichier\tArFile\tJaFile\n"
                                 "Open\tOeffnen\tOuvrir\tArOpen\tJaOpen\n"
                                 "Save\tSpeichern\tEnregistrer\tArSave\tJaSave\n"
                                 "Tool\tWerkzeug\tOutil\tArTool\tJaTool\n"
                                 "Size\tGroesse\tTaille\tArSize\tJaSize\n"
                                 "Hint\tHinweis\tConseil\tArHint\tJaHint\n";

class LxTranslatorTest : public test::TLxEnvironmentTest {
protected:
    void SetUp() override
    {
        TLxEnvironmentTest::SetUp();
        RegisterControlModule();
        test::OpenTestDictionary(Dictionary, Dir, Languages, Translations);
        ASSERT_TRUE(Dictionary.Active());
        Tran.SetName("Tran");
        Tran.SetDictionaryName("Dictionary1");
        for (const char *property : {"Caption", "Hint", "Items", "Cells", "Text"})
            Tran.Targets().Add("", property);
    }

    test::TTempDir Dir;
    TLxTextDictionary Dictionary;
    TFakeForm Form;
    TLxTranslator Tran{&Form};
};

TEST(LxTargetProperties, MatchingIncludesExcludesIgnoringCase)
{
    struct Case {
        const char *Name;
        std::vector<TLxTargetProperty> Entries;
        const char *Class;
        const char *Property;
        bool Expected;
    };
    const Case cases[] = {
        {"any class, that property", {{"", "Caption"}}, "TButton", "Caption", true},
        {"letter case does not matter", {{"tbutton", "caption"}}, "TButton", "CAPTION", true},
        {"another property", {{"", "Caption"}}, "TButton", "Hint", false},
        {"class with every property", {{"TLabel", ""}}, "TLabel", "Hint", true},
        {"class with every property, other class", {{"TLabel", ""}}, "TButton", "Hint", false},
        {"empty class and property match nothing", {{"", ""}}, "TButton", "Caption", false},
        {"an exclusion wins", {{"", "Caption"}, {"TButton", "Caption", lxtkExclude}},
         "TButton", "Caption", false},
        {"an exclusion of another class", {{"", "Caption"}, {"TLabel", "", lxtkExclude}},
         "TButton", "Caption", true},
        {"exclusions alone include nothing", {{"TLabel", "Caption", lxtkExclude}}, "TButton",
         "Caption", false},
        {"no entries", {}, "TButton", "Caption", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TLxTargetProperties targets;
        for (const TLxTargetProperty &e : c.Entries)
            targets.Add(e.ClassName, e.PropertyName, e.Kind);
        EXPECT_EQ(targets.IsTarget(c.Class, c.Property), c.Expected);
    }
}

TEST(LxTargetProperties, TargetsDataRoundTripAndVersions)
{
    TLxTargetProperties ancestor;
    ancestor.Add("", "Caption");
    TLxTargetProperties own;
    own.Add("", "Caption");
    own.Add("", "Hint");
    own.Add("TMemo", "Text", lxtkExclude);
    own.Add("", "Hint"); // a duplicate is not added
    EXPECT_EQ(own.Count(), 3);
    EXPECT_EQ(own.ExclusionCount(), 1);

    TLxStoredWriter writer;
    own.WriteData(writer, &ancestor);
    TLxTargetProperties read;
    read.Add("", "Caption");
    TLxStoredReader reader(writer.Data());
    read.ReadData(reader);
    EXPECT_EQ(read, own);
    EXPECT_TRUE(own.ShouldStore(&ancestor));
    EXPECT_FALSE(ancestor.ShouldStore(&ancestor));
    EXPECT_FALSE(TLxTargetProperties().ShouldStore(nullptr));

    TLxStoredWriter later;
    later.ListBegin();
    later.Integer(2);
    later.Integer(0);
    later.ListEnd();
    TLxStoredReader laterReader(later.Data());
    try {
        read.ReadData(laterReader);
        FAIL() << "version 2 was read";
    } catch (const ELxError &e) {
        EXPECT_STREQ(e.what(), "Unknown target properties data version: 2");
    }

    TLxStoredWriter old;
    old.ListBegin();
    old.Integer(1);
    old.String("TLabel");
    old.String("Caption");
    old.ListEnd();
    TLxTargetProperties fromOld;
    TLxStoredReader oldReader(old.Data());
    fromOld.ReadOldData(oldReader);
    EXPECT_TRUE(fromOld.IsTarget("TLabel", "Caption"));
}

TEST_F(LxTranslatorTest, LanguagesAThenBThenAGiveTheFirstTexts)
{
    TFakeComponent &button = Form.Add("TButton", "OpenButton");
    button.Texts = {{"Caption", "Open"}, {"Hint", "Hint"}};
    Form.Texts["Caption"] = "File";
    Tran.Loaded();
    ASSERT_TRUE(Tran.Active());

    struct Step {
        int Language;
        const char *Caption;
        const char *Hint;
        const char *FormCaption;
    };
    const Step steps[] = {{1, "Oeffnen", "Hinweis", "Datei"},
                          {2, "Ouvrir", "Conseil", "Fichier"},
                          {1, "Oeffnen", "Hinweis", "Datei"},
                          {0, "Open", "Hint", "File"}};
    for (const Step &s : steps) {
        SCOPED_TRACE(s.Language);
        Dictionary.SetLanguage(s.Language);
        EXPECT_EQ(button.Texts["Caption"], s.Caption);
        EXPECT_EQ(button.Texts["Hint"], s.Hint);
        EXPECT_EQ(Form.Texts["Caption"], s.FormCaption);
    }
    // A caption the program sets between passes is the new initial text.
    Dictionary.SetLanguage(1);
    button.Texts["Caption"] = "Save";
    Dictionary.SetLanguage(2);
    EXPECT_EQ(button.Texts["Caption"], "Enregistrer");
    Dictionary.SetLanguage(0);
    EXPECT_EQ(button.Texts["Caption"], "Save");
    // Without a dictionary every text returns to the one first found.
    Dictionary.SetLanguage(1);
    Tran.Deactivate();
    EXPECT_EQ(button.Texts["Caption"], "Save");
    EXPECT_FALSE(Tran.Active());
}

TEST_F(LxTranslatorTest, MenuItemsFoundWithoutTheirHotKeyThenGetOne)
{
    auto &menu = Form.Add<TFakeMenu>();
    TFakeComponent &open = Form.Add("TMenuItem", "Open1", false);
    TFakeComponent &openButton = Form.Add("TButton", "OpenButton");
    TFakeComponent &other = Form.Add("TMenuItem", "Other1", false);
    open.Texts["Caption"] = "&Open";
    open.MenuItem = true;
    openButton.Texts["Caption"] = "&Open";
    other.Texts["Caption"] = "Ohne";
    other.MenuItem = true;
    menu.Items = {&other, &open};
    Tran.Loaded();
    EXPECT_EQ(open.Texts["Caption"], "&Open");
    EXPECT_EQ(other.Texts["Caption"], "O&hne"); // "&Open" holds the O

    Dictionary.SetLanguage(1);
    // "Oeffnen" has no "&": the menu gives it the first letter no sibling uses.
    EXPECT_EQ(open.Texts["Caption"], "O&effnen");
    EXPECT_EQ(openButton.Texts["Caption"], "&Open"); // not a menu item: no hot-key lookup
    Dictionary.SetLanguage(2);
    EXPECT_EQ(open.Texts["Caption"], "O&uvrir");
    Dictionary.SetLanguage(0);
    EXPECT_EQ(open.Texts["Caption"], "&Open");
}

TEST(LxHotKeys, AssignedToCaptionsWithoutOne)
{
    struct Case {
        const char *Name;
        std::vector<std::string> Captions;
        std::vector<std::string> Expected;
    };
    const Case cases[] = {
        {"first free letter", {"&File", "Fenster", "Format"}, {"&File", "F&enster", "F&ormat"}},
        {"letter case counts as one key", {"&edit", "Ende"}, {"&edit", "E&nde"}},
        {"a literal ampersand is no hot key", {"A && B", "Ab"}, {"&A && B", "A&b"}},
        {"no free letter", {"&A", "A"}, {"&A", "A"}},
        {"digits and UTF-8 letters", {"\xC3\x96" "ffnen", "1 Datei"},
         {"&\xC3\x96" "ffnen", "&1 Datei"}},
        {"separators stay empty", {"", "Tile"}, {"", "&Tile"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(AssignHotKeys(c.Captions), c.Expected);
    }
}

TEST_F(LxTranslatorTest, NameNeverTranslatedAndHiddenComboUntouched)
{
    TFakeComponent &named = Form.Add("TLabel", "Tool");
    named.Texts["Caption"] = "Tool";
    TFakeComponent &combo = Form.Add("TComboBox", "Combo");
    combo.Combo = true;
    combo.Shown = false;
    combo.Lists["Items"] = {"Open", "Save"};
    TFakeComponent &list = Form.Add("TListBox", "List");
    list.Lists["Items"] = {"Open", "Save"};
    Tran.Targets().Add("", "Name"); // even as a target
    Tran.Loaded();
    Dictionary.SetLanguage(1);
    EXPECT_EQ(named.Name(), "Tool");
    EXPECT_EQ(named.Texts["Caption"], "Werkzeug");
    EXPECT_EQ(combo.Lists["Items"], (std::vector<std::string>{"Open", "Save"}));
    EXPECT_EQ(list.Lists["Items"], (std::vector<std::string>{"Oeffnen", "Speichern"}));
    combo.Shown = true;
    Dictionary.SetLanguage(2);
    EXPECT_EQ(combo.Lists["Items"], (std::vector<std::string>{"Ouvrir", "Enregistrer"}));
}

TEST_F(LxTranslatorTest, EmptyTargetsOpenNoDictionary)
{
    Dictionary.Close();
    Tran.Targets().Clear();
    Form.Texts["Caption"] = "File";
    Tran.Loaded();
    EXPECT_FALSE(Tran.Active());
    EXPECT_FALSE(Dictionary.Active());
    EXPECT_EQ(Form.Texts["Caption"], "File");
}

TEST_F(LxTranslatorTest, NoDictionaryRegisteredIsAnError)
{
    TLxDictionaries::Remove(&Dictionary);
    TLxTranslator lonely(&Form);
    lonely.SetName("Tran");
    lonely.Targets().Add("", "Caption");
    try {
        lonely.Open();
        ADD_FAILURE() << "opened without a dictionary";
    } catch (const ELxError &e) {
        EXPECT_STREQ(e.what(), "No dictionary has been assigned to the translator component "
                               "(Tran on \"FakeForm\" form)");
    }
    TLxDictionaries::Add(&Dictionary);
}

TEST_F(LxTranslatorTest, MirroringFollowsTheReadingOrder)
{
    TFakeComponent &button = Form.Add("TButton", "Button1");
    button.FLeft = 10;
    button.FWidth = 50;
    auto &bar = Form.Add<TFakeStatusBar>();
    auto &sheet = Form.Add<TFakeSheet>();
    sheet.FLeft = 4;
    TFakeComponent &onSheet = Form.Add("TButton", "OnSheet");
    onSheet.Parent = &sheet;
    onSheet.FLeft = 20;
    onSheet.FWidth = 30;
    Tran.Loaded();

    struct Step {
        int Language;
        int Left;
        int SheetChild;
        TLxAlignment First;
    };
    const Step steps[] = {{3, 140, 250, lxaRightJustify}, // Arabic: right to left
                          {3, 140, 250, lxaRightJustify}, // again: nothing moves twice
                          {1, 10, 20, lxaLeftJustify},
                          {3, 140, 250, lxaRightJustify},
                          {0, 10, 20, lxaLeftJustify}};
    for (const Step &s : steps) {
        SCOPED_TRACE(s.Language);
        Dictionary.SetLanguage(s.Language);
        EXPECT_EQ(button.FLeft, s.Left);
        EXPECT_EQ(onSheet.FLeft, s.SheetChild); // against the active page: 300 - 30 - 20
        EXPECT_EQ(sheet.FLeft, 4);              // a tab sheet stays
        EXPECT_EQ(bar.Align[0], s.First);
        EXPECT_EQ(bar.Align[1], lxaCenter);
        EXPECT_EQ(Tran.Mirrored(), s.Language == 3);
    }
    EXPECT_EQ(bar.Align[2], lxaRightJustify);
}

TEST_F(LxTranslatorTest, GridTranslatesItsFixedRowAndColumnOnly)
{
    auto &grid = Form.Add<TFakeGrid>();
    Tran.Loaded();
    Dictionary.SetLanguage(1);
    const std::string expected[3][3] = {{"", "Werkzeug", "Groesse"},
                                        {"Werkzeug", "Tool", "Size"},
                                        {"Groesse", "x", "y"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(grid.Cells[r][c], expected[r][c]) << r << "," << c;
}

// Each item's caption and sub-items, remembered by the item; a failing
// translation still ends the update (the list sorts again).
TEST_F(LxTranslatorTest, ListViewTranslatesEveryColumnAndEndsItsUpdate)
{
    auto &list = Form.Add<TFakeListView>();
    Tran.Loaded();
    Dictionary.SetLanguage(1);
    const std::string expected[2][3] = {{"Werkzeug", "Groesse", "Datei"},
                                        {"Groesse", "Werkzeug", "x"}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(list.Rows[r][c], expected[r][c]) << r << "," << c;
    Dictionary.SetLanguage(0);
    EXPECT_EQ(list.Rows[0][1], "Size");
    EXPECT_FALSE(list.Updating);
    Dictionary.SetMissingTranslation(lxmtRaiseException);
    EXPECT_THROW(Dictionary.SetLanguage(1), ELxError);
    EXPECT_FALSE(list.Updating);
}

TEST_F(LxTranslatorTest, FarEastLanguagesScaleTheForm)
{
    Form.Texts["Caption"] = "File";
    Tran.SetMultiByteScale(125);
    int scaled = 0;
    Tran.OnScale = [&](TLxTranslator &, TLxComponent *) { ++scaled; };
    Tran.Loaded();
    Dictionary.SetLanguage(4); // Japanese
    EXPECT_EQ(Form.Scale, 125);
    EXPECT_TRUE(Tran.Scaled());
    Dictionary.SetLanguage(4);
    EXPECT_EQ(Form.Scale, 125);
    Dictionary.SetLanguage(1);
    EXPECT_EQ(Form.Scale, 100);
    EXPECT_EQ(scaled, 2);

    Form.Scrolls = true;
    try {
        Dictionary.SetLanguage(4);
        ADD_FAILURE() << "a scrolling form was scaled";
    } catch (const ELxError &e) {
        EXPECT_STREQ(e.what(),
                     "Cannot scale a form (FakeForm) that has AutoScroll property set True");
    }
}

TEST(LxSystemMenu, KnownCommandsTranslatedShortcutKept)
{
    test::TTempDir dir;
    TLxTextDictionary dictionary;
    dictionary.SetLanguageFileName(dir.Write("l.txt", "English\tEnglish\t0\t\t0\n"
                                                      "German\tDeutsch\t7\t\t1\n"));
    dictionary.SetFileName(dir.Write("t.txt", "&Close\tS&chliessen\n&Move\tVer&schieben\n"));
    dictionary.SetCheckLevel(lxclNone);
    dictionary.SetLanguage(1);
    dictionary.Open();
    std::vector<TLxSystemMenuItem> items = {
        {61536, "&Close\tCtrl+F4"}, {61456, "&Move"}, {0, "", true}, {4711, "Stay on &Top"}};
    TranslateSystemMenu(&dictionary, items);
    EXPECT_EQ(items[0].Text, "S&chliessen\tCtrl+F4");
    EXPECT_EQ(items[1].Text, "Ver&schieben");
    EXPECT_EQ(items[3].Text, "Stay on &Top");
    EXPECT_EQ(SystemMenuCaption(61808), "&Monitor Power");
}

// --- The language dialog's list -----------------------------------------------

class LxLanguageListTest : public test::TLxEnvironmentTest {};

TEST_F(LxLanguageListTest, RowsFilteredByTheCheckLevel)
{
    test::TTempDir dir;
    struct Case {
        const char *Name;
        TLxCheckLevel Level;
        int Flags;
        const char *GreekFlags;
        std::vector<std::string> Expected;
    };
    const Case cases[] = {
        {"native row 0 is not listed", lxclNone, 0, "0", {"German", "French", "Greek"}},
        {"Greek hidden on a 1252 system", lxclCodePage, 0, "0", {"German", "French"}},
        {"flag 1 lists it", lxclCodePage, lxldAllLanguages, "0", {"German", "French", "Greek"}},
        {"always supported", lxclCodePage, 0, "2", {"German", "French", "Greek"}},
        {"native names", lxclNone, lxldNativeNames, "0", {"Deutsch", "Francais", "Ellinika"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TLxTextDictionary dictionary;
        dictionary.SetLanguageFileName(
            dir.Write("l.txt", std::string("English\tEnglish\t0\t\t0\n"
                                           "German\tDeutsch\t7\t\t1\t\t0\t0\t0\t1252\n"
                                           "French\tFrancais\t12\t\t1\t\t0\t0\t0\t1252\n"
                                           "Greek\tEllinika\t8\t\t1\t\t0\t") +
                                   c.GreekFlags + "\t0\t1253\n"));
        dictionary.SetFileName(dir.Write("t.txt", "File\tDatei\tFichier\tArxeio\n"));
        dictionary.SetCheckLevel(c.Level);
        LxSystem().AnsiCodePage = 1252;
        std::vector<std::string> names;
        for (const TLxLanguageNode &node : ListLanguages(dictionary, c.Flags))
            names.push_back(node.Text);
        EXPECT_EQ(names, c.Expected);
    }
}

TEST_F(LxLanguageListTest, ClosedDictionaryAndPlacement)
{
    TLxTextDictionary closed;
    try {
        CheckDictionaryOpen(&closed);
        ADD_FAILURE() << "a closed dictionary passed";
    } catch (const ELxError &e) {
        EXPECT_STREQ(e.what(), "Dictionary is not open\n\rYou must open the dictionary before "
                               "you can change the language");
    }
    struct Case {
        const char *Name;
        bool WithForm;
        TLxBounds Form;
        int Left;
        int Top;
    };
    const Case cases[] = {
        {"centred over the form", true, {100, 50, 600, 400}, 272, 121},
        {"a negative position becomes 0", true, {-300, -200, 100, 100}, 0, 0},
        {"without a form over the screen", false, {}, 384, 255},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        const TLxBounds placed =
            CentreOnForm(c.WithForm ? &c.Form : nullptr, {0, 0, 256, 257}, 1024, 768);
        EXPECT_EQ(placed.Left, c.Left);
        EXPECT_EQ(placed.Top, c.Top);
        EXPECT_EQ(placed.Width, 256);
    }
    EXPECT_EQ(LanguageDialogCaption(0), "Select Language");
}

} // namespace

namespace {

const TLxLanguageNode *NodeOf(const std::vector<TLxLanguageNode> &Nodes, int Value)
{
    for (const TLxLanguageNode &node : Nodes)
        if (node.Value == Value)
            return &node;
    return nullptr;
}

TEST_F(LxLanguageListTest, SublanguagesAndLocalesUnderTheirLanguage)
{
    test::TTempDir dir;
    TLxTextDictionary dictionary;
    dictionary.SetLanguageFileName(dir.Write("l.txt", "English\tEnglish\t0\t\t0\n"
                                                      "German\tDeutsch\t7\t1,3\t1\n"));
    dictionary.SetFileName(dir.Write("t.txt", "File\tDatei\n"));
    dictionary.SetCheckLevel(lxclNone);
    dictionary.SetLanguage(1);
    dictionary.Open();

    const std::vector<TLxLanguageNode> sub = ListOfKind(dictionary, 1, 0);
    ASSERT_EQ(sub.size(), 1u);
    EXPECT_EQ(sub[0].Text, "German");
    EXPECT_EQ(sub[0].Value, 7);
    ASSERT_EQ(sub[0].Children.size(), 2u); // the row's sublanguages 1 and 3
    EXPECT_EQ(sub[0].Children[0].Value, MakeLCID(7, 1));
    EXPECT_EQ(sub[0].Children[1].Value, MakeLCID(7, 3));
    EXPECT_EQ(CurrentValueOfKind(dictionary, 1), MakeLCID(7, 1));

    const std::vector<TLxLanguageNode> locales = ListOfKind(dictionary, 2, 0);
    const TLxLanguageNode *german = NodeOf(locales, 7);
    ASSERT_NE(german, nullptr);
    EXPECT_NE(NodeOf(german->Children, MakeLCID(7, 1)), nullptr);
    EXPECT_NE(NodeOf(locales, 9), nullptr); // English, from the system's locales
    const std::vector<TLxLanguageNode> native = ListOfKind(dictionary, 2, lxldNativeNames);
    EXPECT_EQ(NodeOf(native, 7)->Text, "Deutsch");
}

} // namespace
