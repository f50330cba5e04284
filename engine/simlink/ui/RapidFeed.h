#pragma once
// "Display Rapid Feeds": whether only rapid moves are drawn as rapids, or
// also feed moves at or above a feed rate.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace orv {

class TRapidFeed : public QDialog {
public:
    // Opens ticked for a threshold below 0, else with it in the edit.
    TRapidFeed(double Threshold, QWidget *Parent = nullptr);
    // The threshold after OK: -1 when ticked, else the edit's number.
    double Threshold() const;

    QCheckBox *RapidOnly;
    QLabel *AboveLabel;
    QLineEdit *Feed;

private:
    void Follow();
};

} // namespace orv
