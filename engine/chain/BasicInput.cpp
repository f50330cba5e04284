#include "engine/chain/BasicInput.h"

#include "engine/core/Mess.h"
#include "platform/MessageService.h"

namespace orv {

TBasicInput::~TBasicInput() = default;

void TBasicInput::SetLineSelectChanged(TLineChangeNotifyEvent Event)
{
    OnLineSelectChanged = std::move(Event);
}

int TBasicInput::ReadLine(std::string &Line, int &LineNumber, int &Level)
{
    Line.clear();
    return EndOfMainProgram;
}

void TBasicInput::ShowExpanded(bool Show)
{
    if (!Show)
        HideExpanded();
}

void TBasicInput::ShowExpandedText(const std::string &Text)
{
    if (!Expanded)
        return;
    Expanded->SetCode(Text);
    Expanded->Show();
}

void TBasicInput::HideExpanded()
{
    if (Expanded)
        Expanded->Hide();
}

bool TBasicInput::ExecuteOpenDialog(std::string &FileName) const
{
    TFileRequest Request;
    Request.Kind = TFileDialogKind::Open;
    Request.Title = Mess().Translate(OpenDialog.Title);
    Request.Filter = Mess().Translate(OpenDialog.Filter);
    Request.DefaultExt = OpenDialog.DefaultExt;
    Request.InitialDir = OpenDialog.InitialDir;
    Request.ProgramPreview = true;
    const std::optional<std::string> Chosen = Messages().ChooseFile(Request);
    if (!Chosen || Chosen->empty())
        return false;
    FileName = *Chosen;
    return true;
}

} // namespace orv
