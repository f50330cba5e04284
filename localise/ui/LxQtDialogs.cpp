#include "localise/ui/LxQtDialogs.h"

#include "localise/LxCustomDictionary.h"
#include "localise/LxHooks.h"
#include "localise/dialogs/LxDlgMod.h"
#include "localise/ui/LxWidgetText.h"
#include "platform/ui/FindDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QFileDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileSystemModel>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <functional>
#include <map>
#include <utility>

namespace orv {

namespace {

QString Q(const std::string &Text)
{
    return QString::fromStdString(Text);
}

// Qt's own texts inside its dialogs, mapped to the sources of the tables.
class TLxQtTextBridge : public QTranslator {
public:
    QString translate(const char *Context, const char *Source, const char * /*Disambiguation*/,
                      int /*N*/) const override
    {
        static const std::map<std::pair<std::string, std::string>, std::string> sources = {
            {{"QFileSystemModel", "Name"}, "Name"},
            {{"QFileSystemModel", "Size"}, "Size"},
            {{"QFileSystemModel", "Type"}, "Type"},
            {{"QFileSystemModel", "Kind"}, "Type"},
            {{"QFileSystemModel", "Date Modified"}, "Modified"},
            {{"QFileDialog", "Back"}, "Back"},
            {{"QFileDialog", "Parent Directory"}, "Up One Level"},
            {{"QFileDialog", "Create New Folder"}, "Create New Folder"},
            {{"QFileDialog", "List View"}, "List"},
            {{"QFileDialog", "Detail View"}, "Details"},
            {{"QColorDialog", "&Basic colors"}, "&Basic colors:"},
            {{"QColorDialog", "&Custom colors"}, "&Custom colors:"},
            {{"QColorDialog", "&Add to Custom Colors"}, "&Add to Custom Colors"},
            {{"QColorDialog", "Hu&e:"}, "Hu&e:"},
            {{"QColorDialog", "&Sat:"}, "&Sat:"},
            {{"QColorDialog", "&Val:"}, "&Lum:"},
            {{"QColorDialog", "&Red:"}, "&Red:"},
            {{"QColorDialog", "&Green:"}, "&Green:"},
            {{"QColorDialog", "Bl&ue:"}, "Bl&ue:"},
            {{"QColorDialog", "HTML:"}, "HTML:"},
            {{"QColorDialog", "&Pick Screen Color"}, "&Pick Screen Color"},
            {{"QColorDialog", "Pick Screen Color"}, "&Pick Screen Color"},
            // Buttons of Qt's message boxes and button boxes, as the
            // program's message dialogs name them.
            {{"QPlatformTheme", "OK"}, "OK"},
            {{"QPlatformTheme", "Cancel"}, "Cancel"},
            {{"QPlatformTheme", "&Yes"}, "&Yes"},
            {{"QPlatformTheme", "&No"}, "&No"},
            {{"QPlatformTheme", "Yes to &All"}, "Yes to &All"},
            {{"QPlatformTheme", "N&o to All"}, "N&o to All"},
            {{"QPlatformTheme", "Abort"}, "&Abort"},
            {{"QPlatformTheme", "Retry"}, "&Retry"},
            {{"QPlatformTheme", "Ignore"}, "&Ignore"},
            {{"QPlatformTheme", "Close"}, "&Close"},
            {{"QPlatformTheme", "Help"}, "&Help"},
            {{"QPlatformTheme", "Apply"}, "&Apply"},
            {{"QPlatformTheme", "Save"}, "&Save"},
            {{"QPlatformTheme", "Open"}, "&Open"},
        };
        if (!Context || !Source || !IsDefaultDictionaryOpen())
            return {};
        auto found = sources.find({Context, Source});
        if (found == sources.end())
            return {};
        return Q(TranslateDefault(found->second));
    }
    bool isEmpty() const override { return false; }
};

QWidget *ParentOf(void *Parent)
{
    return static_cast<QWidget *>(Parent);
}

QString NameFilter(const std::pair<std::string, std::string> &Filter)
{
    QString name = Q(Filter.first);
    QString patterns = Q(Filter.second).replace(';', ' ');
    if (name.contains('('))
        return name;
    return name + " (" + patterns + ")";
}

void SetFileDialogTexts(QFileDialog &Dialog, const TLxFileDialogSpec &Spec)
{
    const TLxDialogKind kind = Spec.Save ? (Spec.OldStyle ? TLxDialogKind::SaveOld
                                                          : TLxDialogKind::SaveNew)
                                         : (Spec.OldStyle ? TLxDialogKind::OpenOld
                                                          : TLxDialogKind::OpenNew);
    // Without a dictionary only the new-style save dialog sets its texts.
    const bool always = Spec.ModuleTexts || kind == TLxDialogKind::SaveNew;
    if (!Spec.Dictionary && !always) {
        if (!Spec.Title.empty())
            Dialog.setWindowTitle(Q(Spec.Title));
        return;
    }
    const TLxDialogTexts texts =
        TranslatedDialogTexts(kind, Spec.Dictionary, Spec.Title, Spec.ModuleTexts);
    Dialog.setWindowTitle(Q(texts.Caption));
    const std::pair<int, QFileDialog::DialogLabel> roles[] = {
        {1091, QFileDialog::LookIn}, {1090, QFileDialog::FileName},
        {1089, QFileDialog::FileType}, {1, QFileDialog::Accept}, {2, QFileDialog::Reject}};
    for (const auto &[id, text] : texts.Controls)
        for (const auto &[roleId, role] : roles)
            if (id == roleId)
                Dialog.setLabelText(role, Q(text));
    // Qt's labels of the folder and type boxes have no buddy, so their hot
    // key's "&" would show as it stands: each gets the box it names.
    const std::pair<const char *, const char *> buddies[] = {
        {"lookInLabel", "lookInCombo"}, {"fileNameLabel", "fileNameEdit"},
        {"fileTypeLabel", "fileTypeCombo"}};
    for (const auto &[label, box] : buddies) {
        auto *caption = Dialog.findChild<QLabel *>(label);
        auto *target = Dialog.findChild<QWidget *>(box);
        if (caption && target && !caption->buddy())
            caption->setBuddy(target);
    }
}

// Where Qt's print and page set-up dialogs keep the controls of the tables
// (by object name, inside a named box where the name repeats). Qt's print
// dialog has no print-to-file box (a printer "Print to File" instead), no
// status and no comment; its set-up dialog shows no printer.
struct TPrintControl {
    int Id;
    const char *Box;
    const char *Name;
};
constexpr TPrintControl PrintControls[] = {
    {1041, "", "collate"},         {1089, "", "printRange"},
    {1090, "gbPrintRange", "label_3"}, {1025, "", "properties"},
    {1056, "", "printAll"},        {1057, "", "printSelection"},
    {1058, "", "pagesRadioButton"}, {1072, "", "gbPrintRange"},
    {1073, "copiesTab", "groupBox"}, {1075, "", "printerGroup"},
    {1092, "copiesTab", "label"},  {1093, "printerGroup", "label"},
    {1094, "printerGroup", "label_3"}, {1097, "printerGroup", "label_2"},
};
constexpr TPrintControl SetupControls[] = {
    {1089, "", "pageSizeLabel"}, {1090, "", "paperSourceLabel"}, {1056, "", "portrait"},
    {1057, "", "landscape"},     {1072, "", "groupBox_3"},      {1073, "", "groupBox_2"},
};

// The accepting button of a dialog's button box is control 1, the
// cancelling one 2.
void MarkButtons(QDialog &Dialog)
{
    for (QDialogButtonBox *box : Dialog.findChildren<QDialogButtonBox *>())
        for (QAbstractButton *button : box->buttons()) {
            const auto role = box->buttonRole(button);
            if (role == QDialogButtonBox::AcceptRole || role == QDialogButtonBox::RejectRole)
                button->setProperty("lxControlId", role == QDialogButtonBox::AcceptRole ? 1 : 2);
        }
}

// Gives the print dialog's controls their control ids.
void MarkPrintControls(QDialog &Dialog, bool Setup)
{
    MarkButtons(Dialog);
    const auto mark = [&Dialog](const auto &Controls) {
        for (const TPrintControl &c : Controls) {
            QObject *box = *c.Box ? Dialog.findChild<QObject *>(c.Box) : &Dialog;
            if (QWidget *control = box ? box->findChild<QWidget *>(c.Name) : nullptr)
                control->setProperty("lxControlId", c.Id);
        }
    };
    if (Setup)
        mark(SetupControls);
    else
        mark(PrintControls);
}

// Qt's font dialog names its controls by its own texts only: the controls
// of the font table by those texts, as Qt sets them.
void MarkFontControls(QFontDialog &Dialog)
{
    MarkButtons(Dialog);
    static const std::pair<const char *, int> byText[] = {
        {"&Font", 1088},    {"Font st&yle", 1089}, {"&Size", 1090},     {"Wr&iting System", 1094},
        {"Effects", 1072},  {"Sample", 1073},      {"Stri&keout", 1040}, {"&Underline", 1041}};
    for (QWidget *child : Dialog.findChildren<QWidget *>()) {
        QString text;
        if (auto *label = qobject_cast<QLabel *>(child))
            text = label->text();
        else if (auto *box = qobject_cast<QGroupBox *>(child))
            text = box->title();
        else if (auto *check = qobject_cast<QCheckBox *>(child))
            text = check->text();
        for (const auto &[source, id] : byText)
            if (text == QLatin1String(source))
                child->setProperty("lxControlId", id);
    }
}

const TLxDictionary *OpenDefaultDictionary()
{
    return IsDefaultDictionaryOpen() ? DefaultDictionary() : nullptr;
}

// Calls Apply whenever the dialog is shown or becomes active, and once Qt
// has set its own texts again after a change of Qt's translators; Shown
// once it has its size, as it is shown.
class TActivationWatch : public QObject {
public:
    TActivationWatch(std::function<void()> Apply, std::function<void()> Shown)
        : FApply(std::move(Apply)), FShown(std::move(Shown))
    {
    }
    bool eventFilter(QObject *Dialog, QEvent *Event) override
    {
        if (Event->type() == QEvent::Show || Event->type() == QEvent::WindowActivate)
            FApply();
        if (Event->type() == QEvent::Show)
            FShown();
        if (Event->type() == QEvent::LanguageChange)
            QTimer::singleShot(0, Dialog, FApply);
        return false;
    }

private:
    std::function<void()> FApply;
    std::function<void()> FShown;
};

void SetPrintOptions(QPrintDialog &Dialog, const TLxPrintDialogSpec &Spec)
{
    Dialog.setOption(QAbstractPrintDialog::PrintToFile,
                     (Spec.Options & poPrintToFile) != 0 &&
                         (Spec.Options & poDisablePrintToFile) == 0);
    Dialog.setOption(QAbstractPrintDialog::PrintPageRange, (Spec.Options & poPageNums) != 0);
    Dialog.setOption(QAbstractPrintDialog::PrintSelection, (Spec.Options & poSelection) != 0);
    Dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    if (Spec.MaxPage > 0)
        Dialog.setMinMax(Spec.MinPage, Spec.MaxPage);
    if (Spec.ToPage > 0)
        Dialog.setFromTo(Spec.FromPage, Spec.ToPage);
    Dialog.setPrintRange(Spec.PrintRange == prSelection  ? QAbstractPrintDialog::Selection
                         : Spec.PrintRange == prPageNums ? QAbstractPrintDialog::PageRange
                                                         : QAbstractPrintDialog::AllPages);
}

void ReadPrintAnswer(const QPrintDialog &Dialog, const QPrinter &Printer,
                     TLxPrintDialogAnswer &Answer)
{
    Answer.Collate = Printer.collateCopies();
    Answer.PrintToFile = !Printer.outputFileName().isEmpty();
    Answer.PrintRange = Dialog.printRange() == QAbstractPrintDialog::Selection ? prSelection
                        : Dialog.printRange() == QAbstractPrintDialog::PageRange
                            ? prPageNums
                            : prAllPages;
    Answer.FromPage = Dialog.fromPage();
    Answer.ToPage = Dialog.toPage();
    // A printer that makes its copies itself answers one copy; the count
    // is then the printer's own.
    Answer.Copies = Printer.supportsMultipleCopies() ? 1 : Printer.copyCount();
}

class TLxQtDialogHost : public TLxDialogHost {
public:
    bool RunFileDialog(const TLxFileDialogSpec &Spec, TLxFileDialogAnswer &Answer) override
    {
        QFileDialog dialog(ParentOf(Spec.Parent));
        dialog.setObjectName(Spec.Save ? "LxSaveDialog" : "LxOpenDialog");
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(Spec.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode((Spec.Options & ofAllowMultiSelect) != 0 ? QFileDialog::ExistingFiles
                           : Spec.Save                              ? QFileDialog::AnyFile
                                                                    : QFileDialog::ExistingFile);
        QStringList filters;
        for (const auto &filter : Spec.Filters)
            filters << NameFilter(filter);
        if (!filters.isEmpty()) {
            dialog.setNameFilters(filters);
            if (Spec.FilterIndex >= 1 && Spec.FilterIndex <= filters.size())
                dialog.selectNameFilter(filters[Spec.FilterIndex - 1]);
        }
        if (!Spec.InitialDir.empty())
            dialog.setDirectory(Q(Spec.InitialDir));
        if (!Spec.FileName.empty())
            dialog.selectFile(Q(Spec.FileName));
        QString suffix = Q(Spec.DefaultExt);
        while (suffix.startsWith('*') || suffix.startsWith('.'))
            suffix.remove(0, 1);
        dialog.setDefaultSuffix(suffix);
        // Qt sets its buttons' texts again as folders load and the selection
        // changes: the texts are set again after each (as at every folder
        // change of the platform's dialog).
        const auto apply = [&dialog, &Spec] { SetFileDialogTexts(dialog, Spec); };
        apply();
        QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog, apply);
        QObject::connect(&dialog, &QFileDialog::currentChanged, &dialog, apply);
        if (auto *model = dialog.findChild<QFileSystemModel *>())
            QObject::connect(model, &QFileSystemModel::directoryLoaded, &dialog, apply);
        QTimer::singleShot(0, &dialog, apply);
        if (Spec.Centre)
            CentreDialog(&dialog, ParentOf(Spec.Parent));
        if (dialog.exec() != QDialog::Accepted)
            return false;
        const QStringList chosen = dialog.selectedFiles();
        Answer.Names.clear();
        if (chosen.size() > 1) {
            Answer.Names.push_back(dialog.directory().absolutePath().toStdString());
            for (const QString &file : chosen)
                Answer.Names.push_back(file.toStdString());
        } else if (!chosen.isEmpty()) {
            Answer.Names.push_back(chosen.front().toStdString());
        }
        Answer.FilterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
        return !Answer.Names.empty();
    }

    bool RunColorDialog(TLxColorDialogSpec &Spec) override
    {
        for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i)
            if (Spec.CustomColors[i] >= 0)
                QColorDialog::setCustomColor(i, FromRgb(static_cast<uint32_t>(Spec.CustomColors[i])));
        QColorDialog dialog(FromRgb(Spec.Color), ParentOf(Spec.Parent));
        dialog.setObjectName("LxColorDialog");
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        if (Spec.Dictionary)
            dialog.setWindowTitle(Q(TranslateText(Spec.Dictionary, "Color")));
        // Centred at its show, when its layout has given it its size.
        QWidget *parent = ParentOf(Spec.Parent);
        TActivationWatch watch([] {}, [&dialog, &Spec, parent] {
            if (Spec.Centre)
                CentreDialog(&dialog, parent);
        });
        dialog.installEventFilter(&watch);
        const bool confirmed = dialog.exec() == QDialog::Accepted;
        dialog.removeEventFilter(&watch);
        if (!confirmed)
            return false;
        Spec.Color = ToRgb(dialog.selectedColor());
        for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i)
            Spec.CustomColors[i] = static_cast<int>(ToRgb(QColorDialog::customColor(i)));
        return true;
    }

    // Qt's print and page set-up dialogs (its own widgets on this platform)
    // over the Qt printer, or over one made like the given printer.
    bool RunPrintDialog(const TLxPrintDialogSpec &Spec, TLxPrintDialogAnswer &Answer) override
    {
        QPrinter own;
        auto *qtPrinter = dynamic_cast<TLxQtPrinter *>(Spec.Printer);
        QPrinter &printer = qtPrinter ? qtPrinter->Printer() : own;
        if (Spec.Printer && !qtPrinter) {
            if (!Spec.Printer->DeviceName().empty())
                own.setPrinterName(Q(Spec.Printer->DeviceName()));
            own.setCopyCount(std::max(1, Spec.Printer->Copies()));
        }
        if (!Spec.Setup) {
            printer.setCollateCopies(Spec.Collate);
            if (Spec.Copies >= 1)
                printer.setCopyCount(Spec.Copies);
        }
        std::unique_ptr<QDialog> dialog;
        if (Spec.Setup) {
            dialog = std::make_unique<QPageSetupDialog>(&printer, ParentOf(Spec.Parent));
            dialog->setObjectName("LxPrinterSetupDialog");
        } else {
            auto print = std::make_unique<QPrintDialog>(&printer, ParentOf(Spec.Parent));
            SetPrintOptions(*print, Spec);
            print->setObjectName("LxPrintDialog");
            dialog = std::move(print);
        }
        MarkPrintControls(*dialog, Spec.Setup);
        const TLxDialogKind kind = Spec.Setup ? TLxDialogKind::PrintSetup : TLxDialogKind::Print;
        QDialog *shown = dialog.get();
        const auto apply = [shown, kind, &Spec] {
            if (Spec.Dictionary || Spec.ModuleTexts)
                TranslateDialogWidgets(shown, kind, Spec.Dictionary);
        };
        TActivationWatch watch(apply, [shown, &Spec] {
            if (Spec.Centre)
                CentreDialog(shown, ParentOf(Spec.Parent));
        });
        dialog->installEventFilter(&watch);
        apply();
        const bool confirmed = dialog->exec() == QDialog::Accepted;
        dialog->removeEventFilter(&watch);
        if (!confirmed)
            return false;
        Answer.Device = printer.printerName().toStdString();
        if (Spec.Printer && !qtPrinter)
            Spec.Printer->SetCopies(printer.copyCount());
        if (!Spec.Setup)
            ReadPrintAnswer(static_cast<QPrintDialog &>(*dialog), printer, Answer);
        return true;
    }

private:
    // Colours as the platform keeps them: red in the low byte.
    static QColor FromRgb(uint32_t Value)
    {
        return QColor(Value & 0xFF, (Value >> 8) & 0xFF, (Value >> 16) & 0xFF);
    }
    static uint32_t ToRgb(const QColor &Colour)
    {
        return static_cast<uint32_t>(Colour.red()) | (static_cast<uint32_t>(Colour.green()) << 8) |
               (static_cast<uint32_t>(Colour.blue()) << 16);
    }
};

} // namespace

void InstallLxDialogs()
{
    static TLxQtDialogHost host;
    static TLxQtTextBridge *bridge = nullptr;
    SetLxDialogHost(&host);
    if (!bridge && qApp) {
        bridge = new TLxQtTextBridge;
        bridge->setParent(qApp);
        QApplication::installTranslator(bridge);
    }
}

void TranslateDialogWidgets(QWidget *Dialog, TLxDialogKind Kind,
                            const TLxDictionary *Dictionary, const std::string &Title,
                            bool ModuleTexts)
{
    const TLxDialogTexts texts = TranslatedDialogTexts(Kind, nullptr, Title, ModuleTexts);
    Dialog->setWindowTitle(
        Q(Title.empty() ? TranslateText(Dictionary, DialogCaptionSource(Kind)) : Title));
    std::vector<QWidget *> unnamed;
    std::map<int, QWidget *> byId;
    for (QWidget *child : Dialog->findChildren<QWidget *>()) {
        const QVariant id = child->property("lxControlId");
        if (!id.isValid())
            continue;
        if (id.toInt() == 65535)
            unnamed.push_back(child);
        else
            byId[id.toInt()] = child;
    }
    size_t label = 0;
    for (const auto &[id, source] : texts.Controls) {
        QWidget *control = nullptr;
        if (id == 65535)
            control = label < unnamed.size() ? unnamed[label++] : nullptr;
        else if (auto found = byId.find(id); found != byId.end())
            control = found->second;
        if (!control)
            continue;
        TLxWidgetText window(control);
        TranslateWindowText(Dictionary, window, source, true);
    }
}

void CentreDialog(QWidget *Dialog, QWidget *Parent)
{
    QRect area;
    // A window inside another (an MDI child) by where it is on the screen.
    if (Parent && Parent->isWindow())
        area = Parent->frameGeometry();
    else if (Parent)
        area = QRect(Parent->mapToGlobal(QPoint(0, 0)), Parent->size());
    else if (QScreen *screen = QApplication::primaryScreen())
        area = screen->geometry();
    QRect frame = Dialog->frameGeometry();
    frame.moveCenter(area.center());
    // A window near the screen's edge (a panel at the bottom) still gets
    // its dialog whole on the screen.
    QScreen *screen = Parent ? Parent->screen() : QApplication::primaryScreen();
    if (screen) {
        const QRect room = screen->availableGeometry();
        frame.moveLeft(std::clamp(frame.left(), room.left(),
                                  std::max(room.left(), room.right() - frame.width() + 1)));
        frame.moveTop(std::clamp(frame.top(), room.top(),
                                 std::max(room.top(), room.bottom() - frame.height() + 1)));
    }
    Dialog->move(frame.topLeft());
}

std::unique_ptr<TFindDialog> MakeFindDialog(QWidget *Parent, bool Replace)
{
    std::unique_ptr<TFindDialog> dialog = Replace ? std::make_unique<TReplaceDialog>(Parent)
                                                  : std::make_unique<TFindDialog>(Parent);
    const TLxDictionary *dictionary = IsDefaultDictionaryOpen() ? DefaultDictionary() : nullptr;
    TranslateDialogWidgets(dialog.get(), Replace ? TLxDialogKind::Replace : TLxDialogKind::Find,
                           dictionary, {}, true);
    return dialog;
}

bool LxChooseFont(QWidget *Parent, QFont &Font)
{
    QFontDialog dialog(Font, Parent);
    dialog.setObjectName("LxFontDialog");
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    MarkFontControls(dialog);
    const auto apply = [&dialog] {
        TranslateDialogWidgets(&dialog, TLxDialogKind::Font, OpenDefaultDictionary(), {}, true);
    };
    TActivationWatch watch(apply, [&dialog, Parent] { CentreDialog(&dialog, Parent); });
    dialog.installEventFilter(&watch);
    apply();
    const bool chosen = dialog.exec() == QDialog::Accepted;
    dialog.removeEventFilter(&watch);
    if (chosen)
        Font = dialog.selectedFont();
    return chosen;
}

bool LxInputQuery(QWidget *Parent, const std::string &Caption, const std::string &Prompt,
                  std::string &Value)
{
    QInputDialog dialog(Parent);
    dialog.setObjectName("LxInputQuery");
    dialog.setWindowTitle(Q(Caption));
    dialog.setLabelText(Q(Prompt));
    dialog.setTextValue(Q(Value));
    const TLxDictionary *dictionary = OpenDefaultDictionary();
    dialog.setOkButtonText(Q(TranslateText(dictionary, "OK")));
    dialog.setCancelButtonText(Q(TranslateText(dictionary, "Cancel")));
    TActivationWatch watch([] {}, [&dialog, Parent] { CentreDialog(&dialog, Parent); });
    dialog.installEventFilter(&watch);
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    dialog.removeEventFilter(&watch);
    if (confirmed)
        Value = dialog.textValue().toStdString();
    return confirmed;
}

bool LxChooseColour(QWidget *Parent, uint32_t &Colour)
{
    TLxColorDialog dialog;
    dialog.ModuleTexts = TLxDialogModule::Installed(TLxDialogKind::Color);
    dialog.Parent = Parent;
    dialog.Color = Colour;
    if (!dialog.Execute())
        return false;
    Colour = dialog.Color;
    return true;
}

int TLxQtPrinter::Copies() const
{
    return FPrinter.copyCount();
}

void TLxQtPrinter::SetCopies(int Copies)
{
    FPrinter.setCopyCount(std::max(1, Copies));
}

std::string TLxQtPrinter::DeviceName() const
{
    return FPrinter.printerName().toStdString();
}

void TLxQtPrinter::SetDevice(const std::string &Name)
{
    if (FPrinter.printerName() != Q(Name))
        FPrinter.setPrinterName(Q(Name));
}

bool LxPrint(QWidget *Parent, QPrinter &Printer, int &Copies)
{
    TLxQtPrinter printer(Printer);
    TLxPrintDialog dialog(&printer);
    dialog.ModuleTexts = TLxDialogModule::Installed(TLxDialogKind::Print);
    dialog.Parent = Parent;
    dialog.Options = poPrintToFile;
    dialog.SetCopies(printer.Copies());
    dialog.Collate = Printer.collateCopies();
    if (!dialog.Execute())
        return false;
    Copies = Printer.supportsMultipleCopies() ? 1 : std::max(1, dialog.Copies());
    return true;
}

bool LxPrinterSetup(QWidget *Parent, QPrinter &Printer)
{
    TLxQtPrinter printer(Printer);
    TLxPrinterSetupDialog dialog(&printer);
    dialog.ModuleTexts = TLxDialogModule::Installed(TLxDialogKind::PrintSetup);
    dialog.Parent = Parent;
    return dialog.Execute();
}

std::optional<std::string> LxChooseFile(QWidget *Parent, const TFileRequest &Request)
{
    const bool save = Request.Kind == TFileDialogKind::Save;
    TLxSaveDialog saveDialog;
    TLxOpenDialog openDialog;
    TLxOpenDialog &dialog = save ? saveDialog : openDialog;
    dialog.ModuleTexts = TLxDialogModule::Installed(save ? TLxDialogKind::SaveNew
                                                         : TLxDialogKind::OpenNew);
    dialog.Parent = Parent;
    dialog.Title = Request.Title;
    dialog.Filter = Request.Filter;
    dialog.SetInitialDir(Request.InitialDir);
    dialog.FileName = Request.FileName;
    dialog.DefaultExt = Request.DefaultExt;
    if (!dialog.Execute())
        return std::nullopt;
    return dialog.FileName;
}

} // namespace orv
