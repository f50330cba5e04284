// The line controllers' receive sides fed whatever a garbled line may
// bring: the queued framed controller (Control Type 4), the router box
// (Control Type 2) and the Trio worker (Control Type 3), picked by the
// first byte. Each keeps its state from input to input, as on a line, with
// the clock moving on between inputs; nothing may crash, and the values
// taken from an answer must be numbers or "not reported".
#include "links/ControllerQuorel.h"
#include "links/LowLevelNew.h"
#include "links/LowLevelTRIO.h"
#include "platform/fuzz/FuzzSupport.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
    static orv::TFuzzScopes scopes;
    orv::TTestEventLoop &loop = scopes.Loop;
    if (Size == 0)
        return 0;
    const uint8_t *bytes = Data + 1;
    const int size = int(Size - 1);
    int32_t x = 0, y = 0, z = 0;
    switch (Data[0] % 3) {
    case 0: {
        static orv::TControllerLowLevelNew queued;
        if (Data[0] & 0x80)
            queued.QueueCommandLine("zz6");
        queued.ReceiveData(bytes, size);
        queued.GetPosition(x, y, z);
        (void)queued.IsIdle();
        break;
    }
    case 1: {
        static orv::TControllerQuorel router;
        router.ReceiveData(bytes, size);
        router.GetPosition(x, y, z);
        orv::quorel::TStatus status;
        const std::string answer(reinterpret_cast<const char *>(bytes), size_t(size));
        if (orv::quorel::ParseStatus(answer, status) &&
            (status.Tail.size() > answer.size() ||
             answer.compare(answer.size() - status.Tail.size(), std::string::npos, status.Tail) != 0))
            std::abort();
        break;
    }
    default: {
        static orv::TLowLevelTRIO trio;
        trio.ReceiveData(bytes, size);
        for (int i = 0; i < 16; ++i)
            if (std::isnan(trio.Table(i)))
                std::abort();
        (void)trio.Idle();
        break;
    }
    }
    loop.Advance(Data[0] & 0x40 ? 1100 : 60);
    return 0;
}
