// The engine form's tooling: the tool library, the tool changer (which owns
// the library) and the work offsets, their files from the [Tooling] settings
// and the changer's size and current tool from the machine data.

#include "engine/base.h"

#include "engine/Cutter_comp.h"
#include "engine/DIniFile.h"
#include "engine/DUtils.h"
#include "machine/Machine_Tooling.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/ToolingMessages.h"
#include "machine/Tooling_lib.h"
#include "machine/Work_piece_offset.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

namespace orv {

namespace {

constexpr int MessageNoToolingFile = 20;

std::unique_ptr<TTooling_Library> MakeToolLibrary(TComponent *Owner)
{
    auto library = std::make_unique<TTooling_Library>(Owner);
    library->SetCutterType(SlotMill);
    return library;
}

} // namespace

void TBaseForm::CreateTooling()
{
    FTooling = std::make_unique<TMachine_Tooling>(this);
    FTooling->ConfirmationToolChange = false;
    FTooling->WarnBeforeToolChange = false;
    FTooling->UseToolInUseFlag = false;
    FTooling->SetDirectionOfToolLayout(ClockWise);
    FTooling->SetUnits(Metric);
    FTooling->SetToolLibrary(MakeToolLibrary(this));
    FWorkOffsets = std::make_unique<TWork_piece_offset>(this);
    FWorkOffsets->SetGraphicStyle(Gs_2d);
}

// The library file defaults to the settings file's name with ".MTD"; a
// missing changer file is asked for (message 20) or noted in the settings.
void TBaseForm::LoadToolFiles(TDIniFile &Settings)
{
    TTooling_Library &library = *FTooling->ToolLibrary();
    std::string libraryFile = Settings.ReadString("Tooling", "Tool Library", "");
    library.SetDataFile(libraryFile);
    if (libraryFile.empty() || !FileExists(library.DataFile()))
        library.SetDataFile(ChangeFileExt(MainIniPath(), ".MTD"));
    FTooling->SetDataFile(Settings.ReadString("Tooling", "Tool File name", ""));
    if (!FileExists(FTooling->DataFile())) {
        int answer = ShowToolingMessage(NumberedText(MessageNoToolingFile), mtWarning, mbYesNo);
        if (answer == mrYes)
            FTooling->OpenToolingFile();
        else
            Settings.WriteString("Tooling", "Tool File Name", "Tooling File not Found (MTF)");
    }
    FTooling->UseToolInUseFlag = true;
    FWorkOffsets->Tooling = FTooling.get();
    FWorkOffsets->SetCurrentMOffset(Settings.ReadString("Default Settings", "Machine Offset", ""));
    FWorkOffsets->SetCurrentSOffset(
        Settings.ReadString("Default Settings", "Simulation Offset", ""));
}

// The changer's size from the machine data, the last tool back in the
// spindle, and the cutter compensation reads its diameter.
void TBaseForm::ApplyToolCount()
{
    // Without machine data (no tool count) the changer keeps all its
    // positions rather than holding no tool at all.
    int count = FMachineData->ToolChange.MaximumNumber;
    if (count <= 0)
        count = TMachine_Tooling::MaxPositions;
    FTooling->SetToolCapacity(count);
    FTooling->SetMachineToolCount(count);
    const int lastTool = TDIniFile(MainIniPath()).ReadInteger("tooling", "Last Tool", 1);
    FTooling->SetCurrentTool(lastTool);
    FTooling->RequestToolChange(lastTool, true);
    FCutter->Tooling = FTooling.get();
}

// At exit: the tool in the spindle, and the changer file while it exists.
void TBaseForm::SaveToolSettings(TDIniFile &Settings)
{
    if (!FTooling)
        return;
    Settings.WriteInteger("Tooling", "last tool", FTooling->CurrentTool());
    if (FileExists(FTooling->DataFile()))
        Settings.WriteString("Tooling", "Tool File name", FTooling->DataFile());
}

} // namespace orv
