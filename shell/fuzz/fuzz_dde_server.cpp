// A client of the DDE server ("miller" on its local socket) sends arbitrary
// bytes and ends its side. The server must answer in well-formed frames,
// end the conversation (an error or a disconnect reply being its last
// frame), and give back every advise link the conversation held.
#include "platform/LocalSocket.h"
#include "platform/fuzz/FuzzSupport.h"
#include "shell/simple_server_one.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

orv::TDDEServer &Server()
{
    static orv::TFuzzScopes scopes;
    static orv::TDDEServer *server = [] {
        // The server's runtime folder: the fuzzer's own, private scratch folder.
        ::setenv("XDG_RUNTIME_DIR", orv::FuzzFolder().c_str(), 1);
        auto *s = new orv::TDDEServer;
        s->PollingDelay = 0;
        s->OnPoke = [](int, const std::string &) {};
        if (!s->Register_Server(3, "miller", "data", "status", false))
            std::abort();
        return s;
    }();
    return *server;
}

bool KnownReply(uint8_t Type)
{
    return (Type > orv::ddeReply && Type <= (orv::ddeReply | orv::ddeDisconnect)) ||
           Type == orv::ddeAdviseData || Type == orv::ddeError;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    orv::TDDEServer &server = Server();
    orv::TLocalClient client;
    std::string error;
    if (!client.Connect("miller", error) || !client.Send(Data, Size))
        std::abort();
    client.FinishSending();
    std::string replies;
    bool closed = false;
    for (int i = 0; i < 200 && !closed; ++i) {
        server.Poll();
        replies += client.Receive(i < 2 ? 0 : 5, &closed);
    }
    if (!closed || server.AdviseLinks() != 0)
        std::abort();
    size_t at = 0;
    uint8_t last = 0;
    while (at < replies.size()) {
        if (replies.size() - at < 5)
            std::abort();
        uint32_t length = 0;
        for (int k = 3; k >= 0; --k)
            length = length << 8 | uint8_t(replies[at + size_t(k)]);
        if (length == 0 || length > replies.size() - at - 4)
            std::abort();
        const uint8_t type = uint8_t(replies[at + 4]);
        if (!KnownReply(type) || last == orv::ddeError || last == (orv::ddeReply | orv::ddeDisconnect))
            std::abort();
        last = type;
        at += 4 + length;
    }
    return 0;
}
