// Linked into ncrun only, for runs without hardware:
// - ORV_RECORDING_CARDS naming a file: the motion card controllers (Control
//   Types 1 and 7) get recording cards whose calls are appended to that
//   file; ORV_RECORDING_CARDS_FAULTS names faults of those cards (see
//   RecordingCards.h);
// - ORV_LINE_RESEND_MS: the frame, queued and Trio protocols write again
//   after that many ms without an answer instead of 1 s, so that a run
//   against a silent simulator ends sooner;
// - ORV_ROUTER_ECHO_MS: the router box's echo may take that many ms
//   instead of 1 s (a loaded test machine is no slow box);
// - ORV_PACED_PTY=1: the simulator on the pseudo-terminal paces its bytes
//   at the line's rate (ctrlsim --pace), so the framed protocol judges its
//   answers' timing as on a real line.

#include "links/LineTiming.h"
#include "links/sim/RecordingCards.h"

#include "platform/NumberText.h"

#include <cstdlib>
#include <string>

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
    if (const char *paced = std::getenv("ORV_PACED_PTY"))
        orv::PacedPseudoTerminal() = std::string(paced) == "1";
    return true;
}();

} // namespace
