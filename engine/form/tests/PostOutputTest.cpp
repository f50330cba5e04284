// The ".GNC" post-processor output: header, one group of lines per event,
// numbers right-aligned in 8 characters, the trailer when the end record
// arrives, the run stops or the output is freed, and a cancelled dialog.

#include "engine/form/CNC_to_Generic.h"
#include "engine/core/DIniFile.h"
#include "engine/core/DUtils.h"
#include "engine/form/tests/FormTestSupport.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

using test::EndRecord;
using test::Move;

const std::time_t FixedDate = 1700000000; // 14/11/2023

class PostOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Post.Clock = [] { return FixedDate; };
        Post.OnNextNotify = [this](TObject *) { ++Requests; };
        Post.OnSaveCancelled = [this](TObject *) { ++Cancelled; };
        Post.OnFileError = [this](TObject *, const std::string &Text) { Errors.push_back(Text); };
    }
    // Starts a run into Name (answering the save dialog).
    void StartInto(const std::string &Name)
    {
        Folder.Messages.Answer(Folder.File(Name));
        Post.Start();
    }
    void Run(std::vector<TCNC_data> Records)
    {
        for (auto &r : Records)
            Post.Execute(r);
    }
    std::string Body(const std::string &Name)
    {
        std::string text = Folder.Read(Name);
        std::string header = "string machine_type (4) = \"MILL\"\r\nrepeat\r\nmetric = true\r\n"
                             "DATE = 14/11/2023\r\nPROLOGUE\r\n";
        EXPECT_EQ(text.substr(0, header.size()), header);
        return text.size() >= header.size() ? text.substr(header.size()) : text;
    }

    test::TFormFolder Folder;
    TCNC_to_Generic Post;
    int Requests = 0;
    int Cancelled = 0;
    std::vector<std::string> Errors;
};

TCNC_data WithFeed(TCNC_data D, double F)
{
    D.Feed = F;
    return D;
}

TEST_F(PostOutputTest, WritesOnlyChangedCoordinatesAndFeeds)
{
    StartInto("a.gnc");
    EXPECT_EQ(Requests, 1);
    TCNC_data m30;
    m30.MCode = 30;
    Run({Move(0, 0, 0, 5), WithFeed(Move(1, 0, 0, -1), 100), WithFeed(Move(1, 10, 0, -1), 100),
         m30, EndRecord()});
    EXPECT_EQ(Body("a.gnc"), "spindle = 0\r\nCHANGE_SPINDLE\r\n"
                             "z =    5.000\r\nFAST_TRAV\r\n"
                             "feed =  100.000\r\nz =   -1.000\r\nLINEAR_TRAV\r\n"
                             "x =   10.000\r\nLINEAR_TRAV\r\n"
                             "EPILOGUE\r\nuntil last_pass\r\n");
    EXPECT_FALSE(Post.FileOpen());
}

TEST_F(PostOutputTest, ArcsToolsBilletDwellAndHome)
{
    StartInto("b.gnc");
    TCNC_data arc = Move(2, 10, 0, 0);
    arc.I = 5;
    arc.J = 0;
    arc.Sweep = 180;
    TCNC_data tool = Move(NoMoveCode);
    tool.MCode = 6;
    tool.Tool = 3;
    TCNC_data billet = Move(-1, 100, 80.5, 20);
    TCNC_data dwell = Move(4, 1500);
    TCNC_data home = Move(28);
    Run({tool, tool, arc, Move(1, 0, 5, 0), billet, dwell, home, Move(0, 0, 5, 0)});
    Post.CloseFile();
    EXPECT_EQ(Body("b.gnc"), "tool = 3\r\nCHANGE_TOOL\r\n"
                             "spindle = 0\r\nCHANGE_SPINDLE\r\n"
                             "cx =    5.000\r\ncy =    0.000\r\nangle =  180.000\r\nCIRC_TRAV\r\n"
                             "x =    0.000\r\ny =    5.000\r\nLINEAR_TRAV\r\n"
                             "real x_dimension = 100\r\nreal y_dimension = 80.5\r\n"
                             "real z_dimension = 20\r\n"
                             "dwelltime = 1500.000\r\nDWELL\r\n"
                             "TRAV_HOME\r\n"
                             "x =    0.000\r\ny =    5.000\r\nz =    0.000\r\nFAST_TRAV\r\n"
                             "EPILOGUE\r\nuntil last_pass\r\n");
}

TEST_F(PostOutputTest, ToolDefinitionLeavesToolZeroForLaterOutputs)
{
    StartInto("c.gnc");
    TCNC_data def = Move(-3, 6);
    def.Tool = 4;
    Post.Execute(def);
    EXPECT_EQ(def.Tool, 0);
}

TEST_F(PostOutputTest, BlockSkipDropsDeletedMovesOnlyWhenSwitchedOn)
{
    StartInto("d.gnc");
    TCNC_data skipped = Move(0, 7);
    skipped.BlockDelete = true;
    Post.BlockSkip = true;
    Post.Execute(skipped);
    Post.BlockSkip = false;
    Post.Execute(skipped);
    Post.CloseFile();
    std::string body = Body("d.gnc");
    EXPECT_EQ(body.find("x =    7.000"), body.rfind("x =    7.000"));
    EXPECT_NE(body.find("x =    7.000"), std::string::npos);
}

TEST_F(PostOutputTest, SecondRunKeepsTheLastCoordinatesButNotSpindleOrTool)
{
    StartInto("first.gnc");
    Run({Move(0, 10, 20, 5), EndRecord()});
    StartInto("second.gnc");
    Run({Move(0, 10, 20, 6), EndRecord()});
    EXPECT_EQ(Body("second.gnc"), "spindle = 0\r\nCHANGE_SPINDLE\r\nz =    6.000\r\nFAST_TRAV\r\n"
                                  "EPILOGUE\r\nuntil last_pass\r\n");
}

// The trailer follows the last record whatever ends the run: the end
// record, a stop, or the output being freed.
TEST_F(PostOutputTest, TrailerIsWrittenOnceWhenTheRunEnds)
{
    struct TCase {
        const char *Name;
        void (*End)(TCNC_to_Generic &);
    } cases[] = {
        {"end record", [](TCNC_to_Generic &p) { TCNC_data e = EndRecord(); p.Execute(e); }},
        {"stop", [](TCNC_to_Generic &p) { p.Stop(); }},
        {"closed", [](TCNC_to_Generic &p) { p.CloseFile(); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        std::string name = std::string(c.Name) + ".gnc";
        StartInto(name);
        TCNC_data m = Move(0, 1, 2, 3);
        Post.Execute(m);
        c.End(Post);
        Post.Stop();
        std::string text = Folder.Read(name);
        std::string tail = "FAST_TRAV\r\nEPILOGUE\r\nuntil last_pass\r\n";
        ASSERT_GE(text.size(), tail.size());
        EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    }
}

TEST(PostOutputFreed, TrailerIsWrittenWhenTheOutputIsFreed)
{
    test::TFormFolder folder;
    folder.Messages.Answer(folder.File("freed.gnc"));
    {
        TCNC_to_Generic post;
        post.Start();
        TCNC_data m = Move(1, 4);
        post.Execute(m);
    }
    std::string text = folder.Read("freed.gnc");
    EXPECT_NE(text.find("LINEAR_TRAV\r\nEPILOGUE\r\nuntil last_pass\r\n"), std::string::npos);
}

TEST_F(PostOutputTest, CancelledDialogAsksForNothingAndTellsTheOwner)
{
    Folder.Messages.Answer("");
    Post.Start();
    EXPECT_EQ(Requests, 0);
    EXPECT_EQ(Cancelled, 1);
    EXPECT_FALSE(Post.FileOpen());
}

TEST_F(PostOutputTest, DialogStartsInTheGncFolderAndRemembersTheChoice)
{
    TDIniFile(MainIniPath()).WriteString("directories", "GNC Folder", Folder.Dir().Path());
    std::filesystem::create_directory(Folder.File("out"));
    StartInto("out/p.gnc");
    ASSERT_FALSE(Folder.Messages.Log().empty());
    EXPECT_EQ(Folder.Messages.Log().back().Kind, "file");
    EXPECT_EQ(TDIniFile(MainIniPath()).ReadString("directories", "GNC Folder", ""),
              Folder.File("out/"));
}

TEST_F(PostOutputTest, FileThatCannotBeMadeIsReported)
{
    StartInto("missing-folder/x.gnc");
    EXPECT_EQ(Requests, 0);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_NE(Errors[0].find("Cannot create"), std::string::npos);
}

TEST(PostOutputNumbers, RightAlignedInEightCharacters)
{
    struct TCase {
        double Value;
        const char *Text;
    } cases[] = {{10, "  10.000"},       {-1, "  -1.000"},        {0.25, "   0.250"},
                 {-0.0001, "   0.000"},  {12345.6789, "12345.679"}, {-1234.5, "-1234.500"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(GenericNumber(c.Value), c.Text);
    }
}

} // namespace
} // namespace orv
