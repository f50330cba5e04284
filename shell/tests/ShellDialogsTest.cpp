// The shell's small dialogs on their own: the billet dialog in inch, the
// machine warning's answers and the key setup dialog's key handling.
#include "shell/ui/Billet_size.h"
#include "shell/ui/Mach_Warn.h"
#include "shell/ui/key_setup.h"
#include "shell/ui/splash.h"

#include "engine/core/Mess.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/tests/TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace orv {
namespace {

class ShellDialogs : public ::testing::Test {
protected:
    ShellDialogs() { SetProgramPathOverride(Dir.Path(), "Tarnwick"); }
    ~ShellDialogs() override { SetProgramPathOverride("", ""); }
    void Press(QWidget *W, int Key) {
        QKeyEvent e(QEvent::KeyPress, Key, Qt::NoModifier);
        QApplication::sendEvent(W, &e);
    }
    TMess Mess;
    test::TTempDir Dir;
};

TEST_F(ShellDialogs, BilletSizeInInch) {
    TB_Size dialog(nullptr, true);
    dialog.Values[0] = 100;
    dialog.FormShow();
    EXPECT_EQ(dialog.Edit(0)->text().toStdString(), "3.9370");
    dialog.Edit(0)->setText("4");
    dialog.Edit(1)->setText("abc");
    dialog.Edit(2)->setText("1");
    dialog.OKClick();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(dialog.Values[0], 101.6);
    EXPECT_DOUBLE_EQ(dialog.Values[1], 100) << "a letter keeps the value";
    EXPECT_DOUBLE_EQ(dialog.Values[2], 25.4);
}

TEST_F(ShellDialogs, SplashShowsTheEnginesProgress) {
    TSplash_form splash;
    EXPECT_EQ(splash.VersionInfo->text(), "Orvellan");
    splash.ShowProgress("Creating the parser");
    EXPECT_TRUE(splash.isVisible());
    EXPECT_EQ(splash.description->text(), "Creating the parser");
}

TEST_F(ShellDialogs, MachineWarningAnswers) {
    TMach_Warn stop;
    stop.ShowAGain->setChecked(true);
    stop.Button2->click();
    EXPECT_EQ(stop.result(), QDialog::Rejected);
    TMach_Warn run;
    run.Button1->click();
    EXPECT_EQ(run.result(), QDialog::Accepted);
    EXPECT_FALSE(run.ShowAGain->isChecked());
}

TEST_F(ShellDialogs, KeySetupStoresNamedKeysForTheChosenFunction) {
    const std::string ini = Dir.Write("Tarnwick.ini", "");
    TKey_def_form form(nullptr, ini);
    Press(form.KeyEdit(0), Qt::Key_A);
    EXPECT_EQ(form.Table().Key(TJogKeyTable::XPlus), 0) << "no function chosen yet";
    form.FunctionButton(4)->click();
    EXPECT_FALSE(form.Hint()->isHidden());
    Press(form.KeyEdit(3), Qt::Key_Down);
    EXPECT_EQ(form.Table().Key(TJogKeyTable::YMinus), 40);
    EXPECT_TRUE(form.Hint()->isHidden());
    EXPECT_FALSE(form.KeyEdit(3)->text().isEmpty());
    Press(form.KeyEdit(3), Qt::Key_Launch0); // a key without a name
    EXPECT_EQ(form.Table().Key(TJogKeyTable::YMinus), 40);
    form.FunctionButton(7)->click();
    Press(form.KeyEdit(6), Qt::Key_Down);
    EXPECT_EQ(form.Table().Key(TJogKeyTable::FeedUp), 40) << "one key may serve two functions";
    EXPECT_EQ(TIniFile(ini).ReadString("Jog Keys", "Y-", "<none>"), "<none>") << "saved by OK";
    form.findChild<QPushButton *>("OK")->click();
    EXPECT_EQ(TIniFile(ini).ReadInteger("Jog Keys", "Y-", 0), 40);
}

} // namespace
} // namespace orv
