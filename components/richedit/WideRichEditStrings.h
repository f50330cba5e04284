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
    void SetTextStr(const std::u16string &Text) override;

private:
    TRichEditW &FEditor;
};

} // namespace orv
