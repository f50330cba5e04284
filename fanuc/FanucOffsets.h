#pragma once
// The OFFSET and WORK SHIFT pages of the Fanuc stations, for reference only:
// the tool offsets of the changer's eight positions (GEOM(H) the length
// offset, GEOM(D) the diameter, mm shown in the station's units) and the
// current machine work offset. The cursor keys move a cell cursor; every
// input key answers with a message that points to the ordinary windows.

#include "engine/core/data_types.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orv {
class TMachine_Tooling;
class TWork_piece_offset;
} // namespace orv

namespace orv::fanuc {

using NotifyErrorMsg = std::function<void(const std::string &Message)>;

class TFanucOffs {
public:
    static constexpr int ToolCount = 8;
    // The tooling (not owned) and the units; builds the rows, cursor on cell 0.
    void Setup(TMachine_Tooling *Source, TUnits Units);
    void RefreshPage();
    // 33/34 page up/down, 37 to 40 cursor; 13, 29, 146, 147, 151, 233 the
    // reference-only message; others nothing. Text (the key-in) is not used.
    void PageKey(int Code, const std::string &Text);
    void SetUnits(TUnits Units);

    // Cell index = tool - 1 + column x 8 (column 0 GEOM(H), 1 GEOM(D)).
    std::vector<std::string> Cells;
    std::vector<std::string> Numbers; // "01" .. "08"
    int Cursor = 0;
    TUnits Units = Metric;
    uint32_t BackColor = 14803425, ForeColor = 0;
    NotifyErrorMsg OnError;
    std::function<void()> OnChange;

private:
    TMachine_Tooling *FTooling = nullptr;
};

class TFanucWShiftForm {
public:
    void Setup(TWork_piece_offset *Source, TUnits Units);
    void RefreshPage();
    // 33/34 -/+ 3, 37 to 40 -/+ 1; 13, 29, 146, 147, 151 the message.
    void PageKey(int Code, const std::string &Text);
    void SetUnits(TUnits Units);

    std::vector<std::string> Cells; // X, Y, Z shift
    int Cursor = 0;
    TUnits Units = Metric;
    uint32_t BackColor = 14803425, ForeColor = 0;
    NotifyErrorMsg OnError;
    std::function<void()> OnChange;

private:
    TWork_piece_offset *FOffsets = nullptr;
};

} // namespace orv::fanuc
