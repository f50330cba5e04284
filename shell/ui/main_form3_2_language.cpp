// The main window's language: its translator, the "Select Language" command
// and the texts it sets while it runs, set again after a language change.
#include "shell/ui/main_form3_2.h"

#include "components/toolbar/ui/TbCore.h"
#include "components/toolbar/ui/TbCtls.h"
#include "engine/core/Mess.h"
#include "localise/LxHooks.h"
#include "localise/LxTextDictionary.h"
#include "localise/ui/LxLanguageDialog.h"
#include "localise/ui/LxQtTranslator.h"
#include "platform/FormatSettings.h"
#include "platform/IniFile.h"
#include "platform/ui/ModalRunner.h"
#include "shell/ui/ShellLxAdapters.h"
#include "shell/ui/ShellStatusBar.h"
#include "shell/ui/TranslatedText.h"

#include <QDialog>

#include <exception>

namespace orv {

void TMainForm::AttachFormTranslator() {
    RegisterShellLxAdapters();
    TLxQtTranslator *tran = AttachTranslator(this, "TMainForm");
    // Floating tool windows leave the window's children but stay its own.
    tran->ExtraObjects = [this] {
        std::vector<QObject *> windows;
        for (TCustomToolWindow *w : TCustomToolWindow::ToolWindowsOf(this))
            if (w->parent() != this && !isAncestorOf(w))
                windows.push_back(w);
        return windows;
    };
    tran->Translator().OnAfterTranslate = [this](TLxCustomTranslator &) { RefreshChangingTexts(); };
    // Each dialog the program runs carries a translator of its own too.
    SetModalPreparer([](QDialog &Dialog) {
        if (!TranslatorOf(&Dialog))
            AttachTranslator(&Dialog,
                             QString(Dialog.metaObject()->className()).section("::", -1).toStdString());
    });
}

// The dialog's choice becomes the dictionary's language; numbers keep "."
// and "," whatever the language brings. The language in use is stored in
// any case.
void TMainForm::SelectLanguageClick() {
    TLxTextDictionary &dictionary = Mess().Dictionary();
    int chosen = 0;
    try {
        if (SelectLanguage(this, &dictionary, "", chosen, 0, 0)) {
            dictionary.SetLanguage(chosen);
            FormatSettings().DecimalSeparator = ".";
            FormatSettings().ThousandSeparator = ",";
        }
    } catch (const std::exception &Error) {
        HandleApplicationException(this, Error);
        return;
    }
    TIniFile(FMainIni).WriteInteger("Default Settings", "PrimaryLanguage", dictionary.Language());
    BindHelpItems();
    UpdateCaption();
}

// Texts the window composes from its state are made again in the new
// language rather than translated from what they showed last.
void TMainForm::RefreshChangingTexts() {
    if (!FShown)
        return;
    ShowUnits();
    TToolbarButton *skip = Button(TMainButton::BlockSkip);
    FStatusBar1->SetFitted(
        2, QString::fromStdString(Mess().Translate(skip->Tag == 1 ? "Skip Block ON"
                                                                  : "Skip Block OFF")));
    TToolbarButton *mode = Button(TMainButton::SingleBlock);
    mode->SetCaption(QString::fromStdString(
        Mess().Translate(mode->Down() ? "Single Step" : "Continuous")));
    RefreshModalLabels();
    // Captions of the new language fitted on their buttons again.
    for (TToolbar *bar : Toolbars())
        ApplyToolbarButtonStyle(bar);
    // The cycle time keeps its time: only its word changes.
    const QString cycle = FStatusBar1->Text(3);
    const QString lead = cycle.startsWith(' ') ? " " : "";
    FStatusBar1->SetFitted(3, lead + QTr("Cycle time") + " " + cycle.section(' ', -1));
    UpdateCaption();
}

} // namespace orv
