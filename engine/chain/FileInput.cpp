#include "engine/chain/FileInput.h"

#include "engine/chain/EngineHost.h"
#include "engine/core/Mess.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

#include <climits>
#include <cstdio>
#include <sys/stat.h>

namespace orv {

namespace {

constexpr uint8_t LF = 10;
constexpr uint8_t CR = 13;

// A disk file read through the C library's buffer.
class TDiskFile : public TInputFile {
public:
    TDiskFile(std::FILE *F, int64_t Size) : FFile(F), FSize(Size) {}
    ~TDiskFile() override { std::fclose(FFile); }

    TRead ReadByte(uint8_t &Byte) override
    {
        const int C = std::getc(FFile);
        if (C == EOF)
            return std::ferror(FFile) ? TRead::Failed : TRead::End;
        Byte = static_cast<uint8_t>(C);
        ++FPosition;
        return TRead::Byte;
    }
    bool SkipByte(uint8_t Byte) override
    {
        const int C = std::getc(FFile);
        if (C == Byte) {
            ++FPosition;
            return true;
        }
        if (C != EOF)
            std::ungetc(C, FFile);
        return false;
    }
    int64_t Position() const override { return FPosition; }
    int64_t Size() const override { return FSize; }
    bool SeekStart() override
    {
        std::clearerr(FFile);
        FPosition = 0;
        return std::fseek(FFile, 0, SEEK_SET) == 0;
    }

private:
    std::FILE *FFile;
    int64_t FSize;
    int64_t FPosition = 0;
};

std::string Tr(const char *Text)
{
    return Mess().Translate(Text);
}

int PositionResult(int64_t Position)
{
    return Position > INT_MAX ? INT_MAX : static_cast<int>(Position);
}

} // namespace

TFileInputForm::TFileInputForm(std::unique_ptr<TProgressView> View) : FView(std::move(View)) {}

TFileInputForm::~TFileInputForm() = default;

void TFileInputForm::SetCaption(const std::string &Text)
{
    FCaption = Text;
    if (FView)
        FView->SetCaption(Text);
}

void TFileInputForm::SetMaximum(int64_t Value)
{
    FMaximum = Value;
    if (FView)
        FView->SetMaximum(Value);
}

void TFileInputForm::SetPosition(int64_t Value)
{
    FPosition = Value;
    if (FView)
        FView->SetPosition(Value);
}

void TFileInputForm::SetPanel(int Index, const std::string &Text)
{
    FPanels[Index == 0 ? 0 : 1] = Text;
    if (FView)
        FView->SetPanel(Index == 0 ? 0 : 1, Text);
}

TFileInput::TFileInput(TComponent *Owner, TProgressViewFactory ViewFactory)
    : TBasicInput(Owner), FViewFactory(std::move(ViewFactory))
{
    OpenDialog.Filter = "Fanuc Miller File (*.fnc)|*.FNC|All Files (*.*)|*.*";
    OpenDialog.DefaultExt = "FNC";
    OpenDialog.Title = "Open CNC File";
    Windows.push_back(MakeWindow());
}

TFileInput::~TFileInput() = default;

std::unique_ptr<TFileInputForm> TFileInput::MakeWindow()
{
    auto W = std::make_unique<TFileInputForm>(FViewFactory ? FViewFactory() : nullptr);
    W->SetCaption(Tr("File Input"));
    return W;
}

bool TFileInput::LoadFile(std::string &FileName)
{
    if (ExtractFileName(NormalisePath(FileName)).empty()) {
        OpenDialog.InitialDir = ExtractFilePath(NormalisePath(FileName));
        if (!ExecuteOpenDialog(FileName))
            return false;
    }
    // Compiled move files belong to the compiled source.
    if (UpperCase(ExtractFileExt(FileName)) == ".XNC")
        return false;
    return OpenInCurrentLevel(FileName);
}

bool TFileInput::OpenInCurrentLevel(const std::string &FileName)
{
    TFileInputForm &W = *Windows[FLevelIndex];
    W.File.reset();
    W.FileName.clear();
    W.LineCount = 0;
    W.AtEnd = false;
    W.File = OpenFile(FileName);
    if (!W.File)
        return false;
    W.FileName = FileName;
    W.SetCaption(Tr("File Input - ") + FileName);
    W.SetMaximum(W.File->Size());
    W.SetPosition(0);
    return true;
}

std::unique_ptr<TInputFile> TFileInput::OpenFile(const std::string &Path)
{
    const std::string Found = FindFileNoCase(NormalisePath(Path));
    struct stat Info {};
    if (::stat(Found.c_str(), &Info) != 0 || !S_ISREG(Info.st_mode))
        return nullptr;
    std::FILE *F = std::fopen(Found.c_str(), "rb");
    if (!F)
        return nullptr;
    return std::make_unique<TDiskFile>(F, static_cast<int64_t>(Info.st_size));
}

int TFileInput::ReadLine(std::string &Line, int &LineNumber, int &Level)
{
    Line.clear();
    Level = FLevelIndex;
    TFileInputForm &W = *Windows[FLevelIndex];
    LineNumber = W.LineCount;
    if (!W.File || W.AtEnd || W.File->Position() >= W.File->Size()) {
        W.AtEnd = true;
        ShowDone(W);
        return EndResult();
    }
    for (;;) {
        uint8_t Byte = LF;
        const TInputFile::TRead Read = W.File->ReadByte(Byte);
        if (Read == TInputFile::TRead::Failed) {
            W.AtEnd = true;
            FLastError = Tr("Error reading file ") + W.FileName;
            W.SetPanel(1, FLastError);
            return ReadLineFailed;
        }
        if (Read == TInputFile::TRead::End)
            W.AtEnd = true; // shorter than it was when opened
        LastChar = Byte;
        if (Byte >= 32)
            Line += static_cast<char>(Byte);
        if (Byte == CR && !W.AtEnd)
            W.File->SkipByte(LF); // CR LF ends one line
        if (Byte == LF || Byte == CR || Byte == 0 || W.AtEnd ||
            W.File->Position() >= W.File->Size())
            break;
    }
    ++W.LineCount;
    LineNumber = W.LineCount;
    W.SetPanel(0, Tr("Line Number = ") + IntToStr(W.LineCount));
    W.SetPanel(1, Tr("Current Line = ") + Line);
    W.SetPosition(W.File->Position());
    // The last line is an ordinary line; the next call reports the end.
    if (W.File->Position() >= W.File->Size())
        W.AtEnd = true;
    return PositionResult(W.File->Position());
}

int TFileInput::EndResult() const
{
    return FLevelIndex > 0 ? EndOfLevel : EndOfMainProgram;
}

void TFileInput::ShowDone(TFileInputForm &W)
{
    W.SetPanel(1, Tr("Total Lines = ") + IntToStr(W.LineCount));
    W.SetPanel(0, Tr("Done"));
}

uint8_t TFileInput::GetState()
{
    const TFileInputForm &W = *Windows[FLevelIndex];
    if (!W.File)
        return 0;
    if (W.File->Position() >= W.File->Size())
        return 2;
    return W.LineCount >= 1 ? 1 : 0;
}

void TFileInput::ResetToStart(TFileInputForm &W)
{
    if (W.File)
        W.File->SeekStart();
    W.LineCount = 0;
    W.AtEnd = false;
}

void TFileInput::Rewind()
{
    Windows.resize(1);
    FLevelIndex = 0;
    TFileInputForm &W = *Windows[0];
    ResetToStart(W);
    W.SetPosition(0);
    W.SetPanel(0, "");
    W.SetPanel(1, "");
}

bool TFileInput::PushLevel(int Level)
{
    // Levels open one above the other; a level further up has no holder.
    if (Level < 0 || Level + 1 > WindowCount())
        return false;
    bool Made = false;
    if (WindowCount() == Level + 1) {
        Windows.push_back(MakeWindow());
        Made = true;
    }
    FLevelIndex = Level + 1;
    return Made;
}

void TFileInput::PopLevel()
{
    Windows[FLevelIndex]->File.reset();
    if (FLevelIndex == 0)
        return;
    Windows.erase(Windows.begin() + FLevelIndex);
    --FLevelIndex;
}

void TFileInput::DecLevel()
{
    if (FLevelIndex > 0)
        --FLevelIndex;
}

void TFileInput::RewindLevel(int Level)
{
    if (Level >= 0 && Level < WindowCount())
        ResetToStart(*Windows[Level]);
}

} // namespace orv
