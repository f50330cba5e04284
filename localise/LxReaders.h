#pragma once
// Line readers that deliver a dictionary table, from a file or a program
// resource, one line at a time: as ANSI bytes, or as wide text decoded from
// UTF-8 or UTF-16 (either byte order). Every run of CR and LF ends one line.
// Open raises lx::EInOutError "Could not open the file " / "Could not open
// the resource " + name; UTF-16 files without a required byte-order mark
// raise ELxNotUnicodeFile, bad UTF-8 ELxUTF8.

#include <memory>
#include <string>

namespace orv {

class TLxByteStream;

enum TLxByteOrder { lxboBigEndian, lxboLittleEndian };

class TLxBaseReader {
public:
    explicit TLxBaseReader(std::string Name);
    virtual ~TLxBaseReader();
    TLxBaseReader(const TLxBaseReader &) = delete;
    TLxBaseReader &operator=(const TLxBaseReader &) = delete;

    const std::string &Name() const { return FName; }
    virtual void Open() = 0;
    virtual void Close() = 0;
    // True when no byte is left.
    virtual bool AtEnd() = 0;

protected:
    std::unique_ptr<TLxByteStream> FStream;

private:
    std::string FName;
};

class TLxBaseAnsiReader : public TLxBaseReader {
public:
    using TLxBaseReader::TLxBaseReader;
    ~TLxBaseAnsiReader() override;
    void Close() override;
    bool AtEnd() override;
    // The next line's bytes, without its line end.
    virtual std::string ReadLine();
};

// A file read in 256-byte pieces.
class TLxAnsiReader : public TLxBaseAnsiReader {
public:
    using TLxBaseAnsiReader::TLxBaseAnsiReader;
    void Open() override;
};

// A "LINGVARD" resource held whole in memory.
class TLxResourceAnsiReader : public TLxBaseAnsiReader {
public:
    using TLxBaseAnsiReader::TLxBaseAnsiReader;
    void Open() override;
};

class TLxBaseWideReader : public TLxBaseReader {
public:
    using TLxBaseReader::TLxBaseReader;
    ~TLxBaseWideReader() override;
    void Close() override;
    bool AtEnd() override;
    virtual std::u16string ReadLine() = 0;

protected:
    // Refills the byte buffer; false when no byte is left.
    virtual bool FillBuffer();
};

// A file, the base of the UTF-8 and UTF-16 file readers.
class TLxWideReader : public TLxBaseWideReader {
public:
    using TLxBaseWideReader::TLxBaseWideReader;
    void Open() override;

protected:
    virtual size_t BufferSize() const = 0;
};

class TLxUTF8Reader : public TLxWideReader {
public:
    using TLxWideReader::TLxWideReader;
    std::u16string ReadLine() override;

protected:
    size_t BufferSize() const override { return 256; }
};

// With ByteOrderMark the file must begin with FF FE (little endian) or FE FF
// (big endian); without it ByteOrder decides and nothing is skipped.
class TLxUTF16Reader : public TLxWideReader {
public:
    TLxUTF16Reader(std::string Name, TLxByteOrder ByteOrder = lxboLittleEndian,
                   bool ByteOrderMark = true);
    void Open() override;
    std::u16string ReadLine() override;
    TLxByteOrder ByteOrder() const { return FByteOrder; }

protected:
    size_t BufferSize() const override { return 512; }

private:
    TLxByteOrder FByteOrder;
    bool FByteOrderMark;
};

class TLxResourceWideReader : public TLxBaseWideReader {
public:
    using TLxBaseWideReader::TLxBaseWideReader;
    void Open() override;
};

class TLxResourceUTF8Reader : public TLxResourceWideReader {
public:
    using TLxResourceWideReader::TLxResourceWideReader;
    std::u16string ReadLine() override;
};

// Little endian; a leading byte-order mark is skipped; a line ends at LF, or
// at CR together with the one character after it; empty lines are lines.
class TLxResourceUTF16Reader : public TLxResourceWideReader {
public:
    using TLxResourceWideReader::TLxResourceWideReader;
    void Open() override;
    std::u16string ReadLine() override;
};

} // namespace orv
