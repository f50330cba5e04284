#include "localise/dialogs/LxDlgMod.h"

#include "localise/LxCustomDictionary.h"

#include <algorithm>

namespace orv {

namespace {

std::vector<TLxDialogKind> &Patched()
{
    static std::vector<TLxDialogKind> kinds;
    return kinds;
}

} // namespace

std::vector<TLxDialogKind> TLxDialogModule::Loaded()
{
    const TLxDialogKind kinds[] = {TLxDialogKind::OpenNew, TLxDialogKind::SaveNew,
                                   TLxDialogKind::Color,   TLxDialogKind::SaveNew,
                                   TLxDialogKind::Font,    TLxDialogKind::Print,
                                   TLxDialogKind::PrintSetup, TLxDialogKind::Find,
                                   TLxDialogKind::Replace};
    std::vector<TLxDialogKind> installed;
    for (TLxDialogKind kind : kinds)
        if (Install(kind))
            installed.push_back(kind);
    return installed;
}

bool TLxDialogModule::Install(TLxDialogKind Kind)
{
    if (Installed(Kind))
        return false;
    Patched().push_back(Kind);
    return true;
}

bool TLxDialogModule::Uninstall(TLxDialogKind Kind)
{
    auto found = std::find(Patched().begin(), Patched().end(), Kind);
    if (found == Patched().end())
        return false;
    Patched().erase(found);
    return true;
}

bool TLxDialogModule::Installed(TLxDialogKind Kind)
{
    return std::find(Patched().begin(), Patched().end(), Kind) != Patched().end();
}

TLxDialogTexts TranslatedDialogTexts(TLxDialogKind Kind, const TLxDictionary *Dictionary,
                                     const std::string &Title, bool ModuleTexts)
{
    TLxDialogTexts texts;
    texts.Caption =
        Title.empty() ? TranslateText(Dictionary, DialogCaptionSource(Kind)) : Title;
    for (const TLxControlText &control : DialogControlTexts(Kind)) {
        std::string source = control.Text;
        if (ModuleTexts && Kind == TLxDialogKind::SaveOld && control.Id == 1089)
            source = "List files of &type:";
        texts.Controls.emplace_back(control.Id, TranslateText(Dictionary, source));
    }
    return texts;
}

} // namespace orv
