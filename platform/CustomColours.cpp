#include "platform/CustomColours.h"
#include "platform/SafeSave.h"

#include <cstdio>
#include <fstream>

namespace orv {

TCustomColours ReadCustomColours(const std::string &File)
{
    TCustomColours colours;
    colours.fill(-1);
    std::ifstream in(File, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() < 8 || line.size() > 13 || line.compare(0, 5, "Color") != 0 ||
            line[6] != '=')
            continue;
        const int index = line[5] - 'A';
        if (index < 0 || index >= 16)
            continue;
        const std::string digits = line.substr(7);
        if (digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            continue;
        const unsigned long value = std::stoul(digits, nullptr, 16);
        if (value <= 0xFFFFFF)
            colours[index] = static_cast<int32_t>(value);
    }
    return colours;
}

bool WriteCustomColours(const std::string &File, const TCustomColours &Colours)
{
    std::string text;
    for (size_t k = 0; k < Colours.size(); ++k) {
        if (Colours[k] < 0)
            continue;
        char line[24];
        std::snprintf(line, sizeof line, "Color%c=%06X\r\n", static_cast<char>('A' + k),
                      static_cast<unsigned>(Colours[k] & 0xFFFFFF));
        text += line;
    }
    return static_cast<bool>(SaveFileReplacing(File, text));
}

} // namespace orv
