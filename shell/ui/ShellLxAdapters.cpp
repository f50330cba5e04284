#include "shell/ui/ShellLxAdapters.h"

#include "components/toolbar/ui/TbCore.h"
#include "components/toolbar/ui/TbCtls.h"
#include "localise/ui/LxQtTranslator.h"
#include "shell/ui/ShellStatusBar.h"

#include <array>
#include <memory>

namespace orv {

namespace {

// One panel of a status bar: an object with a "Text".
class TPanelObject : public TLxObject {
public:
    TPanelObject(TShellStatusBar *Bar, int Index) : FBar(Bar), FIndex(Index) {}
    std::string ClassName() const override { return "TStatusPanel"; }
    std::vector<TLxProperty> Properties() override
    {
        return {TLxProperty::Text(
            "Text", [this] { return FBar->Text(FIndex).toStdString(); },
            [this](const std::string &V) {
                FBar->Panel(FIndex).Text = QString::fromStdString(V);
                FBar->update();
            })};
    }

private:
    TShellStatusBar *FBar;
    int FIndex;
};

class TStatusBarAdapter : public TLxQtComponent, public TLxStatusPanels {
public:
    TStatusBarAdapter(TShellStatusBar *Bar, QWidget *Root) : TLxQtComponent(Bar, Root), FBar(Bar)
    {
        for (int i = 0; i < TShellStatusBar::PanelCount; ++i)
            FPanels[i] = std::make_unique<TPanelObject>(Bar, i);
    }
    std::string ClassName() const override { return "TStatusBar"; }
    std::vector<TLxProperty> Properties() override
    {
        std::vector<TLxProperty> list = TLxQtComponent::Properties();
        TLxProperty panels;
        panels.Name = "Panels";
        panels.Kind = TLxPropertyKind::Collection;
        for (auto &panel : FPanels)
            panels.Items.push_back(panel.get());
        list.push_back(panels);
        return list;
    }
    int PanelCount() const override { return TShellStatusBar::PanelCount; }
    TLxAlignment PanelAlignment(int Index) const override
    {
        const Qt::Alignment a = FBar->Panel(Index).Alignment;
        return (a & Qt::AlignRight) ? lxaRightJustify
               : (a & Qt::AlignHCenter) ? lxaCenter
                                        : lxaLeftJustify;
    }
    void SetPanelAlignment(int Index, TLxAlignment Alignment) override
    {
        FBar->Panel(Index).Alignment = Alignment == lxaRightJustify ? Qt::AlignRight
                                       : Alignment == lxaCenter     ? Qt::AlignHCenter
                                                                    : Qt::AlignLeft;
        FBar->update();
    }

private:
    TShellStatusBar *FBar;
    std::array<std::unique_ptr<TPanelObject>, TShellStatusBar::PanelCount> FPanels;
};

// Widgets whose caption is their own property, not a Qt text.
template <typename T> class TCaptionAdapter : public TLxQtComponent {
public:
    TCaptionAdapter(T *Widget, QWidget *Root) : TLxQtComponent(Widget, Root), FWidget(Widget) {}
    std::vector<TLxProperty> Properties() override
    {
        std::vector<TLxProperty> list = TLxQtComponent::Properties();
        // A face printed on a control (a Fanuc key) stays as it stands.
        if (IsMarkedAsData(FWidget))
            return list;
        list.push_back(TLxProperty::Text(
            "Caption", [this] { return FWidget->Caption().toStdString(); },
            [this](const std::string &V) { FWidget->SetCaption(QString::fromStdString(V)); }));
        return list;
    }

private:
    T *FWidget;
};

std::unique_ptr<TLxQtComponent> MakeAdapter(QObject *Object, QWidget *Root)
{
    if (auto *bar = dynamic_cast<TShellStatusBar *>(Object))
        return std::make_unique<TStatusBarAdapter>(bar, Root);
    if (auto *button = qobject_cast<TToolbarButton *>(Object))
        return std::make_unique<TCaptionAdapter<TToolbarButton>>(button, Root);
    if (auto *window = qobject_cast<TCustomToolWindow *>(Object))
        return std::make_unique<TCaptionAdapter<TCustomToolWindow>>(window, Root);
    return nullptr;
}

} // namespace

void RegisterShellLxAdapters()
{
    static const bool registered = [] {
        RegisterLxQtAdapter(MakeAdapter);
        return true;
    }();
    (void)registered;
}

} // namespace orv
