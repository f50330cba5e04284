#include "platform/Paths.h"

#include "platform/NumberText.h"

#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orv {

namespace {

std::string gOverrideFolder;
std::string gOverrideName;

std::string ExePath()
{
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

} // namespace

std::string CurrentFolder()
{
    std::error_code ec;
    auto p = std::filesystem::current_path(ec);
    if (ec || p.empty())
        return ProgramFolder();
    return IncludeTrailingDelimiter(p.string());
}

std::string ProgramFolder()
{
    if (!gOverrideFolder.empty())
        return IncludeTrailingDelimiter(gOverrideFolder);
    // An installation keeps the program's own files (translations, cycle
    // definitions, the settings beside the program) apart from the binary.
    if (const char *installed = std::getenv("ORVELLAN_PROGRAM_DIR"); installed && *installed)
        return IncludeTrailingDelimiter(installed);
    return ExtractFilePath(ExePath());
}

std::string ProgramFileName()
{
    if (!gOverrideName.empty())
        return gOverrideName;
    return ExtractFileName(ExePath());
}

std::string ProgramSettingsFile()
{
    return FindFileNoCase(ProgramFolder() + ProgramFileName() + ".INI");
}

void SetProgramPathOverride(const std::string &Folder, const std::string &Name)
{
    gOverrideFolder = Folder;
    gOverrideName = Name;
}

std::string NormalisePath(const std::string &Path)
{
    std::string out;
    out.reserve(Path.size());
    for (char c : Path) {
        char d = c == '\\' ? '/' : c;
        if (d == '/' && !out.empty() && out.back() == '/')
            continue;
        out += d;
    }
    return out;
}

bool FileExists(const std::string &Path)
{
    struct stat st {};
    return ::stat(Path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string &Path)
{
    struct stat st {};
    return ::stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string FindFileNoCase(const std::string &Path)
{
    std::string norm = NormalisePath(Path);
    struct stat st {};
    if (norm.empty() || ::stat(norm.c_str(), &st) == 0)
        return norm;
    // Walk the components, matching each against its folder without case.
    std::vector<std::string> parts;
    size_t start = 0;
    bool absolute = norm[0] == '/';
    if (absolute)
        start = 1;
    while (start <= norm.size()) {
        size_t slash = norm.find('/', start);
        if (slash == std::string::npos)
            slash = norm.size();
        if (slash > start)
            parts.push_back(norm.substr(start, slash - start));
        start = slash + 1;
    }
    std::string current = absolute ? "/" : "";
    for (size_t i = 0; i < parts.size(); ++i) {
        std::string candidate = current + parts[i];
        if (::stat(candidate.c_str(), &st) != 0) {
            DIR *dir = ::opendir(current.empty() ? "." : current.c_str());
            if (!dir)
                return norm;
            bool found = false;
            while (dirent *entry = ::readdir(dir)) {
                if (SameText(entry->d_name, parts[i])) {
                    candidate = current + entry->d_name;
                    found = true;
                    break;
                }
            }
            ::closedir(dir);
            if (!found)
                return norm;
        }
        current = candidate + (i + 1 < parts.size() ? "/" : "");
    }
    return current;
}

bool FileExistsNoCase(const std::string &Path) { return FileExists(FindFileNoCase(Path)); }

std::string ExtractFileName(const std::string &Path)
{
    auto p = Path.find_last_of("/\\");
    return p == std::string::npos ? Path : Path.substr(p + 1);
}

std::string ExtractFilePath(const std::string &Path)
{
    auto p = Path.find_last_of("/\\");
    return p == std::string::npos ? std::string() : Path.substr(0, p + 1);
}

std::string ExtractFileExt(const std::string &Path)
{
    std::string name = ExtractFileName(Path);
    auto p = name.rfind('.');
    return p == std::string::npos ? std::string() : name.substr(p);
}

std::string ChangeFileExt(const std::string &Path, const std::string &Ext)
{
    std::string name = ExtractFileName(Path);
    std::string folder = Path.substr(0, Path.size() - name.size());
    auto p = name.rfind('.');
    if (p != std::string::npos)
        name.erase(p);
    return folder + name + Ext;
}

std::string IncludeTrailingDelimiter(const std::string &Folder)
{
    if (Folder.empty() || Folder.back() == '/' || Folder.back() == '\\')
        return Folder;
    return Folder + "/";
}

bool CopyFile(const std::string &Source, const std::string &Target)
{
    std::error_code ec;
    std::filesystem::copy_file(Source, Target, std::filesystem::copy_options::overwrite_existing, ec);
    return !ec;
}

bool DeleteFile(const std::string &Path) { return ::unlink(Path.c_str()) == 0; }

bool ForceDirectories(const std::string &Folder)
{
    std::error_code ec;
    std::filesystem::create_directories(Folder, ec);
    return DirectoryExists(Folder);
}

} // namespace orv
