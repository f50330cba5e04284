#pragma once
// Shared by the Fanuc tests: a settings folder of their own (default data
// files copied in, the working folder and the program's path there), and
// ncrun run as a process.

#include "engine/core/NetUtil.h"
#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <unistd.h>

namespace orv::fanuc::test {

namespace fs = std::filesystem;

enum class TWholeData { Copy };

class TSettingsFolder {
public:
    // The data files copied in.
    explicit TSettingsFolder(std::initializer_list<const char *> Files = {"Tarnwick.ini"})
    {
        Make(Files);
    }
    // The whole data folder copied in.
    explicit TSettingsFolder(TWholeData) { Make({}); }
    void Make(std::initializer_list<const char *> Files)
    {
        Path = fs::temp_directory_path() /
               ("fanuc_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Path);
        if (Files.size() == 0) {
            fs::copy(ORV_DATA_DIR, Path, fs::copy_options::recursive);
        } else {
            fs::create_directories(Path);
            for (const char *name : Files)
                fs::copy_file(fs::path(ORV_DATA_DIR) / name, Path / name);
        }
        FPrevious = fs::current_path();
        fs::current_path(Path);
        SetProgramPathOverride(Path.string(), "Tarnwick");
        FNet = std::make_unique<TNetUtil>();
    }
    ~TSettingsFolder()
    {
        FNet.reset();
        fs::current_path(FPrevious);
        std::error_code ec;
        fs::remove_all(Path, ec);
    }
    TSettingsFolder(const TSettingsFolder &) = delete;
    TSettingsFolder &operator=(const TSettingsFolder &) = delete;

    fs::path Path;

private:
    fs::path FPrevious;
    std::unique_ptr<TNetUtil> FNet;
};

#ifdef ORV_NCRUN_PATH
// ncrun's standard output for Arguments, and its exit status.
inline std::string RunNcrun(const std::string &Arguments, int &Status)
{
    std::string command = std::string(ORV_NCRUN_PATH) + " " + Arguments + " 2>/dev/null";
    FILE *pipe = ::popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        out.append(buffer.data(), n);
    Status = WEXITSTATUS(::pclose(pipe));
    return out;
}
#endif

} // namespace orv::fanuc::test
