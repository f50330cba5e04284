// The "Machine Properties Editor" and the password dialog, offscreen: the
// tree's pictures, rows by key kind, read-only mode, the port swap written
// only when an edit is finished, the machine menu, and the password
// answers and changes.

#include "machine/MachineList.h"
#include "machine/SettingsPassword.h"
#include "machine/ui/NewPass.h"
#include "machine/ui/property_editor.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace orv {
namespace {

namespace fs = std::filesystem;

class MachineEditorWindow : public ::testing::Test {
protected:
    MachineEditorWindow()
    {
        fs::copy(ORV_DATA_DIR, Dir.Path(), fs::copy_options::recursive);
        Machine = Dir.File("machines/BENCHMILL.ini");
        TIniFile ini(Machine);
        ini.WriteString("m50", "enabled", "true");
        ini.WriteString("m50", "Description", "1,2");
        ini.WriteString("m50", "Timeout", "1.5");
    }
    void Open(bool ReadOnly)
    {
        Editor = std::make_unique<TVis_form>(Dir.File("Tarnwick.ini"));
        Editor->SetReadOnly(ReadOnly);
        Editor->show();
    }
    QTreeWidgetItem *Section(const std::string &Name)
    {
        return Editor->ChildNode(Editor->MachineNode("BENCHMILL"), Name);
    }
    int VisibleRow(const QString &Key)
    {
        for (int i = 0; i < TVis_form::RowCount; ++i)
            if (Editor->Labels[i]->isVisibleTo(Editor.get()) && Editor->Labels[i]->text() == Key)
                return i;
        return -1;
    }
    void Type(QLineEdit *Edit, const QString &Text)
    {
        Edit->setFocus();
        Edit->selectAll();
        for (QChar c : Text) {
            QKeyEvent press(QEvent::KeyPress, c.unicode(), Qt::NoModifier, QString(c));
            QApplication::sendEvent(Edit, &press);
        }
    }
    void Enter(QLineEdit *Edit)
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(Edit, &press);
    }
    std::string Port(const char *Section) { return TIniFile(Machine).ReadString(Section, "Com Port", ""); }

    test::TTempDir Dir;
    TScriptedMessages Messages;
    TMessageServiceScope Scope{Messages};
    std::string Machine;
    std::unique_ptr<TVis_form> Editor;
};

TEST_F(MachineEditorWindow, PicturesAndRowsFollowTheValues)
{
    Open(false);
    ASSERT_NE(Editor->MachineNode("BENCHMILL"), nullptr);
    EXPECT_EQ(Editor->MachineNode("BENCHMILL")->data(0, TVis_form::PictureRole).toInt(),
              picActiveMachine);
    QTreeWidgetItem *m50 = Section("m50");
    ASSERT_NE(m50, nullptr);
    EXPECT_EQ(m50->data(0, TVis_form::PictureRole).toInt(), picMCodeEnabled);
    Editor->ShowNode(m50);
    EXPECT_EQ(Editor->Title->text(), "m50");
    EXPECT_EQ(VisibleRow("Description"), -1) << "a value with a comma gets no row";
    int timeout = VisibleRow("Timeout");
    ASSERT_GE(timeout, 0);
    EXPECT_TRUE(Editor->Edits[timeout]->isVisibleTo(Editor.get()));
    int enabled = VisibleRow("enabled");
    ASSERT_GE(enabled, 0);
    EXPECT_TRUE(Editor->Checks[enabled]->isVisibleTo(Editor.get()));
    EXPECT_TRUE(Editor->Checks[enabled]->isChecked());
    Editor->Checks[enabled]->click();
    EXPECT_EQ(TIniFile(Machine).ReadString("m50", "enabled", ""), "FALSE");
}

TEST_F(MachineEditorWindow, ReadOnlyShowsValuesButNothingReacts)
{
    Open(true);
    Editor->ShowNode(Section("Communications"));
    int port = VisibleRow("Com Port");
    ASSERT_GE(port, 0);
    EXPECT_EQ(Editor->Edits[port]->text(), "1");
    EXPECT_FALSE(Editor->Edits[port]->isEnabled());
    EXPECT_FALSE(Editor->NewPass->isEnabled());
    QMenu *menu = Editor->MachineMenu(Editor->MachineNode("BENCHMILL"));
    for (QAction *a : menu->actions())
        if (!a->isSeparator())
            EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
}

TEST_F(MachineEditorWindow, ThePortIsWrittenWhenTheEditIsFinishedAndSwapped)
{
    Open(false);
    Editor->ShowNode(Section("Communications"));
    int port = VisibleRow("Com Port");
    ASSERT_GE(port, 0);
    Type(Editor->Edits[port], "12");
    EXPECT_EQ(Port("Communications"), "1") << "nothing is written while typing";
    EXPECT_EQ(Port("Input/Output Devices"), "2");
    Type(Editor->Edits[port], "2");
    Enter(Editor->Edits[port]);
    EXPECT_EQ(Port("Communications"), "2");
    EXPECT_EQ(Port("Input/Output Devices"), "1") << "the console takes the link's old port";
}

TEST_F(MachineEditorWindow, DeleteIsOfferedOnlyForMachinesThatAreNotActive)
{
    Open(false);
    QMenu *menu = Editor->MachineMenu(Editor->MachineNode("BENCHMILL"));
    EXPECT_FALSE(Editor->DeleteItem->isEnabled());
    EXPECT_TRUE(Editor->CopyItem->isEnabled());
    EXPECT_EQ(menu, Editor->PopupMenu1);
    TMachineList(Dir.File("Tarnwick.ini")).Copy("BENCHMILL", "MILL2");
    Editor->BuildTree();
    ASSERT_NE(Editor->MachineNode("MILL2"), nullptr);
    Editor->MachineMenu(Editor->MachineNode("MILL2"));
    EXPECT_TRUE(Editor->DeleteItem->isEnabled());
    Messages.Answer("Yes");
    Editor->DeleteItem->trigger();
    EXPECT_EQ(Editor->MachineNode("MILL2"), nullptr);
    EXPECT_FALSE(fs::exists(Dir.File("machines/MILL2.ini")));
}

TEST_F(MachineEditorWindow, PasswordDialogAnswersAndChanges)
{
    const std::string settings = Dir.File("Tarnwick.ini");
    struct TCase {
        const char *Name;
        const char *Typed;
        int Answer;
    };
    for (const TCase &c : {TCase{"the default password", "orvellan", 1},
                           TCase{"another one", "lathe", 7}}) {
        SCOPED_TRACE(c.Name);
        TNewPassword dialog(nullptr, settings);
        dialog.Prepare(0);
        EXPECT_EQ(dialog.windowTitle(), "Password");
        EXPECT_FALSE(dialog.OKButton->isEnabled());
        dialog.OldPassword->setText(c.Typed);
        EXPECT_TRUE(dialog.OKButton->isEnabled());
        EXPECT_EQ(dialog.OkClick(), c.Answer);
    }
    {
        TNewPassword dialog(nullptr, settings);
        dialog.Prepare(0);
        dialog.show();
        dialog.CancelButton->click();
        EXPECT_EQ(dialog.result(), 2);
    }
    TNewPassword change(nullptr, settings);
    change.Prepare(1);
    change.OldPassword->setText("orvellan");
    change.NewPassEdit->setText("spindle");
    EXPECT_FALSE(change.OKButton->isEnabled()) << "all three fields are needed";
    change.ConfirmPassword->setText("spindel");
    change.OkClick();
    ASSERT_FALSE(Messages.Log().empty());
    EXPECT_EQ(Messages.Log().back().Text, "Confirm password incorrect");
    change.OldPassword->setText("wrong");
    change.ConfirmPassword->setText("spindle");
    change.OkClick();
    EXPECT_EQ(Messages.Log().back().Text, "Old password incorrect");
    change.OldPassword->setText("orvellan");
    Messages.ClearLog();
    change.OkClick();
    EXPECT_TRUE(Messages.Log().empty());
    EXPECT_EQ(PasswordAnswer(true, "spindle", settings), 1);
    EXPECT_EQ(PasswordAnswer(true, "orvellan", settings), 7);
}

} // namespace
} // namespace orv
