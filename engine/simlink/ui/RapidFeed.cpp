#include "engine/simlink/ui/RapidFeed.h"

#include "localise/ui/LxQtTranslator.h"
#include "platform/NumberText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace orv {

TRapidFeed::TRapidFeed(double Threshold, QWidget *Parent) : QDialog(Parent)
{
    setWindowTitle("Display Rapid Feeds");
    auto *layout = new QVBoxLayout(this);
    RapidOnly = new QCheckBox("Rapid Feeds Only", this);
    layout->addWidget(RapidOnly);
    auto *row = new QFormLayout;
    AboveLabel = new QLabel("Above Feed Rate", this);
    Feed = new QLineEdit(this);
    row->addRow(AboveLabel, Feed);
    layout->addLayout(row);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    RapidOnly->setChecked(Threshold < 0);
    if (Threshold >= 0)
        Feed->setText(QString::fromStdString(FloatToStr(Threshold)));
    connect(RapidOnly, &QCheckBox::toggled, this, [this] { Follow(); });
    Follow();
    // English texts; the translator gives the window its language.
    AttachTranslator(this, "TRapidFeed");
}

void TRapidFeed::Follow()
{
    AboveLabel->setEnabled(!RapidOnly->isChecked());
    Feed->setEnabled(!RapidOnly->isChecked());
}

double TRapidFeed::Threshold() const
{
    if (RapidOnly->isChecked())
        return -1;
    bool ok = false;
    const double v = Feed->text().trimmed().toDouble(&ok);
    return ok ? v : 0;
}

} // namespace orv
