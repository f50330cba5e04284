#pragma once
// The file source (source kind 1): runs an NC text file straight from disk,
// byte by byte, without loading it into an editor, and shows its progress
// in a small window per nesting level (caption, bar, line number and
// current line). It hands the engine one line per ReadLine.

#include "engine/chain/BasicInput.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TProgressView;

// A file opened for reading one byte at a time.
class TInputFile {
public:
    enum class TRead { Byte, End, Failed };
    virtual ~TInputFile() = default;
    virtual TRead ReadByte(uint8_t &Byte) = 0;
    // Takes the next byte when it is Byte; true when it did. A file that
    // cannot look ahead takes nothing.
    virtual bool SkipByte(uint8_t Byte) { return false; }
    virtual int64_t Position() const = 0;
    virtual int64_t Size() const = 0;
    // Back to the first byte; false when that fails.
    virtual bool SeekStart() = 0;
};

// The progress window of one nesting level: what it shows, the level's
// open file and its line counter. The window itself (when the program has
// one) mirrors the texts through its view.
class TFileInputForm {
public:
    explicit TFileInputForm(std::unique_ptr<TProgressView> View);
    ~TFileInputForm();

    void SetCaption(const std::string &Text);
    void SetMaximum(int64_t Value);
    void SetPosition(int64_t Value);
    void SetPanel(int Index, const std::string &Text);

    const std::string &Caption() const { return FCaption; }
    int64_t Maximum() const { return FMaximum; }
    int64_t Position() const { return FPosition; }
    const std::string &Panel(int Index) const { return FPanels[Index == 0 ? 0 : 1]; }

    std::unique_ptr<TInputFile> File;
    std::string FileName;
    int LineCount = 0;
    bool AtEnd = false; // the last line was handed out; the next read reports the end

private:
    std::unique_ptr<TProgressView> FView;
    std::string FCaption;
    int64_t FMaximum = 0;
    int64_t FPosition = 0;
    std::string FPanels[2];
};

class TFileInput : public TBasicInput {
public:
    using TProgressViewFactory = std::function<std::unique_ptr<TProgressView>()>;

    // Makes and shows the window of level 0. ViewFactory makes the windows
    // (none: the source runs without windows).
    explicit TFileInput(TComponent *Owner = nullptr, TProgressViewFactory ViewFactory = {});
    ~TFileInput() override;

    // Opens the file in the current level. Without a file part in FileName
    // the open dialog asks for one (starting in FileName's folder). A
    // compiled ".XNC" file, a cancelled dialog or a file that cannot be
    // opened give false.
    bool LoadFile(std::string &FileName) override;
    void Rewind() override;
    // Next line of the current level without TAB or other control
    // characters; a line ends at LF, CR, CR LF, a zero byte or the end of
    // the file.
    // Result: the file position after the line. The call after the last
    // line gives EndOfMainProgram (EndOfLevel in a nested level); a read
    // error gives ReadLineFailed with LastError(), then the end.
    int ReadLine(std::string &Line, int &LineNumber, int &Level) override;
    uint8_t GetState() override;
    bool PushLevel(int Level) override;
    void PopLevel() override;
    void DecLevel() override;
    void RewindLevel(int Level) override;

    int LevelIndex() const { return FLevelIndex; }
    int WindowCount() const { return static_cast<int>(Windows.size()); }
    const TFileInputForm &Window(int Index) const { return *Windows.at(Index); }
    const TFileInputForm &Current() const { return *Windows[FLevelIndex]; }

    uint8_t LastChar = 0;

protected:
    // Opens Path for reading; null when it cannot be opened (or is no file).
    virtual std::unique_ptr<TInputFile> OpenFile(const std::string &Path);

private:
    std::unique_ptr<TFileInputForm> MakeWindow();
    bool OpenInCurrentLevel(const std::string &FileName);
    int EndResult() const;
    void ShowDone(TFileInputForm &W);
    static void ResetToStart(TFileInputForm &W);

    TProgressViewFactory FViewFactory;
    std::vector<std::unique_ptr<TFileInputForm>> Windows;
    int FLevelIndex = 0;
};

} // namespace orv
