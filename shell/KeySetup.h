#pragma once
// What the "Axis Key Definition" dialog does with the jog-key table: a
// function button selects a function (Tag 1 to 10), then the next key that
// has a display name is stored for it at once, so the panels use it before
// OK saves the table.
#include <cstdint>
#include <string>

namespace orv {

class TJogKeyTable;

class TJogKeySetup {
public:
    explicit TJogKeySetup(TJogKeyTable &Table) : FTable(Table) {}

    // A function button was pressed (Tag 1 to 10).
    void SelectFunction(int Tag);
    // A key was pressed in the dialog; true when it was stored.
    bool KeyPressed(uint16_t VirtualKey);
    // The key shown for a function (index 0 to 9): its display name.
    std::string ShownKey(int Index) const;

    int Selected() const { return FSelected; }
    TJogKeyTable &Table() { return FTable; }

private:
    TJogKeyTable &FTable;
    int FSelected = 0;
};

} // namespace orv
