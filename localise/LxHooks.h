#pragma once
// Run-time translation of texts that no form holds. Every resource string
// of the program is registered here under a numeric identifier and loaded
// through LoadResString; while an open dictionary has the hooks installed,
// loaded strings, shortcut texts and the messages of unhandled exceptions
// come out translated through the default dictionary. Nothing is patched:
// the program's own code calls these routines.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace orv {

class TLxDictionary;

// Identifiers of the shortcut key names among the resource strings.
enum TLxKeyNameId : int {
    SmkcBkSp = 65337,
    SmkcTab = 65338,
    SmkcEsc = 65339,
    SmkcEnter = 65340,
    SmkcSpace = 65341,
    SmkcPgUp = 65342,
    SmkcPgDn = 65343,
    SmkcEnd = 65312,
    SmkcHome = 65313,
    SmkcLeft = 65314,
    SmkcUp = 65315,
    SmkcRight = 65316,
    SmkcDown = 65317,
    SmkcIns = 65318,
    SmkcDel = 65319,
    SmkcShift = 65320,
    SmkcCtrl = 65321,
    SmkcAlt = 65322,
};

// A resource string: its identifier and, for the registry, its text.
struct TResStringRec {
    int Identifier = 0;
};

// Registers (or replaces) the text of a resource string; the shortcut key
// names are registered from the start.
void RegisterResourceString(int Identifier, const std::string &Text);
// The plain registered text; empty when none is registered.
std::string ResourceStringText(int Identifier);

// The runtime's loaders: the registered text, translated while installed.
std::string LoadResString(const TResStringRec *Rec);
std::string LoadStr(int Identifier);
// A shortcut (key code in the low 8 bits; bit 13 Shift, 14 Ctrl, 15 Alt) as
// text: "Shift+Ctrl+F5"; empty for a key without a name.
std::string ShortCutToText(uint16_t ShortCut);

bool TranslationHooksInstalled();
void InstallTranslationHooks();
void RemoveTranslationHooks();

// The translating replacements themselves.
std::string TranslateResourceString(const TResStringRec *Rec);
std::string TranslatedLoadStr(int Identifier);
std::string TranslatedShortCutToText(uint16_t ShortCut);

// The one top-level handler for exceptions that nothing else caught.
using TExceptionEvent = std::function<void(void *Sender, const std::exception &E)>;
TExceptionEvent &ApplicationOnException();
// Passes E to the installed handler; without one shows its message plainly.
void HandleApplicationException(void *Sender, const std::exception &E);
// The message translated through the default dictionary, a "." added when
// its last character sorts above ".", shown as an error box with OK.
void ShowTranslatedException(void *Sender, const std::exception &E);
// The text ShowTranslatedException shows.
std::string TranslatedExceptionText(const std::exception &E);

// A window whose text can be translated: a caption, a check box, a label.
class TLxWindowText {
public:
    virtual ~TLxWindowText() = default;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string &Text) = 0;
    // Single-line width of a text in pixels with the default font.
    virtual int TextWidth(const std::string &Text) const = 0;
    virtual int Width() const = 0;
    virtual void SetWidth(int Width) = 0;
    // Check boxes, radio buttons and group boxes need room for their mark.
    virtual bool HasMark() const = 0;
};

// The window's text := TranslateText(Dictionary, Text or its own text);
// with Widen a window too narrow for the new text is widened to it.
void TranslateWindowText(const TLxDictionary *Dictionary, TLxWindowText &Window,
                         const std::string &Text, bool Widen);

} // namespace orv
