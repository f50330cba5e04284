// The expanded-code strip as a source drives it.

#include "engine/chain/BasicInput.h"
#include "engine/chain/ui/Expanded.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(ChainExpanded, ASourceShowsAndHidesGeneratedCode)
{
    TBasicInput Input;
    Input.Expanded = std::make_unique<TExpanded>();
    auto *Strip = static_cast<TExpanded *>(Input.Expanded.get());
    EXPECT_EQ(Strip->Caption()->text(), "Expanded Code");
    EXPECT_EQ(Strip->size(), QSize(390, 27));
    EXPECT_FALSE(Strip->isVisible());

    Input.ShowExpandedText("G01 X10.000 Y5.000 ");
    EXPECT_TRUE(Strip->isVisible());
    EXPECT_EQ(Strip->Code()->text(), "G01 X10.000 Y5.000 ");

    Input.ShowExpanded(true); // nothing in the base
    EXPECT_TRUE(Strip->isVisible());
    Input.ShowExpanded(false);
    EXPECT_FALSE(Strip->isVisible());
    EXPECT_TRUE(Strip->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

} // namespace
} // namespace orv
