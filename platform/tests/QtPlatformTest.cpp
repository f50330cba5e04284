// The Qt side of the platform layer: file-dialog filters that ignore letter
// case, virtual-key codes to and from Qt keys, and a window placed by its
// stored position.
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/tests/TempDir.h"
#include "platform/ui/ColourDialog.h"
#include "platform/ui/QtMessageService.h"
#include "platform/ui/QtPos_size.h"
#include "platform/ui/VirtualKeys.h"

#include <QColorDialog>
#include <QWidget>
#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(QtFilter, PatternsMatchEitherLetterCase) {
    EXPECT_EQ(
        QtFilterFromPipes("Fanuc Miller File (*.fnc)|*.FNC|All Files (*.*)|*.*").toStdString(),
        "Fanuc Miller File (*.fnc) (*.[fF][nN][cC]);;All Files (*.*) (*.*)");
    EXPECT_EQ(QtFilterFromPipes("Programs|*.fnc;*.XNC").toStdString(),
              "Programs (*.[fF][nN][cC] *.[xX][nN][cC])");
}

TEST(VirtualKeys, RoundTripAndKeypad) {
    const struct {
        int Qt;
        Qt::KeyboardModifiers Modifiers;
        uint16_t Vk;
    } rows[] = {{Qt::Key_A, Qt::NoModifier, 65},         {Qt::Key_5, Qt::NoModifier, 53},
                {Qt::Key_5, Qt::KeypadModifier, 101},    {Qt::Key_F5, Qt::NoModifier, 116},
                {Qt::Key_Left, Qt::NoModifier, 37},      {Qt::Key_Escape, Qt::NoModifier, 27},
                {Qt::Key_Plus, Qt::KeypadModifier, 107}, {Qt::Key_Launch0, Qt::NoModifier, 0}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Vk);
        EXPECT_EQ(VirtualKeyOf(row.Qt, row.Modifiers), row.Vk);
        if (row.Vk == 0)
            continue;
        bool keypad = false;
        EXPECT_EQ(QtKeyOf(row.Vk, &keypad), row.Qt);
        EXPECT_EQ(keypad, row.Modifiers.testFlag(Qt::KeypadModifier));
    }
}

TEST(ColourDialog, CustomColoursComeFromAndGoBackToTheColFile) {
    test::TTempDir dir;
    // Colour values: blue in the high byte, red in the low one.
    dir.Write("Tarnwick.col", "ColorA=FF0000\r\nColorC=0080FF\r\n");
    QColorDialog::setCustomColor(1, QColor(1, 2, 3));
    LoadCustomColours(dir.File("Tarnwick.col"));
    EXPECT_EQ(QColorDialog::customColor(0), QColor(0, 0, 255));
    EXPECT_EQ(QColorDialog::customColor(1), QColor(1, 2, 3)) << "no entry: the dialog's own";
    EXPECT_EQ(QColorDialog::customColor(2), QColor(255, 128, 0));
    QColorDialog::setCustomColor(3, QColor(16, 32, 48));
    SaveCustomColours(dir.File("Tarnwick.col"));
    const std::string saved = dir.Read("Tarnwick.col");
    EXPECT_NE(saved.find("ColorA=FF0000\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("ColorB=030201\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("ColorD=302010\r\n"), std::string::npos) << saved;
    LoadCustomColours(dir.File("missing.col")); // ignored
    EXPECT_EQ(QColorDialog::customColor(3), QColor(16, 32, 48));
}

TEST(QtPosSize, PlacesTheWindowAndKeepsItsLastBounds) {
    test::TTempDir dir;
    SetProgramPathOverride(dir.Path(), "Tarnwick");
    dir.Write("Tarnwick.ini", "[Editor]\nTop=40\nLeft=50\nWidth=320\nHeight=210\n");
    {
        QWidget window;
        window.setObjectName("Editor");
        window.resize(100, 100);
        auto *keeper = new TQtPos_size(&window, "TEditor", TPosBorder::Sizeable);
        (void)keeper;
        EXPECT_EQ(window.geometry(), QRect(50, 40, 320, 210));
        window.setGeometry(60, 70, 330, 220);
    }
    TIniFile ini(dir.File("Tarnwick.ini"));
    EXPECT_EQ(ini.ReadInteger("Editor", "Left", 0), 60);
    EXPECT_EQ(ini.ReadInteger("Editor", "Height", 0), 220);
    SetProgramPathOverride("", "");
}

} // namespace
} // namespace orv
