// The wizard's dialog and its numeric edit: the keys a field takes, and
// the arc page's centre and radius conversion.

#include "shell/tests/EditorTestSupport.h"
#include "shell/ui/MillWizUnit.h"
#include "shell/ui/RealEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace orv {
namespace {

void Type(QWidget *Widget, const QString &Text)
{
    for (QChar c : Text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(Widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(Widget, &release);
    }
}

TEST(RealEdit, KeysByType)
{
    struct {
        const char *Name;
        TEditType Type;
        bool PosOnly;
        const char *Typed;
        const char *Text;
    } cases[] = {
        {"a real takes one separator", etReal, false, "-1.5.2x", "-1.52"},
        {"a whole number refuses the separator", etInt, false, "12.5", "125"},
        {"positive only refuses the minus", etReal, true, "-7", "7"},
        {"minus only once", etReal, false, "5-", "5"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TRealEdit edit;
        edit.SetEditType(c.Type);
        edit.SetPosOnly(c.PosOnly);
        edit.clear();
        Type(&edit, c.Typed);
        EXPECT_EQ(edit.text().toStdString(), c.Text);
    }
}

TEST(RealEdit, ValuesAndLimits)
{
    TRealEdit edit;
    EXPECT_EQ(edit.text().toStdString(), "0");
    edit.setText("abc");
    EXPECT_EQ(edit.ValueR(), 0);
    EXPECT_EQ(edit.text().toStdString(), "0");
    edit.Max = 10;
    edit.SetValueR(12.5);
    EXPECT_EQ(edit.text().toStdString(), "10");
    edit.setText("3.7");
    edit.SetEditType(etInt);
    EXPECT_EQ(edit.text().toStdString(), "37");
    EXPECT_EQ(edit.ValueI(), 37);
}

class WizardFormTest : public ::testing::Test, public test::TEditorFixture {};

TEST_F(WizardFormTest, ArcPagesConvertCentreAndRadius)
{
    TWizardModel model;
    model.StartInsert({"G00 X0 Y0 Z0", ""}, 1, 4);
    model.Enter(wX, 10);
    model.Enter(wY, 0);
    TMillWizForm form(model, {});
    EXPECT_EQ(form.windowTitle().toStdString(),
              "Milling Wizard - Clockwise Arc Interpolation (G02)");
    ASSERT_NE(form.PCCenterRadius, nullptr);
    model.Enter(wR, 5);
    form.ShowCentrePage(true);
    EXPECT_EQ(model.Block.Words[wI], 5);
    EXPECT_EQ(model.Block.Words[wJ], 0);
    model.Enter(wI, 3);
    model.Enter(wJ, 4);
    form.ShowCentrePage(false);
    EXPECT_EQ(model.Block.Words[wR], 5);
    model.Enter(wR, 2); // shorter than half the chord
    form.ShowCentrePage(true);
    EXPECT_EQ(model.Block.Words[wI], 3);
    EXPECT_EQ(model.Block.Words[wJ], 4);
    ASSERT_FALSE(MessageTexts().empty());
    EXPECT_NE(MessageTexts().back().find("radius 2"), std::string::npos);
}

TEST_F(WizardFormTest, CannedCyclePageShowsItsFields)
{
    TWizardModel model;
    model.StartInsert({"G00 X0 Y0 Z5", ""}, 1, 7);
    TMillWizForm form(model, {});
    for (int word : {wX, wY, wZ, wR, wK, wF})
        EXPECT_NE(form.Field(word), nullptr) << CNCLetters[word];
    EXPECT_EQ(form.Field(wQ), nullptr);
    EXPECT_EQ(form.HelpCode(), (std::pair<std::string, std::string>{"G", "81"}));
    std::string asked;
    form.OnHelp = [&asked](const std::string &Letter, const std::string &Code) {
        asked = Letter + Code;
    };
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(&form, &f1);
    EXPECT_EQ(asked, "G81") << "F1 asks for the code's help";
    model.StartInsert({"G00 X0 Y0 Z5", ""}, 1, 15);
    form.SetupPage();
    EXPECT_EQ(form.Field(wX), nullptr) << "G80 shows no fields";
}

TEST_F(WizardFormTest, SpindleChoicesSwitchTheMCode)
{
    TWizardModel model;
    model.StartInsert({"G00 X0", ""}, 1, WizardMKind, 5);
    TMillWizForm form(model, {});
    auto *coolant = form.findChild<QCheckBox *>("CheckC");
    ASSERT_NE(coolant, nullptr);
    coolant->setChecked(true);
    EXPECT_EQ(model.SubKind, 8);
    EXPECT_EQ(form.windowTitle().toStdString(), "Milling Wizard - Spindle Forward Coolant On (M13)");
    model.Enter(wS, 900);
    auto edit = model.Build();
    ASSERT_TRUE(edit.has_value());
    EXPECT_EQ(edit->Text, "M13 S900");
}

} // namespace
} // namespace orv
