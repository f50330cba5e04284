#pragma once
// The rich-edit control of the NC editor and the program-transfer windows:
// plain text in lines, character formats per run, caret by line and column,
// undo and redo with a limit, a find, printing with a document title, and
// the events the forms bind. Built on QTextEdit; texts cross its boundary as
// 8-bit bytes (each byte one character, so ".FNC" bytes such as 216 keep
// their value) or as UTF-16.

#include "components/richedit/URLCollection.h"

#include <QTextCharFormat>
#include <QTextEdit>

#include <functional>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>

class QPrinter;

namespace orv {

class TConversion;
class TRichEditStringsW;
class TRichEditW;
class TWideStrings;

// Raised when embedded objects are asked for: this control holds none.
class EOleError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TInputFormat { ifText, ifRTF, ifUnicode };
// Language options, as bits 0 to 3 of TLangOptions. loAutoFont: characters
// the font lacks are drawn with a font that has them.
enum TLangOption : unsigned {
    loAutoKeyboard = 1,
    loAutoFont = 2,
    loIMECancelComplete = 4,
    loIMEAlwaysSendNotify = 8
};
using TLangOptions = unsigned;
enum TOutputFormat { ofText, ofRTF, ofRTFNoObjs, ofTextized, ofUnicode };
// adDefault: links of the standard schemes; adExtended: links of CustomURLs.
enum TAutoURLDetect { adNone, adDefault, adExtended };

// Character format of the selection or of the default format. Colours are
// Windows colour numbers (red 255); Style bits 1 bold, 2 italic,
// 4 underline, 8 strike-out.
class TTextAttributesW {
public:
    TTextAttributesW(TRichEditW &Owner, bool Default) : FOwner(Owner), FDefault(Default) {}
    // Writes to the selection attributes with no selection apply to the
    // word at the caret when the control's WordFormatting is on (the caret
    // outside a word: only to what is typed next), else only to what is
    // typed next.
    uint32_t Color() const;
    void SetColor(uint32_t Colour);
    // The window colour unless a background is set.
    uint32_t BackColor() const;
    void SetBackColor(uint32_t Colour);
    // 0 default, 1 fixed, 2 variable.
    int Pitch() const;
    void SetPitch(int Pitch);
    // Every attribute of Source, in the order colour, name, size, pitch,
    // weight, background, language, subscript style, offset, spacing,
    // kerning, underline type, bold, italic, strike-out, animation, small
    // caps, all caps, hidden, outline, shadow, emboss, imprint, link.
    void Assign(const TTextAttributesW &Source);
    // Into a font: name, bold, italic, underline, size and pitch (the
    // font's strike-out is left as it is).
    void AssignTo(QFont &Font) const;
    uint8_t Style() const;
    void SetStyle(uint8_t Style);
    // From a font: name, size, pitch, bold, italic, strike-out, underline.
    void Assign(const QFont &Font);

    // The character attributes, each kept as a property of the character
    // format (those Qt has no own property for as user properties).
    std::string Name() const;
    void SetName(const std::string &Name);
    int Size() const; // points
    void SetSize(int Points);
    int Weight() const; // 400 normal, 700 bold
    void SetWeight(int Weight);
    int Language() const; // the control's Language when none is set
    void SetLanguage(int Language);
    int SubscriptStyle() const; // 0 none, 1 subscript, 2 superscript
    void SetSubscriptStyle(int Style);
    // Points.
    double Offset() const;
    void SetOffset(double Points);
    double Spacing() const;
    void SetSpacing(double Points);
    double Kerning() const;
    void SetKerning(double Points);
    int UnderlineType() const; // 0 unless underlined
    void SetUnderlineType(int Type);
    int Animation() const;
    void SetAnimation(int Animation);
    // Effects: bold 1, italic 2, underline 4, strike-out 8, link $20, small
    // caps $40, all caps $80, hidden $100, outline $200, shadow $400,
    // emboss $800, imprint $1000.
    enum : unsigned {
        efBold = 1,
        efItalic = 2,
        efUnderline = 4,
        efStrikeOut = 8,
        efLink = 0x20,
        efSmallCaps = 0x40,
        efAllCaps = 0x80,
        efHidden = 0x100,
        efOutline = 0x200,
        efShadow = 0x400,
        efEmboss = 0x800,
        efImprint = 0x1000
    };
    bool Effect(unsigned Mask) const;
    void SetEffect(unsigned Mask, bool On);

private:
    void Merge(const QTextCharFormat &Format);
    QTextCharFormat Format() const;
    TRichEditW &FOwner;
    bool FDefault;
};

class TRichEditW : public QTextEdit {
    Q_OBJECT
public:
    explicit TRichEditW(QWidget *Parent = nullptr);

    // Lines (from 0), without their breaks, as 8-bit bytes.
    int LineCount() const;
    std::string Line(int Index) const;
    void SetLine(int Index, const std::string &Text);
    // Inserts Text as line Index (Index = LineCount() appends).
    void InsertLine(int Index, const std::string &Text);
    void DeleteLine(int Index);
    void SetText(const std::string &Text);
    std::string Text() const;
    // Character position where a line starts; the line of a position.
    int LineStart(int Index) const;
    int LineOfChar(int Position) const;
    int TextLength() const;

    // Selection, in characters.
    int SelStart() const;
    int SelLength() const;
    void SetSelection(int Start, int Length);
    std::string SelText() const;
    void ClearSelection();

    // Caret line and column (from 0). SetCaretLine keeps the column;
    // SetCaretPos does nothing for a line that does not exist.
    int CaretLine() const;
    void SetCaretLine(int Line);
    int CaretColumn() const;
    void SetCaretPos(int Line, int Column);

    bool CanUndo() const;
    bool CanRedo() const;
    void SetUndoLimit(int Limit);
    int UndoLimit() const { return FUndoLimit; }

    bool Modified() const;
    void SetModified(bool Modified);

    // The whole text, paragraphs ended by LF; every character kept as it
    // is (a no-break space stays one, where Qt's plain text gives a space).
    QString PlainText() const;
    std::u16string GetWideText() const;
    // The lines as 16-bit strings, without a length limit.
    TWideStrings &WideLines();
    // The lines as 8-bit strings in the Language's code page, with files
    // and streams.
    TRichEditStringsW &Lines();
    std::u16string GetWideSelText() const;

    // The locale whose code page converts the 8-bit facade (the line and
    // text calls, SelText, FindText) and the wide lines' language. 0 (the
    // default): each byte is the character of the same number, so NC bytes
    // such as 216 keep their value.
    int Language() const { return FLanguage; }
    void SetLanguage(int Language);

    // Character position of a match of Text, -1 when none. Forward: the
    // first match in StartPos..StartPos + Length; backward (FindBackward):
    // the last in StartPos - Length..StartPos. Length 0 or less: to the end
    // (backward: to the start). Any case unless FindMatchCase; FindWholeWord
    // takes only matches that no letter, digit or "_" touches.
    enum { FindBackward = 1, FindWholeWord = 2, FindMatchCase = 4 };
    int FindText(const std::string &Text, int StartPos, int Length, int Options = 0) const;

    // The text from or to a stream in InputFormat / OutputFormat: plain
    // 8-bit text in the Language's code page, 16-bit little-endian units
    // (a leading FF FE mark is skipped), or the control's own RTF (other
    // RTF it cannot read loads as plain text; ofTextized saves plain text).
    // Saved paragraphs end in CR LF. Progress (position, size) is reported
    // before each block read and after each block written; the blocks go
    // through Conversion (none: copied as they are). False with "Failed to
    // Load Stream" / "Failed to Save Stream" in StreamError; a failed load
    // leaves the text as it was.
    bool LoadFromStream(std::istream &In, TConversion *Conversion = nullptr);
    bool SaveToStream(std::ostream &Out, TConversion *Conversion = nullptr);
    TInputFormat InputFormat = ifRTF;
    TOutputFormat OutputFormat = ofRTF;
    bool SelectedInOut = false; // save only the selection
    bool PlainRTF = false;      // RTF without the font table
    std::function<void(int Position, int Size)> OnLoadProgress;
    std::function<void(int Position, int Size)> OnSaveProgress;
    std::string StreamError;

    TTextAttributesW &SelAttributes() { return FSelAttributes; }
    TTextAttributesW &DefAttributes() { return FDefAttributes; }
    // Gives the characters Start..Start+Length a format (no undo step of its
    // own while an update is held).
    void FormatRange(int Start, int Length, uint32_t Colour, uint32_t BackColour, uint8_t Style);
    // The format of one character: colour, background, style.
    void CharFormatAt(int Position, uint32_t &Colour, uint32_t &BackColour, uint8_t &Style) const;
    // Holds layout and undo grouping while many formats or lines change.
    void BeginUpdate();
    void EndUpdate();

    // The window colour.
    void SetColor(uint32_t Colour);
    uint32_t Color() const { return FColour; }

    // Prints the text once on Printer with the document title.
    void Print(const std::string &Title, QPrinter &Printer) const;

    std::function<void()> OnChange;
    std::function<void()> OnSelectionChange;
    // Key code and modifiers; true when the key is handled.
    std::function<bool(int Key, Qt::KeyboardModifiers Modifiers)> OnKeyDown;
    std::function<void(const QPoint &Position, Qt::MouseButton Button)> OnMouseUp;
    // Files dropped on the control (full paths).
    std::function<void(const QStringList &Files)> OnFilesDropped;

    // Link detection. Each change scans the words around the previous and
    // the current selection (a load scans the whole text) and gives links
    // the Link effect, their type's colour (URLColor for a type in the
    // window text colour) and underline; other words lose them.
    TAutoURLDetect AutoURLDetect() const { return FAutoURLDetect; }
    void SetAutoURLDetect(TAutoURLDetect Value);
    TURLCollection &CustomURLs() { return FCustomURLs; }
    uint32_t URLColor = 0xFF0000; // blue
    int URLCursor = crHandPoint;  // over a link whose type has cursor 0
    // The mouse over a link (the cursor is set through the cursor service)
    // and a left click on one; the link's text, when longer than one
    // character.
    std::function<void(const std::string &URL)> OnURLMove;
    std::function<void(const std::string &URL)> OnURLClick;

    // The selection bar: a left margin where a click selects the line
    // beside it. Changing it re-creates the window (RecreateWnd).
    bool ShowSelectionBar() const { return FShowSelectionBar; }
    void SetShowSelectionBar(bool Value);
    static constexpr int SelectionBarWidth = 8; // pixels
    // Sent to the control when it is created and when set.
    TLangOptions LangOptions() const { return FLangOptions; }
    void SetLangOptions(TLangOptions Value);
    // With no selection, a selection-attribute change applies to the word
    // at the caret.
    bool WordFormatting = true;
    // Applies the window's options again (selection bar, language
    // options), keeping the text, the selection and the formats; the times
    // it was done.
    void RecreateWnd();
    int RecreateCount() const { return FRecreateCount; }

    // Embedded objects are not supported: true raises EOleError "Unable to
    // get interface" and leaves the control as it was.
    bool IncludeOLE() const { return false; }
    void SetIncludeOLE(bool Value);

    // Holds the selection, the first visible line and painting (nests):
    // the last unlock puts back the selection and scrolls back to the line.
    void LockSelection();
    void UnlockSelection();
    bool SelectionLocked() const { return FLockCount > 0; }

    static QColor ToQColor(uint32_t Colour);
    static uint32_t FromQColor(const QColor &Colour);

protected:
    bool event(QEvent *Event) override;
    void keyPressEvent(QKeyEvent *Event) override;
    void mouseReleaseEvent(QMouseEvent *Event) override;
    void mouseMoveEvent(QMouseEvent *Event) override;
    void paintEvent(QPaintEvent *Event) override;
    void dragEnterEvent(QDragEnterEvent *Event) override;
    void dragMoveEvent(QDragMoveEvent *Event) override;
    void dropEvent(QDropEvent *Event) override;
    bool canInsertFromMimeData(const QMimeData *Source) const override;
    void insertFromMimeData(const QMimeData *Source) override;

private:
    friend class TTextAttributesW;
    friend class TRichEditStringsW;
    friend class TWideRichEditStringsW;
    QTextCursor CursorAt(int Start, int Length) const;
    // 8-bit text to and from the control's characters in the Language's
    // code page.
    QString Widen(const std::string &Text) const;
    std::string Narrow(const QString &Text) const;
    void TextChanged();
    void SelectionChanged();
    // Links: the scan after a change, the scan of a range, and the link
    // under a point of the viewport (its text; empty when none).
    void ScanChange();
    void ScanLinks(int Start, int End);
    void FormatWord(int Start, int Length, int Type, const TURLCollection &Types);
    std::u16string LinkAt(const QPoint &Position) const;
    int FirstVisibleLine() const;
    void ApplyWindowOptions();
    // A press in the selection bar selects the line beside it.
    bool SelectionBarPress(const QPoint &Position);

    TTextAttributesW FSelAttributes{*this, false};
    TTextAttributesW FDefAttributes{*this, true};
    int FUndoLimit = 30;
    int FLanguage = 0;
    int FCodePage = 0;
    uint32_t FColour = 16777215;
    int FUpdates = 0;
    QTextCursor FUpdateCursor;
    std::shared_ptr<TWideStrings> FWideLines;
    std::shared_ptr<TRichEditStringsW> FLines;
    int FChangeOff = 0; // no OnChange and no link scan while set
    TAutoURLDetect FAutoURLDetect = adNone;
    TURLCollection FCustomURLs;
    bool FScanning = false;
    bool FLoading = false;
    bool FOverLink = false;
    int FLastSelStart = 0;
    int FLastSelEnd = 0;
    int FLockCount = 0;
    int FLockSelStart = 0;
    int FLockSelLength = 0;
    int FLockFirstLine = 0;
    bool FShowSelectionBar = false;
    TLangOptions FLangOptions = loAutoFont;
    int FRecreateCount = 0;
};

// 8-bit bytes to and from the control's characters, one to one.
QString FromBytes(const std::string &Bytes);
std::string ToBytes(const QString &Text);

} // namespace orv
