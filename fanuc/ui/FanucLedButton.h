#pragma once
// The operator-panel button of the Fanuc stations: a toolbar button with a
// face picture, an LED and one or two centred text lines.

#include "components/toolbar/ui/TbCtls.h"

#include <QImage>

namespace orv::fanuc {

class TLedButton : public TToolbarButton {
public:
    explicit TLedButton(QWidget *Parent = nullptr, bool ZeroM = false);
    bool LedOn() const { return FLedOn; }
    // Repaints only when the value changes.
    void SetLedOn(bool Value);
    // The face (not owned); the button takes its size + 1 and drops its texts.
    void Background(const QImage &Face);
    QString Text1, Text2;
    uint32_t FontColor = 0;

protected:
    void Paint(QPainter &P) override;

private:
    QImage FFace;
    bool FLedOn = false;
    bool FZeroM = false;
};

// The three (21) or four (0M) faces, drawn in code: grey, green, red, blue.
QImage OperatorFace(int Face);

} // namespace orv::fanuc
