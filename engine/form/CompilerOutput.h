#pragma once
// The compiled output (slot 2): appends one 120-byte record per move record
// to an ".XNC" file chosen when the run starts, so that the run can be
// replayed later without parsing (TCompiledInput).

#include "engine/chain/BasicOutput.h"
#include "engine/form/CompiledRecord.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace orv {

class TCompilerOutput : public TBasicOutput {
public:
    TCompilerOutput() = default;
    ~TCompilerOutput() override;

    bool Initialise() override;
    // Writes the record and asks for the next one (not after the end record
    // or once stopped); an end record met while stopped becomes -1000.
    void Execute(TCNC_data &Data) override;
    // Asks for the file (save dialog in [directories] "XNC Folder"), creates
    // it and asks for the first record. A cancelled dialog fires
    // OnSaveCancelled and asks for nothing.
    void Start() override;

    // Closes the file (the engine does it at the end of the program and when
    // the output is released).
    void CloseFile();
    bool FileOpen() const { return FFile != nullptr; }

    // The save dialog was cancelled: the engine releases this output.
    std::function<void(TObject *Sender)> OnSaveCancelled;
    // The file could not be made or written; Text says which and why.
    std::function<void(TObject *Sender, const std::string &Text)> OnFileError;

private:
    bool OpenFile(const std::string &Name);
    void ReportFileError(const std::string &What);

    // Writes the records gathered so far; false (reported) when refused.
    bool WriteBatch();

    std::FILE *FFile = nullptr;
    // Records go to the file a batch of 64 KB at a time, through a FILE
    // without a buffer of its own.
    static constexpr size_t BatchSize = (65536 / CompiledRecordSize) * CompiledRecordSize;
    std::unique_ptr<unsigned char[]> FBatch;
    size_t FBatchUsed = 0;
    bool FWriteFailed = false;
    TCompiledRecord FRecord{};
};

} // namespace orv
