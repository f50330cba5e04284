#pragma once
// The components a form translator walks: an object with named properties
// (texts, lists of texts, integers, nested objects and collections) and a
// component, which adds a name, the components it owns in creation order and,
// for controls, a position its form can mirror. The windowing layer adapts
// its widgets to these; the translator itself knows nothing of widgets.

#include <functional>
#include <string>
#include <vector>

namespace orv {

class TLxComponent;

// One item of a window's system menu: its standard command (61536 close...)
// and its text ("&Close\tAlt+F4").
struct TLxSystemMenuItem {
    int Command = 0;
    std::string Text;
    bool Separator = false;
};

enum class TLxPropertyKind { String, Strings, Integer, Collection, Font, Object };

// One published property with both a reader and a writer. Only the accessors
// of its kind are set.
struct TLxProperty {
    std::string Name;
    TLxPropertyKind Kind = TLxPropertyKind::String;
    std::function<std::string()> Get;
    std::function<void(const std::string &)> Set;
    std::function<std::vector<std::string>()> GetLines;
    std::function<void(const std::vector<std::string> &)> SetLines;
    std::function<int()> GetInteger;
    std::function<void(int)> SetInteger;
    // Font: its character set.
    std::function<int()> GetCharSet;
    std::function<void(int)> SetCharSet;
    // Collection items, or the nested object (a component or a plain object).
    std::vector<class TLxObject *> Items;
    class TLxObject *Object = nullptr;
    // The items of a combo box: translated only while the box is visible.
    bool ComboItems = false;

    static TLxProperty Text(std::string Name, std::function<std::string()> Get,
                            std::function<void(const std::string &)> Set)
    {
        TLxProperty p;
        p.Name = std::move(Name);
        p.Get = std::move(Get);
        p.Set = std::move(Set);
        return p;
    }
    static TLxProperty Lines(std::string Name, std::function<std::vector<std::string>()> Get,
                             std::function<void(const std::vector<std::string> &)> Set,
                             bool Combo = false)
    {
        TLxProperty p;
        p.Name = std::move(Name);
        p.Kind = TLxPropertyKind::Strings;
        p.GetLines = std::move(Get);
        p.SetLines = std::move(Set);
        p.ComboItems = Combo;
        return p;
    }
};

class TLxObject {
public:
    virtual ~TLxObject() = default;
    virtual std::string ClassName() const = 0;
    // The published properties in declaration order.
    virtual std::vector<TLxProperty> Properties() { return {}; }
    virtual TLxComponent *AsComponent() { return nullptr; }
};

class TLxComponent : public TLxObject {
public:
    TLxComponent *AsComponent() override { return this; }
    virtual std::string Name() const = 0;
    // Owned components in creation order (forms among them are not walked).
    virtual std::vector<TLxComponent *> Components() { return {}; }
    // The owner of the component when it is not the root, else none.
    virtual TLxComponent *Owner() const { return nullptr; }

    // Forms: context 1 of lookups is the class name, then the form's own
    // bases up to (not including) the generic form classes.
    virtual bool IsForm() const { return false; }
    virtual std::vector<std::string> AncestorClassNames() const { return {}; }
    virtual bool AutoScroll() const { return false; }
    virtual void ScaleBy(int /*Multiplier*/, int /*Divider*/) {}
    virtual bool FontInfo(std::string & /*Name*/, int & /*Size*/) const { return false; }
    virtual void SetFont(const std::string & /*Name*/, int /*Size*/, int /*CharSet*/) {}
    // The window frame is drawn again after the reading direction changed.
    virtual void RedrawFrame() {}
    // The items of the system menu the program owns for the window; none
    // when the window manager owns it.
    virtual std::vector<TLxSystemMenuItem> SystemMenu() const { return {}; }
    virtual void SetSystemMenu(const std::vector<TLxSystemMenuItem> & /*Items*/) {}

    // Menu items take their hot keys from the translator: a value's first
    // "&" is set aside during lookups.
    virtual bool IsMenuItem() const { return false; }
    // A menu whose items receive automatic hot keys after a pass.
    virtual bool IsHotKeyMenu() const { return false; }
    virtual std::vector<std::string> ItemCaptions() const { return {}; }
    virtual void SetItemCaptions(const std::vector<std::string> & /*Captions*/) {}

    // Controls.
    virtual bool IsControl() const { return false; }
    virtual bool IsWindowed() const { return IsControl(); }
    virtual bool Visible() const { return true; }
    virtual TLxComponent *ParentControl() const { return nullptr; }
    virtual int Left() const { return 0; }
    virtual void SetLeft(int /*Left*/) {}
    virtual int Width() const { return 0; }
    virtual int ClientWidth() const { return Width(); }
    virtual int ParentClientWidth() const { return 0; }
    // 0 left-to-right, 1 right-to-left.
    virtual void SetLayout(int /*Layout*/) {}
    virtual void Invalidate() {}
    // Skipped unless the translator translates such controls.
    virtual bool IsOCX() const { return false; }
};

// Controls whose texts or mirroring the control module handles.
class TLxGridCells {
public:
    virtual ~TLxGridCells() = default;
    virtual int RowCount() const = 0;
    virtual int ColCount() const = 0;
    virtual int FixedRows() const = 0;
    virtual int FixedCols() const = 0;
    virtual std::string Cell(int Col, int Row) const = 0;
    virtual void SetCell(int Col, int Row, const std::string &Text) = 0;
};

// A list view in report style: items with a caption and sub-items (the
// other columns). Each item is an object of its own, by which the
// translator remembers its texts. Sorting is held off while the texts
// change, so that no item moves during a pass.
class TLxListView {
public:
    virtual ~TLxListView() = default;
    virtual int ItemCount() const = 0;
    virtual TLxObject *Item(int Index) = 0;
    virtual std::string Caption(int Index) const = 0;
    virtual void SetCaption(int Index, const std::string &Text) = 0;
    virtual int SubItemCount(int Index) const = 0;
    virtual std::string SubItem(int Index, int Sub) const = 0;
    virtual void SetSubItem(int Index, int Sub, const std::string &Text) = 0;
    // Saves the sort type and sorts no more; EndUpdate restores it.
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
};

// A tree view: its nodes by absolute index (parents before children).
class TLxTreeView {
public:
    virtual ~TLxTreeView() = default;
    virtual int NodeCount() const = 0;
    virtual std::string NodeText(int Index) const = 0;
    virtual void SetNodeText(int Index, const std::string &Text) = 0;
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
};

enum TLxAlignment { lxaLeftJustify, lxaRightJustify, lxaCenter };

class TLxStatusPanels {
public:
    virtual ~TLxStatusPanels() = default;
    virtual int PanelCount() const = 0;
    virtual TLxAlignment PanelAlignment(int Index) const = 0;
    virtual void SetPanelAlignment(int Index, TLxAlignment Alignment) = 0;
};

// A page of a page control; controls on it mirror against the client width
// of the page control's active page.
class TLxTabSheet {
public:
    virtual ~TLxTabSheet() = default;
    virtual int ActivePageClientWidth() const = 0;
};

} // namespace orv
