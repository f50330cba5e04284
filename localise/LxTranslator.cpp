#include "localise/LxTranslator.h"

#include "localise/LxCustomDictionary.h"
#include "localise/LxErrors.h"
#include "platform/NumberText.h"
#include "localise/LxLanguage.h"
#include "localise/LxLocales.h"

#include <algorithm>
#include <cctype>
#include <typeinfo>

namespace orv {

namespace {

std::string WithoutFirstAmpersand(const std::string &Value)
{
    const size_t at = Value.find('&');
    if (at == std::string::npos)
        return Value;
    return Value.substr(0, at) + Value.substr(at + 1);
}

bool IsGenericFormClass(const std::string &Name)
{
    return Name == "TForm" || Name == "TCustomForm" || Name == "TComponent";
}

// The length of the UTF-8 character that starts at Text[At].
size_t CharLength(const std::string &Text, size_t At)
{
    const auto lead = static_cast<unsigned char>(Text[At]);
    size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return std::min(length, Text.size() - At);
}

// The key a character stands for: ASCII letters upper-cased, others as they are.
std::string KeyOf(const std::string &Text, size_t At)
{
    std::string key = Text.substr(At, CharLength(Text, At));
    if (key.size() == 1)
        key[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(key[0])));
    return key;
}

bool IsKeyCharacter(const std::string &Text, size_t At)
{
    const auto c = static_cast<unsigned char>(Text[At]);
    return c >= 0xC0 || std::isalnum(c) != 0;
}

// The key after a caption's hot-key "&" ("&&" is a plain ampersand); empty
// when it has none.
std::string HotKeyOf(const std::string &Caption)
{
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&')
            continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return KeyOf(Caption, i + 1);
    }
    return {};
}

std::vector<std::unique_ptr<TLxModule>> &Modules()
{
    static std::vector<std::unique_ptr<TLxModule>> modules;
    return modules;
}

struct TSystemCommand {
    int Command;
    const char *Caption;
};

const TSystemCommand SystemCommands[] = {
    {61440, "&Size"},          {61456, "&Move"},       {61472, "Mi&nimize"},
    {61488, "Ma&ximize"},      {61504, "&Next"},       {61520, "&Previous"},
    {61536, "&Close"},         {61552, "&Vertical Scroll"}, {61568, "&Horizontal Scroll"},
    {61584, "&Mouse"},         {61696, "&Key"},        {61712, "&Arrange"},
    {61728, "&Restore"},       {61744, "&Task List"},  {61760, "&Screen Saver"},
    {61776, "&Hot Key"},       {61792, "&Default"},    {61808, "&Monitor Power"},
};

} // namespace

// --- TLxCustomTranslator ----------------------------------------------------

TLxCustomTranslator::~TLxCustomTranslator()
{
    Unregister();
}

void TLxCustomTranslator::Unregister()
{
    if (FDictionary && FActive)
        FDictionary->UnregisterTranslator(this);
}

void TLxCustomTranslator::SetDictionaryName(const std::string &Value)
{
    if (Value == FDictionaryName)
        return;
    FDictionary = TLxDictionaries::Find(Value);
    FDictionaryName = Value;
}

void TLxCustomTranslator::SetDictionary(TLxDictionary *Value)
{
    if (Value == FDictionary)
        return;
    if (FActive)
        Deactivate();
    FDictionary = Value;
    if (Value)
        FDictionaryName = Value->DictionaryName();
}

void TLxCustomTranslator::DictionaryChanged(bool LanguageChanged, bool LocaleChanged)
{
    if (LanguageChanged && OnLanguageChange)
        OnLanguageChange(this);
    if (LocaleChanged && OnLocaleChange)
        OnLocaleChange(this);
}

void TLxCustomTranslator::Close()
{
    Unregister();
    FDictionary = nullptr;
    FActive = false;
    FScaled = false;
    FMirrored = false;
}

// --- TLxTranslator: opening and closing --------------------------------------

TLxTranslator::~TLxTranslator()
{
    Unregister();
    FActive = false;
}

void TLxTranslator::Open()
{
    if (FActive) {
        Translate();
        return;
    }
    if (!FDictionary) {
        if (TLxDictionaries::Count() == 0) {
            const TLxComponent *root = Root();
            throw ELxError("No dictionary has been assigned to the translator component (" +
                           FName + " on \"" + (root ? root->Name() : std::string()) +
                           "\" form)");
        }
        FDictionary = TLxDictionaries::Find(FDictionaryName);
        if (!FDictionary)
            FDictionary = TLxDictionaries::Item(0);
    }
    if (!FDictionary->IsAvailable() || FTargets.Empty())
        return;
    if (!FDictionary->Active())
        FDictionary->Open();
    if (!FRoot)
        FRoot = FOwner;
    FOwnFontName.clear();
    FOwnFontSize = 0;
    if (FRoot && FRoot->IsForm())
        FRoot->FontInfo(FOwnFontName, FOwnFontSize);
    Translate();
    TLxCustomTranslator::DictionaryChanged(true, true);
    FDictionary->RegisterTranslator(this);
    FActive = true;
}

void TLxTranslator::Loaded()
{
    if ((FOptions & lxtoAutoOpen) != 0 && (FDictionary || TLxDictionaries::Count() > 0))
        Open();
}

void TLxTranslator::DictionaryChanged(bool LanguageChanged, bool LocaleChanged)
{
    if (FActive && (FOptions & lxtoAutoTranslate) != 0)
        Open();
    TLxCustomTranslator::DictionaryChanged(LanguageChanged, LocaleChanged);
}

void TLxTranslator::Close()
{
    TLxCustomTranslator::Close();
    FMemory.clear();
    FTranslated.clear();
    FRoot = nullptr;
}

void TLxTranslator::Deactivate()
{
    if (FActive) {
        Unregister();
        FDictionary = nullptr;
        Translate();
    }
    Close();
}

void TLxTranslator::TranslateComponent(TLxComponent *Component)
{
    FRoot = Component;
    Open();
}

void TLxTranslator::RevertAndClose()
{
    if (TLxDictionary *dictionary = FDictionary) {
        const TLxDictionaryOptions options = dictionary->Options();
        const int localeId = MakeLangId(dictionary->PrimaryLanguage(), dictionary->SubLanguage());
        dictionary->SetOptions(options & ~static_cast<unsigned>(lxdoAutoTranslate));
        dictionary->SetLanguage(0);
        Open();
        dictionary->SetLocaleId(localeId);
        dictionary->SetOptions(options);
    }
    Close();
}

// --- One pass ---------------------------------------------------------------

const TLxLanguage *TLxTranslator::CurrentLanguage() const
{
    if (!FDictionary || !FDictionary->Active())
        return nullptr;
    return &FDictionary->CurrentLanguage();
}

bool TLxTranslator::LanguageIsRightToLeft() const
{
    const TLxLanguage *language = CurrentLanguage();
    return language && language->TextClass() == 2;
}

std::vector<TLxComponent *> TLxTranslator::HotKeyMenus()
{
    std::vector<TLxComponent *> menus;
    if (TLxComponent *root = Root()) {
        if (root->IsHotKeyMenu())
            menus.push_back(root);
        for (TLxComponent *component : root->Components())
            if (component->IsHotKeyMenu())
                menus.push_back(component);
    }
    return menus;
}

void TLxTranslator::Translate()
{
    TLxComponent *root = Root();
    FTranslated.clear();
    FReadingOrder = LanguageIsRightToLeft() ? lxroRightToLeft : lxroLeftToRight;
    if (OnBeforeTranslate)
        OnBeforeTranslate(*this);
    if (!root)
        return;
    if (CurrentLanguage() && (FOptions & lxtoCheckFont) != 0 && root->IsForm())
        CheckFont();
    TranslateBranch(root, 0);
    for (TLxComponent *menu : HotKeyMenus())
        menu->SetItemCaptions(AssignHotKeys(menu->ItemCaptions()));
    if ((FOptions & lxtoTranslateSystemMenu) != 0 && CurrentLanguage()) {
        std::vector<TLxSystemMenuItem> items = root->SystemMenu();
        if (!items.empty()) {
            TranslateSystemMenu(FDictionary, items);
            root->SetSystemMenu(items);
        }
    }
    ScaleForFarEast(root);
    if ((FOptions & lxtoMirrorBiDirectional) != 0) {
        const bool mirrored = FReadingOrder != FNativeLayout;
        if (mirrored != FMirrored && root->IsWindowed())
            root->RedrawFrame();
        FMirrored = mirrored;
    }
    if (OnAfterTranslate)
        OnAfterTranslate(*this);
}

void TLxTranslator::ScaleForFarEast(TLxComponent *Root)
{
    if (!CurrentLanguage() || (FOptions & lxtoScaleMultiByte) == 0 || FMultiByteScale == 100 ||
        !Root->IsWindowed())
        return;
    const bool farEast = CurrentLanguage()->TextClass() == 1;
    if (farEast && !FScaled) {
        if (Root->IsForm() && Root->AutoScroll())
            throw ELxError("Cannot scale a form (" + Root->Name() +
                           ") that has AutoScroll property set True");
        Root->ScaleBy(FMultiByteScale, 100);
        FScaled = true;
    } else if (!farEast && FScaled) {
        Root->ScaleBy(100, FMultiByteScale);
        FScaled = false;
    } else {
        return;
    }
    if (OnScale)
        OnScale(*this, Root);
}

void TLxTranslator::CheckFont()
{
    const TLxLanguage *language = CurrentLanguage();
    TLxComponent *root = Root();
    if (!language || !root)
        return;
    const std::string name = language->FontName.empty() ? FOwnFontName : language->FontName;
    const int size = language->FontSize == 0 ? FOwnFontSize : language->FontSize;
    root->SetFont(name, size, language->CharSet);
}

void TLxTranslator::TranslateBranch(TLxComponent *Component, TLxRestrictions Restrictions)
{
    if (Component->IsOCX() && (FOptions & lxtoTranslateOCX) == 0)
        return;
    if (OnRestrictComponent)
        OnRestrictComponent(*this, Component, Restrictions);
    const TLxRestrictions owned = (Restrictions & (1u << 4)) != 0 ? 0 : Restrictions;
    for (TLxComponent *child : Component->Components())
        if (!child->IsForm())
            TranslateBranch(child, owned);
    if ((Restrictions & 1u) == 0)
        TranslateObject(Component, Restrictions);
    if ((Restrictions & 2u) == 0)
        TranslateItems(Component);
    if ((FOptions & lxtoMirrorBiDirectional) != 0)
        ApplyMirroring(Component, Restrictions);
    if (OnTranslate)
        OnTranslate(*this, Component);
    if (Component->IsControl())
        Component->Invalidate();
}

void TLxTranslator::TranslateItems(TLxComponent *Control)
{
    for (const auto &module : Modules())
        if (module->TranslateItems(*this, Control))
            return;
}

// --- Properties -------------------------------------------------------------

bool TLxTranslator::IsTarget(TLxObject *Object, const std::string &Property) const
{
    return FTargets.IsTarget(Object->ClassName(), Property);
}

void TLxTranslator::TranslateObject(TLxObject *Object, TLxRestrictions Restrictions)
{
    if (std::find(FTranslated.begin(), FTranslated.end(), Object) != FTranslated.end())
        return;
    FTranslated.push_back(Object);
    bool translate = true;
    if (OnRestrictObject)
        OnRestrictObject(*this, Object, translate);
    if (!translate)
        return;
    TLxComponent *component = Object->AsComponent();
    const bool directionChanging = FMirrored != (FReadingOrder != FNativeLayout);
    const bool integers = (FOptions & lxtoUpdateLocaleProperty) != 0 || directionChanging;
    for (TLxProperty &property : Object->Properties()) {
        if (property.Kind == TLxPropertyKind::Integer && !integers)
            continue;
        bool allowed = true;
        if (OnRestrictProperty)
            OnRestrictProperty(*this, Object, property.Name, allowed);
        if (allowed)
            TranslateProperty(Object, component, property, Restrictions);
    }
}

void TLxTranslator::TranslateProperty(TLxObject *Object, TLxComponent *Component,
                                      TLxProperty &Property, TLxRestrictions Restrictions)
{
    const std::string componentName =
        Component && Component != Root() ? Component->Name() : std::string();
    switch (Property.Kind) {
    case TLxPropertyKind::Integer:
        if (Component && SameText(Property.Name, "Locale") && (Restrictions & 4u) == 0)
            Property.SetInteger(CurrentLanguage() ? CurrentLanguage()->LocaleId() : 0);
        break;
    case TLxPropertyKind::String: {
        if (Component && SameText(Property.Name, "Name"))
            break;
        if (!IsTarget(Object, Property.Name))
            break;
        const std::string value = Property.Get();
        if (!value.empty())
            Property.Set(TranslateValue(Object, componentName, value, Property.Name));
        break;
    }
    case TLxPropertyKind::Strings:
        if (!IsTarget(Object, Property.Name))
            break;
        if (Property.ComboItems && Component && !Component->Visible())
            break;
        TranslateLines(Object, componentName, Property);
        break;
    case TLxPropertyKind::Collection:
        for (TLxObject *item : Property.Items)
            TranslateObject(item, Restrictions);
        break;
    case TLxPropertyKind::Font:
        if ((Restrictions & (1u << 5)) == 0)
            TranslateFont(Object, Component, Property);
        break;
    case TLxPropertyKind::Object: {
        if (!Property.Object)
            break;
        TLxComponent *value = Property.Object->AsComponent();
        if (value) {
            if (!Component || value->Owner() == Component->Owner())
                break;
        }
        TranslateObject(Property.Object, Restrictions);
        break;
    }
    }
}

void TLxTranslator::TranslateLines(TLxObject *Object, const std::string &ComponentName,
                                   TLxProperty &Property)
{
    std::vector<std::string> lines = Property.GetLines();
    for (std::string &line : lines)
        line = TranslateValue(Object, ComponentName, line, Property.Name);
    Property.SetLines(lines);
}

void TLxTranslator::TranslateFont(TLxObject *Object, TLxComponent * /*Component*/,
                                  TLxProperty &Property)
{
    const TLxLanguage *language = CurrentLanguage();
    if (!language || FCharsetChange == lxccDisabled || Object->ClassName() == "TColumnTitle")
        return;
    if (Property.GetCharSet() != language->CharSet)
        Property.SetCharSet(language->CharSet);
}

// --- Values and the memory --------------------------------------------------

std::string TLxTranslator::TranslateValue(TLxObject *Object, const std::string &ComponentName,
                                          const std::string &Value,
                                          const std::string &PropertyName)
{
    if (Value.empty())
        return Value;
    const TLxComponent *component = Object->AsComponent();
    const bool hotKeys = component && component->IsMenuItem();
    auto strip = [hotKeys](const std::string &Text) {
        return hotKeys ? WithoutFirstAmpersand(Text) : Text;
    };
    const std::string stripped = strip(Value);
    for (TMemoryItem &item : FMemory) {
        if (item.Object != Object || item.PropertyName != PropertyName ||
            item.CurrentStripped != stripped)
            continue;
        const std::string result = LookupInitial(item.Initial, item.ComponentName, hotKeys);
        item.CurrentStripped = strip(result);
        return result;
    }
    const std::string initial = SourceOf(Value);
    const std::string result = LookupInitial(initial, ComponentName, hotKeys);
    FMemory.push_back(
        {Object, ComponentName, PropertyName, initial, strip(initial), strip(result)});
    return result;
}

// Windows that translated a text themselves as they were built hand over
// the translation: its source in the current language's table is taken as
// the text first found, so that other languages are reached from it.
std::string TLxTranslator::SourceOf(const std::string &Value) const
{
    const auto *dictionary = dynamic_cast<const TLxCustomDictionary *>(FDictionary);
    if (!dictionary || !dictionary->Active())
        return Value;
    std::string translation;
    if (dictionary->Lookup(Value, translation))
        return Value;
    for (int i = 0; i < dictionary->GetTranslationCount(); ++i) {
        const TLxTranslation &row = dictionary->Translation(i);
        if (row.State != 2 && row.Translation == Value)
            return row.Source;
    }
    return Value;
}

void TLxTranslator::Forget(TLxObject *Object)
{
    FMemory.erase(std::remove_if(FMemory.begin(), FMemory.end(),
                                 [Object](const TMemoryItem &I) { return I.Object == Object; }),
                  FMemory.end());
    FStates.erase(std::remove_if(FStates.begin(), FStates.end(),
                                 [Object](const TBidirectionalState &S) {
                                     return static_cast<TLxObject *>(S.Control) == Object;
                                 }),
                  FStates.end());
    FTranslated.erase(std::remove(FTranslated.begin(), FTranslated.end(), Object),
                      FTranslated.end());
}

std::string TLxTranslator::LookupInitial(const std::string &Value,
                                         const std::string &ComponentName, bool HotKeyMode) const
{
    if (!FDictionary || !FDictionary->Active())
        return Value;
    const std::string stripped = HotKeyMode ? WithoutFirstAmpersand(Value) : Value;
    const bool removed = stripped != Value;
    std::string translation;
    if (FDictionary->IsContextTable()) {
        std::vector<std::string> classes;
        if (const TLxComponent *root = Root()) {
            classes.push_back(root->ClassName());
            for (const std::string &ancestor : root->AncestorClassNames())
                if (!IsGenericFormClass(ancestor))
                    classes.push_back(ancestor);
        }
        for (const std::string &context : classes) {
            if (FDictionary->LookupInContext(Value, context, translation, ComponentName) ||
                (removed &&
                 FDictionary->LookupInContext(stripped, context, translation, ComponentName)))
                return ApplyMissingTranslation(*FDictionary, Value, translation, true);
        }
        return TranslateText(FDictionary, Value);
    }
    bool found = FDictionary->Lookup(Value, translation);
    if (!found && removed) {
        found = FDictionary->Lookup(stripped, translation);
        // A language that keeps the text keeps its designed hot key too.
        if (found && translation == stripped)
            return Value;
    }
    return ApplyMissingTranslation(*FDictionary, Value, translation, found);
}

// --- Mirroring --------------------------------------------------------------

TLxTranslator::TBidirectionalState *TLxTranslator::StateOf(TLxComponent *Control)
{
    for (TBidirectionalState &state : FStates)
        if (state.Control == Control)
            return &state;
    FStates.push_back({Control, false, Control->Left(), 0});
    return &FStates.back();
}

void TLxTranslator::ApplyMirroring(TLxComponent *Component, TLxRestrictions Restrictions)
{
    bool changed = true;
    if (Component->IsControl()) {
        TBidirectionalState *state = StateOf(Component);
        changed = state->Layout != FReadingOrder;
        if ((Restrictions & 4u) == 0) {
            if (Component == Root()) {
                state->Layout = FReadingOrder;
                Component->SetLayout(FReadingOrder);
            } else if (FReadingOrder == FNativeLayout) {
                UnmirrorControl(Component);
            } else {
                MirrorControl(Component);
            }
        }
    }
    if ((Restrictions & 8u) == 0 && changed)
        MirrorSpecial(Component);
}

// A control is moved once: a module asked again for a control it has
// mirrored already would move it back.
void TLxTranslator::MirrorControl(TLxComponent *Control)
{
    TBidirectionalState *state = StateOf(Control);
    if (state->Mirrored)
        return;
    for (const auto &module : Modules())
        if (module->MirrorControl(*this, Control, *state))
            return;
    state->Mirrored = true;
    state->Layout = 1;
    Control->SetLayout(1);
    Control->SetLeft(Control->ParentClientWidth() - Control->Width() - Control->Left());
}

void TLxTranslator::UnmirrorControl(TLxComponent *Control)
{
    TBidirectionalState *state = StateOf(Control);
    if (!state->Mirrored)
        return;
    for (const auto &module : Modules())
        if (module->UnmirrorControl(*this, Control, *state))
            return;
    state->Mirrored = false;
    state->Layout = 0;
    Control->SetLayout(0);
    Control->SetLeft(state->OriginalLeft);
}

void TLxTranslator::MirrorSpecial(TLxComponent *Control)
{
    for (const auto &module : Modules())
        if (module->MirrorSpecial(*this, Control))
            return;
}

void TLxTranslator::RemirrorControl(TLxComponent *Control)
{
    if (!FMirrored || Control == Root())
        return;
    TBidirectionalState *state = StateOf(Control);
    if (state->Mirrored)
        Control->SetLeft(Control->ParentClientWidth() - Control->Width() - state->OriginalLeft);
}

void TLxTranslator::RemirrorAll()
{
    if (!FMirrored)
        return;
    for (TBidirectionalState &state : FStates) {
        if (!state.Mirrored || state.Control == Root())
            continue;
        const int left =
            state.Control->ParentClientWidth() - state.Control->Width() - state.OriginalLeft;
        if (state.Control->Left() != left)
            state.Control->SetLeft(left);
    }
}

// --- Hot keys, modules, system menu -------------------------------------------

std::vector<std::string> AssignHotKeys(const std::vector<std::string> &Captions)
{
    std::vector<std::string> result = Captions;
    std::vector<std::string> used;
    for (const std::string &caption : Captions)
        if (std::string key = HotKeyOf(caption); !key.empty())
            used.push_back(key);
    for (std::string &caption : result) {
        if (caption.empty() || !HotKeyOf(caption).empty())
            continue;
        for (size_t i = 0; i < caption.size(); i += CharLength(caption, i)) {
            if (!IsKeyCharacter(caption, i))
                continue;
            const std::string key = KeyOf(caption, i);
            if (std::find(used.begin(), used.end(), key) != used.end())
                continue;
            used.push_back(key);
            caption.insert(i, "&");
            break;
        }
    }
    return result;
}

bool TLxModules::Add(std::unique_ptr<TLxModule> Module)
{
    for (const auto &present : Modules())
        if (typeid(*present) == typeid(*Module))
            return false;
    Modules().push_back(std::move(Module));
    return true;
}

int TLxModules::Count()
{
    return static_cast<int>(Modules().size());
}

TLxModule *TLxModules::Item(int Index)
{
    return Modules()[Index].get();
}

std::string SystemMenuCaption(int Command)
{
    for (const TSystemCommand &entry : SystemCommands)
        if (entry.Command == Command)
            return entry.Caption;
    return {};
}

void TranslateSystemMenu(const TLxDictionary *Dictionary, std::vector<TLxSystemMenuItem> &Items)
{
    if (!Dictionary)
        return;
    for (TLxSystemMenuItem &item : Items) {
        const std::string caption = SystemMenuCaption(item.Command);
        if (item.Separator || caption.empty())
            continue;
        std::string text = TranslateText(Dictionary, caption);
        if (const size_t tab = item.Text.find('\t'); tab != std::string::npos)
            text += "\t" + item.Text.substr(tab + 1);
        item.Text = text;
    }
}

} // namespace orv
