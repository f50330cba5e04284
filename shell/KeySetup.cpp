#include "shell/KeySetup.h"

#include "engine/core/DUtils.h"
#include "machine/JogKeyTable.h"

namespace orv {

void TJogKeySetup::SelectFunction(int Tag) {
    if (Tag >= 1 && Tag <= TJogKeyTable::Count)
        FSelected = Tag;
}

bool TJogKeySetup::KeyPressed(uint16_t VirtualKey) {
    if (FSelected == 0 || VirtualKeyName(VirtualKey).empty())
        return false;
    FTable.SetKey(FSelected - 1, VirtualKey);
    return true;
}

std::string TJogKeySetup::ShownKey(int Index) const {
    return VirtualKeyName(FTable.Key(Index));
}

} // namespace orv
