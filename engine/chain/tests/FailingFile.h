#pragma once
// A program file that fails with a read error after its first few bytes,
// and a file source that reads every program through one.

#include "engine/chain/FileInput.h"

#include <memory>
#include <string>

namespace orv::test {

class TFailingFile : public TInputFile {
public:
    explicit TFailingFile(int GoodBytes) : FGood(GoodBytes) {}
    TRead ReadByte(uint8_t &Byte) override
    {
        if (FPosition >= FGood)
            return TRead::Failed;
        Byte = "G1 X1\nG1 X2\n"[FPosition++];
        return TRead::Byte;
    }
    int64_t Position() const override { return FPosition; }
    int64_t Size() const override { return 12; }
    bool SeekStart() override
    {
        FPosition = 0;
        return true;
    }

private:
    int FGood;
    int FPosition = 0;
};

// The first line ("G1 X1") reads; the second fails.
class TFailingInput : public TFileInput {
protected:
    std::unique_ptr<TInputFile> OpenFile(const std::string &) override
    {
        return std::make_unique<TFailingFile>(8);
    }
};

} // namespace orv::test
