// The "3D Simulation Setup" dialog offscreen: controls from "3DGraphics",
// the material pictures and their fallback, the plastics, and Cancel
// putting the controls back.
#include "view3d/milling/ui/G3D_setup.h"

#include "view3d/milling/tests/G3DDefaults.h"

#include "components/rspin/ui/RSpin.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/tests/ProgramFolder.h"
#include "platform/tests/TempDir.h"
#include "platform/ui/ColourDialog.h"
#include "platform/ui/ModalRunner.h"
#include "view3d/scene/GLTexture.h"
#include "view3d/scene/JPEGImage.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>
#include <gtest/gtest.h>

#include <filesystem>

namespace orv {
namespace {

namespace fs = std::filesystem;

const std::string cData = ORV_DATA_DIR;

// The dialog's colour requests answer with the next colour given; the
// custom colours, kept beside the program, go to a folder of their own.
struct TColourScript {
    std::vector<uint32_t> Colours;
    test::TTempDir Folder;
    test::TProgramFolder Beside{Folder.Path()};
    TColourScript()
    {
        SetColourDialog([this](QWidget *, uint32_t &Colour) {
            if (Colours.empty())
                return false;
            Colour = Colours.front();
            Colours.erase(Colours.begin());
            return true;
        });
    }
    ~TColourScript() { SetColourDialog(nullptr); }
};

// Runs the dialog's modal loop as Script, then presses the named button.
void RunAndPress(const std::function<void(TG3D_setup &)> &Script, const char *Button)
{
    SetModalScript([Script, Button](QDialog &D) {
        auto &setup = static_cast<TG3D_setup &>(D);
        Script(setup);
        setup.findChild<QPushButton *>(Button)->click();
        return D.result();
    });
}

TEST(G3D_setup, FileWithoutTheSectionFillsTheControlsWithTheDefaults)
{
    const test::TFileWithoutSection file;
    TG3D_setup setup;
    setup.LoadSettings(file.Ini);
    const int32_t colours[4] = {setup.rapid_C->Colour(), setup.Linear_C->Colour(),
                                setup.Circular_C->Colour(), setup.Background_c->Colour()};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(colours[i], test::cDefaultColours[i]) << "colour " << i;
    EXPECT_TRUE(setup.rapids->isChecked() && setup.linears->isChecked() &&
                setup.arcs->isChecked() && setup.show_cutter->isChecked());
    EXPECT_DOUBLE_EQ(static_cast<double>(setup.GridSize->Value()), 0.6);
    EXPECT_EQ(setup.MatSelect->checkedId(), miWood);
    EXPECT_FALSE(setup.MattCheck->isChecked() || setup.ShinyCheck->isChecked());
    EXPECT_EQ(setup.Settings().TextureFolder, file.Dir.Path());
    EXPECT_FALSE(setup.Dirty());
}

TEST(G3D_setup, MaterialPictureOrTheDefaultWhenMissing)
{
    struct {
        const char *Name;
        bool CopyWood;
        bool Loaded;
    } cases[] = {{"Wood.jpg beside the settings", true, true},
                 {"no Wood.jpg", false, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        test::TTempDir dir;
        if (c.CopyWood)
            fs::copy_file(cData + "/Wood.jpg", dir.File("Wood.jpg"));
        TG3D_setup setup;
        setup.LoadSettings(dir.Write("Tarnwick.ini", ""));
        EXPECT_EQ(setup.Loaded(), c.Loaded);
        const QImage expected = c.CopyWood
                                    ? PictureImage(LoadPictureFile(cData + "/Wood.jpg"))
                                    : PictureImage(DefaultTexturePicture());
        EXPECT_EQ(setup.TexturePicture(), expected);
        TGLPersistentImage *image = setup.PreviewMaterial().Texture().PersistentImage();
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(PictureImage(image->Picture()), expected);
        EXPECT_FALSE(setup.PreviewMaterial().Texture().Disabled());
    }
}

TEST(G3D_setup, BrokenPictureGivesTheDefault)
{
    test::TTempDir dir;
    dir.Write("Metal.jpg", "not a picture at all");
    TG3D_setup setup;
    setup.LoadSettings(dir.Write("Tarnwick.ini", "[3DGraphics]\r\nMaterial Type=1\r\n"));
    EXPECT_FALSE(setup.Loaded());
    EXPECT_EQ(setup.TexturePicture(), PictureImage(DefaultTexturePicture()));
}

TEST(G3D_setup, PlasticsSwitchTheTextureAndTheSurfaceColourMode)
{
    struct {
        int Item;
        bool Textured;
        bool TextureDisabled;
        TVector4f Specular;
    } cases[] = {{miPlasticGloss, false, true, {1, 1, 1, 1}},
                 {miPlasticMatt, true, true, {0, 0, 0, 1}},
                 {miMetal, true, false, {0, 0, 0, 1}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Item);
        test::TTempDir dir;
        TG3D_setup setup;
        setup.LoadSettings(dir.Write("Tarnwick.ini", ""));
        setup.MatSelect->button(c.Item)->click();
        EXPECT_EQ(setup.Settings().MaterialType, c.Item);
        EXPECT_EQ(setup.Textured(), c.Textured);
        TGLMaterial &m = setup.PreviewMaterial();
        EXPECT_EQ(m.Texture().Disabled(), c.TextureDisabled);
        const TVector4f s = m.FrontProperties().Specular().Color();
        EXPECT_FLOAT_EQ(s.X, c.Specular.X);
        EXPECT_FLOAT_EQ(s.W, c.Specular.W);
    }
}

TEST(G3D_setup, ColourShapeTakesTheChosenColourAndTheMaterialFollows)
{
    test::TTempDir dir;
    TColourScript colours;
    colours.Colours = {0x00112233};
    TG3D_setup setup;
    setup.LoadSettings(dir.Write("Tarnwick.ini", ""));
    setup.rapid_CMouseDown(setup.Mat_C);
    EXPECT_EQ(setup.Mat_C->Colour(), 0x00112233);
    EXPECT_EQ(setup.MaterialColour(), 0x00112233);
    const TVector4f d = setup.PreviewMaterial().FrontProperties().Diffuse().Color();
    EXPECT_NEAR(d.X, 0x33 / 255.0, 1e-6);
    EXPECT_NEAR(d.Z, 0x11 / 255.0, 1e-6);
    // A dialog closed without a choice changes nothing.
    setup.rapid_CMouseDown(setup.rapid_C);
    EXPECT_EQ(setup.rapid_C->Colour(), 255);
}

TEST(G3D_setup, CancelRestoresTheControlsAndLeavesDirtyAlone)
{
    test::TTempDir dir;
    TColourScript colours;
    TG3D_setup setup;
    setup.LoadSettings(dir.Write("Tarnwick.ini", ""));
    auto edit = [&](TG3D_setup &S) {
        colours.Colours = {0x00010203};
        S.rapid_CMouseDown(S.rapid_C);
        S.rapids->setChecked(false);
        S.GridSize->SetValue(1.5);
        S.MatSelect->button(miPlasticGloss)->click();
    };

    RunAndPress(edit, "BitBtn2");
    EXPECT_FALSE(setup.Execute());
    EXPECT_EQ(setup.rapid_C->Colour(), 255);
    EXPECT_TRUE(setup.rapids->isChecked());
    EXPECT_DOUBLE_EQ(static_cast<double>(setup.GridSize->Value()), 0.6);
    EXPECT_EQ(setup.MatSelect->checkedId(), miWood);
    EXPECT_EQ(setup.Settings().RapidColour, 255);
    EXPECT_TRUE(setup.Textured());
    EXPECT_FALSE(setup.Dirty());

    // OK keeps the edit and marks it for saving; a later Cancel keeps both.
    RunAndPress([](TG3D_setup &S) { S.GridSize->SetValue(1.2); }, "OKBtn");
    EXPECT_TRUE(setup.Execute());
    EXPECT_TRUE(setup.Dirty());
    RunAndPress(edit, "BitBtn2");
    EXPECT_FALSE(setup.Execute());
    EXPECT_TRUE(setup.Dirty());
    EXPECT_DOUBLE_EQ(setup.Settings().GridSize, 1.2);
    EXPECT_DOUBLE_EQ(static_cast<double>(setup.GridSize->Value()), 1.2);
    SetModalScript(nullptr);

    setup.SaveSettings();
    EXPECT_FALSE(setup.Dirty());
    TG3D_setup again;
    again.LoadSettings(dir.File("Tarnwick.ini"));
    EXPECT_DOUBLE_EQ(static_cast<double>(again.GridSize->Value()), 1.2);
}

TEST(G3D_setup, SettingsThatCannotBeSavedTellTheOperator)
{
    test::TTempDir dir;
    TScriptedMessages messages;
    TMessageServiceScope scope(messages);
    TG3D_setup setup;
    setup.LoadSettings(dir.Path() + "missing/folder/Tarnwick.ini");
    setup.SetUseOffsets(true);
    setup.SaveSettings();
    ASSERT_EQ(messages.Log().size(), 1u);
    EXPECT_NE(messages.Log()[0].Text.find("Cannot write settings file"), std::string::npos);
    EXPECT_TRUE(setup.Dirty());
}

TEST(G3D_setup, CustomPictureFromThePictureDialog)
{
    test::TTempDir dir;
    fs::copy_file(cData + "/Marble.jpg", dir.File("mine.jpg"));
    TScriptedMessages messages;
    TMessageServiceScope scope(messages);
    TG3D_setup setup;
    setup.LoadSettings(dir.Write("Tarnwick.ini", ""));
    messages.Answer(dir.File("gone.jpg")); // a file that is not there: nothing changes
    setup.MatImageMouseDown();
    EXPECT_EQ(setup.Settings().MaterialType, miWood);
    messages.Answer(dir.File("mine.jpg"));
    setup.MatImageMouseDown();
    EXPECT_EQ(setup.Settings().MaterialType, miImage);
    EXPECT_EQ(setup.MatSelect->checkedId(), miImage);
    EXPECT_EQ(setup.Settings().CustomTexture, dir.File("mine.jpg"));
    EXPECT_TRUE(setup.Loaded());
    EXPECT_EQ(setup.TexturePicture(), PictureImage(LoadPictureFile(dir.File("mine.jpg"))));
}

TEST(G3D_setup, ShinyAndMattExcludeEachOtherAndShinySetsTheBilletMaterial)
{
    test::TTempDir dir;
    TG3D_setup setup;
    setup.LoadSettings(dir.Write("Tarnwick.ini", "[3DGraphics]\r\nbillet material=7\r\n"));
    setup.ShinyCheck->click();
    EXPECT_EQ(setup.Settings().BilletMaterial, 24);
    EXPECT_EQ(setup.Settings().SavedBilletMaterial, 7);
    setup.MattCheck->click();
    EXPECT_FALSE(setup.ShinyCheck->isChecked());
    setup.NotUsePlastic->setChecked(false);
    setup.NotUsePlastic->click();
    EXPECT_FALSE(setup.MattCheck->isChecked());
    EXPECT_EQ(setup.Settings().BilletMaterial, 7);
}

} // namespace
} // namespace orv
