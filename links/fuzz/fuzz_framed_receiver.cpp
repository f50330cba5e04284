// The framed protocol's receiver fed whatever a garbled line may bring,
// with a write, a read or nothing outstanding: it must neither crash nor
// take a status byte for reply text.
#include "links/LowLevel.h"
#include "platform/fuzz/FuzzSupport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
    static orv::TFuzzScopes scopes;
    orv::TTestEventLoop &loop = scopes.Loop;
    if (Size == 0)
        return 0;
    // One worker for every input (as on a line, state carries over).
    static orv::TLowLevel worker;
    worker.Clock = [] { return int64_t(0); };
    switch (Data[0] % 3) {
    case 0:
        worker.ExpectReply(orv::TLowLevel::rkWrite, "MB", orv::frames::WriteFrame("MB", 6, "07,3"));
        break;
    case 1:
        worker.ExpectReply(orv::TLowLevel::rkRead, "MB", orv::frames::ReadFrame("MB", 6, "19"));
        break;
    default:
        break;
    }
    worker.ReceiveData(Data + 1, int(Size - 1));
    loop.ProcessMessages();
    (void)worker.StatusField(3);
    (void)worker.StatusInt(0);
    for (int i = 0; i < 16; ++i)
        (void)worker.Comms(i);
    return 0;
}
