#include "view3d/milling/ui/G3D_setup.h"

#include "components/rspin/ui/RSpin.h"
#include "engine/core/DUtils.h"
#include "platform/MessageService.h"
#include "platform/ui/ColourDialog.h"
#include "platform/ui/ModalRunner.h"
#include "view3d/scene/GLObjects.h"
#include "view3d/scene/GLTexture.h"
#include "view3d/scene/GLWorld.h"
#include "view3d/scene/JPEGImage.h"
#include "view3d/scene/qt/GLWorldViewer.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>
#include <filesystem>

namespace orv {

namespace {

QColor ToQColor(int32_t C) { return QColor(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF); }

} // namespace

QImage PictureImage(const TGLPicture &P)
{
    QImage image(P.Width, P.Height, QImage::Format_RGB32);
    for (int y = 0; y < P.Height; ++y)
        for (int x = 0; x < P.Width; ++x) {
            const uint8_t *bgr = &P.BGR[(size_t(y) * P.Width + x) * 3];
            image.setPixel(x, y, qRgb(bgr[2], bgr[1], bgr[0]));
        }
    return image;
}

namespace {

// Clicks on a label (the texture picture).
class TClickFilter : public QObject {
public:
    TClickFilter(QObject *Parent, std::function<void()> Click)
        : QObject(Parent), FClick(std::move(Click))
    {
    }

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override
    {
        if (Event->type() == QEvent::MouseButtonPress)
            FClick();
        return QObject::eventFilter(Watched, Event);
    }

private:
    std::function<void()> FClick;
};

const char *const MaterialItems[] = {"Wood",  "Metal",           "Marble",        "Foam",
                                     "Image", "Plastic (Gloss)", "Plastic (Matt)"};

} // namespace

// --- TColourShape ------------------------------------------------------------

TColourShape::TColourShape(QWidget *Parent) : QWidget(Parent) { setFixedSize(41, 21); }

void TColourShape::SetColour(int32_t Colour)
{
    FColour = Colour;
    update();
}

void TColourShape::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    p.setBrush(ToQColor(FColour));
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
}

void TColourShape::mousePressEvent(QMouseEvent *)
{
    if (OnMouseDown)
        OnMouseDown(this);
}

bool DisplayHasOpenGL()
{
    static const bool available = [] {
        // These platforms draw widgets into memory only: they may still
        // give a context (offscreen does, through the X server when there
        // is one), but an OpenGL widget on them cannot be flushed.
        const QString platform = QGuiApplication::platformName();
        for (const char *rasterOnly : {"offscreen", "minimal", "vnc", "linuxfb"})
            if (platform == QLatin1String(rasterOnly))
                return false;
        QOpenGLContext probe;
        return probe.create();
    }();
    return available;
}

TGLPicture DefaultTexturePicture()
{
    TGLPicture p;
    p.Width = p.Height = 64;
    p.BGR.resize(64 * 64 * 3);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint8_t v = ((x / 8 + y / 8) % 2) ? 0xC0 : 0x90;
            uint8_t *bgr = &p.BGR[(size_t(y) * 64 + x) * 3];
            bgr[0] = bgr[1] = bgr[2] = v;
        }
    return p;
}

// --- TG3D_setup ----------------------------------------------------------------

TG3D_setup::TG3D_setup(QWidget *Owner) : QDialog(Owner)
{
    setObjectName("G3D_setup");
    setWindowTitle("3D Simulation Setup");
    BuildControls();
    BuildPreview();
    ToControls();
}

// The viewer goes before the scene it shows.
TG3D_setup::~TG3D_setup() { delete GLWorldViewer1; }

TGLMaterial &TG3D_setup::PreviewMaterial() { return *FMaterial; }

QImage TG3D_setup::TexturePicture() const { return FShown; }

void TG3D_setup::BuildControls()
{
    auto *grid = new QGridLayout(this);
    auto shape = [this](const char *Name) {
        auto *s = new TColourShape(this);
        s->setObjectName(Name);
        s->OnMouseDown = [this](TColourShape *S) { rapid_CMouseDown(S); };
        return s;
    };
    auto check = [this](const char *Name, const char *Caption) {
        auto *c = new QCheckBox(QString::fromUtf8(Caption), this);
        c->setObjectName(Name);
        connect(c, &QCheckBox::toggled, this, [this] { FromControls(); });
        return c;
    };
    auto *colours = new QGroupBox("Colour", this);
    auto *cg = new QGridLayout(colours);
    rapid_C = shape("rapid_C");
    Linear_C = shape("Linear_C");
    Circular_C = shape("Circular_C");
    rapids = check("rapids", "Rapid Movement Colour");
    linears = check("linears", "Linear Movement Colour");
    arcs = check("arcs", "Circular Movement Colour");
    cg->addWidget(rapid_C, 0, 0);
    cg->addWidget(rapids, 0, 1);
    cg->addWidget(Linear_C, 1, 0);
    cg->addWidget(linears, 1, 1);
    cg->addWidget(Circular_C, 2, 0);
    cg->addWidget(arcs, 2, 1);
    grid->addWidget(colours, 0, 0, 3, 2);

    show_cutter = check("show_cutter", "Show Cutter");
    BilletOutline = check("BilletOutline", "Show Billet Outline");
    grid->addWidget(show_cutter, 3, 0);
    grid->addWidget(BilletOutline, 3, 1);

    auto spin = [this](const char *Name, double Min, double Max, double Step) {
        auto *s = new TRSpinEdit(this);
        s->setObjectName(Name);
        s->SetMinValue(Min);
        s->SetMaxValue(Max);
        s->SetIncrement(Step);
        s->OnChange = [this] { FromControls(); };
        return s;
    };
    MoveHistory = spin("MoveHistory", 1, 50000, 10);
    GridSize = spin("GridSize", 0.1, 3, 0.1);
    grid->addWidget(new QLabel("Path History", this), 4, 0);
    grid->addWidget(MoveHistory, 4, 1);
    grid->addWidget(new QLabel("3D Grid Size (mm)", this), 5, 0);
    grid->addWidget(GridSize, 5, 1);

    Background_c = shape("Background_c");
    Surface_c = shape("Surface_c");
    Mat_C = shape("Mat_C");
    Mat_C->setToolTip("Select material colour . . .");
    grid->addWidget(new QLabel("Background Colour", this), 6, 0);
    grid->addWidget(Background_c, 6, 1);
    grid->addWidget(new QLabel("Surface colour", this), 7, 0);
    grid->addWidget(Surface_c, 7, 1);
    grid->addWidget(new QLabel("Material Colour", this), 8, 0);
    grid->addWidget(Mat_C, 8, 1);

    auto *materials = new QGroupBox("Material type", this);
    auto *mg = new QGridLayout(materials);
    MatSelect = new QButtonGroup(this);
    MatSelect->setObjectName("MatSelect");
    for (int i = 0; i < 7; ++i) {
        auto *r = new QRadioButton(MaterialItems[i], materials);
        MatSelect->addButton(r, i);
        mg->addWidget(r, i % 4, i / 4);
    }
    connect(MatSelect, &QButtonGroup::idClicked, this, [this] { MatSelectClick(); });
    grid->addWidget(materials, 0, 2, 4, 2);

    grid->addWidget(new QLabel("Texture", this), 4, 2);
    MatImage = new QLabel(this);
    MatImage->setObjectName("MatImage");
    MatImage->setFixedSize(66, 66);
    MatImage->setScaledContents(true);
    MatImage->setToolTip("Select custom texture image . . .");
    MatImage->installEventFilter(new TClickFilter(MatImage, [this] { MatImageMouseDown(); }));
    grid->addWidget(MatImage, 5, 2, 3, 1);

    // The hidden material options: kept in the settings, out of the
    // operator's reach.
    NotUsePlastic = new QCheckBox(this);
    NotUsePlastic->setObjectName("NotUsePlastic");
    MattCheck = new QCheckBox("Matt", this);
    MattCheck->setObjectName("MattCheck");
    ShinyCheck = new QCheckBox("Shiny", this);
    ShinyCheck->setObjectName("ShinyCheck");
    for (QCheckBox *c : {NotUsePlastic, MattCheck, ShinyCheck})
        c->hide();
    connect(ShinyCheck, &QCheckBox::clicked, this, [this] { ShinyCheckClick(); });
    connect(MattCheck, &QCheckBox::clicked, this, [this] { MattCheckClick(); });
    connect(NotUsePlastic, &QCheckBox::clicked, this, [this] { NotUsePlasticClick(); });

    auto *ok = new QPushButton("OK", this);
    ok->setObjectName("OKBtn");
    ok->setDefault(true);
    auto *cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("BitBtn2");
    connect(ok, &QPushButton::clicked, this, [this] {
        OKBtnClick();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    grid->addWidget(ok, 9, 2);
    grid->addWidget(cancel, 9, 3);
}

void TG3D_setup::BuildPreview()
{
    FMatScene = std::make_unique<TGLWorld>(nullptr);
    auto *light = FMatScene->Objects().NewChild<TGLLightSource>();
    light->SetPosition({9, 4, -5, 1});
    light->Specular().AssignRGBA({1, 1, 1, 1});
    MatSphere = FMatScene->Objects().NewChild<TSphere>();
    MatSphere->SetRadius(0.5f);
    MatSphere->SetSlices(64);
    MatSphere->SetStacks(64);
    FMaterial = &MatSphere->Material();
    FMaterial->FrontProperties().Diffuse().AssignRGBA({1, 0.498f, 0, 1});
    FMaterial->FrontProperties().SetShininess(97);
    FMaterial->Texture().SetTextureMode(tmModulate);
    auto *camera = FMatScene->Cameras().NewChild<TGLCamera>();
    camera->SetPosition({6.5f, 0, 0, 1});
    camera->SetDepthOfView(100);
    camera->SetFocalLength(50);
    camera->SetTargetObject(MatSphere);
    // Without OpenGL the preview stays out of the dialog (a widget that
    // cannot draw would break the dialog's painting).
    GLWorldViewer1 = new TGLWorldViewer(DisplayHasOpenGL() ? this : nullptr);
    GLWorldViewer1->setObjectName("GLWorldViewer1");
    GLWorldViewer1->setFixedSize(66, 66);
    GLWorldViewer1->setToolTip("Preview of your current Material properties");
    GLWorldViewer1->SetCamera(camera);
    if (auto *grid = qobject_cast<QGridLayout *>(layout()); grid && GLWorldViewer1->parent())
        grid->addWidget(GLWorldViewer1, 5, 3, 3, 1);
}

// --- settings <-> controls ---------------------------------------------------------

void TG3D_setup::ToControls()
{
    FFilling = true;
    const TG3D_settings &s = FSettings;
    rapid_C->SetColour(s.RapidColour);
    Linear_C->SetColour(s.LinearColour);
    Circular_C->SetColour(s.CircularColour);
    Mat_C->SetColour(s.PlasticColour);
    Background_c->SetColour(s.BackgroundColour);
    Surface_c->SetColour(s.SurfaceColour);
    rapids->setChecked(s.ShowRapids);
    linears->setChecked(s.ShowLinears);
    arcs->setChecked(s.ShowArcs);
    show_cutter->setChecked(s.ShowCutter);
    BilletOutline->setChecked(s.ShowBillet);
    MoveHistory->SetValue(s.MoveHistory);
    GridSize->SetValue(s.GridSize);
    if (QAbstractButton *b = MatSelect->button(s.MaterialType))
        b->setChecked(true);
    ShinyCheck->setChecked(s.Shiny);
    MattCheck->setChecked(s.Matt);
    FFilling = false;
}

void TG3D_setup::FromControls()
{
    if (FFilling)
        return;
    TG3D_settings &s = FSettings;
    s.RapidColour = rapid_C->Colour();
    s.LinearColour = Linear_C->Colour();
    s.CircularColour = Circular_C->Colour();
    s.BackgroundColour = Background_c->Colour();
    s.SurfaceColour = Surface_c->Colour();
    s.ShowRapids = rapids->isChecked();
    s.ShowLinears = linears->isChecked();
    s.ShowArcs = arcs->isChecked();
    s.ShowCutter = show_cutter->isChecked();
    s.ShowBillet = BilletOutline->isChecked();
    s.MoveHistory = static_cast<double>(MoveHistory->Value());
    s.GridSize = static_cast<double>(GridSize->Value());
    if (MatSelect->checkedId() >= 0)
        s.MaterialType = MatSelect->checkedId();
    s.Shiny = ShinyCheck->isChecked();
    s.Matt = MattCheck->isChecked();
}

void TG3D_setup::LoadSettings(const std::string &Path)
{
    FSettings.LoadSettings(Path);
    ToControls();
    NotUsePlastic->setChecked(true);
    NotUsePlasticClick();
    ApplyMaterial();
}

void TG3D_setup::SaveSettings() { FSettings.SaveSettings(); }

void TG3D_setup::SetUseOffsets(bool Value) { FSettings.SetUseOffsets(Value); }

bool TG3D_setup::Execute()
{
    const TG3D_settings opened = FSettings;
    if (RunModal(*this) == QDialog::Accepted)
        return true;
    // Cancel: the controls (and the picture chosen meanwhile) as they were.
    const bool dirty = FSettings.Dirty;
    FSettings = opened;
    FSettings.Dirty = dirty;
    ToControls();
    ApplyMaterial();
    return false;
}

// --- material ----------------------------------------------------------------------------

void TG3D_setup::ShowPicture(const TGLPicture &Picture)
{
    FShown = PictureImage(Picture);
    MatImage->setPixmap(QPixmap::fromImage(FShown));
}

// The picture file onto the sphere and into MatImage; false when it is
// missing or no picture (a broken JPEG shows the default as a missing one).
bool TG3D_setup::LoadPicture(const std::string &File)
{
    if (File.empty())
        return false;
    try {
        TGLPicture picture = LoadPictureFile(File);
        if (picture.Empty())
            return false;
        ShowPicture(picture);
        if (TGLPersistentImage *image = FMaterial->Texture().PersistentImage())
            image->SetPicture(std::move(picture));
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

void TG3D_setup::ApplyMaterial()
{
    FMaterialColour = Mat_C->Colour();
    TGLFaceProperties &front = FMaterial->FrontProperties();
    front.Diffuse().FromWinColor(static_cast<uint32_t>(FMaterialColour));
    const TMaterialChoice choice = FSettings.Material();
    FLoaded = true;
    FTextured = choice.Textured;
    if (choice.TextureEnabled)
        FLoaded = LoadPicture(choice.Picture);
    FMaterial->Texture().SetDisabled(!choice.TextureEnabled);
    if (choice.Specular >= 0)
        front.Specular().FromWinColor(static_cast<uint32_t>(choice.Specular));
    if (!FLoaded) {
        TGLPicture fallback = DefaultTexturePicture();
        ShowPicture(fallback);
        if (TGLPersistentImage *image = FMaterial->Texture().PersistentImage())
            image->SetPicture(std::move(fallback));
    }
}

// --- handlers ----------------------------------------------------------------------------

void TG3D_setup::rapid_CMouseDown(TColourShape *Shape)
{
    uint32_t colour = static_cast<uint32_t>(Shape->Colour());
    if (ChooseColour(this, colour, ExeFileWithExt("col"))) {
        Shape->SetColour(static_cast<int32_t>(colour));
        if (Shape == Mat_C)
            FSettings.PlasticColour = Shape->Colour();
        FromControls();
    }
    ApplyMaterial();
}

void TG3D_setup::OKBtnClick()
{
    FSettings.PlasticColour = Mat_C->Colour();
    FSettings.Dirty = true;
}

// Cancel: Execute puts the controls back as they were.
void TG3D_setup::BitBtn2Click() { reject(); }

void TG3D_setup::MatImageMouseDown()
{
    TFileRequest request;
    request.Kind = TFileDialogKind::Open;
    request.Title = "Select custom texture image";
    request.Filter = "JPEG Image File (*.jpg)|*.jpg;*.jpeg|All files (*.*)|*.*";
    request.InitialDir = std::filesystem::path(FSettings.CustomTexture).parent_path().string();
    const std::optional<std::string> chosen = Messages().ChooseFile(request);
    std::error_code ec;
    if (!chosen || chosen->empty() || !std::filesystem::is_regular_file(*chosen, ec))
        return;
    FSettings.CustomTexture = *chosen;
    FSettings.MaterialType = miImage;
    MatSelect->button(miImage)->setChecked(true);
    ApplyMaterial();
}

void TG3D_setup::MatSelectClick()
{
    FromControls();
    ApplyMaterial();
}

void TG3D_setup::ShinyCheckClick()
{
    if (ShinyCheck->isChecked()) {
        FSettings.SavedBilletMaterial = FSettings.BilletMaterial;
        FSettings.BilletMaterial = 24;
        MattCheck->setChecked(false);
    }
    FromControls();
}

void TG3D_setup::MattCheckClick()
{
    if (MattCheck->isChecked())
        ShinyCheck->setChecked(false);
    FromControls();
}

void TG3D_setup::NotUsePlasticClick()
{
    if (NotUsePlastic->isChecked()) {
        MattCheck->setChecked(false);
        ShinyCheck->setChecked(false);
        FSettings.BilletMaterial = FSettings.SavedBilletMaterial;
    }
    FromControls();
}

} // namespace orv
