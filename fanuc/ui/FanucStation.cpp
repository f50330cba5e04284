// Tarnwick's Fanuc stations: the station model with its window.
#include "fanuc/fanuc0m/FanucOMScreen.h"
#include "fanuc/fanuc21/Fanuc21Screen.h"
#include "fanuc/ui/Fanuc21Form.h"
#include "platform/ui/QtPos_size.h"

#include <QMdiSubWindow>

namespace orv::fanuc {

namespace {

// A station that owns its window; the window goes first.
template <class TStation>
class TStationWindow : public TStation {
public:
    explicit TStationWindow(const std::function<void(QWidget *)> &Adopt)
        : FForm(std::make_unique<TFanuc21Form>(*this))
    {
        if (Adopt)
            Adopt(FForm.get());
        // The 21 is a borderless child: its sub-window takes no frame either.
        auto *sub = qobject_cast<QMdiSubWindow *>(FForm->parentWidget());
        const bool frameless = FForm->windowFlags() & Qt::FramelessWindowHint;
        if (sub && frameless)
            sub->setWindowFlags(Qt::SubWindow | Qt::FramelessWindowHint);
        // The station opens where it was last closed ("FanucScreen", "FanucScreenOM").
        if (sub)
            new TQtPos_size(sub, frameless ? "TFanucScreen" : "TFanucScreenOM",
                            frameless ? TPosBorder::Fixed : TPosBorder::ToolWindow,
                            FForm->objectName().toStdString());
        FForm->show();
        FForm->setFocus();
    }
    ~TStationWindow() override { FForm.reset(); }

private:
    std::unique_ptr<TFanuc21Form> FForm;
};

} // namespace

std::unique_ptr<orv::TFanucScreen> CreateFanucStation(int Kind,
                                                      const std::function<void(QWidget *)> &Adopt)
{
    if (Kind == 4)
        return std::make_unique<TStationWindow<TFanucScreen>>(Adopt);
    if (Kind == 9)
        return std::make_unique<TStationWindow<TFanucScreenOM>>(Adopt);
    return nullptr;
}

} // namespace orv::fanuc
