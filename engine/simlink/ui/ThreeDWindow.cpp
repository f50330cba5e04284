#include "engine/simlink/ui/ThreeDWindow.h"

#include "engine/core/DUtils.h"
#include "engine/simlink/ui/RapidFeed.h"
#include "localise/ui/LxQtTranslator.h"
#include "platform/MessageService.h"
#include "platform/ui/ColourDialog.h"

#include <QActionGroup>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>

#include <sstream>

namespace orv {

// A picture drawn stretched over the whole widget.
class TStretchedPicture : public QWidget {
public:
    using QWidget::QWidget;
    void SetImage(const QImage &Image)
    {
        FImage = Image;
        update();
    }
    const QImage &Image() const { return FImage; }
    std::function<void()> OnPress;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        if (FImage.isNull())
            painter.fillRect(rect(), palette().window());
        else
            painter.drawImage(rect(), FImage);
    }
    void mousePressEvent(QMouseEvent *) override
    {
        if (OnPress)
            OnPress();
    }

private:
    QImage FImage;
};

TThreeDWindow::TThreeDWindow()
{
    setWindowTitle("3D Simulation");
    FPicture = new TStretchedPicture(this);
    FPicture->setObjectName("Picture");
    FPicture->installEventFilter(this);
    setCentralWidget(FPicture);
    FContainer = new QWidget(FPicture);
    FContainer->setObjectName("OleContainer1");
    FContainer->installEventFilter(this);
    FPicture->OnPress = [this] {
        FContainer->show();
        FContainer->raise();
    };
    // The container's verb menu, which the control's window passes its
    // right-click on to; it pops up and leaves the handler at once.
    FVerbMenu = new QMenu(FContainer);
    FVerbMenu->setObjectName("VerbMenu");
    FProperties = new QAction("Properties", FContainer);
    connect(FProperties, &QAction::triggered, this, [this] {
        if (FForm)
            FForm->ControlVerb(OleVerbProperties);
    });
    FVerbMenu->addAction(FProperties);
    FAbout = new QAction("&About...", FContainer);
    connect(FAbout, &QAction::triggered, this, [this] {
        if (FForm)
            FForm->AboutBox();
    });
    FVerbMenu->addAction(FAbout);
    FContainer->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FContainer, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &At) { FVerbMenu->popup(FContainer->mapToGlobal(At)); });
    const char *captions[] = {"X=", "Y=", "Z=", "Tool=", ""};
    const int widths[] = {70, 70, 70, 75, 50};
    for (int k = 0; k < 5; ++k) {
        FPanels[k] = new QLabel(captions[k], this);
        FPanels[k]->setMinimumWidth(widths[k]);
        statusBar()->addWidget(FPanels[k]);
    }
    BuildMenu();
    resize(660, 540);
    // The window's texts are its English ones; its translator gives them the
    // language and puts back the texts it first found. The panels keep what
    // the link last showed, and the link makes its words again.
    AttachTranslator(this, "TThreeD_form")->Translator().OnAfterTranslate = [this](auto &) {
        for (int k = 0; k < 5; ++k)
            if (FStatusGiven[k])
                FPanels[k]->setText(FStatusTexts[k]);
        if (FForm)
            FForm->LanguageChanged();
    };
}

TThreeDWindow::~TThreeDWindow() = default;

QWidget *TThreeDWindow::Picture() const { return FPicture; }

void TThreeDWindow::Attach(TThreeD_form &Form) { FForm = &Form; }

void TThreeDWindow::BuildMenu()
{
    QMenu *menu = menuBar()->addMenu("3D Viewer");
    QMenu *modes = menu->addMenu("Draw Mode");
    auto *group = new QActionGroup(this);
    const char *modeNames[] = {"No Drawing (Fastest)", "Tool Movement", "Show Cutting (Slowest)"};
    for (int tag = 0; tag < 3; ++tag) {
        FDrawModes[tag] = modes->addAction(modeNames[tag]);
        FDrawModes[tag]->setCheckable(true);
        group->addAction(FDrawModes[tag]);
        connect(FDrawModes[tag], &QAction::triggered, this, [this, tag] {
            if (FForm)
                FForm->SetDrawMode(tag);
        });
    }
    QMenu *setup = menu->addMenu("Setup");
    const struct {
        const char *Caption;
        TSimColour Which;
    } colours[] = {{"Background Colour...", TSimColour::Background},
                   {"Surface Colour...", TSimColour::Surface},
                   {"Billet Colour...", TSimColour::Billet}};
    for (const auto &c : colours) {
        const TSimColour which = c.Which;
        connect(setup->addAction(c.Caption), &QAction::triggered, this, [this, which] {
            if (FForm)
                FForm->ChooseColour(which);
        });
    }
    connect(setup->addAction("Rapid Move Threshold..."), &QAction::triggered, this, [this] {
        if (FForm)
            FForm->EditRapidFeed();
    });
    FAutoSave = menu->addAction("Auto Save Bitmap?");
    FAutoSave->setCheckable(true);
    connect(FAutoSave, &QAction::triggered, this, [this] {
        if (FForm)
            FForm->ToggleAutoSave();
    });
    FSaveAsBitmap = menu->addAction("Save as Bitmap");
    connect(FSaveAsBitmap, &QAction::triggered, this, [this] {
        if (FForm)
            FForm->SavePicture();
    });
    FSaveBitmapAs = menu->addAction("Save Bitmap As...");
    connect(FSaveBitmapAs, &QAction::triggered, this, [this] {
        if (FForm)
            FForm->SavePictureAs();
    });
    FOffsets = menu->addAction("Use X,Y Offsets");
    FOffsets->setCheckable(true);
    connect(FOffsets, &QAction::triggered, this, [this] {
        if (FForm)
            FForm->ToggleOffsets();
    });
    // The picture items need a picture name.
    connect(menu, &QMenu::aboutToShow, this, [this] {
        const bool named = FForm && !FForm->PictureFileName.empty();
        FSaveAsBitmap->setEnabled(named);
        FSaveBitmapAs->setEnabled(named);
        FSaveAsBitmap->setText(named ? "Save as Bitmap: " +
                                           QString::fromStdString(FForm->PictureFileName)
                                     : "Save as Bitmap");
    });
}

void *TThreeDWindow::ControlParent() { return FContainer; }

void TThreeDWindow::SetControlWindow(void *Window)
{
    FControlWindow = static_cast<QWidget *>(Window);
    FitControl();
    if (FControlWindow)
        FControlWindow->show();
}

void TThreeDWindow::FitControl()
{
    if (FControlWindow)
        FControlWindow->setGeometry(FContainer->rect().adjusted(1, 1, -1, -1));
}

bool TThreeDWindow::eventFilter(QObject *Watched, QEvent *Event)
{
    if (Watched == FPicture && Event->type() == QEvent::Resize)
        FContainer->setGeometry(FPicture->rect());
    if (Watched == FContainer && Event->type() == QEvent::Resize) {
        FitControl();
        if (FForm)
            FForm->ContainerResized();
    }
    return QMainWindow::eventFilter(Watched, Event);
}

void TThreeDWindow::SetStatusText(int Panel, const std::string &Text)
{
    if (Panel < 0 || Panel >= 5)
        return;
    FStatusTexts[Panel] = QString::fromStdString(Text);
    FStatusGiven[Panel] = true;
    FPanels[Panel]->setText(FStatusTexts[Panel]);
}

QString TThreeDWindow::StatusText(int Panel) const
{
    return Panel >= 0 && Panel < 5 ? FPanels[Panel]->text() : QString();
}

void TThreeDWindow::TickDrawMode(int Mode)
{
    for (int tag = 0; tag < 3; ++tag)
        FDrawModes[tag]->setChecked(tag == Mode);
}

void TThreeDWindow::SetAutoSaveTick(bool Ticked) { FAutoSave->setChecked(Ticked); }
void TThreeDWindow::SetOffsetsTick(bool Ticked) { FOffsets->setChecked(Ticked); }

bool TThreeDWindow::ChooseColour(uint32_t &Colour)
{
    return orv::ChooseColour(this, Colour, ExeFileWithExt("col"));
}

bool TThreeDWindow::EditRapidFeed(double &Threshold)
{
    TRapidFeed dialog(Threshold, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    Threshold = dialog.Threshold();
    return true;
}

bool TThreeDWindow::SavePicture(const std::string &FileName)
{
    const QImage picture = FContainer->grab().toImage();
    FPicture->SetImage(picture);
    return picture.save(QString::fromStdString(FileName), "BMP");
}

std::string TThreeDWindow::ChoosePictureFile(const std::string &Suggested)
{
    TFileRequest request;
    request.Kind = TFileDialogKind::Save;
    request.FileName = Suggested;
    request.DefaultExt = "BMP";
    request.Title = "Save Bitmap As";
    request.Filter = "Bitmap (*.bmp)|*.bmp|All files (*.*)|*.*";
    const auto chosen = Messages().ChooseFile(request);
    return chosen ? *chosen : std::string();
}

} // namespace orv
