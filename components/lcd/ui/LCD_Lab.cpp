#include "components/lcd/ui/LCD_Lab.h"

#include "platform/MessageService.h"

#include <QEvent>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace orv {

namespace {

QColor ToQ(uint32_t C) {
    return QColor(int(C & 0xFF), int(C >> 8 & 0xFF), int(C >> 16 & 0xFF));
}

constexpr size_t KMaxCaption = 255;

} // namespace

TLCDLabel::TLCDLabel(QWidget *Parent) : QWidget(Parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    Layout();
}

QSize TLCDLabel::sizeHint() const {
    return FLastSize;
}

void TLCDLabel::SetCaption(const std::string &Value) {
    std::string text = Value.substr(0, KMaxCaption);
    if (text == FCaption)
        return;
    FCaption = text;
    update();
}

bool TLCDLabel::Accept(int Value, int Lowest, const char *Message) {
    if (Value >= Lowest)
        return true;
    MessageDlg("", Message, mtError, mbOK);
    return false;
}

void TLCDLabel::Changed() {
    Layout();
    update();
}

void TLCDLabel::SetDotMatrix(TDotMatrix Value) {
    if (Value == FDotMatrix && Value != CustomFont)
        return;
    TDotMatrix previous = FDotMatrix;
    // Without a font in memory a custom font shown before falls back to the
    // first table; with one, a file that does not load leaves it as it was.
    if (previous == CustomFont && !FCustom.Loaded())
        previous = mat5x7;
    if (Value == CustomFont && (FFileName.empty() || !FCustom.Load(FFileName)))
        Value = previous;
    FDotMatrix = Value;
    Changed();
}

void TLCDLabel::Setfilename(const std::string &Value) {
    if (Value == FFileName)
        return;
    FFileName = Value;
    SetDotMatrix(CustomFont);
}

void TLCDLabel::SetPixelSize(TPixelSize Value) {
    if (Value == FPixelSize)
        return;
    FPixelSize = Value;
    Changed();
}

void TLCDLabel::SetPixelShape(TPixelShape Value) {
    if (Value == FPixelShape)
        return;
    FPixelShape = Value;
    update();
}

void TLCDLabel::SetBorderStyle(TMyBorder Value) {
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    update();
}

void TLCDLabel::SetPixelSpacing(int Value) {
    if (Value == FPixelSpacing || !Accept(Value, 0, "Pixel spacing can't be less than zero!"))
        return;
    FPixelSpacing = Value;
    Changed();
}

void TLCDLabel::SetPixelWidth(int Value) {
    if (FPixelSize != pixCustom || Value == FPixelWidth ||
        !Accept(Value, 1, "Display pixel width must be 1 or greater!"))
        return;
    FPixelWidth = Value;
    Changed();
}

void TLCDLabel::SetPixelHeight(int Value) {
    if (FPixelSize != pixCustom || Value == FPixelHeight ||
        !Accept(Value, 1, "Display pixel height must be 1 or greate!"))
        return;
    FPixelHeight = Value;
    Changed();
}

void TLCDLabel::SetCharSpacing(int Value) {
    if (Value == FCharSpacing || !Accept(Value, 0, "Character spacing can't be less than zero!"))
        return;
    FCharSpacing = Value;
    Changed();
}

void TLCDLabel::SetLineSpacing(int Value) {
    if (Value == FLineSpacing || !Accept(Value, 0, "Line spacing can't be less than zero!"))
        return;
    FLineSpacing = Value;
    Changed();
}

void TLCDLabel::SetBorderSpace(int Value) {
    if (Value == FBorderSpace || !Accept(Value, 0, "Border spacing can't be less than zero!"))
        return;
    FBorderSpace = Value;
    Changed();
}

void TLCDLabel::SetTextLines(int Value) {
    if (Value == FTextLines || !Accept(Value, 1, "Display needs at least on line!"))
        return;
    FTextLines = Value;
    Changed();
}

void TLCDLabel::SetNoOfChars(int Value) {
    if (Value == FNoOfChars || !Accept(Value, 1, "Display needs at least one character!"))
        return;
    FNoOfChars = Value;
    Changed();
}

void TLCDLabel::SetBackGround(uint32_t Value) {
    if (Value == FBackGround)
        return;
    FBackGround = Value;
    update();
}

void TLCDLabel::SetBorderColor(uint32_t Value) {
    if (Value == FBorderColor)
        return;
    FBorderColor = Value;
    update();
}

void TLCDLabel::SetPixelOn(uint32_t Value) {
    if (Value == FPixelOn)
        return;
    FPixelOn = Value;
    update();
}

void TLCDLabel::SetPixelOff(uint32_t Value) {
    if (Value == FPixelOff)
        return;
    FPixelOff = Value;
    update();
}

// A custom font has a glyph for every code (all dots off where the file has
// none), so its codes are not clamped to the file's range.
TLCDTableShape TLCDLabel::Shape() const {
    if (FDotMatrix != CustomFont)
        return BuiltInShape(FDotMatrix);
    return {FCustom.Shape().Columns, FCustom.Shape().Rows, 0, 255};
}

const uint8_t *TLCDLabel::Glyph(int Code) const {
    return FDotMatrix == CustomFont ? FCustom.Glyph(Code) : BuiltInGlyph(FDotMatrix, Code);
}

// Sizes the control to its cells. A size other than the one the control last
// gave itself came from its owner: the counts of characters and lines then
// follow that size.
void TLCDLabel::Layout() {
    if (FPixelSize != pixCustom)
        FPixelWidth = FPixelHeight = int(FPixelSize) + 1;
    const TLCDTableShape shape = Shape();
    const int cw = LCDCellExtent(shape.Columns, FPixelWidth, FPixelSpacing);
    const int ch = LCDCellExtent(shape.Rows, FPixelHeight, FPixelSpacing);
    if (FLastSize.isValid() && size() != FLastSize) {
        FNoOfChars = LCDFittingCount(width(), FCharSpacing, FBorderSpace, cw);
        FTextLines = LCDFittingCount(height(), FLineSpacing, FBorderSpace, ch);
    }
    FLastSize = QSize(LCDControlExtent(FNoOfChars, FCharSpacing, FBorderSpace, cw),
                      LCDControlExtent(FTextLines, FLineSpacing, FBorderSpace, ch));
    FInLayout = true;
    resize(FLastSize);
    FInLayout = false;
    updateGeometry();
}

void TLCDLabel::resizeEvent(QResizeEvent *Event) {
    QWidget::resizeEvent(Event);
    if (!FInLayout && size() != FLastSize)
        Changed();
}

void TLCDLabel::changeEvent(QEvent *Event) {
    QWidget::changeEvent(Event);
    if (Event->type() == QEvent::EnabledChange)
        update();
}

void TLCDLabel::PaintCell(QPainter &P, int X, int Y, int Code, uint32_t &Colour) const {
    const TLCDTableShape shape = Shape();
    Code = std::clamp(Code, shape.First, shape.Last);
    const uint8_t *dots = Glyph(Code);
    const bool custom = FDotMatrix == CustomFont;
    for (int r = 0; r < shape.Rows; ++r)
        for (int c = 0; c < shape.Columns; ++c) {
            const uint8_t b = dots[r * shape.Columns + c];
            if (custom) {
                if (b == 0)
                    Colour = FPixelOn;
                else if (b == 1)
                    Colour = FPixelOff;
            } else {
                Colour = b ? FPixelOn : FPixelOff;
            }
            const QRect dot(X + c * (FPixelWidth + FPixelSpacing),
                            Y + r * (FPixelHeight + FPixelSpacing), FPixelWidth, FPixelHeight);
            const bool on = Colour == FPixelOn;
            switch (FPixelShape) {
            case spSquare: P.fillRect(dot, ToQ(Colour)); break;
            case spRound:
                P.setBrush(ToQ(Colour));
                P.drawEllipse(dot);
                break;
            case spShaped:
                if (on) {
                    P.fillRect(dot, ToQ(LCDShadedColour(FPixelOn)));
                    P.setBrush(ToQ(FPixelOn));
                    P.drawEllipse(dot);
                } else {
                    P.fillRect(dot, ToQ(Colour));
                }
                break;
            }
        }
}

void TLCDLabel::Paint(QImage &Image) const {
    QPainter p(&Image);
    p.setPen(Qt::NoPen);
    const QRect all = Image.rect();
    p.fillRect(all, ToQ(FBackGround));
    if (FBorderStyle != frNone) {
        const QColor light = palette().color(QPalette::Light);
        const QColor dark = palette().color(QPalette::Dark);
        const QColor frame = FBorderStyle == frRaised   ? dark
                             : FBorderStyle == frLowered ? light
                                                         : ToQ(FBorderColor);
        p.setPen(frame);
        p.drawRect(all.adjusted(0, 0, -1, -1));
        if (FBorderStyle != frSingle) {
            p.setPen(FBorderStyle == frRaised ? light : dark);
            p.drawLine(all.right(), 0, 0, 0);
            p.drawLine(0, 0, 0, all.bottom());
        }
        p.setPen(Qt::NoPen);
    }
    if (!isEnabled())
        return;
    const TLCDTableShape shape = Shape();
    const int cw = LCDCellExtent(shape.Columns, FPixelWidth, FPixelSpacing);
    const int ch = LCDCellExtent(shape.Rows, FPixelHeight, FPixelSpacing);
    uint32_t colour = FPixelOff;
    size_t i = 0;
    bool ended = false;
    for (int line = 0; line < FTextLines; ++line)
        for (int n = 0; n < FNoOfChars; ++n) {
            int code = 0;
            if (!ended && i < FCaption.size() && FCaption[i] != '\0')
                code = static_cast<unsigned char>(FCaption[i++]);
            else
                ended = true;
            PaintCell(p, FBorderSpace + 1 + n * (cw + FCharSpacing),
                      FBorderSpace + 1 + line * (ch + FLineSpacing), code, colour);
        }
}

void TLCDLabel::paintEvent(QPaintEvent *) {
    QImage image(size(), QImage::Format_RGB32);
    Paint(image);
    QPainter(this).drawImage(0, 0, image);
}

} // namespace orv
