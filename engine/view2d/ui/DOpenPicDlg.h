#pragma once
// The open dialog every program source asks for an NC program with: the
// standard file dialog with a preview pane showing the picture kept beside
// the selected program ("bmp", "bm2" or "bm3"), its size, and a button
// that enlarges it in the "Preview" window.

#include <QFileDialog>
#include <QImage>

#include <optional>
#include <string>

class QLabel;
class QToolButton;

namespace orv {

struct TFileRequest;

class TDOpenPictureDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit TDOpenPictureDialog(QWidget *Parent = nullptr);

    // Looks for the selected file's companion picture and shows it.
    void SelectionChanged(const QString &FileName);

    const QImage &Picture() const { return FPicture; }
    QString PictureLabelText() const;
    bool PreviewEnabled() const;
    // The "Preview" window over the picture, not yet shown.
    std::unique_ptr<QDialog> MakePreviewWindow() const;

private:
    class TPaintBox;
    void ShowPreview();

    QImage FPicture;
    QLabel *FPictureLabel = nullptr;
    QToolButton *FPreviewButton = nullptr;
    TPaintBox *FPaintBox = nullptr;
};

// Asks for an NC program with the dialog above (title, folder or file,
// filter of the request); empty when cancelled. The message service's
// program dialog.
std::optional<std::string> ChooseProgramWithPicture(QWidget *Parent, const TFileRequest &Request);

} // namespace orv
