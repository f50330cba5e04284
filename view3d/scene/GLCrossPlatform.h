#pragma once
// The few operating-system services the scene graph uses, in one place:
// colour bytes, two simple dialogs and a picture dialog (through the
// platform's message service), the screen's density and depth, the
// high-resolution counter, and the last system error.

#include <cstdint>
#include <functional>
#include <string>

namespace orv {

inline uint8_t RedOf(uint32_t Color) { return uint8_t(Color); }
inline uint8_t GreenOf(uint32_t Color) { return uint8_t(Color >> 8); }
inline uint8_t BlueOf(uint32_t Color) { return uint8_t(Color >> 16); }

void InformationDialog(const std::string &Text);
// The text entered; Default when cancelled.
std::string QuestionDialog(const std::string &Caption, const std::string &Prompt,
                           const std::string &Default);
// True and the chosen name when the user confirms.
bool OpenPictureDialog(std::string &FileName, const std::string &Title);
// Raises std::system_error of errno.
[[noreturn]] void RaiseLastOSError();

// The screen: the Qt part installs what the desktop reports (96 dpi and
// 24 bits until then).
struct TScreenInfo {
    std::function<int()> PixelsPerInch = [] { return 96; };
    std::function<int()> Depth = [] { return 24; };
};
TScreenInfo &ScreenInfo();
int ScreenPixelsPerInch();
int CurrentScreenDepth();

// Nanoseconds of a monotonic clock, and their frequency.
void QueryCounter(int64_t &Value);
void QueryCounterFrequency(int64_t &Value);

} // namespace orv
