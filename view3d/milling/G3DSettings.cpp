#include "view3d/milling/G3DSettings.h"

#include "platform/IniFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>

namespace orv {

const char *const MaterialPictures[4] = {"Wood.jpg", "Metal.jpg", "Marble.jpg", "Foam.jpg"};

namespace {

namespace fs = std::filesystem;

std::string FolderOf(const std::string &Path)
{
    std::string folder = fs::path(Path).parent_path().string();
    if (folder.empty())
        folder = ".";
    return folder + "/";
}

// Shortest text that reads back as the same double, "." as separator.
std::string RealText(double V)
{
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, V);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

bool FileExists(const std::string &Path)
{
    std::error_code ec;
    return !Path.empty() && fs::is_regular_file(Path, ec);
}

} // namespace

void TG3D_settings::LoadSettings(const std::string &Path)
{
    SettingsPath = Path;
    const TIniFile ini(Path);
    const char *s = G3DSection;
    RapidColour = ini.ReadInteger(s, "rapid colour", 255);
    LinearColour = ini.ReadInteger(s, "linear colour", 65280);
    CircularColour = ini.ReadInteger(s, "circular colour", 16711680);
    PlasticColour = ini.ReadInteger(s, "plastic colour", 255);
    BackgroundColour = ini.ReadInteger(s, "backGround colour", 8421440);
    SurfaceColour = ini.ReadInteger(s, "surface colour", 10526880);
    BilletMaterial = SavedBilletMaterial = ini.ReadInteger(s, "billet material", 12);
    MoveHistory = std::clamp<double>(ini.ReadInteger(s, "move history amount", 2000), 1, 50000);
    double grid = ini.ReadFloat(s, "grid size", 0.6);
    if (!std::isfinite(grid))
        grid = 0.6;
    GridSize = std::clamp(grid, 0.1, 3.0);
    Matt = ini.ReadBool(s, "matt", true);
    Shiny = ini.ReadBool(s, "shiny", false);
    ShowLinears = ini.ReadBool(s, "show linears", true);
    ShowRapids = ini.ReadBool(s, "show rapids", true);
    ShowArcs = ini.ReadBool(s, "show arcs", true);
    ShowCutter = ini.ReadBool(s, "show cutter", true);
    ShowBillet = ini.ReadBool(s, "show billet", true);
    UseOffsets = ini.ReadBool(s, "Use Offsets", false);
    TextureFolder = ini.ReadString(s, "Texture Directory", "");
    CustomTexture = ini.ReadString(s, "Custom Texture", "");
    MaterialType = ini.ReadInteger(s, "Material Type", miWood);
    if (MaterialType < miWood || MaterialType > miPlasticMatt)
        MaterialType = miWood;
    if (TextureFolder.empty())
        TextureFolder = FolderOf(Path);
    if (CustomTexture.empty())
        CustomTexture = TextureFolder + "Custom.jpg";
    // The hidden "no plastic" choice: neither shiny nor matt, and the
    // billet material as read.
    Matt = Shiny = false;
    BilletMaterial = SavedBilletMaterial;
}

bool TG3D_settings::SaveSettings()
{
    TIniFile ini(SettingsPath);
    const char *s = G3DSection;
    ini.WriteInteger(s, "rapid colour", RapidColour);
    ini.WriteInteger(s, "linear colour", LinearColour);
    ini.WriteInteger(s, "circular colour", CircularColour);
    ini.WriteInteger(s, "plastic colour", PlasticColour);
    ini.WriteInteger(s, "background colour", BackgroundColour);
    ini.WriteInteger(s, "surface colour", SurfaceColour);
    ini.WriteInteger(s, "move history amount", static_cast<int32_t>(std::lround(MoveHistory)));
    ini.WriteString(s, "grid size", RealText(GridSize));
    ini.WriteBool(s, "shiny", Shiny);
    ini.WriteBool(s, "matt", Matt);
    ini.WriteBool(s, "show linears", ShowLinears);
    ini.WriteBool(s, "show Rapids", ShowRapids);
    ini.WriteBool(s, "show Arcs", ShowArcs);
    ini.WriteBool(s, "show cutter", ShowCutter);
    ini.WriteBool(s, "show billet", ShowBillet);
    ini.WriteBool(s, "use Offsets", UseOffsets);
    ini.WriteString(s, "Texture Directory", TextureFolder);
    ini.WriteString(s, "Custom Texture", CustomTexture);
    ini.WriteInteger(s, "Material Type", MaterialType);
    if (!ini.LastWriteOk())
        return false;
    Dirty = false;
    return true;
}

void TG3D_settings::SetUseOffsets(bool Value)
{
    UseOffsets = Value;
    Dirty = true;
}

TMaterialChoice TG3D_settings::Material() const
{
    TMaterialChoice choice;
    switch (MaterialType) {
    case miPlasticGloss:
        choice.TextureEnabled = false;
        choice.Textured = false;
        choice.Specular = 0xFFFFFF;
        return choice;
    case miPlasticMatt:
        choice.TextureEnabled = false;
        choice.Specular = 0;
        return choice;
    default: break;
    }
    const std::string picture =
        MaterialType == miImage ? CustomTexture : TextureFolder + MaterialPictures[MaterialType];
    if (FileExists(picture))
        choice.Picture = picture;
    return choice;
}

} // namespace orv
