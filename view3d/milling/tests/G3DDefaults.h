#pragma once
// A settings file without the "3DGraphics" section, and the path colours
// and background it gives (Windows colours 0x00BBGGRR): the settings record
// and the setup dialog are both checked against these.

#include "platform/tests/TempDir.h"

#include <cstdint>
#include <string>

namespace orv::test {

struct TFileWithoutSection {
    // Other: what the file holds instead ("3D Graphics" is another window's).
    explicit TFileWithoutSection(const std::string &Other = "[Other]\r\nx=1\r\n")
        : Ini(Dir.Write("Tarnwick.ini", Other))
    {
    }
    TTempDir Dir;
    std::string Ini;
};

// Rapid, linear and circular path colours, then the background.
inline constexpr int32_t cDefaultColours[4] = {255, 65280, 16711680, 8421440};

} // namespace orv::test
