#pragma once
// The headless main window with a real 2D output in slot 0, drawing into a
// recording view; the other outputs log their records.

#include "engine/form/tests/FormEngine.h"
#include "engine/view2d/Draw_2D.h"
#include "engine/view2d/tests/View2dFixture.h"

namespace orv::test {

class TDraw2DHost : public TLogHost {
public:
    TViewRecord View;
    std::unique_ptr<TBasicOutput> CreateOutput(int Slot) override
    {
        if (Slot != slot2D)
            return TLogHost::CreateOutput(Slot);
        auto draw = std::make_unique<TDraw_2D>();
        draw->ViewFactory = [this] { return std::make_unique<TRecordingView>(View); };
        return draw;
    }
};

} // namespace orv::test
