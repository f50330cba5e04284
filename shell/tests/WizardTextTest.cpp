// The block wizard's texts: block numbers between neighbours, the words a
// new or altered block writes, M operations, header and footer, and the
// arc conversions.

#include "shell/WizardText.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

std::string Inserted(const TLines &Lines, int Caret, int Kind, int SubKind,
                     const std::vector<std::pair<int, double>> &Typed, TWizardModel *Out = nullptr)
{
    TWizardModel model;
    model.StartInsert(Lines, Caret, Kind, SubKind);
    for (auto [word, value] : Typed)
        model.Enter(word, value);
    auto edit = model.Build();
    if (Out)
        *Out = model;
    return edit ? edit->Text : "<nothing>";
}

TEST(WizardText, BlockNumberBetweenNeighbours)
{
    TWizardModel model;
    EXPECT_EQ(Inserted({"N10 G00 X0 Y0 Z0", "N20 G00 X5"}, 1, 3, 0, {{wX, 7}}, &model),
              "N15 G01 X7");
    EXPECT_TRUE(model.BlockNumberPlaced());
    EXPECT_EQ(Inserted({"N10 G00 X0 Y0 Z0", "N11 G00 X5"}, 1, 3, 0, {{wX, 7}}, &model), "G01 X7");
    EXPECT_FALSE(model.BlockNumberPlaced()) << "the renumber question follows";
    EXPECT_EQ(Inserted({"G00 X0 Y0 Z0", "N11 G00 X5"}, 1, 3, 0, {{wX, 7}}, &model), "G01 X7");
    EXPECT_TRUE(model.BlockNumberPlaced()) << "a neighbour without number asks nothing";
}

TEST(WizardText, InsertWritesTheWordsTheOperatorChanged)
{
    struct {
        const char *Name;
        int Kind, SubKind;
        std::vector<std::pair<int, double>> Typed;
        std::string Text;
    } cases[] = {
        {"spot boring", 7, 0, {{wX, 10}, {wY, 20}, {wZ, -5}, {wR, 2}, {wF, 100}},
         "G98 G81 X10 Y20 Z-5 R2 F100"},
        {"deep hole peck drilling", 9, 0, {{wX, 1}, {wZ, -8}, {wQ, 2}}, "G98 G83 X1 Z-8 Q2"},
        {"tool change", 25, 16, {{wT, 5}}, "M06 T05"},
        {"spindle forward", 25, 5, {{wS, 1200}}, "M03 S1200"},
        {"spindle stop writes no speed", 25, 7, {{wS, 1200}}, "M05"},
        {"reference return", 2, 0, {{wZ, 0.5}}, "G91 G28 Z0.5"},
        {"cancel canned cycle", 15, 0, {}, "G80"},
        {"cutter compensation left", 17, 0, {{wX, 3}}, "G41 G01 X3"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Inserted({"G00 X0 Y0 Z0 F50", ""}, 1, c.Kind, c.SubKind, c.Typed), c.Text);
    }
}

TEST(WizardText, SameAsThePreviousMoveWritesNothingUnlessAsked)
{
    TWizardModel model;
    model.StartInsert({"G00 X0 Y0 Z0", ""}, 1, 1);
    model.Enter(wX, 0);
    EXPECT_FALSE(model.Build().has_value());
    auto all = model.Build(true);
    ASSERT_TRUE(all.has_value());
    EXPECT_EQ(all->Text, "G00 X0 Y0 Z0 F0");
}

TEST(WizardText, SubProgramCallWithItsHeaderLine)
{
    TWizardModel model;
    const TLines lines{"G00 X0", "[SUBPROGRAM 1 ONE.FNC", ""};
    EXPECT_EQ(TWizardModel::ProposedSubProgramId(lines), 2);
    model.StartInsert(lines, 2, 25, 14);
    model.SetSubProgram(1, 2, "TWO.FNC");
    auto edit = model.Build();
    ASSERT_TRUE(edit.has_value());
    EXPECT_EQ(edit->Text, "M98 P10002");
    EXPECT_EQ(edit->Header.value_or(""), "[SUBPROGRAM 2 TWO.FNC");
    EXPECT_EQ(edit->HeaderAt, -1) << "a new header goes in as the first line";
    model.SetSubProgram(3, 1, "ONE.FNC");
    edit = model.Build();
    EXPECT_EQ(edit->Text, "M98 P30001");
    EXPECT_EQ(edit->HeaderAt, 1) << "the header of that number is replaced";
}

TEST(WizardText, AlterModeFindsTheKindOfTheCaretsBlock)
{
    TWizardModel model;
    const TLines lines{"G00 X0 Y0 Z5", "N30 G98 G83 X1 Y2 Z-5 R1 Q1 F80", "M30"};
    ASSERT_TRUE(model.StartAlter(lines, 1));
    EXPECT_EQ(model.Kind, 9);
    EXPECT_EQ(model.Mode, TWizardMode::Alter);
    EXPECT_EQ(model.Block.Words[wX], 1);
    EXPECT_EQ(model.Block.Words[wQ], 1);
    model.Enter(wZ, -7);
    auto edit = model.Build();
    ASSERT_TRUE(edit.has_value());
    EXPECT_TRUE(edit->Replace);
    EXPECT_EQ(edit->Line, 1);
    EXPECT_EQ(edit->Text, "N30 G98 G83 X1 Y2 Z-7 Q1 R1 F80");
}

TEST(WizardText, ChangingTheCodeWhileAlteringAdaptsTheWords)
{
    TWizardModel model;
    ASSERT_TRUE(model.StartAlter({"G00 X0 Y0 Z5 F50", "G02 X10 Y0 I5 J0 F80"}, 1));
    EXPECT_EQ(model.Kind, 4);
    model.ChangeKind(9);
    EXPECT_EQ(model.Kind, 9);
    EXPECT_EQ(model.Block.Words[wR], 0) << "from an arc the retract point starts at 0";
    EXPECT_EQ(model.Block.Words[wQ], 0) << "none in the old block: 0";
    EXPECT_EQ(model.Block.Words[wF], 80);
    EXPECT_EQ(model.Block.Words[wI], NoValue);
    model.ChangeKind(1);
    EXPECT_EQ(model.Block.Words[wQ], NoValue);
    EXPECT_EQ(model.Block.Words[wR], NoValue);
    EXPECT_EQ(model.Block.Words[wX], 10);
    model.ChangeKind(5);
    EXPECT_EQ(model.Block.Words[wI], 5) << "centre taken when coming from no arc";
    auto edit = model.Build();
    ASSERT_TRUE(edit.has_value());
    EXPECT_EQ(edit->Text, "G03 X10 I5 J0 F80") << "Y0 is the modal Y already";
}

TEST(WizardText, UnsupportedCodes)
{
    TWizardModel model;
    EXPECT_FALSE(model.StartAlter({"G76 X1 Z-2"}, 0));
    EXPECT_EQ(model.UnsupportedG, 76);
    EXPECT_EQ(NotSupportedCaption('G', 76), "G76 Not Supported");
    EXPECT_EQ(NotSupportedCaption('M', 8), "M08 Not Supported");
    EXPECT_FALSE(model.StartAlter({"M08"}, 0));
    EXPECT_EQ(model.UnsupportedM, 8);
    EXPECT_FALSE(model.StartAlter({"(JUST A NOTE"}, 0));
    EXPECT_EQ(model.UnsupportedG + model.UnsupportedM, 0);
}

TEST(WizardText, HeaderAndFooter)
{
    EXPECT_EQ(FooterLines(), (TLines{"M05", "G91 G28 X0 Y0 Z0", "M30"}));
    THeaderValues header;
    header.Units = Inch;
    header.MachineName = "MILL1";
    header.Date = "10 December 2026";
    header.BilletX = 25.4, header.BilletY = 50.8, header.BilletZ = 12.7;
    const TLines lines = HeaderLines(header);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "(Author - Unknown");
    EXPECT_EQ(lines[2], "(Machine - MILL1");
    EXPECT_EQ(lines[4], "G20");
    EXPECT_EQ(lines[5], "[BILLET X1.0000 Y2.0000 Z0.5000");
    header.Units = Metric;
    EXPECT_EQ(HeaderLines(header)[5], "[BILLET X25.400 Y50.800 Z12.700");
}

TEST(WizardText, ArcCentreAndRadius)
{
    double i = 9, j = 9;
    std::string message;
    ASSERT_TRUE(CentreFromRadius(0, 0, 10, 0, 5, true, i, j, message));
    EXPECT_DOUBLE_EQ(i, 5);
    EXPECT_DOUBLE_EQ(j, 0);
    EXPECT_DOUBLE_EQ(RadiusFromCentre(3, 4), 5);
    struct {
        const char *Name;
        double Ex, R;
    } refused[] = {{"radius shorter than half the chord", 10, 4.999}, {"start equals end", 0, 5}};
    for (const auto &c : refused) {
        SCOPED_TRACE(c.Name);
        i = 3, j = 4;
        EXPECT_FALSE(CentreFromRadius(0, 0, c.Ex, 0, c.R, true, i, j, message));
        EXPECT_EQ(i, 3);
        EXPECT_EQ(j, 4);
        EXPECT_NE(message.find("radius"), std::string::npos);
    }
    ASSERT_TRUE(CentreFromRadius(0, 0, 10, 0, 5.0001, false, i, j, message));
    EXPECT_DOUBLE_EQ(i, 5) << "the edge just past half the chord has a centre";
}

TEST(WizardText, MenuTags)
{
    int kind = 0, sub = 0;
    ASSERT_TRUE(WizardKindOfTag(302, kind, sub));
    EXPECT_EQ(kind, 7);
    ASSERT_TRUE(WizardKindOfTag(1401, kind, sub));
    EXPECT_EQ(kind, 25);
    EXPECT_EQ(sub, 16);
    EXPECT_FALSE(WizardKindOfTag(0, kind, sub));
    EXPECT_EQ(WizardItemText(9), "Deep Hole Peck Drilling (G83)");
    EXPECT_EQ(WizardItemText(25, 14), "Sub Program Call (M98)");
}

} // namespace
} // namespace orv
