#include "view3d/scene/GLCrossPlatform.h"

#include "platform/MessageService.h"

#include <cerrno>
#include <chrono>
#include <system_error>

namespace orv {

void InformationDialog(const std::string &Text) { ShowMessage(Text); }

std::string QuestionDialog(const std::string &Caption, const std::string &Prompt,
                           const std::string &Default)
{
    std::string value = Default;
    if (!Messages().InputQuery(Caption, Prompt, value))
        return Default;
    return value;
}

bool OpenPictureDialog(std::string &FileName, const std::string &Title)
{
    TFileRequest r;
    r.Kind = TFileDialogKind::Open;
    r.Title = Title.empty() ? "Open" : Title;
    r.FileName = FileName;
    r.Filter = "JPEG pictures (*.jpg;*.jpeg)|*.jpg;*.jpeg|All files (*.*)|*.*";
    const std::optional<std::string> chosen = Messages().ChooseFile(r);
    if (!chosen || chosen->empty())
        return false;
    FileName = *chosen;
    return true;
}

void RaiseLastOSError()
{
    const int code = errno;
    throw std::system_error(code, std::generic_category(), "System error " + std::to_string(code));
}

TScreenInfo &ScreenInfo()
{
    static TScreenInfo info;
    return info;
}

int ScreenPixelsPerInch() { return ScreenInfo().PixelsPerInch(); }
int CurrentScreenDepth() { return ScreenInfo().Depth(); }

void QueryCounter(int64_t &Value)
{
    Value = std::chrono::duration_cast<std::chrono::nanoseconds>(
                std::chrono::steady_clock::now().time_since_epoch())
                .count();
}

void QueryCounterFrequency(int64_t &Value) { Value = 1000000000; }

} // namespace orv
