#include "engine/form/TextInput.h"

#include "platform/MessageService.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

#include <cctype>

namespace orv {

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
    if (!level.Stream)
        return false;
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
    if (!Level.Stream.is_open() || Level.Position >= Level.Size)
        return false;
    std::streambuf *buffer = Level.Stream.rdbuf();
    while (Level.Position < Level.Size) {
        int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof())
            break;
        ++Level.Position;
        if (c == '\n' || c == 0)
            break;
        if (c >= 32)
            Line += (char)c;
    }
    return true;
}

int TTextInput::ReadLine(std::string &Line, int &LineNumber, int &Level)
{
    TLevel &level = Current();
    Level = FLevelIndex;
    long long start = level.Position;
    if (!ReadRawLine(level, Line)) {
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
    TLevel &main = *FLevels[0];
    std::ifstream scan(main.FileName, std::ios::binary);
    std::string line;
    for (int index = 0; std::getline(scan, line); ++index)
        if (LineCarriesLabel(line, Text))
            return index;
    return -1;
}

void TTextInput::GetLine(int Index, std::string &Text)
{
    std::ifstream scan(Current().FileName, std::ios::binary);
    Text.clear();
    std::string line;
    for (int i = 0; std::getline(scan, line); ++i) {
        if (i < Index)
            continue;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        Text = line;
        return;
    }
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
