#pragma once
// The NC editor window: the operator writes, opens, saves, searches and
// prints NC programs here, with the address words coloured, the Modify and
// Preferences commands, the syntax check, the code help and the block
// wizard. It is the window behind the editor source (TEditorWindow): the
// source reads the lines, marks the running line and locks the text during
// a run. The Editor menu sits in the window's own menu bar until a main
// window takes it over (EditorMenu, menu groups 2, 5 and 10).

#include "engine/form/EditorWindow.h"
#include "shell/ColourFormat.h"
#include "shell/WizardText.h"

#include <map>

#include <QMainWindow>

#include <memory>
#include <string>

class QMenu;
class QAction;
class QLabel;
class QPrinter;

namespace orv {

class TRichEditW;

// Property of the menu actions that names their merge group.
constexpr const char *MenuGroupProperty = "MenuGroup";

class TEditorForm : public QMainWindow, public TEditorWindow {
    Q_OBJECT
public:
    explicit TEditorForm(QWidget *Parent = nullptr);
    ~TEditorForm() override;

    // --- What the editor source uses ---
    int TextLength() const override;
    int LineCount() const override;
    int LineStart(int Line) const override;
    int LineOfChar(int Position) const override;
    std::string LineText(int Line) const override;
    int SelStart() const override;
    int SelLength() const override;
    void Select(int Start, int Length) override;
    void SetCaretLine(int Line) override;
    bool TextHasFocus() const override;
    void ReleaseTextFocus() override;

    // Clears text and name.
    void NewFile() override;
    // Reads the file first; a failure (message 37) keeps the text, the name
    // and the modified flag. False for a missing file (no message).
    bool LoadFromFile(const std::string &FileName) override;
    // Writes the text to the current name; a failure shows message 6 and
    // keeps the modified flag.
    void SaveFile() override;
    // Asks for a name; Cancel changes nothing (FileName comes back empty).
    void SaveFileAs(std::string &FileName) override;
    // "Save alterations?" (message 39) when the text is modified.
    bool CheckSaveChanges(bool AllowCancel) override;

    void SetMenuEnabled(bool Enabled) override;
    void SetReadOnly(bool ReadOnly) override;
    void SetUnits(TUnits Units) override;
    void SetBillet(const TBilletSize &Billet) override;
    void SetMachineName(const std::string &Name) override;
    void SetToolCount(int Count) override { FToolCount = Count; }
    void SetToolingFile(const std::string &FileName) override { FToolingFile = FileName; }
    void UpdateWizard() override;
    void SetOnHiliteOutput(THiliteEvent Event) override { OnHiliteOutput = std::move(Event); }
    void SetOnEditorChange(std::function<void(TObject *)> Event) override
    {
        OnEditorChange = std::move(Event);
    }
    void SetLineSelectChanged(TLineChangeNotifyEvent Event) override
    {
        LineSelectChanged = std::move(Event);
    }
    TBounds Bounds() const override;
    void SetBounds(const TBounds &Bounds) override;
    void ShowWindow() override;
    std::unique_ptr<TExpandedView> CreateExpandedView() override;

    // --- The window ---
    TRichEditW *RichEdit() const { return FRichEdit; }
    // The Editor menu, for a main window that merges it into its own bar.
    QMenu *EditorMenu() const { return FEditorMenu; }
    QMenu *PopupMenu() const { return FPopupMenu; }
    const std::string &FileName() const { return FFileName; }
    std::string StatusText() const;
    const TEditorFormat &Format() const { return FFormat; }
    TEditorFormat &Format() { return FFormat; }
    TTokenColours &Colours() { return FColours; }
    const std::string &CurrentPadding() const { return FCurrentPadding; }
    bool Formatting() const { return FFormat.Formatting; }
    TUnits Units() const { return FUnits; }
    const std::string &MachineName() const { return FMachineName; }
    const TBilletSize &Billet() const { return FBillet; }
    int ToolCount() const { return FToolCount; }
    const std::string &ToolingFile() const { return FToolingFile; }
    // The action of a menu item by its name ("Searchfor1", "CheckSyntax1").
    QAction *MenuAction(const std::string &Name) const;

    // Commands (menu items and keys).
    void Find();
    void FindNext();
    void GotoLineNumber();
    void Print();
    void PrinterSetup();
    QPrinter &Printer();
    void CheckSyntax();
    // F1 in the text; Ctrl held asks for the code under the caret.
    void CodeHelp(bool Ctrl);
    // Help on a code (the wizard's "Help" and F1).
    void HelpOnCode(const std::string &Letter, const std::string &Code);
    void AlterValues(int Tag);
    void ChangeCase(bool Upper);
    // FromMenu asks for the padding; otherwise the current padding is added.
    void AddPadding(bool FromMenu, bool Remove);
    void AppendLineEndToken();
    void RemoveLineEndToken();
    void LineNumbering();
    void ChooseFont();
    void LoadFormat();
    void SaveFormat();
    void ToggleColourFormat();
    void BackgroundColour();
    void DisplayOptions();
    void HiLight(char Letter);
    void ShowNormal();
    void UpdateFormat();
    // The close query when the program ends: "Save alterations?" with Yes,
    // No and Cancel for a modified text (Yes on an unnamed one asks for its
    // name). True when the window may go; Cancel, or a cancelled Save As,
    // keeps it.
    bool CloseQuery();
    // The text goes without another question (its close query said so).
    void ForgetChanges();
    // Files dropped on the window.
    void FilesDropped(const QStringList &Files);
    // Opens the block wizard for a menu tag (0: alter the caret's block).
    void WizardMenuClick(int Tag);
    void InsertHeaderFooter(bool Footer);

    // Colouring (also used by the commands).
    void ResetFormatting();
    void ColourWholeText();

    // Events.
    THiliteEvent OnHiliteOutput;
    std::function<void(TObject *Sender)> OnEditorChange;
    TLineChangeNotifyEvent LineSelectChanged;

protected:
    void closeEvent(QCloseEvent *Event) override;
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    void FormCreate();
    void FormDestroy();
    QWidget *Frame() const;
    void BuildMenus();
    void BuildPopup();
    void BuildWizardMenu();
    void UpdatePopup();
    void UpdateEditMenu();
    void UpdateCaption();
    void UpdateStatus();
    void ShowCaretPlace();
    void SetStatus(const std::string &Text);
    void TextChanged();
    bool KeyDown(int Key, Qt::KeyboardModifiers Modifiers);
    // The popup at a point of the screen, its items enabled as they apply.
    void ShowPopup(const QPoint &Global);
    void ShowingHighlight(bool Shown);
    void LoadFormatSettings();
    void SaveFormatSettings();
    void SetupHelp();
    std::string ChooseFormatFile(bool Save) const;
    bool WriteFile(const std::string &FileName);

    // Line range and taken lines of the rewriting commands.
    struct TRange {
        int First = 0;
        int Last = 0;
    };
    TRange CommandRange() const;
    TLines TakeLines();
    void PutLines(const TLines &Lines);
    void WriteBlockEdit(const TWizardEdit &Edit);
    TLines AllLines() const;
    void InsertLinesAtCaret(const TLines &Lines);
    int FTakeFirst = 0;
    int FTakeLast = -1;

    TRichEditW *FRichEdit = nullptr;
    QLabel *FStatus = nullptr;
    QMenu *FEditorMenu = nullptr;
    QMenu *FHiLightMenu = nullptr;
    QMenu *FPopupMenu = nullptr;
    QMenu *FWizardMenu = nullptr;
    QAction *FWizardAlter = nullptr;
    std::map<std::string, QAction *> FActions;

    std::string FFileName;
    std::string FSaveFolder;
    std::unique_ptr<QPrinter> FPrinter;
    std::string FFormatFile;
    std::string FHelpFile;
    std::string FHelpReference;
    std::string FRememberedHelpFile;
    int FHelpContext = 3010;
    int FLineCount = 0;
    bool FBulkUpdate = false;
    bool FHighlightShown = false; // "Hi Light" coloured letters now
    bool FMenuUnlocked = true;    // a run locks the Editor menu
    bool FBusy = false;
    int FFindStart = 0;
    std::string FFindText;
    TEditorFormat FFormat;
    TTokenColours FColours;
    std::string FCurrentPadding;
    int FFontStyle = 0;

    TUnits FUnits = Metric;
    TBilletSize FBillet;
    std::string FMachineName;
    int FToolCount = 0;
    std::string FToolingFile;
    TWizardModel FWizard;
};

} // namespace orv
