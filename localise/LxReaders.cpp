#include "localise/LxReaders.h"

#include "localise/LxErrors.h"
#include "localise/LxParsers.h"
#include "localise/LxResources.h"

#include <cstdio>
#include <optional>

namespace orv {

// Bytes of a table with a cursor; file streams refill a buffer of fixed
// size, memory streams hold everything from the start.
class TLxByteStream {
public:
    virtual ~TLxByteStream() = default;

    // The byte at the cursor; false when none is left.
    bool Peek(unsigned char &Byte)
    {
        if (FPos >= FData.size() && !Refill())
            return false;
        Byte = static_cast<unsigned char>(FData[FPos]);
        return true;
    }
    bool Next(unsigned char &Byte)
    {
        if (!Peek(Byte))
            return false;
        ++FPos;
        return true;
    }
    bool AtEnd()
    {
        if (FPending)
            return false;
        unsigned char ignored = 0;
        return !Peek(ignored);
    }
    virtual bool Refill() { return false; }

    // One 16-bit character; a lone last byte is dropped.
    bool Next16(bool BigEndian, char16_t &C)
    {
        if (FPending) {
            C = *FPending;
            FPending.reset();
            return true;
        }
        unsigned char first = 0, second = 0;
        if (!Next(first) || !Next(second))
            return false;
        C = BigEndian ? static_cast<char16_t>(first << 8 | second)
                      : static_cast<char16_t>(second << 8 | first);
        return true;
    }
    bool Peek16(bool BigEndian, char16_t &C)
    {
        if (!FPending) {
            char16_t next = 0;
            if (!Next16(BigEndian, next))
                return false;
            FPending = next;
        }
        C = *FPending;
        return true;
    }
    bool AtEnd16(bool BigEndian)
    {
        char16_t ignored = 0;
        return !Peek16(BigEndian, ignored);
    }

protected:
    std::string FData;
    size_t FPos = 0;
    std::optional<char16_t> FPending;
};

namespace {

class TLxFileStream : public TLxByteStream {
public:
    TLxFileStream(std::FILE *File, size_t BufferSize) : FFile(File), FBufferSize(BufferSize) {}
    ~TLxFileStream() override { std::fclose(FFile); }

    bool Refill() override
    {
        FData.resize(FBufferSize);
        FData.resize(std::fread(FData.data(), 1, FBufferSize, FFile));
        FPos = 0;
        return !FData.empty();
    }

private:
    std::FILE *FFile;
    size_t FBufferSize;
};

class TLxMemoryStream : public TLxByteStream {
public:
    explicit TLxMemoryStream(std::string Data) { FData = std::move(Data); }
};

bool IsLineEnd(unsigned Char)
{
    return Char == 13 || Char == 10;
}

std::unique_ptr<TLxByteStream> OpenFile(const std::string &Name, size_t BufferSize)
{
    std::FILE *file = std::fopen(Name.c_str(), "rb");
    if (file == nullptr)
        throw lx::EInOutError("Could not open the file " + Name);
    return std::make_unique<TLxFileStream>(file, BufferSize);
}

std::unique_ptr<TLxByteStream> OpenResource(const std::string &Name)
{
    std::string data;
    if (!LoadLxResource("LINGVARD", Name, data))
        throw lx::EInOutError("Could not open the resource " + Name);
    return std::make_unique<TLxMemoryStream>(std::move(data));
}

// Bytes up to CR or LF, then the whole run of CR and LF after them.
std::string ReadByteLine(TLxByteStream &Stream)
{
    std::string line;
    unsigned char byte = 0;
    while (Stream.Peek(byte) && !IsLineEnd(byte)) {
        line += static_cast<char>(byte);
        Stream.Next(byte);
    }
    while (Stream.Peek(byte) && IsLineEnd(byte))
        Stream.Next(byte);
    return line;
}

std::u16string ReadWideLine(TLxByteStream &Stream, bool BigEndian)
{
    std::u16string line;
    char16_t c = 0;
    while (Stream.Peek16(BigEndian, c) && !IsLineEnd(c)) {
        line += c;
        Stream.Next16(BigEndian, c);
    }
    while (Stream.Peek16(BigEndian, c) && IsLineEnd(c))
        Stream.Next16(BigEndian, c);
    return line;
}

} // namespace

TLxBaseReader::TLxBaseReader(std::string Name) : FName(std::move(Name)) {}
TLxBaseReader::~TLxBaseReader() = default;

TLxBaseAnsiReader::~TLxBaseAnsiReader() = default;
void TLxBaseAnsiReader::Close()
{
    FStream.reset();
}
bool TLxBaseAnsiReader::AtEnd()
{
    return !FStream || FStream->AtEnd();
}

std::string TLxBaseAnsiReader::ReadLine()
{
    return FStream ? ReadByteLine(*FStream) : std::string();
}

void TLxAnsiReader::Open()
{
    Close();
    FStream = OpenFile(Name(), 256);
}

void TLxResourceAnsiReader::Open()
{
    Close();
    FStream = OpenResource(Name());
}

TLxBaseWideReader::~TLxBaseWideReader() = default;
void TLxBaseWideReader::Close()
{
    FStream.reset();
}
bool TLxBaseWideReader::AtEnd()
{
    return !FStream || FStream->AtEnd();
}
bool TLxBaseWideReader::FillBuffer()
{
    return FStream && FStream->Refill();
}

void TLxWideReader::Open()
{
    Close();
    FStream = OpenFile(Name(), BufferSize());
}

std::u16string TLxUTF8Reader::ReadLine()
{
    return FStream ? UTF8ToWide(ReadByteLine(*FStream)) : std::u16string();
}

TLxUTF16Reader::TLxUTF16Reader(std::string Name, TLxByteOrder ByteOrder, bool ByteOrderMark)
    : TLxWideReader(std::move(Name)), FByteOrder(ByteOrder), FByteOrderMark(ByteOrderMark)
{
}

void TLxUTF16Reader::Open()
{
    TLxWideReader::Open();
    if (!FByteOrderMark)
        return;
    unsigned char first = 0, second = 0;
    const bool twoBytes = FStream->Next(first) && FStream->Next(second);
    if (twoBytes && first == 0xFF && second == 0xFE) {
        FByteOrder = lxboLittleEndian;
    } else if (twoBytes && first == 0xFE && second == 0xFF) {
        FByteOrder = lxboBigEndian;
    } else {
        Close();
        throw ELxNotUnicodeFile("Not a Unicode file");
    }
}

std::u16string TLxUTF16Reader::ReadLine()
{
    return FStream ? ReadWideLine(*FStream, FByteOrder == lxboBigEndian) : std::u16string();
}

void TLxResourceWideReader::Open()
{
    Close();
    FStream = OpenResource(Name());
}

std::u16string TLxResourceUTF8Reader::ReadLine()
{
    return FStream ? UTF8ToWide(ReadByteLine(*FStream)) : std::u16string();
}

void TLxResourceUTF16Reader::Open()
{
    TLxResourceWideReader::Open();
    char16_t mark = 0;
    if (FStream->Peek16(false, mark) && mark == 0xFEFF)
        FStream->Next16(false, mark);
}

std::u16string TLxResourceUTF16Reader::ReadLine()
{
    std::u16string line;
    char16_t c = 0;
    while (FStream && FStream->Next16(false, c)) {
        if (c == 10)
            break;
        if (c == 13) {
            FStream->Next16(false, c);
            break;
        }
        line += c;
    }
    return line;
}

} // namespace orv
