#pragma once
// The settings of the milling 3D view as its setup dialog holds them, and
// their section "3DGraphics" of the main settings file (a section of its
// own, apart from the simulation control's "3D Graphics"). Colours are
// Windows colour values (0x00BBGGRR).

#include <cstdint>
#include <string>

namespace orv {

// Items of "Material type".
enum TMaterialItem : int32_t {
    miWood,
    miMetal,
    miMarble,
    miFoam,
    miImage,
    miPlasticGloss,
    miPlasticMatt,
};

// What the chosen material gives the view and the preview sphere.
struct TMaterialChoice {
    // The picture to load; empty: the built-in default picture (also when
    // the chosen file is missing). Always empty for the plastics.
    std::string Picture;
    bool TextureEnabled = true;
    // The surface colour mode of the view follows the vertex colours.
    bool Textured = true;
    // Specular colour set by the plastics; -1 leaves it as it was.
    int32_t Specular = -1;
};

struct TG3D_settings {
    int32_t RapidColour = 255;
    int32_t LinearColour = 65280;
    int32_t CircularColour = 16711680;
    int32_t PlasticColour = 255;
    int32_t BackgroundColour = 8421440;
    int32_t SurfaceColour = 10526880;
    int32_t BilletMaterial = 12;
    int32_t SavedBilletMaterial = 12;
    double MoveHistory = 2000; // 1 .. 50000
    double GridSize = 0.6;     // mm, 0.1 .. 3
    bool Shiny = false;
    bool Matt = true;
    bool ShowLinears = true;
    bool ShowRapids = true;
    bool ShowArcs = true;
    bool ShowCutter = true;
    bool ShowBillet = true;
    bool UseOffsets = false;
    std::string TextureFolder; // with a trailing "/"
    std::string CustomTexture;
    int32_t MaterialType = miWood;
    // Must be saved when the view closes.
    bool Dirty = false;
    std::string SettingsPath;

    // Reads "3DGraphics" of the file at Path (defaults for missing keys,
    // keys without regard to case). An empty texture folder becomes the
    // settings file's folder, an empty custom texture that folder's
    // "Custom.jpg". The hidden "Shiny" and "Matt" end up cleared.
    void LoadSettings(const std::string &Path);
    // Writes every key but "billet material" into SettingsPath; clears
    // Dirty. False when the file could not be written (Dirty stays).
    bool SaveSettings();
    // The view's "Use Offsets": marks the settings for saving.
    void SetUseOffsets(bool Value);
    // The material of MaterialType.
    TMaterialChoice Material() const;
};

// The section and the texture pictures by item (0 to 3).
constexpr const char *G3DSection = "3DGraphics";
extern const char *const MaterialPictures[4];

} // namespace orv
