#pragma once
// The small tool set-up window of the VR link: a caption and one lowered
// panel whose text its user sets.

#include <QLabel>
#include <QWidget>

namespace orv {

class TVr_flash : public QWidget {
public:
    explicit TVr_flash(QWidget *Parent = nullptr);

    // The panel (8, 8, 129 x 41), lowered; its text is the user's.
    QLabel *Panel1 = nullptr;
};

} // namespace orv
