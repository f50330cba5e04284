#pragma once
// "2D Simulation Setup": edits the colours and display switches of the 2D
// view and stores them in the main settings file, with a preview of a
// rapid, a linear move, an arc and a highlighted move.

#include "engine/view2d/View2dStyles.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollBar;

namespace orv {

class TG_setup : public QDialog {
    Q_OBJECT
public:
    explicit TG_setup(QWidget *Parent = nullptr);

    // Remembers FileName and reads every key into the controls.
    void LoadSettings(const std::string &FileName);
    // Writes the controls to the remembered file ("OK").
    void SaveSettings();

    TGraphicSettings Values() const;
    void SetValues(const TGraphicSettings &Settings);
    const std::string &FileName() const { return FFileName; }

    // The preview picture (200 x 200) as drawn now.
    QImage PreviewImage() const;

private:
    void ChooseColour(int Index);
    void ShowSwatch(int Index);
    void UpdatePreview();

    std::string FFileName;
    TColor FColours[GraphicColourCount] = {};
    QPushButton *FSwatches[GraphicColourCount] = {};
    QCheckBox *FChecks[GraphicSwitchCount] = {};
    QScrollBar *FSpeed = nullptr;
    QLabel *FSpeedLabel = nullptr;
    QLabel *FPreview = nullptr;
};

} // namespace orv
