#pragma once
// What the "Tool Data" dialog edits: the seven values of one tool's section
// as texts in the operator's units (lengths) or as whole numbers, which
// texts are acceptable, and how the accepted texts go back into the file.

#include "engine/core/data_types.h"

#include <array>
#include <string>

namespace orv {

class TToolEditValues {
public:
    static constexpr int EditCount = 7;
    // Captions of the edits 1 to 7 (index 0 to 6).
    static const char *const Captions[EditCount];

    // Fills Texts from section ToolName of FileName with the read defaults:
    // the four lengths with FloatToUnitsText in Units, the integers as text.
    void Load(const std::string &FileName, const std::string &ToolName, TUnits Units);
    // True when Text converts for edit Number (1 to 4 reals, 5 to 7 integers).
    static bool IsAcceptable(int Number, const std::string &Text);
    // Writes the lengths in mm as float text and the integers as typed.
    // "OffSET Set" is not touched. False when a text does not convert.
    bool Store(const std::string &FileName, const std::string &ToolName, TUnits Units) const;

    std::array<std::string, EditCount> Texts;
};

} // namespace orv
