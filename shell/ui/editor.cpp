#include "shell/ui/editor.h"

#include "components/richedit/RichEditW.h"
#include "engine/chain/ui/Expanded.h"
#include "engine/core/DIniFile.h"
#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "localise/dialogs/LxDlgMod.h"
#include "localise/ui/LxQtTranslator.h"
#include "platform/EventLoop.h"
#include "platform/HelpService.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"
#include "platform/SafeSave.h"
#include "platform/ui/MdiHost.h"
#include "shell/CodeHelp.h"
#include "shell/ui/EditorDialogs.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPrinter>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>

#include <filesystem>
#include <cstdio>

namespace orv {

namespace {

constexpr int MessageSaveProblem = 6;
constexpr int MessageSingleFiles = 27;
constexpr int MessageLargeFile = 36;
constexpr int MessageOpenError = 37;
constexpr int MessageChangeEntry = 38;
constexpr int MessageSaveAlterations = 39;
constexpr long long LargeFileBytes = 20480;
constexpr int EditorHelpContext = 3010;

std::string Tr(const std::string &Text) { return Mess().Translate(Text); }

// Escape is looked at between lines; messages are served now and then
// only, so a long pass stays quick.
class TEscapePoll {
public:
    bool operator()()
    {
        if (++FCount % 256 == 0)
            return EscapePressed();
        return EventLoop().KeyDown(VK_ESCAPE);
    }

private:
    int FCount = 0;
};

// The file's bytes with its line breaks (CR LF, CR or LF) as single breaks
// and one final break dropped; false when it cannot be read.
bool ReadProgramFile(const std::string &Name, std::string &Text, long long &Size)
{
    std::FILE *file = std::fopen(Name.c_str(), "rb");
    if (!file)
        return false;
    std::string raw;
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        raw.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return false;
    Size = (long long)raw.size();
    Text.clear();
    Text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r') {
            Text += '\n';
            if (i + 1 < raw.size() && raw[i + 1] == '\n')
                ++i;
        } else {
            Text += raw[i];
        }
    }
    if (!Text.empty() && Text.back() == '\n')
        Text.pop_back();
    return true;
}

QFont FontOf(const std::string &Name, int Size, int Style, const QFont &Default)
{
    QFont font = Default;
    if (!Name.empty())
        font.setFamily(QString::fromStdString(Name));
    if (Size > 0)
        font.setPointSize(Size);
    font.setBold(Style & 1);
    font.setItalic(Style & 2);
    return font;
}

} // namespace

TEditorForm::TEditorForm(QWidget *Parent) : QMainWindow(Parent)
{
    setObjectName("EditorForm");
    // It closes with its source or with the program, not from its frame.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint);
    // The text fills the window; the expanded-code strip, when the source
    // makes one, is docked along its bottom.
    auto *client = new QWidget(this);
    auto *column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    FRichEdit = new TRichEditW(client);
    FRichEdit->setObjectName("RichEdit");
    column->addWidget(FRichEdit, 1);
    setCentralWidget(client);
    FStatus = new QLabel(this);
    statusBar()->addWidget(FStatus, 1);
    BuildMenus();
    BuildPopup();
    FRichEdit->OnChange = [this] { TextChanged(); };
    FRichEdit->OnSelectionChange = [this] { UpdateStatus(); };
    FRichEdit->OnKeyDown = [this](int Key, Qt::KeyboardModifiers Mods) { return KeyDown(Key, Mods); };
    // The text's context menu is the editor's own popup, by the mouse and
    // by the menu key (the text control would offer its standard one).
    FRichEdit->installEventFilter(this);
    FRichEdit->viewport()->installEventFilter(this);
    FRichEdit->OnFilesDropped = [this](const QStringList &Files) { FilesDropped(Files); };
    resize(560, 420);
    FormCreate();
    // The caption and the caret's place hold a translated word and a value:
    // made again in a new language.
    AttachTranslator(this, "TEditorForm")->Translator().OnAfterTranslate = [this](auto &) {
        UpdateCaption();
        if (!FBusy)
            ShowCaretPlace();
    };
    // From the first editor on, the program's standard dialogs are translated.
    TLxDialogModule().Loaded();
}

TEditorForm::~TEditorForm() { FormDestroy(); }

void TEditorForm::FormCreate()
{
    const TDIniFile main(MainIniPath());
    FFormatFile = main.ReadString("EditForm", "FormatFile", MainIniPath());
    const QFont base = FRichEdit->font();
    FFormat.FontSize = main.ReadInteger("EditForm", "Font size", base.pointSize());
    FFormat.FontName = main.ReadString("EditForm", "Font name", base.family().toStdString());
    FFontStyle = main.ReadInteger("EditForm", "Font Style", 0) & 3;
    const std::string folder = ProgramFolder();
    FHelpReference = folder + main.ReadString("Default Settings", "Help Reference", "Help.ini");
    FHelpFile = folder + main.ReadString("Default Settings", "Help File", "mill.hlp");

    const QFont font = FontOf(FFormat.FontName, FFormat.FontSize, FFontStyle, base);
    FRichEdit->setFont(font);
    FRichEdit->DefAttributes().Assign(font);
    LoadFormatSettings();
    SetupHelp();
    FRichEdit->SetUndoLimit(30);
    FRichEdit->SetModified(false);
    FHiLightMenu->menuAction()->setEnabled(FRichEdit->LineCount() > 0);
    UpdateCaption();
    UpdateStatus();
}

void TEditorForm::FormDestroy()
{
    SaveFormatSettings();
    TDIniFile main(MainIniPath());
    main.WriteString("EditForm", "FormatFile", FFormatFile);
    const QFont font = FRichEdit->font();
    main.WriteInteger("EditForm", "Font Style", (font.bold() ? 1 : 0) + (font.italic() ? 2 : 0));
}

// --- Menus ---

// The menus carry their English texts; the window's translator gives them
// the language.
void TEditorForm::BuildMenus()
{
    FEditorMenu = menuBar()->addMenu(QString::fromStdString("E&ditor"));
    FEditorMenu->setObjectName("File1");
    auto add = [this](QMenu *Menu, const std::string &Name, const std::string &Caption,
                      std::function<void()> Action) {
        QAction *action = Menu->addAction(QString::fromStdString(Caption));
        action->setObjectName(QString::fromStdString(Name));
        QObject::connect(action, &QAction::triggered, this, [Action] { Action(); });
        FActions[Name] = action;
        return action;
    };
    FHiLightMenu = FEditorMenu->addMenu(QString::fromStdString("&Hi Light"));
    FHiLightMenu->setObjectName("HiLight1");
    for (char letter : std::string("GMTFSXYZIJ"))
        add(FHiLightMenu, std::string("HiLight") + letter, std::string(1, letter),
            [this, letter] { HiLight(letter); });
    add(FEditorMenu, "ShowNormal1", "Show &Normal", [this] { ShowNormal(); })->setEnabled(false);

    QMenu *edit = FEditorMenu->addMenu(QString::fromStdString("&Edit"));
    edit->setObjectName("Edit1");
    add(edit, "Undo1", "&Undo", [this] { FRichEdit->undo(); });
    add(edit, "Redo1", "&Redo", [this] { FRichEdit->redo(); });
    add(edit, "Cut2", "Cu&t", [this] { FRichEdit->cut(); });
    add(edit, "Copy2", "&Copy", [this] { FRichEdit->copy(); });
    add(edit, "Paste2", "&Paste", [this] {
        FRichEdit->paste();
        FRichEdit->setFocus();
    });
    add(edit, "selectAll2", "Select &All", [this] { FRichEdit->selectAll(); });
    QObject::connect(edit, &QMenu::aboutToShow, this, [this] { UpdateEditMenu(); });

    QMenu *search = FEditorMenu->addMenu(QString::fromStdString("&Search"));
    search->setObjectName("Search1");
    add(search, "Searchfor1", "&Find...", [this] { Find(); });
    add(search, "GotoLineNumber1", "&Goto Line Number...", [this] { GotoLineNumber(); });
    add(search, "CheckSyntax1", "&Check Syntax", [this] { CheckSyntax(); });

    QMenu *modify = FEditorMenu->addMenu(QString::fromStdString("&Modify"));
    modify->setObjectName("Modify1");
    const char *alter[] = {"Alter Feed Rates..", "Alter Speeds...", "Alter X Values...",
                           "Alter Y Values...", "Alter Z Values..."};
    for (int tag = 1; tag <= 5; ++tag)
        add(modify, "AlterFeedRates" + std::to_string(tag), alter[tag - 1],
            [this, tag] { AlterValues(tag); });
    add(modify, "CangeAlltoUpperCase1", "Change to UpperCase", [this] { ChangeCase(true); });
    add(modify, "ChangetoLowerCase1", "Change to LowerCase", [this] { ChangeCase(false); });
    add(modify, "AddPadding1", "Add Padding Token...", [this] { AddPadding(true, false); });
    add(modify, "RemovePadding1", "Remove Padding Token...", [this] { AddPadding(true, true); });
    add(modify, "AppendLineEndToken1", "Append Line End Token...",
        [this] { AppendLineEndToken(); });
    add(modify, "RemoveLineEndToken1", "Remove Line End Token...",
        [this] { RemoveLineEndToken(); });
    add(modify, "LineNumbering1", "Line Numbering...", [this] { LineNumbering(); });

    QMenu *prefs = FEditorMenu->addMenu(QString::fromStdString("&Preferences"));
    prefs->setObjectName("Preferences1");
    QAction *colour = add(prefs, "ColourFormatText1", "Colour Format Text",
                          [this] { ToggleColourFormat(); });
    colour->setCheckable(true);
    colour->setChecked(true);
    add(prefs, "BackgroundColour1", "Background Colour...", [this] { BackgroundColour(); });
    add(prefs, "DisplayOptions1", "Display Options...", [this] { DisplayOptions(); });
    add(prefs, "Font1", "Font...", [this] { ChooseFont(); });
    add(prefs, "LoadFormat1", "Format Using...", [this] { LoadFormat(); });
    add(prefs, "SaveFormat1", "Save Format...", [this] { SaveFormat(); });

    FEditorMenu->addSeparator();
    add(FEditorMenu, "PrinterSetup1", "&Printer Setup...", [this] { PrinterSetup(); });
    add(FEditorMenu, "Print1", "Print...", [this] { Print(); });

    // Where a main window merges the menu: the Editor menu in group 2, its
    // editing menus in group 5, printing in group 10.
    FEditorMenu->menuAction()->setProperty(MenuGroupProperty, 2);
    for (QMenu *menu : {edit, search, modify, prefs})
        menu->menuAction()->setProperty(MenuGroupProperty, 5);
    for (const char *name : {"PrinterSetup1", "Print1"})
        FActions[name]->setProperty(MenuGroupProperty, 10);
}

void TEditorForm::BuildPopup()
{
    FPopupMenu = new QMenu(this);
    FPopupMenu->setObjectName("PopupMenu1");
    auto add = [this](const std::string &Name, const std::string &Caption,
                      std::function<void()> Action) {
        QAction *action = FPopupMenu->addAction(QString::fromStdString(Caption));
        action->setObjectName(QString::fromStdString(Name));
        QObject::connect(action, &QAction::triggered, this, [Action] { Action(); });
        FActions[Name] = action;
    };
    add("Copy1", "Copy", [this] { FRichEdit->copy(); });
    add("Cut1", "Cut", [this] { FRichEdit->cut(); });
    add("Paste1", "Paste", [this] { FRichEdit->paste(); });
    add("SelectAll1", "Select All", [this] { FRichEdit->selectAll(); });
    add("UpdateFormat1", "Update Format", [this] { UpdateFormat(); });
    add("CheckSyntax2", "Check Syntax", [this] { CheckSyntax(); });
    FPopupMenu->addSeparator();
    add("Show2DDrawElement1", "Show 2D Draw Element", [this] {
        if (OnHiliteOutput)
            OnHiliteOutput(nullptr, FRichEdit->CaretLine());
    });
    FPopupMenu->addSeparator();

    BuildWizardMenu();
}

// The wizard's item of the popup: the "Wizards" submenu (header, footer and
// the operation groups), or "Wizard..." on a selection.
void TEditorForm::BuildWizardMenu()
{
    FWizardMenu = FPopupMenu->addMenu(QString::fromStdString("Wizards"));
    FWizardMenu->setObjectName("Wizards1");
    auto wizard = [this](QMenu *Menu, const std::string &Caption, int Tag) {
        QAction *action = Menu->addAction(QString::fromStdString(Caption));
        action->setData(Tag);
        QObject::connect(action, &QAction::triggered, this, [this, Tag] { WizardMenuClick(Tag); });
    };
    QAction *header = FWizardMenu->addAction(QString::fromStdString("Header"));
    QObject::connect(header, &QAction::triggered, this, [this] { InsertHeaderFooter(false); });
    QAction *footer = FWizardMenu->addAction(QString::fromStdString("Footer"));
    QObject::connect(footer, &QAction::triggered, this, [this] { InsertHeaderFooter(true); });
    struct TGroup {
        const char *Caption;
        std::vector<std::pair<const char *, int>> Items;
    };
    const TGroup groups[] = {
        {"Traverse", {{"Fast Traverse", 101}, {"Reference", 102}}},
        {"Interpolation",
         {{"Linear", 201}, {"Clockwise Arc", 202}, {"Counter Clockwise Arc", 203}, {"Feed Type", 204}}},
        {"Drilling Canned Cycles",
         {{"High Speed Peck Drilling", 301}, {"Spot Boring", 302}, {"Counter Boring", 303},
          {"Deep Hole Peck Drilling", 304}}},
        {"Boring Canned Cycles",
         {{"Boring - No Spindle Stop", 401}, {"Boring - Spindle Stop", 402}, {"Boring - Dwell", 403}}},
        {"Tapping Canned Cycles",
         {{"Counter Tapping - Left Hand", 501}, {"Tapping - Right Hand", 502}}},
        {"Cancel Cannned Cycle", {{nullptr, 601}}},
        {"Cutter Compensation", {{nullptr, 701}}},
        {"Scaling Operations", {{nullptr, 801}}},
        {"Rotation Operations", {{nullptr, 901}}},
        {"Mirror Operations", {{"Mirror in X", 1001}, {"Mirror in Y", 1002}}},
        {"Spindle Operations", {{nullptr, 1101}}},
        {"Program Operations", {{nullptr, 1201}}},
        {"Sub Program Operations", {{nullptr, 1301}}},
        {"Tool Change", {{nullptr, 1401}}},
    };
    for (const TGroup &group : groups) {
        if (group.Items.size() == 1 && !group.Items[0].first) {
            wizard(FWizardMenu, group.Caption, group.Items[0].second);
            continue;
        }
        QMenu *sub = FWizardMenu->addMenu(QString::fromStdString(group.Caption));
        for (const auto &[caption, tag] : group.Items)
            wizard(sub, caption, tag);
    }
    FWizardAlter = FPopupMenu->addAction(QString::fromStdString(Tr("Wizard") + "..."));
    QObject::connect(FWizardAlter, &QAction::triggered, this, [this] { WizardMenuClick(0); });
    FActions["Wizard1"] = FWizardAlter;
    FActions["Wizards1"] = FWizardMenu->menuAction();
}

QAction *TEditorForm::MenuAction(const std::string &Name) const
{
    auto it = FActions.find(Name);
    return it == FActions.end() ? nullptr : it->second;
}

void TEditorForm::UpdateEditMenu()
{
    const bool selected = FRichEdit->SelLength() > 0;
    FActions["Undo1"]->setEnabled(FRichEdit->CanUndo());
    FActions["Redo1"]->setEnabled(FRichEdit->CanRedo());
    FActions["Cut2"]->setEnabled(selected);
    FActions["Copy2"]->setEnabled(selected);
    FActions["Paste2"]->setEnabled(!QApplication::clipboard()->text().isEmpty());
    FActions["selectAll2"]->setEnabled(FRichEdit->LineCount() > 0);
}

void TEditorForm::UpdatePopup()
{
    const bool selected = FRichEdit->SelLength() > 0;
    FActions["Show2DDrawElement1"]->setEnabled((bool)OnHiliteOutput);
    FActions["Paste1"]->setEnabled(!QApplication::clipboard()->text().isEmpty());
    FActions["Copy1"]->setEnabled(selected);
    FActions["Cut1"]->setEnabled(selected);
    FActions["SelectAll1"]->setEnabled(FRichEdit->LineCount() > 0);
    FActions["UpdateFormat1"]->setEnabled(FFormat.Formatting);
    FWizardMenu->menuAction()->setVisible(!selected);
    FWizardAlter->setVisible(selected);
}

bool TEditorForm::eventFilter(QObject *Watched, QEvent *Event)
{
    if (Event->type() != QEvent::ContextMenu ||
        (Watched != FRichEdit && Watched != FRichEdit->viewport()))
        return QMainWindow::eventFilter(Watched, Event);
    auto *request = static_cast<QContextMenuEvent *>(Event);
    // By the mouse at the pointer; by the keyboard under the caret.
    QPoint at = request->globalPos();
    if (request->reason() == QContextMenuEvent::Keyboard)
        at = FRichEdit->viewport()->mapToGlobal(FRichEdit->cursorRect().bottomLeft());
    ShowPopup(at);
    return true;
}

void TEditorForm::ShowPopup(const QPoint &Global)
{
    UpdatePopup();
    FPopupMenu->popup(Global);
}

// --- TEditorWindow ---

int TEditorForm::TextLength() const { return FRichEdit->TextLength(); }
int TEditorForm::LineCount() const { return FRichEdit->document()->blockCount(); }
int TEditorForm::LineStart(int Line) const { return FRichEdit->LineStart(Line); }
int TEditorForm::LineOfChar(int Position) const { return FRichEdit->LineOfChar(Position); }
std::string TEditorForm::LineText(int Line) const { return FRichEdit->Line(Line); }
int TEditorForm::SelStart() const { return FRichEdit->SelStart(); }
int TEditorForm::SelLength() const { return FRichEdit->SelLength(); }

void TEditorForm::Select(int Start, int Length)
{
    FRichEdit->SetSelection(Start, Length);
    FRichEdit->ensureCursorVisible();
}

void TEditorForm::SetCaretLine(int Line) { FRichEdit->SetCaretLine(Line); }
bool TEditorForm::TextHasFocus() const { return FRichEdit->hasFocus(); }
void TEditorForm::ReleaseTextFocus() { FRichEdit->clearFocus(); }

void TEditorForm::SetMenuEnabled(bool Enabled)
{
    FMenuUnlocked = Enabled;
    for (QAction *action : FEditorMenu->actions())
        action->setEnabled(Enabled);
    // Unlocked, two items keep their own rules.
    if (Enabled) {
        FHiLightMenu->menuAction()->setEnabled(FRichEdit->LineCount() > 0);
        ShowingHighlight(FHighlightShown);
    }
}

// "Show Normal" is there while a highlight is shown (and the menu is not
// locked by a run).
void TEditorForm::ShowingHighlight(bool Shown)
{
    FHighlightShown = Shown;
    FActions["ShowNormal1"]->setEnabled(Shown && FMenuUnlocked);
}

void TEditorForm::SetReadOnly(bool ReadOnly) { FRichEdit->setReadOnly(ReadOnly); }

void TEditorForm::SetUnits(TUnits Units) { FUnits = Units; }
void TEditorForm::SetBillet(const TBilletSize &Billet) { FBillet = Billet; }
void TEditorForm::SetMachineName(const std::string &Name) { FMachineName = Name; }
void TEditorForm::UpdateWizard() { FWizard.Padding = FCurrentPadding; }

// The window's frame: its MDI sub-window once a main window has adopted it.
QWidget *TEditorForm::Frame() const
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        return sub;
    return const_cast<TEditorForm *>(this);
}

TEditorWindow::TBounds TEditorForm::Bounds() const
{
    const QRect r = Frame()->geometry();
    return {r.left(), r.top(), r.width(), r.height()};
}

void TEditorForm::SetBounds(const TBounds &B)
{
    Frame()->setGeometry(B.Left, B.Top, B.Width, B.Height);
}

void TEditorForm::ShowWindow() { ShowWindowOrChild(this); }

namespace {

// The source's handle on the strip; the strip goes with the view, or with
// the window when that goes first.
class TDockedExpanded : public TExpandedView {
public:
    explicit TDockedExpanded(TExpanded *Strip) : FStrip(Strip) {}
    ~TDockedExpanded() override { delete FStrip.data(); }
    void SetCode(const std::string &Text) override
    {
        if (FStrip)
            FStrip->SetCode(Text);
    }
    void Show() override
    {
        if (FStrip)
            FStrip->show();
    }
    void Hide() override
    {
        if (FStrip)
            FStrip->hide();
    }

private:
    QPointer<TExpanded> FStrip;
};

} // namespace

std::unique_ptr<TExpandedView> TEditorForm::CreateExpandedView()
{
    // A strip of this window under the text, as wide as the text.
    auto *strip = new TExpanded(centralWidget());
    strip->setWindowFlags(Qt::Widget);
    strip->setObjectName("Expanded");
    strip->setMinimumWidth(0);
    strip->setMaximumWidth(QWIDGETSIZE_MAX);
    strip->hide();
    centralWidget()->layout()->addWidget(strip);
    // Made after the window's texts were given their language: given now.
    TranslateAgain(this);
    return std::make_unique<TDockedExpanded>(strip);
}

// --- Caption and status ---

void TEditorForm::UpdateCaption()
{
    setWindowTitle(QString::fromStdString(FFileName.empty() ? Tr("Editor - New File")
                                                            : Tr("Editor - ") + FFileName));
}

std::string TEditorForm::StatusText() const { return FStatus->text().toStdString(); }

void TEditorForm::SetStatus(const std::string &Text) { FStatus->setText(QString::fromStdString(Text)); }

void TEditorForm::UpdateStatus()
{
    if (FBusy)
        return;
    if (!FBulkUpdate)
        FLineCount = FRichEdit->LineCount();
    const int line = FRichEdit->CaretLine();
    ShowCaretPlace();
    if (line > 0 && LineSelectChanged)
        LineSelectChanged(nullptr, line + 1);
}

void TEditorForm::ShowCaretPlace()
{
    SetStatus(Tr("Line: ") + IntToStr(FRichEdit->CaretLine() + 1) + " / " + IntToStr(FLineCount) +
              Tr(", Column: ") + IntToStr(FRichEdit->CaretColumn() + 1));
}

void TEditorForm::TextChanged()
{
    if (OnEditorChange)
        OnEditorChange(nullptr);
    FHiLightMenu->menuAction()->setEnabled(FMenuUnlocked && FRichEdit->LineCount() > 0);
}

// --- Files ---

void TEditorForm::NewFile()
{
    ShowingHighlight(false);
    FRichEdit->clear();
    FFileName.clear();
    FRichEdit->SetModified(false);
    UpdateCaption();
    UpdateStatus();
}

bool TEditorForm::LoadFromFile(const std::string &FileName)
{
    CheckSaveChanges(false);
    bool loaded = false;
    std::string text;
    long long size = 0;
    if (!FileExists(FileName)) {
        loaded = false;
    } else if (!ReadProgramFile(FileName, text, size)) {
        // The text and its name stay, so nothing is saved over the file.
        Mess().ShowMessageByIndex(MessageOpenError, mtError, mbOK);
    } else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (size > LargeFileBytes && FFormat.Formatting) {
            FFormat.Formatting =
                Mess().ShowMessageByIndex(MessageLargeFile, mtWarning, mbYesNo) == mrNo;
            FActions["ColourFormatText1"]->setChecked(FFormat.Formatting);
        }
        FBulkUpdate = true;
        ShowingHighlight(false);
        FRichEdit->SetText(text);
        FLineCount = FRichEdit->LineCount();
        ColourWholeText();
        FRichEdit->SetSelection(0, 0);
        FBulkUpdate = false;
        FFileName = FileName;
        FRichEdit->SetModified(false);
        FRichEdit->document()->clearUndoRedoStacks();
        QApplication::restoreOverrideCursor();
        loaded = true;
    }
    UpdateCaption();
    UpdateStatus();
    return loaded;
}

bool TEditorForm::WriteFile(const std::string &FileName)
{
    std::string text = FRichEdit->Text();
    if (!text.empty())
        text += '\n';
    return static_cast<bool>(SaveFileReplacing(FileName, text));
}

void TEditorForm::SaveFile()
{
    if (FFileName.empty() || !WriteFile(FFileName)) {
        Mess().ShowMessageByIndex(MessageSaveProblem, mtError, mbOK);
        return;
    }
    FRichEdit->SetModified(false);
}

void TEditorForm::SaveFileAs(std::string &FileName)
{
    TFileRequest request;
    request.Kind = TFileDialogKind::Save;
    request.Filter = Tr("Fanuc CNC File (*.FNC)|*.FNC|Text File (*.txt)|*.txt|Any File (*.*)|*.*");
    request.DefaultExt = "*.FNC";
    request.FileName = FFileName;
    request.InitialDir = FSaveFolder;
    const std::optional<std::string> chosen = Messages().ChooseFile(request);
    if (!chosen || chosen->empty()) {
        FileName.clear();
        return;
    }
    if (!WriteFile(*chosen)) {
        Mess().ShowMessageByIndex(MessageSaveProblem, mtError, mbOK);
        FileName.clear();
        return;
    }
    FFileName = *chosen;
    FSaveFolder = ExtractFilePath(*chosen);
    FileName = *chosen;
    FRichEdit->SetModified(false);
    UpdateCaption();
}

bool TEditorForm::CheckSaveChanges(bool AllowCancel)
{
    if (!FRichEdit->Modified())
        return true;
    const int answer = Mess().ShowMessageByIndex(MessageSaveAlterations, mtConfirmation,
                                                 AllowCancel ? mbYesNoCancel : mbYesNo);
    if (answer == mrCancel)
        return false;
    if (answer == mrYes) {
        if (FFileName.empty()) {
            std::string name;
            SaveFileAs(name);
            return !name.empty() || !AllowCancel;
        }
        SaveFile();
        return !FRichEdit->Modified() || !AllowCancel;
    }
    return true;
}

bool TEditorForm::CloseQuery()
{
    // Asked with Cancel: Yes on an unnamed program asks for its name, and a
    // cancelled Save As keeps the window, as Cancel does.
    return CheckSaveChanges(true);
}

void TEditorForm::ForgetChanges()
{
    FRichEdit->SetModified(false);
}

// The window closes with its source or with the program (whose close asks
// the close query), never from its frame: a closed editor would take the
// program's text out of the operator's reach.
void TEditorForm::closeEvent(QCloseEvent *Event)
{
    Event->ignore();
}

void TEditorForm::FilesDropped(const QStringList &Files)
{
    if (Files.size() != 1) {
        Mess().ShowMessageByIndex(MessageSingleFiles, mtError, mbOK);
        return;
    }
    LoadFromFile(Files[0].toStdString());
    ColourWholeText();
}

// --- Keys, find, go to line, print ---

bool TEditorForm::KeyDown(int Key, Qt::KeyboardModifiers Modifiers)
{
    if (Key == Qt::Key_F && (Modifiers & Qt::ControlModifier)) {
        Find();
        return true;
    }
    if (Key == Qt::Key_F3) {
        FindNext();
        return true;
    }
    if (Key == Qt::Key_F1) {
        CodeHelp(Modifiers & Qt::ControlModifier);
        return true;
    }
    return false;
}

void TEditorForm::Find()
{
    std::string text = FFindText;
    if (!EditorDialogs().FindText(this, text))
        return;
    FFindText = text;
    FFindStart = FRichEdit->SelStart();
    FindNext();
}

void TEditorForm::FindNext()
{
    if (FFindText.empty()) {
        Find();
        return;
    }
    const int at = FRichEdit->FindText(FFindText, FFindStart, 0);
    FRichEdit->setFocus();
    if (at < 0)
        return; // no match: the caret stays where it is
    FRichEdit->SetSelection(at, (int)FFindText.size());
    FFindStart = at + (int)FFindText.size();
}

void TEditorForm::GotoLineNumber()
{
    TRequestValues request;
    request.Description = Tr("Enter Line number");
    request.NumberShown = true;
    request.Minimum = 1;
    request.Maximum = FRichEdit->LineCount() + 1;
    request.Number = FRichEdit->CaretLine() + 1;
    request.HelpContext = 2030;
    if (!EditorDialogs().Request(this, request))
        return;
    const int line = std::clamp(request.Number, 1, std::max(1, FRichEdit->LineCount())) - 1;
    const int start = FRichEdit->LineStart(line);
    FRichEdit->SetSelection(start, (int)FRichEdit->Line(line).size());
}

// The window's printer: what Printer Setup chose is what Print prints on.
QPrinter &TEditorForm::Printer()
{
    if (!FPrinter)
        FPrinter = std::make_unique<QPrinter>();
    return *FPrinter;
}

void TEditorForm::Print()
{
    QPrinter &printer = Printer();
    int copies = 1;
    if (!EditorDialogs().Print(this, printer, copies))
        return;
    const uint32_t colour = FRichEdit->Color();
    FRichEdit->SetColor(ColourWhite);
    for (int i = 0; i < copies; ++i)
        FRichEdit->Print(Tr("Corvane CNC File - ") + FFileName, printer);
    FRichEdit->SetColor(colour);
}

void TEditorForm::PrinterSetup()
{
    EditorDialogs().PrinterSetup(this, Printer());
}

// --- Colours ---

// Every format goes, a highlight too.
void TEditorForm::ResetFormatting()
{
    ShowingHighlight(false);
    const uint32_t text = TRichEditW::FromQColor(FRichEdit->palette().color(QPalette::Text));
    const bool modified = FRichEdit->Modified();
    const int start = FRichEdit->SelStart(), length = FRichEdit->SelLength();
    FRichEdit->FormatRange(0, FRichEdit->TextLength(), text, FColours.WindowColour, FFontStyle);
    FRichEdit->SetSelection(start, length);
    FRichEdit->SetModified(modified);
}

void TEditorForm::ColourWholeText()
{
    const bool modified = FRichEdit->Modified();
    const int start = FRichEdit->SelStart();
    if (FFormat.Formatting) {
        FBusy = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool bulk = FBulkUpdate;
        FBulkUpdate = true;
        FColours.Load(TIniFile(FFormatFile));
        FRichEdit->SetColor(FColours.WindowColour);
        const auto active = FColours.ActiveTokens();
        if (FRichEdit->TextLength() > 0)
            SetStatus(Tr("Press ESC, to stop colour formatting."));
        if (!active.empty()) {
            TEscapePoll escape;
            FRichEdit->BeginUpdate();
            for (QTextBlock block = FRichEdit->document()->begin(); block.isValid();
                 block = block.next()) {
                const std::string line = ToBytes(block.text());
                for (const TFormatSpan &span : ColourLine(line, active, FCurrentPadding))
                    FRichEdit->FormatRange(block.position() + span.Start, span.Length,
                                           span.Format.Colour, span.Format.BackColour,
                                           span.Format.Style);
                if (escape())
                    break;
            }
            FRichEdit->EndUpdate();
        }
        FBulkUpdate = bulk;
        QApplication::restoreOverrideCursor();
        FBusy = false;
    }
    FRichEdit->SetSelection(start, 0);
    FRichEdit->SetModified(modified);
}

void TEditorForm::HiLight(char Letter)
{
    const bool modified = FRichEdit->Modified();
    const int start = FRichEdit->SelStart();
    FBulkUpdate = true;
    FRichEdit->BeginUpdate();
    for (QTextBlock block = FRichEdit->document()->begin(); block.isValid(); block = block.next())
        for (const TTokenExtent &word : LetterExtents(ToBytes(block.text()), Letter, FCurrentPadding))
            FRichEdit->FormatRange(block.position() + word.Start, word.Length,
                                   HighlightFormat.Colour, HighlightFormat.BackColour,
                                   HighlightFormat.Style);
    FRichEdit->EndUpdate();
    FBulkUpdate = false;
    FRichEdit->SetSelection(start, 0);
    FRichEdit->SetModified(modified);
    ShowingHighlight(true);
}

void TEditorForm::ShowNormal()
{
    ResetFormatting();
    ColourWholeText();
}

void TEditorForm::UpdateFormat()
{
    ResetFormatting();
    ColourWholeText();
}

void TEditorForm::ToggleColourFormat()
{
    FFormat.Formatting = FActions["ColourFormatText1"]->isChecked();
    ResetFormatting();
    ColourWholeText();
}

void TEditorForm::BackgroundColour()
{
    uint32_t colour = FColours.WindowColour;
    if (!EditorDialogs().Colour(this, colour))
        return;
    FColours.WindowColour = colour;
    FRichEdit->SetColor(colour);
    TIniFile(FFormatFile).WriteInteger("EditForm", "background colour", (int32_t)colour);
}

void TEditorForm::DisplayOptions()
{
    TTokenColours colours = FColours;
    if (!EditorDialogs().ColourPreferences(this, colours))
        return;
    FColours = colours;
    TIniFile ini(FFormatFile);
    FColours.Save(ini);
    ResetFormatting();
    ColourWholeText();
}

// --- Format settings ---

void TEditorForm::LoadFormatSettings()
{
    const TIniFile ini(FFormatFile);
    FColours.Load(ini);
    FCurrentPadding.clear();
    FFormat.Load(ini);
    FCurrentPadding = FFormat.Padding;
    FWizard.Padding = FCurrentPadding;
    FRichEdit->SetColor(FColours.WindowColour);
    FActions["ColourFormatText1"]->setChecked(FFormat.Formatting);
    ResetFormatting();
    ColourWholeText();
}

void TEditorForm::SaveFormatSettings()
{
    TIniFile ini(FFormatFile);
    const QFont font = FRichEdit->font();
    FFormat.FontSize = font.pointSize();
    FFormat.FontName = font.family().toStdString();
    FFormat.Save(ini);
    FColours.Save(ini);
}

// The format file dialog; empty when cancelled.
std::string TEditorForm::ChooseFormatFile(bool Save) const
{
    TFileRequest request;
    request.Kind = Save ? TFileDialogKind::Save : TFileDialogKind::Open;
    request.Filter = Tr("Format file (*.NCF)|*.NCF|Text file (*.txt)|*.txt|Any file (*.*)|*.*");
    request.DefaultExt = "*.NCF";
    request.FileName = FFormatFile;
    return Messages().ChooseFile(request).value_or("");
}

void TEditorForm::LoadFormat()
{
    const std::string chosen = ChooseFormatFile(false);
    if (chosen.empty())
        return;
    FFormatFile = chosen;
    FActions["ColourFormatText1"]->setChecked(true);
    LoadFormatSettings();
}

void TEditorForm::SaveFormat()
{
    const std::string chosen = ChooseFormatFile(true);
    if (chosen.empty())
        return;
    FFormatFile = chosen;
    SaveFormatSettings();
}

void TEditorForm::ChooseFont()
{
    QFont font = FRichEdit->font();
    const int start = FRichEdit->SelStart();
    if (EditorDialogs().Font(this, font)) {
        FRichEdit->setFont(font);
        FRichEdit->document()->setDefaultFont(font);
        FFontStyle = (font.bold() ? 1 : 0) + (font.italic() ? 2 : 0);
        const bool modified = FRichEdit->Modified();
        QTextCursor all(FRichEdit->document());
        all.select(QTextCursor::Document);
        QTextCharFormat format;
        format.setFont(font);
        all.mergeCharFormat(format);
        FRichEdit->SetModified(modified);
    }
    ResetFormatting();
    ColourWholeText();
    FRichEdit->SetSelection(start, 0);
}

} // namespace orv
