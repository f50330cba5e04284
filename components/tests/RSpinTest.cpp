// The real-valued spin edit: the typed characters it takes, clamping on
// leaving the field, stepping by keys and button, a text that is no number,
// and the editor switched off.
#include "components/rspin/RSpinRules.h"
#include "components/rspin/ui/RSpin.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QToolButton>

namespace orv {
namespace {

void Press(QWidget &W, int Key, const QString &Text = {}, Qt::KeyboardModifiers Mods = {}) {
    QKeyEvent down(QEvent::KeyPress, Key, Mods, Text);
    QApplication::sendEvent(&W, &down);
    QKeyEvent up(QEvent::KeyRelease, Key, Mods, Text);
    QApplication::sendEvent(&W, &up);
}

void Type(QWidget &W, const std::string &Text) {
    for (char c : Text)
        Press(W, c >= 'a' && c <= 'z' ? c - 32 : c, QString(QChar(c)));
}

void Leave(QWidget &W) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&W, &out);
}

TEST(RSpinRules, TypedCharacters) {
    struct Row {
        char Key;
        bool Enabled, Disabled; // taken with the editor on, off
    } rows[] = {
        {'0', true, false}, {'9', true, false}, {'+', true, false}, {'-', true, false},
        {'.', true, false}, {'E', false, false}, {'e', false, false}, {',', false, false},
        {' ', false, false}, {'\b', true, false}, {'\r', false, false}, {'\x16', true, true},
        {'\x7f', true, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(int(row.Key));
        EXPECT_EQ(SpinAcceptsChar(row.Key, true), row.Enabled);
        EXPECT_EQ(SpinAcceptsChar(row.Key, false), row.Disabled);
    }
}

TEST(RSpinRules, ClampingOnlyWithDistinctBounds) {
    EXPECT_EQ(SpinClamp(15, 0, 10), 10);
    EXPECT_EQ(SpinClamp(-1, 0, 10), 0);
    EXPECT_EQ(SpinClamp(10, 0, 10), 10);
    EXPECT_EQ(SpinClamp(-5, 3, 3), -5);
}

TEST(RSpinEdit, AFreshControlShowsZeroStepsByOneAndDoesNotClamp) {
    TRSpinEdit e;
    EXPECT_EQ(e.text(), "0");
    EXPECT_EQ(e.Increment(), 1.0L);
    e.UpButton()->click();
    EXPECT_EQ(e.text(), "1");
    Press(e, Qt::Key_Down);
    Press(e, Qt::Key_Down);
    EXPECT_EQ(e.text(), "-1");
    e.SetValue(1e20L);
    EXPECT_EQ(e.text(), "1E20");
    e.SetIncrement(0.1L);
    e.SetValue(0);
    e.StepUp();
    e.StepUp();
    EXPECT_EQ(e.text(), "0.2");
}

TEST(RSpinEdit, LeavingTheFieldClampsAndStepsStayInRange) {
    TRSpinEdit e;
    e.SetMinValue(0);
    e.SetMaxValue(10);
    e.clear();
    Type(e, "15");
    EXPECT_EQ(e.text(), "15");
    Leave(e);
    EXPECT_EQ(e.text(), "10");
    e.SetValue(0);
    Press(e, Qt::Key_Down);
    EXPECT_EQ(e.text(), "0");
    e.SetValue(9.5L);
    e.StepUp();
    EXPECT_EQ(e.text(), "10");
}

TEST(RSpinEdit, ATextThatIsNoNumberReadsAsMinValue) {
    TRSpinEdit e;
    e.SetMinValue(2);
    e.SetMaxValue(5);
    for (const char *text : {"abc", "", "1.2.3", "--"}) {
        e.setText(text);
        EXPECT_EQ(e.Value(), 2.0L) << text;
    }
    e.setText(" 4.5 ");
    EXPECT_EQ(e.Value(), 4.5L);
}

TEST(RSpinEdit, TypingRefusesOtherCharactersAndAnExponent) {
    TRSpinEdit e;
    e.clear();
    Type(e, "-1E5x,2.5");
    EXPECT_EQ(e.text(), "-152.5");
}

TEST(RSpinEdit, WithTheEditorOffOnlyStepsChangeTheValue) {
    TRSpinEdit e;
    e.SetEditorEnabled(false);
    e.selectAll();
    Type(e, "7");
    Press(e, Qt::Key_Backspace, "\b");
    EXPECT_EQ(e.text(), "0");
    QApplication::clipboard()->setText("42");
    e.selectAll();
    Press(e, Qt::Key_V, QString(QChar(0x16)), Qt::ControlModifier);
    Press(e, Qt::Key_X, QString(QChar(0x18)), Qt::ControlModifier);
    EXPECT_EQ(e.text(), "0");
    Press(e, Qt::Key_Up);
    e.UpButton()->click();
    EXPECT_EQ(e.text(), "2");
    e.SetEditorEnabled(true);
    e.selectAll();
    Type(e, "7");
    EXPECT_EQ(e.text(), "7");
}

TEST(RSpinEdit, AReadOnlyEditDoesNotStep) {
    TRSpinEdit e;
    e.setReadOnly(true);
    e.StepUp();
    e.DownButton()->click();
    EXPECT_EQ(e.text(), "0");
}

TEST(RSpinEdit, OnChangeFiresOnEveryKeyRelease) {
    TRSpinEdit e;
    int changes = 0;
    e.OnChange = [&] { ++changes; };
    Press(e, Qt::Key_Left);
    EXPECT_EQ(changes, 1);
    Press(e, Qt::Key_Up); // the text changes, then the key is released
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(e.text(), "1");
}

} // namespace
} // namespace orv
