#pragma once
// One move record as ncrun prints it: line number, motion, X, Y, Z, I, J, K,
// R, sweep, radius, plane, feed, spindle, M code, tool, text, separated by
// one blank; reals with four decimals, unset values (9e9, -1000, no text)
// as "-".

#include <string>

namespace orv {

class TCNC_data;

std::string RecordLine(const TCNC_data &Data);
// The same record added to the end of Line.
void AppendRecordLine(std::string &Line, const TCNC_data &Data);

} // namespace orv
