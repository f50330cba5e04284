// Rostrel's pure rules: the wire text of a line, the sender's walk through
// an editor text, the receive assembly with its 3-second flush on a test
// clock, the settings file, the recent files and the port list.

#include "platform/EventLoop.h"
#include "platform/IniFile.h"
#include "platform/tests/TempDir.h"
#include "transfer/ComPorts.h"
#include "transfer/FileHistory.h"
#include "transfer/ReceiveAssembly.h"
#include "transfer/RostrelSettings.h"
#include "transfer/SendCursor.h"
#include "transfer/SendFilter.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(SendFilter, WireTextOfALine) {
    struct Case {
        const char *Name;
        std::string Line;
        TSendOptions Options;
        std::optional<std::string> Wire;
    };
    TSendOptions strip;
    strip.StripBlank = true;
    TSendOptions comment;
    comment.Comment1 = "rem";
    TSendOptions comment2;
    comment2.Comment2 = "(MSG";
    TSendOptions lf;
    lf.AppendLF = true;
    TSendOptions upper;
    upper.UpperOnly = true;
    upper.Comment1 = "REM";
    const Case cases[] = {
        {"plain", "G0 X1", {}, "G0 X1\r"},
        {"empty line sent as lone CR", "", {}, "\r"},
        {"empty line stripped", "", strip, std::nullopt},
        {"spaces and tabs are blank", " \t ", strip, std::nullopt},
        {"percent is not blank", "%", strip, "%\r"},
        {"comment any case", "REM tool change", comment, std::nullopt},
        {"comment must lead", "G0 rem", comment, "G0 rem\r"},
        {"second comment", "(msg hello)", comment2, std::nullopt},
        {"empty comment never matches", "G1", {}, "G1\r"},
        {"LF after CR", "M30", lf, "M30\r\n"},
        {"uppercase comment still matches", "rem x", upper, std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(WireText(CasedLine(c.Line, c.Options), c.Options), c.Wire);
    }
}

TEST(SendFilter, CaseOptions) {
    TSendOptions o;
    o.UpperOnly = true;
    EXPECT_EQ(CasedLine("g1 x2", o), "G1 X2");
    o.LowerOnly = true; // both ticked: lowercase first, then UPPERCASE
    EXPECT_EQ(CasedLine("g1 X2", o), "G1 X2");
    o.UpperOnly = false;
    EXPECT_EQ(CasedLine("G1 X2", o), "g1 x2");
    EXPECT_TRUE(IsBlankLine(""));
    EXPECT_FALSE(IsBlankLine(" !"));
}

TEST(SendCursor, PartsBetweenCRs) {
    struct Case {
        const char *Name;
        std::string Text;
        std::vector<std::pair<std::string, bool>> Parts;
    };
    const Case cases[] = {
        {"two lines", "N1\rN2", {{"N1", true}, {"N2", false}}},
        {"closing break gives an empty last", "N1\r", {{"N1", true}, {"", false}}},
        {"last part right-trimmed", "N1 \rN2 \t", {{"N1 ", true}, {"N2", false}}},
        {"lone NUL is empty", std::string("\0\rA", 3), {{"", true}, {"A", false}}},
        {"empty middle", "A\r\rB", {{"A", true}, {"", true}, {"B", false}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        size_t pos = 0;
        for (const auto &part : c.Parts) {
            std::string line = "junk";
            EXPECT_EQ(NextSendLine(c.Text, pos, line), part.second);
            EXPECT_EQ(line, part.first);
        }
    }
    size_t pos = 0;
    std::string line = "kept";
    EXPECT_FALSE(NextSendLine("", pos, line));
    EXPECT_EQ(line, "kept");
}

class ReceiveTest : public ::testing::Test {
protected:
    ReceiveTest() {
        Loop.StepMs = 0;
        Assembly.OnLine = [this](const std::string &Line, bool WithoutCR) {
            Lines.push_back(Line);
            Flushed.push_back(WithoutCR);
        };
    }
    TTestEventLoop Loop;
    TEventLoopScope Scope{Loop};
    TReceiveAssembly Assembly;
    std::vector<std::string> Lines;
    std::vector<bool> Flushed;
};

TEST_F(ReceiveTest, LinesEndAtCRAndAPartialLineFlushesAfterThreeSeconds) {
    Assembly.AppendReceived("N10 G0\r\nN20 G1\r");
    EXPECT_EQ(Lines, (std::vector<std::string>{"N10 G0", "N20 G1"}));
    Assembly.AppendReceived("N30");
    Loop.Advance(2999);
    EXPECT_EQ(Lines.size(), 2u);
    Assembly.AppendReceived("X"); // a running timer is not restarted
    Loop.Advance(1);
    ASSERT_EQ(Lines.size(), 3u);
    EXPECT_EQ(Lines[2], "N30X");
    EXPECT_TRUE(Flushed[2]);
    EXPECT_FALSE(Flushed[0]);
    Assembly.AppendReceived("Y\r"); // the rest of the line starts a new one
    EXPECT_EQ(Lines.back(), "Y");
    EXPECT_EQ(Assembly.Dropped(), 0); // LF is not garbage
}

TEST_F(ReceiveTest, ANulInsideAChunkLosesNothingAndGarbageIsCounted) {
    const uint8_t chunk[] = {'A', 'B', 0, 'C', '\t', 1, 7, 'D', '\r', 0, 'E', '\r'};
    Assembly.AppendReceived(chunk, int(sizeof chunk));
    EXPECT_EQ(Lines, (std::vector<std::string>{"ABCD", "E"}));
    EXPECT_EQ(Assembly.Dropped(), 4); // two NULs, 1 and 7; TAB is not counted
}

TEST_F(ReceiveTest, PiecesJoinAcrossChunksAndTwoCRsGiveAnEmptyLine) {
    Assembly.AppendReceived("AB");
    Loop.Advance(1000);
    Assembly.AppendReceived("CD\r\r");
    EXPECT_EQ(Lines, (std::vector<std::string>{"ABCD", ""}));
    EXPECT_FALSE(Assembly.TimerRunning());
    Loop.Advance(5000);
    EXPECT_EQ(Lines.size(), 2u); // nothing pending, nothing flushed
    EXPECT_EQ(StripControlChars(std::string("a\0b\r\nc", 6)), "abc");
}

TEST(RostrelSettings, DefaultsAndRoundTrip) {
    test::TTempDir dir;
    std::string ini = RostrelIniPath(dir.Path());
    EXPECT_EQ(ini, dir.Path() + "Rostrel.ini");
    TRostrelSettings s;
    ReadComSettings(ini, s.Com);
    ReadOptions(ini, s);
    EXPECT_EQ(s.Com.DataBits, 3);
    EXPECT_EQ(s.Com.BaudRate, 0);
    EXPECT_EQ(s.FontSize, 8);
    EXPECT_EQ(s.HistorySize, 10);
    EXPECT_FALSE(s.Options.StripBlank);

    s.Com = {5, 12, 2, 2, 1, true};
    s.FontSize = 14;
    s.HistorySize = 4;
    s.FileDirectory = "/nc/";
    s.Options = {true, "REM", "(", true, false, true, false};
    WriteComSettings(ini, s.Com, s.Options);
    WriteOptions(ini, s);
    EXPECT_FALSE(TIniFile(ini).ValueExists("DEFAULT", "HISTORY SIZE"));
    EXPECT_EQ(TIniFile(ini).ReadString("OPTIONS", "STRIP BLANK", ""), "1");

    TRostrelSettings back;
    ReadComSettings(ini, back.Com);
    ReadOptions(ini, back);
    EXPECT_EQ(back.Com.Port, 5);
    EXPECT_EQ(back.Com.BaudRate, 12);
    EXPECT_EQ(back.Com.StopBits, 1);
    EXPECT_TRUE(back.Com.HandShaking);
    EXPECT_EQ(back.FontSize, 14);
    EXPECT_EQ(back.HistorySize, 10);
    EXPECT_EQ(back.FileDirectory, "/nc/");
    EXPECT_EQ(back.Options.Comment1, "REM");
    EXPECT_EQ(back.Options.Comment2, "(");
    EXPECT_TRUE(back.Options.UpperOnly);
    EXPECT_TRUE(back.Options.AppendLF);
    EXPECT_FALSE(back.Options.AppendCR);
    // PORT 5 with two listed ports selects the first.
    EXPECT_EQ(PortIndexFor(5, 2), 0);
    EXPECT_EQ(PortIndexFor(1, 2), 1);
    EXPECT_EQ(PortIndexFor(2, 2), 0);
}

TEST(FileHistory, TenNewestOfTwelveAndOnlyTheOldestGoes) {
    test::TTempDir dir;
    std::string text = "[FILE HISTORY]\n";
    for (int i = 1; i <= 12; ++i)
        text += "f" + std::to_string(i) + ".fnc=" + std::to_string(13 - i) + "\n";
    std::string ini = dir.Write("Rostrel.ini", text);
    TFileHistory h;
    std::vector<std::string> menu;
    h.OnRebuildMenu = [&](const std::vector<std::string> &C) { menu = C; };
    h.LoadHistory(ini);
    ASSERT_EQ(menu.size(), 10u);
    EXPECT_EQ(menu.front(), "f12.fnc");
    EXPECT_EQ(menu.back(), "f3.fnc");
    h.AddFile("new.fnc");
    EXPECT_EQ(h.Files().size(), 12u);
    EXPECT_EQ(h.Files().front(), "f2.fnc");
    EXPECT_EQ(menu.front(), "new.fnc");

    // The same file twice is listed twice, and once after a save and load.
    TFileHistory twice;
    twice.AddFile("a.fnc");
    twice.AddFile("a.fnc");
    EXPECT_EQ(twice.MenuCaptions().size(), 2u);
    std::string ini2 = dir.File("two.ini");
    twice.SaveHistory(ini2);
    TFileHistory back;
    back.LoadHistory(ini2);
    EXPECT_EQ(back.Files(), (std::vector<std::string>{"a.fnc"}));
}

TEST(ComPorts, EntriesInFileOrderWithTheirDevices) {
    test::TTempDir dir;
    std::string ini =
        dir.Write("Rostrel.ini", "[Serial Ports]\nCOM1=/dev/pts/71\nCOM3=/dev/pts/73\nBAD\n");
    auto ports = ListComPorts(ini);
    ASSERT_GE(ports.size(), 2u);
    EXPECT_EQ(ports[0].Name, "COM1");
    EXPECT_EQ(ports[1].Name, "COM3");
    EXPECT_EQ(ports[1].Device, "/dev/pts/73");

    TSerialSettings s = LineSettings(12, 2, 3, 2, 2, 1);
    EXPECT_EQ(s.Baud, 115200);
    EXPECT_EQ(s.Parity, 'E');
    EXPECT_EQ(s.DataBits, 8);
    EXPECT_EQ(s.StopBits, 2);
    EXPECT_TRUE(s.RtsCts);
    EXPECT_TRUE(s.XonXoff);
    EXPECT_EQ(LineSettings(-1, 0, 3, 0, 0, 0).Baud, 9600); // no selection keeps the rate
    EXPECT_EQ(BaudRates().size(), 15u);
}

} // namespace
} // namespace orv
