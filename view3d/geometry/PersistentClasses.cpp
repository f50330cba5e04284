#include "view3d/geometry/PersistentClasses.h"
#include "platform/SafeSave.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

namespace orv {

const char *const SInvalidFileSignature = "Invalid file signature";
const char *const SUnknownArchiveVersion = " : unknown archive version ";
const char *const SBrokenObjectListArchive = "Broken ObjectList archive";
const char *const SListIndexError = "Invalid list index";
const char *const SStreamReadError = "Stream read error";

namespace {

constexpr size_t cWriterBufferSize = 16384;

// ---- the class registry ----

struct TRegistry {
    std::mutex Lock;
    std::map<std::string, TPersistentFactory> ByName;
    std::map<std::type_index, std::string> Names;
};

TRegistry &Registry()
{
    static TRegistry r;
    return r;
}

template <class T> void PutLittleEndian(TVirtualWriter &W, T Value)
{
    unsigned char b[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i)
        b[i] = static_cast<unsigned char>(uint64_t(Value) >> (8 * i));
    W.PutBytes(b, sizeof b);
}

template <class T> T GetLittleEndian(TVirtualReader &R)
{
    unsigned char b[sizeof(T)];
    R.GetBytes(b, sizeof b);
    uint64_t v = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        v |= uint64_t(b[i]) << (8 * i);
    return static_cast<T>(v);
}

const struct TRegisterList {
    TRegisterList() { RegisterPersistentClass<TPersistentObjectList>("TPersistentObjectList"); }
} gRegisterList;

} // namespace

void RegisterPersistentClass(const std::string &Name, const std::type_index &Type,
                             TPersistentFactory Factory)
{
    TRegistry &r = Registry();
    std::lock_guard<std::mutex> guard(r.Lock);
    r.ByName[Name] = std::move(Factory);
    r.Names[Type] = Name;
}

std::unique_ptr<TPersistentObject> CreatePersistentObject(const std::string &Name)
{
    TPersistentFactory factory;
    {
        TRegistry &r = Registry();
        std::lock_guard<std::mutex> guard(r.Lock);
        auto it = r.ByName.find(Name);
        if (it != r.ByName.end())
            factory = it->second;
    }
    if (!factory)
        throw EClassNotFound("Class " + Name + " not found");
    return factory();
}

std::string PersistentClassName(const std::type_index &Type)
{
    TRegistry &r = Registry();
    std::lock_guard<std::mutex> guard(r.Lock);
    auto it = r.Names.find(Type);
    return it == r.Names.end() ? std::string() : it->second;
}

// ---- binary writer ----

TBinaryWriter::TBinaryWriter(std::ostream &Stream) : TVirtualWriter(Stream)
{
    FBuffer.reserve(cWriterBufferSize);
}

TBinaryWriter::~TBinaryWriter()
{
    try {
        Flush();
    } catch (...) {
        // A writer that goes while an error propagates must not raise again.
    }
}

void TBinaryWriter::Flush()
{
    if (FBuffer.empty())
        return;
    FStream.write(FBuffer.data(), std::streamsize(FBuffer.size()));
    FBuffer.clear();
    if (!FStream)
        throw EFilerError("Stream write error");
}

void TBinaryWriter::PutBytes(const void *Buffer, size_t Count)
{
    const char *p = static_cast<const char *>(Buffer);
    while (Count > 0) {
        const size_t n = std::min(Count, cWriterBufferSize - FBuffer.size());
        FBuffer.insert(FBuffer.end(), p, p + n);
        p += n;
        Count -= n;
        if (FBuffer.size() == cWriterBufferSize)
            Flush();
    }
}

void TBinaryWriter::PutInteger(int32_t Value)
{
    if (Value >= INT8_MIN && Value <= INT8_MAX) {
        PutTag(vaInt8);
        PutLittleEndian<int8_t>(*this, int8_t(Value));
    } else if (Value >= INT16_MIN && Value <= INT16_MAX) {
        PutTag(vaInt16);
        PutLittleEndian<int16_t>(*this, int16_t(Value));
    } else {
        PutTag(vaInt32);
        PutLittleEndian<int32_t>(*this, Value);
    }
}

void TBinaryWriter::PutBoolean(bool Value) { PutTag(Value ? vaTrue : vaFalse); }

void TBinaryWriter::PutString(const std::string &Value)
{
    if (Value.size() <= 255) {
        PutTag(vaString);
        PutLittleEndian<uint8_t>(*this, uint8_t(Value.size()));
    } else {
        PutTag(vaLString);
        PutLittleEndian<uint32_t>(*this, uint32_t(Value.size()));
    }
    PutBytes(Value.data(), Value.size());
}

void TBinaryWriter::PutFloat(double Value)
{
    PutTag(vaFloat);
    uint64_t bits;
    std::memcpy(&bits, &Value, sizeof bits);
    PutLittleEndian<uint64_t>(*this, bits);
}

void TBinaryWriter::BeginList() { PutTag(vaList); }
void TBinaryWriter::EndList() { PutTag(vaNull); }

// ---- binary reader ----

void TBinaryReader::GetBytes(void *Buffer, size_t Count)
{
    if (Count == 0)
        return;
    FStream.read(static_cast<char *>(Buffer), std::streamsize(Count));
    if (size_t(FStream.gcount()) != Count)
        throw EReadError(SStreamReadError);
}

int TBinaryReader::PeekTag()
{
    const int c = FStream.peek();
    return c == std::char_traits<char>::eof() ? -1 : c;
}

uint8_t TBinaryReader::GetTag()
{
    uint8_t tag;
    GetBytes(&tag, 1);
    return tag;
}

void TBinaryReader::TagError(int Tag)
{
    throw EReadError("Invalid value tag " + std::to_string(Tag));
}

int32_t TBinaryReader::GetInteger()
{
    switch (const uint8_t tag = GetTag()) {
    case vaInt8:
        return GetLittleEndian<int8_t>(*this);
    case vaInt16:
        return GetLittleEndian<int16_t>(*this);
    case vaInt32:
        return GetLittleEndian<int32_t>(*this);
    default:
        TagError(tag);
    }
}

bool TBinaryReader::GetBoolean()
{
    const uint8_t tag = GetTag();
    if (tag != vaFalse && tag != vaTrue)
        TagError(tag);
    return tag == vaTrue;
}

std::string TBinaryReader::GetString()
{
    const uint8_t tag = GetTag();
    uint32_t length;
    if (tag == vaString)
        length = GetLittleEndian<uint8_t>(*this);
    else if (tag == vaLString)
        length = GetLittleEndian<uint32_t>(*this);
    else
        TagError(tag);
    // Read in pieces, so a length the stream cannot hold allocates no more
    // than what is actually there.
    std::string s;
    char piece[4096];
    while (s.size() < length) {
        const size_t n = std::min<size_t>(sizeof piece, length - s.size());
        GetBytes(piece, n);
        s.append(piece, n);
    }
    return s;
}

double TBinaryReader::GetFloat()
{
    const uint8_t tag = GetTag();
    if (tag != vaFloat)
        TagError(tag);
    const uint64_t bits = GetLittleEndian<uint64_t>(*this);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void TBinaryReader::OpenList()
{
    const uint8_t tag = GetTag();
    if (tag != vaList)
        TagError(tag);
}

void TBinaryReader::CloseList()
{
    const uint8_t tag = GetTag();
    if (tag != vaNull)
        TagError(tag);
}

bool TBinaryReader::AtListEnd()
{
    const int tag = PeekTag();
    if (tag < 0)
        throw EReadError(SStreamReadError);
    return tag == vaNull;
}

// ---- persistent object ----

TWriterFactory TPersistentObject::WriterClassFor() const
{
    return [](std::ostream &s) { return std::make_unique<TBinaryWriter>(s); };
}

TReaderFactory TPersistentObject::ReaderClassFor() const
{
    return [](std::istream &s) { return std::make_unique<TBinaryReader>(s); };
}

void TPersistentObject::StoreToStream(std::ostream &Stream, const TWriterFactory &Writer) const
{
    std::unique_ptr<TVirtualWriter> w =
        Writer ? Writer(Stream) : std::make_unique<TBinaryWriter>(Stream);
    const std::string signature = ArchiveSignature();
    if (!signature.empty())
        w->PutBytes(signature.data(), signature.size());
    WriteArchive(*w);
    w->Flush();
}

void TPersistentObject::RestoreFromStream(std::istream &Stream, const TReaderFactory &Reader)
{
    std::unique_ptr<TVirtualReader> r =
        Reader ? Reader(Stream) : std::make_unique<TBinaryReader>(Stream);
    const std::string signature = ArchiveSignature();
    if (!signature.empty()) {
        std::string read(signature.size(), '\0');
        Stream.read(read.data(), std::streamsize(read.size()));
        if (size_t(Stream.gcount()) != read.size() || read != signature)
            throw EInvalidFileSignature(SInvalidFileSignature);
    }
    ReadArchive(*r);
}

void TPersistentObject::StoreToFile(const std::string &FileName, const TWriterFactory &Writer) const
{
    std::ostringstream stream(std::ios::binary);
    StoreToStream(stream, Writer ? Writer : WriterClassFor());
    WriteFileReplacing(FileName, stream.str());
}

void WriteFileReplacing(const std::string &FileName, std::string_view Bytes)
{
    const TSaveResult saved = SaveFileReplacing(FileName, Bytes);
    if (saved.Failed == TSaveStep::Create)
        throw EFilerError("Cannot create file \"" + FileName + "\"");
    if (!saved)
        throw EFilerError("Stream write error");
}

void TPersistentObject::RestoreFromFile(const std::string &FileName, const TReaderFactory &Reader)
{
    std::ifstream file(FileName, std::ios::binary);
    if (!file)
        throw EFilerError("Cannot open file \"" + FileName + "\"");
    RestoreFromStream(file, Reader ? Reader : ReaderClassFor());
}

std::string TPersistentObject::StoreToText(const TWriterFactory &Writer) const
{
    std::ostringstream s(std::ios::binary);
    StoreToStream(s, Writer);
    return s.str();
}

void TPersistentObject::RestoreFromText(const std::string &Text, const TReaderFactory &Reader)
{
    std::istringstream s(Text, std::ios::binary);
    RestoreFromStream(s, Reader);
}

void TPersistentObject::AssignTo(TPersistent &Dest) const
{
    if (typeid(Dest) != typeid(*this)) {
        TPersistent::AssignTo(Dest);
        return;
    }
    static_cast<TPersistentObject &>(Dest).RestoreFromText(StoreToText());
}

std::unique_ptr<TPersistentObject> TPersistentObject::MakeClone() const
{
    std::string name = PersistentClassName(typeid(*this));
    if (name.empty())
        name = ClassName();
    std::unique_ptr<TPersistentObject> clone = CreatePersistentObject(name);
    clone->Assign(*this);
    return clone;
}

void TPersistentObject::RaiseVersionError(int Version) const
{
    throw EFilerError(ClassName() + SUnknownArchiveVersion + std::to_string(Version));
}

// ---- persistent object list ----

TPersistentObjectList::~TPersistentObjectList()
{
    if (FOwnsEntries)
        FreeEntries();
    else
        ClearEntries();
}

const TObjectListEntry &TPersistentObjectList::Entry(int Index) const
{
    if (Index < 0 || Index >= Count())
        IndexError(Index);
    return FEntries[size_t(Index)];
}

int TPersistentObjectList::AddEntry(TObjectListEntry Entry)
{
    if (Count() == FCapacity)
        ResizeCapacity(FCapacity + GrowthDelta);
    FEntries.push_back(Entry);
    return Count() - 1;
}

void TPersistentObjectList::ResizeCapacity(int N)
{
    if (N == FCapacity)
        return;
    if (N < Count())
        FEntries.resize(size_t(N));
    FEntries.reserve(size_t(N));
    FCapacity = N;
}

void TPersistentObjectList::ResizeCount(int N)
{
    if (N > FCapacity)
        ResizeCapacity(N);
    FEntries.resize(size_t(N));
}

void TPersistentObjectList::ClearEntries()
{
    FEntries.clear();
    FEntries.shrink_to_fit();
    FCapacity = 0;
}

void TPersistentObjectList::FreeEntries()
{
    for (TObjectListEntry &e : FEntries)
        delete e.Object;
    ClearEntries();
}

void TPersistentObjectList::IndexError(int Index) const { throw EListError(SListIndexError); }

void TPersistentObjectList::WriteArchive(TVirtualWriter &Writer) const
{
    Writer.PutInteger(0);
    Writer.BeginList();
    std::vector<std::type_index> classes;
    for (const TObjectListEntry &e : FEntries) {
        if (!e.Object) {
            Writer.PutBoolean(false);
            Writer.PutInteger(e.Value);
            continue;
        }
        const std::type_index type = typeid(*e.Object);
        auto it = std::find(classes.begin(), classes.end(), type);
        if (it == classes.end()) {
            std::string name = PersistentClassName(type);
            Writer.PutString(name.empty() ? e.Object->ClassName() : name);
            classes.push_back(type);
        } else {
            Writer.PutInteger(int32_t(it - classes.begin()));
        }
        e.Object->WriteArchive(Writer);
    }
    Writer.EndList();
}

void TPersistentObjectList::ReadArchive(TVirtualReader &Reader)
{
    FreeEntries();
    // The depth of the lists being read (in this thread), so an archive of
    // lists inside lists cannot exhaust the stack.
    static thread_local int depth = 0;
    struct TLevel {
        TLevel()
        {
            if (depth >= MaxNesting)
                throw EReadError(SBrokenObjectListArchive);
            ++depth;
        }
        ~TLevel() { --depth; }
    };
    try {
        TLevel level;
        const int32_t version = Reader.GetInteger();
        if (version != 0)
            RaiseVersionError(version);
        Reader.OpenList();
        std::vector<std::string> classes;
        while (!Reader.AtListEnd()) {
            const int tag = Reader.PeekTag();
            // Held until it is in the list, so an error while it reads frees it.
            std::unique_ptr<TPersistentObject> object;
            if (tag == vaInt8 || tag == vaInt16 || tag == vaInt32) {
                const int32_t index = Reader.GetInteger();
                if (index < 0 || size_t(index) >= classes.size())
                    throw EReadError(SBrokenObjectListArchive);
                object = CreatePersistentObject(classes[size_t(index)]);
            } else if (tag == vaString || tag == vaLString) {
                std::string name = Reader.GetString();
                object = CreatePersistentObject(name); // an unknown name raises here
                classes.push_back(std::move(name));
            } else if (tag == vaFalse || tag == vaTrue) {
                Reader.GetBoolean();
                AddEntry({nullptr, Reader.GetInteger()});
                continue;
            } else {
                throw EReadError(SBrokenObjectListArchive);
            }
            // A list made here holds what it reads: freed with it.
            if (auto *list = dynamic_cast<TPersistentObjectList *>(object.get()))
                list->FOwnsEntries = true;
            ObjectRead(*object);
            object->ReadArchive(Reader);
            AddEntry({object.get(), 0});
            object.release();
        }
        Reader.CloseList();
    } catch (...) {
        FreeEntries();
        throw;
    }
}

} // namespace orv
