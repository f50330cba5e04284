#pragma once
// TWideStrings: a list of 16-bit strings with objects, a locale for
// case-insensitive search, its own file format (the mark FE FF, then
// little-endian units, lines ending CR LF) and form data ("WideStrings":
// four hexadecimal digits a character). Subclasses supply the storage;
// TWideStringList keeps the strings in memory.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace orv {

using TLanguage = int;

class TWideStrings {
public:
    TWideStrings();
    virtual ~TWideStrings() = default;

    virtual std::u16string Get(int Index) const = 0;
    virtual int GetCount() const = 0;
    virtual void *GetObject(int Index) const;
    virtual void Put(int Index, const std::u16string &S);
    virtual void PutObject(int Index, void *Object);
    virtual void Clear() = 0;
    virtual void Delete(int Index) = 0;
    virtual void Insert(int Index, const std::u16string &S) = 0;
    virtual std::u16string GetTextStr() const;
    // Lines end at CR, LF or CR LF; a break at the very end adds no line.
    virtual void SetTextStr(const std::u16string &Text);
    virtual void SetUpdateState(bool) {}

    virtual TLanguage Language() const { return FLanguage; }
    virtual void SetLanguage(TLanguage Value) { FLanguage = Value; }

    int Add(const std::u16string &S);
    int AddObject(const std::u16string &S, void *Object);
    virtual void AddStrings(const TWideStrings &Other);
    void Assign(const TWideStrings &Other);
    // 8-bit strings in the system code page, appended.
    void Assign(const std::vector<std::string> &Other);
    void Exchange(int A, int B);
    void Move(int From, int To);
    // First string equal to S ignoring case; -1 when none.
    int IndexOf(const std::u16string &S) const;
    bool Equals(const TWideStrings &Other) const;
    void BeginUpdate();
    void EndUpdate();

    // FE FF or FF FE (both read as little-endian units) or no mark.
    virtual bool LoadFromStream(std::istream &In);
    // FE FF, then the text as little-endian units; false when it cannot be
    // written.
    virtual bool SaveToStream(std::ostream &Out) const;
    // False when the file cannot be opened or written.
    virtual bool LoadFromFile(const std::string &FileName);
    virtual bool SaveToFile(const std::string &FileName) const;

    // The "WideStrings" form value and its reader: four upper-case
    // hexadecimal digits per character of GetTextStr. Reading ignores a
    // trailing incomplete group; a group that is not four hexadecimal digits
    // is the reader's error: false with "Error reading WideStrings: "<group>"
    // is not a hexadecimal character code" in Error, the lines unchanged.
    std::string WideStringsProperty() const;
    bool ReadWideStringsProperty(const std::string &Hex, std::string *Error = nullptr);

private:
    int FUpdateCount = 0;
    TLanguage FLanguage;
};

class TWideStringList : public TWideStrings {
public:
    std::u16string Get(int Index) const override { return FItems.at(size_t(Index)).Text; }
    int GetCount() const override { return int(FItems.size()); }
    void *GetObject(int Index) const override { return FItems.at(size_t(Index)).Object; }
    void Put(int Index, const std::u16string &S) override { FItems.at(size_t(Index)).Text = S; }
    void PutObject(int Index, void *Object) override { FItems.at(size_t(Index)).Object = Object; }
    void Clear() override { FItems.clear(); }
    void Delete(int Index) override;
    // An index at or past the end appends.
    void Insert(int Index, const std::u16string &S) override;

private:
    struct TItem {
        std::u16string Text;
        void *Object = nullptr;
    };
    std::vector<TItem> FItems;
};

} // namespace orv
