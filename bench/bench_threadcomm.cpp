// The threaded serial component's receive path: bytes written into the far
// end of a pseudo-terminal until each has reached OnReceiveData in the
// user-interface thread, one posted message per byte. Reports bytes per
// second; the goal is well above 25,600 bytes/s (256000 baud, 10 bits a
// byte), the fastest rate the component offers.

#include "links/ThreadComm32.h"
#include "platform/EventLoop.h"
#include "platform/tests/TempDir.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

void BM_PtyToOnReceiveData(benchmark::State &State) {
    orv::TPlainEventLoop loop;
    orv::TEventLoopScope scope(loop);
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ::grantpt(master);
    ::unlockpt(master);
    orv::test::TTempDir temp;
    orv::TThreadComm32 comm;
    comm.SettingsFile =
        temp.Write("Tarnwick.ini", std::string("[Serial Ports]\nCOM1=") + ::ptsname(master) + "\n");
    comm.DataBits = orv::TDataBits::_8;
    comm.BaudRate = orv::TBaudRate::_256000;
    int64_t received = 0;
    comm.OnReceiveData = [&](const uint8_t *, uint16_t Length) { received += Length; };
    if (!comm.OpenPort()) {
        State.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    const int block = int(State.range(0));
    std::string bytes(size_t(block), 'b');
    int64_t total = 0;
    for (auto _ : State) {
        size_t at = 0;
        total += block;
        while (at < bytes.size() || received < total) {
            if (at < bytes.size()) {
                ssize_t n = ::write(master, bytes.data() + at, bytes.size() - at);
                if (n > 0)
                    at += size_t(n);
            }
            loop.ProcessMessages();
        }
    }
    State.SetBytesProcessed(total);
    comm.ClosePort();
    ::close(master);
}
BENCHMARK(BM_PtyToOnReceiveData)->Arg(256)->Arg(4096)->UseRealTime();

} // namespace
