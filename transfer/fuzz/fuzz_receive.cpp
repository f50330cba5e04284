// Rostrel's receive side fed arbitrary bytes in chunks as the port hands
// them on (a chunk ends after each byte 0xFF; the first two in a row are a
// pause long enough for the pending text to be handed on): every line it
// makes is free of control codes, and the lines, the pending text and the
// dropped codes account for every byte received.
#include "platform/EventLoop.h"
#include "transfer/ReceiveAssembly.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    static orv::TTestEventLoop loop;
    static orv::TEventLoopScope scope(loop);
    orv::TReceiveAssembly assembly;
    std::string lines;
    int crs = 0, flushed = 0;
    assembly.OnLine = [&](const std::string &Line, bool WithoutCR) {
        for (char c : Line)
            if (uint8_t(c) <= 13)
                std::abort();
        if (WithoutCR && Line.empty())
            std::abort();
        lines += Line;
        (WithoutCR ? flushed : crs) += 1;
    };
    size_t from = 0;
    bool paused = false;
    for (size_t i = 0; i < Size; ++i)
        if (Data[i] == 0xFF || i + 1 == Size) {
            assembly.AppendReceived(Data + from, int(i + 1 - from));
            from = i + 1;
            if (Data[i] == 0xFF && i + 1 < Size && Data[i + 1] == 0xFF && !paused) {
                loop.Advance(orv::TReceiveAssembly::FlushMs); // the far side stops a while
                paused = true;
            }
        }
    int controls = 0, returns = 0;
    for (size_t i = 0; i < Size; ++i) {
        returns += Data[i] == '\r';
        controls += Data[i] <= 13 && Data[i] != '\r' && Data[i] != '\t' && Data[i] != '\n';
    }
    const std::string text(reinterpret_cast<const char *>(Data), Size);
    if (crs != returns || assembly.Dropped() != controls ||
        lines + assembly.Pending() != orv::StripControlChars(text) ||
        assembly.TimerRunning() != !assembly.Pending().empty())
        std::abort();
    assembly.Flush();
    if (!assembly.Pending().empty() || assembly.TimerRunning())
        std::abort();
    return 0;
}
