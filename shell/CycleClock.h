#pragma once
// The cycle time of the main window's status bar: counted from the first
// Start after a rewind; Pause and Stop leave the start where it is, so a
// paused interval counts; Rewind clears it. Times in milliseconds of the
// event loop's clock.
#include <cstdint>
#include <optional>
#include <string>

namespace orv {

// " " + Word + " " + "hh:mm:ss" (two digits each).
std::string CycleTimeText(int64_t ElapsedMs, const std::string &Word);

class TCycleClock {
public:
    // The text for Now; the first call after a reset starts the count.
    std::string Update(int64_t NowMs, const std::string &Word);
    void Reset() { FStart.reset(); }
    bool Started() const { return FStart.has_value(); }

private:
    std::optional<int64_t> FStart;
};

} // namespace orv
