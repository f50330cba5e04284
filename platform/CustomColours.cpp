#include "platform/CustomColours.h"

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
    std::ofstream out(File, std::ios::binary | std::ios::trunc);
    for (size_t k = 0; k < Colours.size() && out; ++k) {
        if (Colours[k] < 0)
            continue;
        char text[16];
        std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(Colours[k] & 0xFFFFFF));
        out << "Color" << static_cast<char>('A' + k) << '=' << text << "\r\n";
    }
    out.flush();
    return static_cast<bool>(out);
}

} // namespace orv
