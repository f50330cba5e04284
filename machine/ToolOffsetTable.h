#pragma once
// The numbered tool offset table of the "Tool Offsets" dialog: free texts
// kept as keys "1" to "64" of section "Tool Offset Table" in the main
// settings file and exchanged with tool offset files (".TOF"), and where
// the dialog lays each entry out on its four tabs.

#include <string>
#include <vector>

namespace orv {

struct TOffsetEntryPlace {
    int Tab = 0;       // 0 to 3
    int LabelLeft = 0; // pixels within the tab's panel
    int LabelTop = 0;
    int EditLeft = 0;
    int EditTop = 0;
};

class TToolOffsetTable {
public:
    static constexpr const char *Section = "Tool Offset Table";
    static constexpr const char *FileFilter = "Tool Offsets File|*.TOF|Any File|*.*";
    static constexpr const char *DefaultExt = "TOF";

    // Number of offsets; the tool changer sets 64 before filling.
    int OffsetCount = 64;
    // Texts of the offsets 1 to OffsetCount (index 0 to OffsetCount - 1).
    std::vector<std::string> Texts;

    // Loads every text from FileName (empty when the key is missing).
    void Load(const std::string &FileName);
    // Writes every text as typed into FileName. False when it could not be written.
    bool Save(const std::string &FileName) const;
    // Empties every text ("New").
    void Clear();

    // Place of entry Number (1 to OffsetCount): tab t holds t*q+1 to (t+1)*q
    // with q = OffsetCount div 4, in two columns of eight.
    TOffsetEntryPlace Place(int Number) const;
    // Height of a tab's panel: Round(OffsetCount / 8 * 20) + 20 (180 for 64).
    int PanelHeight() const;
};

} // namespace orv
