#include "transfer/ReceiveAssembly.h"

namespace orv {

TReceiveAssembly::TReceiveAssembly() {
    FTimer.SetInterval(FlushMs);
    FTimer.OnTimer = [this] { Flush(); };
}

void TReceiveAssembly::AppendReceived(const std::string &Chunk) {
    AppendReceived(reinterpret_cast<const uint8_t *>(Chunk.data()), int(Chunk.size()));
}

void TReceiveAssembly::AppendReceived(const uint8_t *Data, int Size) {
    std::string piece;
    for (int i = 0; i < Size; ++i) {
        uint8_t c = Data[i];
        if (c > 13) {
            piece += char(c);
        } else if (c == '\r') {
            std::string line = FPending + piece;
            FTimer.SetEnabled(false);
            FPending.clear();
            piece.clear();
            Emit(line, false);
        } else if (c != '\t' && c != '\n') {
            ++FDropped;
        }
    }
    FPending += piece;
    if (!FPending.empty() && !FTimer.Enabled())
        FTimer.SetEnabled(true);
}

void TReceiveAssembly::Flush() {
    FTimer.SetEnabled(false);
    if (FPending.empty())
        return;
    std::string line;
    line.swap(FPending);
    Emit(line, true);
}

void TReceiveAssembly::Reset() {
    FTimer.SetEnabled(false);
    FPending.clear();
}

void TReceiveAssembly::Emit(const std::string &Line, bool WithoutCR) {
    if (OnLine)
        OnLine(Line, WithoutCR);
}

std::string StripControlChars(const std::string &Text) {
    std::string out;
    for (char c : Text)
        if (static_cast<uint8_t>(c) > 13)
            out += c;
    return out;
}

} // namespace orv
