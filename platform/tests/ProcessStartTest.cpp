// Starting an outside program: the parameter words, and the starts that
// cannot happen.
#include "platform/ProcessStart.h"

#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(ProcessStart, ParameterWordsSplitAtBlanksAndKeepQuotedBlanks)
{
    const struct {
        const char *Text;
        std::vector<std::string> Words;
    } rows[] = {
        {"", {}},
        {"   ", {}},
        {"-a  b\tc", {"-a", "b", "c"}},
        {"\"two words\" three", {"two words", "three"}},
        {"x\"y z\"w", {"xy zw"}},
        {"\"\"", {""}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Text);
        EXPECT_EQ(SplitParameters(row.Text), row.Words);
    }
}

TEST(ProcessStart, AProgramThatCannotStartIsRefused)
{
    test::TTempDir dir;
    const std::string text = dir.Write("not-a-program.txt", "hello\n");
    EXPECT_FALSE(StartDetached("", "", ""));
    EXPECT_FALSE(StartDetached(dir.File("missing"), "", ""));
    EXPECT_FALSE(StartDetached(text, "", "")) << "not executable";
    EXPECT_FALSE(StartDetached("/bin/true", "", dir.File("no-such-folder")));
    EXPECT_TRUE(StartDetached("/bin/true", "a b", dir.Path()));
}

} // namespace
} // namespace orv
