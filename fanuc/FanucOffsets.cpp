#include "fanuc/FanucOffsets.h"

#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "machine/Machine_Tooling.h"
#include "machine/Work_piece_offset.h"
#include "platform/MessageService.h"

#include <cstdio>

namespace orv::fanuc {

namespace {

void ReferenceOnly(const char *Text)
{
    MessageDlg("", Mess().Translate(Text), mtInformation, mbOK);
}

// The cursor step of a page key; 0 for keys that do not move it.
int CursorStep(int Code, int PageStep)
{
    switch (Code) {
    case 33: return -PageStep;
    case 34: return PageStep;
    case 37: case 38: return -1;
    case 39: case 40: return 1;
    default: return 0;
    }
}

bool AnswersWithMessage(int Code) { return Code == 13 || Code == 29 || (Code >= 146 && Code <= 147) || Code == 151; }

} // namespace

void TFanucOffs::Setup(TMachine_Tooling *Source, TUnits NewUnits)
{
    FTooling = Source;
    Units = NewUnits;
    Numbers.clear();
    for (int n = 1; n <= ToolCount; ++n) {
        char text[8];
        std::snprintf(text, sizeof text, "%.2d", n);
        Numbers.push_back(text);
    }
    RefreshPage();
    Cursor = 0;
}

void TFanucOffs::RefreshPage()
{
    Cells.assign(2 * ToolCount, std::string());
    const bool inch = Units == Inch;
    for (int n = 1; n <= ToolCount; ++n) {
        TTool_data data;
        if (FTooling)
            FTooling->GetToolData(n, data);
        else
            data.Diameter = -1;
        const bool empty = data.Diameter == -1.0;
        Cells[n - 1] = FloatToUnitsText(inch, empty ? -1.0 : data.LengthOffset);
        Cells[n - 1 + ToolCount] = FloatToUnitsText(inch, empty ? -1.0 : data.Diameter);
    }
    if (OnChange)
        OnChange();
}

void TFanucOffs::PageKey(int Code, const std::string &)
{
    if (int step = CursorStep(Code, 7)) {
        const int cells = 2 * ToolCount;
        int cell = Cursor + step;
        if (cell >= cells)
            cell -= cells;
        else if (cell < 0)
            cell += cells;
        Cursor = cell;
        if (OnChange)
            OnChange();
        return;
    }
    if (AnswersWithMessage(Code) || Code == 233)
        ReferenceOnly("To alter tool offsets use normal TOOLING button\rThis page is shown for reference only");
}

void TFanucOffs::SetUnits(TUnits NewUnits)
{
    Units = NewUnits;
    RefreshPage();
}

void TFanucWShiftForm::Setup(TWork_piece_offset *Source, TUnits NewUnits)
{
    FOffsets = Source;
    Units = NewUnits;
    RefreshPage();
    Cursor = 0;
}

void TFanucWShiftForm::RefreshPage()
{
    const bool inch = Units == Inch;
    Cells = {FloatToUnitsText(inch, FOffsets ? FOffsets->MX() : 0.0),
             FloatToUnitsText(inch, FOffsets ? FOffsets->MY() : 0.0),
             FloatToUnitsText(inch, FOffsets ? FOffsets->MZ() : 0.0)};
    if (OnChange)
        OnChange();
}

void TFanucWShiftForm::PageKey(int Code, const std::string &)
{
    if (int step = CursorStep(Code, 3)) {
        int cell = Cursor + step;
        Cursor = cell > 2 ? 0 : cell < 0 ? 2 : cell;
        if (OnChange)
            OnChange();
        return;
    }
    if (AnswersWithMessage(Code))
        ReferenceOnly("To alter work offsets use normal OFFSETS button\rThis page is shown for reference only");
}

void TFanucWShiftForm::SetUnits(TUnits NewUnits)
{
    Units = NewUnits;
    RefreshPage();
}

} // namespace orv::fanuc
