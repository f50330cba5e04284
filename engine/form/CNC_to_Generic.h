#pragma once
// The post-processor output (slot 3): writes the processed program as a
// ".GNC" file, a machine-neutral text of named values each followed by a
// keyword, for an outside post-processor. Header at the start of a run, one
// group of lines per event, and the trailer ("EPILOGUE", "until last_pass")
// when the end record arrives, the run is stopped or the output is freed.

#include "engine/chain/BasicOutput.h"

#include <cstdio>
#include <ctime>
#include <functional>
#include <string>

namespace orv {

class TCNC_to_Generic : public TBasicOutput {
public:
    TCNC_to_Generic();
    ~TCNC_to_Generic() override;

    void RapidMove(double X, double Y, double Z) override;
    void LinearMove(double X, double Y, double Z) override;
    void ArcMove(double X, double Y, double Z, double CentreX, double CentreY, double CentreZ,
                 Extended Sweep, Extended Radius) override;
    void HomeMove(double X, double Y, double Z) override;
    void Dwell(double Milliseconds) override;
    void DoMove(TCNC_data &Data) override;
    void MCodeHook(int &MCode) override;
    void SpindleChange(TCNC_data &Data) override;
    void ToolChange(TCNC_data &Data) override;
    void FeedChange(TCNC_data &Data) override;
    bool Initialise() override;
    // Asks for the file (save dialog in [directories] "GNC Folder"), writes
    // the header and asks for the first record. A cancelled dialog fires
    // OnSaveCancelled and asks for nothing.
    void Start() override;
    void Stop() override;
    void Execute(TCNC_data &Data) override;

    // Writes the trailer and closes the file when one is open.
    void CloseFile();
    bool FileOpen() const { return FFile != nullptr; }

    // The clock of the "DATE = " line (tests and ncrun fix it).
    std::function<std::time_t()> Clock;
    // The save dialog was cancelled: the engine releases this output.
    std::function<void(TObject *Sender)> OnSaveCancelled;
    // The file could not be made or written; Text says which and why.
    std::function<void(TObject *Sender, const std::string &Text)> OnFileError;

private:
    void WriteLine(const std::string &Line);
    void WriteHeader();
    void WriteCoordinates(double X, double Y, double Z);
    void Remember(double X, double Y, double Z);
    bool OpenFile(const std::string &FileName);

    std::FILE *FFile = nullptr;
    std::string FOutName;
    bool FWriteFailed = false;
    int32_t FLastSpindle = 0;
    int32_t FLastTool = 0;
    double FLastX = 0, FLastY = 0, FLastZ = 0;
    double FLastFeed = 0;
};

// "x = " style value: fixed with 3 decimals, right-aligned in 8 characters.
std::string GenericNumber(double Value);
// The user's short date format of the "DATE = " line (day/month/year).
std::string ShortDateText(std::time_t Time);

} // namespace orv
