#include "engine/core/DIniFile.h"

namespace orv {

namespace {
constexpr size_t MaxValueLength = 1024;
}

void TDIniFile::ReadListItem(const std::string &Section, const std::string &Ident, int Index,
                             std::string &Item, const std::string &Default) const
{
    if (Index < 0)
        return;
    std::string value = ReadString(Section, Ident, Default).substr(0, MaxValueLength);
    size_t start = 0;
    for (int i = 0; i < Index; ++i) {
        size_t comma = value.find(',', start);
        if (comma == std::string::npos) {
            Item = Default;
            return;
        }
        start = comma + 1;
    }
    size_t end = value.find(',', start);
    Item = value.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

int TDIniFile::SectionKeyCount(const std::string &Section, bool EraseIfEmpty)
{
    int count = static_cast<int>(ReadSection(Section).size());
    if (count == 0 && EraseIfEmpty && SectionExists(Section))
        EraseSection(Section);
    return count;
}

} // namespace orv
