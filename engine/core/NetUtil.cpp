#include "engine/core/NetUtil.h"

#include "engine/core/DUtils.h"
#include "platform/Paths.h"

namespace orv {

namespace {
TNetUtil *gNetUtil = nullptr;
}

TNetUtil::TNetUtil(const std::vector<std::string> &Args)
{
    DataModuleCreate(Args);
    if (!gNetUtil)
        gNetUtil = this;
}

TNetUtil::TNetUtil(TUnregistered) { DataModuleCreate({}); }

TNetUtil::~TNetUtil()
{
    if (gNetUtil == this)
        gNetUtil = nullptr;
}

void TNetUtil::DataModuleCreate(const std::vector<std::string> &Args)
{
    std::string folder = CurrentFolder();
    if (folder.empty())
        folder = ProgramFolder();
    WorkingFolder = NormalisePath(RemoveDoubleBackslashes(IncludeTrailingDelimiter(folder)));
    Param1 = Args.size() > 0 ? Args[0] : std::string();
    Param2 = Args.size() > 1 ? Args[1] : std::string();
    ExeName = ProgramFileName();
}

std::string TNetUtil::MainIniFileName() const
{
    return WorkingFolder + ChangeFileExt(ExeName, ".ini");
}

TNetUtil &NetUtil()
{
    if (gNetUtil)
        return *gNetUtil;
    static TNetUtil fromCurrentFolder{TNetUtil::TUnregistered{}};
    return fromCurrentFolder;
}

} // namespace orv
