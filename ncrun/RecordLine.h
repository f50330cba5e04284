#pragma once
// One move record as ncrun prints it: line number, motion, X, Y, Z, I, J, K,
// R, sweep, radius, plane, feed, spindle, M code, tool, text, separated by
// one blank; reals with four decimals, unset values (9e9, -1000, no text)
// as "-".

#include <cstdint>
#include <string>

namespace orv {

class TCNC_data;

std::string RecordLine(const TCNC_data &Data);
// The same record added to the end of Line.
void AppendRecordLine(std::string &Line, const TCNC_data &Data);

// Prints records one after another: a real equal to the one the record
// before had in the same field reuses that text instead of being formatted
// again (consecutive moves share most of their values). The lines are those
// of AppendRecordLine.
class TRecordPrinter {
public:
    void Append(std::string &Line, const TCNC_data &Data);

    static constexpr int RealCount = 10;
    static constexpr int TextRoom = 32;
    struct TRealText {
        unsigned char Bits[16]; // of the value written
        uint8_t Length = 0;     // 0: nothing kept
        char Text[TextRoom];
    };

private:
    TRealText FTexts[RealCount];
};

} // namespace orv
