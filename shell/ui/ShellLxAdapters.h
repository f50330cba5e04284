#pragma once
// The shell's widgets as the form translator sees them: the status bars'
// panels (their texts, and their alignments swapped for right-to-left
// languages), toolbar button captions and tool-window captions.

namespace orv {

// Registers the adapters once for the process.
void RegisterShellLxAdapters();

} // namespace orv
