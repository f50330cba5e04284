#include "links/ui/vrt_form_display.h"

#include "engine/core/Mess.h"
#include "links/ui/Tool_Flasher.h"
#include "localise/ui/LxQtTranslator.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

namespace {
QString Tr(const std::string &Text) { return QString::fromStdString(Mess().Translate(Text)); }
} // namespace

TVRT_form::TVRT_form(TVRControl &Control, QWidget *Parent) : QWidget(Parent), FControl(Control)
{
    setObjectName("VRT_form");
    setWindowTitle(Tr("Corvane Virtual Reality"));
    resize(480, 360);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    ViewBar = new QToolBar(Tr("VR View Bar"), this);
    ViewBar->setObjectName("VR View Bar");
    SetupButton = new QToolButton(ViewBar);
    SetupButton->setText(Tr("Setup"));
    ViewBar->addWidget(SetupButton);
    PopupMenu1 = new QMenu(this);
    const char *items[] = {"Select Device...", "Setup Proportional Device...",
                           "Reset Proportional Device..."};
    for (int i = 0; i < 3; ++i)
        PopupMenu1->addAction(Tr(items[i]), this, [this, i] { DeviceCommand(i + 1); });
    connect(SetupButton, &QToolButton::clicked, this,
            [this] { PopupMenu1->popup(QCursor::pos()); });
    layout->addWidget(ViewBar);
    VRTContainer = new QWidget(this);
    VRTContainer->setObjectName("VRTContainer");
    auto *inside = new QVBoxLayout(VRTContainer);
    FPosition = new QLabel(VRTContainer);
    FPosition->setAlignment(Qt::AlignCenter);
    inside->addWidget(FPosition);
    layout->addWidget(VRTContainer, 1);
    FTimer = new QTimer(this);
    connect(FTimer, &QTimer::timeout, this, [this] { ShowPosition(); });
    FTimer->start(200);
    // The caption holds a translated name and the world's version: made
    // again in a new language.
    AttachTranslator(this, "TVRT_form")->Translator().OnAfterTranslate = [this](auto &) {
        if (ViewsBuilt)
            ShowCaption();
    };
}

void TVRT_form::ShowCaption()
{
    setWindowTitle(QString::fromStdString(VRWindowCaption(FControl)));
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->setWindowTitle(windowTitle());
}

TVRT_form::~TVRT_form() = default;

void TVRT_form::DeviceCommand(int Code)
{
    FControl.SetInt("global functions", "Code", Code);
    FControl.Action("global functions", 0);
}

void TVRT_form::WorldLoaded()
{
    if (!ViewsBuilt) {
        const std::vector<std::string> hints = VRViewHints(FControl);
        for (size_t i = 0; i < hints.size(); ++i) {
            const int view = int(i) + 1;
            QAction *a = ViewBar->addAction(QString::number(view));
            a->setToolTip(QString::fromStdString(hints[i]));
            a->setData(view);
            connect(a, &QAction::triggered, this, [this, view] { FControl.SelectView(view); });
        }
        ViewsBuilt = true;
    }
    ShowCaption();
}

void TVRT_form::ShowPosition()
{
    if (FControl.ReadyState() != TVRControl::ReadyComplete)
        return;
    FPosition->setText(QString("X %1   Y %2   Z %3")
                           .arg(double(FControl.GetReal("MillerData", "xaxis_pos")), 0, 'f', 1)
                           .arg(double(FControl.GetReal("MillerData", "yaxis_pos")), 0, 'f', 1)
                           .arg(double(FControl.GetReal("MillerData", "zaxis_pos")), 0, 'f', 1));
}

TVRTView::TVRTView(TVRLink &Link, std::function<void(QWidget *)> Adopt)
    : FForm(new TVRT_form(Link.Control())), FAdopt(std::move(Adopt))
{
    if (FAdopt)
        FAdopt(FForm);
}

// The window goes with the link (its MDI frame follows it).
TVRTView::~TVRTView()
{
    FFlash.reset();
    delete FForm.data();
}

void TVRTView::Show()
{
    if (!FForm)
        return;
    FForm->show();
    if (auto *sub = qobject_cast<QMdiSubWindow *>(FForm->parentWidget()))
        sub->show();
}

void TVRTView::WorldLoaded()
{
    if (FForm)
        FForm->WorldLoaded();
}

void TVRTView::ToolSetup(const std::string &Text)
{
    if (Text.empty()) {
        FFlash.reset();
        return;
    }
    if (!FFlash) {
        FFlash = std::make_unique<TVr_flash>();
        FFlash->setWindowTitle(Tr("Setting up Tooling"));
    }
    FFlash->Panel1->setText(QString::fromStdString(Text));
}

} // namespace orv
