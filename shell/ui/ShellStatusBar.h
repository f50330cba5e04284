#pragma once
// A status bar of the main window: five panels side by side, each with its
// text, width, alignment and bevel; a panel may be owner-drawn, which the
// main window uses for the red block-skip and message panels.
#include <QColor>
#include <QString>
#include <QWidget>

#include <array>

namespace orv {

class TShellStatusBar : public QWidget {
public:
    struct TPanel {
        QString Text;
        int Width = 50;
        Qt::Alignment Alignment = Qt::AlignHCenter;
        bool Bevel = true;
        bool OwnerDrawn = false;
        QColor Fill; // owner-drawn fill; invalid: button face
    };
    static constexpr int PanelCount = 5;

    explicit TShellStatusBar(QWidget *Parent = nullptr);

    TPanel &Panel(int Index) { return FPanels.at(Index); }
    const TPanel &Panel(int Index) const { return FPanels.at(Index); }
    QString Text(int Index) const { return FPanels.at(Index).Text; }
    // Text and a width that fits it (text width + 15 pixels).
    void SetFitted(int Index, const QString &Text);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *Event) override;

private:
    std::array<TPanel, PanelCount> FPanels;
};

} // namespace orv
