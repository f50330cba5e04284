#include "shell/ProgramOpener.h"

#include "platform/NumberText.h"
#include "platform/Paths.h"

namespace orv {

namespace {

constexpr int TagEditorSource = 2;
constexpr int TagCompiledSource = 3;

void MarkLoaded(TProgramOpenerHost &Host, const std::string &FileName) {
    if (IsCompiledProgramName(FileName))
        Host.AfterCompiledLoaded(FileName);
    else
        Host.AfterProgramLoaded(FileName);
}

// The current source could not load FileName: a file that exists goes to
// the source that suits its name when that is another one. Anything else
// leaves the open program as it is.
bool RetryInSuitingSource(TProgramOpenerHost &Host, int Mode, const std::string &FileName) {
    // No name: the source's open dialog was cancelled.
    if (ExtractFileName(NormalisePath(FileName)).empty())
        return false;
    const std::string previous = Host.ProgramFile();
    // The reopen of the current program failed: nothing was loaded.
    if (FileName == previous)
        return false;
    if (!FileExists(FileName)) {
        if (Mode == 0)
            Host.ReportNotFound(FileName);
        return false;
    }
    const int suiting = IsCompiledProgramName(FileName) ? TagCompiledSource : TagEditorSource;
    const int current = Host.SourceTag();
    // Choosing the current source again would only make it afresh, empty.
    if (suiting == current)
        return false;
    Host.SetProgramFile(FileName);
    if (Host.SelectSourceByTag(suiting))
        return true;
    // Not there either: the source and its program come back.
    Host.SetProgramFile(previous);
    Host.SelectSourceByTag(current);
    return false;
}

} // namespace

bool IsCompiledProgramName(const std::string &FileName) {
    return UpperCase(ExtractFileExt(FileName)) == ".XNC";
}

bool OpenProgramFile(TProgramOpenerHost &Host, int Mode, std::string &FileName) {
    if (!Host.EngineStopped())
        return false;
    const TRunButtons before = Host.DisableRunButtons();
    if (Host.LoadInSource(FileName)) {
        Host.ShowProgramPath(FileName);
        MarkLoaded(Host, FileName);
        Host.SetProgramFile(FileName);
        Host.UpdateBillet();
        return true;
    }
    const bool retried = RetryInSuitingSource(Host, Mode, FileName);
    if (!retried)
        Host.RestoreRunButtons(before);
    return retried;
}

} // namespace orv
