#include "engine/chain/ui/Expanded.h"


#include <QHBoxLayout>
#include <QLabel>

namespace orv {

namespace {

QString Q(const std::string &Text)
{
    return QString::fromStdString(Text);
}

} // namespace

TExpanded::TExpanded(QWidget *Parent) : QWidget(Parent)
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAutoFillBackground(true);
    setStyleSheet("TExpanded { background: blue; }");
    auto *Layout = new QHBoxLayout(this);
    Layout->setContentsMargins(1, 1, 1, 1);
    Layout->setSpacing(1);

    FCaption = new QLabel("Expanded Code", this);
    FCaption->setFixedWidth(105);
    FCaption->setAlignment(Qt::AlignCenter);
    FCaption->setStyleSheet("background: silver; color: red; font-weight: bold; font-size: 7pt;");
    FCaption->setToolTip(FCaption->text());
    Layout->addWidget(FCaption);

    FCode = new QLabel(this);
    FCode->setFrameShape(QFrame::Panel);
    FCode->setFrameShadow(QFrame::Sunken);
    FCode->setStyleSheet("background: white;");
    Layout->addWidget(FCode, 1);

    setFixedSize(390, 27);
}

void TExpanded::SetCode(const std::string &Text)
{
    FCode->setText(Q(Text));
}

} // namespace orv
