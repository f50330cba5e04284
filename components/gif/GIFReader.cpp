#include "components/gif/GIFReader.h"

#include <algorithm>

namespace orv {

namespace {

class TByteReader {
public:
    explicit TByteReader(const std::string &Data) : FData(Data) {}
    bool Left(size_t N) const { return FPos + N <= FData.size(); }
    size_t Pos() const { return FPos; }
    uint8_t Byte() { return Left(1) ? uint8_t(FData[FPos++]) : (FFailed = true, 0); }
    int Word()
    {
        int low = Byte();
        return low | (Byte() << 8);
    }
    std::string Take(size_t N)
    {
        if (!Left(N)) {
            FFailed = true;
            N = FData.size() - FPos;
        }
        std::string out = FData.substr(FPos, N);
        FPos += N;
        return out;
    }
    // Data sub-blocks up to the zero-length terminator, with their lengths.
    std::string SubBlocks(std::string *Payload = nullptr)
    {
        std::string raw;
        while (!FFailed) {
            uint8_t n = Byte();
            raw += char(n);
            if (n == 0)
                break;
            std::string block = Take(n);
            raw += block;
            if (Payload)
                *Payload += block;
        }
        return raw;
    }
    bool Failed() const { return FFailed; }

private:
    const std::string &FData;
    size_t FPos = 0;
    bool FFailed = false;
};

void PutWord(std::string &Out, int Value)
{
    Out += char(Value & 0xFF);
    Out += char((Value >> 8) & 0xFF);
}

// The image as a GIF of its own: a screen of the image's size, the colour
// table it uses as the global one, its transparency, the image at 0, 0.
std::string Wrap(const TGIFFrame &Frame, const std::string &Table, int TableBits,
                 bool Interlaced, uint8_t CodeSize, const std::string &Lzw)
{
    std::string out = "GIF89a";
    PutWord(out, Frame.Width);
    PutWord(out, Frame.Height);
    out += char(Table.empty() ? 0 : 0x80 | 0x70 | (TableBits - 1));
    out += char(0);
    out += char(0);
    out += Table;
    if (Frame.Transparent) {
        out += "\x21\xF9\x04";
        out += char(1);
        PutWord(out, 0);
        out += char(Frame.TransparentIndex);
        out += char(0);
    }
    out += ',';
    PutWord(out, 0);
    PutWord(out, 0);
    PutWord(out, Frame.Width);
    PutWord(out, Frame.Height);
    out += char(Interlaced ? 0x40 : 0);
    out += char(CodeSize);
    out += Lzw;
    out += ';';
    return out;
}

} // namespace

bool ReadGIF(const std::string &Data, TGIFFile &File, std::string &Error, bool FirstImageOnly,
             const TGIFProgress &Progress)
{
    File = TGIFFile();
    if (Data.empty())
        return Error = "empty GIF data", false;
    TByteReader in(Data);
    if (Data.size() < 13 || Data.compare(0, 3, "GIF") != 0)
        return Error = "not a GIF picture", false;
    File.Version = Data[4] == '9' ? gvGIF89a : gvGIF87a;
    in.Take(6);
    File.ScreenWidth = in.Word();
    File.ScreenHeight = in.Word();
    const uint8_t packed = in.Byte();
    in.Byte(); // background colour index
    in.Byte(); // aspect ratio
    std::string global;
    int globalBits = 0;
    if (packed & 0x80) {
        globalBits = (packed & 7) + 1;
        global = in.Take(3u << globalBits);
    }
    std::string comment;
    bool control = false;
    uint8_t controlPacked = 0;
    int controlDelay = 0, controlIndex = 0;
    while (in.Left(1) && !in.Failed()) {
        if (Progress) {
            bool keep = true;
            Progress(in.Pos(), Data.size(), keep);
            if (!keep)
                return File = TGIFFile(), Error = "the load was aborted", false;
        }
        const uint8_t introducer = in.Byte();
        if (introducer == ';')
            break;
        if (introducer == '!') {
            const uint8_t label = in.Byte();
            if (label == 0xF9) {
                std::string body;
                in.SubBlocks(&body);
                if (body.size() >= 4) {
                    control = true;
                    controlPacked = uint8_t(body[0]);
                    controlDelay = uint8_t(body[1]) | (uint8_t(body[2]) << 8);
                    controlIndex = uint8_t(body[3]);
                }
            } else if (label == 0xFE) {
                comment.clear();
                in.SubBlocks(&comment);
            } else if (label == 0xFF) {
                const uint8_t n = in.Byte();
                const std::string id = in.Take(n);
                std::string body;
                in.SubBlocks(&body);
                if (id == "NETSCAPE2.0" && body.size() >= 3)
                    File.LoopCount = uint8_t(body[1]) | (uint8_t(body[2]) << 8);
            } else {
                in.SubBlocks();
            }
            continue;
        }
        if (introducer != ',')
            break; // unknown block: the data ends here
        if (int(File.Frames.size()) >= GIFMaxFrames)
            break;
        TGIFFrame frame;
        frame.Left = in.Word();
        frame.Top = in.Word();
        frame.Width = in.Word();
        frame.Height = in.Word();
        const uint8_t imagePacked = in.Byte();
        if (in.Failed())
            break;
        if (frame.Width == 0 || frame.Height == 0)
            return File = TGIFFile(), Error = "a GIF image of width or height 0", false;
        if (frame.Width > GIFMaxSide || frame.Height > GIFMaxSide)
            break;
        std::string table = global;
        int tableBits = globalBits;
        if (imagePacked & 0x80) {
            tableBits = (imagePacked & 7) + 1;
            table = in.Take(3u << tableBits);
        }
        frame.Interlaced = (imagePacked & 0x40) != 0;
        if (control) {
            int disposal = (controlPacked >> 2) & 7;
            frame.Disposal = disposal >= 4 ? 2 : disposal;
            frame.Delay = controlDelay * 10;
            frame.Transparent = (controlPacked & 1) != 0;
            frame.TransparentIndex = controlIndex;
        }
        frame.Comment = comment;
        const uint8_t codeSize = in.Byte();
        const std::string lzw = in.SubBlocks();
        if (in.Failed())
            break; // truncated: the frames before stay
        frame.Wrapped = Wrap(frame, table, tableBits, frame.Interlaced, codeSize, lzw);
        File.Frames.push_back(std::move(frame));
        comment.clear();
        control = false;
        if (FirstImageOnly)
            break;
    }
    if (File.Frames.empty())
        return Error = "the GIF picture holds no image", false;
    File.LogicalWidth = File.ScreenWidth;
    File.LogicalHeight = File.ScreenHeight;
    for (const TGIFFrame &f : File.Frames) {
        File.LogicalWidth = std::max(File.LogicalWidth, f.Left + f.Width);
        File.LogicalHeight = std::max(File.LogicalHeight, f.Top + f.Height);
    }
    if (int64_t(File.LogicalWidth) * File.LogicalHeight > GIFMaxPixels) {
        Error = "the GIF picture is too large: " + std::to_string(File.LogicalWidth) + " x " +
                std::to_string(File.LogicalHeight) + " pixels";
        File = TGIFFile();
        return false;
    }
    return true;
}

} // namespace orv
