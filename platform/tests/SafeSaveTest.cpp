// Saving by replacing: the new content lands whole or not at all.
#include "platform/SafeSave.h"
#include "platform/tests/FileSizeLimit.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orv {
namespace {

namespace fs = std::filesystem;

const std::string OldProgram = "%\r\nO0001\r\nN10 G0 X0 Y0\r\nN20 G1 X50 F200\r\nN30 M30\r\n%\r\n";

mode_t Mode(const std::string &Path) {
    struct stat st {};
    ::stat(Path.c_str(), &st);
    return st.st_mode & 07777;
}

mode_t DefaultMode() {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return 0666 & ~mask;
}

// Every name under the folder, so that a leftover temporary file shows.
std::set<std::string> Contents(const test::TTempDir &Dir) {
    std::set<std::string> names;
    for (const auto &e : fs::recursive_directory_iterator(Dir.Path()))
        names.insert(e.path().lexically_relative(Dir.Path()).string());
    return names;
}

TEST(SafeSave, ReplacesOrCreatesTheFileAndKeepsItsModeAndLinks) {
    const std::string longName(NAME_MAX, 'n');
    struct TCase {
        const char *Name;
        std::function<std::string(const test::TTempDir &)> Prepare; // the name saved to
        std::string Bytes;
        std::string Holder; // the file that ends up with the bytes
        mode_t Mode;
    } cases[] = {
        {"a new file", [](auto &D) { return D.File("new.fnc"); }, OldProgram, "new.fnc",
         DefaultMode()},
        {"a longer file cut to the new length, its mode kept",
         [](auto &D) {
             D.Write("p.fnc", OldProgram + OldProgram);
             ::chmod(D.File("p.fnc").c_str(), 0640);
             return D.File("p.fnc");
         },
         "N1\r\n", "p.fnc", 0640},
        {"an executable file emptied",
         [](auto &D) {
             D.Write("run.sh", OldProgram);
             ::chmod(D.File("run.sh").c_str(), 0755);
             return D.File("run.sh");
         },
         "", "run.sh", 0755},
        {"a link into another folder",
         [](auto &D) {
             fs::create_directory(D.File("sub"));
             D.Write("sub/real.fnc", OldProgram);
             ::chmod(D.File("sub/real.fnc").c_str(), 0600);
             fs::create_symlink("sub/real.fnc", D.File("link.fnc"));
             return D.File("link.fnc");
         },
         "N2\r\n", "sub/real.fnc", 0600},
        {"a link to an absolute link",
         [](auto &D) {
             D.Write("real.fnc", OldProgram);
             fs::create_symlink("real.fnc", D.File("first.fnc"));
             fs::create_symlink(D.File("first.fnc"), D.File("second.fnc"));
             return D.File("second.fnc");
         },
         "N3\r\n", "real.fnc", DefaultMode()},
        {"a link to a file not made yet",
         [](auto &D) {
             fs::create_symlink("made.fnc", D.File("dangling.fnc"));
             return D.File("dangling.fnc");
         },
         "N4\r\n", "made.fnc", DefaultMode()},
        {"a name as long as the system allows",
         [&](auto &D) { return D.Write(longName, OldProgram); }, "N5\r\n", longName, DefaultMode()},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        test::TTempDir dir;
        const std::string name = c.Prepare(dir);
        const bool link = fs::is_symlink(name);
        std::set<std::string> expected = Contents(dir);
        expected.insert(c.Holder);

        const TSaveResult result = SaveFileReplacing(name, c.Bytes);
        ASSERT_TRUE(result) << result.Reason;
        EXPECT_EQ(dir.Read(c.Holder), c.Bytes);
        EXPECT_EQ(Mode(dir.File(c.Holder)), c.Mode);
        EXPECT_EQ(fs::is_symlink(name), link);
        EXPECT_EQ(Contents(dir), expected);
    }
}

TEST(SafeSave, ARefusedSaveNamesTheReasonAndTouchesNothing) {
    struct TCase {
        const char *Name;
        std::function<std::string(const test::TTempDir &)> Prepare;
        int Error;
    } cases[] = {
        {"the name is a folder",
         [](auto &D) {
             fs::create_directory(D.File("prog.fnc"));
             D.Write("prog.fnc/inside.fnc", OldProgram);
             return D.File("prog.fnc");
         },
         EISDIR},
        {"a link to a folder",
         [](auto &D) {
             fs::create_directory(D.File("folder"));
             fs::create_symlink("folder", D.File("prog.fnc"));
             return D.File("prog.fnc");
         },
         EISDIR},
        {"the folder does not exist", [](auto &D) { return D.File("no/such/x.fnc"); }, ENOENT},
        {"links in a circle",
         [](auto &D) {
             fs::create_symlink("b.fnc", D.File("a.fnc"));
             fs::create_symlink("a.fnc", D.File("b.fnc"));
             return D.File("a.fnc");
         },
         ELOOP},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        test::TTempDir dir;
        const std::string name = c.Prepare(dir);
        const std::set<std::string> before = Contents(dir);

        const TSaveResult result = SaveFileReplacing(name, "N1\r\n");
        EXPECT_FALSE(result);
        EXPECT_EQ(result.Failed, TSaveStep::Create);
        EXPECT_EQ(result.Reason, std::strerror(c.Error));
        EXPECT_EQ(Contents(dir), before);
    }
}

// The disk refusing more bytes half way through the new content (here the
// file-size limit; a full disk or quota behaves alike) leaves the old program
// byte for byte and no temporary file.
TEST(SafeSave, AWriteFailingPartWayLeavesTheOldFile) {
    test::TTempDir dir;
    const std::string name = dir.Write("big.fnc", OldProgram);
    ::chmod(name.c_str(), 0640);
    const std::set<std::string> before = Contents(dir);
    std::string bigger;
    while (bigger.size() < 64 * 1024)
        bigger += "N" + std::to_string(bigger.size()) + " G1 X12.5 Y-3 F800\r\n";

    TSaveResult result;
    {
        test::TFileSizeLimit limit(4096);
        result = SaveFileReplacing(name, bigger);
    }
    EXPECT_FALSE(result);
    EXPECT_EQ(result.Failed, TSaveStep::Write);
    EXPECT_EQ(result.Reason, std::strerror(EFBIG));
    EXPECT_EQ(dir.Read("big.fnc"), OldProgram);
    EXPECT_EQ(Mode(name), 0640);
    EXPECT_EQ(Contents(dir), before);

    ASSERT_TRUE(SaveFileReplacing(name, bigger)) << "a save within the limit succeeds";
    EXPECT_EQ(dir.Read("big.fnc"), bigger);
}

// A folder the user may not write to: no temporary file can be made there.
// Root writes anywhere, so then the save runs in a child as another user.
TEST(SafeSave, AFolderThatIsNotWritableKeepsTheOldFile) {
    test::TTempDir dir;
    fs::create_directory(dir.File("locked"));
    const std::string name = dir.Write("locked/p.fnc", OldProgram);
    ::chmod(dir.Path().c_str(), 0755);
    ::chmod(dir.File("locked").c_str(), 0555);
    const std::set<std::string> before = Contents(dir);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        const TSaveResult result = SaveFileReplacing(name, "N1\r\n");
        ::_exit(result                                   ? 1
                : result.Failed != TSaveStep::Create     ? 2
                : result.Reason != std::strerror(EACCES) ? 4
                                                         : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ::chmod(dir.File("locked").c_str(), 0755);
    if (WEXITSTATUS(status) == 3)
        GTEST_SKIP() << "root here cannot become another user";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1 saved, 2 wrong step, 4 wrong reason";
    EXPECT_EQ(dir.Read("locked/p.fnc"), OldProgram);
    EXPECT_EQ(Contents(dir), before);
}

} // namespace
} // namespace orv
