#pragma once
// The rules of the main window's central open routine: a program is opened
// in the current source, and a file that source cannot read is retried in
// the source that suits its extension (".XNC" the compiled source, any
// other the editor). The window supplies the operations through
// TProgramOpenerHost.
#include <string>

namespace orv {

class TProgramOpenerHost {
public:
    virtual ~TProgramOpenerHost() = default;
    virtual bool EngineStopped() const = 0;
    virtual void DisableRunButtons() = 0;
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
    virtual void EnableStop() = 0;
    // Selects the first source item with Tag; that reopens the engine's
    // program file there. False when there is no such item or the reopen
    // failed.
    virtual bool SelectSourceByTag(int Tag) = 0;
};

// True when the file was loaded (in the current source or the one that
// suits it). Refused unless the engine is stopped. A file that no source
// can load leaves nothing marked loaded and the engine's program file as
// it was. Mode (0 operator, 1 source change or remote) has no effect.
bool OpenProgramFile(TProgramOpenerHost &Host, int Mode, std::string &FileName);

// ".XNC" in any letter case.
bool IsCompiledProgramName(const std::string &FileName);

} // namespace orv
