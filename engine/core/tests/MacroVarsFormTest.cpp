#include "engine/core/ui/MacroVarsForm.h"

#include "components/rspin/ui/RSpin.h"
#include "engine/core/DIniFile.h"
#include "engine/core/MacroVars.h"
#include "platform/tests/TempDir.h"

#include <QLineEdit>
#include <QToolButton>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace orv {
namespace {

class MacroVarsFormTest : public ::testing::Test {
protected:
    test::TTempDir FDir;
    TMacroVars FVars{FDir.Write("Tarnwick.ini", "[Macro Variables]\n500=12.5\n")};
};

TEST_F(MacroVarsFormTest, PagesAndFieldsShowTheStore)
{
    TMacroVarsForm form(FVars);
    EXPECT_EQ(form.windowTitle(), "Macro Variables #");
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    ASSERT_EQ(form.Pages()->count(), 3);
    EXPECT_EQ(form.Pages()->tabText(0), "Variables #1 to #33");
    EXPECT_EQ(form.Pages()->tabText(2), "Variables #500 to #531");
    EXPECT_EQ(form.Pages()->currentIndex(), 2);
    for (int n : {0, 33, 100, 149, 500, 531})
        EXPECT_NE(form.Field(n), nullptr) << n;
    for (int n : {34, 99, 150, 499, 532})
        EXPECT_EQ(form.Field(n), nullptr) << n;
    EXPECT_FALSE(form.Field(0)->isEnabled());
    EXPECT_EQ(form.Field(500)->text(), "12.5");
    // Rows of four 80 x 23 fields 29 pixels apart, the columns evenly
    // spaced, each field right of a label as wide as "#531: " needs.
    const int left = form.Field(0)->x(), pitch = form.Field(1)->x() - left;
    EXPECT_GT(left, form.fontMetrics().horizontalAdvance("#531: "));
    EXPECT_GT(pitch, 80 + form.fontMetrics().horizontalAdvance("#531: "));
    EXPECT_EQ(form.Field(0)->geometry(), QRect(left, 20, 80, 23));
    EXPECT_EQ(form.Field(1)->geometry(), QRect(left + pitch, 20, 80, 23));
    EXPECT_EQ(form.Field(504)->geometry(), QRect(left, 49, 80, 23));
    EXPECT_EQ(form.Field(7)->geometry(), QRect(left + 3 * pitch, 49, 80, 23));
}

TEST_F(MacroVarsFormTest, ProgramChangesShowAndTypedTextsReachTheStore)
{
    TMacroVarsForm form(FVars);
    FVars.SetVar(101, 1.0L / 3.0L);
    EXPECT_EQ(form.Field(101)->text(), "0.333333333333333");
    form.Field(3)->setText("2.75");
    emit form.Field(3)->textEdited("2.75");
    EXPECT_EQ(FVars.GetVarValue(3), 2.75L);
    emit form.Field(3)->textEdited("-");
    EXPECT_EQ(FVars.GetVarValue(3), 0); // no number reads as 0
    // The spin button steps the value into the store.
    auto *spin = static_cast<TRSpinEdit *>(form.Field(4));
    spin->UpButton()->click();
    spin->UpButton()->click();
    EXPECT_EQ(FVars.GetVarValue(4), 2);
}

TEST_F(MacroVarsFormTest, OKSavesTheKeptVariablesAndHides)
{
    TMacroVarsForm form(FVars);
    form.show();
    FVars.SetVar(531, 4);
    form.OKButton()->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(TDIniFile(FDir.File("Tarnwick.ini")).ReadString("Macro Variables", "531", ""), "4");
}

} // namespace
} // namespace orv
