#pragma once
// The form translator on Qt windows. TLxQtTranslator (object name "Tran")
// sits on a window and lets a TLxTranslator bound to "Dictionary1" walk the
// window's widgets, actions and menus, in creation order, as components:
// "Name" is the object name, context 1 the window's class name and then its
// own bases. Per widget kind it offers the texts the target lists name
// ("Caption", "Hint", "Items", "Tabs", "Cells", "Text"...); widgets of other
// modules get their texts through adapters those modules register.
// The system menu of an MDI child is translated; a top-level window's
// belongs to the window manager.

#include "localise/LxTranslator.h"

#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QWidget;
template <typename T> class QList;

namespace orv {

// Adapter of one Qt object; the generic one covers Qt's own widgets.
class TLxQtComponent : public TLxComponent {
public:
    TLxQtComponent(QObject *Object, QWidget *Root) : FObject(Object), FRoot(Root) {}
    QObject *Object() const { return FObject; }
    std::string ClassName() const override;
    std::string Name() const override;
    std::vector<TLxProperty> Properties() override;
    bool IsMenuItem() const override;
    bool IsHotKeyMenu() const override;
    std::vector<std::string> ItemCaptions() const override;
    void SetItemCaptions(const std::vector<std::string> &Captions) override;
    bool IsControl() const override;
    bool Visible() const override;
    int Left() const override;
    void SetLeft(int Left) override;
    int Width() const override;
    int ParentClientWidth() const override;
    void SetLayout(int Layout) override;
    void Invalidate() override;

protected:
    QWidget *Widget() const;
    QList<QAction *> OwnActions() const;
    QObject *FObject;
    QWidget *FRoot;
};

// Makes the adapter of an object a module knows; none for others.
using TLxQtAdapterFactory =
    std::function<std::unique_ptr<TLxQtComponent>(QObject *Object, QWidget *Root)>;
void RegisterLxQtAdapter(TLxQtAdapterFactory Factory);

class TLxQtForm;

class TLxQtTranslator : public QObject {
public:
    // ClassName and Ancestors: the window's class without namespace and its
    // own bases (never Qt's), context 1 of lookups.
    TLxQtTranslator(QWidget *Form, const std::string &ClassName,
                    std::vector<std::string> Ancestors = {});
    ~TLxQtTranslator() override;

    TLxTranslator &Translator() { return FTranslator; }
    // Objects outside the window's children that belong to it (floating
    // tool windows).
    std::function<std::vector<QObject *>()> ExtraObjects;

    // The adapters of the window's objects, made once per object.
    std::vector<TLxComponent *> Components();

private:
    TLxComponent *AdapterOf(QObject *Object);
    void Collect(QObject *Parent, std::vector<QObject *> &Objects) const;

    QWidget *FForm;
    std::unique_ptr<TLxQtForm> FRootAdapter;
    std::map<QObject *, std::unique_ptr<TLxComponent>> FAdapters;
    TLxTranslator FTranslator;
};

// A widget that shows the user's own names (machines, tools, offsets,
// utilities, settings keys), which the program also reads back: its
// caption and items stay as they are in every language (its tip does not).
void MarkAsData(QWidget *Widget);
bool IsMarkedAsData(const QObject *Object);

// Puts a translator named "Tran" on Form with the program's target list
// ("Caption", "Hint", "Items", "Lines", "Hints", "Tabs", "Text",
// "SimpleText", "Filter", "Title", "Cells"), bound to "Dictionary1", and
// translates the window now when the dictionary is open.
TLxQtTranslator *AttachTranslator(QWidget *Form, const std::string &ClassName,
                                  std::vector<std::string> Ancestors = {});
// The translator on Form; none when it has none.
TLxQtTranslator *TranslatorOf(QWidget *Form);
// After Form made menu items again (items added, menus merged in): a pass
// of its open translator now, so that they speak the language and get hot
// keys at once. Nothing without an open translator.
void TranslateAgain(QWidget *Form);

} // namespace orv
