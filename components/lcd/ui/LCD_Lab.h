#pragma once
// TLCDLabel: a graphic control that shows its caption as the characters of a
// dot-matrix display, a grid of NoOfChars x TextLines cells drawn dot by dot
// from a built-in table or a custom font file. The control sizes itself
// exactly to its cells; resized by its owner, it takes as many characters
// and lines as fit. Colours are Windows colour numbers ($00BBGGRR).

#include "components/lcd/LCDFonts.h"

#include <QWidget>

namespace orv {

class TLCDLabel : public QWidget {
    Q_OBJECT
public:
    explicit TLCDLabel(QWidget *Parent = nullptr);

    // The shown text, at most 255 bytes (one character code each).
    const std::string &Caption() const { return FCaption; }
    void SetCaption(const std::string &Value);

    TDotMatrix DotMatrix() const { return FDotMatrix; }
    void SetDotMatrix(TDotMatrix Value);
    TPixelSize PixelSize() const { return FPixelSize; }
    void SetPixelSize(TPixelSize Value);
    TPixelShape PixelShape() const { return FPixelShape; }
    void SetPixelShape(TPixelShape Value);
    TMyBorder BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TMyBorder Value);
    // Pixel counts; a value below the limit shows an error box and is not taken.
    int PixelSpacing() const { return FPixelSpacing; }
    void SetPixelSpacing(int Value);
    int PixelWidth() const { return FPixelWidth; }
    void SetPixelWidth(int Value); // taken only with pixCustom
    int PixelHeight() const { return FPixelHeight; }
    void SetPixelHeight(int Value); // taken only with pixCustom
    int CharSpacing() const { return FCharSpacing; }
    void SetCharSpacing(int Value);
    int LineSpacing() const { return FLineSpacing; }
    void SetLineSpacing(int Value);
    int BorderSpace() const { return FBorderSpace; }
    void SetBorderSpace(int Value);
    int TextLines() const { return FTextLines; }
    void SetTextLines(int Value);
    int NoOfChars() const { return FNoOfChars; }
    void SetNoOfChars(int Value);
    uint32_t BackGround() const { return FBackGround; }
    void SetBackGround(uint32_t Value);
    uint32_t BorderColor() const { return FBorderColor; }
    void SetBorderColor(uint32_t Value);
    uint32_t PixelOn() const { return FPixelOn; }
    void SetPixelOn(uint32_t Value);
    uint32_t PixelOff() const { return FPixelOff; }
    void SetPixelOff(uint32_t Value);
    // The custom font file; setting it selects CustomFont (a file that does
    // not load keeps the matrix shown before).
    const std::string &filename() const { return FFileName; }
    void Setfilename(const std::string &Value);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *Event) override;
    void resizeEvent(QResizeEvent *Event) override;
    void changeEvent(QEvent *Event) override;

private:
    void Layout();
    void Changed();
    bool Accept(int Value, int Lowest, const char *Message);
    TLCDTableShape Shape() const;
    const uint8_t *Glyph(int Code) const;
    void Paint(QImage &Image) const;
    void PaintCell(class QPainter &P, int X, int Y, int Code, uint32_t &Colour) const;

    std::string FCaption;
    TDotMatrix FDotMatrix = mat5x7;
    TPixelSize FPixelSize = pix2x2;
    TPixelShape FPixelShape = spSquare;
    TMyBorder FBorderStyle = frLowered;
    int FPixelSpacing = 1;
    int FPixelWidth = 2;
    int FPixelHeight = 2;
    int FCharSpacing = 2;
    int FLineSpacing = 2;
    int FBorderSpace = 3;
    int FTextLines = 1;
    int FNoOfChars = 10;
    uint32_t FBackGround = 0xC0C0C0;
    uint32_t FBorderColor = 0;
    uint32_t FPixelOn = 0;
    uint32_t FPixelOff = 0xAAAAAA;
    std::string FFileName;
    TLCDCustomFont FCustom;
    QSize FLastSize;
    bool FInLayout = false;
};

} // namespace orv
