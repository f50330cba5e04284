#include "components/widestrings/Langs.h"

#include "localise/LxLocales.h"
#include "localise/LxSystem.h"
#include "platform/CodePage.h"

namespace orv {

namespace {
constexpr int SystemAnsiCodePage = 1252;
}

int LocaleCodePage(int Language) {
    int cp = LocaleAnsiCodePage(Language);
    return cp > 0 ? cp : SystemAnsiCodePage;
}

int LocaleCharset(int Language) {
    return CharSetOfCodePage(LocaleCodePage(Language));
}

std::u16string TextToWide(const std::string &Text, int CodePage) {
    std::u16string out;
    if (!Text.empty() && !DecodeCodePage(CodePage, Text, out))
        DecodeCodePage(SystemAnsiCodePage, Text, out);
    return out;
}

std::string WideToText(const std::u16string &Text, int CodePage) {
    std::string out;
    if (!Text.empty() && !EncodeCodePage(CodePage, Text, out))
        EncodeCodePage(SystemAnsiCodePage, Text, out);
    return out;
}

int DefaultLanguage() {
    return LxSystem().UserDefaultLocale;
}

} // namespace orv
