#pragma once
// TRichEditStringsW: the rich edit's lines as 8-bit strings in the code page
// of the control's Language (TRichEditW::Lines), on its wide lines; files
// and streams in the control's InputFormat / OutputFormat, through the
// conversion registered for the file's extension. TConversion moves the
// stream's blocks; the plain one ("rtf" and "txt" at start, and any
// extension not registered) copies them unchanged.

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TRichEditW;

class TConversion {
public:
    virtual ~TConversion() = default;
    // Bytes read into Buffer (0 at the end), -1 when the stream fails.
    virtual int ConvertReadStream(std::istream &In, char *Buffer, int Size);
    // Bytes written, -1 when the stream fails.
    virtual int ConvertWriteStream(std::ostream &Out, const char *Buffer, int Size);
};

using TConversionFactory = std::function<std::unique_ptr<TConversion>()>;

class TRichEditStringsW {
public:
    explicit TRichEditStringsW(TRichEditW &Editor) : FEditor(Editor) {}

    // An empty last line (a text ending in a line break) is not counted.
    int GetCount() const;
    std::string Get(int Index) const;
    void Put(int Index, const std::string &S);
    // Index at or past the end appends.
    void Insert(int Index, const std::string &S);
    int Add(const std::string &S);
    void Delete(int Index);
    void Clear();
    // Every line followed by CR LF.
    std::string GetTextStr() const;
    // Lines end at CR, LF or CR LF; fires no OnChange and scans no links.
    void SetTextStr(const std::string &Text);
    std::vector<std::string> Strings() const;
    // Appends with OnSelectionChange held back.
    void AddStrings(const std::vector<std::string> &Strings);
    // Clear, then AddStrings.
    void Assign(const std::vector<std::string> &Strings);
    void Assign(const TRichEditStringsW &Source);
    // Painting off from the first BeginUpdate to the last EndUpdate.
    void BeginUpdate();
    void EndUpdate();

    // False with the control's StreamError ("Failed to Load Stream",
    // "Failed to Save Stream", "Cannot open file <name>" or "Cannot create
    // file <name>"); a failed load keeps the text, a failed save the old file.
    bool LoadFromStream(std::istream &In);
    bool SaveToStream(std::ostream &Out);
    bool LoadFromFile(const std::string &FileName);
    // Ending: bytes written after the converted text, in the same save.
    bool SaveToFile(const std::string &FileName, const std::string &Ending = {});

    // The conversion for an extension without its dot, any case ("rtf").
    static void RegisterConversionFormat(const std::string &Extension, TConversionFactory Factory);
    static std::unique_ptr<TConversion> ConversionFor(const std::string &FileName);

private:
    TRichEditW &FEditor;
    int FUpdateCount = 0;
};

} // namespace orv
