#include "platform/MessageService.h"

#include "platform/NumberText.h"

#include <cstdio>

namespace orv {

namespace {

class THeadlessMessages : public TMessageService {
public:
    int Show(const TMessageRequest &Request) override
    {
        std::fprintf(stderr, "%s: %s\n", Request.Caption.c_str(), Request.Text.c_str());
        return DefaultAnswer(Request);
    }
    bool InputQuery(const std::string &Caption, const std::string &Prompt, std::string &) override
    {
        std::fprintf(stderr, "%s: %s\n", Caption.c_str(), Prompt.c_str());
        return false;
    }
    std::optional<std::string> ChooseFile(const TFileRequest &Request) override
    {
        std::fprintf(stderr, "%s\n", Request.Title.c_str());
        return std::nullopt;
    }
};

THeadlessMessages gHeadless;
TMessageService *gService = &gHeadless;

int ResultByName(const std::string &Text)
{
    static const struct {
        const char *Name;
        int Result;
    } names[] = {{"OK", mrOk},       {"Cancel", mrCancel}, {"Abort", mrAbort},
                 {"Retry", mrRetry}, {"Ignore", mrIgnore}, {"Yes", mrYes},
                 {"No", mrNo},       {"All", mrAll},       {"NoToAll", mrNoToAll},
                 {"YesToAll", mrYesToAll}};
    for (const auto &n : names)
        if (SameText(Text, n.Name))
            return n.Result;
    return StrToIntDef(Text, mrNone);
}

} // namespace

int DefaultAnswer(const TMessageRequest &Request)
{
    if (Request.DefaultResult != mrNone)
        return Request.DefaultResult;
    static const struct {
        unsigned Button;
        int Result;
    } order[] = {{mbOK, mrOk},         {mbYes, mrYes}, {mbRetry, mrRetry}, {mbIgnore, mrIgnore},
                 {mbNo, mrNo},         {mbCancel, mrCancel}, {mbAbort, mrAbort}, {mbAll, mrAll},
                 {mbYesToAll, mrYesToAll}, {mbNoToAll, mrNoToAll}};
    for (const auto &o : order)
        if (Request.Buttons & o.Button)
            return o.Result;
    return mrOk;
}

TMessageService &Messages() { return *gService; }

void SetMessageService(TMessageService *Service) { gService = Service ? Service : &gHeadless; }

int MessageDlg(const std::string &Caption, const std::string &Text, int Type, unsigned Buttons,
               int DefaultResult)
{
    TMessageRequest r;
    r.Caption = Caption;
    r.Text = Text;
    r.Type = Type;
    r.Buttons = Buttons;
    r.DefaultResult = DefaultResult;
    return Messages().Show(r);
}

void ShowMessage(const std::string &Text) { MessageDlg("", Text, mtCustom, mbOK); }

std::optional<std::string> TScriptedMessages::NextAnswer()
{
    if (FAnswers.empty())
        return std::nullopt;
    std::string a = FAnswers.front();
    FAnswers.pop_front();
    return a;
}

int TScriptedMessages::Show(const TMessageRequest &Request)
{
    auto a = NextAnswer();
    int result = a ? ResultByName(*a) : DefaultAnswer(Request);
    FLog.push_back({"message", Request.Caption, Request.Text, Request.Buttons, IntToStr(result)});
    return result;
}

bool TScriptedMessages::InputQuery(const std::string &Caption, const std::string &Prompt,
                                   std::string &Value)
{
    auto a = NextAnswer();
    bool ok = a && *a != "\x1b";
    if (ok)
        Value = *a;
    FLog.push_back({"input", Caption, Prompt, 0, ok ? Value : "\x1b"});
    return ok;
}

std::optional<std::string> TScriptedMessages::ChooseFile(const TFileRequest &Request)
{
    auto a = NextAnswer();
    FLog.push_back({"file", Request.Title, Request.FileName, 0, a.value_or("")});
    if (!a || a->empty())
        return std::nullopt;
    return a;
}

TMessageServiceScope::TMessageServiceScope(TMessageService &Service) : FPrevious(&Messages())
{
    SetMessageService(&Service);
}

TMessageServiceScope::~TMessageServiceScope() { SetMessageService(FPrevious); }

} // namespace orv
