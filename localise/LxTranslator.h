#pragma once
// The form translator: bound to a dictionary (by DictionaryName, usually
// "Dictionary1"), it walks its form's components and translates every text
// property its target list names, lists, nested objects, menus with their
// hot keys; it adapts the form's font, scales the form for Far-East
// languages and mirrors controls for right-to-left ones. Each text is
// remembered as first found, so that every later language change translates
// from it again. Plug-in modules (TLxModule) handle controls whose texts or
// mirroring the property walk does not reach.
// Errors: ELxError "No dictionary has been assigned to the translator
// component (%s on \"%s\" form)", "Cannot scale a form (X) that has
// AutoScroll property set True".

#include "localise/LxComponent.h"
#include "localise/LxDictionary.h"
#include "localise/LxTargets.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {

enum TLxTranslatorOption : unsigned {
    lxtoAutoTranslate = 1u << 0,
    lxtoCheckFont = 1u << 1,
    lxtoScaleMultiByte = 1u << 2,
    lxtoMirrorBiDirectional = 1u << 3,
    lxtoChangeFontCharset = 1u << 4,
    lxtoUpdateLocaleProperty = 1u << 5,
    lxtoAutoOpen = 1u << 6,
    lxtoTranslateSystemMenu = 1u << 7,
    lxtoTranslateOCX = 1u << 8,
    lxtoForceCharsetChange = 1u << 9,
};
using TLxTranslatorOptions = unsigned;
constexpr TLxTranslatorOptions lxtoDefault = lxtoAutoTranslate | lxtoCheckFont |
                                             lxtoScaleMultiByte | lxtoMirrorBiDirectional |
                                             lxtoAutoOpen | lxtoTranslateSystemMenu |
                                             lxtoTranslateOCX;

enum TLxCharsetChange { lxccDisabled, lxccNormal, lxccAll };
enum TLxReadingOrder { lxroLeftToRight, lxroRightToLeft };

// Flags passed down the component tree (bits): 0 properties not translated;
// 1 items not translated; 2 not mirrored, "Locale" not set; 3 modules not
// asked to mirror; 4 owned components start without restrictions; 5 font
// character sets unchanged.
using TLxRestrictions = unsigned;

class TLxCustomTranslator;
class TLxTranslator;

using TLxTranslateEvent = std::function<void(TLxCustomTranslator &)>;
using TLxTranslateNotifyEvent = std::function<void(TLxTranslator &, TLxComponent *)>;
using TLxRestrictComponentEvent =
    std::function<void(TLxTranslator &, TLxComponent *, TLxRestrictions &)>;
using TLxRestrictObjectEvent = std::function<void(TLxTranslator &, TLxObject *, bool &)>;
using TLxRestrictPropertyEvent =
    std::function<void(TLxTranslator &, TLxObject *, const std::string &, bool &)>;

// The dictionary binding and the registration with the dictionary.
class TLxCustomTranslator : public TLxTranslatorLink {
public:
    ~TLxCustomTranslator() override;

    const std::string &Name() const { return FName; }
    void SetName(const std::string &Value) { FName = Value; }
    const std::string &DictionaryName() const { return FDictionaryName; }
    // Binds the registered dictionary of that name (none when absent).
    void SetDictionaryName(const std::string &Value);
    TLxDictionary *Dictionary() const { return FDictionary; }
    // An active translator is deactivated before another dictionary is bound.
    void SetDictionary(TLxDictionary *Value);

    bool Active() const { return FActive; }
    bool Scaled() const { return FScaled; }
    bool Mirrored() const { return FMirrored; }

    virtual void Translate() {}
    void DictionaryChanged(bool LanguageChanged, bool LocaleChanged) override;
    void CloseTranslator() override { Close(); }
    virtual void Open() { FActive = true; }
    virtual void Close();
    virtual void Deactivate() { Close(); }

    TLxTranslateEvent OnBeforeTranslate;
    TLxTranslateEvent OnAfterTranslate;
    TNotifyEvent OnLocaleChange;
    TNotifyEvent OnLanguageChange;

protected:
    void Unregister();
    std::string FName;
    std::string FDictionaryName;
    TLxDictionary *FDictionary = nullptr;
    bool FActive = false;
    bool FScaled = false;
    bool FMirrored = false;
};

class TLxModule;

class TLxTranslator : public TLxCustomTranslator {
public:
    // Owner: the form the translator sits on (its root unless another is set).
    explicit TLxTranslator(TLxComponent *Owner = nullptr) : FOwner(Owner) {}
    ~TLxTranslator() override;

    TLxReadingOrder NativeLayout() const { return FNativeLayout; }
    void SetNativeLayout(TLxReadingOrder Value) { FNativeLayout = Value; }
    TLxTargetProperties &Targets() { return FTargets; }
    TLxCharsetChange CharsetChange() const { return FCharsetChange; }
    void SetCharsetChange(TLxCharsetChange Value) { FCharsetChange = Value; }
    TLxTranslatorOptions Options() const { return FOptions; }
    void SetOptions(TLxTranslatorOptions Value) { FOptions = Value; }
    int MultiByteScale() const { return FMultiByteScale; }
    void SetMultiByteScale(int Percent) { FMultiByteScale = Percent; }

    TLxComponent *Root() const { return FRoot ? FRoot : FOwner; }
    void Translate() override;
    void DictionaryChanged(bool LanguageChanged, bool LocaleChanged) override;
    void Open() override;
    void Close() override;
    void Deactivate() override;
    void TranslateObject(TLxObject *Object, TLxRestrictions Restrictions);
    void TranslateBranch(TLxComponent *Component, TLxRestrictions Restrictions);
    void CheckFont();
    void MirrorControl(TLxComponent *Control);
    void UnmirrorControl(TLxComponent *Control);
    void TranslateItems(TLxComponent *Control);
    void MirrorSpecial(TLxComponent *Control);
    void TranslateComponent(TLxComponent *Component);
    void TranslateForm(TLxComponent *Form) { TranslateComponent(Form); }
    void RevertAndClose();
    void RemirrorControl(TLxComponent *Control);
    void RemirrorAll();
    // What the form does once it has been built: open when asked to.
    void Loaded();
    // An object that no longer exists leaves the memory and the mirroring
    // states.
    void Forget(TLxObject *Object);

    // The value's translation in the current language, from the text that
    // the memory holds as its first one for this object and property.
    std::string TranslateValue(TLxObject *Object, const std::string &ComponentName,
                               const std::string &Value, const std::string &PropertyName);

    // The mirroring state of a control: mirrored, its Left when the state
    // was made, and the layout it was last given (0 or 1).
    struct TBidirectionalState {
        TLxComponent *Control = nullptr;
        bool Mirrored = false;
        int OriginalLeft = 0;
        int Layout = 0;
    };
    TBidirectionalState *StateOf(TLxComponent *Control);
    TLxReadingOrder ReadingOrder() const { return FReadingOrder; }

    TLxTranslateNotifyEvent OnTranslate;
    TLxTranslateNotifyEvent OnScale;
    TLxRestrictComponentEvent OnRestrictComponent;
    TLxRestrictObjectEvent OnRestrictObject;
    TLxRestrictPropertyEvent OnRestrictProperty;

private:
    struct TMemoryItem {
        TLxObject *Object;
        std::string ComponentName;
        std::string PropertyName;
        std::string Initial;
        std::string InitialStripped;
        std::string CurrentStripped;
    };
    bool IsTarget(TLxObject *Object, const std::string &Property) const;
    std::string SourceOf(const std::string &Value) const;
    std::string LookupInitial(const std::string &Value, const std::string &ComponentName,
                              bool HotKeyMode) const;
    void TranslateProperty(TLxObject *Object, TLxComponent *Component, TLxProperty &Property,
                           TLxRestrictions Restrictions);
    void TranslateLines(TLxObject *Object, const std::string &ComponentName,
                        TLxProperty &Property);
    void TranslateFont(TLxObject *Object, TLxComponent *Component, TLxProperty &Property);
    void ApplyMirroring(TLxComponent *Component, TLxRestrictions Restrictions);
    void ScaleForFarEast(TLxComponent *Root);
    std::vector<TLxComponent *> HotKeyMenus();
    const TLxLanguage *CurrentLanguage() const;
    bool LanguageIsRightToLeft() const;

    TLxComponent *FOwner;
    TLxComponent *FRoot = nullptr;
    TLxReadingOrder FNativeLayout = lxroLeftToRight;
    TLxTargetProperties FTargets;
    TLxCharsetChange FCharsetChange = lxccNormal;
    TLxTranslatorOptions FOptions = lxtoDefault;
    int FMultiByteScale = 100;
    TLxReadingOrder FReadingOrder = lxroLeftToRight;
    std::string FOwnFontName;
    int FOwnFontSize = 0;
    std::vector<TLxObject *> FTranslated;
    std::vector<TMemoryItem> FMemory;
    std::vector<TBidirectionalState> FStates;
};

// Gives every caption of one menu level that has no "&" a hot key before
// its first letter or digit that no sibling uses yet (a caption without a
// free one stays as it is).
std::vector<std::string> AssignHotKeys(const std::vector<std::string> &Captions);

// Plug-in module: each answers whether it handled the request.
class TLxModule {
public:
    virtual ~TLxModule() = default;
    virtual bool TranslateItems(TLxTranslator &, TLxComponent *) { return false; }
    virtual bool MirrorControl(TLxTranslator &, TLxComponent *,
                               TLxTranslator::TBidirectionalState &)
    {
        return false;
    }
    virtual bool UnmirrorControl(TLxTranslator &, TLxComponent *,
                                 TLxTranslator::TBidirectionalState &)
    {
        return false;
    }
    virtual bool MirrorSpecial(TLxTranslator &, TLxComponent *) { return false; }
};

// The process-wide module registry, asked in registration order.
class TLxModules {
public:
    // Ignored when a module of the same class is registered; owned after.
    static bool Add(std::unique_ptr<TLxModule> Module);
    static int Count();
    static TLxModule *Item(int Index);
};

// The system-menu captions by standard command (61440 SC_SIZE ...); empty
// for a command outside the table.
std::string SystemMenuCaption(int Command);
// Translates the items whose command the table knows; a shortcut after a TAB
// is kept. Nothing without a dictionary.
void TranslateSystemMenu(const TLxDictionary *Dictionary, std::vector<TLxSystemMenuItem> &Items);

} // namespace orv
