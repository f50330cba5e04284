// The setup dialog's defaults, captions and storing; the element dialog's
// texts and buttons.

#include "engine/view2d/ui/element_info_form.h"
#include "engine/view2d/ui/graphic_setup.h"

#include "engine/view2d/View2dGeometry.h"
#include "engine/view2d/tests/View2dFixture.h"
#include "platform/IniFile.h"

#include <QCheckBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace orv {
namespace {

using View2dDialogs = test::TView2dFixture;

TEST_F(View2dDialogs, SetupDialogDefaultsWithoutASection)
{
    const std::string File = Dir.Write("set.ini", "[Other]\nx=1\n");
    TG_setup Dialog;
    Dialog.LoadSettings(File);
    EXPECT_EQ(Dialog.Values(), TGraphicSettings{});
    EXPECT_EQ(Dialog.Values().RapidColour, 255);
    EXPECT_EQ(Dialog.Values().NotCutColour, 16777215);
    std::vector<std::string> Captions;
    for (QCheckBox *Box : Dialog.findChildren<QCheckBox *>())
        Captions.push_back(Box->text().toStdString());
    EXPECT_EQ(Captions, (std::vector<std::string>{"Draw Outline Graphics", "Draw Solid Graphics",
                                                  "Draw Centre Line", "Use Tool Colours", "linears",
                                                  "rapids", "arcs", "Show Cutter"}));
    const QImage Preview = Dialog.PreviewImage();
    EXPECT_EQ(Preview.size(), QSize(200, 200));
    EXPECT_EQ(Preview.pixel(2, 100) & 0xFFFFFF, 0x5FA991u) << "the material colour 9546079";
}

TEST_F(View2dDialogs, SetupDialogWritesOnlyOnOk)
{
    const std::string File = Dir.Write("set.ini", "");
    TG_setup Dialog;
    Dialog.LoadSettings(File);
    TGraphicSettings S = Dialog.Values();
    S.UseSolid = true;
    S.CutterSpeed = 7;
    Dialog.SetValues(S);
    EXPECT_FALSE(TIniFile(File).SectionExists("Graphics")) << "nothing written before OK";
    Dialog.SaveSettings();
    EXPECT_EQ(LoadGraphicSettings(File), S);
}

TEST_F(View2dDialogs, ElementDialogForACompiledProgram)
{
    TElement_info Dialog;
    TDD_Type Rapid;
    Dialog.AreaHeight = 50;
    Dialog.ShowElement(Rapid, 3, Dir.Write("part.XNC", "x"));
    EXPECT_EQ(Dialog.windowTitle().toStdString(), "Rapid Linear");
    EXPECT_EQ(Dialog.Value("Source:").toStdString(), "Not Available from the file");
    EXPECT_EQ(Dialog.Value("Line Number:").toStdString(), "####");
    EXPECT_EQ(Dialog.Value("Object Number:").toStdString(), "4");
    EXPECT_FALSE(Dialog.EditSourceEnabled());
    EXPECT_FALSE(Dialog.ArcPanelShown());
}

TEST_F(View2dDialogs, ElementDialogForAClockwiseArc)
{
    TViewMapping Map;
    Map.AreaHeight = 50;
    TArcMove Arc;
    Arc.End = {10, 0, -1};
    Arc.Sweep = 90;
    Arc.Radius = 10;
    TElement_info Dialog;
    Dialog.AreaHeight = 50;
    Dialog.Decimals = 4;
    Dialog.ShowElement(MakeArcElement(Map, {0, 10, -1}, Arc, 1, 2, 0), 2,
                       Dir.Write("p.fnc", "G0 X0 Y10\ng2 x10 y0 r10\n"));
    EXPECT_EQ(Dialog.windowTitle().toStdString(), "Arc G02");
    EXPECT_EQ(Dialog.Picture(), TElementPicture::ClockwiseArc);
    EXPECT_TRUE(Dialog.ArcPanelShown());
    EXPECT_EQ(Dialog.Value("Arc Angle:").toStdString(), "90.000 CW");
    EXPECT_EQ(Dialog.Value("Y Start:").toStdString(), "0.3937");
    EXPECT_EQ(Dialog.Value("Source:").toStdString(), "G2 X10 Y0 R10");
    EXPECT_EQ(Dialog.Value("Line Number:").toStdString(), "2");
    EXPECT_TRUE(Dialog.EditSourceEnabled());
}

} // namespace
} // namespace orv
