#pragma once
// The settings-file class of the program: the platform's ini file with two
// additions, reading one element of a comma-separated value and counting
// (and tidying away) the keys of a section.

#include "platform/IniFile.h"

namespace orv {

class TDIniFile : public TIniFile {
public:
    using TIniFile::TIniFile;

    // Reads the value (at most 1024 characters, Default when missing) and
    // sets Item to its Index-th comma-separated element, counted from 0 and
    // not trimmed; Default when Index is past the last element. A negative
    // Index leaves Item unchanged.
    void ReadListItem(const std::string &Section, const std::string &Ident, int Index,
                      std::string &Item, const std::string &Default) const;

    // Number of keys in the section; an empty section is erased when EraseIfEmpty.
    int SectionKeyCount(const std::string &Section, bool EraseIfEmpty);
};

} // namespace orv
