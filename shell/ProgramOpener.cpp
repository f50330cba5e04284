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

} // namespace

bool IsCompiledProgramName(const std::string &FileName) {
    return UpperCase(ExtractFileExt(FileName)) == ".XNC";
}

bool OpenProgramFile(TProgramOpenerHost &Host, int Mode, std::string &FileName) {
    (void)Mode;
    if (!Host.EngineStopped())
        return false;
    Host.DisableRunButtons();
    if (Host.LoadInSource(FileName)) {
        Host.ShowProgramPath(FileName);
        MarkLoaded(Host, FileName);
        Host.SetProgramFile(FileName);
        Host.UpdateBillet();
        return true;
    }
    const std::string previous = Host.ProgramFile();
    if (!previous.empty())
        Host.EnableStop();
    if (ExtractFileName(NormalisePath(FileName)).empty())
        return false;
    // The reopen of the current program failed: nothing was loaded.
    if (FileName == previous)
        return false;
    Host.SetProgramFile(FileName);
    if (Host.SelectSourceByTag(IsCompiledProgramName(FileName) ? TagCompiledSource
                                                               : TagEditorSource))
        return true;
    Host.SetProgramFile(previous);
    return false;
}

} // namespace orv
