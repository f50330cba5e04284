// The rules of the central open routine, against a window whose sources
// load only what the test lets them.
#include "shell/ProgramOpener.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace orv {
namespace {

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

    bool EngineStopped() const override { return Stopped; }
    void DisableRunButtons() override { StartEnabled = StopEnabled = false; }
    bool LoadInSource(std::string &Name) override { return Loads[Kind].count(Name) > 0; }
    void ShowProgramPath(const std::string &Name) override { Path = Name; }
    void AfterProgramLoaded(const std::string &Name) override { Mark("program:" + Name); }
    void AfterCompiledLoaded(const std::string &Name) override { Mark("compiled:" + Name); }
    std::string ProgramFile() const override { return File; }
    void SetProgramFile(const std::string &Name) override { File = Name; }
    void UpdateBillet() override { ++Billets; }
    void EnableStop() override { StopEnabled = true; }
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
    w.Loads[2] = {"/p/a.FNC"};
    std::string name = "/p/a.FNC";
    EXPECT_TRUE(OpenProgramFile(w, 0, name));
    EXPECT_EQ(w.Selected, std::vector<int>{2});
    EXPECT_EQ(w.Loaded, "program:/p/a.FNC");
    EXPECT_EQ(w.File, "/p/a.FNC");
}

TEST(OpenProgramFile, ACompiledFileGoesToTheCompiledSource) {
    TFakeWindow w;
    w.Kind = 2;
    w.Loads[3] = {"/p/b.xnc"};
    std::string name = "/p/b.xnc";
    EXPECT_TRUE(OpenProgramFile(w, 0, name));
    EXPECT_EQ(w.Selected, std::vector<int>{3});
    EXPECT_EQ(w.Loaded, "compiled:/p/b.xnc");
}

TEST(OpenProgramFile, AFileNoSourceCanLoadIsNotMarkedLoaded) {
    TFakeWindow w;
    w.Kind = 3;
    w.File = "/p/old.fnc";
    std::string name = "/p/broken.fnc";
    EXPECT_FALSE(OpenProgramFile(w, 0, name));
    EXPECT_EQ(w.Selected, std::vector<int>{2});
    EXPECT_EQ(w.Loaded, "");
    EXPECT_FALSE(w.StartEnabled);
    EXPECT_EQ(w.File, "/p/old.fnc") << "the engine keeps the program it had";
}

TEST(OpenProgramFile, FailuresWithoutARetry) {
    const struct {
        const char *Name;
        const char *File;
        std::set<int> Items;
        const char *Previous;
        bool StopEnabled;
    } rows[] = {
        {"a folder: the dialog was cancelled", "/p/", {1, 2, 3}, "", false},
        {"no editor item in the source menu", "/p/a.fnc", {1, 3}, "/p/x.fnc", true},
        {"the current program cannot be read again", "/p/x.fnc", {1, 2, 3}, "/p/x.fnc", true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        TFakeWindow w;
        w.SourceItems = row.Items;
        w.File = row.Previous;
        std::string name = row.File;
        EXPECT_FALSE(OpenProgramFile(w, 0, name));
        EXPECT_EQ(w.Loaded, "");
        EXPECT_FALSE(w.StartEnabled);
        EXPECT_EQ(w.StopEnabled, row.StopEnabled);
        EXPECT_EQ(w.File, row.Previous);
    }
}

} // namespace
} // namespace orv
