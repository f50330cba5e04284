#include "fanuc/ui/FanucKnob.h"

#include "engine/core/DUtils.h"
#include "fanuc/fanuc21/Fanuc21Screen.h"

#include <QMouseEvent>

namespace orv::fanuc {

TFanucKnob::TFanucKnob(TFanucScreen &Station, QWidget *Parent) : TGIFImage(Parent), FStation(Station)
{
    setObjectName("KnobGif");
    LoadFromFile(ExeFolder() + "FanucKnob.gif");
    resize(64, 64);
}

void TFanucKnob::mousePressEvent(QMouseEvent *Event)
{
    FStation.KnobMouseDown(int(Event->position().x()), int(Event->position().y()));
}

void TFanucKnob::mouseMoveEvent(QMouseEvent *Event)
{
    FStation.KnobMouseMove(int(Event->position().x()), int(Event->position().y()));
}

void TFanucKnob::mouseReleaseEvent(QMouseEvent *) { FStation.KnobMouseUp(); }

} // namespace orv::fanuc
