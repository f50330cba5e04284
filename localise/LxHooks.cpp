#include "localise/LxHooks.h"

#include "localise/LxCustomDictionary.h"
#include "localise/LxDictionary.h"
#include "platform/MessageService.h"

#include <map>

namespace orv {

namespace {

struct THookState {
    bool Installed = false;
    bool TranslationEnabled = true;
    std::map<int, std::string> Strings{
        {SmkcBkSp, "BkSp"},   {SmkcTab, "Tab"},   {SmkcEsc, "Esc"},   {SmkcEnter, "Enter"},
        {SmkcSpace, "Space"}, {SmkcPgUp, "PgUp"}, {SmkcPgDn, "PgDn"}, {SmkcEnd, "End"},
        {SmkcHome, "Home"},   {SmkcLeft, "Left"}, {SmkcUp, "Up"},     {SmkcRight, "Right"},
        {SmkcDown, "Down"},   {SmkcIns, "Ins"},   {SmkcDel, "Del"},   {SmkcShift, "Shift+"},
        {SmkcCtrl, "Ctrl+"},  {SmkcAlt, "Alt+"},
    };
};

THookState &Hooks()
{
    static THookState state;
    return state;
}

// Clears the enabled flag for the life of a translation, so that strings
// loaded meanwhile are not translated in turn; restored also on a throw.
class TTranslationGuard {
public:
    TTranslationGuard() { Hooks().TranslationEnabled = false; }
    ~TTranslationGuard() { Hooks().TranslationEnabled = true; }
    TTranslationGuard(const TTranslationGuard &) = delete;
    TTranslationGuard &operator=(const TTranslationGuard &) = delete;
};

std::string TranslateLoaded(const std::string &Text, int Identifier)
{
    if (Text.empty() || !Hooks().TranslationEnabled || !IsDefaultDictionaryOpen())
        return Text;
    TTranslationGuard guard;
    return TranslateInContext(DefaultDictionary(), Text, std::string(), std::to_string(Identifier));
}

// The name of a key among the resource strings. Translated: loaded through
// the translating loader, then once more through the default dictionary.
std::string KeyName(int Identifier, bool Translate)
{
    if (!Translate)
        return ResourceStringText(Identifier);
    const TResStringRec rec{Identifier};
    std::string name = TranslateResourceString(&rec);
    if (IsDefaultDictionaryOpen())
        name = TranslateText(DefaultDictionary(), name);
    return name;
}

// Keys with a one-character name on the keyboard (US layout).
char PunctuationKey(int Code)
{
    switch (Code) {
    case 186:
        return ';';
    case 187:
        return '=';
    case 188:
        return ',';
    case 189:
        return '-';
    case 190:
        return '.';
    case 191:
        return '/';
    case 192:
        return '`';
    case 219:
        return '[';
    case 220:
        return '\\';
    case 221:
        return ']';
    case 222:
        return '\'';
    default:
        return '\0';
    }
}

std::string ShortCutKeyName(int Code, bool Translate)
{
    static const std::map<int, int> named{
        {8, SmkcBkSp},  {9, SmkcTab},    {13, SmkcEnter}, {27, SmkcEsc},  {32, SmkcSpace},
        {33, SmkcPgUp}, {34, SmkcPgDn},  {35, SmkcEnd},   {36, SmkcHome}, {37, SmkcLeft},
        {38, SmkcUp},   {39, SmkcRight}, {40, SmkcDown},  {45, SmkcIns},  {46, SmkcDel},
    };
    if (auto found = named.find(Code); found != named.end())
        return KeyName(found->second, Translate);
    if ((Code >= '0' && Code <= '9') || (Code >= 'A' && Code <= 'Z'))
        return std::string(1, static_cast<char>(Code));
    if (Code >= 96 && Code <= 105)
        return std::string(1, static_cast<char>('0' + Code - 96));
    if (Code >= 112 && Code <= 135)
        return "F" + std::to_string(Code - 111);
    const char punctuation = PunctuationKey(Code);
    return punctuation != '\0' ? std::string(1, punctuation) : std::string();
}

std::string ShortCutText(uint16_t ShortCut, bool Translate)
{
    const std::string key = ShortCutKeyName(ShortCut & 0xFF, Translate);
    if (key.empty())
        return std::string();
    std::string text;
    if ((ShortCut & 0x2000) != 0)
        text += KeyName(SmkcShift, Translate);
    if ((ShortCut & 0x4000) != 0)
        text += KeyName(SmkcCtrl, Translate);
    if ((ShortCut & 0x8000) != 0)
        text += KeyName(SmkcAlt, Translate);
    return text + key;
}

// Whether a message's last character sorts above "." (a letter, "?", a
// digit): such a message gets a closing period. Multi-byte characters count
// as one character from their first byte.
bool NeedsPeriod(const std::string &Text)
{
    if (Text.empty())
        return false;
    size_t last = Text.size() - 1;
    while (last > 0 && (static_cast<unsigned char>(Text[last]) & 0xC0) == 0x80)
        --last;
    return static_cast<unsigned char>(Text[last]) > static_cast<unsigned char>('.');
}

} // namespace

void RegisterResourceString(int Identifier, const std::string &Text)
{
    Hooks().Strings[Identifier] = Text;
}

std::string ResourceStringText(int Identifier)
{
    const auto &strings = Hooks().Strings;
    const auto found = strings.find(Identifier);
    return found == strings.end() ? std::string() : found->second;
}

std::string LoadResString(const TResStringRec *Rec)
{
    return Hooks().Installed ? TranslateResourceString(Rec)
           : Rec == nullptr  ? std::string()
                             : ResourceStringText(Rec->Identifier);
}

std::string LoadStr(int Identifier)
{
    return Hooks().Installed ? TranslatedLoadStr(Identifier) : ResourceStringText(Identifier);
}

std::string ShortCutToText(uint16_t ShortCut)
{
    return ShortCutText(ShortCut, Hooks().Installed);
}

bool TranslationHooksInstalled()
{
    return Hooks().Installed;
}
void InstallTranslationHooks()
{
    Hooks().Installed = true;
}
void RemoveTranslationHooks()
{
    Hooks().Installed = false;
}

std::string TranslateResourceString(const TResStringRec *Rec)
{
    if (Rec == nullptr)
        return std::string();
    return TranslateLoaded(ResourceStringText(Rec->Identifier), Rec->Identifier);
}

std::string TranslatedLoadStr(int Identifier)
{
    return TranslateLoaded(ResourceStringText(Identifier), Identifier);
}

std::string TranslatedShortCutToText(uint16_t ShortCut)
{
    return ShortCutText(ShortCut, true);
}

TExceptionEvent &ApplicationOnException()
{
    static TExceptionEvent handler;
    return handler;
}

void HandleApplicationException(void *Sender, const std::exception &E)
{
    if (ApplicationOnException()) {
        ApplicationOnException()(Sender, E);
        return;
    }
    Messages().Show({"", E.what(), mtError, mbOK});
}

std::string TranslatedExceptionText(const std::exception &E)
{
    std::string text = E.what();
    if (IsDefaultDictionaryOpen())
        text = TranslateText(DefaultDictionary(), text);
    if (NeedsPeriod(text))
        text += '.';
    return text;
}

void ShowTranslatedException(void *Sender, const std::exception &E)
{
    Messages().Show({"", TranslatedExceptionText(E), mtError, mbOK});
}

void TranslateWindowText(const TLxDictionary *Dictionary, TLxWindowText &Window,
                         const std::string &Text, bool Widen)
{
    const std::string source = Text.empty() ? Window.Text() : Text;
    const std::string translated = TranslateText(Dictionary, source);
    Window.SetText(translated);
    if (!Widen)
        return;
    int width = Window.TextWidth(translated);
    if (width <= 0)
        return;
    if (Window.HasMark())
        width += 20;
    if (Window.Width() < width)
        Window.SetWidth(width);
}

} // namespace orv
