#pragma once
// Saving a file by replacing it: the bytes go to a new file beside the target
// that is then renamed over it, so a save that fails
// part way (disk or quota full, I/O error, the device gone) leaves the old file
// as it was instead of truncated. A symbolic link stays a link: the file it
// points to is replaced.

#include <string>
#include <string_view>

namespace orv {

// Where a save stopped, so callers can word their message.
enum class TSaveStep {
    None,    // saved
    Create,  // no new file could be made (no such folder, no right to write there,
             // the name is a folder or a circle of links)
    Write,   // the bytes could not be written (disk or quota full, I/O error)
    Replace, // they were written but the file could not take the target's place
};

struct TSaveResult {
    TSaveStep Failed = TSaveStep::None;
    std::string Reason; // the system's text for the error ("No space left on device")
    explicit operator bool() const { return Failed == TSaveStep::None; }
};

// Whether a save waits until the new file and its folder are on the disk
// (so that a power cut right after it cannot cost the file): a document the
// user saves, yes; settings written dozens of times a session, no (a flush
// to the disk can take tens of milliseconds each).
enum class TSaveSync { ToDisk, Cached };

// Writes Bytes as the whole content of FileName. An existing file keeps its
// permission bits; a new one gets the usual ones (0666 less the umask). On
// failure only the temporary file is removed and the old file is untouched.
TSaveResult SaveFileReplacing(const std::string &FileName, std::string_view Bytes,
                              TSaveSync Sync = TSaveSync::ToDisk);

} // namespace orv
