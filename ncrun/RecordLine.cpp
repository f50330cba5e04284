#include "ncrun/RecordLine.h"

#include "engine/core/data_types.h"
#include "platform/NumberText.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace orv {

namespace {

// The numbers of a record go into a buffer on the stack first and reach the
// line in one append; a real the quick path cannot write (2^63 and beyond,
// infinities) goes through FormatFixed.
class TRecordWriter {
public:
    explicit TRecordWriter(std::string &Line) : FLine(Line) {}
    ~TRecordWriter() { Flush(); }

    void Char(char C) { *FAt++ = C; }
    void Code(int32_t Value)
    {
        *FAt++ = ' ';
        if (Value == NoMoveCode)
            *FAt++ = '-';
        else
            Int(Value);
    }
    void Int(int32_t Value) { FAt = std::to_chars(FAt, FAt + 12, Value).ptr; }
    // A double field is read as a double: only a value to format is widened.
    // The same bits have the same text (the bits of an x87 extended are its
    // first ten bytes). Whole rooms are copied: a fixed size copies faster
    // than the length.
    template <typename TReal>
    void Real(TReal Value, TRecordPrinter::TRealText &Kept)
    {
        *FAt++ = ' ';
        if (Value == NoValue) {
            *FAt++ = '-';
            return;
        }
        constexpr size_t Bits = std::numeric_limits<TReal>::digits == 64 ? 10 : sizeof(TReal);
        static_assert(sizeof(TReal) >= Bits && sizeof Kept.Bits >= Bits);
        if (Kept.Length != 0 && std::memcmp(Kept.Bits, &Value, Bits) == 0) {
            std::memcpy(FAt, Kept.Text, sizeof Kept.Text);
            FAt += Kept.Length;
            return;
        }
        std::memcpy(Kept.Bits, &Value, Bits);
        NewReal(Value, Kept);
    }
    // A value to format, its text kept for the records after when it fits
    // the quick path.
    void NewReal(long double Value, TRecordPrinter::TRealText &Kept)
    {
        if (char *end = FormatFixedTo(FAt, Value, 4)) {
            Kept.Length = static_cast<uint8_t>(end - FAt);
            std::memcpy(Kept.Text, FAt, sizeof Kept.Text);
            FAt = end;
            return;
        }
        Kept.Length = 0;
        Flush();
        FLine += FormatFixed(Value, 4);
    }
    void Flush()
    {
        FLine.append(FBuffer, FAt);
        FAt = FBuffer;
    }

private:
    // Room for every number of one record at their longest, and for a
    // whole text room copied at the last of them.
    char FBuffer[20 * (FixedTextSize + 2)];
    char *FAt = FBuffer;
    std::string &FLine;
};

} // namespace

std::string RecordLine(const TCNC_data &Data)
{
    std::string line;
    line.reserve(160 + Data.Text.size());
    AppendRecordLine(line, Data);
    return line;
}

void AppendRecordLine(std::string &Line, const TCNC_data &Data)
{
    TRecordPrinter().Append(Line, Data);
}

void TRecordPrinter::Append(std::string &Line, const TCNC_data &Data)
{
    static_assert(TextRoom == FixedTextSize);
    {
        TRecordWriter out(Line);
        out.Int(Data.LineNumber);
        out.Code(Data.Motion);
        TRealText *kept = FTexts;
        for (double value : {Data.X, Data.Y, Data.Z, Data.I, Data.J, Data.K, Data.R})
            out.Real(value, *kept++);
        out.Real(Data.Sweep, *kept++);
        out.Real(Data.Radius, *kept++);
        out.Char(' ');
        out.Int(Data.Plane);
        out.Real(Data.Feed, *kept);
        out.Code(Data.Spindle);
        out.Code(Data.MCode);
        out.Code(Data.Tool);
        out.Char(' ');
    }
    if (Data.Text.empty())
        Line += '-';
    else
        Line += Data.Text;
}

} // namespace orv
