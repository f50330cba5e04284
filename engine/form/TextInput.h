#pragma once
// A program source over NC text files with no window: the editor source's
// reading rules (every line runs, the end is reported on the read after the
// last line, labels found in the main program, one nested level per
// sub-program) without keeping the program in memory, so a program of any
// length streams from disk. The headless host uses it as the editor source.

#include "engine/chain/BasicInput.h"

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TTextInput : public TBasicInput {
public:
    TTextInput();
    ~TTextInput() override;

    // Opens FileName in the current level (a regular file, not an ".XNC"
    // file); a folder asks for a program there and hands the choice back in
    // FileName.
    bool LoadFile(std::string &FileName) override;
    // An empty program: the file is closed, nothing is left to read.
    void NewFile() override;
    void Rewind() override;
    // The next line of the current level: its byte position, or -1 after the
    // last line of the main program, -2 after the last line of a nested
    // level; ReadLineFailed once when the file cannot be read on (LastError()
    // names it), then the end. Control characters are dropped; a line ends
    // at LF, CR, CR LF or a zero byte, here and in label lookup alike.
    int ReadLine(std::string &Line, int &LineNumber, int &Level) override;
    // Continues at the line of index Line (from 0) of the current level.
    void GotoLine(int &Line) override;
    // Index (from 0) of the first main-program line that carries the label
    // ("N120"): the letter, then a number equal to the label's; -1 if none.
    int FindLabel(const std::string &Text) override;
    void GetLine(int Index, std::string &Text) override;
    uint8_t GetState() override;
    bool PushLevel(int Level) override;
    void PopLevel() override;
    void DecLevel() override;
    void RewindLevel(int Level) override;

    int LevelIndex() const { return FLevelIndex; }
    int LevelCount() const { return (int)FLevels.size(); }
    const std::string &LevelFile(int Level) const { return FLevels.at(Level)->FileName; }

private:
    struct TLevel {
        std::string FileName;
        std::ifstream Stream;
        long long Size = 0;
        long long Position = 0;
        int LineCount = 0; // lines read
        bool Failed = false;          // the file could not be read on
        bool ReportedFailure = false;
    };
    TLevel &Current() { return *FLevels[FLevelIndex]; }
    bool ReadRawLine(TLevel &Level, std::string &Line);
    // A folder: asks for a program in it; false when cancelled.
    bool AskForProgram(std::string &Folder);
    void SeekLevel(TLevel &Level, long long Position, int LineCount);

    std::vector<std::unique_ptr<TLevel>> FLevels;
    int FLevelIndex = 0;
};

} // namespace orv
