#include "platform/HelpService.h"

namespace orv {

namespace {
THelpService DefaultService;
THelpService *Installed = nullptr;
} // namespace

void THelpService::ShowContext(const std::string &HelpFile, int Context)
{
    FRequests.push_back({HelpFile, Context});
}

THelpService &Help() { return Installed ? *Installed : DefaultService; }

void SetHelpService(THelpService *Service) { Installed = Service; }

} // namespace orv
