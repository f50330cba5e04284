#include "view3d/geometry/PersistentClasses.h"
#include "view3d/geometry/VectorLists.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace orv {
namespace {

// A small archivable class with a signature and one integer of data.
class TSigned : public TPersistentObject {
public:
    int Data = 0;
    std::string ArchiveSignature() const override { return "SIG1"; }
    void WriteArchive(TVirtualWriter &W) const override
    {
        W.PutInteger(0);
        W.PutInteger(Data);
    }
    void ReadArchive(TVirtualReader &R) override
    {
        const int v = R.GetInteger();
        if (v != 0)
            RaiseVersionError(v);
        Data = R.GetInteger();
    }
};

class TClassA : public TPersistentObject {
public:
    int Data = 0;
    void WriteArchive(TVirtualWriter &W) const override { W.PutInteger(Data); }
    void ReadArchive(TVirtualReader &R) override { Data = R.GetInteger(); }
};

const bool gRegistered = [] {
    RegisterPersistentClass<TClassA>("A");
    RegisterPersistentClass<TSigned>("TSigned");
    return true;
}();

std::string Bytes(std::initializer_list<int> B)
{
    std::string s;
    for (int b : B)
        s.push_back(char(b));
    return s;
}

// Deletes the list's objects when the test ends, also after an error.
struct TOwnedList : TPersistentObjectList {
    ~TOwnedList() override { FreeEntries(); }
};

std::string TempFile(const char *Name)
{
    return testing::TempDir() + std::to_string(::getpid()) + "_" + Name;
}

std::string ReadFile(const std::string &Name)
{
    std::ifstream f(Name, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

TEST(PersistentClasses, EmptySignatureWritesNone)
{
    TClassA a;
    a.Data = 7;
    EXPECT_EQ(a.StoreToText(), Bytes({2, 7}));
    TClassA b;
    b.RestoreFromText(Bytes({2, 7}));
    EXPECT_EQ(b.Data, 7);
}

TEST(PersistentClasses, SignatureIsWrittenRawAndChecked)
{
    TSigned s;
    s.Data = 300;
    const std::string file = TempFile("signed.arc");
    s.StoreToFile(file);
    EXPECT_EQ(ReadFile(file), "SIG1" + Bytes({2, 0, 3, 0x2C, 0x01}));
    TSigned r;
    r.RestoreFromFile(file);
    EXPECT_EQ(r.Data, 300);
    std::remove(file.c_str());

    try {
        r.RestoreFromText("SIG2" + Bytes({2, 0, 2, 1}));
        FAIL() << "a wrong signature was accepted";
    } catch (const EInvalidFileSignature &e) {
        EXPECT_STREQ(e.what(), "Invalid file signature");
    }
}

TEST(PersistentClasses, ListNamesAClassOnceThenByIndex)
{
    TOwnedList list;
    auto *a1 = new TClassA;
    a1->Data = 5;
    auto *a2 = new TClassA;
    a2->Data = 6;
    list.AddObject(a1);
    list.AddEntry({});
    list.AddObject(a2);
    const std::string expected = Bytes({2, 0, 1, 6, 1, 'A', 2, 5, 8, 2, 0, 2, 0, 2, 6, 0});
    const std::string file = TempFile("list.arc");
    list.StoreToFile(file);
    EXPECT_EQ(ReadFile(file), expected);

    TOwnedList back;
    back.RestoreFromFile(file);
    std::remove(file.c_str());
    ASSERT_EQ(back.Count(), 3);
    EXPECT_EQ(dynamic_cast<TClassA &>(*back.Entry(0).Object).Data, 5);
    EXPECT_EQ(back.Entry(1).Object, nullptr);
    EXPECT_EQ(dynamic_cast<TClassA &>(*back.Entry(2).Object).Data, 6);
    EXPECT_EQ(back.StoreToText(), expected);
}

TEST(PersistentClasses, BrokenArchivesAreRefused)
{
    struct Case {
        const char *Name;
        std::string Archive;
        std::string Message;
    } cases[] = {
        {"version 1", Bytes({2, 1, 1, 0}), "TOwnedList : unknown archive version 1"},
        {"class index past the class list", Bytes({2, 0, 1, 2, 0, 2, 5, 0}),
         "Broken ObjectList archive"},
        {"index of a class read later", Bytes({2, 0, 1, 2, 1, 6, 1, 'A', 2, 5, 0}),
         "Broken ObjectList archive"},
        {"negative class index", Bytes({2, 0, 1, 2, -1, 0}), "Broken ObjectList archive"},
        {"float where an entry starts", Bytes({2, 0, 1, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
         "Broken ObjectList archive"},
        {"unknown class", Bytes({2, 0, 1, 6, 1, 'Q', 2, 5, 0}), "Class Q not found"},
        {"cut in an entry", Bytes({2, 0, 1, 6, 1, 'A'}), "Stream read error"},
        {"string longer than the stream", Bytes({2, 0, 1, 12, -1, -1, -1, 0x7F, 'A'}),
         "Stream read error"},
        {"no end of list", Bytes({2, 0, 1, 8, 2, 3}), "Stream read error"},
        {"empty", "", "Stream read error"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TOwnedList list;
        try {
            list.RestoreFromText(c.Archive);
            ADD_FAILURE() << "accepted";
        } catch (const std::exception &e) {
            EXPECT_EQ(e.what(), c.Message);
        }
    }
}

// Counts its live instances, so a test sees what a read left behind.
class TCounted : public TPersistentObject {
public:
    static inline int Live = 0;
    TCounted() { ++Live; }
    ~TCounted() override { --Live; }
    void ReadArchive(TVirtualReader &R) override { R.GetInteger(); }
};
const bool gCountedRegistered = [] {
    RegisterPersistentClass<TCounted>("C");
    return true;
}();

// The archive of a list of Entries (each a class name or index and its data).
std::string ListArchive(const std::string &Entries) { return Bytes({2, 0, 1}) + Entries + Bytes({0}); }
std::string Named(const std::string &Class) { return Bytes({6, int(Class.size())}) + Class; }

TEST(PersistentClasses, ListsInsideListsFreeWhatTheyReadAndRefuseDeepNesting)
{
    const std::string counted = Named("C") + Bytes({2, 7});
    const std::string inner =
        Named("TPersistentObjectList") + ListArchive(counted + Bytes({2, 0, 2, 8}));
    std::string deep = Bytes({2, 0, 1});
    for (int i = 0; i < 100000; ++i)
        deep += Named("TPersistentObjectList") + Bytes({2, 0, 1});
    struct Case {
        const char *Name;
        std::string Archive;
        int Count; // entries read; -1: refused
    } cases[] = {
        {"a list inside a list", ListArchive(counted + inner), 2},
        {"broken inside the inner list",
         ListArchive(counted + Named("TPersistentObjectList") +
                     Bytes({2, 0, 1}) + counted + Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0, 0})),
         -1},
        {"cut after the inner list", ListArchive(counted + inner).substr(0, 44), -1},
        {"lists nested past the limit", deep, -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TOwnedList list;
        list.AddObject(new TCounted); // freed by the read
        try {
            list.RestoreFromText(c.Archive);
            EXPECT_EQ(list.Count(), c.Count);
        } catch (const EFilerError &e) {
            EXPECT_EQ(c.Count, -1) << e.what();
            EXPECT_EQ(list.Count(), 0);
        }
        list.FreeEntries();
        EXPECT_EQ(TCounted::Live, 0);
    }
}

TEST(PersistentClasses, ListsNestAsDeepAsTheLimit)
{
    std::string archive = Bytes({2, 0, 1});
    for (int i = 1; i < TPersistentObjectList::MaxNesting; ++i)
        archive += Named("TPersistentObjectList") + Bytes({2, 0, 1});
    archive += std::string(size_t(TPersistentObjectList::MaxNesting), '\0');
    TOwnedList list;
    list.RestoreFromText(archive);
    EXPECT_EQ(list.StoreToText(), archive);
    TOwnedList deeper;
    EXPECT_THROW(deeper.RestoreFromText(Bytes({2, 0, 1}) + Named("TPersistentObjectList") +
                                        archive.substr(0, archive.size() - 1) + Bytes({0, 0})),
                 EReadError);
}

TEST(PersistentClasses, AssignAndCloneCopyThroughAnArchive)
{
    TSingleList a;
    a.AddValue(1.5f);
    a.AddValue(-2);
    std::unique_ptr<TPersistentObject> clone = a.MakeClone();
    auto &b = dynamic_cast<TSingleList &>(*clone);
    ASSERT_EQ(b.Count(), 2);
    EXPECT_EQ(b[1], -2.0f);

    TClassA x, y;
    x.Data = 9;
    y.Assign(x);
    EXPECT_EQ(y.Data, 9);
    TSigned other;
    EXPECT_THROW(other.Assign(x), EConvertError);
}

TEST(PersistentClasses, ListGrowthAndIndexErrors)
{
    TPersistentObjectList list;
    for (int i = 0; i < 16; ++i)
        list.AddEntry({nullptr, i});
    EXPECT_EQ(list.Capacity(), 16);
    list.AddEntry({nullptr, 16});
    EXPECT_EQ(list.Capacity(), 32);
    list.ResizeCount(40);
    EXPECT_EQ(list.Entry(39).Value, 0);
    try {
        list.Entry(40);
        FAIL();
    } catch (const EListError &e) {
        EXPECT_STREQ(e.what(), "Invalid list index");
    }
    list.ClearEntries();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);
}

} // namespace
} // namespace orv
