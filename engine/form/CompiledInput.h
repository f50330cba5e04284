#pragma once
// The compiled source (kind 3): replays an ".XNC" file record by record.
// Its progress window shows the file position and the record count. A file
// written by a stopped run has no end record: its last record runs and the
// next read ends the program. A short last record or a record the writer
// cannot have made is reported through OnErrorEvent and ends the program.

#include "engine/chain/BasicInput.h"
#include "engine/core/Base_cnc.h"
#include "engine/form/CompiledRecord.h"

#include <cstdio>
#include <memory>
#include <string>

namespace orv {

class TProgressView;

class TCompiledInput : public TBasicInput {
public:
    // Progress may be null (no window).
    explicit TCompiledInput(std::unique_ptr<TProgressView> Progress);
    ~TCompiledInput() override;

    // A name with a file part opens only an ".XNC" file; without one, the
    // open dialog asks for it. False when nothing was opened.
    bool LoadFile(std::string &FileName) override;
    void Rewind() override;
    // Reads the next record; false at the end of the file (Rec's motion is
    // then -101, so the program ends), after a short or faulty record, and
    // after a read error (each reported through OnErrorEvent) and with no
    // file loaded.
    bool ReadRecord(TCompiledRecord &Rec) override;
    // 0 no file or nothing read, 1 within the file, 2 at its end.
    uint8_t GetState() override;

    int RecordCount() const { return FRecordCount; }
    const std::string &FileName() const { return FFileName; }

    // Faults of the file: Error_pos is the record number (from 1),
    // error_string the detail, error_message "Sorry File not recognised".
    EErrorNotify OnErrorEvent;

private:
    bool OpenFile(const std::string &FileName);
    void CloseFile();
    void ShowPosition();
    void ReportFault(const std::string &Detail);
    void EndRecord(TCompiledRecord &Rec);

    std::unique_ptr<TProgressView> FProgress;
    std::FILE *FFile = nullptr;
    std::string FFileName;
    long long FSize = 0;
    long long FPosition = 0;
    int FRecordCount = 0;
};

} // namespace orv
