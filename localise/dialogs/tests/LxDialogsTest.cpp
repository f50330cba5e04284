#include "localise/LxTextDictionary.h"
#include "localise/dialogs/LxDlgMod.h"
#include "localise/dialogs/LxMlDlgs.h"
#include "localise/tests/LxTestSupport.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

using namespace orv;

namespace {

// A host that records what a dialog was asked to show and answers as told.
class TFakeHost : public TLxDialogHost {
public:
    TFakeHost() { SetLxDialogHost(this); }
    ~TFakeHost() override { SetLxDialogHost(nullptr); }
    bool RunFileDialog(const TLxFileDialogSpec &Spec, TLxFileDialogAnswer &Answer) override
    {
        File = Spec;
        Answer = FileAnswer;
        return Confirm;
    }
    bool RunColorDialog(TLxColorDialogSpec &Spec) override
    {
        for (int i = 0; i < 16; ++i)
            Colors[i] = Spec.CustomColors[i];
        Spec.Color = 0x123456;
        Spec.CustomColors[0] = 0x00FF00;
        return Confirm;
    }
    bool RunPrintDialog(const TLxPrintDialogSpec &Spec, TLxPrintDialogAnswer &Answer) override
    {
        Print = Spec;
        Answer = PrintAnswer;
        return Confirm;
    }
    bool Confirm = true;
    TLxFileDialogSpec File;
    TLxFileDialogAnswer FileAnswer;
    int Colors[16] = {};
    TLxPrintDialogSpec Print;
    TLxPrintDialogAnswer PrintAnswer;
};

class TStandInPrinter : public TLxPrinter {
public:
    int Copies() const override { return FCopies; }
    void SetCopies(int Value) override { FCopies = Value; }
    std::string DeviceName() const override { return FDevice; }
    void SetDevice(const std::string &Name) override { FDevice = Name; }
    int FCopies = 4;
    std::string FDevice = "Stand-in";
};

TEST(LxCommonDialogs, InitialDirLosesOneTrailingDelimiterButNotARoot)
{
    const std::pair<const char *, const char *> cases[] = {
        {"/data/nc/", "/data/nc"}, {"/", "/"},         {"/data/nc", "/data/nc"},
        {"C:\\Temp\\", "C:\\Temp"}, {"C:\\", "C:\\"}, {"", ""},
    };
    for (const auto &[written, stored] : cases) {
        TLxOpenDialog dialog;
        dialog.SetInitialDir(written);
        EXPECT_EQ(dialog.InitialDir(), stored) << written;
    }
}

TEST(LxCommonDialogs, FileDialogsPassTheirSettingsAndTakeTheAnswerWhole)
{
    TFakeHost host;
    struct Case {
        const char *Name;
        TOpenOptions Options;
        std::string DefaultExt;
        std::vector<std::string> Names;
        std::string ExpectedExt;
        std::vector<std::string> Files;
    };
    const std::string longName(300, 'n');
    const Case cases[] = {
        {"old style takes the extension of FileName", ofOldStyleDialog, "", {"/nc/a.fnc"}, "gnc",
         {"/nc/a.fnc"}},
        {"new style does not", 0, "", {"/nc/a.fnc"}, "", {"/nc/a.fnc"}},
        {"an own default extension wins", ofOldStyleDialog, "fnc", {"/nc/a.fnc"}, "fnc",
         {"/nc/a.fnc"}},
        {"multi-select gives whole paths", ofAllowMultiSelect, "", {"/nc", "a.fnc", "/b/c.fnc"},
         "", {"/nc/a.fnc", "/b/c.fnc"}},
        {"a long path comes back whole", 0, "", {"/nc/" + longName}, "", {"/nc/" + longName}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TLxSaveDialog dialog;
        dialog.FileName = "/old/part.gnc";
        dialog.Options = c.Options;
        dialog.DefaultExt = c.DefaultExt;
        dialog.Filter = "NC files|*.fnc|Any file|*.*";
        host.FileAnswer.Names = c.Names;
        host.FileAnswer.FilterIndex = 2;
        ASSERT_TRUE(dialog.Execute());
        EXPECT_TRUE(host.File.Save);
        EXPECT_EQ(host.File.DefaultExt, c.ExpectedExt);
        EXPECT_EQ(host.File.Filters.size(), 2u);
        EXPECT_EQ(dialog.Files(), c.Files);
        EXPECT_EQ(dialog.FileName, c.Files.front());
        EXPECT_EQ(dialog.FilterIndex, 2);
    }
    TLxOpenDialog cancelled;
    cancelled.FileName = "kept.fnc";
    host.Confirm = false;
    EXPECT_FALSE(cancelled.Execute());
    EXPECT_EQ(cancelled.FileName, "kept.fnc");
    EXPECT_FALSE(host.File.Save);
}

TEST(LxCommonDialogs, CustomColoursByName)
{
    TFakeHost host;
    TLxColorDialog dialog;
    dialog.CustomColors = {"ColorA=FFFFFF", "ColorB=XYZ", "ColorD=0000FF"};
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(host.Colors[0], 0xFFFFFF);
    EXPECT_EQ(host.Colors[1], -1); // not hexadecimal: missing
    EXPECT_EQ(host.Colors[2], -1); // no "ColorC"
    EXPECT_EQ(host.Colors[3], 0xFF);
    EXPECT_EQ(dialog.Color, 0x123456u);
    ASSERT_EQ(dialog.CustomColors.size(), 16u);
    EXPECT_EQ(dialog.CustomColors[0], "ColorA=00FF00");
    EXPECT_EQ(dialog.CustomColors[15], "ColorP=FFFFFF");
}

TEST(LxCommonDialogs, PrintDialogCopies)
{
    TFakeHost host;
    TStandInPrinter printer;
    struct Case {
        int Returned;
        int Expected;
    };
    for (const Case &c : {Case{1, 4}, Case{3, 3}}) {
        TLxPrintDialog dialog(&printer);
        host.PrintAnswer.Copies = c.Returned;
        host.PrintAnswer.Device = "Plotter";
        host.PrintAnswer.PrintRange = prPageNums;
        ASSERT_TRUE(dialog.Execute());
        EXPECT_EQ(dialog.Copies(), c.Expected) << c.Returned;
        EXPECT_EQ(dialog.PrintRange, prPageNums);
        EXPECT_EQ(printer.DeviceName(), "Plotter");
    }
    TLxPrintDialog dialog(&printer);
    dialog.SetCopies(2);
    EXPECT_EQ(printer.Copies(), 2);
    host.Confirm = false;
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Copies(), 2);
}

class LxDialogTextsTest : public test::TLxEnvironmentTest {};

TEST_F(LxDialogTextsTest, CaptionsAndControlTexts)
{
    test::TTempDir dir;
    TLxTextDictionary dictionary;
    dictionary.SetLanguageFileName(dir.Write("l.txt", "English\tEnglish\t0\t\t0\n"
                                                      "German\tDeutsch\t7\t\t1\n"));
    dictionary.SetFileName(dir.Write("t.txt", "Save As\tSpeichern unter\n"
                                              "Save file as &type:\tSpeichern als &Typ:\n"
                                              "Fi&nd what:\t&Suchen nach:\n"));
    dictionary.SetCheckLevel(lxclNone);
    dictionary.SetLanguage(1);
    dictionary.Open();
    auto text = [](const TLxDialogTexts &T, int Id, int Nth = 0) {
        for (const auto &[id, t] : T.Controls)
            if (id == Id && Nth-- == 0)
                return t;
        return std::string("<none>");
    };
    const TLxDialogTexts save = TranslatedDialogTexts(TLxDialogKind::SaveOld, &dictionary);
    EXPECT_EQ(save.Caption, "Speichern unter");
    EXPECT_EQ(text(save, 1089), "Speichern als &Typ:");
    EXPECT_EQ(TranslatedDialogTexts(TLxDialogKind::SaveOld, &dictionary, "Mine").Caption, "Mine");
    EXPECT_EQ(text(TranslatedDialogTexts(TLxDialogKind::SaveOld, nullptr, "", true), 1089),
              "List files of &type:");
    EXPECT_EQ(text(TranslatedDialogTexts(TLxDialogKind::SaveOld, nullptr), 1089),
              "Save file as &type:");
    const TLxDialogTexts find = TranslatedDialogTexts(TLxDialogKind::Find, &dictionary);
    EXPECT_EQ(find.Caption, "Find");
    EXPECT_EQ(text(find, 65535), "&Suchen nach:");
    EXPECT_EQ(text(find, 1), "&Find Next");
    const TLxDialogTexts replace = TranslatedDialogTexts(TLxDialogKind::Replace, nullptr);
    EXPECT_EQ(text(replace, 65535, 1), "Re&place with:");
    EXPECT_EQ(text(replace, 1025), "Replace &All");
}

TEST(LxDialogModule, ASecondModulePatchesNothingNew)
{
    for (TLxDialogKind kind : {TLxDialogKind::OpenNew, TLxDialogKind::SaveNew,
                               TLxDialogKind::Color, TLxDialogKind::Font, TLxDialogKind::Print,
                               TLxDialogKind::PrintSetup, TLxDialogKind::Find,
                               TLxDialogKind::Replace})
        TLxDialogModule::Uninstall(kind);
    TLxDialogModule first;
    const std::vector<TLxDialogKind> installed = first.Loaded();
    EXPECT_EQ(std::count(installed.begin(), installed.end(), TLxDialogKind::SaveNew), 1);
    EXPECT_TRUE(TLxDialogModule::Installed(TLxDialogKind::Replace));
    TLxDialogModule second;
    EXPECT_TRUE(second.Loaded().empty());
    EXPECT_FALSE(TLxDialogModule::Install(TLxDialogKind::Find));
    EXPECT_TRUE(TLxDialogModule::Uninstall(TLxDialogKind::Find));
    EXPECT_FALSE(TLxDialogModule::Uninstall(TLxDialogKind::Find));
}

} // namespace
