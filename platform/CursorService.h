#pragma once
// The mouse cursor as controls drive it during a drag: capture, confining
// it to a window, moving it to a point of a window's client area and
// hiding it. The program installs the toolkit's service; tests install a
// recording one and watch the calls.

#include <string>
#include <vector>

namespace orv {

// Cursor ids as the system numbers them.
constexpr int crDefault = 0; // the window's own
constexpr int crArrow = -2;
constexpr int crCross = -3;
constexpr int crIBeam = -4;
constexpr int crHourGlass = -11;
constexpr int crHandPoint = -21;

class TCursorService {
public:
    virtual ~TCursorService() = default;
    // Window: the toolkit's window, passed opaquely.
    virtual void Capture(void *Window) {}
    virtual void ReleaseCapture() {}
    virtual void Confine(void *Window) {}
    virtual void ReleaseConfine() {}
    // X, Y in the window's client coordinates.
    virtual void MoveTo(void *Window, int X, int Y) {}
    virtual void Show(bool Visible) {}
    // The shape over a window: one of the cursor ids above.
    virtual void SetShape(void *Window, int Cursor) {}
};

// The installed service; a service that does nothing when none is.
TCursorService &CursorService();
void SetCursorService(TCursorService *Service);

// Records every call as text: "capture", "release capture", "confine",
// "release confine", "move X,Y", "show"/"hide", "shape N".
class TRecordingCursor : public TCursorService {
public:
    void Capture(void *) override { Calls.push_back("capture"); }
    void ReleaseCapture() override { Calls.push_back("release capture"); }
    void Confine(void *) override { Calls.push_back("confine"); }
    void ReleaseConfine() override { Calls.push_back("release confine"); }
    void MoveTo(void *, int X, int Y) override
    {
        Calls.push_back("move " + std::to_string(X) + "," + std::to_string(Y));
    }
    void Show(bool Visible) override { Calls.push_back(Visible ? "show" : "hide"); }
    void SetShape(void *, int Cursor) override { Calls.push_back("shape " + std::to_string(Cursor)); }
    std::vector<std::string> Calls;
};

} // namespace orv
