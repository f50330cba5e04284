#include "localise/ui/LxQtTranslator.h"

#include "localise/LxControlModule.h"
#include "localise/LxCustomDictionary.h"

#include <QAbstractButton>
#include <QApplication>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QWidget>

#include <set>

namespace orv {

namespace {

QString Q(const std::string &Text)
{
    return QString::fromStdString(Text);
}

std::string S(const QString &Text)
{
    return Text.toStdString();
}

std::vector<TLxQtAdapterFactory> &Factories()
{
    static std::vector<TLxQtAdapterFactory> factories;
    return factories;
}

// A widget whose texts are the user's data (names of machines, tools,
// offsets, settings keys): its caption and items are never translated.
bool IsData(const QObject *Object)
{
    return Object->property("lxData").toBool();
}

// The action a menu shows as its entry in its parent menu: translated as
// the menu's own caption, not a second time.
bool IsMenuEntryAction(QObject *Object)
{
    auto *action = qobject_cast<QAction *>(Object);
    auto *menu = action ? qobject_cast<QMenu *>(action->parent()) : nullptr;
    return menu && menu->menuAction() == action;
}

TLxProperty TextProperty(const char *Name, std::function<QString()> Get,
                         std::function<void(const QString &)> Set)
{
    return TLxProperty::Text(
        Name, [Get] { return S(Get()); }, [Set](const std::string &V) { Set(Q(V)); });
}

std::vector<std::string> Lines(const QStringList &List)
{
    std::vector<std::string> lines;
    for (const QString &line : List)
        lines.push_back(S(line));
    return lines;
}

void AddComboItems(QComboBox *Combo, std::vector<TLxProperty> &List)
{
    List.push_back(TLxProperty::Lines(
        "Items",
        [Combo] {
            QStringList items;
            for (int i = 0; i < Combo->count(); ++i)
                items << Combo->itemText(i);
            return Lines(items);
        },
        [Combo](const std::vector<std::string> &Items) {
            const int index = Combo->currentIndex();
            for (int i = 0; i < Combo->count() && i < static_cast<int>(Items.size()); ++i)
                Combo->setItemText(i, Q(Items[i]));
            Combo->setCurrentIndex(index);
        },
        true));
}

void AddListItems(QListWidget *List, std::vector<TLxProperty> &Properties)
{
    Properties.push_back(TLxProperty::Lines(
        "Items",
        [List] {
            std::vector<std::string> items;
            for (int i = 0; i < List->count(); ++i)
                items.push_back(S(List->item(i)->text()));
            return items;
        },
        [List](const std::vector<std::string> &Items) {
            for (int i = 0; i < List->count() && i < static_cast<int>(Items.size()); ++i)
                List->item(i)->setText(Q(Items[i]));
        }));
}

// Tab texts of a tab bar; a tab widget's own bar is one of Qt's inner
// widgets, reached through the tab widget.
void AddTabs(QTabBar *Bar, std::vector<TLxProperty> &Properties)
{
    Properties.push_back(TLxProperty::Lines(
        "Tabs",
        [Bar] {
            std::vector<std::string> tabs;
            for (int i = 0; i < Bar->count(); ++i)
                tabs.push_back(S(Bar->tabText(i)));
            return tabs;
        },
        [Bar](const std::vector<std::string> &Tabs) {
            for (int i = 0; i < Bar->count() && i < static_cast<int>(Tabs.size()); ++i)
                Bar->setTabText(i, Q(Tabs[i]));
        }));
}

// A table's header cells as the fixed row and column of a grid.
class TLxQtTable : public TLxQtComponent, public TLxGridCells {
public:
    TLxQtTable(QTableWidget *Table, QWidget *Root) : TLxQtComponent(Table, Root), FTable(Table) {}
    int RowCount() const override { return FTable->rowCount() + 1; }
    int ColCount() const override { return FTable->columnCount() + 1; }
    int FixedRows() const override { return 1; }
    int FixedCols() const override { return 1; }
    std::string Cell(int Col, int Row) const override
    {
        const QTableWidgetItem *item = ItemAt(Col, Row);
        return item ? S(item->text()) : std::string();
    }
    void SetCell(int Col, int Row, const std::string &Text) override
    {
        if (QTableWidgetItem *item = ItemAt(Col, Row))
            item->setText(Q(Text));
    }

private:
    QTableWidgetItem *ItemAt(int Col, int Row) const
    {
        if (Col == 0 && Row == 0)
            return nullptr;
        if (Row == 0)
            return FTable->horizontalHeaderItem(Col - 1);
        if (Col == 0)
            return FTable->verticalHeaderItem(Row - 1);
        return FTable->item(Row - 1, Col - 1);
    }
    QTableWidget *FTable;
};

// One column title of a list or tree: an object with a "Caption".
class TLxQtColumn : public TLxObject {
public:
    TLxQtColumn(QTreeWidget *Tree, int Column) : FTree(Tree), FColumn(Column) {}
    std::string ClassName() const override { return "TListColumn"; }
    std::vector<TLxProperty> Properties() override
    {
        return {TLxProperty::Text(
            "Caption", [this] { return S(FTree->headerItem()->text(FColumn)); },
            [this](const std::string &V) { FTree->headerItem()->setText(FColumn, Q(V)); })};
    }

private:
    QTreeWidget *FTree;
    int FColumn;
};

// One item of a list: the object its texts are remembered by.
class TLxQtListItem : public TLxObject {
public:
    std::string ClassName() const override { return "TListItem"; }
};

// A tree widget: a list view when it has more than one column (each item
// a caption with its sub-items), else a tree view. Its column titles are
// the collection "Columns".
class TLxQtTreeBase : public TLxQtComponent {
public:
    TLxQtTreeBase(QTreeWidget *Tree, QWidget *Root) : TLxQtComponent(Tree, Root), FTree(Tree) {}
    std::vector<TLxProperty> Properties() override
    {
        std::vector<TLxProperty> list = TLxQtComponent::Properties();
        while (static_cast<int>(FColumns.size()) < FTree->columnCount())
            FColumns.push_back(
                std::make_unique<TLxQtColumn>(FTree, static_cast<int>(FColumns.size())));
        TLxProperty columns;
        columns.Name = "Columns";
        columns.Kind = TLxPropertyKind::Collection;
        for (int c = 0; c < FTree->columnCount(); ++c)
            columns.Items.push_back(FColumns[c].get());
        list.push_back(columns);
        return list;
    }

protected:
    std::vector<QTreeWidgetItem *> AllItems() const
    {
        std::vector<QTreeWidgetItem *> items;
        for (QTreeWidgetItemIterator it(FTree); *it; ++it)
            items.push_back(*it);
        return items;
    }
    // Sorting held off while texts change: no item moves during a pass.
    void HoldSorting()
    {
        FSorting = FTree->isSortingEnabled();
        FTree->setSortingEnabled(false);
        FItems = AllItems();
    }
    void RestoreSorting() { FTree->setSortingEnabled(FSorting); }

    QTreeWidget *FTree;
    std::vector<QTreeWidgetItem *> FItems;

private:
    std::vector<std::unique_ptr<TLxQtColumn>> FColumns;
    bool FSorting = false;
};

class TLxQtListView : public TLxQtTreeBase, public TLxListView {
public:
    TLxQtListView(QTreeWidget *Tree, QWidget *Root, std::function<void(TLxObject *)> Forget)
        : TLxQtTreeBase(Tree, Root), FForget(std::move(Forget))
    {
    }
    ~TLxQtListView() override
    {
        for (auto &[item, object] : FItemObjects)
            FForget(object.get());
    }
    int ItemCount() const override { return static_cast<int>(FItems.size()); }
    TLxObject *Item(int Index) override
    {
        std::unique_ptr<TLxQtListItem> &object = FItemObjects[FItems[Index]];
        if (!object)
            object = std::make_unique<TLxQtListItem>();
        return object.get();
    }
    std::string Caption(int Index) const override { return S(FItems[Index]->text(0)); }
    void SetCaption(int Index, const std::string &Text) override { Set(Index, 0, Text); }
    int SubItemCount(int Index) const override
    {
        return std::max(0, FItems[Index]->columnCount() - 1);
    }
    std::string SubItem(int Index, int Sub) const override
    {
        return S(FItems[Index]->text(Sub + 1));
    }
    void SetSubItem(int Index, int Sub, const std::string &Text) override
    {
        Set(Index, Sub + 1, Text);
    }
    // Items gone since the last pass leave the translator's memory.
    void BeginUpdate() override
    {
        HoldSorting();
        const std::set<QTreeWidgetItem *> present(FItems.begin(), FItems.end());
        for (auto it = FItemObjects.begin(); it != FItemObjects.end();) {
            if (present.count(it->first)) {
                ++it;
                continue;
            }
            FForget(it->second.get());
            it = FItemObjects.erase(it);
        }
    }
    void EndUpdate() override { RestoreSorting(); }

private:
    void Set(int Index, int Column, const std::string &Text)
    {
        if (FItems[Index]->text(Column) != Q(Text))
            FItems[Index]->setText(Column, Q(Text));
    }
    std::function<void(TLxObject *)> FForget;
    std::map<QTreeWidgetItem *, std::unique_ptr<TLxQtListItem>> FItemObjects;
};

class TLxQtTreeView : public TLxQtTreeBase, public TLxTreeView {
public:
    using TLxQtTreeBase::TLxQtTreeBase;
    int NodeCount() const override { return static_cast<int>(FItems.size()); }
    std::string NodeText(int Index) const override { return S(FItems[Index]->text(0)); }
    void SetNodeText(int Index, const std::string &Text) override
    {
        if (FItems[Index]->text(0) != Q(Text))
            FItems[Index]->setText(0, Q(Text));
    }
    void BeginUpdate() override { HoldSorting(); }
    void EndUpdate() override { RestoreSorting(); }
};

// Qt's system-menu actions of an MDI child, by the commands of their texts.
int SystemCommandOf(const QString &Text)
{
    QString plain = Text.section('\t', 0, 0);
    for (int command = 61440; command <= 61808; command += 16) {
        const QString caption = Q(SystemMenuCaption(command));
        if (!caption.isEmpty() && caption == plain)
            return command;
    }
    return 0;
}

} // namespace

// The window itself: a form with its class names, font and system menu.
class TLxQtForm : public TLxQtComponent {
public:
    TLxQtForm(TLxQtTranslator &Owner, QWidget *Form, std::string ClassName,
              std::vector<std::string> Ancestors)
        : TLxQtComponent(Form, Form), FOwner(Owner), FClassName(std::move(ClassName)),
          FAncestors(std::move(Ancestors))
    {
    }
    std::string ClassName() const override { return FClassName; }
    std::string Name() const override { return S(FRoot->objectName()); }
    std::vector<TLxComponent *> Components() override { return FOwner.Components(); }
    bool IsForm() const override { return true; }
    std::vector<std::string> AncestorClassNames() const override { return FAncestors; }
    void ScaleBy(int Multiplier, int Divider) override
    {
        FRoot->resize(FRoot->width() * Multiplier / Divider,
                      FRoot->height() * Multiplier / Divider);
        QFont font = FRoot->font();
        if (font.pointSize() > 0) {
            font.setPointSize(std::max(1, font.pointSize() * Multiplier / Divider));
            FRoot->setFont(font);
        }
    }
    bool FontInfo(std::string &Name, int &Size) const override
    {
        Name = S(FRoot->font().family());
        Size = FRoot->font().pointSize();
        return true;
    }
    // A font's character set is kept by Qt's fonts themselves.
    void SetFont(const std::string &Name, int Size, int /*CharSet*/) override
    {
        QFont font = FRoot->font();
        if (!Name.empty() && font.family() != Q(Name))
            font.setFamily(Q(Name));
        if (Size > 0 && font.pointSize() != Size)
            font.setPointSize(Size);
        if (font != FRoot->font())
            FRoot->setFont(font);
    }
    void RedrawFrame() override { FRoot->update(); }
    std::vector<TLxSystemMenuItem> SystemMenu() const override
    {
        std::vector<TLxSystemMenuItem> items;
        QMenu *menu = SystemMenuOf();
        if (!menu)
            return items;
        for (QAction *action : menu->actions()) {
            if (!action->property("lxCommand").isValid())
                action->setProperty("lxCommand", SystemCommandOf(action->text()));
            items.push_back({action->property("lxCommand").toInt(), S(action->text()),
                             action->isSeparator()});
        }
        return items;
    }
    void SetSystemMenu(const std::vector<TLxSystemMenuItem> &Items) override
    {
        QMenu *menu = SystemMenuOf();
        if (!menu)
            return;
        const QList<QAction *> actions = menu->actions();
        for (int i = 0; i < actions.size() && i < static_cast<int>(Items.size()); ++i) {
            if (Items[i].Command != 0)
                actions[i]->setText(Q(Items[i].Text));
            else if (!actions[i]->isSeparator())
                TranslateOwnItem(actions[i]);
        }
    }

private:
    // An item Qt adds to the system menu beyond the standard commands ("Stay
    // on &Top"): translated from the text Qt gave it.
    void TranslateOwnItem(QAction *Item) const
    {
        if (!Item->property("lxSource").isValid())
            Item->setProperty("lxSource", Item->text());
        const std::string source = S(Item->property("lxSource").toString());
        Item->setText(Q(TranslateText(FOwner.Translator().Dictionary(), source)));
    }
    QMenu *SystemMenuOf() const
    {
        auto *sub = qobject_cast<QMdiSubWindow *>(FRoot->parentWidget());
        return sub ? sub->systemMenu() : nullptr;
    }
    TLxQtTranslator &FOwner;
    std::string FClassName;
    std::vector<std::string> FAncestors;
};

// --- The generic adapter ----------------------------------------------------

QWidget *TLxQtComponent::Widget() const
{
    return qobject_cast<QWidget *>(FObject);
}

std::string TLxQtComponent::ClassName() const
{
    const QString name = QString::fromLatin1(FObject->metaObject()->className());
    return S(name.section("::", -1));
}

std::string TLxQtComponent::Name() const
{
    return S(FObject->objectName());
}

std::vector<TLxProperty> TLxQtComponent::Properties()
{
    std::vector<TLxProperty> list;
    list.push_back(TextProperty(
        "Name", [o = FObject] { return o->objectName(); },
        [o = FObject](const QString &V) { o->setObjectName(V); }));
    QObject *object = FObject;
    if (auto *action = qobject_cast<QAction *>(object)) {
        list.push_back(TextProperty(
            "Caption", [action] { return action->text(); },
            [action](const QString &V) { action->setText(V); }));
        return list;
    }
    if (auto *menu = qobject_cast<QMenu *>(object)) {
        list.push_back(TextProperty(
            "Caption", [menu] { return menu->title(); },
            [menu](const QString &V) { menu->setTitle(V); }));
        return list;
    }
    QWidget *widget = Widget();
    if (!widget)
        return list;
    // An MDI child's frame shows the child's caption.
    if (IsData(widget) && widget != FRoot) {
        list.push_back(TextProperty(
            "Hint", [widget] { return widget->toolTip(); },
            [widget](const QString &V) { widget->setToolTip(V); }));
        return list;
    }
    if (widget == FRoot || widget->isWindow())
        list.push_back(TextProperty(
            "Caption", [widget] { return widget->windowTitle(); },
            [widget](const QString &V) {
                widget->setWindowTitle(V);
                if (auto *frame = qobject_cast<QMdiSubWindow *>(widget->parentWidget()))
                    frame->setWindowTitle(V);
            }));
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        list.push_back(TextProperty(
            "Caption", [button] { return button->text(); },
            [button](const QString &V) { button->setText(V); }));
    else if (auto *label = qobject_cast<QLabel *>(widget))
        list.push_back(TextProperty(
            "Caption", [label] { return label->text(); },
            [label](const QString &V) { label->setText(V); }));
    else if (auto *group = qobject_cast<QGroupBox *>(widget))
        list.push_back(TextProperty(
            "Caption", [group] { return group->title(); },
            [group](const QString &V) { group->setTitle(V); }));
    list.push_back(TextProperty(
        "Hint", [widget] { return widget->toolTip(); },
        [widget](const QString &V) { widget->setToolTip(V); }));
    if (IsData(widget))
        return list;
    if (auto *combo = qobject_cast<QComboBox *>(widget); combo && !combo->isEditable())
        AddComboItems(combo, list);
    else if (auto *items = qobject_cast<QListWidget *>(widget))
        AddListItems(items, list);
    else if (auto *tabs = qobject_cast<QTabBar *>(widget))
        AddTabs(tabs, list);
    else if (auto *pages = qobject_cast<QTabWidget *>(widget))
        AddTabs(pages->tabBar(), list);
    return list;
}

bool TLxQtComponent::IsMenuItem() const
{
    if (auto *action = qobject_cast<QAction *>(FObject))
        return !action->isSeparator();
    auto *menu = qobject_cast<QMenu *>(FObject);
    return menu && (qobject_cast<QMenu *>(menu->parent()) ||
                    qobject_cast<QMenuBar *>(menu->parent()));
}

bool TLxQtComponent::IsHotKeyMenu() const
{
    return qobject_cast<QMenu *>(FObject) || qobject_cast<QMenuBar *>(FObject);
}

// Items another window merged into this one's menu bar keep the hot keys
// their own window gave them, and take none from this one's.
QList<QAction *> TLxQtComponent::OwnActions() const
{
    QList<QAction *> own;
    for (QAction *action : Widget()->actions()) {
        QObject *owner = action->parent();
        while (owner && owner != FRoot && !owner->property("lxTranslated").toBool())
            owner = owner->parent();
        if (owner == FRoot)
            own << action;
    }
    return own;
}

std::vector<std::string> TLxQtComponent::ItemCaptions() const
{
    std::vector<std::string> captions;
    for (QAction *action : OwnActions())
        captions.push_back(action->isSeparator() ? std::string() : S(action->text()));
    return captions;
}

void TLxQtComponent::SetItemCaptions(const std::vector<std::string> &Captions)
{
    const QList<QAction *> actions = OwnActions();
    for (int i = 0; i < actions.size() && i < static_cast<int>(Captions.size()); ++i)
        if (!actions[i]->isSeparator() && actions[i]->text() != Q(Captions[i]))
            actions[i]->setText(Q(Captions[i]));
}

bool TLxQtComponent::IsControl() const
{
    return Widget() && !IsHotKeyMenu();
}

bool TLxQtComponent::Visible() const
{
    return Widget() && !Widget()->isHidden();
}

int TLxQtComponent::Left() const
{
    return Widget() ? Widget()->x() : 0;
}

// Widgets placed by a layout are mirrored by their container's layout
// direction; only absolutely placed ones move.
void TLxQtComponent::SetLeft(int Left)
{
    QWidget *widget = Widget();
    if (!widget || widget == FRoot || widget->isWindow())
        return;
    QWidget *parent = widget->parentWidget();
    if (parent && parent->layout())
        return;
    widget->move(Left, widget->y());
}

int TLxQtComponent::Width() const
{
    return Widget() ? Widget()->width() : 0;
}

int TLxQtComponent::ParentClientWidth() const
{
    QWidget *parent = Widget() ? Widget()->parentWidget() : nullptr;
    return parent ? parent->contentsRect().width() : 0;
}

void TLxQtComponent::SetLayout(int Layout)
{
    if (QWidget *widget = Widget())
        widget->setLayoutDirection(Layout == 1 ? Qt::RightToLeft : Qt::LeftToRight);
}

void TLxQtComponent::Invalidate()
{
    if (QWidget *widget = Widget())
        widget->update();
}

void RegisterLxQtAdapter(TLxQtAdapterFactory Factory)
{
    Factories().push_back(std::move(Factory));
}

// --- The translator on a window ---------------------------------------------

TLxQtTranslator::TLxQtTranslator(QWidget *Form, const std::string &ClassName,
                                 std::vector<std::string> Ancestors)
    : QObject(Form), FForm(Form),
      FRootAdapter(std::make_unique<TLxQtForm>(*this, Form, ClassName, std::move(Ancestors))),
      FTranslator(FRootAdapter.get())
{
    // Lists, trees and grids are translated by the control module.
    RegisterControlModule();
    setObjectName("Tran");
    FTranslator.SetName("Tran");
    Form->setProperty("lxTranslated", true);
}

TLxQtTranslator::~TLxQtTranslator()
{
    FTranslator.Close();
    // Adapters forget what the translator remembers of them while it exists.
    FAdapters.clear();
}

// A window of its own translator is not walked. Qt's inner objects are
// not components, but what the window put in them (the pages of a tab
// widget, the contents of a scroll area) is.
void TLxQtTranslator::Collect(QObject *Parent, std::vector<QObject *> &Objects) const
{
    for (QObject *child : Parent->children()) {
        if (child == this)
            continue;
        if (child->property("lxTranslated").toBool() || qobject_cast<QMdiSubWindow *>(child))
            continue;
        const bool inner = child->objectName().startsWith("qt_");
        if (!inner && (child->isWidgetType() || qobject_cast<QAction *>(child))) {
            if (!IsMenuEntryAction(child))
                Objects.push_back(child);
        }
        Collect(child, Objects);
    }
}

std::vector<TLxComponent *> TLxQtTranslator::Components()
{
    std::vector<QObject *> objects;
    Collect(FForm, objects);
    if (ExtraObjects)
        for (QObject *extra : ExtraObjects()) {
            objects.push_back(extra);
            Collect(extra, objects);
        }
    std::vector<TLxComponent *> components;
    components.reserve(objects.size());
    for (QObject *object : objects)
        components.push_back(AdapterOf(object));
    return components;
}

TLxComponent *TLxQtTranslator::AdapterOf(QObject *Object)
{
    auto found = FAdapters.find(Object);
    if (found != FAdapters.end())
        return found->second.get();
    std::unique_ptr<TLxComponent> adapter;
    for (const TLxQtAdapterFactory &factory : Factories())
        if ((adapter = factory(Object, FForm)))
            break;
    if (!adapter) {
        if (auto *table = qobject_cast<QTableWidget *>(Object))
            adapter = std::make_unique<TLxQtTable>(table, FForm);
        else if (auto *tree = qobject_cast<QTreeWidget *>(Object); !tree || IsData(tree))
            adapter = std::make_unique<TLxQtComponent>(Object, FForm);
        else if (tree->columnCount() > 1)
            adapter = std::make_unique<TLxQtListView>(
                tree, FForm, [this](TLxObject *Item) { FTranslator.Forget(Item); });
        else
            adapter = std::make_unique<TLxQtTreeView>(tree, FForm);
    }
    TLxComponent *result = adapter.get();
    FAdapters.emplace(Object, std::move(adapter));
    connect(Object, &QObject::destroyed, this, [this](QObject *Gone) {
        auto entry = FAdapters.find(Gone);
        if (entry == FAdapters.end())
            return;
        FTranslator.Forget(entry->second.get());
        FAdapters.erase(entry);
    });
    return result;
}

// The process's reading direction follows the language: windows made later
// (dialogs among them) start with it.
void FollowReadingDirection()
{
    if (!LxApplication().OnReadingDirection)
        LxApplication().OnReadingDirection = [](bool RightToLeft) {
            QApplication::setLayoutDirection(RightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        };
}

TLxQtTranslator *AttachTranslator(QWidget *Form, const std::string &ClassName,
                                  std::vector<std::string> Ancestors)
{
    RegisterControlModule();
    FollowReadingDirection();
    auto *tran = new TLxQtTranslator(Form, ClassName, std::move(Ancestors));
    TLxTranslator &translator = tran->Translator();
    for (const char *property : {"Caption", "Hint", "Items", "Lines", "Hints", "Tabs", "Text",
                                 "SimpleText", "Filter", "Title", "Cells"})
        translator.Targets().Add("", property);
    translator.SetDictionaryName("Dictionary1");
    if (translator.Dictionary() && translator.Dictionary()->Active())
        translator.Loaded();
    return tran;
}

void MarkAsData(QWidget *Widget)
{
    Widget->setProperty("lxData", true);
}

bool IsMarkedAsData(const QObject *Object)
{
    return IsData(Object);
}

TLxQtTranslator *TranslatorOf(QWidget *Form)
{
    for (QObject *child : Form->children())
        if (auto *tran = dynamic_cast<TLxQtTranslator *>(child))
            return tran;
    return nullptr;
}

void TranslateAgain(QWidget *Form)
{
    TLxQtTranslator *tran = TranslatorOf(Form);
    if (tran && tran->Translator().Active())
        tran->Translator().Translate();
}

} // namespace orv
