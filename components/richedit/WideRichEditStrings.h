#pragma once
// TWideRichEditStringsW: the rich edit's lines as a wide string list
// (TRichEditW::WideLines). Lines have no length limit; an insert at or past
// the end appends a line, also after an empty last line.

#include "components/widestrings/WStrList.h"

namespace orv {

class TRichEditW;

class TWideRichEditStringsW : public TWideStrings {
public:
    explicit TWideRichEditStringsW(TRichEditW &Editor) : FEditor(Editor) {}
    std::u16string Get(int Index) const override;
    int GetCount() const override;
    void Put(int Index, const std::u16string &S) override;
    void Clear() override;
    void Delete(int Index) override;
    void Insert(int Index, const std::u16string &S) override;
    std::u16string GetTextStr() const override;
    // Fires no OnChange and scans no links.
    void SetTextStr(const std::u16string &Text) override;
    // Painting off while updating.
    void SetUpdateState(bool Updating) override;
    // The control's Language.
    TLanguage Language() const override;
    void SetLanguage(TLanguage Value) override;
    // Appends with OnSelectionChange held back.
    void AddStrings(const TWideStrings &Other) override;
    // Files and streams go through the control's Lines (its InputFormat and
    // OutputFormat, the conversion of the file's extension).
    bool LoadFromStream(std::istream &In) override;
    bool SaveToStream(std::ostream &Out) const override;
    bool LoadFromFile(const std::string &FileName) override;
    bool SaveToFile(const std::string &FileName) const override;

private:
    TRichEditW &FEditor;
};

} // namespace orv
