// Linked into ncrun: with ORV_RECORDING_CARDS naming a file, the motion
// card controllers (Control Types 1 and 7) get recording cards whose calls
// are appended to that file, so a run can be checked without hardware.

#include "links/sim/RecordingCards.h"

#include <cstdlib>

namespace {

const bool gInstalled = [] {
    if (const char *log = std::getenv("ORV_RECORDING_CARDS"))
        orv::InstallRecordingCards(log);
    return true;
}();

} // namespace
