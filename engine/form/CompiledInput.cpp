#include "engine/form/CompiledInput.h"

#include "engine/chain/EngineHost.h"
#include "engine/core/Mess.h"
#include "engine/core/data_types.h"
#include "platform/NumberText.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

namespace orv {

namespace {

bool IsCompiledName(const std::string &FileName)
{
    return UpperCase(ExtractFileExt(FileName)) == ".XNC";
}

} // namespace

TCompiledInput::TCompiledInput(std::unique_ptr<TProgressView> Progress)
    : FProgress(std::move(Progress))
{
    if (!FProgress)
        return;
    FProgress->SetCaption(Mess().Translate("Compiled Input"));
    FProgress->SetMaximum(0);
    FProgress->Show();
}

TCompiledInput::~TCompiledInput() { CloseFile(); }

void TCompiledInput::CloseFile()
{
    if (FFile)
        std::fclose(FFile);
    FFile = nullptr;
}

bool TCompiledInput::LoadFile(std::string &FileName)
{
    if (ExtractFileName(FileName).empty()) {
        OpenDialog.InitialDir = ExtractFilePath(FileName);
        OpenDialog.Filter = "Corvane Compiled CNC File (*.xnc)|*.XNC";
        OpenDialog.DefaultExt = "XNC";
        OpenDialog.Title = "Open Compiled File";
        if (!ExecuteOpenDialog(FileName))
            return false;
    }
    if (!IsCompiledName(FileName))
        return false;
    return OpenFile(FileName);
}

bool TCompiledInput::OpenFile(const std::string &FileName)
{
    CloseFile();
    FFile = std::fopen(FileName.c_str(), "rb");
    if (!FFile)
        return false;
    std::fseek(FFile, 0, SEEK_END);
    FSize = std::ftell(FFile);
    std::fseek(FFile, 0, SEEK_SET);
    FFileName = FileName;
    FPosition = 0;
    FRecordCount = 0;
    if (FProgress) {
        FProgress->SetMaximum(FSize);
        FProgress->SetCaption(Mess().Translate("Compiled Input - ") + FileName);
        FProgress->SetPosition(0);
    }
    return true;
}

void TCompiledInput::Rewind()
{
    if (FFile)
        std::fseek(FFile, 0, SEEK_SET);
    FPosition = 0;
    FRecordCount = 0;
    if (!FProgress)
        return;
    FProgress->SetPosition(0);
    FProgress->SetPanel(0, Mess().Translate("Current Line = ") + "0");
}

void TCompiledInput::ShowPosition()
{
    if (!FProgress)
        return;
    FProgress->SetPosition(FPosition);
    FProgress->SetPanel(0, Mess().Translate("Current Line = ") + IntToStr(FRecordCount));
}

void TCompiledInput::ReportFault(const std::string &Detail)
{
    if (OnErrorEvent)
        OnErrorEvent(this, FRecordCount, Detail, Mess().MessageText(21));
}

void TCompiledInput::EndRecord(TCompiledRecord &Rec)
{
    SetRecordInt(Rec, xnc::Motion, EndOfProgramCode);
}

bool TCompiledInput::ReadRecord(TCompiledRecord &Rec)
{
    if (!FFile) {
        EndRecord(Rec);
        return false;
    }
    size_t got = std::fread(Rec.data(), 1, Rec.size(), FFile);
    FPosition += (long long)got;
    if (got == 0 && std::ferror(FFile)) {
        ReportFault(Mess().Translate("Error reading file ") + FFileName);
        EndRecord(Rec);
        return false;
    }
    if (got == 0) {
        // The file ended after a whole record: a run that was stopped wrote
        // no end record, so the end comes here, after its last record ran.
        EndRecord(Rec);
        ShowPosition();
        return false;
    }
    ++FRecordCount;
    ShowPosition();
    if (got < Rec.size()) {
        ReportFault("Record " + IntToStr(FRecordCount) + " is short: " + IntToStr((long long)got) +
                    " of " + IntToStr(CompiledRecordSize) + " bytes");
        EndRecord(Rec);
        return false;
    }
    std::string fault = CompiledRecordFault(Rec);
    if (!fault.empty()) {
        ReportFault("Record " + IntToStr(FRecordCount) + ": " + fault);
        EndRecord(Rec);
        return false;
    }
    return true;
}

uint8_t TCompiledInput::GetState()
{
    if (!FFile)
        return 0;
    if (FPosition >= FSize)
        return 2;
    return FPosition > 0 ? 1 : 0;
}

} // namespace orv
