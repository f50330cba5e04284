#include "shell/CycleClock.h"

#include <cstdio>

namespace orv {

std::string CycleTimeText(int64_t ElapsedMs, const std::string &Word) {
    const int64_t seconds = ElapsedMs < 0 ? 0 : ElapsedMs / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return " " + Word + " " + text;
}

std::string TCycleClock::Update(int64_t NowMs, const std::string &Word) {
    if (!FStart)
        FStart = NowMs;
    return CycleTimeText(NowMs - *FStart, Word);
}

} // namespace orv
