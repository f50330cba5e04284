#pragma once
// The path module: the working folder the program started in, the program's
// name and its command-line arguments, and from them the main settings file.
// One TNetUtil exists from start-up to exit and is reached through NetUtil().

#include <string>
#include <vector>

namespace orv {

class TNetUtil {
public:
    // Args are the command-line arguments after the program name. The first
    // TNetUtil made becomes the global one until it is destroyed.
    explicit TNetUtil(const std::vector<std::string> &Args = {});
    ~TNetUtil();
    TNetUtil(const TNetUtil &) = delete;
    TNetUtil &operator=(const TNetUtil &) = delete;

    // Working folder := the current folder (the program's folder when there
    // is none) with a trailing separator, doubled separators reduced to one;
    // Param1, Param2 and ExeName from the command line and the program.
    void DataModuleCreate(const std::vector<std::string> &Args);

    // WorkingFolder + ExeName with ".ini": the main settings file.
    std::string MainIniFileName() const;

    std::string WorkingFolder; // with a trailing "/"
    std::string ExeName;       // program file name without folder
    std::string Param1;        // first command-line argument, or empty
    std::string Param2;        // second command-line argument, or empty

private:
    friend TNetUtil &NetUtil();
    struct TUnregistered {};
    explicit TNetUtil(TUnregistered);
};

// The program's path module; one made from the current folder when none was created.
TNetUtil &NetUtil();

} // namespace orv
