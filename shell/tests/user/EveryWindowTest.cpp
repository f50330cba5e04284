// Every window of Tarnwick's main window, opened as its user opens it: it
// shows, fits inside the MDI area, is not below its minimum size, shows all
// its buttons inside it, and goes again the user's way.
#include "shell/tests/user/TarnwickUser.h"

#include <QWidget>

namespace orv::test {
namespace {

class EveryWindow : public TarnwickUser, public ::testing::WithParamInterface<TUserWindow> {};

TEST_P(EveryWindow, ShowsFitsAndCloses)
{
    const TUserWindow &window = GetParam();
    if (window.NeedsOpenGL && !OpenGLAvailable())
        GTEST_SKIP() << "needs OpenGL: run under scripts/with-xvfb.sh";
    if (window.Prepare)
        window.Prepare(*this);
    Start();
    bool visited = false;
    window.Visit(*this, [&](QWidget &Shown) {
        visited = true;
        ExpectWindowFits(&Shown);
    });
    EXPECT_TRUE(visited) << window.Name << " was not reached";
}

std::string TestName(const ::testing::TestParamInfo<TUserWindow> &Info)
{
    std::string name;
    for (char c : Info.param.Name)
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
    return name;
}

INSTANTIATE_TEST_SUITE_P(Tarnwick, EveryWindow, ::testing::ValuesIn(UserWindows()), TestName);

} // namespace
} // namespace orv::test
