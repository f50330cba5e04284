#include "simcontrol/MoveList.h"

namespace orv {

void MoveList::Append(const MoveRecord &Record)
{
    FRecords.push_back(Record);
    if (std::holds_alternative<LineMoveRecord>(Record))
        ++FLines;
    else if (std::holds_alternative<ArcMoveRecord>(Record))
        ++FArcs;
}

void MoveList::Clear()
{
    FRecords.clear();
    FRecords.shrink_to_fit();
    FLines = FArcs = 0;
}

} // namespace orv
