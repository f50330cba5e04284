#include "engine/form/CompilerOutput.h"

#include "engine/core/data_types.h"

#include <cerrno>
#include <cstring>

namespace orv {

TCompilerOutput::~TCompilerOutput() { CloseFile(); }

bool TCompilerOutput::Initialise() { return true; }

void TCompilerOutput::ReportFileError(const std::string &What)
{
    FWriteFailed = true;
    if (OnFileError)
        OnFileError(this, What + " " + FileName + ": " + std::strerror(errno));
}

bool TCompilerOutput::OpenFile(const std::string &Name)
{
    CloseFile();
    FileName = Name;
    FWriteFailed = false;
    FFile = std::fopen(Name.c_str(), "wb");
    if (!FFile) {
        ReportFileError("Cannot create");
        return false;
    }
    constexpr size_t BufferSize = 1 << 16; // records go out in large writes
    if (!FFileBuffer)
        FFileBuffer = std::make_unique<char[]>(BufferSize);
    std::setvbuf(FFile, FFileBuffer.get(), _IOFBF, BufferSize);
    return true;
}

void TCompilerOutput::CloseFile()
{
    if (!FFile)
        return;
    bool closed = std::fclose(FFile) == 0;
    FFile = nullptr;
    if (!closed && !FWriteFailed)
        ReportFileError("Cannot write");
}

void TCompilerOutput::Start()
{
    std::string chosen;
    if (!ExecuteSaveDialog("XNC Folder", "XNC",
                           "Corvane Compiled File (*.XNC)|*.XNC|All Files (*.*)|*.*", chosen)) {
        if (OnSaveCancelled)
            OnSaveCancelled(this);
        return;
    }
    Stopped = false;
    if (!OpenFile(chosen))
        return;
    TBasicOutput::Start();
}

void TCompilerOutput::Execute(TCNC_data &Data)
{
    if (FFile && !FWriteFailed) {
        PackCompiledRecord(Data, FRecord);
        if (std::fwrite(FRecord.data(), 1, FRecord.size(), FFile) != FRecord.size())
            ReportFileError("Cannot write");
    }
    bool isEnd = Data.Motion == EndOfProgramCode;
    // The end record is the file's last: closing it here reports a write
    // the disk refused while the run can still say so.
    if (isEnd && !Stopped)
        CloseFile();
    if (!isEnd && !Stopped)
        NotifyNext();
    if (isEnd && Stopped)
        Data.Motion = NoMoveCode;
}

} // namespace orv
