// Linked into ncrun only, for runs without hardware:
// - ORV_RECORDING_CARDS naming a file: the motion card controllers (Control
//   Types 1 and 7) get recording cards whose calls are appended to that
//   file; ORV_RECORDING_CARDS_FAULTS names faults of those cards (see
//   RecordingCards.h);
// - ORV_LINE_RESEND_MS: the frame, queued and Trio protocols write again
//   after that many ms without an answer instead of 1 s, so that a run
//   against a silent simulator ends sooner;
// - ORV_ROUTER_ECHO_MS: the router box's echo may take that many ms
//   instead of 1 s (a loaded test machine is no slow box).

#include "links/LineTiming.h"
#include "links/sim/RecordingCards.h"

#include "platform/NumberText.h"

#include <cstdlib>

namespace {

const bool gInstalled = [] {
    if (const char *log = std::getenv("ORV_RECORDING_CARDS")) {
        const char *faults = std::getenv("ORV_RECORDING_CARDS_FAULTS");
        orv::InstallRecordingCards(log, 50, faults ? faults : "");
    }
    if (const char *ms = std::getenv("ORV_LINE_RESEND_MS"))
        if (int v = orv::StrToIntDef(ms, 0); v > 0)
            orv::LineResendMs() = v;
    if (const char *ms = std::getenv("ORV_ROUTER_ECHO_MS"))
        if (int v = orv::StrToIntDef(ms, 0); v > 0)
            orv::RouterEchoMs() = v;
    return true;
}();

} // namespace
