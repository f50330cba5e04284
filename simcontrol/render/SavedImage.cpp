#include "simcontrol/render/SavedImage.h"

#include "simcontrol/render/DibSurface.h"
#include "simcontrol/render/PaletteTable.h"
#include "platform/SafeSave.h"

#include <fstream>

namespace orv {

namespace {

void Put16(std::string &Out, uint32_t V)
{
    Out.push_back(static_cast<char>(V & 0xFF));
    Out.push_back(static_cast<char>((V >> 8) & 0xFF));
}

void Put32(std::string &Out, uint32_t V)
{
    Put16(Out, V & 0xFFFF);
    Put16(Out, V >> 16);
}

uint32_t Get32(const std::string &In, size_t At)
{
    return static_cast<uint8_t>(In[At]) | (static_cast<uint8_t>(In[At + 1]) << 8) |
           (static_cast<uint8_t>(In[At + 2]) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(In[At + 3])) << 24);
}

uint32_t Get16(const std::string &In, size_t At)
{
    return static_cast<uint8_t>(In[At]) | (static_cast<uint8_t>(In[At + 1]) << 8);
}

std::string Header(const CDibSurface &Image, const CPaletteTable &Palette)
{
    const uint32_t size = static_cast<uint32_t>(Image.Stride()) * Image.Height();
    std::string out = "BM";
    Put32(out, size + SavedPixelOffset);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, SavedPixelOffset);
    Put32(out, 40);
    Put32(out, Image.Stride());
    Put32(out, Image.Height());
    Put16(out, 1);
    Put16(out, 8);
    Put32(out, 0);
    Put32(out, size);
    for (int k = 0; k < 4; ++k)
        Put32(out, 0);
    auto entry = [&](const CPaletteEntry &e) {
        out.push_back(static_cast<char>(e.Blue));
        out.push_back(static_cast<char>(e.Green));
        out.push_back(static_cast<char>(e.Red));
        out.push_back(0);
    };
    for (int k = 0; k < 10; ++k)
        entry(Palette.Entries()[k]);
    for (const CPaletteEntry &e : Palette.Entries())
        entry(e);
    return out;
}

} // namespace

bool SaveBitmap(const std::string &FileName, const CDibSurface &Image,
                const CPaletteTable &Palette)
{
    if (!Image.Exists() || FileName.empty())
        return false;
    std::string bytes = Header(Image, Palette);
    bytes.append(reinterpret_cast<const char *>(Image.Bytes().data()), Image.Bytes().size());
    return static_cast<bool>(SaveFileReplacing(FileName, bytes));
}

bool ReadSavedBitmap(const std::string &FileName, CSavedBitmap &Bitmap, std::string &Error)
{
    std::ifstream in(FileName, std::ios::binary);
    if (!in) {
        Error = "cannot open " + FileName;
        return false;
    }
    const std::string data((std::istreambuf_iterator<char>(in)), {});
    if (data.size() < SavedPixelOffset || data.compare(0, 2, "BM") != 0) {
        Error = "not a bitmap file";
        return false;
    }
    const uint32_t offset = Get32(data, 10);
    const int32_t width = static_cast<int32_t>(Get32(data, 18));
    const int32_t height = static_cast<int32_t>(Get32(data, 22));
    if (offset != SavedPixelOffset || Get32(data, 14) != 40 || Get16(data, 28) != 8 ||
        Get32(data, 30) != 0) {
        Error = "unexpected header (pixel offset " + std::to_string(offset) + ")";
        return false;
    }
    if (width <= 0 || height <= 0 || width % 4 != 0) {
        Error = "bad size " + std::to_string(width) + " x " + std::to_string(height);
        return false;
    }
    const uint64_t pixels = static_cast<uint64_t>(width) * height;
    if (Get32(data, 2) != data.size() || data.size() != SavedPixelOffset + pixels ||
        Get32(data, 34) != pixels) {
        Error = "file size " + std::to_string(data.size()) + " does not match the header";
        return false;
    }
    Bitmap.Width = width;
    Bitmap.Height = height;
    Bitmap.Colours.clear();
    for (size_t at = 54; at < SavedPixelOffset; at += 4)
        Bitmap.Colours.push_back(Get32(data, at));
    Bitmap.Pixels.assign(data.begin() + SavedPixelOffset, data.end());
    return true;
}

} // namespace orv
