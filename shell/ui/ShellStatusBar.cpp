#include "shell/ui/ShellStatusBar.h"

#include <QPainter>
#include <QStyleOption>

namespace orv {

TShellStatusBar::TShellStatusBar(QWidget *Parent) : QWidget(Parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TShellStatusBar::SetFitted(int Index, const QString &Text) {
    TPanel &p = FPanels.at(Index);
    p.Text = Text;
    p.Width = fontMetrics().horizontalAdvance(Text) + 15;
    update();
}

QSize TShellStatusBar::sizeHint() const {
    return QSize(400, fontMetrics().height() + 6);
}

void TShellStatusBar::paintEvent(QPaintEvent *) {
    QPainter p(this);
    const QColor face = palette().color(QPalette::Button);
    p.fillRect(rect(), face);
    int x = 0;
    for (int i = 0; i < PanelCount; ++i) {
        const TPanel &panel = FPanels[i];
        const bool last = i == PanelCount - 1;
        QRect r(x, 1, last ? std::max(panel.Width, width() - x) : panel.Width, height() - 2);
        if (panel.OwnerDrawn) {
            p.fillRect(r.adjusted(1, 1, -1, -1), panel.Fill.isValid() ? panel.Fill : face);
            p.setPen(Qt::black);
            p.drawText(r.adjusted(5, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, panel.Text);
        } else {
            p.setPen(palette().color(QPalette::WindowText));
            p.drawText(r.adjusted(2, 0, -2, 0), panel.Alignment | Qt::AlignVCenter, panel.Text);
        }
        if (panel.Bevel) {
            p.setPen(palette().color(QPalette::Dark));
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.topLeft(), r.bottomLeft());
            p.setPen(palette().color(QPalette::Light));
            p.drawLine(r.bottomLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomRight());
        }
        x += r.width() + 2;
    }
}

} // namespace orv
