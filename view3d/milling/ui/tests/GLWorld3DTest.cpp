// The window "Milling 3D Simulation" offscreen, without drawing: its menu,
// toolbars, status bar, readouts, datum edits, Turbo and the scene objects
// that its moves and buttons set.
#include "view3d/milling/ui/GLWorld3D.h"

#include "components/lcd/ui/LCD_Lab.h"
#include "components/rspin/ui/RSpin.h"
#include "components/toolbar/ui/TbCore.h"
#include "components/toolbar/ui/TbCtls.h"
#include "components/toolbar/ui/TbTlbr.h"
#include "components/toolbar/ui/TbTlwn.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"
#include "platform/ui/ModalRunner.h"
#include "view3d/milling/ui/G3D_setup.h"
#include "view3d/milling/ui/MillingScene.h"
#include "view3d/scene/GLGraph.h"
#include "view3d/scene/GLObjects.h"
#include "view3d/scene/GLRecorder.h"
#include "view3d/scene/RenderContextInfo.h"

#include <QButtonGroup>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace orv {
namespace {

struct TWindowFixture : ::testing::Test {
    test::TTempDir Dir;
    std::string Ini = Dir.Write("Tarnwick.ini", "");
    TScriptedMessages Messages;
    TMessageServiceScope Scope{Messages};
};

using GLWorld3D = TWindowFixture;

TEST_F(GLWorld3D, MenuToolbarsAndStatusBarAsTheFormHasThem)
{
    TGLWorld3D w(Ini);
    EXPECT_EQ(w.windowTitle(), "Milling 3D Simulation");
    QMenu *menu = w.menuBar()->findChild<QMenu *>("N3DSetup1");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), "&3D Setup");
    QStringList items;
    for (QAction *a : menu->actions())
        items << a->text();
    EXPECT_EQ(items, (QStringList{"&Options", "&Capture as bitmap", "Use Offsets"}));
    EXPECT_TRUE(w.UseOffsets1->isCheckable());
    EXPECT_EQ(w.ViewingTBar->Caption(), "Viewing Controls");
    EXPECT_TRUE(w.Show3D->Down());
    EXPECT_FALSE(w.PathsButt->Down() || w.TurboButt->Down() || w.MeasureButt->Down());
    EXPECT_FALSE(w.ToolBarDatum->Visible());
    EXPECT_EQ(w.EditXOffset->text(), "0.000");
    const char *labels[7] = {"X :", "Y:", "Z :", "F :", "M :", "S :", "T :"};
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(w.PanelCaption(2 * k).toStdString(), labels[k]);
    EXPECT_EQ(w.Xmeas->NoOfChars(), 10);
    EXPECT_FALSE(w.MeasureWin->Visible());
    EXPECT_EQ(w.MeasureWin->Caption(), "Measuring Info");
    EXPECT_EQ(w.MeasureWin->BorderStyle(), bsNone);
    EXPECT_FALSE(w.MeasureWin->Resizable());
    EXPECT_EQ(w.SaveABMP->Caption(), "Capture As Bitmap");
    EXPECT_EQ(w.SaveABMP->DockableTo(), 0);
    EXPECT_FALSE(w.Scene().Measure->Visible());
    EXPECT_FALSE(w.Scene().ToolPath->Visible());
}

TEST_F(GLWorld3D, StatusPanelsFollowTheSink)
{
    TGLWorld3D w(Ini);
    w.SetPanelWidth(1, w.PanelTextWidth("12.345") + 12);
    w.SetPanelText(1, "12.345");
    EXPECT_EQ(w.PanelCaption(1), "12.345");
    EXPECT_EQ(w.Model().PanelText(1), "12.345");
    EXPECT_EQ(w.Model().PanelWidth(1), w.PanelTextWidth("12.345") + 12);
}

TEST_F(GLWorld3D, ButtonsShowAndHideTheirObjects)
{
    TGLWorld3D w(Ini);
    w.PathsButt->Click();
    EXPECT_TRUE(w.Scene().ToolPath->Visible());
    w.Show3D->Click();
    EXPECT_FALSE(w.Scene().DummyGrid->Visible());
    w.MeasureButt->Click();
    EXPECT_TRUE(w.MeasureWin->Visible());
    EXPECT_TRUE(w.Scene().Measure->Visible());
    EXPECT_EQ(w.Xmeas->Caption(), "X: 0.000");
    w.MeasureButt->Click();
    EXPECT_FALSE(w.MeasureWin->Visible());
}

TEST_F(GLWorld3D, BilletMovesAndPathReachTheScene)
{
    TGLWorld3D w(Ini);
    w.SetBilletSize(40, 10, 10);
    EXPECT_FLOAT_EQ(w.Scene().VisGrid->XSamplingScale().Min(), -0.1f);
    EXPECT_FLOAT_EQ(w.Scene().VisGrid->XSamplingScale().Max(), 40.1f);
    EXPECT_FLOAT_EQ(w.Scene().VisGrid->YSamplingScale().Step(), 0.1f);
    EXPECT_FLOAT_EQ(w.Scene().BilletBottom->Width(), 40);
    EXPECT_FLOAT_EQ(w.Scene().CutOutPlane->Position().Z(), -10);
    w.AddStraightMove(2, 0, 0, 5, 10, 5, 5, 1.5);
    w.AddArcMove(17, 10, 5, -1, 10, 0, -1, 5, 90, 1.5);
    EXPECT_EQ(w.Scene().ToolPath->Nodes().Count(), int(w.Model().Billet.Path().size()));
    // The tool sits with its sphere's lowest point on the tip.
    const TMillPoint end = w.Model().Billet.Path().back().Point;
    EXPECT_NEAR(w.Scene().ToolTip->Position().X(), end.X, 1e-4);
    EXPECT_NEAR(w.Scene().ToolTip->Position().Z(), end.Z + 1.5f, 1e-4);
    EXPECT_FLOAT_EQ(w.Scene().ToolTip->Radius(), 1.5f);
    // A new billet empties the path.
    w.SetBilletSize(100, 50, 10);
    EXPECT_EQ(w.Scene().ToolPath->Nodes().Count(), 0);
}

TEST_F(GLWorld3D, ToolShapesGiveTheirShanks)
{
    TGLWorld3D w(Ini);
    w.SetBilletSize(100, 50, 10);
    struct {
        uint8_t Shape;
        float Height, Position;
    } cases[] = {{ToolShapeBall, 20, 10}, {ToolShapeFlat, 22, 9}, {ToolShapePointed, 22, 9}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Shape);
        w.SetToolShape(c.Shape);
        w.AddStraightMove(0, 0, 0, 5, 10, 0, 5, 2);
        EXPECT_FLOAT_EQ(w.Scene().ToolShank->Height(), c.Height);
        EXPECT_FLOAT_EQ(w.Scene().ToolShank->Position().Y(), c.Position);
        EXPECT_FLOAT_EQ(w.Scene().ToolShank->BottomRadius(), 2);
    }
}

TEST_F(GLWorld3D, TurboHidesTheToolUntilTheEndOfTheRun)
{
    TGLWorld3D w(Ini);
    w.SetBilletSize(100, 50, 10);
    w.TurboButt->Click(); // the press: the tool goes, the sampling is coarse
    w.TurboButtMouseDown();
    ASSERT_TRUE(w.TurboDown());
    EXPECT_TRUE(w.Model().Billet.Turbo);
    w.TurboButtMouseDown();
    w.TurboButt->SetDown(true);
    w.AddStraightMove(0, 0, 0, 1, 10, 10, 1, 2);
    EXPECT_FLOAT_EQ(w.Scene().ToolTip->Position().X(), 0); // not placed in Turbo
    w.FinishRun();
    EXPECT_FALSE(w.TurboDown());
    EXPECT_FALSE(w.Model().Billet.Turbo);
    EXPECT_TRUE(w.Scene().DummyTool->Visible());
    EXPECT_FLOAT_EQ(w.Scene().VisGrid->XSamplingScale().Step(), 0.6f);
}

// A billet too large for a fine grid: moving the camera or Turbo never
// samples it finer than its coarsened grid (which would be billions of
// samples), and letting go returns to the grid.
TEST_F(GLWorld3D, CoarseSamplingIsNeverFinerThanTheGrid)
{
    TGLWorld3D w(Ini);
    w.SetBilletSize(1e6, 1e6, 10);
    const float grid = static_cast<float>(w.Model().Billet.GridStep());
    ASSERT_GT(grid, 3.0f);
    w.Window3DMouseDown(Qt::LeftButton, Qt::NoModifier, 10, 10);
    EXPECT_FLOAT_EQ(w.Scene().VisGrid->XSamplingScale().Step(), grid);
    w.Window3DMouseUp();
    w.TurboButtMouseDown();
    EXPECT_FLOAT_EQ(w.Scene().VisGrid->YSamplingScale().Step(), grid);
    // A billet of ordinary size samples at 3 mm while the camera moves.
    w.SetBilletSize(100, 50, 10);
    w.Window3DMouseDown(Qt::LeftButton, Qt::NoModifier, 10, 10);
    EXPECT_FLOAT_EQ(w.Scene().VisGrid->XSamplingScale().Step(), 3.0f);
}

// On a platform that draws widgets into memory only (these tests run on
// "offscreen", also under an X server where a context can still be had) the
// viewer stays out of the window and the window says why; shown and
// painted, it draws without the viewer.
// The surface as a frame draws it (heights, normals, colours, texture
// coordinates), on the recording fake.
std::vector<TGLCall> SurfaceAsDrawn(THeightField &Field)
{
    TGLRecorder gl;
    TRenderContextInfo rci;
    Field.CompileGeometry(rci);
    return gl.Calls;
}

bool SameCalls(const std::vector<TGLCall> &A, const std::vector<TGLCall> &B)
{
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](auto &P, auto &Q) {
               return P.Name == Q.Name && P.Args == Q.Args;
           });
}

// Outside Turbo every cut samples again only where the cells it lowered
// show, and the surface drawn is the one a whole new sampling gives:
// moves of both tool shapes, an arc, a plunge, cuts over cut floor, the
// billet's edges, a cut with the camera moving (coarse sampling).
TEST_F(GLWorld3D, CutsSampleOnlyWhatTheyChangedAndDrawTheSameSurface)
{
    TGLWorld3D w(Ini);
    w.Model().Billet.GridSizeSetting = 0.5;
    w.SetBilletSize(100, 50, 10);
    THeightField &field = *w.Scene().VisGrid;
    const size_t whole = field.UpdateSamples();
    ASSERT_EQ(whole, size_t(202 * 103)) << "-0.5 .. 100 by 0.5, -0.5 .. 50.5";
    size_t most = 0;
    auto frame = [&] { most = std::max(most, field.UpdateSamples()); }; // what a frame samples
    w.SetToolShape(ToolShapeFlat);
    w.AddStraightMove(0, 5, 5, 5, 5, 5, -2, 3); // the first cut samples the whole surface
    frame();
    EXPECT_EQ(most, whole);
    w.Window3DMouseDown(Qt::LeftButton, Qt::NoModifier, 10, 10); // the camera moves: coarse
    w.AddStraightMove(0, 20, 30, -5, 25, 32, -5, 2);
    frame();
    w.Window3DMouseUp();
    frame();
    most = 0;
    w.AddStraightMove(0, 5, 5, -2, 30, 8, -2, 3);
    frame();
    w.AddStraightMove(0, 30, 8, -2, 30, 8, -2, 3); // lowers nothing
    frame();
    w.SetToolShape(ToolShapeBall);
    w.AddArcMove(17, 40, 20, -3, 40, 28, -3, 8, 270, 2.5);
    frame();
    w.AddStraightMove(0, -2, 48, -1, 102, 51, -4, 4); // over the billet's edges
    frame();
    w.AddStraightMove(0, 10, 30, -1, 12, 30, -6, 1.5); // drawn below without a frame first
    EXPECT_LT(most, whole / 4) << "a cut samples again only near itself";
    const std::vector<TGLCall> kept = SurfaceAsDrawn(field);
    w.Scene().SurfaceChanged(); // everything sampled anew
    EXPECT_TRUE(SameCalls(kept, SurfaceAsDrawn(field)));
    EXPECT_GT(kept.size(), 1000u);
}

TEST_F(GLWorld3D, WithoutOpenGLWidgetsTheWindowShowsANoteInstead)
{
    ASSERT_EQ(QGuiApplication::platformName(), "offscreen");
    EXPECT_FALSE(DisplayHasOpenGL());
    TGLWorld3D w(Ini);
    w.show();
    // The setup dialog with its preview, shown and painted, then cancelled.
    SetModalScript([](QDialog &D) {
        D.show();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        D.reject();
        return D.result();
    });
    w.Options1Click();
    SetModalScript(nullptr);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    ASSERT_NE(w.findChild<QLabel *>("NoOpenGL"), nullptr);
    EXPECT_EQ(w.findChild<QWidget *>("SceneViewer"), nullptr);
    EXPECT_EQ(w.Setup().findChild<QWidget *>("GLWorldViewer1"), nullptr);
    w.hide();
}

TEST_F(GLWorld3D, UseOffsetsShowsTheDatumBarAndMovesTheMarker)
{
    TGLWorld3D w(Ini);
    w.SetBilletSize(100, 50, 10);
    w.EditXOffset->setText("5");
    w.EditXOffsetChange();
    EXPECT_FLOAT_EQ(w.Scene().DatumSymbol->Position().X(), 0); // offsets off
    w.UseOffsets1->trigger();
    EXPECT_TRUE(w.UseOffsets1->isChecked());
    EXPECT_TRUE(w.ToolBarDatum->Visible());
    EXPECT_TRUE(w.Setup().Dirty());
    EXPECT_FLOAT_EQ(w.Scene().DatumSymbol->Position().X(), 5 * 0.2f);
    // A move to X 0 cuts at X 5.
    w.SetToolShape(ToolShapeFlat);
    w.AddStraightMove(0, 0, 10, -1, 0, 20, -1, 1);
    EXPECT_FLOAT_EQ(w.Model().Billet.SurfaceAt(5, 15), -1);
    EXPECT_FLOAT_EQ(w.Model().Billet.SurfaceAt(0.6f, 15), 0);
    // Inch: the edit shows the datum in inches and is not read back.
    w.SetUnits(Inch);
    EXPECT_EQ(w.EditXOffset->text().toStdString(), w.Model().DatumText(0));
    EXPECT_EQ(w.EditXOffset->text().left(4), "0.19");
    EXPECT_DOUBLE_EQ(w.Model().Billet.DatumX, 5);
}

TEST_F(GLWorld3D, OptionsOkAppliesTheSetupAndAGridChangeResetsTheBillet)
{
    TGLWorld3D w(Ini);
    w.SetBilletSize(100, 50, 10);
    w.AddStraightMove(0, 10, 10, -1, 20, 10, -1, 1);
    ASSERT_FALSE(w.Model().Billet.Path().empty());
    SetModalScript([](QDialog &D) {
        auto &setup = static_cast<TG3D_setup &>(D);
        setup.GridSize->setText("0.7");
        setup.MatSelect->button(miPlasticGloss)->click();
        setup.findChild<QPushButton *>("OKBtn")->click();
        return D.result();
    });
    w.Options1Click();
    SetModalScript(nullptr);
    EXPECT_TRUE(w.Model().Billet.Path().empty());
    EXPECT_DOUBLE_EQ(w.Model().Billet.GridStep(), 0.7);
    EXPECT_FLOAT_EQ(w.Scene().VisGrid->XSamplingScale().Step(), 0.7f);
    EXPECT_EQ(w.Scene().ToolPath->Nodes().Count(), 0);
    EXPECT_EQ(w.Scene().VisGrid->ColorMode(), hfcmNone); // gloss: no surface colours
}

TEST_F(GLWorld3D, ProbeDragFollowsTheSurfaceOnlyWhileMeasuring)
{
    TGLWorld3D w(Ini);
    w.SetBilletSize(100, 50, 10);
    w.SetToolShape(ToolShapeFlat);
    w.AddStraightMove(0, 0, 3, -2, 40, 3, -2, 2);
    w.MeasureButt->Click();
    w.Window3DMouseDown(Qt::LeftButton, Qt::NoModifier, 100, 100);
    w.Window3DMouseMove(Qt::LeftButton, Qt::NoModifier, 110, 90); // right 3 mm, up 3 mm
    EXPECT_FLOAT_EQ(w.Model().ProbeX, 3);
    EXPECT_FLOAT_EQ(w.Model().ProbeY, 3);
    EXPECT_EQ(w.ZMeas->Caption(), "Z: -2.000");
    EXPECT_NEAR(w.Scene().Measure->Position().Z(), (-2 + 0.5f) * 0.2f, 1e-6);
    w.Window3DMouseUp();
    w.Window3DMouseMove(Qt::LeftButton, Qt::NoModifier, 200, 200); // no drag in progress
    EXPECT_FLOAT_EQ(w.Model().ProbeX, 3);
}

TEST_F(GLWorld3D, SettingsMarkedDirtyAreSavedWhenTheWindowCloses)
{
    {
        TGLWorld3D w(Ini);
        w.UseOffsets1->trigger();
    }
    TG3D_settings s;
    s.LoadSettings(Ini);
    EXPECT_TRUE(s.UseOffsets);
}

} // namespace
} // namespace orv
