#pragma once
// An editor window held in memory for the editor source's tests: the text
// as one string with "\n" breaks, a caret and selection, and a record of
// what the source asked of it.

#include "engine/form/EditorWindow.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace orv::test {

class TMemoryEditor : public TEditorWindow {
public:
    std::string Text;
    int Start = 0, Length = 0;
    bool MenuEnabled = true, ReadOnly = false, Focus = false, Shown = false;
    TBounds Box{10, 20, 300, 200};
    TUnits Units = Metric;
    TBilletSize Billet;
    std::string MachineName, ToolingFile, FileName;
    int ToolCount = 0, WizardUpdates = 0, SaveChecks = 0;
    std::function<void(TObject *)> Changed;
    THiliteEvent Hilite;
    TLineChangeNotifyEvent LineSelect;

    int TextLength() const override { return (int)Text.size(); }
    int LineCount() const override { return (int)std::count(Text.begin(), Text.end(), '\n') + 1; }
    int LineStart(int Line) const override
    {
        int pos = 0;
        for (int i = 0; i < Line; ++i) {
            size_t nl = Text.find('\n', pos);
            if (nl == std::string::npos)
                return (int)Text.size();
            pos = (int)nl + 1;
        }
        return pos;
    }
    int LineOfChar(int Position) const override
    {
        Position = std::clamp(Position, 0, (int)Text.size());
        return (int)std::count(Text.begin(), Text.begin() + Position, '\n');
    }
    std::string LineText(int Line) const override
    {
        const int start = LineStart(Line);
        size_t nl = Text.find('\n', start);
        return Text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    }
    int SelStart() const override { return Start; }
    int SelLength() const override { return Length; }
    void Select(int S, int L) override { Start = S, Length = L; }
    void SetCaretLine(int Line) override { Start = LineStart(Line), Length = 0; }
    bool TextHasFocus() const override { return Focus; }
    void ReleaseTextFocus() override { Focus = false; }
    void NewFile() override { Text.clear(), FileName.clear(); }
    bool LoadFromFile(const std::string &Name) override
    {
        std::ifstream in(Name, std::ios::binary);
        if (!in)
            return false;
        std::stringstream s;
        s << in.rdbuf();
        Text = s.str();
        FileName = Name;
        return true;
    }
    void SaveFile() override {}
    void SaveFileAs(std::string &Name) override { FileName = Name; }
    bool CheckSaveChanges(bool) override { ++SaveChecks; return true; }
    void SetMenuEnabled(bool E) override { MenuEnabled = E; }
    void SetReadOnly(bool R) override { ReadOnly = R; }
    void SetUnits(TUnits U) override { Units = U; }
    void SetBillet(const TBilletSize &B) override { Billet = B; }
    void SetMachineName(const std::string &N) override { MachineName = N; }
    void SetToolCount(int C) override { ToolCount = C; }
    void SetToolingFile(const std::string &F) override { ToolingFile = F; }
    void UpdateWizard() override { ++WizardUpdates; }
    void SetOnHiliteOutput(THiliteEvent E) override { Hilite = std::move(E); }
    void SetOnEditorChange(std::function<void(TObject *)> E) override { Changed = std::move(E); }
    void SetLineSelectChanged(TLineChangeNotifyEvent E) override { LineSelect = std::move(E); }
    TBounds Bounds() const override { return Box; }
    void SetBounds(const TBounds &B) override { Box = B; }
    void ShowWindow() override { Shown = true; }
};

} // namespace orv::test
