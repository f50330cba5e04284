#include "localise/ui/LxQtTranslator.h"

#include "localise/LxControlModule.h"

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

void AddTreeItems(QTreeWidget *Tree, std::vector<TLxProperty> &Properties)
{
    Properties.push_back(TLxProperty::Lines(
        "Items",
        [Tree] {
            std::vector<std::string> items;
            for (QTreeWidgetItemIterator it(Tree); *it; ++it)
                items.push_back(S((*it)->text(0)));
            return items;
        },
        [Tree](const std::vector<std::string> &Items) {
            size_t i = 0;
            for (QTreeWidgetItemIterator it(Tree); *it && i < Items.size(); ++it, ++i)
                (*it)->setText(0, Q(Items[i]));
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
        for (int i = 0; i < actions.size() && i < static_cast<int>(Items.size()); ++i)
            if (Items[i].Command != 0)
                actions[i]->setText(Q(Items[i].Text));
    }

private:
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
    if (auto *combo = qobject_cast<QComboBox *>(widget); combo && !combo->isEditable())
        AddComboItems(combo, list);
    else if (auto *items = qobject_cast<QListWidget *>(widget))
        AddListItems(items, list);
    else if (auto *tree = qobject_cast<QTreeWidget *>(widget))
        AddTreeItems(tree, list);
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
    setObjectName("Tran");
    FTranslator.SetName("Tran");
    Form->setProperty("lxTranslated", true);
}

TLxQtTranslator::~TLxQtTranslator()
{
    FTranslator.Close();
}

// A window of its own translator is not walked; nor are Qt's inner objects.
void TLxQtTranslator::Collect(QObject *Parent, std::vector<QObject *> &Objects) const
{
    for (QObject *child : Parent->children()) {
        if (child == this || child->objectName().startsWith("qt_"))
            continue;
        if (child->property("lxTranslated").toBool() || qobject_cast<QMdiSubWindow *>(child))
            continue;
        if (child->isWidgetType() || qobject_cast<QAction *>(child)) {
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
        else
            adapter = std::make_unique<TLxQtComponent>(Object, FForm);
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
