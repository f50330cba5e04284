#include "platform/HelpService.h"

#include "platform/Paths.h"

namespace orv {

namespace {
THelpService DefaultService;
THelpService *Installed = nullptr;
} // namespace

THelpDocument HelpDocument(const std::string &HelpFile, int Context)
{
    if (HelpFile.empty())
        return {};
    const std::string page = FindFileNoCase(ChangeFileExt(HelpFile, ".htm"));
    if (!FileExists(page))
        return {FindFileNoCase(HelpFile), ""};
    switch (Context) {
    case THelpService::Index:
        return {page, "index"};
    case THelpService::HelpOnHelp:
        return {page, "helponhelp"};
    default:
        return {page, Context < 0 ? "" : std::to_string(Context)};
    }
}

void THelpService::ShowContext(const std::string &HelpFile, int Context)
{
    FRequests.push_back({HelpFile, Context});
    if (FViewer && !HelpFile.empty())
        FViewer(HelpDocument(HelpFile, Context));
}

THelpService &Help() { return Installed ? *Installed : DefaultService; }

void SetHelpService(THelpService *Service) { Installed = Service; }

} // namespace orv
