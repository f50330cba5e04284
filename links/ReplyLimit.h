#pragma once
// The longest reply a serial receiver collects. No controller of these
// links answers with more than a few hundred bytes (the Mint version line,
// the Trio table of 16 values): more than MaxReplyBytes without the reply's
// end is a line at the wrong baud rate or another device, not a reply.
// A framed receiver drops such a frame and waits for the next STX; an
// unframed one keeps only the last MaxReplyBytes, so an answer that follows
// the noise is still read whole.

#include <cstddef>
#include <string>

namespace orv {

inline constexpr size_t MaxReplyBytes = 4096;

// Keeps the last MaxReplyBytes of an unframed reply; true when bytes went.
inline bool KeepReplyTail(std::string &Buffer) {
    if (Buffer.size() <= MaxReplyBytes)
        return false;
    Buffer.erase(0, Buffer.size() - MaxReplyBytes);
    return true;
}

// For a receiver that looks at its buffer byte by byte: once the buffer has
// grown to twice MaxReplyBytes its last MaxReplyBytes stay (cutting at every
// byte would move the whole buffer each time). KeepReplyTail when a chunk of
// bytes is done brings it within the limit.
inline void TrimReplyTail(std::string &Buffer) {
    if (Buffer.size() > 2 * MaxReplyBytes)
        KeepReplyTail(Buffer);
}

// An answer collected after noise was cut: from the last echo of the line
// sent on, or all of it when the echo is not there.
inline std::string AfterLastEcho(const std::string &Text, const std::string &Line) {
    size_t at = Line.empty() ? std::string::npos : Text.rfind(Line);
    return at == std::string::npos ? Text : Text.substr(at);
}

} // namespace orv
