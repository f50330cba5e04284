#pragma once
// A fresh folder under the system's temporary folder, removed afterwards.

#include <filesystem>
#include <fstream>
#include <string>
#include <cstdlib>

namespace orv::test {

class TTempDir {
public:
    TTempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvXXXXXX").string();
        FPath = ::mkdtemp(pattern.data());
        FPath += "/";
    }
    ~TTempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(FPath, ec);
    }
    TTempDir(const TTempDir &) = delete;
    TTempDir &operator=(const TTempDir &) = delete;

    const std::string &Path() const { return FPath; }
    std::string File(const std::string &Name) const { return FPath + Name; }
    std::string Write(const std::string &Name, const std::string &Content) const
    {
        std::ofstream(File(Name), std::ios::binary) << Content;
        return File(Name);
    }
    std::string Read(const std::string &Name) const
    {
        std::ifstream in(File(Name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::string FPath;
};

} // namespace orv::test
