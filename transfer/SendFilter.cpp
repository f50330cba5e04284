#include "transfer/SendFilter.h"

#include <algorithm>
#include <cctype>

namespace orv {

namespace {
unsigned char Lower(char C) {
    return static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(C)));
}

bool StartsWithNoCase(const std::string &Line, const std::string &Prefix) {
    if (Prefix.empty() || Prefix.size() > Line.size())
        return false;
    return std::equal(Prefix.begin(), Prefix.end(), Line.begin(),
                      [](char A, char B) { return Lower(A) == Lower(B); });
}
} // namespace

bool IsBlankLine(const std::string &Line) {
    return std::all_of(Line.begin(), Line.end(),
                       [](char C) { return static_cast<unsigned char>(C) <= ' '; });
}

std::string CasedLine(const std::string &Line, const TSendOptions &Options) {
    std::string out = Line;
    if (Options.LowerOnly)
        for (char &c : out)
            c = char(std::tolower(static_cast<unsigned char>(c)));
    if (Options.UpperOnly)
        for (char &c : out)
            c = char(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::string> WireText(const std::string &Line, const TSendOptions &Options) {
    if (StartsWithNoCase(Line, Options.Comment1) || StartsWithNoCase(Line, Options.Comment2))
        return std::nullopt;
    if (Options.StripBlank && IsBlankLine(Line))
        return std::nullopt;
    std::string wire = Line + '\r';
    if (Options.AppendLF)
        wire += '\n';
    return wire;
}

} // namespace orv
