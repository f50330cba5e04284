// The editor's small dialogs: "Line Numbering", "Request", "Change ",
// "Colour Preferences" and the header wizard.

#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "shell/tests/EditorTestSupport.h"
#include "shell/ui/CNC_Editor_pref_form.h"
#include "shell/ui/HeaderUnit.h"
#include "shell/ui/Line_numbering_form.h"
#include "shell/ui/ask_for_token_form.h"
#include "shell/ui/global_change.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(EditorDialogs, LineNumberingSizeFollowsTheStartAndOkNeedsANumberString)
{
    TLine_numbering form;
    form.Load({"N", 0, 1, 0, false});
    form.startN->setValue(1000);
    EXPECT_EQ(form.SizeN->value(), 4);
    form.TokenN->clear();
    EXPECT_FALSE(form.OK->isEnabled());
    form.TokenN->setText("O");
    EXPECT_TRUE(form.OK->isEnabled());
    form.removeN->setChecked(true);
    const TNumbering values = form.Values();
    EXPECT_EQ(values.NumberString, "O");
    EXPECT_EQ(values.Start, 1000);
    EXPECT_TRUE(values.Remove);
}

TEST(EditorDialogs, RequestShowsTextOrNumber)
{
    test::TFormFolder folder; // the dialog's position is kept beside the program
    TGet_token_form form;
    TRequestValues values;
    values.Description = "Enter Line number";
    values.NumberShown = true;
    values.Minimum = 1;
    values.Maximum = 6;
    values.Number = 9;
    form.Load(values);
    EXPECT_TRUE(form.Token->isHidden());
    EXPECT_EQ(form.number->value(), 6) << "kept within the largest line";
    values.NumberShown = false;
    values.Token = "\xD8";
    form.Load(values);
    TRequestValues back;
    form.Store(back);
    EXPECT_EQ(back.Token, "\xD8") << "8-bit tokens keep their byte";
}

TEST(EditorDialogs, ChangeDialogModes)
{
    TGlobal_changer form(3);
    EXPECT_EQ(form.Upper->title().toStdString(), "Alter all X values by %");
    EXPECT_TRUE(form.Upper->isEnabled());
    EXPECT_FALSE(form.Lower->isEnabled());
    form.ShiftMode->setChecked(true);
    EXPECT_FALSE(form.Upper->isEnabled());
    EXPECT_TRUE(form.Lower->isEnabled());
    form.Shift->setValue(1);
    form.Beta->setValue(5);
    form.At->setChecked(true);
    TAlterValues values;
    form.Store(values);
    EXPECT_EQ(values.Percentage, 100);
    EXPECT_EQ(values.Shift, 1);
    EXPECT_EQ(values.Beta, 5);
    EXPECT_TRUE(values.At);
}

TEST(EditorDialogs, ColourPreferencesChangeACopy)
{
    test::TFormFolder folder;
    TTokenColours colours;
    TCol_pref form(colours);
    EXPECT_TRUE(form.Cols->isVisibleTo(&form));
    form.SelectToken(5); // X
    form.SetStyle(3);
    EXPECT_EQ(form.Colours().Tokens[5].Style, 3);
    EXPECT_EQ(colours.Tokens[5].Style, 0) << "the editor's block changes only on OK";
}

TEST(EditorDialogs, RequestAndColourPreferencesOpenWhereTheyWereLeft)
{
    test::TFormFolder folder;
    const TTokenColours colours;
    const struct {
        const char *Section;
        std::function<std::unique_ptr<QDialog>()> Make;
    } rows[] = {
        {"Get_token_form", [] { return std::make_unique<TGet_token_form>(); }},
        {"Col_pref", [&colours] { return std::make_unique<TCol_pref>(colours); }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Section);
        QSize size;
        {
            auto dialog = row.Make();
            size = dialog->size();
            dialog->move(123, 87);
        }
        TIniFile ini(ProgramSettingsFile());
        EXPECT_EQ(ini.ReadInteger(row.Section, "Left", -1), 123);
        EXPECT_EQ(ini.ReadInteger(row.Section, "Top", -1), 87);
        auto again = row.Make();
        EXPECT_EQ(again->pos(), QPoint(123, 87));
        EXPECT_EQ(again->size(), size) << "a fixed dialog keeps its own size";
    }
}

TEST(EditorDialogs, HeaderBilletFollowsTheUnits)
{
    test::TEditorFixture fixture;
    THeaderValues values;
    values.BilletX = 25.4;
    values.BilletY = 50.8;
    values.BilletZ = 12.7;
    THeaderForm form(values);
    EXPECT_EQ(form.XBillet->text().toStdString(), "25.400");
    form.InchUnits->setChecked(true);
    EXPECT_EQ(form.XBillet->text().toStdString(), "1.0000");
    const THeaderValues back = form.Values();
    EXPECT_EQ(back.Units, Inch);
    EXPECT_NEAR(back.BilletY, 50.8, 1e-9);
    EXPECT_EQ(back.Author, "Unknown");
}

} // namespace
} // namespace orv
