// The engine form's sub-programs (M98 calls, M99 returns and jumps,
// "SUBPROGRAM" registrations), loaded programs, stage errors and block
// search.

#include "engine/form/base.h"

#include "engine/chain/BasicInput.h"
#include "engine/form/BlockSearchOutput.h"
#include "engine/chain/Calc_CNC.h"
#include "engine/expand/Optimise.h"
#include "engine/form/CompiledInput.h"
#include "engine/form/FanucScreen.h"
#include "engine/core/Mess.h"
#include "platform/NumberText.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

namespace orv {

namespace {

std::string Translate(const std::string &Text) { return Mess().Translate(Text); }

std::string PadNumber(std::string Number)
{
    while (Number.size() < 4)
        Number.insert(0, "0");
    return Number;
}

bool IsWordSet(const TCNC_Groups &G, int Word, long double Value)
{
    return G.WordSet[Word] && G.Words[Word] == Value;
}

// The P and M words of a block that called or returned, with their present
// flags: the call is done here, so no stage after this one may read the M98
// or M99 as an M code (a bare M would reach the machine as M0, a program
// stop). Cutter compensation and every other modal group run on unchanged
// into and out of the sub-program.
void ClearCallWords(TCNC_Groups &G)
{
    G.Words[wP] = 0;
    G.WordSet[wP] = false;
    G.Words[wM] = 0;
    G.WordSet[wM] = false;
    G.GroupSet[gMCode] = false;
}

} // namespace

void TBaseForm::SubprogramMessage(const std::string &Text)
{
    ShowMessage(Translate(Text));
    CycleStop();
}

// M98: run the sub-program file named by P (the last four digits; digits
// before them are the run count) as the next nested level.
void TBaseForm::CallSubprogram()
{
    if (!IsWordSet(FGroups, wM, 98))
        return;
    if (FSourceKind == skFanuc21)
        return SubprogramMessage("Sub-programming is not supported with the Fanuc 21i Editor");
    if (FSourceKind == skFanuc0M)
        return SubprogramMessage("Sub-programming is not supported with the Fanuc 0M Editor");
    if (FSourceKind == skFile)
        return SubprogramMessage("Sub-programming is not supported with the File Input");
    int level = FGroups.Level;
    if (level < 0 || level > (int)FSubPrograms.size()) {
        CycleStop();
        return;
    }
    if (level == (int)FSubPrograms.size())
        FSubPrograms.push_back(TSubProgram{});
    TSubProgram &entry = FSubPrograms[level];
    std::string fileName = ResolveSubprogramFile(entry);
    if (level >= MaxSubprogramNesting) {
        CycleStop();
        ShowMessage(Translate("Sub Program: ") + "M98 P" + FloatToStr(FGroups.Words[wP]) + " (" +
                    fileName + Translate(") would nest more than ") +
                    IntToStr(MaxSubprogramNesting) + Translate(" levels deep") + "\r\n" +
                    Translate("Check for a sub-program that calls itself"));
        FSubPrograms.resize(level);
        ClearCallWords(FGroups);
        return;
    }
    FProgramFile = fileName;
    if (FileExists(fileName)) {
        ProgramLoaded(fileName, false, level);
    } else {
        CycleStop();
        ShowMessage(Translate("Sub Program: ") + fileName +
                    Translate(" not found - check file and path.") + "\r\n" +
                    Translate("Subprog directory must be same as the calling program"));
    }
    entry.FileName.clear();
    ClearCallWords(FGroups);
}

std::string TBaseForm::ResolveSubprogramFile(TSubProgram &Entry)
{
    std::string text = FloatToStr(FGroups.Words[wP]);
    std::string number = text;
    if (FGroups.Words[wP] > 9999 && text.size() > 4) {
        number = text.substr(text.size() - 4);
        int32_t count = 0;
        if (!TryStrToInt(text.substr(0, text.size() - 4), count))
            count = 1;
        Entry.Repeats = count - 1;
    }
    number = PadNumber(number);
    std::string folder = ExtractFilePath(FProgramFile);
    std::string ext = ExtractFileExt(FProgramFile);
    std::string fileName = folder + number + ext;
    for (int i = 0; i < FSubIdentityCount; ++i) {
        if (FSubIdentities[i].Identity != number)
            continue;
        fileName = FSubIdentities[i].FileName;
        if (ExtractFilePath(fileName).empty())
            fileName = folder + fileName;
        if (ExtractFileExt(fileName).empty())
            fileName += ext;
        break;
    }
    Entry.ProgramNumber = "O" + number;
    return fileName;
}

// M99 in the main program of the editor and Fanuc sources: back to the
// start, or to the block "N" + P. False when the run stopped.
bool TBaseForm::JumpInMainProgram()
{
    bool jumpSource =
        FSourceKind == skEditor || FSourceKind == skFanuc21 || FSourceKind == skFanuc0M;
    if (!IsWordSet(FGroups, wM, 99) || FGroups.Level != 0 || !jumpSource || !FSource)
        return true;
    bool hasP = FGroups.WordSet[wP] && FGroups.Words[wP] > 0;
    if (!hasP) {
        FSource->Rewind();
        return true;
    }
    int32_t n = Round(FGroups.Words[wP]);
    int index = FSource->FindLabel("N" + IntToStr(n));
    if (index == -1) {
        CycleStop();
        ShowMessage(Translate("Block N") + IntToStr(n) + Translate(" Not found"));
        return false;
    }
    if (index == 0)
        FSource->Rewind();
    else
        FSource->GotoLine(index);
    return true;
}

// M99 in a nested level, or the end of a nested level without one: run the
// sub-program again while repeats are left, else go back to the caller.
void TBaseForm::ReturnFromSubprogram(bool LevelEnded)
{
    bool isReturn = IsWordSet(FGroups, wM, 99) || LevelEnded;
    int level = FGroups.Level;
    bool nested = level > 0 && level <= (int)FSubPrograms.size();
    if (!isReturn || !nested || !FSource)
        return;
    TSubProgram &entry = FSubPrograms[level - 1];
    if (entry.Repeats <= 0) {
        FSubPrograms.erase(FSubPrograms.begin() + (level - 1), FSubPrograms.end());
        FSource->RewindLevel(level);
        FSource->DecLevel();
    } else {
        --entry.Repeats;
        FSource->RewindLevel(level);
    }
    ClearCallWords(FGroups);
}

// "[SUBPROGRAM 1234 PART]": identity 1234 is the file PART.
void TBaseForm::RegisterSubprogram(const std::string &Text)
{
    if (FSubIdentityCount >= SubIdentityCapacity) {
        ShowMessage(Translate("Too many SUBPROGRAM entries: at most ") +
                    IntToStr(SubIdentityCapacity) + Translate(" can be registered; ignored: ") +
                    Text);
        return;
    }
    size_t blank = Text.find(' ');
    TSubIdentity &entry = FSubIdentities[FSubIdentityCount];
    entry.Identity = PadNumber(Text.substr(0, blank));
    std::string rest = blank == std::string::npos ? std::string() : Text.substr(blank + 1);
    size_t bracket = rest.find(']');
    entry.FileName = bracket == std::string::npos ? rest : rest.substr(0, bracket);
    ++FSubIdentityCount;
}

void TBaseForm::ProgramLoaded(const std::string &FileName, bool IsMainProgram, int Level)
{
    if (FSourceKind == skCompiled || !FSource)
        return;
    if (IsMainProgram) {
        FProgramFile = FileName;
        // The new program runs from its first line as after a rewind:
        // nothing read ahead from the one before may run with it, and its
        // first moves start from where a run starts, not from where the
        // other program stopped.
        ForgetRunState();
        EditorChanged();
        return;
    }
    // Every call loads its own file, also into a level used before.
    FSource->PushLevel(Level);
    std::string name = FileName;
    if (!FSource->LoadFile(name)) {
        CycleStop();
        ShowMessage(Translate("Error trying to open file") + " " + FileName);
    }
}

void TBaseForm::CompiledProgramLoaded(const std::string &FileName)
{
    if (FSourceKind != skCompiled || !FSource)
        return;
    FSource->Rewind();
    FSubIdentityCount = 0;
    FCalc->ClearQueue();
    FOptimise->ResetCount();
    for (double &axis : FReplayPosition)
        axis = 0;
    SetCycleState(csStopped);
    FProgramFile = FileName;
}

void TBaseForm::NewFile()
{
    if (FSourceKind == skEditor && FSource)
        FSource->NewFile();
}

void TBaseForm::EditorChanged()
{
    if (FSource && OnInputStateChanged)
        OnInputStateChanged(this);
}

void TBaseForm::FM_ParserErrorEvent(TObject *, int Error_pos, const std::string &error_string,
                                    const std::string &error_message)
{
    // The detail quotes program text: capped, so a runaway line stays readable.
    FHost.SetStatusText(2, 4,
                        "Line #" + IntToStr(Error_pos) + " : " +
                            QuoteForMessage(error_string, 400) + " : " + error_message,
                        true);
    CycleStop();
    if (FSource)
        FSource->FlashLine(Error_pos - 1);
}

void TBaseForm::Calc_CNCErrorEvent(TObject *, int, const std::string &, const std::string &) {}

void TBaseForm::BlockSearchLineSelected(TObject *, int SelectedLine)
{
    if (auto *search = dynamic_cast<TBlockSearchOutput *>(FOutputs[slotBlockSearch].get()))
        search->SetTarget(SelectedLine);
}

void TBaseForm::BlockSearchReached(TObject *)
{
    if (FSource)
        FSource->HiliteLine(FData.InputPosition, FData.Level);
}

} // namespace orv
