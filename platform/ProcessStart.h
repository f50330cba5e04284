#pragma once
// Starting an outside program the way the desktop's "open" verb does: the
// program runs on its own (it outlives this one and is never waited for),
// in a given working folder, with a command-line parameter text.
#include <string>
#include <vector>

namespace orv {

// The words of a parameter text: blanks separate them, double quotes group
// blanks into a word ("a b" c gives a b, c); the quotes themselves go.
std::vector<std::string> SplitParameters(const std::string &Parameters);

// Starts Program detached in WorkingFolder (the current folder when empty)
// with the words of Parameters. False when it could not be started (no such
// program, not executable, no such folder); nothing is reported.
bool StartDetached(const std::string &Program, const std::string &Parameters,
                   const std::string &WorkingFolder);

} // namespace orv
