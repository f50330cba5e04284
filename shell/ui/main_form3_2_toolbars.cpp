// The main window's toolbar and Utilities-menu setup: button styles by
// icon size and captions, the toolbar popup, hidden buttons, the setup
// dialog and level presets behind the settings password, and the
// Utilities menu with its configuration.
#include "shell/ui/main_form3_2.h"

#include "components/toolbar/ui/TbCore.h"
#include "components/toolbar/ui/TbCtls.h"
#include "components/toolbar/ui/TbTlbr.h"
#include "engine/form/base.h"
#include "platform/Paths.h"
#include "platform/ui/ModalRunner.h"
#include "shell/ToolbarSetup.h"
#include "localise/ui/LxQtTranslator.h"
#include "shell/UtilityMenu.h"
#include "shell/ui/Config_Menu_Tools.h"
#include "shell/ui/ShellGlyphs.h"
#include "shell/ui/toolbar_setup.h"

#include <QActionGroup>
#include <QCursor>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>

namespace orv {

namespace {

// A right button released on a toolbar itself (not on one of its buttons)
// opens the toolbar popup.
class TToolbarPopupFilter : public QObject {
public:
    TToolbarPopupFilter(QObject *Parent, std::function<void(TToolbar *)> Popup)
        : QObject(Parent), FPopup(std::move(Popup))
    {
    }

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override
    {
        if (Event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent *>(Event)->button() == Qt::RightButton)
            if (auto *bar = qobject_cast<TToolbar *>(Watched)) {
                FPopup(bar);
                return true;
            }
        return QObject::eventFilter(Watched, Event);
    }

private:
    std::function<void(TToolbar *)> FPopup;
};

// The buttons' width is set by the style; a caption the desktop's font
// draws wider gets a smaller font (not below 8 pixels), and one still too
// wide (a long word of another language) a wider button. Gives the width.
int FitCaptionFont(TToolbarButton *Button, const QFont &Base, int Width)
{
    QFont font = Base;
    int pixels = QFontInfo(font).pixelSize();
    font.setPixelSize(pixels);
    const auto needed = [&] { return QFontMetrics(font).horizontalAdvance(Button->Caption()) + 6; };
    while (pixels > 8 && needed() > Width)
        font.setPixelSize(--pixels);
    Button->setFont(font);
    return std::max(Width, needed());
}

} // namespace

std::vector<TToolbar *> TMainForm::Toolbars() const
{
    return {FFileControl, FOutputsBar, FMachineBar, FOptionsBar, FDataInfo};
}

std::vector<TToolbarButton *> TMainForm::ToolbarButtons() const
{
    std::vector<TToolbarButton *> buttons;
    for (TToolbar *bar : Toolbars())
        for (TToolbarButton *b : bar->findChildren<TToolbarButton *>(Qt::FindDirectChildrenOnly))
            buttons.push_back(b);
    return buttons;
}

// --- Menus and the popup ----------------------------------------------------

void TMainForm::BuildToolbarSetupMenus()
{
    QMenu *setup = Menu("Setup");
    QMenu *bars = new QMenu("ToolBars", setup);
    bars->setObjectName("ToolBars");
    FMenus["ToolBars"] = bars;
    setup->insertMenu(MenuItem("JogKeys"), bars);
    NewItem(bars, "ToolBarsView", "View...", [this] { ToolBars2Click(); });
    const char *levels[] = {"Load Level 1 Defaults", "Load Level 2 Defaults",
                            "Load Level 3 Defaults"};
    for (int tag = 1; tag <= 3; ++tag)
        NewItem(bars, ("LoadLevel" + std::to_string(tag)).c_str(), levels[tag - 1],
                [this, tag] { SetDefaultToolBar11Click(tag); });
    NewItem(Menu("Utilities"), "ConfigureTools", "Configure &Utilities...",
            [this] { ConfigureTools1Click(); });

    QMenu *popup = new QMenu(this);
    popup->setObjectName("PopupMenu2");
    FMenus["PopupMenu2"] = popup;
    auto *sizes = new QActionGroup(popup);
    const struct {
        const char *Name, *Caption;
        int Size;
    } items[] = {{"IconLarge", "Large", iconLarge},
                 {"IconSmall", "Small ", iconSmall},
                 {"IconNone", "None", iconNone}};
    for (const auto &item : items) {
        QAction *a = NewItem(popup, item.Name, item.Caption,
                             [this, size = item.Size] { PopupIconSizeClick(size); });
        a->setCheckable(true);
        sizes->addAction(a);
    }
    popup->addSeparator();
    NewItem(popup, "ToolBarCaptions", "ToolBar Captions", [this] { PopupCaptionsClick(); })
        ->setCheckable(true);
}

// The three toolbars with a popup show captions under large glyphs as
// built; a saved layout may say otherwise.
void TMainForm::SetUpToolbarPopups()
{
    auto *filter = new TToolbarPopupFilter(this, [this](TToolbar *Bar) { ToolbarPopup(Bar); });
    for (TToolbar *bar : {FMachineBar, FOutputsBar, FOptionsBar}) {
        bar->ShowCaption = true;
        bar->installEventFilter(filter);
    }
}

void TMainForm::ToolbarPopup(TToolbar *Bar)
{
    FPopupToolbar = Bar;
    const TToolbarPopupState state = ToolbarPopupState(Bar->IconSize, Bar->ShowCaption);
    QAction *captions = MenuItem("ToolBarCaptions");
    captions->setChecked(state.CaptionsChecked);
    captions->setEnabled(state.CaptionsEnabled);
    MenuItem("IconNone")->setEnabled(state.NoneEnabled);
    const char *marked = state.CheckedSize == iconNone    ? "IconNone"
                         : state.CheckedSize == iconSmall ? "IconSmall"
                                                          : "IconLarge";
    MenuItem(marked)->setChecked(true);
    Menu("PopupMenu2")->popup(QCursor::pos());
}

void TMainForm::PopupIconSizeClick(int IconSize)
{
    if (!FPopupToolbar)
        return;
    FPopupToolbar->IconSize = IconSize;
    ApplyToolbarButtonStyle(FPopupToolbar);
}

void TMainForm::PopupCaptionsClick()
{
    if (!FPopupToolbar)
        return;
    FPopupToolbar->ShowCaption = MenuItem("ToolBarCaptions")->isChecked();
    ApplyToolbarButtonStyle(FPopupToolbar);
}

// --- Button styles ----------------------------------------------------------

void TMainForm::SetButtonGlyph(TToolbarButton *Button, int Glyph)
{
    Button->setProperty("glyph", Glyph);
    auto *bar = qobject_cast<TToolbar *>(Button->parentWidget());
    const bool small = bar && ToolbarButtonStyle(bar->IconSize, bar->ShowCaption).SmallGlyphs &&
                       bar != FFileControl;
    Button->SetGlyph(small ? SmallShellGlyph(Glyph) : ShellGlyph(Glyph));
}

void TMainForm::ApplyToolbarButtonStyle(TToolbar *Bar)
{
    const TButtonStyle style = ToolbarButtonStyle(Bar->IconSize, Bar->ShowCaption);
    Bar->BeginUpdate();
    for (TToolbarButton *b : Bar->findChildren<TToolbarButton *>(Qt::FindDirectChildrenOnly)) {
        const int width = FitCaptionFont(b, Bar->font(), style.Width);
        b->resize(style.ShowCaption ? width : style.Width, style.Height);
        b->SetDisplayMode(style.ShowGlyph && style.ShowCaption ? dmBoth
                          : style.ShowGlyph                    ? dmGlyphOnly
                                                               : dmTextOnly);
        SetButtonGlyph(b, b->property("glyph").toInt());
    }
    Bar->EndUpdate();
    Bar->Arrange();
}

// At the first show and from a preset: the layout, the styles it asks for,
// then the layout again (the sizes changed).
void TMainForm::RestoreToolbarLayout(const std::string &LayoutFile)
{
    LoadToolWindowPositions(this, LayoutFile);
    for (TToolbar *bar : {FMachineBar, FOutputsBar, FOptionsBar})
        ApplyToolbarButtonStyle(bar);
    LoadToolWindowPositions(this, LayoutFile);
}

// --- Hidden buttons ---------------------------------------------------------

void TMainForm::HideListedButtons(const std::string &SettingsFile)
{
    const std::vector<std::string> listed = ReadHiddenButtons(SettingsFile);
    for (TToolbarButton *b : ToolbarButtons())
        if (IsListedButton(listed, b->objectName().toStdString()))
            b->hide();
    for (TToolbar *bar : Toolbars())
        bar->Arrange();
}

void TMainForm::SaveHiddenButtons(const std::string &SettingsFile)
{
    std::vector<std::string> hidden;
    for (TToolbarButton *b : ToolbarButtons())
        if (b->isHidden() && !IsPlaceholderButton(*b))
            hidden.push_back(b->objectName().toStdString());
    WriteHiddenButtons(SettingsFile, hidden);
}

bool TMainForm::FullSettingsAccess()
{
    return FEngine && FEngine->CheckSettingsPassword() == 1;
}

void TMainForm::ToolBars2Click()
{
    if (FullSettingsAccess()) {
        TToolbar_SetupForm form(this, Toolbars(), FMainIni, ProgramFolder());
        RunModal(form);
    }
    SaveHiddenButtons(FMainIni);
}

void TMainForm::SetDefaultToolBar11Click(int Tag)
{
    if (!FullSettingsAccess())
        return;
    const bool fileControl = FFileControl->Visible();
    const bool machine = FMachineBar->Visible();
    RestoreToolbarLayout(PresetLayoutFile(ProgramFolder(), Tag));
    FFileControl->SetVisible(fileControl);
    FMachineBar->SetVisible(machine);
}

// --- Utilities --------------------------------------------------------------

void TMainForm::BuildUtilitiesMenu(const std::vector<std::string> &Titles)
{
    QMenu *utilities = Menu("Utilities");
    const QList<QAction *> items = utilities->actions();
    for (int i = 1; i < items.size(); ++i) {
        utilities->removeAction(items[i]);
        items[i]->deleteLater();
    }
    bool separated = false;
    for (const std::string &title : Titles) {
        if (title.empty())
            continue; // a place no key filled
        if (!separated)
            utilities->addSeparator();
        separated = true;
        QAction *item = utilities->addAction(QString::fromStdString(title));
        item->setData(QString::fromStdString(title));
        connect(item, &QAction::triggered, this, [this, item] { UtilityItemClick(item); });
    }
    TranslateAgain(this);
}

void TMainForm::UtilityItemClick(QAction *Item)
{
    StartUtility(FMainIni, Item->data().toString().toStdString());
}

void TMainForm::ConfigureTools1Click()
{
    TMenuConfigTools dialog(this, FMainIni);
    RunModal(dialog);
    BuildUtilitiesMenu(ReadUtilityTitles(FMainIni));
}

} // namespace orv
