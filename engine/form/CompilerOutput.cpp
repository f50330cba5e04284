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
    std::setvbuf(FFile, nullptr, _IONBF, 0);
    if (!FBatch)
        FBatch = std::make_unique<unsigned char[]>(BatchSize);
    FBatchUsed = 0;
    return true;
}

bool TCompilerOutput::WriteBatch()
{
    const size_t size = FBatchUsed;
    FBatchUsed = 0;
    if (size == 0 || std::fwrite(FBatch.get(), 1, size, FFile) == size)
        return true;
    ReportFileError("Cannot write");
    return false;
}

void TCompilerOutput::CloseFile()
{
    if (!FFile)
        return;
    if (!FWriteFailed)
        WriteBatch();
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
        std::memcpy(FBatch.get() + FBatchUsed, FRecord.data(), FRecord.size());
        FBatchUsed += FRecord.size();
        if (FBatchUsed == BatchSize)
            WriteBatch();
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
