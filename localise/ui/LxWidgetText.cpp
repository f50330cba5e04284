#include "localise/ui/LxWidgetText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace orv {

std::string TLxWidgetText::Text() const
{
    if (auto *button = qobject_cast<QAbstractButton *>(FWidget))
        return button->text().toStdString();
    if (auto *label = qobject_cast<QLabel *>(FWidget))
        return label->text().toStdString();
    if (auto *group = qobject_cast<QGroupBox *>(FWidget))
        return group->title().toStdString();
    return FWidget->windowTitle().toStdString();
}

void TLxWidgetText::SetText(const std::string &Text)
{
    const QString text = QString::fromStdString(Text);
    if (auto *button = qobject_cast<QAbstractButton *>(FWidget))
        button->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(FWidget))
        label->setText(text);
    else if (auto *group = qobject_cast<QGroupBox *>(FWidget))
        group->setTitle(text);
    else
        FWidget->setWindowTitle(text);
}

int TLxWidgetText::TextWidth(const std::string &Text) const
{
    return QFontMetrics(QApplication::font()).horizontalAdvance(QString::fromStdString(Text));
}

int TLxWidgetText::Width() const
{
    return FWidget->width();
}

// Widened in place: the height, position and stacking order stay.
void TLxWidgetText::SetWidth(int Width)
{
    FWidget->resize(Width, FWidget->height());
}

bool TLxWidgetText::HasMark() const
{
    return qobject_cast<QCheckBox *>(FWidget) != nullptr ||
           qobject_cast<QRadioButton *>(FWidget) != nullptr ||
           qobject_cast<QGroupBox *>(FWidget) != nullptr;
}

} // namespace orv
