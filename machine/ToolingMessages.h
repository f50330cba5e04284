#pragma once
// Message boxes of the tooling and offset units whose text is put together
// from numbered messages and names: the standard dialog with the translated
// caption of its type ("Warning", "Error", "Information", "Confirm").

#include <string>

namespace orv {

// Shows Text (already translated) in the standard dialog of Type (0 warning,
// 1 error, 2 information, 3 confirmation); returns the modal result.
int ShowToolingMessage(const std::string &Text, int Type, unsigned Buttons);

// The translated numbered message Index.
std::string NumberedText(int Index);

// Any text through the dictionary.
std::string Tr(const std::string &Text);

} // namespace orv
