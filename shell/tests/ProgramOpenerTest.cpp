// The rules of the central open routine, against a window whose sources
// load only what the test lets them.
#include "shell/ProgramOpener.h"

#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

namespace orv {
namespace {

// Files of the tests: they exist (a name not made here does not).
test::TTempDir &Files()
{
    static test::TTempDir dir;
    return dir;
}
std::string Made(const std::string &Name)
{
    return Files().Write(Name, "G00 X1\n");
}

// A window with sources of three kinds: the current one is Kind; each kind
// loads the files listed for it.
class TFakeWindow : public TProgramOpenerHost {
public:
    int Kind = 3; // compiled source
    bool Stopped = true;
    std::set<std::string> Loads[4];
    std::set<int> SourceItems = {1, 2, 3};
    std::string File;
    std::string Loaded; // "program:<name>" or "compiled:<name>"
    std::string Path;
    bool StartEnabled = false, StopEnabled = false;
    int Billets = 0;
    std::vector<int> Selected;
    std::vector<std::string> NotFound;

    bool EngineStopped() const override { return Stopped; }
    TRunButtons DisableRunButtons() override
    {
        TRunButtons before;
        before.Start = StartEnabled;
        before.Stop = StopEnabled;
        StartEnabled = StopEnabled = false;
        return before;
    }
    void RestoreRunButtons(const TRunButtons &Before) override
    {
        StartEnabled = Before.Start;
        StopEnabled = Before.Stop;
    }
    int SourceTag() const override { return Kind; }
    void ReportNotFound(const std::string &Name) override { NotFound.push_back(Name); }
    bool LoadInSource(std::string &Name) override { return Loads[Kind].count(Name) > 0; }
    void ShowProgramPath(const std::string &Name) override { Path = Name; }
    void AfterProgramLoaded(const std::string &Name) override { Mark("program:" + Name); }
    void AfterCompiledLoaded(const std::string &Name) override { Mark("compiled:" + Name); }
    std::string ProgramFile() const override { return File; }
    void SetProgramFile(const std::string &Name) override { File = Name; }
    void UpdateBillet() override { ++Billets; }
    bool SelectSourceByTag(int Tag) override {
        if (!SourceItems.count(Tag))
            return false;
        Selected.push_back(Tag);
        Kind = Tag;
        std::string name = File;
        return OpenProgramFile(*this, 1, name);
    }

private:
    void Mark(const std::string &What) {
        Loaded = What;
        StartEnabled = StopEnabled = true;
    }
};

TEST(OpenProgramFile, LoadsInTheCurrentSource) {
    TFakeWindow w;
    w.Kind = 2;
    w.Loads[2] = {"/p/a.fnc"};
    std::string name = "/p/a.fnc";
    EXPECT_TRUE(OpenProgramFile(w, 0, name));
    EXPECT_EQ(w.Loaded, "program:/p/a.fnc");
    EXPECT_EQ(w.Path, "/p/a.fnc");
    EXPECT_EQ(w.File, "/p/a.fnc");
    EXPECT_EQ(w.Billets, 1);
    EXPECT_TRUE(w.StartEnabled);
}

TEST(OpenProgramFile, RefusedUnlessStopped) {
    TFakeWindow w;
    w.Stopped = false;
    w.Kind = 2;
    w.Loads[2] = {"/p/a.fnc"};
    std::string name = "/p/a.fnc";
    EXPECT_FALSE(OpenProgramFile(w, 0, name));
    EXPECT_EQ(w.Loaded, "");
    EXPECT_EQ(w.File, "");
}

TEST(OpenProgramFile, AnNcFileWithTheCompiledSourceGoesToTheEditor) {
    TFakeWindow w;
    w.Kind = 3;
    const std::string file = Made("a.FNC");
    w.Loads[2] = {file};
    std::string name = file;
    EXPECT_TRUE(OpenProgramFile(w, 0, name));
    EXPECT_EQ(w.Selected, std::vector<int>{2});
    EXPECT_EQ(w.Loaded, "program:" + file);
    EXPECT_EQ(w.File, file);
}

TEST(OpenProgramFile, ACompiledFileGoesToTheCompiledSource) {
    TFakeWindow w;
    w.Kind = 2;
    const std::string file = Made("b.xnc");
    w.Loads[3] = {file};
    std::string name = file;
    EXPECT_TRUE(OpenProgramFile(w, 0, name));
    EXPECT_EQ(w.Selected, std::vector<int>{3});
    EXPECT_EQ(w.Loaded, "compiled:" + file);
}

// A file no source can read leaves the source and its program as they were.
TEST(OpenProgramFile, AFileNoSourceCanLoadLeavesTheProgramAsItWas) {
    TFakeWindow w;
    const std::string old = Made("old.xnc");
    w.Kind = 3;
    w.Loads[3] = {old};
    w.File = old;
    w.StartEnabled = w.StopEnabled = true;
    std::string name = Made("broken.fnc");
    EXPECT_FALSE(OpenProgramFile(w, 0, name));
    EXPECT_EQ(w.Selected, (std::vector<int>{2, 3})) << "tried in the editor, then back";
    EXPECT_EQ(w.Kind, 3);
    EXPECT_EQ(w.Loaded, "compiled:" + old) << "the program opened again in its source";
    EXPECT_TRUE(w.StartEnabled);
    EXPECT_TRUE(w.StopEnabled);
    EXPECT_EQ(w.File, old) << "the engine keeps the program it had";
    EXPECT_TRUE(w.NotFound.empty());
}

// The source that suits the file is the current one: making it afresh would
// only empty it.
TEST(OpenProgramFile, AFileTheSuitingSourceCannotReadIsNotRetried) {
    TFakeWindow w;
    w.Kind = 2;
    w.File = Made("open.fnc");
    w.StartEnabled = true;
    std::string name = Made("unreadable.fnc");
    EXPECT_FALSE(OpenProgramFile(w, 0, name));
    EXPECT_TRUE(w.Selected.empty());
    EXPECT_TRUE(w.StartEnabled) << "the run buttons as they were";
    EXPECT_EQ(w.File, Files().File("open.fnc"));
}

// A name that is no file is reported to the operator, not to a remote
// input or a change of source, and never retried.
TEST(OpenProgramFile, ANameThatIsNoFile) {
    const struct {
        const char *Name;
        std::string File;
        int Mode;
        bool Reported;
    } rows[] = {
        {"missing, by the operator", Files().File("missing.fnc"), 0, true},
        {"a folder, by the operator", Files().Path() + "folder", 0, true},
        {"missing, by a remote input", Files().File("missing.fnc"), 1, false},
    };
    std::filesystem::create_directories(Files().Path() + "folder");
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        TFakeWindow w;
        w.Kind = 3;
        w.StopEnabled = true;
        std::string name = row.File;
        EXPECT_FALSE(OpenProgramFile(w, row.Mode, name));
        EXPECT_TRUE(w.Selected.empty());
        EXPECT_EQ(w.NotFound.size(), row.Reported ? 1u : 0u);
        EXPECT_TRUE(w.StopEnabled);
    }
}

TEST(OpenProgramFile, FailuresWithoutARetry) {
    const struct {
        const char *Name;
        std::string File;
        std::set<int> Items;
        std::string Previous;
    } rows[] = {
        {"a folder: the dialog was cancelled", "/p/", {1, 2, 3}, ""},
        {"no editor item in the source menu", Made("a.fnc"), {1, 3}, ""},
        {"the current program cannot be read again", Made("x.fnc"), {1, 2, 3}, Made("x.fnc")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        TFakeWindow w;
        w.SourceItems = row.Items;
        w.File = row.Previous;
        w.StopEnabled = true;
        std::string name = row.File;
        EXPECT_FALSE(OpenProgramFile(w, 0, name));
        EXPECT_EQ(w.Loaded, "");
        EXPECT_FALSE(w.StartEnabled);
        EXPECT_TRUE(w.StopEnabled) << "the run buttons as they were";
        EXPECT_EQ(w.File, row.Previous);
        EXPECT_TRUE(w.NotFound.empty());
    }
}

} // namespace
} // namespace orv
