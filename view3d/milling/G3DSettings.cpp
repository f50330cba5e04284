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

// The colours and switches, read and written alike, in the order they are
// written (keys are read without regard to case).
struct TColourKey {
    const char *Key;
    int32_t TG3D_settings::*Field;
    int32_t Default;
};
constexpr TColourKey ColourKeys[] = {
    {"rapid colour", &TG3D_settings::RapidColour, 255},
    {"linear colour", &TG3D_settings::LinearColour, 65280},
    {"circular colour", &TG3D_settings::CircularColour, 16711680},
    {"plastic colour", &TG3D_settings::PlasticColour, 255},
    {"background colour", &TG3D_settings::BackgroundColour, 8421440},
    {"surface colour", &TG3D_settings::SurfaceColour, 10526880},
};

struct TSwitchKey {
    const char *Key;
    bool TG3D_settings::*Field;
    bool Default;
};
constexpr TSwitchKey SwitchKeys[] = {
    {"shiny", &TG3D_settings::Shiny, false},
    {"matt", &TG3D_settings::Matt, true},
    {"show linears", &TG3D_settings::ShowLinears, true},
    {"show Rapids", &TG3D_settings::ShowRapids, true},
    {"show Arcs", &TG3D_settings::ShowArcs, true},
    {"show cutter", &TG3D_settings::ShowCutter, true},
    {"show billet", &TG3D_settings::ShowBillet, true},
    {"use Offsets", &TG3D_settings::UseOffsets, false},
};

} // namespace

void TG3D_settings::LoadSettings(const std::string &Path)
{
    SettingsPath = Path;
    const TIniFile ini(Path);
    const char *s = G3DSection;
    for (const TColourKey &k : ColourKeys)
        this->*k.Field = ini.ReadInteger(s, k.Key, k.Default);
    BilletMaterial = SavedBilletMaterial = ini.ReadInteger(s, "billet material", 12);
    MoveHistory = std::clamp<double>(ini.ReadInteger(s, "move history amount", 2000), 1, 50000);
    double grid = ini.ReadFloat(s, "grid size", 0.6);
    if (!std::isfinite(grid))
        grid = 0.6;
    GridSize = std::clamp(grid, 0.1, 3.0);
    for (const TSwitchKey &k : SwitchKeys)
        this->*k.Field = ini.ReadBool(s, k.Key, k.Default);
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
    for (const TColourKey &k : ColourKeys)
        ini.WriteInteger(s, k.Key, this->*k.Field);
    ini.WriteInteger(s, "move history amount", static_cast<int32_t>(std::lround(MoveHistory)));
    ini.WriteString(s, "grid size", RealText(GridSize));
    for (const TSwitchKey &k : SwitchKeys)
        ini.WriteBool(s, k.Key, this->*k.Field);
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
