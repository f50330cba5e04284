#pragma once
// ncrun, the headless driver, run as a child process by the tests: its exit
// status and what it printed, a fixture folder's own settings copied afresh
// for a run, and a whole file read as bytes.

#include "platform/tests/TempDir.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#ifndef ORV_NCRUN
#error "ORV_NCRUN names the ncrun executable"
#endif

namespace orv::test {

inline std::string ReadFile(const std::string &Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct TNcrunResult {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// A fresh copy of the "settings" folder in Fixtures (no machine: no feed
// limits) in Temp, so the expected files do not follow the default data.
inline std::string CopyFixtureSettings(const TTempDir &Temp, const std::string &Fixtures)
{
    std::string settings = Temp.File("settings");
    std::filesystem::remove_all(settings);
    std::filesystem::copy(Fixtures + "settings", settings);
    return settings;
}

// Runs ncrun with Args (shell words, quoted by the caller) from Folder, or
// from the current folder when it is empty. Standard output and error pass
// through files in Temp. The post-processor's date is fixed, so ".GNC" text
// can be compared with an expected file.
// Runner, when given, is the command that starts it ("setpriv ... ").
inline TNcrunResult RunNcrun(const TTempDir &Temp, const std::string &Args,
                             const std::string &Folder = "", const std::string &Runner = "")
{
    std::string out = Temp.File("out.txt");
    std::string err = Temp.File("err.txt");
    std::string command = Folder.empty() ? "" : "cd '" + Folder + "' && ";
    command += "SOURCE_DATE_EPOCH=1700000000 " + Runner + "'" + ORV_NCRUN + "' " + Args + " >'" +
               out + "' 2>'" + err + "'";
    int raw = std::system(command.c_str());
    TNcrunResult r;
    r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.Out = ReadFile(out);
    r.Err = ReadFile(err);
    return r;
}

} // namespace orv::test
