// Renders a form with top and left docks, a wrapped floating toolbar and a
// floating tool window offscreen and compares it with the expected picture.
// ORV_UPDATE_PICTURES=1 writes the expected picture instead.
#include "ToolbarTestSupport.h"
#include <unistd.h>

#include "components/toolbar/TbGlyphImage.h"
#include "components/toolbar/TbToolbarLayout.h"
#include "components/toolbar/ui/TbTlbr.h"
#include "components/toolbar/ui/TbTlwn.h"

#include <QImage>
#include <QPainter>

#include <cstdlib>

namespace orv {
namespace {

// A 16 x 16 glyph: a filled square of Rgb with a black rim on the
// transparent colour (magenta, its bottom-left pixel).
TBitmap32 SquareGlyph(uint32_t Rgb)
{
    TBitmap32 b(16, 16, 0xFFFF00FFu);
    for (int y = 3; y < 13; ++y)
        for (int x = 3; x < 13; ++x)
            b.SetPixel(x, y,
                       (x == 3 || y == 3 || x == 12 || y == 12) ? 0xFF000000u : 0xFF000000u | Rgb);
    return b;
}

class Screenshot : public test::ToolbarWidgetTest {
protected:
    TToolbar *Bar(const char *Name, std::initializer_list<uint32_t> Glyphs, int SeparatorAfter = -1)
    {
        auto *bar = new TToolbar(Form.get());
        bar->setObjectName(Name);
        int i = 0;
        for (uint32_t rgb : Glyphs) {
            auto *b = new TToolbarButton(bar);
            b->SetGlyph(SquareGlyph(rgb));
            if (i++ == SeparatorAfter)
                new TToolbarSep(bar);
        }
        return bar;
    }

    QImage Render()
    {
        QImage shot(Form->size(), QImage::Format_RGB32);
        shot.fill(Qt::white);
        QPainter p(&shot);
        Form->render(&p);
        for (TCustomToolWindow *w : TCustomToolWindow::ToolWindowsOf(Form.get()))
            if (w->Floating() && w->isVisible())
                w->render(&p, w->pos() - Form->pos());
        return shot;
    }
};

TEST_F(Screenshot, FormWithDocksFloatingToolbarAndToolWindow)
{
    Form->resize(400, 300);
    QPalette pal = Form->palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0xA0, 0xC0));
    Form->setPalette(pal);
    Form->setAutoFillBackground(true);

    auto *top = new TDock(Form.get(), dpTop);
    top->setObjectName("TopDock");
    top->SetBoundLines(blBottom);
    auto *left = new TDock(Form.get(), dpLeft);
    left->setObjectName("LeftDock");

    TToolbar *file = Bar("FileBar", {0xFF0000, 0x00C000, 0x0000FF});
    auto buttons = file->findChildren<TToolbarButton *>();
    buttons[1]->SetGroupIndex(1);
    buttons[1]->SetDown(true);
    buttons[2]->setEnabled(false);
    file->SetDockedTo(top);

    TToolbar *edit = Bar("EditBar", {0xFFFF00, 0x00FFFF, 0xFF8000}, 1);
    edit->SetDockPos(150);
    edit->SetDockedTo(top);

    TToolbar *view = Bar("ViewBar", {0x800080, 0x008080}, 0);
    view->SetDragHandleStyle(dhSingle);
    view->SetDockedTo(left);

    TToolbar *run = Bar("RunBar", {0xC00000, 0x00A000, 0x0000C0}, 1);
    run->SetFloatRightX(54);
    run->SetFloatingTopLeft(Form->mapToGlobal(QPoint(220, 110)));
    run->SetDockedTo(nullptr);

    auto *coords = new TToolWindow(Form.get());
    coords->setObjectName("Coords");
    coords->SetFloatingTopLeft(Form->mapToGlobal(QPoint(80, 170)));
    coords->SetDockedTo(nullptr);
    coords->SetClientAreaWidth(110);
    coords->SetClientAreaHeight(50);
    coords->SetColor(0xFFFFFF);

    // The mouse rests on the first button of the file bar: hot, with its border.
    Move(buttons[0], {5, 5});
    ASSERT_EQ(run->LineSeparators().size(), 1u);

    const QImage shot = Render();
    const std::string expectedPath = ORV_SOURCE_DIR "/components/tests/data/toolbar_form.png";
    if (std::getenv("ORV_UPDATE_PICTURES")) {
        ASSERT_TRUE(shot.save(QString::fromStdString(expectedPath)));
        GTEST_SKIP() << "expected picture written";
    }
    QImage expected(QString::fromStdString(expectedPath));
    ASSERT_FALSE(expected.isNull()) << "missing " << expectedPath;
    expected = expected.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(expected.size(), shot.size());
    int differing = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if ((shot.pixel(x, y) & 0xFFFFFFu) != (expected.pixel(x, y) & 0xFFFFFFu))
                ++differing;
    if (differing) {
        const std::string actualPath =
            ::testing::TempDir() + "toolbar_form_actual_" + std::to_string(::getpid()) + ".png";
        shot.save(QString::fromStdString(actualPath));
        ADD_FAILURE() << differing << " pixels differ; this run's picture: " << actualPath;
    }
}

} // namespace
} // namespace orv
