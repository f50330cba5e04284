#pragma once
// The items of File > Source, read from section [source] of the main
// settings file: one item per key in file order, named "MenuSource" + its
// 1-based position, captioned with the key name, its Tag the key's value
// (1 file, 2 editor, 3 compiled program, 4 Fanuc 21, 9 Fanuc 0M) or its
// position when the value is no number.
#include <string>
#include <vector>

namespace orv {

struct TSourceItem {
    std::string Name;
    std::string Caption; // untranslated key name
    int Tag = 0;
};

std::vector<TSourceItem> ReadSourceMenu(const std::string &MainSettingsFile);

} // namespace orv
