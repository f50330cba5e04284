#pragma once
// The framed protocol of Control Type 6: as Control Type 0, with a length
// byte (payload bytes + 33) in every write frame but "CT" and "ST", and a
// real download of the controller program through the new-chip loader
// when the version query goes unanswered.

#include "links/LowLevelNewComms.h"

namespace orv {

namespace frames {
// EOT, command, "0" + channel, length byte, payload, ETX, check byte (XOR
// from the EOT to the ETX, the length byte included); "CT" and "ST" have
// no length byte.
std::string LengthWriteFrame(const std::string &Command, int Channel, const std::string &Payload);
} // namespace frames

class TLowLevelNewCommsNewChip : public TLowLevelNewComms {
public:
    TLowLevelNewCommsNewChip() = default;

protected:
    std::string BuildWriteFrame(const std::string &Command, int Channel,
                                const std::string &Payload) const override;
    // False when the port does not reopen or the download fails.
    bool Download(const std::string &ProgramFile) override;
};

} // namespace orv
