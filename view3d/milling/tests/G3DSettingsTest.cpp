#include "view3d/milling/G3DSettings.h"

#include "platform/IniFile.h"
#include "platform/tests/TempDir.h"
#include "view3d/milling/tests/G3DDefaults.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace orv {
namespace {

std::string Slurp(const std::string &Path)
{
    std::ifstream in(Path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(G3DSettings, FileWithoutTheSectionGivesTheDefaults)
{
    const test::TFileWithoutSection file("[3D Graphics]\r\ngrid size=2\r\n");
    const test::TTempDir &dir = file.Dir;
    TG3D_settings s;
    s.LoadSettings(file.Ini);
    const int32_t colours[4] = {s.RapidColour, s.LinearColour, s.CircularColour,
                                s.BackgroundColour};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(colours[i], test::cDefaultColours[i]) << "colour " << i;
    EXPECT_EQ(s.SurfaceColour, 10526880);
    EXPECT_DOUBLE_EQ(s.GridSize, 0.6); // "3D Graphics" is another window's
    EXPECT_TRUE(s.ShowLinears && s.ShowRapids && s.ShowArcs && s.ShowCutter);
    EXPECT_FALSE(s.UseOffsets);
    EXPECT_EQ(s.MaterialType, miWood);
    EXPECT_EQ(s.TextureFolder, dir.Path());
    EXPECT_EQ(s.CustomTexture, dir.Path() + "Custom.jpg");
    // No "Wood.jpg" beside the settings: the default picture.
    EXPECT_EQ(s.Material().Picture, "");
}

TEST(G3DSettings, KeysMatchWithoutRegardToCase)
{
    test::TTempDir dir;
    const std::string ini = dir.Write(
        "Tarnwick.ini", "[3DGraphics]\r\nbackGround colour=123\r\nSHOW RAPIDS=0\r\nuse offsets=1\r\n");
    TG3D_settings s;
    s.LoadSettings(ini);
    EXPECT_EQ(s.BackgroundColour, 123);
    EXPECT_FALSE(s.ShowRapids);
    EXPECT_TRUE(s.UseOffsets);
}

TEST(G3DSettings, SaveWritesEveryKeyButBilletMaterialInOrder)
{
    test::TTempDir dir;
    const std::string ini = dir.Write("Tarnwick.ini", "[3DGraphics]\r\nshiny=1\r\nmatt=1\r\n"
                                                      "billet material=30\r\ngrid size=1.5\r\n");
    TG3D_settings s;
    s.LoadSettings(ini);
    EXPECT_EQ(s.BilletMaterial, 30);
    s.Dirty = true;
    ASSERT_TRUE(s.SaveSettings());
    EXPECT_FALSE(s.Dirty);

    TIniFile file(ini);
    const std::vector<std::string> expected = {
        "shiny", "matt", "billet material", "grid size", "rapid colour", "linear colour",
        "circular colour", "plastic colour", "background colour", "surface colour",
        "move history amount", "show linears", "show Rapids", "show Arcs", "show cutter",
        "show billet", "use Offsets", "Texture Directory", "Custom Texture", "Material Type"};
    EXPECT_EQ(file.ReadSection(G3DSection), expected); // existing keys keep their place
    EXPECT_EQ(file.ReadString(G3DSection, "shiny", ""), "0");
    EXPECT_EQ(file.ReadString(G3DSection, "matt", ""), "0");
    EXPECT_EQ(file.ReadString(G3DSection, "grid size", ""), "1.5");
    EXPECT_EQ(file.ReadString(G3DSection, "billet material", ""), "30");

    // A fresh file gets the keys in the table's order, "billet material" never.
    const std::string fresh = dir.Write("fresh.ini", "");
    s.SettingsPath = fresh;
    ASSERT_TRUE(s.SaveSettings());
    const std::vector<std::string> order = {
        "rapid colour", "linear colour", "circular colour", "plastic colour",
        "background colour", "surface colour", "move history amount", "grid size", "shiny", "matt",
        "show linears", "show Rapids", "show Arcs", "show cutter", "show billet", "use Offsets",
        "Texture Directory", "Custom Texture", "Material Type"};
    EXPECT_EQ(TIniFile(fresh).ReadSection(G3DSection), order);
}

TEST(G3DSettings, LoadSaveLoadKeepsTheSectionByteForByte)
{
    test::TTempDir dir;
    const std::string ini = dir.Write("Tarnwick.ini", "[3DGraphics]\r\ngrid size=0.7\r\n"
                                                      "Material Type=5\r\nrapid colour=99\r\n");
    TG3D_settings s;
    s.LoadSettings(ini);
    ASSERT_TRUE(s.SaveSettings());
    const std::string once = Slurp(ini);
    TG3D_settings again;
    again.LoadSettings(ini);
    ASSERT_TRUE(again.SaveSettings());
    EXPECT_EQ(Slurp(ini), once);
}

TEST(G3DSettings, MaterialsAndTheirPictures)
{
    test::TTempDir dir;
    dir.Write("Metal.jpg", "not checked here");
    dir.Write("mine.jpg", "x");
    const std::string ini = dir.Write("Tarnwick.ini", "");
    TG3D_settings s;
    s.LoadSettings(ini);
    s.CustomTexture = dir.Path() + "mine.jpg";
    struct {
        int Item;
        std::string Picture;
        bool Textured, TextureEnabled;
        int32_t Specular;
    } cases[] = {
        {miWood, "", true, true, -1},
        {miMetal, dir.Path() + "Metal.jpg", true, true, -1},
        {miImage, dir.Path() + "mine.jpg", true, true, -1},
        {miPlasticGloss, "", false, false, 0xFFFFFF},
        {miPlasticMatt, "", true, false, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Item);
        s.MaterialType = c.Item;
        const TMaterialChoice m = s.Material();
        EXPECT_EQ(m.Picture, c.Picture);
        EXPECT_EQ(m.Textured, c.Textured);
        EXPECT_EQ(m.TextureEnabled, c.TextureEnabled);
        EXPECT_EQ(m.Specular, c.Specular);
    }
}

TEST(G3DSettings, OutOfRangeValuesAreBroughtIntoRange)
{
    test::TTempDir dir;
    const std::string ini = dir.Write("Tarnwick.ini", "[3DGraphics]\r\ngrid size=-4\r\n"
                                                      "Material Type=17\r\nmove history amount=0\r\n");
    TG3D_settings s;
    s.LoadSettings(ini);
    EXPECT_DOUBLE_EQ(s.GridSize, 0.1);
    EXPECT_EQ(s.MaterialType, miWood);
    EXPECT_EQ(s.MoveHistory, 1);
}

TEST(G3DSettings, UseOffsetsMarksForSaving)
{
    TG3D_settings s;
    s.SetUseOffsets(true);
    EXPECT_TRUE(s.UseOffsets);
    EXPECT_TRUE(s.Dirty);
}

} // namespace
} // namespace orv
