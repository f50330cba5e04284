#pragma once
// The rules of the main window's central open routine: a program is opened
// in the current source, and a file that source cannot read is retried in
// the source that suits its extension (".XNC" the compiled source, any
// other the editor). The window supplies the operations through
// TProgramOpenerHost.
#include "shell/RunButtons.h"

#include <string>

namespace orv {

class TProgramOpenerHost {
public:
    virtual ~TProgramOpenerHost() = default;
    virtual bool EngineStopped() const = 0;
    // Disables the run buttons while a file opens and gives their state
    // before; Restore puts that back when nothing was opened.
    virtual TRunButtons DisableRunButtons() = 0;
    virtual void RestoreRunButtons(const TRunButtons &Before) = 0;
    // The tag of the current source (1 file, 2 editor, 3 compiled ...).
    virtual int SourceTag() const = 0;
    // Tells the operator that FileName is no file (missing, or a folder).
    virtual void ReportNotFound(const std::string &FileName) = 0;
    // The current source loads FileName; a folder makes it ask for a file
    // there and hand the choice back in FileName.
    virtual bool LoadInSource(std::string &FileName) = 0;
    virtual void ShowProgramPath(const std::string &FileName) = 0;
    // Marks the program loaded (enables Start and Stop).
    virtual void AfterProgramLoaded(const std::string &FileName) = 0;
    virtual void AfterCompiledLoaded(const std::string &FileName) = 0;
    virtual std::string ProgramFile() const = 0;
    virtual void SetProgramFile(const std::string &FileName) = 0;
    virtual void UpdateBillet() = 0;
    // Selects the first source item with Tag; that reopens the engine's
    // program file there. False when there is no such item or the reopen
    // failed.
    virtual bool SelectSourceByTag(int Tag) = 0;
};

// True when the file was loaded (in the current source or, for a file that
// exists, the one that suits it). Refused unless the engine is stopped. A
// file that no source can load leaves the open program, its source, the
// engine's program file and the run buttons as they were; for the
// operator's commands (Mode 0; 1 is a source change or a remote input) a
// name that is no file is reported.
bool OpenProgramFile(TProgramOpenerHost &Host, int Mode, std::string &FileName);

// ".XNC" in any letter case.
bool IsCompiledProgramName(const std::string &FileName);

} // namespace orv
