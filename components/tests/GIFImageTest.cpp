// The animated picture: the block reader's limits, frame timing by delay
// and speed, passes of the loop count, CurrentFrame, composition by
// disposal and placement. The GIFs come from a small encoder below
// (uncompressed LZW codes).
#include "components/gif/GIFReader.h"
#include "components/gif/ui/GIFImage.h"

#include "platform/EventLoop.h"

#include <gtest/gtest.h>

#include <QColor>

#include <fstream>
#include <sstream>

namespace orv {
namespace {

struct TTestFrame {
    int Left = 0, Top = 0, Width = 2, Height = 2;
    int Colour = 1;       // palette index of every pixel
    int DelayCs = 0;      // hundredths
    int Disposal = 0;
    int Transparent = -1; // transparent index, -1 none
};

// Palette: 0 black, 1 red, 2 green, 3 blue.
std::string EncodeGIF(const std::vector<TTestFrame> &Frames, int LoopCount = -1, int ScreenW = 4,
                      int ScreenH = 4)
{
    auto word = [](std::string &S, int V) {
        S += char(V & 0xFF);
        S += char((V >> 8) & 0xFF);
    };
    std::string g = "GIF89a";
    word(g, ScreenW);
    word(g, ScreenH);
    g += char(0xF1); // global table of 4 entries
    g += '\0';
    g += '\0';
    const unsigned char palette[] = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    g.append(reinterpret_cast<const char *>(palette), sizeof palette);
    if (LoopCount >= 0) {
        g += "\x21\xFF\x0BNETSCAPE2.0\x03\x01";
        word(g, LoopCount);
        g += '\0';
    }
    for (const TTestFrame &f : Frames) {
        g += "\x21\xF9\x04";
        g += char((f.Disposal << 2) | (f.Transparent >= 0 ? 1 : 0));
        word(g, f.DelayCs);
        g += char(f.Transparent >= 0 ? f.Transparent : 0);
        g += '\0';
        g += ',';
        word(g, f.Left);
        word(g, f.Top);
        word(g, f.Width);
        word(g, f.Height);
        g += '\0';
        // Code size 2: clear 4, end 5, 3-bit codes; a clear every 2 codes keeps them 3 bits.
        const int codeSize = 2;
        std::vector<int> codes{4};
        for (int i = 0; i < f.Width * f.Height; ++i) {
            if (i && i % 2 == 0)
                codes.push_back(4);
            codes.push_back(f.Colour);
        }
        codes.push_back(5);
        std::string data;
        unsigned bits = 0, nbits = 0;
        for (int c : codes) {
            bits |= unsigned(c) << nbits;
            nbits += 3;
            while (nbits >= 8) {
                data += char(bits & 0xFF);
                bits >>= 8;
                nbits -= 8;
            }
        }
        if (nbits)
            data += char(bits & 0xFF);
        g += char(codeSize);
        for (size_t i = 0; i < data.size(); i += 255) {
            std::string chunk = data.substr(i, 255);
            g += char(chunk.size());
            g += chunk;
        }
        g += '\0';
    }
    g += ';';
    return g;
}

class GIFImage : public ::testing::Test {
protected:
    TTestEventLoop Loop;
    TEventLoopScope Scope{Loop};
    TGIFImage Image;
};

TEST_F(GIFImage, DelaysAreAtLeast50MsAndScaleWithSpeed)
{
    ASSERT_TRUE(Image.LoadFromStream(EncodeGIF({{0, 0, 2, 2, 1, 0}, {0, 0, 2, 2, 2, 20}}, 0)));
    EXPECT_EQ(Image.Frame(1).Delay, 0);
    EXPECT_EQ(Image.Frame(2).Delay, 200);
    for (int speed : {100, 200}) {
        Image.SetSpeed(speed);
        Image.SetAnimate(true);
        Loop.Advance(1000); // past the first ticks
        // Frame by frame, the time each one stays: at each change the frame
        // just drawn is the one before CurrentFrame (the next to come).
        struct TChange {
            int64_t At;
            int Shown;
        };
        std::vector<TChange> changes;
        Image.OnChange = [&] {
            const int next = Image.CurrentFrame();
            changes.push_back({Loop.NowMs(), next == 1 ? Image.FrameCount() : next - 1});
        };
        Loop.Advance(1000);
        Image.OnChange = nullptr;
        ASSERT_GE(changes.size(), 3u);
        const int64_t stayOf[] = {0, 50 * 100 / speed, 200 * 100 / speed}; // by frame
        int seen[3] = {0, 0, 0};
        for (size_t i = 1; i < changes.size(); ++i) {
            const int shown = changes[i - 1].Shown;
            ASSERT_TRUE(shown == 1 || shown == 2) << shown;
            EXPECT_EQ(changes[i].At - changes[i - 1].At, stayOf[shown])
                << "frame " << shown << " at speed " << speed;
            ++seen[shown];
            EXPECT_EQ(changes[i].Shown, shown == 1 ? 2 : 1) << "the frames take turns";
        }
        EXPECT_GT(seen[1], 0);
        EXPECT_GT(seen[2], 0);
        Image.SetAnimate(false);
    }
}

// The "Data" form value: a 32-bit length and the GIF's bytes; read back it
// gives the same picture. A value cut short, or one that is no GIF, leaves
// the control empty; a length of 0 holds no picture.
TEST_F(GIFImage, DataValueRoundTripAndBadValues)
{
    const std::string gif = EncodeGIF({{0, 0, 2, 2, 1, 10}, {0, 0, 2, 2, 2, 20}}, 0);
    ASSERT_TRUE(Image.LoadFromStream(gif));
    std::ostringstream out;
    Image.WriteData(out);
    const std::string value = out.str();
    ASSERT_EQ(value.size(), gif.size() + 4);
    const uint32_t length = uint8_t(value[0]) | uint8_t(value[1]) << 8 |
                            uint8_t(value[2]) << 16 | uint32_t(uint8_t(value[3])) << 24;
    EXPECT_EQ(length, gif.size());
    EXPECT_EQ(value.substr(4), gif);

    TGIFImage back;
    std::istringstream in(value);
    ASSERT_TRUE(back.ReadData(in));
    EXPECT_EQ(back.FrameCount(), 2);
    EXPECT_EQ(back.Frame(2).Delay, 200);
    EXPECT_EQ(back.Data(), gif);

    std::ostringstream none;
    TGIFImage().WriteData(none);
    EXPECT_EQ(none.str(), "") << "an empty control stores nothing";

    const struct {
        const char *Name;
        std::string Value;
        bool Read;
    } cases[] = {
        {"cut short", value.substr(0, value.size() - 5), false},
        {"length only", value.substr(0, 4), false},
        {"no length", std::string("\x05\x00", 2), false},
        {"not a GIF", std::string("\x04\x00\x00\x00JFIF", 8), false},
        {"length 0", std::string(4, '\0'), true},
        {"negative length", "\xFF\xFF\xFF\xFF", true},
        {"length past the value", std::string("\xFF\xFF\xFF\x7F", 4) + gif, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(back.LoadFromStream(gif));
        std::istringstream bad(c.Value);
        EXPECT_EQ(back.ReadData(bad), c.Read);
        EXPECT_TRUE(back.Empty());
        EXPECT_EQ(back.Data(), "");
    }
}

// Assign copies another control's picture by decoding its Data; no source
// or an empty one clears. AssignTo gives the first frame.
TEST_F(GIFImage, AssignAndAssignTo)
{
    const std::string gif = EncodeGIF({{0, 0, 2, 2, 1, 10}, {0, 0, 2, 2, 2, 20}}, 3);
    ASSERT_TRUE(Image.LoadFromStream(gif));
    TGIFImage copy;
    copy.Assign(&Image);
    EXPECT_EQ(copy.Data(), gif);
    EXPECT_EQ(copy.FrameCount(), 2);
    EXPECT_EQ(copy.LoopCount(), 3);
    EXPECT_EQ(copy.CurrentFrame(), 1);
    EXPECT_EQ(copy.Composition().pixelColor(0, 0), QColor(255, 0, 0));

    QImage first;
    copy.SetCurrentFrame(2); // the shown frame does not matter
    copy.AssignTo(first);
    EXPECT_EQ(first.size(), QSize(2, 2));
    EXPECT_EQ(first.pixelColor(1, 1), QColor(255, 0, 0));

    TGIFImage empty;
    copy.Assign(&empty);
    EXPECT_TRUE(copy.Empty());
    copy.AssignTo(first);
    EXPECT_TRUE(first.isNull());
    Image.Assign(nullptr);
    EXPECT_TRUE(Image.Empty());
    EXPECT_EQ(Image.Data(), "");
}

TEST_F(GIFImage, LoopCountGivesThePasses)
{
    const struct {
        int LoopCount;
        int Wraps; // within 10 s
    } cases[] = {{3, 3}, {-1, 1}, {0, -1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.LoopCount);
        ASSERT_TRUE(Image.LoadFromStream(EncodeGIF({{0, 0, 2, 2, 1, 10}, {0, 0, 2, 2, 2, 10}}, c.LoopCount)));
        int wraps = 0;
        Image.OnWrapAnimation = [&] { ++wraps; };
        Image.SetAnimate(true);
        Loop.Advance(10000);
        if (c.Wraps < 0) {
            EXPECT_GT(wraps, 10);
            EXPECT_GT(Image.TimerInterval(), 0);
        } else {
            EXPECT_EQ(wraps, c.Wraps);
            EXPECT_EQ(Image.TimerInterval(), 0);
        }
        Image.SetAnimate(false);
        Image.OnWrapAnimation = nullptr;
    }
}

TEST_F(GIFImage, NoMoreThan256Images)
{
    std::vector<TTestFrame> frames(257);
    TGIFFile file;
    std::string error;
    ASSERT_TRUE(ReadGIF(EncodeGIF(frames), file, error));
    EXPECT_EQ(file.Frames.size(), 256u);
}

TEST_F(GIFImage, BadDataAndLimits)
{
    TGIFFile file;
    std::string error;
    EXPECT_FALSE(ReadGIF("", file, error));
    EXPECT_FALSE(ReadGIF("PNG89a0123456789", file, error));
    EXPECT_FALSE(ReadGIF(EncodeGIF({{0, 0, 0, 2}}), file, error));
    // A frame placed far out would make a logical screen of billions of pixels.
    EXPECT_FALSE(ReadGIF(EncodeGIF({{0, 0, 2, 2}, {65000, 65000, 2, 2}}), file, error));
    EXPECT_NE(error.find("too large"), std::string::npos);
    EXPECT_FALSE(Image.LoadFromStream(EncodeGIF({{0, 0, 2, 2}, {65000, 65000, 2, 2}})));
    EXPECT_TRUE(Image.Empty());
    // An abort from the progress event fails the load.
    Image.OnProgress = [](size_t, size_t, int, bool &Keep) { Keep = false; };
    EXPECT_FALSE(Image.LoadFromStream(EncodeGIF({{}})));
}

TEST_F(GIFImage, CurrentFrameOutOfRangeIsIgnored)
{
    ASSERT_TRUE(Image.LoadFromStream(EncodeGIF({{}, {0, 0, 2, 2, 2}, {0, 0, 2, 2, 3}})));
    Image.SetCurrentFrame(3);
    EXPECT_EQ(Image.CurrentFrame(), 3);
    for (int bad : {0, 4, -1}) {
        Image.SetCurrentFrame(bad);
        EXPECT_EQ(Image.CurrentFrame(), 3);
        EXPECT_EQ(QColor(Image.Composition().pixel(0, 0)), QColor(0, 0, 255));
    }
}

TEST_F(GIFImage, DisposalAndTransparency)
{
    // 1: red over the screen; 2: green 2 x 2 at (1, 1), restored to
    // background after; 3: blue with its colour transparent keeps what is there.
    ASSERT_TRUE(Image.LoadFromStream(EncodeGIF(
        {{0, 0, 4, 4, 1}, {1, 1, 2, 2, 2, 0, 2}, {0, 0, 2, 2, 3, 0, 0, 3}})));
    EXPECT_EQ(QColor(Image.Composition().pixel(1, 1)), QColor(255, 0, 0));
    Image.SetCurrentFrame(2);
    EXPECT_EQ(QColor(Image.Composition().pixel(1, 1)), QColor(0, 255, 0));
    EXPECT_EQ(QColor(Image.Composition().pixel(0, 0)), QColor(255, 0, 0));
    Image.SetCurrentFrame(3);
    EXPECT_EQ(qAlpha(Image.Composition().pixel(2, 2)), 0) << "frame 2's area restored to background";
    EXPECT_EQ(QColor(Image.Composition().pixel(0, 0)), QColor(255, 0, 0)) << "transparent pixels keep";
}

TEST_F(GIFImage, Placement)
{
    ASSERT_TRUE(Image.LoadFromStream(EncodeGIF({{0, 0, 100, 50, 1}}, -1, 100, 50)));
    Image.resize(100, 100);
    Image.StretchRatio = true;
    EXPECT_EQ(Image.DestRect(), QRect(0, 25, 100, 50));
    ASSERT_TRUE(Image.LoadFromStream(EncodeGIF({{0, 0, 50, 50, 1}}, -1, 50, 50)));
    Image.StretchBigOnly = true;
    EXPECT_EQ(Image.DestRect(), QRect(0, 0, 50, 50));
    Image.StretchBigOnly = false;
    Image.StretchRatio = false;
    Image.Center = true;
    EXPECT_EQ(Image.DestRect(), QRect(25, 25, 50, 50));
}

TEST_F(GIFImage, TheKnobHas21Frames)
{
    ASSERT_TRUE(Image.LoadFromFile(std::string(ORV_DATA_DIR) + "/FanucKnob.gif"));
    EXPECT_EQ(Image.FrameCount(), 21);
    EXPECT_EQ(Image.Composition().size(), QSize(64, 64));
}

} // namespace
} // namespace orv
