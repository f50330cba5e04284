#pragma once
// The help of the whole program goes through one service: the application's
// current help file and the request to open a help file at a context
// number. The program installs a service that shows help; until then (and
// in tests) the requests are recorded.

#include <string>
#include <vector>

namespace orv {

class THelpService {
public:
    virtual ~THelpService() = default;
    // Opens HelpFile at the topic of Context.
    virtual void ShowContext(const std::string &HelpFile, int Context);
    // The application's help file (empty: none).
    const std::string &HelpFile() const { return FHelpFile; }
    void SetHelpFile(const std::string &File) { FHelpFile = File; }

    struct TRequest {
        std::string HelpFile;
        int Context = 0;
    };
    // Every request, in order.
    const std::vector<TRequest> &Requests() const { return FRequests; }

private:
    std::string FHelpFile;
    std::vector<TRequest> FRequests;
};

THelpService &Help();
void SetHelpService(THelpService *Service);

} // namespace orv
