#include "engine/view2d/ui/element_info_form.h"

#include "engine/core/data_types.h"
#include "localise/ui/LxQtTranslator.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

namespace {

const char *const PointCaptions[] = {"X Start:", "Y Start:", "Z Start:",
                                     "X End:",   "Y End:",   "Z End:"};
const char *const ArcCaptions[] = {"X Centre:", "Y Centre:", "Arc Angle:", "Arc Radius:"};
const char *const LineCaptions[] = {"Object Number:", "Line Number:", "Source:"};

// A small picture of the element's kind.
QPixmap KindPicture(TElementPicture Kind)
{
    QPixmap Picture(48, 48);
    Picture.fill(Qt::white);
    QPainter P(&Picture);
    P.setPen(QPen(Kind == TElementPicture::Rapid ? Qt::red : Qt::blue, 2,
                  Kind == TElementPicture::Rapid ? Qt::DashLine : Qt::SolidLine));
    if (Kind == TElementPicture::Rapid || Kind == TElementPicture::Linear)
        P.drawLine(6, 42, 42, 6);
    else
        P.drawArc(QRect(6, 6, 36, 36), 0, (Kind == TElementPicture::ClockwiseArc ? -180 : 180) * 16);
    return Picture;
}

} // namespace

TElement_info::TElement_info(QWidget *Parent) : QDialog(Parent)
{
    auto *Layout = new QVBoxLayout(this);
    FPictureLabel = new QLabel;
    Layout->addWidget(FPictureLabel);
    Layout->addWidget(AddPanel(PointCaptions));
    FArcPanel = AddPanel(ArcCaptions);
    Layout->addWidget(FArcPanel);
    Layout->addWidget(AddPanel(LineCaptions));
    auto *Buttons = new QHBoxLayout;
    auto *Ok = new QPushButton("OK");
    FEditSource = new QPushButton("&Edit Source");
    connect(Ok, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
    connect(FEditSource, &QPushButton::clicked, this, [this] { done(ResultEditSource); });
    Buttons->addWidget(Ok);
    Buttons->addWidget(FEditSource);
    Layout->addLayout(Buttons);
    // English texts; the translator gives the window its language.
    AttachTranslator(this, "TElement_info");
}

// A panel of caption and value rows; the values are found by caption.
QWidget *TElement_info::AddPanel(std::span<const char *const> Captions)
{
    auto *Panel = new QWidget;
    auto *Grid = new QGridLayout(Panel);
    int Row = 0;
    for (const char *Caption : Captions) {
        Grid->addWidget(new QLabel(Caption), Row, 0);
        auto *Value = new QLabel;
        Value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        Grid->addWidget(Value, Row++, 1);
        FValues[Caption] = Value;
    }
    return Panel;
}

void TElement_info::ShowElement(const TDD_Type &Element, int Line, const std::string &FileName)
{
    const TElementInfoTexts T = ElementInfoTexts(Element, Line, FileName, Decimals, AreaHeight);
    setWindowTitle(QString::fromStdString(T.Caption));
    FPicture = T.Picture;
    FPictureLabel->setVisible(T.Picture != TElementPicture::None);
    if (T.Picture != TElementPicture::None)
        FPictureLabel->setPixmap(KindPicture(T.Picture));
    FArcPanel->setVisible(T.ArcPanel);
    const std::pair<const char *, const std::string *> Rows[] = {
        {"X Start:", &T.XStart},     {"Y Start:", &T.YStart},     {"Z Start:", &T.ZStart},
        {"X End:", &T.XEnd},         {"Y End:", &T.YEnd},         {"Z End:", &T.ZEnd},
        {"X Centre:", &T.XCentre},   {"Y Centre:", &T.YCentre},   {"Arc Angle:", &T.ArcAngle},
        {"Arc Radius:", &T.ArcRadius}, {"Object Number:", &T.ObjectNumber},
        {"Line Number:", &T.LineNumber}, {"Source:", &T.Source}};
    for (const auto &[Caption, Text] : Rows)
        FValues[Caption]->setText(QString::fromStdString(*Text));
    FEditSource->setEnabled(T.EditSourceEnabled);
}

QString TElement_info::Value(const std::string &Caption) const
{
    const auto Found = FValues.find(Caption);
    return Found == FValues.end() ? QString() : Found->second->text();
}

bool TElement_info::ArcPanelShown() const
{
    return !FArcPanel->isHidden();
}

bool TElement_info::EditSourceEnabled() const
{
    return FEditSource->isEnabled();
}

} // namespace orv
