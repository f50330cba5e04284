// The open dialog's preview pane: a "bm2" companion is shown with its
// size; a companion that is no bitmap shows "Picture:" and no preview.

#include "engine/view2d/ui/DOpenPicDlg.h"

#include "platform/tests/TempDir.h"

#include <QDialog>
#include <QImage>

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

} // namespace
} // namespace orv
