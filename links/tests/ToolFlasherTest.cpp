#include "links/ui/Tool_Flasher.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

// The window its user fills: fixed 148 x 59, a lowered panel at 8, 8.
TEST(ToolFlasherTest, ShapeOfTheWindow) {
    TVr_flash form;
    form.setWindowTitle("Tool 3");
    form.Panel1->setText("Setting up");
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.size(), QSize(148, 59));
    EXPECT_EQ(form.Panel1->geometry(), QRect(8, 8, 129, 41));
    EXPECT_EQ(form.Panel1->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(form.Panel1->text(), "Setting up");
}

} // namespace
} // namespace orv
