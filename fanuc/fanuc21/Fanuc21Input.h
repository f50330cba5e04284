#pragma once
// The program source of the Fanuc 21 station: the engine reads the station's
// program memory (or its MDI memory in MDI mode) line by line, and the
// station's block highlight follows the line the engine reports running.

#include "engine/chain/BasicInput.h"

namespace orv::fanuc {

class TFanucScreen;
struct TFanucMemory;
class TFScreen;

class TFanuc21Input : public TBasicInput {
public:
    explicit TFanuc21Input(TFanucScreen &Station);

    void NewFile() override;
    // ".XNC" is refused; an empty name asks with the open dialog. The memory
    // is saved back to its file first only when it was edited.
    bool LoadFile(std::string &FileName) override;
    // Asks with the save dialog; Cancel changes nothing.
    void SaveFileAs(std::string &FileName) override;
    void Rewind() override;
    // The current memory's line at the current index (result: the index
    // from 0; LineNumber from 1, as the file source counts); after the last
    // line EndOfMainProgram, as a file that ends there.
    int ReadLine(std::string &Line, int &LineNumber, int &Level) override;
    void GotoLine(int &Line) override;
    // The first line carrying the label ("N10": letter and number), -1 when none.
    int FindLabel(const std::string &Label) override;
    void GetLine(int Index, std::string &Text) override {}
    uint8_t GetState() override { return 0; }
    // Moves the block highlight to the block of memory line Position.
    void HiliteLine(int Position, int Level) override;
    bool PushLevel(int) override { return false; }

    void ResetSource();
    void RestartSource();
    void OpenFile();
    void SaveAsFile();

    bool MDIFlag = false;
    int HighlightIndex = 0;

protected:
    TFanucMemory &Memory();
    int &Index();
    TFScreen &Pane();
    virtual void NewStationProgram();
    TFanucScreen &FStation;
};

} // namespace orv::fanuc
