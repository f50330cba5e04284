#include "engine/view2d/PicturePreview.h"

#include "platform/NumberText.h"
#include "platform/Paths.h"

namespace orv {

std::string CompanionPicture(const std::string &ProgramFile)
{
    if (ExtractFileExt(ProgramFile).empty())
        return {};
    for (const char *Ext : {".bmp", ".bm2", ".bm3"}) {
        const std::string Candidate = ChangeFileExt(ProgramFile, Ext);
        if (FileExists(Candidate))
            return Candidate;
    }
    return {};
}

TPixelRect PreviewRect(int Width, int Height, int BoxWidth, int BoxHeight)
{
    if (Width <= 0 || Height <= 0)
        return {};
    if (Width <= BoxWidth && Height <= BoxHeight) {
        const int Left = (BoxWidth - Width) / 2;
        const int Top = (BoxHeight - Height) / 2;
        return {Left, Top, Left + Width, Top + Height};
    }
    if (Width > Height) {
        const int H = static_cast<int>(static_cast<long long>(Height) * BoxWidth / Width);
        return {0, 0, BoxWidth, H};
    }
    const int W = static_cast<int>(static_cast<long long>(Width) * BoxHeight / Height);
    return {0, 0, W, BoxHeight};
}

std::string PictureSizeText(int Width, int Height)
{
    return " (" + IntToStr(Width) + "x" + IntToStr(Height) + ")";
}

} // namespace orv
