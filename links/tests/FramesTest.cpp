#include "links/LowLevel.h"

#include <gtest/gtest.h>

namespace orv {
TEST(FramesTest, Placeholder) { EXPECT_EQ(frames::WriteFrame("M3", 1, "0").back(), 'x'); }
}
