// Under a private X server with Mesa's software renderer: frames of the
// milling window against pictures made once and checked by eye, and the
// capture that "&Capture as bitmap" and ncrun --3d write.
#include "view3d/milling/ui/GLWorld3D.h"

#include "components/toolbar/ui/TbCtls.h"
#include "components/toolbar/ui/TbTlwn.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"
#include "view3d/milling/ui/MillingScene.h"
#include "view3d/scene/qt/GLQtContext.h"
#include "view3d/scene/qt/GLWorldViewer.h"

#include <QAction>
#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

namespace orv {
namespace {

const std::string cExpected = std::string(ORV_DATA_DIR) + "/pictures/expected/";

// Serves the event loop until Done holds, sleeping between events (each
// frame comes with one) however slowly a loaded machine draws; the cap of
// a minute only turns a wait that can never end into a failure.
bool WaitUntil(const std::function<bool()> &Done)
{
    QTimer cap;
    cap.setSingleShot(true);
    cap.start(60000);
    while (!Done() && cap.isActive())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return Done();
}

// Differences a software rasteriser may make: at most 24 per channel on
// all but 1 % of the pixels; rows above SkipRows (a caption) are not compared.
std::string Compare(const QImage &Actual, const QImage &Expected, int SkipRows = 0)
{
    if (Actual.size() != Expected.size())
        return "size differs";
    const QImage a = Actual.convertToFormat(QImage::Format_RGB32);
    const QImage e = Expected.convertToFormat(QImage::Format_RGB32);
    int off = 0;
    for (int y = SkipRows; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = e.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 24 || std::abs(qGreen(p) - qGreen(q)) > 24 ||
                std::abs(qBlue(p) - qBlue(q)) > 24)
                ++off;
        }
    if (off * 100 > a.width() * (a.height() - SkipRows))
        return std::to_string(off) + " pixels differ";
    return "";
}

// Checks Image against the expected picture Name (written first when
// ORV_WRITE_EXPECTED is set).
void ExpectPicture(const QImage &Image, const std::string &Name, int SkipRows = 0)
{
    const QString file = QString::fromStdString(cExpected + "mill3d_" + Name + ".png");
    if (std::getenv("ORV_WRITE_EXPECTED"))
        Image.save(file);
    const QImage expected(file);
    ASSERT_FALSE(expected.isNull()) << "no expected picture " << file.toStdString();
    EXPECT_EQ(Compare(Image, expected, SkipRows), "") << Name;
}

struct TFrame {
    const char *Name;
    std::function<void(TGLWorld3D &)> Build;
};

// A 100 x 100 x 20 billet (0.6 mm cells) from the reset camera pulled back
// to show all of it, 200 x 150 pixels.
QImage Frame(const std::string &Ini, const TFrame &F)
{
    TGLWorld3D w(Ini);
    w.SetBilletSize(100, 100, 20);
    w.Scene().Camera->ScaleTargetDistance(1.8f);
    F.Build(w);
    TGLQtBitmap bitmap(200, 150);
    w.SceneViewer->Buffer().RenderBitmap(bitmap, 96);
    return bitmap.Image;
}

class GLWorld3DPictures : public ::testing::Test {
protected:
    test::TTempDir Dir;
    std::string Ini =
        Dir.Write("Tarnwick.ini", "[3DGraphics]\r\nMaterial Type=5\r\nplastic colour=12632256\r\n");
    TScriptedMessages Messages;
    TMessageServiceScope Scope{Messages};
};

TEST_F(GLWorld3DPictures, FramesMatchTheirPictures)
{
    const TFrame frames[] = {
        {"uncut", [](TGLWorld3D &) {}},
        {"flat_and_ball_cut",
         [](TGLWorld3D &w) {
             w.SetToolShape(ToolShapeFlat);
             w.AddStraightMove(0, 10, 25, -5, 90, 25, -5, 5);
             w.SetToolShape(ToolShapeBall);
             w.AddStraightMove(0, 10, 70, -5, 90, 70, -5, 5);
         }},
        {"arc",
         [](TGLWorld3D &w) {
             w.SetToolShape(ToolShapeBall);
             w.AddArcMove(17, 80, 50, -4, 50, 50, -4, 30, 270, 4);
         }},
        {"path_colours",
         [](TGLWorld3D &w) {
             w.PathsButt->Click();
             w.Show3D->Click(); // the path alone
             w.AddStraightMove(2, 0, 0, 5, 20, 20, 5, 1);
             w.AddStraightMove(0, 20, 20, 5, 80, 20, 5, 1);
             w.AddArcMove(17, 80, 20, 5, 80, 50, 5, 30, 180, 1);
         }},
        {"path_hidden_rapids",
         [](TGLWorld3D &w) {
             TG3D_settings s;
             s.ShowRapids = false;
             w.Model().ApplySetup(s);
             w.PathsButt->Click();
             w.Show3D->Click();
             w.AddStraightMove(2, 0, 0, 5, 20, 20, 5, 1);
             w.AddStraightMove(0, 20, 20, 5, 80, 20, 5, 1);
             w.AddStraightMove(2, 80, 20, 5, 80, 80, 5, 1);
             w.AddStraightMove(0, 80, 80, 5, 20, 80, 5, 1);
         }},
        {"datum",
         [](TGLWorld3D &w) {
             w.UseOffsets1->trigger();
             w.EditXOffset->setText("40");
             w.EditYOffset->setText("30");
             w.EditXOffsetChange();
         }},
        {"tool",
         [](TGLWorld3D &w) {
             w.SetToolShape(ToolShapeFlat);
             w.AddStraightMove(0, 50, 50, 5, 50, 50, -2, 6);
         }},
        {"probe",
         [](TGLWorld3D &w) {
             w.MeasureButt->Click();
             w.Window3DMouseDown(Qt::LeftButton, Qt::NoModifier, 0, 200);
             w.Window3DMouseMove(Qt::LeftButton, Qt::NoModifier, 200, 0); // 60 mm each way
         }},
    };
    for (const TFrame &f : frames) {
        SCOPED_TRACE(f.Name);
        ExpectPicture(Frame(Ini, f), f.Name);
    }
}

TEST_F(GLWorld3DPictures, CutsChangeThePicture)
{
    const QImage uncut = Frame(Ini, {"uncut", [](TGLWorld3D &) {}});
    const QImage cut = Frame(Ini, {"cut", [](TGLWorld3D &w) {
                                       w.AddStraightMove(0, 5, 50, -4, 95, 50, -4, 4);
                                   }});
    EXPECT_NE(Compare(uncut, cut), "");
}

TEST_F(GLWorld3DPictures, ShownWindowDrawsItsViewAndAgainAfterACut)
{
    TGLWorld3D w(Ini);
    w.resize(400, 300);
    w.show();
    w.SetBilletSize(100, 100, 20);
    auto drawn = [&](int Frames) {
        return WaitUntil([&] { return w.SceneViewer->FramesDrawn() >= Frames; });
    };
    ASSERT_TRUE(drawn(1));
    const int before = w.SceneViewer->FramesDrawn();
    w.AddStraightMove(0, 10, 10, -2, 90, 10, -2, 3);
    EXPECT_TRUE(drawn(before + 1)) << "a cut asks for a frame";
    EXPECT_EQ(w.SceneViewer->LastError(), "");
}

// Frames between cuts sample again only what each cut changed; the view
// then shows exactly what a whole new sampling of the surface shows.
TEST_F(GLWorld3DPictures, FramesBetweenCutsShowWhatAWholeSamplingShows)
{
    TGLWorld3D w(Ini);
    w.resize(400, 300);
    w.show();
    w.SetBilletSize(100, 100, 20);
    w.Scene().Camera->ScaleTargetDistance(1.8f);
    auto frame = [&] {
        const int before = w.SceneViewer->FramesDrawn();
        return WaitUntil([&] { return w.SceneViewer->FramesDrawn() > before; });
    };
    ASSERT_TRUE(frame());
    w.SetToolShape(ToolShapeBall);
    const double moves[][6] = {{10, 20, -3, 80, 25, -3}, {80, 25, -3, 60, 80, -6},
                               {60, 80, -6, 20, 60, -2}, {20, 60, -2, 50, 50, -8}};
    for (const auto &m : moves) {
        w.AddStraightMove(0, m[0], m[1], m[2], m[3], m[4], m[5], 5);
        ASSERT_TRUE(frame());
    }
    w.AddArcMove(17, 70, 50, -4, 50, 50, -4, 20, 180, 3);
    ASSERT_TRUE(frame());
    const QImage kept = w.SceneViewer->grabFramebuffer();
    w.Scene().SurfaceChanged();
    const QImage whole = w.SceneViewer->grabFramebuffer();
    ASSERT_FALSE(kept.isNull());
    EXPECT_TRUE(kept == whole);
    EXPECT_EQ(w.SceneViewer->LastError(), "");
}

TEST_F(GLWorld3DPictures, CaptureShowsItselfAndSavesABitmap)
{
    TGLWorld3D w(Ini);
    w.resize(400, 300);
    w.show();
    w.SetBilletSize(60, 45, 10);
    w.SetProgramName("/work/programs/PART1.FNC");
    ASSERT_TRUE(w.CaptureBitmap("", 1));
    EXPECT_TRUE(w.SaveABMP->Visible());
    EXPECT_EQ(w.CapturedPicture().size(), w.SceneViewer->size());
    const std::string file = Dir.File("shot.bmp");
    ASSERT_TRUE(w.CaptureBitmap(file, 0.5f));
    const QImage saved(QString::fromStdString(file));
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.width(), qRound(w.SceneViewer->width() * 0.5));
    EXPECT_EQ(saved.depth(), 24 + 8); // loaded as 32-bit from a 24-bit file
    EXPECT_TRUE(Messages.Log().empty());
}

TEST_F(GLWorld3DPictures, SaveAsSuggestsTheProgramsNameAndSavesTheChosenFile)
{
    TGLWorld3D w(Ini);
    w.resize(200, 150);
    w.show();
    w.SetProgramName(Dir.File("PART7.FNC"));
    struct {
        const char *Name;
        std::string Answer;
        bool Saved;
    } cases[] = {{"chosen", Dir.File("part7.bmp"), true},
                 {"cancelled", "", false},
                 {"only the extension", ".BMP", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        std::filesystem::remove(Dir.File("part7.bmp"));
        w.SaveBitmapAs1Click();
        ASSERT_TRUE(w.SaveABMP->Visible());
        Messages.ClearLog();
        Messages.Answer(c.Answer);
        w.SaveAsClick();
        ASSERT_EQ(Messages.Log().size(), 1u);
        EXPECT_EQ(Messages.Log()[0].Kind, "file");
        EXPECT_EQ(Messages.Log()[0].Text, Dir.File("PART7.BMP"));
        EXPECT_EQ(std::filesystem::exists(Dir.File("part7.bmp")), c.Saved);
        EXPECT_FALSE(w.SaveABMP->Visible());
    }
}

TEST_F(GLWorld3DPictures, CaptureThatCannotBeWrittenTellsTheOperator)
{
    TGLWorld3D w(Ini);
    w.resize(200, 150);
    w.show();
    EXPECT_FALSE(w.CaptureBitmap(Dir.File("no/such/folder/shot.bmp"), 1));
    ASSERT_EQ(Messages.Log().size(), 1u);
    EXPECT_NE(Messages.Log()[0].Text.find("Cannot write the picture file"), std::string::npos);
}

#ifdef ORV_NCRUN
// ncrun --3d: the run's last picture, 640 x 480, the caption masked.
TEST_F(GLWorld3DPictures, NcrunWritesTheCaptureAtTheEnd)
{
    const std::string program =
        Dir.Write("POCKET.FNC", "%\nN10 G21 G17 G90 G40\nN20 [BILLET X60 Y45 Z10]\nN30 M06 T3\n"
                                "N40 G00 X10 Y10 Z5\nN50 G01 Z-2 F200\nN60 G01 X50\n"
                                "N70 G03 X50 Y35 I0 J12.5\nN80 G01 X10\nN90 G00 Z5\nN100 M30\n%\n");
    const std::string picture = Dir.File("pocket.bmp");
    auto ncrun = [&](const QStringList &Args) {
        QProcess run;
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(ORV_NCRUN, Args + QStringList{QString::fromStdString(program)});
        EXPECT_TRUE(run.waitForFinished(120000));
        EXPECT_EQ(run.exitCode(), 0) << run.readAll().toStdString();
    };
    const QString windowGrid = QString::fromStdString(Dir.File("window.grid"));
    const QString plainGrid = QString::fromStdString(Dir.File("plain.grid"));
    ncrun({"--3d", QString::fromStdString(picture), "--3d-grid", windowGrid});
    const QImage image(QString::fromStdString(picture));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(640, 480));
    ExpectPicture(image, "ncrun_pocket", 20);
    // The window cuts as the view without a window does.
    ncrun({"--3d-grid", plainGrid});
    EXPECT_EQ(Dir.Read("window.grid"), Dir.Read("plain.grid"));
    EXPECT_NE(Dir.Read("plain.grid").find("-2.0000"), std::string::npos);
}
#endif

} // namespace
} // namespace orv
