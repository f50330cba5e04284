// The toolbars' button sizes and popup, and the hidden buttons' section.
#include "shell/ToolbarSetup.h"

#include "platform/IniFile.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(ToolbarSetup, ButtonSizeAndContentByIconSizeAndCaptions)
{
    const struct {
        int IconSize;
        bool Captions;
        int Width, Height;
        bool Glyph, Caption, Small;
    } rows[] = {
        {iconLarge, true, 72, 50, true, true, false},
        {iconLarge, false, 65, 35, true, false, false},
        {iconSmall, true, 72, 50, true, true, true},
        {iconSmall, false, 35, 20, true, false, true},
        {iconNone, true, 72, 15, false, true, false},
        // Not reachable from the popup, but a layout file may hold it.
        {iconNone, false, 72, 15, true, false, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << row.IconSize << " captions " << row.Captions);
        const TButtonStyle s = ToolbarButtonStyle(row.IconSize, row.Captions);
        EXPECT_EQ(s.Width, row.Width);
        EXPECT_EQ(s.Height, row.Height);
        EXPECT_EQ(s.ShowGlyph, row.Glyph);
        EXPECT_EQ(s.ShowCaption, row.Caption);
        EXPECT_EQ(s.SmallGlyphs, row.Small);
    }
}

TEST(ToolbarSetup, PopupEnablingFollowsIconSizeAndCaptions)
{
    const struct {
        int IconSize;
        bool Captions;
        bool CaptionsChecked, CaptionsEnabled, NoneEnabled;
    } rows[] = {
        {iconLarge, true, true, true, true},
        {iconLarge, false, false, true, false}, // captions off: "None" disabled
        {iconSmall, true, true, true, true},
        {iconNone, true, true, false, true}, // "None" marked: captions disabled
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << row.IconSize << " captions " << row.Captions);
        const TToolbarPopupState p = ToolbarPopupState(row.IconSize, row.Captions);
        EXPECT_EQ(p.CaptionsChecked, row.CaptionsChecked);
        EXPECT_EQ(p.CaptionsEnabled, row.CaptionsEnabled);
        EXPECT_EQ(p.NoneEnabled, row.NoneEnabled);
        EXPECT_EQ(p.CheckedSize, row.IconSize);
    }
}

TEST(ToolbarSetup, HiddenButtonsAreRewrittenWholeAndMatchedWithoutCase)
{
    test::TTempDir dir;
    const std::string ini =
        dir.Write("Tarnwick.ini", "[Hidden Buttons]\nOldButton=0\n[Data]\nExpanded Cycles=1\n");
    WriteHiddenButtons(ini, {"Comp_output", "Post_output"});
    EXPECT_EQ(dir.Read("Tarnwick.ini"), "[Data]\r\nExpanded Cycles=1\r\n"
                                        "[Hidden Buttons]\r\nComp_output=0\r\nPost_output=0\r\n");
    const std::vector<std::string> listed = ReadHiddenButtons(ini);
    EXPECT_TRUE(IsListedButton(listed, "COMP_OUTPUT"));
    EXPECT_TRUE(IsListedButton(listed, "post_output"));
    EXPECT_FALSE(IsListedButton(listed, "OldButton"));
    WriteHiddenButtons(ini, {});
    EXPECT_TRUE(ReadHiddenButtons(ini).empty());
}

TEST(ToolbarSetup, PresetFilesAreFoundWithoutCase)
{
    test::TTempDir dir;
    const std::string upper = dir.Write("Default2.INI", "");
    EXPECT_EQ(PresetLayoutFile(dir.Path(), 2), upper);
    EXPECT_EQ(PresetLayoutFile(dir.Path(), 3), dir.File("default3.ini"));
}

} // namespace
} // namespace orv
