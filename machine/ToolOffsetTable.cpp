#include "machine/ToolOffsetTable.h"

#include "platform/NumberText.h"
#include "platform/IniFile.h"

#include <algorithm>

namespace orv {

namespace {

constexpr int RowsPerColumn = 8;
constexpr int RowPitch = 20;

} // namespace

void TToolOffsetTable::Load(const std::string &FileName)
{
    TIniFile ini(FileName);
    Texts.assign(std::max(OffsetCount, 0), std::string());
    for (int i = 0; i < static_cast<int>(Texts.size()); ++i)
        Texts[i] = ini.ReadString(Section, IntToStr(i + 1), "");
}

bool TToolOffsetTable::Save(const std::string &FileName) const
{
    TIniFile ini(FileName);
    for (int i = 0; i < static_cast<int>(Texts.size()); ++i) {
        ini.WriteString(Section, IntToStr(i + 1), Texts[i]);
        if (!ini.LastWriteOk())
            return false;
    }
    return true;
}

void TToolOffsetTable::Clear() { Texts.assign(std::max(OffsetCount, 0), std::string()); }

TOffsetEntryPlace TToolOffsetTable::Place(int Number) const
{
    const int perTab = std::max(OffsetCount / 4, 1);
    const int index = Number - 1;
    TOffsetEntryPlace place;
    place.Tab = std::min(index / perTab, 3);
    const int k = index - place.Tab * perTab;
    const bool left = k < RowsPerColumn;
    const int row = left ? k : k - RowsPerColumn;
    place.LabelLeft = left ? 5 : 110;
    place.EditLeft = left ? 40 : 150;
    place.LabelTop = RowPitch * row + 7;
    place.EditTop = RowPitch * row + 5;
    return place;
}

int TToolOffsetTable::PanelHeight() const
{
    return Round(static_cast<long double>(OffsetCount) / RowsPerColumn * RowPitch) + 20;
}

} // namespace orv
