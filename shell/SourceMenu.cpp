#include "shell/SourceMenu.h"

#include "platform/IniFile.h"
#include "platform/NumberText.h"

namespace orv {

std::vector<TSourceItem> ReadSourceMenu(const std::string &MainSettingsFile) {
    TIniFile ini(MainSettingsFile);
    std::vector<TSourceItem> items;
    const std::vector<std::string> keys = ini.ReadSection("source");
    for (size_t i = 0; i < keys.size(); ++i) {
        const int position = static_cast<int>(i) + 1;
        TSourceItem item;
        item.Name = "MenuSource" + std::to_string(position);
        item.Caption = keys[i];
        int32_t tag = 0;
        item.Tag = TryStrToInt(Trim(ini.ReadString("source", keys[i], "")), tag) ? tag : position;
        items.push_back(item);
    }
    return items;
}

} // namespace orv
