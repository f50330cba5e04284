#include "shell/CodeHelp.h"

#include "engine/core/CNCLineParser.h"
#include "engine/core/DIniFile.h"
#include "engine/core/data_types.h"
#include "localise/LxDictionary.h"
#include "platform/NumberText.h"

namespace orv {

std::string HelpCodeText(int Number)
{
    return (Number <= 9 && Number >= 0 ? "0" : "") + IntToStr(Number);
}

namespace {

bool ParsesClean(const std::string &Text, TCNC_Groups &Groups)
{
    CNCLineParser parser;
    bool reported = false;
    parser.OnErrorEvent = [&reported](TObject *, int, const std::string &, const std::string &) {
        reported = true;
    };
    Groups.Clear(NoValue);
    return parser.ParseLine(Text, Groups) && !reported;
}

std::string UpToControlChar(const std::string &Text)
{
    size_t end = 0;
    while (end < Text.size() && (unsigned char)Text[end] >= 32)
        ++end;
    return Text.substr(0, end);
}

std::string ListItem(const TIniFile &Ini, const std::string &Section, const std::string &Key,
                     int Index, const std::string &Default)
{
    std::string item = Default;
    TDIniFile(Ini.FileName()).ReadListItem(Section, Key, Index, item, Default);
    return item;
}

} // namespace

THelpCode CodeOfBlock(const std::string &Text)
{
    std::string text = UpToControlChar(Text);
    TCNC_Groups groups;
    while (!text.empty() && !ParsesClean(text, groups))
        text.erase(0, 1);
    if (text.empty())
        return {"", HelpCodeText(0)};
    if (groups.WordSet[wG])
        return {"G", HelpCodeText(Round(groups.Words[wG]))};
    if (groups.WordSet[wM])
        return {"M", HelpCodeText(Round(groups.Words[wM]))};
    return {"", HelpCodeText(0)};
}

std::string HelpLanguageName(const TLxDictionary &Dictionary)
{
    return Dictionary.Language() < 0 ? "English" : Dictionary.CurrentLanguage().Name;
}

bool HelpInEnglish(const TLxDictionary &Dictionary)
{
    return UpperCase(HelpLanguageName(Dictionary)).find("ENGLISH") != std::string::npos;
}

std::optional<int> HelpContext(const TIniFile &Reference, const THelpCode &Code)
{
    const std::string standard = "Standard Code";
    const std::string fallback = ListItem(Reference, standard, "*", 0, "0");
    const std::string prefix = ListItem(Reference, standard, Code.Letter, 0, fallback);
    const std::string mode = ListItem(Reference, standard, Code.Letter, 1, "");
    std::string context = prefix;
    if (UpperCase(mode) == "NUMBER")
        context += Reference.ReadString(Code.Letter, Code.Code, Code.Code);
    int32_t value = 0;
    if (!TryStrToInt(context, value))
        return std::nullopt;
    return value;
}

TSyntaxCheck::TResult TSyntaxCheck::Run(const std::function<std::string(int Line)> &LineText,
                                        int LastLine)
{
    TResult result;
    CNCLineParser parser;
    TCNC_Groups groups;
    groups.Clear(NoValue);
    groups.LineNumber = 0;
    std::optional<TSyntaxError> reported;
    parser.OnErrorEvent = [&reported](TObject *, int, const std::string &Detail,
                                      const std::string &Message) {
        if (!reported)
            reported = TSyntaxError{0, Message, Detail};
    };
    for (int line = 0; line <= LastLine; ++line) {
        result.LastChecked = line;
        if (Stop && Stop()) {
            result.Stopped = true;
            return result;
        }
        reported.reset();
        const bool parsed = parser.ParseLine(LineText(line), groups);
        if (parsed && !reported) {
            if (OnLineChecked)
                OnLineChecked(line + 1 <= LastLine ? line + 1 : line);
            continue;
        }
        ++result.ErrorCount;
        TSyntaxError error = reported.value_or(TSyntaxError{0, "", ""});
        error.Line = line;
        if (OnError && !OnError(error)) {
            result.Stopped = true;
            return result;
        }
    }
    return result;
}

std::string SyntaxErrorText(const TSyntaxError &Error)
{
    return Error.Message + "\n" + Error.Detail + "\n\nPress OK to continue checking\n" +
           "Press Cancel to stop checking";
}

} // namespace orv
