#include "engine/view2d/ui/DOpenPicDlg.h"

#include "engine/view2d/PicturePreview.h"
#include "platform/MessageService.h"
#include "platform/ui/QtMessageService.h"

#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace orv {

// Draws the picture centred, or scaled to fit from the top-left corner.
class TDOpenPictureDialog::TPaintBox : public QFrame {
public:
    explicit TPaintBox(const QImage &Picture) : P(Picture)
    {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setMinimumSize(150, 150);
    }

protected:
    void paintEvent(QPaintEvent *Event) override
    {
        QFrame::paintEvent(Event);
        QPainter Painter(this);
        const QRect Box = contentsRect();
        if (P.isNull()) {
            Painter.drawText(Box, Qt::AlignCenter, tr("(None)"));
            return;
        }
        const TPixelRect R = PreviewRect(P.width(), P.height(), Box.width(), Box.height());
        Painter.drawImage(QRect(Box.left() + R.Left, Box.top() + R.Top, R.Right - R.Left,
                                R.Bottom - R.Top),
                          P);
    }

private:
    const QImage &P;
};

TDOpenPictureDialog::TDOpenPictureDialog(QWidget *Parent) : QFileDialog(Parent)
{
    setOption(QFileDialog::DontUseNativeDialog, true);
    setFileMode(QFileDialog::ExistingFile);
    auto *Pane = new QWidget;
    auto *Column = new QVBoxLayout(Pane);
    Column->setContentsMargins(6, 6, 6, 6);
    FPictureLabel = new QLabel(tr("Picture:"));
    FPreviewButton = new QToolButton;
    FPreviewButton->setText("...");
    FPreviewButton->setToolTip(tr("Preview"));
    FPreviewButton->setEnabled(false);
    FPaintBox = new TPaintBox(FPicture);
    Column->addWidget(FPictureLabel);
    Column->addWidget(FPreviewButton, 0, Qt::AlignRight);
    Column->addWidget(FPaintBox, 1);
    if (auto *Grid = qobject_cast<QGridLayout *>(layout()))
        Grid->addWidget(Pane, 0, Grid->columnCount(), Grid->rowCount(), 1);
    connect(this, &QFileDialog::currentChanged, this, &TDOpenPictureDialog::SelectionChanged);
    connect(FPreviewButton, &QToolButton::clicked, this, &TDOpenPictureDialog::ShowPreview);
}

void TDOpenPictureDialog::SelectionChanged(const QString &FileName)
{
    const std::string Name = FileName.toStdString();
    const std::string Companion = CompanionPicture(Name);
    QImage Loaded;
    if (!Companion.empty())
        Loaded.load(QString::fromStdString(Companion), "BMP");
    FPicture = Loaded;
    if (FPicture.isNull()) {
        FPictureLabel->setText(tr("Picture:"));
        FPreviewButton->setEnabled(false);
    }
    else {
        FPictureLabel->setText(
            QString::fromStdString(PictureSizeText(FPicture.width(), FPicture.height())));
        FPreviewButton->setEnabled(true);
    }
    FPaintBox->update();
}

QString TDOpenPictureDialog::PictureLabelText() const
{
    return FPictureLabel->text();
}

bool TDOpenPictureDialog::PreviewEnabled() const
{
    return FPreviewButton->isEnabled();
}

std::unique_ptr<QDialog> TDOpenPictureDialog::MakePreviewWindow() const
{
    auto Window = std::make_unique<QDialog>(nullptr, Qt::Tool);
    Window->setObjectName("PreviewForm");
    Window->setWindowTitle(tr("Preview"));
    auto *Layout = new QVBoxLayout(Window.get());
    Layout->setContentsMargins(5, 5, 5, 5);
    auto *Image = new QLabel;
    Image->setPixmap(QPixmap::fromImage(FPicture));
    Image->setScaledContents(true);
    Layout->addWidget(Image);
    if (FPicture.width() > 0)
        Window->resize(FPicture.width() + 10, FPicture.height() + 10);
    return Window;
}

void TDOpenPictureDialog::ShowPreview()
{
    if (FPicture.isNull())
        return;
    MakePreviewWindow()->exec();
}

std::optional<std::string> ChooseProgramWithPicture(QWidget *Parent, const TFileRequest &Request)
{
    TDOpenPictureDialog Dialog(Parent);
    Dialog.setWindowTitle(QString::fromStdString(Request.Title));
    Dialog.setNameFilters(QtFilterFromPipes(Request.Filter).split(";;"));
    if (!Request.InitialDir.empty())
        Dialog.setDirectory(QString::fromStdString(Request.InitialDir));
    if (!Request.FileName.empty())
        Dialog.selectFile(QString::fromStdString(Request.FileName));
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return Dialog.selectedFiles().first().toStdString();
}

} // namespace orv
