#pragma once
// Whole-section work on the tooling files (tool library, work offsets): a
// section's keys with their values, and a section moved to a new name.

#include <string>
#include <utility>
#include <vector>

namespace orv {

class TIniFile;

// Keys of Section with their values, in file order.
std::vector<std::pair<std::string, std::string>> SectionPairs(const TIniFile &Ini,
                                                              const std::string &Section);

// Writes every key of OldName under NewName, then erases OldName.
void RenameSection(TIniFile &Ini, const std::string &OldName, const std::string &NewName);

} // namespace orv
