// Tarnwick's Fanuc stations: the station model with its window.
#include "fanuc/fanuc0m/FanucOMScreen.h"
#include "fanuc/fanuc21/Fanuc21Screen.h"
#include "fanuc/ui/Fanuc21Form.h"

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
        if (sub && (FForm->windowFlags() & Qt::FramelessWindowHint))
            sub->setWindowFlags(Qt::SubWindow | Qt::FramelessWindowHint);
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
