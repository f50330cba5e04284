#pragma once
// TG3D_setup, the dialog "3D Simulation Setup" of the milling view: holds
// the view's settings ("3DGraphics" of the main settings file) in its
// controls, lets the operator pick the path, background, surface and
// material colours, the grid size and the billet material (a texture
// picture or a plastic), and shows the material on a preview sphere.
// Cancel puts every control back as it was when the dialog opened.

#include "view3d/milling/G3DSettings.h"

#include <QDialog>
#include <QImage>

#include <functional>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QLabel;

namespace orv {

class TGLMaterial;
class TGLWorld;
class TGLWorldViewer;
class TRSpinEdit;
class TSphere;
struct TGLPicture;

// A rounded rectangle filled with a colour; a press reports itself.
class TColourShape : public QWidget {
public:
    explicit TColourShape(QWidget *Parent = nullptr);
    int32_t Colour() const { return FColour; }
    void SetColour(int32_t Colour);
    std::function<void(TColourShape *)> OnMouseDown;

protected:
    void paintEvent(QPaintEvent *Event) override;
    void mousePressEvent(QMouseEvent *Event) override;

private:
    int32_t FColour = 0xC0C0C0; // silver
};

// Whether OpenGL widgets can draw on this display: it gives OpenGL
// contexts, and it is not a platform that draws widgets into memory only
// (offscreen, minimal, vnc, linuxfb). Viewers are put into windows only
// where they can draw.
bool DisplayHasOpenGL();

// The fallback texture picture (a grey checker), 64 x 64.
TGLPicture DefaultTexturePicture();
// A decoded picture as a Qt image (32 bits, opaque).
QImage PictureImage(const TGLPicture &Picture);

class TG3D_setup : public QDialog {
public:
    explicit TG3D_setup(QWidget *Owner = nullptr);
    ~TG3D_setup() override;

    // Reads "3DGraphics" of the settings file at Path into the controls
    // (defaults for missing keys) and applies the material.
    void LoadSettings(const std::string &Path);
    // Writes the controls' settings and clears Dirty; a file that cannot be
    // written is reported by the settings file and stays dirty.
    void SaveSettings();
    // The view's "Use Offsets": marks the settings for saving.
    void SetUseOffsets(bool Value);
    // Shows the dialog modally; true after OK. Cancel restores the controls
    // as they were when it opened and leaves Dirty as it was.
    bool Execute();
    // The chosen material on the preview sphere (colour, picture, specular).
    void ApplyMaterial();

    // The settings as the controls hold them.
    const TG3D_settings &Settings() const { return FSettings; }
    bool Dirty() const { return FSettings.Dirty; }
    // The material uses vertex colours in the view.
    bool Textured() const { return FTextured; }
    // False when the last picture chosen could not be had (the default shows).
    bool Loaded() const { return FLoaded; }
    int32_t MaterialColour() const { return FMaterialColour; }
    // MatSphere's material, which the view copies to its surface.
    TGLMaterial &PreviewMaterial();
    // The picture MatImage shows.
    QImage TexturePicture() const;

    // Handlers of the controls (the operator's clicks end here).
    void rapid_CMouseDown(TColourShape *Shape);
    void OKBtnClick();
    void BitBtn2Click();
    void MatImageMouseDown();
    void MatSelectClick();
    void ShinyCheckClick();
    void MattCheckClick();
    void NotUsePlasticClick();

    TColourShape *rapid_C, *Linear_C, *Circular_C;
    QCheckBox *rapids, *linears, *arcs, *show_cutter, *BilletOutline;
    TRSpinEdit *MoveHistory, *GridSize;
    TColourShape *Background_c, *Surface_c, *Mat_C;
    QButtonGroup *MatSelect;
    QLabel *MatImage;
    TGLWorldViewer *GLWorldViewer1;
    TSphere *MatSphere;
    QCheckBox *NotUsePlastic, *MattCheck, *ShinyCheck;

private:
    void BuildControls();
    void BuildPreview();
    void ToControls();
    void FromControls();
    void ShowPicture(const TGLPicture &Picture);
    bool LoadPicture(const std::string &File);

    TG3D_settings FSettings;
    bool FTextured = true;
    bool FLoaded = true;
    bool FFilling = false; // the controls are being written from the settings
    int32_t FMaterialColour = 0;
    QImage FShown;
    std::unique_ptr<TGLWorld> FMatScene;
    TGLMaterial *FMaterial = nullptr; // MatSphere's
};

} // namespace orv
