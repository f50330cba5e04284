#include "transfer/SendCursor.h"

#include <algorithm>

namespace orv {

bool NextSendLine(const std::string &Text, size_t &Position, std::string &Line) {
    if (Text.empty())
        return false;
    size_t start = std::min(Position, Text.size());
    size_t cr = Text.find('\r', start);
    size_t end = cr == std::string::npos ? Text.size() : cr;
    Line = Text.substr(start, end - start);
    if (Line.size() == 1 && Line[0] == '\0')
        Line.clear();
    Position = end + 1;
    if (Position <= Text.size())
        return true;
    while (!Line.empty() && static_cast<unsigned char>(Line.back()) <= ' ')
        Line.pop_back();
    return false;
}

} // namespace orv
