#include "engine/chain/BasicInput.h"

#include "engine/core/Mess.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"

#include <cctype>

namespace orv {

namespace {

bool IsNumberChar(char C) { return std::isdigit((unsigned char)C) || C == '+' || C == '-' || C == '.'; }

bool SameNumber(const std::string &A, const std::string &B)
{
    long double a = 0, b = 0;
    return TryStrToFloat(A, a) && TryStrToFloat(B, b) && a == b;
}

} // namespace

bool LineCarriesLabel(const std::string &Line, const std::string &Label)
{
    if (Label.empty())
        return false;
    size_t at = Line.find(Label[0]);
    if (at == std::string::npos)
        at = Line.find((char)std::tolower((unsigned char)Label[0]));
    if (at == std::string::npos)
        return false;
    size_t end = at + 1;
    while (end < Line.size() && IsNumberChar(Line[end]))
        ++end;
    return SameNumber(Line.substr(at + 1, end - at - 1), Label.substr(1));
}

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
