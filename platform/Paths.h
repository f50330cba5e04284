#pragma once
// File-system paths as the suite uses them. Stored paths may carry "\" as
// separator (settings written on other machines); they are accepted and read
// as "/". Several files are spelled in more than one letter case across the
// program, so lookups of existing files ignore case.

#include <string>

namespace orv {

// Folder that was current when the program started, with a trailing "/".
std::string CurrentFolder();
// Folder of the program's own files, with a trailing "/": the folder named
// by the environment variable ORVELLAN_PROGRAM_DIR when it is set (run.sh
// points it at the working folder), else the folder of the program file.
std::string ProgramFolder();
// File name of the running program without its folder ("Tarnwick").
std::string ProgramFileName();
// The settings file beside the program: the program file's path with
// ".INI", found without regard to case (so the main settings file when the
// program folder is the working folder). Window positions, the machine
// editor's password and the simulation's work-offset switch live there.
std::string ProgramSettingsFile();
// Lets tests and tools stand in another program folder and name.
void SetProgramPathOverride(const std::string &Folder, const std::string &Name);

// "\" separators turned into "/"; doubled separators reduced to one.
std::string NormalisePath(const std::string &Path);

// Path of an existing file or folder whose components match Path without
// regard to case; Path itself (normalised) when nothing matches.
std::string FindFileNoCase(const std::string &Path);
bool FileExistsNoCase(const std::string &Path);
bool FileExists(const std::string &Path);
bool DirectoryExists(const std::string &Path);

// Parts of a path.
std::string ExtractFileName(const std::string &Path); // after the last separator
std::string ExtractFilePath(const std::string &Path); // up to and with the last separator
std::string ExtractFileExt(const std::string &Path);  // ".ext" or empty
// Path with its extension (whatever its length) replaced by Ext, which
// starts with "." or is empty.
std::string ChangeFileExt(const std::string &Path, const std::string &Ext);
std::string IncludeTrailingDelimiter(const std::string &Folder);

bool CopyFile(const std::string &Source, const std::string &Target); // overwrites
bool DeleteFile(const std::string &Path);
bool ForceDirectories(const std::string &Folder);

} // namespace orv
