#pragma once
// The sender's walk through an editor text whose paragraphs end in a single
// CR: each call hands out the next CR-separated part; the part after the
// last CR comes with false (also when empty) and is right-trimmed.

#include <string>

namespace orv {

// Text: the editor's whole text; Position: index of the next character to
// send, moved past the CR. False with the last part. An empty Text gives
// false and leaves Line as it was.
bool NextSendLine(const std::string &Text, size_t &Position, std::string &Line);

} // namespace orv
