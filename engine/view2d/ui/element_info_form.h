#pragma once
// The element information dialog of the 2D view: kind, points, arc data,
// source line and text of one picked element; "&Edit Source" (result Yes)
// sends the operator to that line in the editor.

#include "engine/view2d/ElementInfo.h"

#include <QDialog>

#include <map>
#include <span>
#include <string>

class QLabel;
class QPushButton;
class QWidget;

namespace orv {

class TDD_Type;

class TElement_info : public QDialog {
    Q_OBJECT
public:
    static constexpr int ResultEditSource = 6; // Yes

    explicit TElement_info(QWidget *Parent = nullptr);

    // Fills the dialog; Decimals and AreaHeight must be set first.
    void ShowElement(const TDD_Type &Element, int Line, const std::string &FileName);

    int Decimals = 3;
    double AreaHeight = 0;

    // The value shown beside a caption ("X Start:", "Source:", ...).
    QString Value(const std::string &Caption) const;
    bool ArcPanelShown() const;
    bool EditSourceEnabled() const;
    TElementPicture Picture() const { return FPicture; }

private:
    QWidget *AddPanel(std::span<const char *const> Captions);

    std::map<std::string, QLabel *> FValues;
    QWidget *FArcPanel = nullptr;
    QLabel *FPictureLabel = nullptr;
    QPushButton *FEditSource = nullptr;
    TElementPicture FPicture = TElementPicture::None;
};

} // namespace orv
