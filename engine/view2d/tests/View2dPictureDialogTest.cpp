// The open dialog's preview pane: a "bm2" companion is shown with its
// size; a companion that is no bitmap shows "Picture:" and no preview.

#include "engine/view2d/ui/DOpenPicDlg.h"

#include "engine/chain/FileInput.h"
#include "platform/ui/QtMessageService.h"
#include "platform/tests/TempDir.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QTimer>

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(View2dPictureDialog, CompanionBm2IsPreviewed)
{
    test::TTempDir Dir;
    const std::string Program = Dir.Write("part.fnc", "%\n");
    QImage Picture(40, 20, QImage::Format_RGB32);
    Picture.fill(Qt::red);
    ASSERT_TRUE(Picture.save(QString::fromStdString(Dir.File("part.bm2")), "BMP"));
    TDOpenPictureDialog Dialog;
    Dialog.SelectionChanged(QString::fromStdString(Program));
    EXPECT_EQ(Dialog.PictureLabelText().toStdString(), " (40x20)");
    EXPECT_TRUE(Dialog.PreviewEnabled());
    EXPECT_EQ(Dialog.Picture().size(), QSize(40, 20));
    const auto Preview = Dialog.MakePreviewWindow();
    EXPECT_EQ(Preview->windowTitle().toStdString(), "Preview");
    EXPECT_EQ(Preview->objectName().toStdString(), "PreviewForm");
}

TEST(View2dPictureDialog, InvalidCompanionShowsNoPicture)
{
    test::TTempDir Dir;
    const std::string Program = Dir.Write("part.fnc", "%\n");
    Dir.Write("part.bmp", "not a bitmap");
    TDOpenPictureDialog Dialog;
    Dialog.SelectionChanged(QString::fromStdString(Program));
    EXPECT_EQ(Dialog.PictureLabelText().toStdString(), "Picture:");
    EXPECT_FALSE(Dialog.PreviewEnabled());
    EXPECT_TRUE(Dialog.Picture().isNull());
}

// The file source asks for its program through the message service; with
// the program dialog installed (as Tarnwick does) the dialog is this one,
// and the picture beside the program shows with its size.
TEST(View2dPictureDialog, FileSourceOpensWithThePicturePreview)
{
    test::TTempDir Dir;
    const std::string Program = Dir.Write("part.fnc", "G00 X1\n");
    QImage Picture(40, 20, QImage::Format_RGB32);
    Picture.fill(Qt::red);
    ASSERT_TRUE(Picture.save(QString::fromStdString(Dir.File("part.bm2")), "BMP"));
    TQtMessageService Messages;
    Messages.ProgramDialog = ChooseProgramWithPicture;
    TMessageServiceScope Scope(Messages);
    bool WasPictureDialog = false;
    std::string Shown;
    QTimer::singleShot(0, [&] {
        auto *Dialog = qobject_cast<TDOpenPictureDialog *>(QApplication::activeModalWidget());
        WasPictureDialog = Dialog != nullptr;
        if (!Dialog) {
            if (QApplication::activeModalWidget())
                QApplication::activeModalWidget()->close();
            return;
        }
        // As the file list reports the operator's click on the program.
        Dialog->selectFile(QString::fromStdString(Program));
        emit Dialog->currentChanged(QString::fromStdString(Program));
        Shown = Dialog->PictureLabelText().toStdString();
        static_cast<QDialog *>(Dialog)->accept();
    });
    TFileInput Source;
    std::string Name = Dir.File("");
    EXPECT_TRUE(Source.LoadFile(Name));
    EXPECT_TRUE(WasPictureDialog);
    EXPECT_EQ(Shown, " (40x20)");
    EXPECT_EQ(Name, Program);
}

} // namespace
} // namespace orv
