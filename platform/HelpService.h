#pragma once
// The help of the whole program goes through one service: the application's
// current help file and the requests to open a help file at a context
// number or at its contents. The main window gives the service the
// desktop's viewer; until then (and in tests) the requests are recorded.

#include <functional>
#include <string>
#include <vector>

namespace orv {

// What the viewer opens: a file, and the anchor of the topic in it (empty
// for the whole file).
struct THelpDocument {
    std::string Path;
    std::string Anchor;
    bool operator==(const THelpDocument &) const = default;
};

// The page of a help file's topic. The topics live in the HTML page beside
// the help file with the same name and ".htm" (found without regard to
// case), one anchor per context number; without that page the help file
// itself is opened, at its start. Contents (or any other negative context)
// asks for the start of the page, Index for its "index" anchor (the search
// for a topic), HelpOnHelp for its "helponhelp" anchor (how to use help).
THelpDocument HelpDocument(const std::string &HelpFile, int Context);

class THelpService {
public:
    static constexpr int Contents = -1;
    static constexpr int Index = -2;
    static constexpr int HelpOnHelp = -3;

    virtual ~THelpService() = default;
    // Opens HelpFile at the topic of Context.
    virtual void ShowContext(const std::string &HelpFile, int Context);
    // Opens HelpFile at its contents.
    void ShowContents(const std::string &HelpFile) { ShowContext(HelpFile, Contents); }
    // Opens HelpFile at its list of topics to search (a partial key search
    // with an empty key).
    void ShowIndex(const std::string &HelpFile) { ShowContext(HelpFile, Index); }
    // Opens HelpFile's page on how to use the help.
    void ShowHelpOnHelp(const std::string &HelpFile) { ShowContext(HelpFile, HelpOnHelp); }
    // The application's help file (empty: none).
    const std::string &HelpFile() const { return FHelpFile; }
    void SetHelpFile(const std::string &File) { FHelpFile = File; }

    // The desktop's viewer; none: requests are only recorded.
    using TViewer = std::function<void(const THelpDocument &Document)>;
    void SetViewer(TViewer Viewer) { FViewer = std::move(Viewer); }

    struct TRequest {
        std::string HelpFile;
        int Context = 0; // Contents, Index or HelpOnHelp for those
    };
    // Every request, in order.
    const std::vector<TRequest> &Requests() const { return FRequests; }

private:
    std::string FHelpFile;
    TViewer FViewer;
    std::vector<TRequest> FRequests;
};

THelpService &Help();
void SetHelpService(THelpService *Service);

} // namespace orv
