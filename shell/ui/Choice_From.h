#pragma once
// "Please Choose!": shown at Start when no output is selected. Four toggle
// buttons (3D Simulation, 2D Simulation, Compiled, Post Output); OK is
// enabled while at least one is down; Escape closes without a choice.
#include <QDialog>

class QPushButton;

namespace orv {

class TToolbarButton;
class TImageList;

class TChoice_From : public QDialog {
public:
    explicit TChoice_From(QWidget *Owner = nullptr);

    TToolbarButton *threeD = nullptr;
    TToolbarButton *twoD = nullptr;
    TToolbarButton *compiles = nullptr;
    TToolbarButton *Post_out = nullptr;
    QPushButton *Ok = nullptr;
    QPushButton *Cancel = nullptr;

    // The click handler of the four toggles.
    void threeDClick();

protected:
    void keyPressEvent(QKeyEvent *Event) override;
    void showEvent(QShowEvent *Event) override;

private:
    void FormCreate();
    void FitButtons();
};

} // namespace orv
