#include "fanuc/fanuc21/Fanuc21Input.h"

#include "engine/core/Mess.h"
#include "fanuc/fanuc21/Fanuc21Screen.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

namespace orv::fanuc {

TFanuc21Input::TFanuc21Input(TFanucScreen &Station) : FStation(Station) {}

TFanucMemory &TFanuc21Input::Memory() { return MDIFlag ? FStation.MDI : FStation.Program; }
int &TFanuc21Input::Index() { return MDIFlag ? FStation.MDIIndex : FStation.ProgramIndex; }
TFScreen &TFanuc21Input::Pane() { return MDIFlag ? FStation.MDIPane : FStation.ProgramPane; }

void TFanuc21Input::NewStationProgram() { FStation.NewProgram(); }

void TFanuc21Input::NewFile() { NewStationProgram(); }

bool TFanuc21Input::LoadFile(std::string &FileName)
{
    if (!FStation.FileName.empty() && FileExists(FStation.FileName)) {
        if (FStation.Modified)
            FStation.SaveProgram(FStation.FileName);
        OpenDialog.InitialDir = ExtractFilePath(FStation.FileName);
    }
    bool loaded = false;
    if (!ExtractFileName(FileName).empty()) {
        if (UpperCase(ExtractFileExt(FileName)) == ".XNC")
            FileName.clear();
        else if (!(loaded = FStation.LoadProgram(FileName)))
            return false; // the memory and its file name stay
    } else {
        std::string chosen;
        if (ExecuteOpenDialog(chosen)) {
            if (!(loaded = FStation.LoadProgram(chosen)))
                return false;
            FileName = chosen;
        }
    }
    FStation.FileName = FileName;
    RestartSource();
    return loaded;
}

void TFanuc21Input::SaveFileAs(std::string &FileName)
{
    TFileRequest request;
    request.Kind = TFileDialogKind::Save;
    request.Title = Mess().Translate("Save Fanuc File");
    request.Filter = Mess().Translate(OpenDialog.Filter);
    request.DefaultExt = "FNC";
    request.FileName = FStation.FileName;
    request.InitialDir = ExtractFilePath(FStation.FileName);
    std::optional<std::string> chosen = Messages().ChooseFile(request);
    if (chosen && !chosen->empty() && FStation.SaveProgram(*chosen))
        FStation.FileName = *chosen;
    FileName = FStation.FileName;
}

void TFanuc21Input::Rewind()
{
    FStation.ProgramIndex = 0;
    FStation.MDIIndex = 0;
}

int TFanuc21Input::ReadLine(std::string &Line, int &LineNumber, int &Level)
{
    Level = 0;
    const auto &lines = Memory().Lines;
    const int n = int(lines.size());
    int &index = Index();
    const int i = index < 0 ? 0 : index;
    Line = i < n ? lines[i] : std::string();
    LineNumber = i + 1;
    index = i + 1;
    return i >= n ? EndOfMainProgram : i;
}

void TFanuc21Input::GotoLine(int &Line)
{
    Rewind();
    Index() = Line;
}

int TFanuc21Input::FindLabel(const std::string &Label)
{
    const auto &lines = Memory().Lines;
    for (int i = 0; i < int(lines.size()); ++i)
        if (LineCarriesLabel(lines[i], Label))
            return i;
    return -1;
}

// Lines map to blocks through the memory's table, so "%" and blank lines
// never move the highlight ahead of the run.
void TFanuc21Input::HiliteLine(int Position, int Level)
{
    TFScreen &pane = Pane();
    const TFanucMemory &memory = Memory();
    if (Position < HighlightIndex) {
        HighlightIndex = 0;
        FStation.CurrentPane->GotoStart();
    }
    if (Position >= int(memory.Lines.size()))
        Position = int(memory.Lines.size()) - 1;
    if (Position < 0)
        return;
    pane.GotoBlock(memory.BlockOfLine(Position));
    HighlightIndex = Position;
}

void TFanuc21Input::ResetSource()
{
    Rewind();
    HighlightIndex = 0;
    FStation.ProgramIndex = 0;
    FStation.MDIIndex = 0;
}

void TFanuc21Input::RestartSource()
{
    FStation.CurrentPane->GotoStart();
    HighlightIndex = 0;
    Rewind();
}

void TFanuc21Input::OpenFile()
{
    std::string name;
    LoadFile(name);
}

void TFanuc21Input::SaveAsFile()
{
    std::string name;
    SaveFileAs(name);
}

} // namespace orv::fanuc
