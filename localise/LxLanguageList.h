#pragma once
// What the language dialog shows and where, without its window: the rows of
// the dictionary's language table that the user may choose, the dialog's
// default caption, the check that the dictionary is open, and the placement
// of a dialog over its owner form.

#include <string>
#include <vector>

namespace orv {

class TLxDictionary;

// Flags of SelectLanguage (bits).
enum TLxLanguageDialogFlag : int {
    lxldAllLanguages = 1, // list languages whatever the code-page check level
    lxldNativeNames = 2,  // native names, node texts not translated
    lxldNoCentre = 4,     // do not centre the dialog on its owner
};

// A node of the dialog's tree: a language's index (language list), a
// primary language id (top nodes of the other lists) or a locale id.
struct TLxLanguageNode {
    std::string Text;
    int Value = 0;
    std::vector<TLxLanguageNode> Children;
};

// The languages to list, in table order: from row 1 when row 0 is the
// untranslated source language (primary id 0), filtered by the dictionary's
// check level (flag 1 lists every row that the system can show).
std::vector<TLxLanguageNode> ListLanguages(TLxDictionary &Dictionary, int Flags);

// Sublanguages: a top node per primary language of the listed rows (its
// first row's name), under it the countries of the language's locales.
std::vector<TLxLanguageNode> ListSublanguages(TLxDictionary &Dictionary, int Flags);
// Locales: every locale of the system and the dictionary that passes the
// check level, under a top node per language.
std::vector<TLxLanguageNode> ListLocales(TLxDictionary &Dictionary, int Flags);
// The list of a kind: 0 languages, 1 sublanguages, 2 locales.
std::vector<TLxLanguageNode> ListOfKind(TLxDictionary &Dictionary, int ListKind, int Flags);
// The value of the node to select at first: the current language's index,
// or the locale id of the current language or locale.
int CurrentValueOfKind(TLxDictionary &Dictionary, int ListKind);

// "Select Language", "Select Sublanguage" or "Select Locale" by list kind.
std::string LanguageDialogCaption(int ListKind);

// ELxError "Dictionary is not open" LF CR "You must open the dictionary
// before you can change the language" unless Dictionary is open.
void CheckDictionaryOpen(const TLxDictionary *Dictionary);

struct TLxBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// The dialog's new left and top: centred over Form, or over a screen of
// ScreenWidth x ScreenHeight from 0 without a form; never negative.
TLxBounds CentreOnForm(const TLxBounds *Form, const TLxBounds &Dialog, int ScreenWidth,
                       int ScreenHeight);

} // namespace orv
