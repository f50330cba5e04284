#pragma once
// The display modes the screen can take: a table (entry 0 the desktop's
// mode), the nearest mode for a size and depth, and switching to a mode
// and back, over a small platform interface. The Qt platform cannot switch
// modes: it offers the desktop's mode only, and a switch succeeds only to
// the mode in force.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orv {

struct TVideoMode {
    uint16_t Width = 0, Height = 0;
    uint8_t ColorDepth = 0; // bits per pixel
    std::string Description;
};

class TDisplayModePlatform {
public:
    virtual ~TDisplayModePlatform() = default;
    virtual TVideoMode DesktopMode() = 0;
    // The modes the driver reports, in its order.
    virtual std::vector<TVideoMode> EnumModes() = 0;
    // Whether a switch would work (nothing changes).
    virtual bool TestMode(int Width, int Height, int Depth) = 0;
    virtual bool ChangeMode(int Width, int Height, int Depth) = 0;
    virtual void RestoreMode() = 0;
};

class TGLScreen {
public:
    // Builds the table (up to 200 modes besides the desktop's).
    explicit TGLScreen(TDisplayModePlatform &Platform);
    ~TGLScreen(); // restores the desktop mode when another is in force

    int ModeCount() const { return int(FModes.size()); }
    const TVideoMode &Mode(int Index) const { return FModes.at(size_t(Index)); }
    int CurrentMode() const { return FCurrent; }
    // The closest mode at least this large and deep; 0 (the desktop) when none.
    int NearestMode(int Width, int Height, int Depth) const;
    bool SwitchDisplayMode(int Index);
    void RestoreDisplayMode();

private:
    void AddMode(const TVideoMode &Mode);
    TDisplayModePlatform &FPlatform;
    std::vector<TVideoMode> FModes;
    int FCurrent = 0;
};

} // namespace orv
