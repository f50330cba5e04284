#include "links/LowLevelNewCommsNewChip.h"

#include "links/MsgDrv.h"
#include "links/StdMintNewChip.h"
#include "platform/EventLoop.h"

namespace orv {

namespace frames {
std::string LengthWriteFrame(const std::string &Command, int Channel, const std::string &Payload) {
    if (Command == "CT" || Command == "ST")
        return WriteFrame(Command, Channel, Payload);
    std::string f;
    f += char(EOT);
    f += Command;
    f += char('0' + Channel);
    f += char(Payload.size() + 33);
    f += Payload;
    f += char(ETX);
    f += char(Check(f));
    return f;
}
} // namespace frames

std::string TLowLevelNewCommsNewChip::BuildWriteFrame(const std::string &Command, int Channel,
                                                      const std::string &Payload) const {
    return frames::LengthWriteFrame(Command, Channel, Payload);
}

bool TLowLevelNewCommsNewChip::Download(const std::string &ProgramFile) {
    Suspend();
    ClosePort();
    bool ok;
    {
        TStdMintNewChip loader;
        loader.SettingsFile = SettingsFile;
        loader.ProgressFactory = ProgressFactory;
        ok = loader.Download(Port, ProgramFile);
    }
    if (!MsgDriver().Connect())
        return false;
    EventLoop().ProcessMessages();
    return ok;
}

} // namespace orv
