#pragma once
// What a program line becomes on Rostrel's wire: the case option applied,
// CR (and LF after it when asked) appended; comment lines and, when asked,
// blank lines are not sent at all.

#include <optional>
#include <string>

namespace orv {

struct TSendOptions {
    bool StripBlank = false; // "Do NOT send blank lines"
    std::string Comment1;    // lines starting with these (any case) are not sent;
    std::string Comment2;    // an empty text never matches
    bool UpperOnly = false;  // "Output everything in UPPERCASE"
    bool LowerOnly = false;  // "Output everything in lowercase"
    bool AppendLF = false;   // "Append LF after CR"
    bool AppendCR = false;   // "Append LF before CR": stored and shown only
};

// True when Line holds no character above the space (an empty line is blank).
bool IsBlankLine(const std::string &Line);

// The line after the case option (lowercase first, then UPPERCASE).
std::string CasedLine(const std::string &Line, const TSendOptions &Options);

// The bytes to write for Line (already cased), or nothing when the line is
// filtered out.
std::optional<std::string> WireText(const std::string &Line, const TSendOptions &Options);

} // namespace orv
