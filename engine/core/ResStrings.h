#pragma once
// The program's own runtime texts (conversion errors and the like) as
// resource strings: registered with the localisation hooks under fixed
// identifiers, and loaded through them, so that they come out translated
// while the message dictionary is open. A text's "%s" marks take the
// values it quotes, after translation.

#include <initializer_list>
#include <string>

namespace orv {

enum TResStringId : int {
    SInvalidInteger = 65408, // "'%s' is not a valid integer value"
    SInvalidFloat = 65409,   // "'%s' is not a valid floating point value"
};

// Registers the texts above; the message module and the first ResString
// call it.
void RegisterProgramStrings();

// The loaded (translated) text of Id with each "%s" replaced by the next
// of Args in turn.
std::string ResString(int Id, std::initializer_list<std::string> Args = {});

} // namespace orv
