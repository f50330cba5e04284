// Tarnwick's Fanuc stations: the station model with its window.
#include "fanuc/fanuc21/Fanuc21Screen.h"
#include "fanuc/ui/Fanuc21Form.h"

namespace orv::fanuc {

namespace {

// The Fanuc 21 station that owns its window; the window goes first.
class TFanucScreenWindow : public TFanucScreen {
public:
    explicit TFanucScreenWindow(const std::function<void(QWidget *)> &Adopt)
        : FForm(std::make_unique<TFanuc21Form>(*this))
    {
        if (Adopt)
            Adopt(FForm.get());
        FForm->show();
        FForm->setFocus();
    }
    ~TFanucScreenWindow() override { FForm.reset(); }

private:
    std::unique_ptr<TFanuc21Form> FForm;
};

} // namespace

std::unique_ptr<orv::TFanucScreen> CreateFanucStation(int Kind,
                                                      const std::function<void(QWidget *)> &Adopt)
{
    if (Kind != 4)
        return nullptr;
    return std::make_unique<TFanucScreenWindow>(Adopt);
}

} // namespace orv::fanuc
