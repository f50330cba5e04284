#pragma once
// Persistent objects of the scene graph: a base that writes itself to and
// reads itself back from a stream, a file or a text through exchangeable
// writer and reader objects, guarded by an optional signature and a
// version; a list that archives its members by class name; and the
// registry of class names the archives resolve.
//
// Binary encoding (every value starts with a one-byte tag): 2, 3, 4 an
// integer of 1, 2 or 4 bytes; 5 a float (8-byte double); 6 a string of at
// most 255 bytes (1-byte length); 12 a longer string (4-byte length); 8 and
// 9 false and true; 1 opens a list and 0 ends it. Integers little-endian.

#include "platform/Classes.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <typeindex>
#include <vector>

namespace orv {

// Errors of reading and writing archives.
class EFilerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EReadError : public EFilerError {
public:
    using EFilerError::EFilerError;
};

// Writes Bytes as the whole of FileName by replacing the file, so a failed
// write leaves an old one as it was. EFilerError "Cannot create file
// "<name>"" when no file can be made there, "Stream write error" when the
// bytes do not get onto it.
void WriteFileReplacing(const std::string &FileName, std::string_view Bytes);
class EInvalidFileSignature : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EClassNotFound : public EFilerError {
public:
    using EFilerError::EFilerError;
};

extern const char *const SInvalidFileSignature; // "Invalid file signature"
extern const char *const SUnknownArchiveVersion; // " : unknown archive version "
extern const char *const SBrokenObjectListArchive; // "Broken ObjectList archive"
extern const char *const SListIndexError; // "Invalid list index"
extern const char *const SStreamReadError; // "Stream read error"

enum TValueTag : uint8_t {
    vaNull = 0, // end of a list
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaFloat = 5,
    vaString = 6,
    vaFalse = 8,
    vaTrue = 9,
    vaLString = 12,
};

class TVirtualWriter : public TObject {
public:
    explicit TVirtualWriter(std::ostream &Stream) : FStream(Stream) {}
    virtual void PutBytes(const void *Buffer, size_t Count) = 0;
    virtual void PutInteger(int32_t Value) = 0;
    virtual void PutBoolean(bool Value) = 0;
    virtual void PutString(const std::string &Value) = 0;
    virtual void PutFloat(double Value) = 0;
    virtual void BeginList() = 0;
    virtual void EndList() = 0;
    // Writes what is buffered (also done when the writer goes).
    virtual void Flush() {}

protected:
    std::ostream &FStream;
};

// Every Get raises EReadError on a short stream or an unexpected tag.
class TVirtualReader : public TObject {
public:
    explicit TVirtualReader(std::istream &Stream) : FStream(Stream) {}
    virtual void GetBytes(void *Buffer, size_t Count) = 0;
    virtual int PeekTag() = 0; // -1 at the end of the stream
    virtual int32_t GetInteger() = 0;
    virtual bool GetBoolean() = 0;
    virtual std::string GetString() = 0;
    virtual double GetFloat() = 0;
    virtual void OpenList() = 0;
    virtual void CloseList() = 0;
    virtual bool AtListEnd() = 0;

protected:
    std::istream &FStream;
};

class TBinaryWriter : public TVirtualWriter {
public:
    explicit TBinaryWriter(std::ostream &Stream);
    ~TBinaryWriter() override;
    void PutBytes(const void *Buffer, size_t Count) override;
    void PutInteger(int32_t Value) override;
    void PutBoolean(bool Value) override;
    void PutString(const std::string &Value) override;
    void PutFloat(double Value) override;
    void BeginList() override;
    void EndList() override;
    void Flush() override;

private:
    void PutTag(uint8_t Tag) { PutBytes(&Tag, 1); }
    std::vector<char> FBuffer; // 16384 bytes at most before it goes to the stream
};

class TBinaryReader : public TVirtualReader {
public:
    using TVirtualReader::TVirtualReader;
    void GetBytes(void *Buffer, size_t Count) override;
    int PeekTag() override;
    int32_t GetInteger() override;
    bool GetBoolean() override;
    std::string GetString() override;
    double GetFloat() override;
    void OpenList() override;
    void CloseList() override;
    bool AtListEnd() override;

private:
    uint8_t GetTag();
    [[noreturn]] void TagError(int Tag);
};

using TWriterFactory = std::function<std::unique_ptr<TVirtualWriter>(std::ostream &)>;
using TReaderFactory = std::function<std::unique_ptr<TVirtualReader>(std::istream &)>;

class TPersistentObject : public TPersistent {
public:
    // Raw bytes written before the archive and checked on reading; empty: none.
    virtual std::string ArchiveSignature() const { return {}; }
    virtual TWriterFactory WriterClassFor() const;
    virtual TReaderFactory ReaderClassFor() const;

    virtual void WriteArchive(TVirtualWriter &Writer) const {}
    virtual void ReadArchive(TVirtualReader &Reader) {}

    // Null factories mean the binary writer and reader. Errors propagate as
    // exceptions (EInvalidFileSignature, EFilerError and kin); the writer,
    // reader and file are released in every case.
    void StoreToStream(std::ostream &Stream, const TWriterFactory &Writer = nullptr) const;
    void RestoreFromStream(std::istream &Stream, const TReaderFactory &Reader = nullptr);
    // Null factories mean WriterClassFor and ReaderClassFor. EFilerError
    // "Cannot create file ..." or "Cannot open file ...".
    void StoreToFile(const std::string &FileName, const TWriterFactory &Writer = nullptr) const;
    void RestoreFromFile(const std::string &FileName, const TReaderFactory &Reader = nullptr);
    std::string StoreToText(const TWriterFactory &Writer = nullptr) const;
    void RestoreFromText(const std::string &Text, const TReaderFactory &Reader = nullptr);

    // A new instance of the same (registered) class with this one's data.
    std::unique_ptr<TPersistentObject> MakeClone() const;
    // EFilerError "<class name> : unknown archive version <Version>".
    [[noreturn]] void RaiseVersionError(int Version) const;

protected:
    // A source of exactly the same class is copied through an archive.
    void AssignTo(TPersistent &Dest) const override;
};

// The class names archives resolve: a registered class can be created by
// its name (ClassName()).
using TPersistentFactory = std::function<std::unique_ptr<TPersistentObject>()>;
void RegisterPersistentClass(const std::string &Name, const std::type_index &Type,
                             TPersistentFactory Factory);
template <class T> void RegisterPersistentClass(const std::string &Name)
{
    RegisterPersistentClass(Name, typeid(T), [] { return std::make_unique<T>(); });
}
// EClassNotFound "Class <Name> not found" when unknown.
std::unique_ptr<TPersistentObject> CreatePersistentObject(const std::string &Name);
std::string PersistentClassName(const std::type_index &Type); // empty when unknown

// One entry of a TPersistentObjectList: an object, or (Object null) a plain
// value; nil is the value 0.
struct TObjectListEntry {
    TPersistentObject *Object = nullptr;
    int32_t Value = 0;
};

class TPersistentObjectList : public TPersistentObject {
public:
    // Clears; the entries are not freed, except in a list an archive made
    // inside another list (it holds what that archive made, and frees it).
    ~TPersistentObjectList() override;
    static constexpr int GrowthDelta = 16;
    // Lists read inside lists at most this deep.
    static constexpr int MaxNesting = 64;

    int Count() const { return int(FEntries.size()); }
    int Capacity() const { return FCapacity; }
    // EListError "Invalid list index" when Index is out of range.
    const TObjectListEntry &Entry(int Index) const;
    int AddEntry(TObjectListEntry Entry);
    int AddObject(TPersistentObject *Object) { return AddEntry({Object, 0}); }
    void ResizeCapacity(int N);
    void ResizeCount(int N); // new entries are nil
    void ClearEntries();
    void FreeEntries(); // deletes every object entry, then ClearEntries

    void WriteArchive(TVirtualWriter &Writer) const override;
    // Frees the entries, then reads. Refuses a class index outside the
    // archive's class list, an unknown tag and lists nested deeper than
    // MaxNesting with EReadError "Broken ObjectList archive"; after any
    // error the objects read are freed and the list is empty.
    void ReadArchive(TVirtualReader &Reader) override;

protected:
    [[noreturn]] virtual void IndexError(int Index) const;
    virtual void ObjectRead(TPersistentObject &Object) {}

private:
    std::vector<TObjectListEntry> FEntries;
    int FCapacity = 0;
    bool FOwnsEntries = false;
};

} // namespace orv
