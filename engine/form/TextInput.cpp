#include "engine/form/TextInput.h"

#include "engine/core/Mess.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

#include <cctype>
#include <sys/stat.h>

namespace orv {

namespace {

bool IsRegularFile(const std::string &FileName)
{
    struct stat info {};
    return ::stat(FileName.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The characters a stream buffer holds ahead of its reader, so that a line is
// taken from them in one piece instead of character by character.
struct TGetArea : std::streambuf {
    static const char *Next(std::streambuf &Buffer) { return (Buffer.*&TGetArea::gptr)(); }
    static const char *End(std::streambuf &Buffer) { return (Buffer.*&TGetArea::egptr)(); }
    static void Skip(std::streambuf &Buffer, int Count) { (Buffer.*&TGetArea::gbump)(Count); }
};

// The one line model of the text source, for running, jumping and label
// lookup alike: a line ends at LF, at CR (CR LF counts once) or at a zero
// byte; other control characters are dropped. Position counts the bytes
// taken. False when no byte is left; a read error raises
// std::ios_base::failure, as the stream does.
bool ReadTextLine(std::streambuf &Buffer, long long &Position, long long Size, std::string &Line)
{
    constexpr int Eof = std::char_traits<char>::eof();
    Line.clear();
    if (Position >= Size)
        return false;
    while (Position < Size) {
        // The run of printable characters the buffer holds goes in at once.
        const char *at = TGetArea::Next(Buffer);
        const char *end = TGetArea::End(Buffer);
        if (end - at > Size - Position)
            end = at + (Size - Position);
        const char *stop = at;
        while (stop < end && static_cast<unsigned char>(*stop) >= 32)
            ++stop;
        if (stop != at) {
            Line.append(at, stop);
            TGetArea::Skip(Buffer, static_cast<int>(stop - at));
            Position += stop - at;
            continue;
        }
        // A control character, or an empty buffer to be refilled.
        int c = Buffer.sbumpc();
        if (c == Eof)
            break;
        ++Position;
        if (c == '\r' && Position < Size && Buffer.sgetc() == '\n') {
            Buffer.sbumpc();
            ++Position;
        }
        if (c == '\n' || c == '\r' || c == 0)
            break;
        if (c >= 32)
            Line += (char)c;
    }
    return true;
}

// Calls Visit(index, line) for each line of FileName from the first until
// it returns true; false when the file could not be read to that point.
template <typename TVisit> bool ScanLines(const std::string &FileName, TVisit Visit)
{
    std::ifstream scan(FileName, std::ios::binary);
    if (!scan || !IsRegularFile(FileName))
        return false;
    scan.seekg(0, std::ios::end);
    long long size = (long long)scan.tellg();
    scan.seekg(0);
    long long position = 0;
    std::string line;
    try {
        for (int index = 0; ReadTextLine(*scan.rdbuf(), position, size, line); ++index)
            if (Visit(index, line))
                return true;
    } catch (const std::ios_base::failure &) {
        return false;
    }
    return true;
}

} // namespace

TTextInput::TTextInput() { FLevels.push_back(std::make_unique<TLevel>()); }

TTextInput::~TTextInput() = default;

bool TTextInput::LoadFile(std::string &FileName)
{
    if (DirectoryExists(FileName) && !AskForProgram(FileName))
        return false;
    if (UpperCase(ExtractFileExt(FileName)) == ".XNC" || DirectoryExists(FileName))
        return false;
    TLevel &level = Current();
    level.Stream = std::ifstream(FileName, std::ios::binary);
    level.FileName = FileName;
    level.Position = 0;
    level.LineCount = 0;
    level.Failed = false;
    if (!level.Stream || !IsRegularFile(FileName)) {
        level.Stream.close();
        return false;
    }
    level.Stream.seekg(0, std::ios::end);
    level.Size = (long long)level.Stream.tellg();
    level.Stream.seekg(0);
    return true;
}

bool TTextInput::AskForProgram(std::string &Folder)
{
    TFileRequest request;
    request.Kind = TFileDialogKind::Open;
    request.InitialDir = Folder;
    request.Filter = "Fanuc Miller File (*.fnc)|*.FNC|All Files (*.*)|*.*";
    const std::optional<std::string> chosen = Messages().ChooseFile(request);
    if (!chosen || chosen->empty())
        return false;
    Folder = *chosen;
    return true;
}

void TTextInput::SeekLevel(TLevel &Level, long long Position, int LineCount)
{
    Level.Stream.clear();
    Level.Failed = Level.ReportedFailure = false;
    Level.Stream.seekg(Position);
    Level.Position = Position;
    Level.LineCount = LineCount;
}

void TTextInput::NewFile()
{
    FLevels.resize(1);
    FLevelIndex = 0;
    FLevels[0] = std::make_unique<TLevel>();
}

void TTextInput::Rewind()
{
    FLevels.resize(1);
    FLevelIndex = 0;
    SeekLevel(Current(), 0, 0);
}

bool TTextInput::ReadRawLine(TLevel &Level, std::string &Line)
{
    Line.clear();
    if (!Level.Stream.is_open() || Level.Failed)
        return false;
    try {
        return ReadTextLine(*Level.Stream.rdbuf(), Level.Position, Level.Size, Line);
    } catch (const std::ios_base::failure &) {
        Level.Failed = true;
        return false;
    }
}

int TTextInput::ReadLine(std::string &Line, int &LineNumber, int &Level)
{
    TLevel &level = Current();
    Level = FLevelIndex;
    long long start = level.Position;
    bool read = ReadRawLine(level, Line);
    if (level.Failed && !level.ReportedFailure) {
        // Reported once; the next read gives the end.
        level.ReportedFailure = true;
        FLastError = Mess().Translate("Error reading file ") + level.FileName;
        LineNumber = level.LineCount;
        return ReadLineFailed;
    }
    if (!read) {
        LineNumber = level.LineCount;
        return FLevelIndex == 0 ? -1 : -2;
    }
    LineNumber = ++level.LineCount;
    return (int)start;
}

void TTextInput::GotoLine(int &Line)
{
    TLevel &level = Current();
    SeekLevel(level, 0, 0);
    std::string text;
    while (level.LineCount < Line && ReadRawLine(level, text))
        ++level.LineCount;
}

int TTextInput::FindLabel(const std::string &Text)
{
    int found = -1;
    ScanLines(FLevels[0]->FileName, [&](int Index, const std::string &Line) {
        if (!LineCarriesLabel(Line, Text))
            return false;
        found = Index;
        return true;
    });
    return found;
}

void TTextInput::GetLine(int Index, std::string &Text)
{
    Text.clear();
    ScanLines(Current().FileName, [&](int I, const std::string &Line) {
        if (I < Index)
            return false;
        Text = Line;
        return true;
    });
}

uint8_t TTextInput::GetState()
{
    TLevel &level = Current();
    if (!level.Stream.is_open())
        return 0;
    if (level.Position >= level.Size)
        return 2;
    return level.LineCount > 0 ? 1 : 0;
}

bool TTextInput::PushLevel(int Level)
{
    bool made = (int)FLevels.size() == Level + 1;
    if (made)
        FLevels.push_back(std::make_unique<TLevel>());
    FLevelIndex = std::min(Level + 1, (int)FLevels.size() - 1);
    return made;
}

void TTextInput::PopLevel()
{
    if (FLevels.size() > 1 && FLevelIndex > 0) {
        FLevels.erase(FLevels.begin() + FLevelIndex);
        --FLevelIndex;
    }
}

void TTextInput::DecLevel()
{
    if (FLevelIndex > 0)
        --FLevelIndex;
}

void TTextInput::RewindLevel(int Level)
{
    if (Level >= 0 && Level < (int)FLevels.size())
        SeekLevel(*FLevels[Level], 0, 0);
}

} // namespace orv
