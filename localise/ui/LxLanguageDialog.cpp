#include "localise/ui/LxLanguageDialog.h"

#include "localise/LxDictionary.h"
#include "localise/LxLanguageList.h"
#include "localise/ui/LxQtTranslator.h"
#include "platform/HelpService.h"
#include "platform/ui/ModalRunner.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>

namespace orv {

TLxLanguageDialog::TLxLanguageDialog(QWidget *Owner, int HelpContext, int ListKind, int Flags,
                                     const std::string &Caption, TLxDictionary *Dictionary)
    : QDialog(Owner), FHelpContext(HelpContext)
{
    setObjectName("LxLanguageDialog");
    setWindowTitle(QString::fromStdString(Caption.empty() ? LanguageDialogCaption(ListKind)
                                                          : Caption));
    resize(256, 257);
    TreeView = new QTreeWidget(this);
    TreeView->setObjectName("TreeView");
    TreeView->setHeaderHidden(true);
    TreeView->setIndentation(19);
    TreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    CancelButton = new QPushButton("Cancel", this);
    CancelButton->setObjectName("CancelButton");
    HelpButton = new QPushButton("&Help", this);
    HelpButton->setObjectName("HelpButton");
    auto *buttons = new QVBoxLayout;
    for (QPushButton *button : {OKButton, CancelButton, HelpButton})
        buttons->addWidget(button);
    buttons->addStretch();
    auto *row = new QHBoxLayout(this);
    row->addWidget(TreeView, 1);
    row->addLayout(buttons);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [this] { HelpButtonClick(); });
    connect(TreeView, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *Item) { TreeViewDblClick(Item); });
    FormActivate();

    for (const TLxLanguageNode &node : ListOfKind(*Dictionary, ListKind, Flags)) {
        auto *item = new QTreeWidgetItem(TreeView, {QString::fromStdString(node.Text)});
        item->setData(0, Qt::UserRole, node.Value);
        for (const TLxLanguageNode &child : node.Children)
            (new QTreeWidgetItem(item, {QString::fromStdString(child.Text)}))
                ->setData(0, Qt::UserRole, child.Value);
    }
    Translator = new TLxQtTranslator(this, "TLxLanguageDialog");
    TLxTranslator &translator = Translator->Translator();
    translator.SetName("Translator");
    translator.Targets().Add("", "Hint");
    translator.Targets().Add("", "Caption");
    if ((Flags & lxldNativeNames) == 0)
        translator.Targets().Add("", "Items");
    translator.SetDictionary(Dictionary);
    translator.Open();
    TreeView->sortItems(0, Qt::AscendingOrder);
    // The current language (a leaf of the other lists) is selected.
    const int current = CurrentValueOfKind(*Dictionary, ListKind);
    for (QTreeWidgetItemIterator it(TreeView); *it; ++it)
        if ((*it)->childCount() == 0 && (*it)->data(0, Qt::UserRole).toInt() == current)
            TreeView->setCurrentItem(*it);
}

bool TLxLanguageDialog::ChosenValue(int &Value) const
{
    const QTreeWidgetItem *item = TreeView->currentItem();
    if (!item || !item->isSelected())
        return false;
    Value = item->data(0, Qt::UserRole).toInt();
    return true;
}

void TLxLanguageDialog::TreeViewDblClick(QTreeWidgetItem *Item)
{
    if (Item && Item->childCount() == 0) {
        TreeView->setCurrentItem(Item);
        accept();
    }
}

void TLxLanguageDialog::HelpButtonClick()
{
    Help().ShowContext(Help().HelpFile(), FHelpContext);
}

void TLxLanguageDialog::FormActivate()
{
    HelpButton->setVisible(FHelpContext != 0);
}

void TLxLanguageDialog::showEvent(QShowEvent *Event)
{
    FormActivate();
    QDialog::showEvent(Event);
}

bool SelectLanguage(QWidget *Owner, TLxDictionary *Dictionary, const std::string &Caption,
                    int &Chosen, int HelpContext, int Flags)
{
    CheckDictionaryOpen(Dictionary);
    TLxLanguageDialog dialog(Owner, HelpContext, 0, Flags, Caption, Dictionary);
    if ((Flags & lxldNoCentre) == 0)
        CentreOnForm(Owner, &dialog);
    const int result = RunModal(dialog);
    QApplication::restoreOverrideCursor();
    int value = 0;
    if (result != QDialog::Accepted || !dialog.ChosenValue(value))
        return false;
    Chosen = value;
    return true;
}

void CentreOnForm(QWidget *Form, QWidget *Dialog)
{
    const TLxBounds dialog{Dialog->x(), Dialog->y(), Dialog->width(), Dialog->height()};
    const QSize screen = QApplication::primaryScreen() ? QApplication::primaryScreen()->size()
                                                       : QSize(0, 0);
    TLxBounds placed;
    if (Form) {
        const QRect frame = Form->frameGeometry();
        const TLxBounds form{frame.x(), frame.y(), frame.width(), frame.height()};
        placed = CentreOnForm(&form, dialog, screen.width(), screen.height());
    } else {
        placed = CentreOnForm(nullptr, dialog, screen.width(), screen.height());
    }
    Dialog->move(placed.Left, placed.Top);
}

} // namespace orv
