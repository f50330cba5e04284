#pragma once
// TFlatGauge: a flat progress gauge with a thin frame, a filled bar and a
// percentage whose part over the bar is drawn in the background colour.
// Colours are Windows colour numbers ($00BBGGRR).

#include "components/gauge/FlatGaugeValues.h"

#include <QWidget>

namespace orv {

class TFlatGauge : public QWidget {
    Q_OBJECT
public:
    explicit TFlatGauge(QWidget *Parent = nullptr);

    int MinValue() const { return FValues.MinValue(); }
    int MaxValue() const { return FValues.MaxValue(); }
    int Progress() const { return FValues.Progress(); }
    void SetMinValue(int Value);
    void SetMaxValue(int Value);
    void SetProgress(int Value);
    bool ShowText() const { return FShowText; }
    void SetShowText(bool Value);
    uint32_t BarColor() const { return FBarColor; }
    void SetBarColor(uint32_t Value);
    uint32_t ColorBorder() const { return FColorBorder; }
    void SetColorBorder(uint32_t Value);
    bool UseAdvColors() const { return FUseAdvColors; }
    void SetUseAdvColors(bool Value);
    int AdvColorBorder() const { return FAdvColorBorder; }
    void SetAdvColorBorder(int Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    uint32_t Color() const { return FColor; }
    void SetColor(uint32_t Value);

    // The bar's inner rectangle and the text shown ("25 %").
    QRect BarRect() const;
    QString Text() const;

protected:
    void paintEvent(QPaintEvent *Event) override;

private:
    void Recompute();
    TFlatGaugeValues FValues;
    bool FShowText = true;
    uint32_t FBarColor = 0x996633;
    uint32_t FColorBorder = 0x8396A0;
    bool FUseAdvColors = false;
    int FAdvColorBorder = 0;
    bool FTransparent = false;
    uint32_t FColor = 0xF0F0F0;
};

} // namespace orv
