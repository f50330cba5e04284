// The help service: which page a help topic opens, and that requests reach
// the viewer when there is one and are only recorded otherwise.
#include "platform/HelpService.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(HelpService, TopicsOpenInTheHtmlPageBesideTheHelpFile)
{
    test::TTempDir dir;
    dir.Write("Mill.htm", "<html></html>");
    dir.Write("Tarnwick.hlp", "text");
    const struct {
        const char *Case;
        std::string HelpFile;
        int Context;
        THelpDocument Expected;
    } rows[] = {
        {"page found without regard to case", dir.File("mill.hlp"), 200001,
         {dir.File("Mill.htm"), "200001"}},
        {"contents: the page from its start", dir.File("mill.hlp"), THelpService::Contents,
         {dir.File("Mill.htm"), ""}},
        {"context 0 is a topic too", dir.File("MILL.HLP"), 0, {dir.File("Mill.htm"), "0"}},
        {"index: the topics to search", dir.File("mill.hlp"), THelpService::Index,
         {dir.File("Mill.htm"), "index"}},
        {"help on help", dir.File("mill.hlp"), THelpService::HelpOnHelp,
         {dir.File("Mill.htm"), "helponhelp"}},
        {"index without a page: the help file itself", dir.File("tarnwick.hlp"),
         THelpService::Index, {dir.File("Tarnwick.hlp"), ""}},
        {"no page: the help file itself", dir.File("tarnwick.hlp"), 3010,
         {dir.File("Tarnwick.hlp"), ""}},
        {"no help file", "", 3010, {"", ""}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Case);
        const THelpDocument document = HelpDocument(row.HelpFile, row.Context);
        EXPECT_EQ(document.Path, row.Expected.Path);
        EXPECT_EQ(document.Anchor, row.Expected.Anchor);
    }
}

TEST(HelpService, RequestsReachTheViewerAndAreRecorded)
{
    test::TTempDir dir;
    dir.Write("Mill.htm", "<html></html>");
    THelpService service;
    service.ShowContext(dir.File("mill.hlp"), 200001); // no viewer yet: recorded only
    std::vector<THelpDocument> shown;
    service.SetViewer([&shown](const THelpDocument &Document) { shown.push_back(Document); });
    service.ShowContext(dir.File("mill.hlp"), 300003);
    service.ShowContents(dir.File("mill.hlp"));
    service.ShowContext("", 3010); // no help file (other languages): nothing opens
    ASSERT_EQ(service.Requests().size(), 4u);
    EXPECT_EQ(service.Requests()[0].Context, 200001);
    EXPECT_EQ(service.Requests()[2].Context, THelpService::Contents);
    EXPECT_EQ(service.Requests()[3].HelpFile, "");
    EXPECT_EQ(shown, (std::vector<THelpDocument>{{dir.File("Mill.htm"), "300003"},
                                                 {dir.File("Mill.htm"), ""}}));
}

} // namespace
} // namespace orv
