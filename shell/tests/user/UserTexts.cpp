#include "shell/tests/user/UserTexts.h"

#include "components/toolbar/ui/TbCore.h"
#include "components/toolbar/ui/TbCtls.h"
#include "localise/LxCustomDictionary.h"
#include "localise/ui/LxQtTranslator.h"
#include "shell/tests/user/TarnwickUser.h"
#include "shell/ui/ShellStatusBar.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextDocumentFragment>
#include <QTreeWidget>

#include <functional>
#include <map>

namespace orv::test {

namespace {

QString WithoutEllipsis(const QString &Text)
{
    QString plain = PlainCaption(Text);
    while (plain.endsWith('.'))
        plain.chop(1);
    return plain.trimmed();
}

// A widget its user can meet on Window: shown, or on a page that is not the
// current one; a menu whenever it pops up. Widgets the program keeps
// hidden are not.
bool CanBeSeen(QWidget *W, QWidget *Window)
{
    for (QWidget *w = W; w && w != Window; w = w->parentWidget()) {
        if (qobject_cast<QMenu *>(w))
            return true;
        if (w->isHidden() && !qobject_cast<QStackedWidget *>(w->parentWidget()))
            return false;
    }
    return true;
}

class TCollector {
public:
    explicit TCollector(std::vector<TShownText> &Out) : FOut(Out) {}

    void Widget(QWidget *W)
    {
        const std::string where = Describe(W);
        // The user's own names (marked as data) stay as they are.
        if (IsMarkedAsData(W))
            Add(where + " tip", W->toolTip());
        else if (!W->objectName().startsWith("qt_")) {
            Own(W, where);
            Items(W, where);
        }
        for (QAction *a : W->actions())
            Action(a, where);
    }

    void Add(const std::string &Where, const QString &Text)
    {
        if (!Text.trimmed().isEmpty())
            FOut.push_back({Where, Text});
    }

private:
    static std::string Describe(const QObject *O)
    {
        QString name = QString(O->metaObject()->className()).section("::", -1);
        if (!O->objectName().isEmpty())
            name += " " + O->objectName();
        return name.toStdString();
    }

    void Own(QWidget *W, const std::string &Where)
    {
        if (W->isWindow())
            Add(Where + " title", W->windowTitle());
        if (auto *sub = qobject_cast<QMdiSubWindow *>(W->parentWidget()))
            Add(Where + " frame", sub->windowTitle());
        Add(Where + " tip", W->toolTip());
        if (auto *b = qobject_cast<QAbstractButton *>(W))
            Add(Where, b->text());
        else if (auto *l = qobject_cast<QLabel *>(W))
            Add(Where, Qt::mightBeRichText(l->text())
                           ? QTextDocumentFragment::fromHtml(l->text()).toPlainText()
                           : l->text());
        else if (auto *g = qobject_cast<QGroupBox *>(W))
            Add(Where, g->title());
        else if (auto *e = qobject_cast<QLineEdit *>(W))
            Add(Where + " placeholder", e->placeholderText());
        else if (auto *s = qobject_cast<QAbstractSpinBox *>(W))
            Add(Where + " special value", s->specialValueText());
        else if (auto *d = qobject_cast<QDockWidget *>(W))
            Add(Where + " title", d->windowTitle());
        if (auto *s = qobject_cast<QSpinBox *>(W)) {
            Add(Where + " prefix", s->prefix());
            Add(Where + " suffix", s->suffix());
        } else if (auto *s = qobject_cast<QDoubleSpinBox *>(W)) {
            Add(Where + " prefix", s->prefix());
            Add(Where + " suffix", s->suffix());
        }
        if (auto *b = qobject_cast<TToolbarButton *>(W))
            Add(Where + " caption", b->Caption());
        if (auto *t = qobject_cast<TCustomToolWindow *>(W))
            Add(Where + " caption", t->Caption());
        if (auto *bar = dynamic_cast<TShellStatusBar *>(W))
            for (int i = 0; i < TShellStatusBar::PanelCount; ++i)
                Add(Where + " panel " + std::to_string(i), bar->Text(i));
        if (auto *m = qobject_cast<QMainWindow *>(W); m && m->findChild<QStatusBar *>())
            Add(Where + " status", m->statusBar()->currentMessage());
    }

    void Items(QWidget *W, const std::string &Where)
    {
        if (auto *tabs = qobject_cast<QTabWidget *>(W))
            TabBar(tabs->tabBar(), Where);
        else if (auto *bar = qobject_cast<QTabBar *>(W))
            TabBar(bar, Where);
        else if (auto *combo = qobject_cast<QComboBox *>(W))
            for (int i = 0; i < combo->count(); ++i)
                Add(Where + " item", combo->itemText(i));
        else if (auto *list = qobject_cast<QListWidget *>(W))
            for (int i = 0; i < list->count(); ++i)
                Add(Where + " item", list->item(i)->text());
        else if (auto *tree = qobject_cast<QTreeWidget *>(W))
            Tree(tree, Where);
        else if (auto *table = qobject_cast<QTableWidget *>(W))
            Table(table, Where);
        else if (auto *view = qobject_cast<QAbstractItemView *>(W))
            Model(view, Where);
    }

    void TabBar(QTabBar *Bar, const std::string &Where)
    {
        for (int i = 0; i < Bar->count(); ++i) {
            Add(Where + " tab", Bar->tabText(i));
            Add(Where + " tab tip", Bar->tabToolTip(i));
        }
    }

    void Tree(QTreeWidget *Tree, const std::string &Where)
    {
        if (!Tree->isHeaderHidden())
            for (int c = 0; c < Tree->columnCount(); ++c)
                Add(Where + " column", Tree->headerItem()->text(c));
        for (QTreeWidgetItemIterator it(Tree); *it; ++it)
            for (int c = 0; c < Tree->columnCount(); ++c)
                Add(Where + " item column " + std::to_string(c), (*it)->text(c));
    }

    void Table(QTableWidget *Table, const std::string &Where)
    {
        for (int c = 0; c < Table->columnCount(); ++c)
            if (QTableWidgetItem *h = Table->horizontalHeaderItem(c))
                Add(Where + " column", h->text());
        for (int r = 0; r < Table->rowCount(); ++r) {
            if (QTableWidgetItem *h = Table->verticalHeaderItem(r))
                Add(Where + " row", h->text());
            for (int c = 0; c < Table->columnCount(); ++c)
                if (QTableWidgetItem *cell = Table->item(r, c))
                    Add(Where + " cell", cell->text());
        }
    }

    void Model(QAbstractItemView *View, const std::string &Where)
    {
        QAbstractItemModel *model = View->model();
        if (!model)
            return;
        for (int c = 0; c < model->columnCount(); ++c)
            Add(Where + " column", model->headerData(c, Qt::Horizontal).toString());
        for (int r = 0; r < model->rowCount() && r < 200; ++r)
            for (int c = 0; c < model->columnCount(); ++c)
                Add(Where + " cell", model->index(r, c).data().toString());
    }

    void Action(QAction *A, const std::string &Where)
    {
        if (!FActions.insert(A).second || A->isSeparator())
            return;
        const std::string where = Where + " > " + PlainCaption(A->text()).toStdString();
        Add(Where + " item", A->text());
        // A tip of its own (Qt gives an action its text as tip otherwise,
        // without "&" and a closing "...").
        if (WithoutEllipsis(A->toolTip()) != WithoutEllipsis(A->text()))
            Add(where + " tip", A->toolTip());
        if (QMenu *menu = A->menu()) {
            Add(where + " title", menu->title());
            for (QAction *a : menu->actions())
                Action(a, where);
        }
    }

    std::vector<TShownText> &FOut;
    std::set<QAction *> FActions;
};

// "demo.fnc", "/a/b", "C:\\x", "G54", "6mm", "RS232": names, paths, codes
// and values, not words of a language.
bool IsNameOrCode(const QString &Token)
{
    static const QRegularExpression file("[A-Za-z0-9_]\\.[A-Za-z0-9]");
    return Token.contains(QRegularExpression("[0-9/\\\\]")) || Token.contains(file);
}

// The words of Text, leaving out names, codes and the tokens Data holds
// (lower case).
QStringList WordsOf(const QString &Text, const std::set<QString> &Data = {})
{
    QStringList words;
    for (const QString &token : Text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)) {
        if (IsNameOrCode(token) || Data.count(token.toLower()))
            continue;
        QString word;
        for (QChar c : token + ' ') {
            if (c.isLetter()) {
                word += c;
                continue;
            }
            if (word.size() >= 2)
                words << word;
            word.clear();
        }
    }
    return words;
}

bool IsAscii(const QString &Word)
{
    for (QChar c : Word)
        if (c.unicode() > 127)
            return false;
    return true;
}

// A settings line's names and values: "[Section]" (a tool's, an offset's
// name), the value of "Key=Value" and its tab- and comma-separated fields.
// Keys and comments are the program's own words, not the user's.
void AddDataLine(std::set<QString> &Data, const QString &Line)
{
    const QString line = Line.trimmed();
    if (line.isEmpty() || line.startsWith(';'))
        return;
    if (line.startsWith('[') && line.endsWith(']')) {
        Data.insert(line.mid(1, line.size() - 2).trimmed().toLower());
        return;
    }
    const qsizetype equals = line.indexOf('=');
    const QString value = equals > 0 ? line.mid(equals + 1).trimmed() : line;
    if (value.isEmpty())
        return;
    Data.insert(value.toLower());
    for (const QString &field : value.split(QRegularExpression("[\\t,]")))
        if (!field.trimmed().isEmpty())
            Data.insert(field.trimmed().toLower());
}

// The key after a caption's "&" ("&&" is an ampersand), upper case; none
// without one.
QString HotKey(const QString &Caption)
{
    for (qsizetype i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&')
            continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return Caption.mid(i + 1, 1).toUpper();
    }
    return {};
}

void MenuClashes(const QString &Where, const QList<QAction *> &Actions,
                 std::set<QWidget *> &Seen, std::vector<std::string> &Clashes)
{
    std::map<QString, QStringList> byKey;
    for (QAction *a : Actions) {
        if (!a->isVisible() || a->isSeparator())
            continue;
        if (QString key = HotKey(a->text()); !key.isEmpty())
            byKey[key] << a->text();
        if (QMenu *sub = a->menu(); sub && Seen.insert(sub).second)
            MenuClashes(Where + " > " + PlainCaption(a->text()), sub->actions(), Seen, Clashes);
    }
    for (const auto &[key, items] : byKey)
        if (items.size() > 1)
            Clashes.push_back((Where + ": " + key + " in " + items.join(", ")).toStdString());
}

} // namespace

std::vector<std::string> HotKeyClashes(QWidget *Window)
{
    std::vector<std::string> clashes;
    std::set<QWidget *> seen;
    for (QWidget *w : Window->findChildren<QWidget *>())
        if (qobject_cast<QMenuBar *>(w) || qobject_cast<QMenu *>(w))
            if (seen.insert(w).second)
                MenuClashes(QString(w->metaObject()->className()) + " " + w->objectName(),
                            w->actions(), seen, clashes);
    if (qobject_cast<QMenu *>(Window) && seen.insert(Window).second)
        MenuClashes("the menu", Window->actions(), seen, clashes);
    return clashes;
}

std::vector<TShownText> ShownTexts(QWidget *Window)
{
    std::vector<TShownText> out;
    TCollector collector(out);
    collector.Widget(Window);
    for (QWidget *w : Window->findChildren<QWidget *>())
        if (CanBeSeen(w, Window))
            collector.Widget(w);
    return out;
}

TLanguageCheck::TLanguageCheck(const TLxCustomDictionary &Dictionary, std::set<QString> Allowed,
                               const std::filesystem::path &DataFolder)
    : FAllowed(std::move(Allowed))
{
    for (int i = 0; i < Dictionary.GetTranslationCount(); ++i) {
        const TLxTranslation &row = Dictionary.Translation(i);
        const QString source = PlainCaption(QString::fromStdString(row.Source));
        FSources.insert(source);
        if (row.State != 0 || row.Translation.empty())
            continue;
        const QString translated = PlainCaption(QString::fromStdString(row.Translation));
        FTranslated.insert(translated);
        for (const QString &word : WordsOf(translated))
            FWords.insert(word);
    }
    for (const QString &allowed : FAllowed)
        for (const QString &word : WordsOf(allowed))
            FWords.insert(word);
    const std::set<std::string> skipped = {".txt", ".htm", ".hlp", ".jpg", ".png", ".gif"};
    for (const auto &entry : std::filesystem::recursive_directory_iterator(DataFolder)) {
        if (!entry.is_regular_file())
            continue;
        const std::filesystem::path path = entry.path();
        FData.insert(QString::fromStdString(path.filename().string()).toLower());
        FData.insert(QString::fromStdString(path.stem().string()).toLower());
        if (skipped.count(path.extension().string()) != 0)
            continue;
        QFile file(QString::fromStdString(path.string()));
        if (!file.open(QIODevice::ReadOnly) || file.size() > 1 << 20)
            continue;
        for (const QString &line : QString::fromLatin1(file.readAll()).split(QRegularExpression("[\\r\\n]")))
            AddDataLine(FData, line);
    }
    // A word of the program's own English texts is not a name of the
    // user's within a text ("Feed" stays a word to translate, even where a
    // section of a machine file is called so).
    std::set<QString> programWords;
    for (const QString &source : FSources)
        for (const QString &word : WordsOf(source))
            programWords.insert(word.toLower());
    for (const QString &data : FData)
        if (!programWords.count(data))
            FNames.insert(data);
}

std::string TLanguageCheck::EnglishIn(const QString &Text) const
{
    std::string reasons;
    for (const QString &line : PlainCaption(Text).split(QRegularExpression("[\\r\\n]+"))) {
        const std::string reason = LineReason(line.trimmed());
        if (!reason.empty())
            reasons += (reasons.empty() ? "" : "; ") + reason;
    }
    return reasons;
}

bool TLanguageCheck::IsUsersName(const QString &Text) const
{
    // A text of the program's own is to be translated, whatever a file holds.
    return FData.count(Text.toLower()) && !FSources.count(Text);
}

std::string TLanguageCheck::LineReason(const QString &Line) const
{
    if (Line.isEmpty() || FTranslated.count(Line) || FAllowed.count(Line) || IsUsersName(Line))
        return {};
    // "Tool Data - Slot Drill 3": a translated text and a name of the
    // user's, each judged on its own.
    QStringList english;
    for (const QString &part : Line.split(" - ", Qt::SkipEmptyParts)) {
        const QString text = part.trimmed();
        if (FTranslated.count(text) || FAllowed.count(text) || IsUsersName(text))
            continue;
        for (const QString &word : WordsOf(text, FNames))
            if (IsAscii(word) && !FWords.count(word))
                english << word;
    }
    if (english.isEmpty())
        return {};
    return "\"" + Line.toStdString() + "\" (" +
           (FSources.count(Line) ? "has a row, shown untranslated" : "no row") + ")";
}

} // namespace orv::test
