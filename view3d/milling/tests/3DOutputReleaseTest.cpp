// The OpenGL output in the engine form: released from inside its own
// Execute (the rapid move serves messages, and the operator raises the 3D
// button meanwhile), the sink and its view live until Execute has
// returned; the run goes on without them.

#include "engine/form/tests/FormEngine.h"
#include "view3d/milling/3DOutput.h"

#include <gtest/gtest.h>

#include <memory>

namespace orv {
namespace {

// A view that notes whether it still exists and every move it is given.
class TWatchedView : public T3DView {
public:
    explicit TWatchedView(std::shared_ptr<int> Alive) : FAlive(std::move(Alive)) { ++*FAlive; }
    ~TWatchedView() override { --*FAlive; }
    void SetUnits(TUnits) override {}
    void AddStraightMove(uint8_t Kind, double, double, double, double, double, double,
                         double) override
    {
        if (OnMove)
            OnMove(Kind);
    }
    void AddArcMove(int, double, double, double, double, double, double, double, double,
                    double) override
    {
    }
    void SetBilletSize(double, double, double) override {}
    void FinishRun() override {}
    void SetToolShape(uint8_t) override {}
    void SetProgramName(const std::string &) override {}
    bool TurboDown() const override { return false; }
    void SetPanelText(int, const std::string &) override {}
    void SetPanelWidth(int, int) override {}
    int PanelTextWidth(const std::string &Text) const override { return int(Text.size()); }
    std::function<void(uint8_t Kind)> OnMove;

private:
    std::shared_ptr<int> FAlive;
};

class TOpenGLHost : public test::TLogHost {
public:
    std::unique_ptr<TBasicOutput> CreateOutput(int Slot) override
    {
        if (Slot != slotOpenGL)
            return TLogHost::CreateOutput(Slot);
        auto view = std::make_unique<TWatchedView>(Alive);
        View = view.get();
        return std::make_unique<T3DOutput>(std::move(view));
    }
    std::shared_ptr<int> Alive = std::make_shared<int>(0);
    TWatchedView *View = nullptr;
};

TEST(T3DOutputRelease, ReleasedInsideItsRapidTheSinkOutlivesExecute)
{
    test::TFormFolder folder;
    test::WriteToolFiles(folder);
    TOpenGLHost host;
    auto engine = std::make_unique<TBaseForm>(host);
    host.SetEngine(engine.get());
    engine->FormCreate();
    int handedOut = 0;
    engine->OnHandOut = [&](const TCNC_data &) { ++handedOut; };
    test::LoadProgram(*engine, folder.Write("p.fnc", "G21 G90\nG00 X0 Y0 Z5\nG01 Z-1 F100\n"
                                                     "G01 X10\nG00 Z5\nG00 X20\nG01 Y10\nM30\n"));
    host.Set3DChoice(Choice3DOpenGL, true);
    host.ClickButton(TMainButton::Output3D);
    host.ClickButton(TMainButton::Output2D); // the run goes on with the 2D output
    ASSERT_EQ(*host.Alive, 1);

    // The first rapid serves messages: the operator's release is among them.
    bool released = false;
    int aliveAfterRelease = -1;
    host.View->OnMove = [&](uint8_t Kind) {
        if (Kind != 2 || released)
            return;
        released = true;
        EventLoop().Post([&] {
            host.ClickButton(TMainButton::Output3D);
            aliveAfterRelease = *host.Alive;
        });
    };
    host.ClickButton(TMainButton::Start);
    EXPECT_TRUE(released);
    EXPECT_EQ(aliveAfterRelease, 1) << "freed under its own Execute";
    EXPECT_EQ(engine->Output(slotOpenGL), nullptr);
    EXPECT_EQ(engine->RunState(), csStopped);
    EXPECT_EQ(host.Log.back(), "0:-1") << "the run reached its end without the 3D output";
    // Freed once the engine is out of the run.
    folder.Loop.ProcessMessages();
    host.ClickButton(TMainButton::Start);
    EXPECT_EQ(*host.Alive, 0);
    engine.reset();
}

} // namespace
} // namespace orv
