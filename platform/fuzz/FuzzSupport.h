#pragma once
// Shared pieces of the fuzz targets: message boxes answered unseen, a test
// event loop with those boxes in place, and a scratch file for the input
// in a folder of the process's own (memory-backed where there is one,
// removed at exit).
#include "platform/EventLoop.h"
#include "platform/MessageService.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>

namespace orv {

class TSilentMessages : public TMessageService {
public:
    int Show(const TMessageRequest &Request) override { return DefaultAnswer(Request); }
    bool InputQuery(const std::string &, const std::string &, std::string &) override {
        return false;
    }
    std::optional<std::string> ChooseFile(const TFileRequest &) override { return std::nullopt; }
};

// The test event loop and the silent boxes, in place while it lives.
struct TFuzzScopes {
    TTestEventLoop Loop;
    TEventLoopScope LoopScope{Loop};
    TSilentMessages Messages;
    TMessageServiceScope MessageScope{Messages};
};

// The scratch folder, with a trailing separator.
inline const std::string &FuzzFolder()
{
    static const std::string folder = [] {
        std::string pattern =
            ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/orvfuzzXXXXXX" : "/tmp/orvfuzzXXXXXX";
        static std::string made = std::string(::mkdtemp(pattern.data())) + "/";
        std::atexit([] { std::filesystem::remove_all(made); });
        return made;
    }();
    return folder;
}

// Writes Data to the scratch file Name and returns its path.
inline std::string FuzzFile(const std::string &Name, const uint8_t *Data, size_t Size)
{
    const std::string path = FuzzFolder() + Name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char *>(Data), std::streamsize(Size));
    return path;
}

} // namespace orv
