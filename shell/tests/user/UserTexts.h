#pragma once
// What a user reads on a window, and whether it reads in the language in
// use. ShownTexts gathers every text a window holds for its user: its
// title, captions, labels, buttons, group titles, tabs, menu items (with
// their sub-menus and the context menus), tips, list, tree and table items
// with their column titles, combo items, and the texts of the program's own
// widgets (toolbar buttons, tool windows, status panels), shown or not yet
// shown. TLanguageCheck tells the texts that still read English.
#include <QString>
#include <QStringList>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

class QWidget;

namespace orv {
class TLxCustomDictionary;
namespace test {

struct TShownText {
    std::string Where; // the widget and what of it
    QString Text;
};
std::vector<TShownText> ShownTexts(QWidget *Window);
// Each menu of Window (its menu bar, menus and sub-menus, context menus)
// in which two items the user can see share a hot key: the menu and the
// items.
std::vector<std::string> HotKeyClashes(QWidget *Window);

class TLanguageCheck {
public:
    // The texts of the dictionary's current language (a translated one);
    // Allowed: texts that read the same in it; DataFolder: the program's
    // data, whose values (names of machines, tools, files) stay as the
    // user wrote them.
    TLanguageCheck(const TLxCustomDictionary &Dictionary, std::set<QString> Allowed,
                   const std::filesystem::path &DataFolder);
    // Why Text reads English: empty when it reads in the language (or the
    // same in both); else the English words and whether a row has them.
    std::string EnglishIn(const QString &Text) const;

private:
    std::string LineReason(const QString &Line) const;
    bool IsUsersName(const QString &Text) const;
    std::set<QString> FTranslated;  // whole texts of the language
    std::set<QString> FWords;       // their words
    std::set<QString> FSources;     // English texts with a row
    std::set<QString> FAllowed;
    std::set<QString> FData;  // the user's names and values, lower case
    std::set<QString> FNames; // those that are no word of the program's texts
};

} // namespace test
} // namespace orv
