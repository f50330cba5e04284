#pragma once
// The "Set Offset" dialog of zeroing an axis: which side of the edge the
// tool touched (three reference pictures) and whether the cutter radius or
// another value is added.

#include <QDialog>

#include <string>

class QButtonGroup;
class QLineEdit;
class QRadioButton;

namespace orv {

class TOffset_type : public QDialog {
    Q_OBJECT
public:
    // Axis 1 X, 2 Y, 3 Z; FirstPicture 0 (3D pictures) or 5 (2D pictures).
    TOffset_type(int Axis, int FirstPicture, QWidget *Parent = nullptr);

    int Picture() const;          // 1 to 3 (tags of pic1, pic2, pic3)
    bool UseCutterRadius() const; // "Use Cutter Radius" rather than "Other Value"
    std::string OtherValue() const;

    QButtonGroup *Pictures = nullptr;
    QRadioButton *Rad = nullptr;
    QRadioButton *any = nullptr;
    QLineEdit *Edit1 = nullptr;

private:
    void FormCreate(int Axis, int FirstPicture);
};

} // namespace orv
