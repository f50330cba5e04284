#include "machine/ui/Tool_offsets_form.h"

#include "engine/core/DUtils.h"
#include "machine/ToolingMessages.h"
#include "machine/ui/QtText.h"
#include "platform/MessageService.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>

namespace orv {

namespace {

constexpr const char *TabCaptions[4] = {"1-16", "17-32", "33-48", "49-64"};
constexpr int PanelWidth = 220;
constexpr int TopOfTabs = 24; // below the menu bar

TFileRequest OffsetFileRequest(TFileDialogKind Kind)
{
    TFileRequest request;
    request.Kind = Kind;
    request.Title = Tr(Kind == TFileDialogKind::Save ? "Export..." : "Import...");
    request.Filter = Tr(TToolOffsetTable::FileFilter);
    request.DefaultExt = TToolOffsetTable::DefaultExt;
    return request;
}

} // namespace

TTOffsets::TTOffsets(QWidget *Parent) : QDialog(Parent) { FormCreate(); }

void TTOffsets::FormCreate()
{
    setWindowTitle("Tool Offsets");
    auto *bar = new QMenuBar(this);
    QMenu *file = bar->addMenu("File");
    file->addAction("Export...", this, &TTOffsets::ExportClick);
    file->addAction("Import...", this, &TTOffsets::ImportClick);
    file->addAction("New", this, &TTOffsets::NewClick);
    FTabs = new QTabBar(this);
    for (const char *caption : TabCaptions)
        FTabs->addTab(caption);
    FTabs->move(0, TopOfTabs);
    connect(FTabs, &QTabBar::currentChanged, this, &TTOffsets::TabChanged);
    FOk = new QPushButton("OK", this);
    FCancel = new QPushButton("Cancel", this);
    connect(FOk, &QPushButton::clicked, this, &TTOffsets::OkClick);
    connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TTOffsets::FillOffsetTable()
{
    FTable.OffsetCount = OffsetCount;
    for (QWidget *panel : FPanels)
        delete panel;
    FPanels.clear();
    FEdits.clear();
    const int panelHeight = FTable.PanelHeight();
    const int panelTop = TopOfTabs + FTabs->sizeHint().height();
    for (int t = 0; t < 4; ++t) {
        auto *panel = new QWidget(this);
        panel->setGeometry(0, panelTop, PanelWidth, panelHeight);
        FPanels.push_back(panel);
    }
    for (int n = 1; n <= OffsetCount; ++n) {
        TOffsetEntryPlace place = FTable.Place(n);
        auto *label = new QLabel("  " + QString::number(n), FPanels[place.Tab]);
        label->move(place.LabelLeft, place.LabelTop);
        auto *edit = new QLineEdit(FPanels[place.Tab]);
        edit->setGeometry(place.EditLeft, place.EditTop, 60, 18);
        FEdits.push_back(edit);
    }
    const int tabsBottom = panelTop + panelHeight;
    FOk->move(20, tabsBottom + 5);
    FCancel->move(120, tabsBottom + 5);
    setFixedSize(PanelWidth, FOk->y() + 75);
    FTable.Load(MainIniPath());
    ShowTexts();
    TabChanged(FTabs->currentIndex());
}

void TTOffsets::TabChanged(int Tab)
{
    for (int t = 0; t < static_cast<int>(FPanels.size()); ++t)
        FPanels[t]->setVisible(t == Tab);
}

void TTOffsets::ShowTexts()
{
    for (int i = 0; i < static_cast<int>(FEdits.size()); ++i)
        FEdits[i]->setText(Q(FTable.Texts[i]));
}

void TTOffsets::TakeTexts()
{
    for (int i = 0; i < static_cast<int>(FEdits.size()); ++i)
        FTable.Texts[i] = FEdits[i]->text().toStdString();
}

void TTOffsets::ExportClick()
{
    auto file = Messages().ChooseFile(OffsetFileRequest(TFileDialogKind::Save));
    if (!file || file->empty())
        return;
    TakeTexts();
    FTable.Save(*file);
}

void TTOffsets::ImportClick()
{
    auto file = Messages().ChooseFile(OffsetFileRequest(TFileDialogKind::Open));
    if (!file || file->empty())
        return;
    FTable.Load(*file);
    ShowTexts();
}

void TTOffsets::NewClick()
{
    FTable.Clear();
    ShowTexts();
}

void TTOffsets::OkClick()
{
    TakeTexts();
    FTable.Save(MainIniPath());
    accept();
}

} // namespace orv
