#pragma once
// The feed-override knob of the Fanuc stations: the 21 frames of
// "FanucKnob.gif" (not animated); a vertical drag turns it through the
// station.

#include "components/gif/ui/GIFImage.h"

namespace orv::fanuc {

class TFanucScreen;

class TFanucKnob : public TGIFImage {
public:
    TFanucKnob(TFanucScreen &Station, QWidget *Parent);
    void ShowFrame(int Frame) { SetCurrentFrame(Frame); }

protected:
    void mousePressEvent(QMouseEvent *Event) override;
    void mouseMoveEvent(QMouseEvent *Event) override;
    void mouseReleaseEvent(QMouseEvent *Event) override;

private:
    TFanucScreen &FStation;
};

} // namespace orv::fanuc
