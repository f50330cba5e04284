#include "view3d/geometry/Assertion.h"
#include "view3d/geometry/Geometry.h"
#include "view3d/geometry/VectorLists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace orv {
namespace {

std::string Bytes(std::initializer_list<int> B)
{
    std::string s;
    for (int b : B)
        s.push_back(char(b));
    return s;
}

TEST(VectorLists, GrowthByDeltaAndZeroFill)
{
    TSingleList s;
    for (int i = 0; i < 16; ++i)
        s.AddValue(float(i));
    EXPECT_EQ(s.Capacity(), 16);
    s.AddValue(16);
    EXPECT_EQ(s.Capacity(), 32);
    EXPECT_EQ(s.Count(), 17);

    TAffineVectorList v;
    v.ResizeCount(5);
    EXPECT_EQ(v.Capacity(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(AffineIsNull(v[i]));
    EXPECT_THROW(v.ResizeCount(-1), EAssertionFailed);
    EXPECT_EQ(v.ItemSize(), 12);
    EXPECT_EQ(TVectorList().ItemSize(), 16);
    EXPECT_EQ(TTexPointList().ItemSize(), 8);
}

TEST(VectorLists, SortByKeysKeepsObjectsPaired)
{
    struct Case {
        const char *Name;
        std::vector<float> Keys;
    } cases[] = {
        {"three", {3, 1, 2}},
        {"two swapped", {2, 1}},
        {"one", {4}},
        {"equal keys", {1, 1, 0, 1, 0}},
        {"many", {9, 0, 8, 1, 7, 2, 6, 3, 5, 4, 0.5f, 1e30f, 0, 3.25f, 3.125f}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TSingleList keys;
        std::vector<void *> objects;
        for (const float &k : c.Keys) {
            keys.AddValue(k);
            objects.push_back(const_cast<float *>(&k));
        }
        SortByKeys(0, keys.Count() - 1, keys, objects);
        for (int i = 0; i < keys.Count(); ++i) {
            if (i > 0) {
                EXPECT_LE(keys[i - 1], keys[i]);
            }
            EXPECT_EQ(*static_cast<float *>(objects[size_t(i)]), keys[i]);
        }
    }
    // The objects move with their keys: (3, 1, 2) with (a, b, c) gives (b, c, a).
    TSingleList keys;
    for (float k : {3.f, 1.f, 2.f})
        keys.AddValue(k);
    char a, b, c;
    std::vector<void *> objects = {&a, &b, &c};
    SortByKeys(0, 2, keys, objects);
    EXPECT_EQ(objects, (std::vector<void *>{&b, &c, &a}));
}

TEST(VectorLists, ExtentsSumAndBulkOperations)
{
    TAffineVectorList v;
    TAffineVec3f mn, mx;
    v.GetExtents(mn, mx);
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(mn.X, inf);
    EXPECT_EQ(mn.Z, inf);
    EXPECT_EQ(mx.Y, -inf);

    v.Add({1, -2, 3});
    v.Add({-4, 5, 0});
    v.GetExtents(mn, mx);
    EXPECT_TRUE(AffineEquals(mn, {-4, -2, 0}));
    EXPECT_TRUE(AffineEquals(mx, {1, 5, 3}));
    EXPECT_TRUE(AffineEquals(v.Sum(), {-3, 3, 3}));

    TAffineVectorList w;
    w.Add({1, 1, 1});
    w.Add({0, 0, 0});
    EXPECT_FLOAT_EQ(v.MaxSpacing(w), 9);
    v.Translate({1, 0, 0});
    EXPECT_TRUE(AffineEquals(v[1], {-3, 5, 0}));
    v.CombineWith(w, 2);
    EXPECT_TRUE(AffineEquals(v[0], {4, 0, 5}));
    w.Add({0, 0, 0});
    EXPECT_THROW(v.MaxSpacing(w), EAssertionFailed);

    TAffineVectorList l;
    TAffineVectorList a, b;
    a.Add({0, 0, 0});
    b.Add({2, 4, 6});
    l.LerpFrom(a, b, 0.5f);
    ASSERT_EQ(l.Count(), 1);
    EXPECT_TRUE(AffineEquals(l[0], {1, 2, 3}));
    TVectorList h;
    EXPECT_THROW(h.LerpFrom(a, b, 0.5f), EAbstractError);
}

TEST(VectorLists, ArchiveRoundTripAndBrokenArchives)
{
    TSingleList s;
    s.AddValue(1.0f);
    const std::string text = s.StoreToText();
    EXPECT_EQ(text, Bytes({2, 0, 2, 1, 2, 4, 0, 0, 0x80, 0x3F}));
    TSingleList back;
    back.RestoreFromText(text);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back[0], 1.0f);

    TVectorList v;
    v.Add({1, 2, 3, 4});
    TVectorList vb;
    vb.RestoreFromText(v.StoreToText());
    EXPECT_TRUE(HomogeneousEquals(vb[0], {1, 2, 3, 4}));

    struct Case {
        const char *Name;
        std::string Archive;
        std::string Message;
    } cases[] = {
        {"version 1", Bytes({2, 1, 2, 0, 2, 4}), "TSingleList : unknown archive version 1"},
        {"item size of another list", Bytes({2, 0, 2, 1, 2, 12, 0, 0, 0, 0}),
         "Broken ObjectList archive"},
        {"negative count", Bytes({2, 0, 2, -1, 2, 4}), "Broken ObjectList archive"},
        // 0x7FFFFFFF entries announced, four bytes present.
        {"count the stream cannot hold", Bytes({2, 0, 4, -1, -1, -1, 0x7F, 2, 4, 0, 0, 0, 0}),
         "Stream read error"},
        {"cut entries", Bytes({2, 0, 2, 2, 2, 4, 0, 0, 0x80, 0x3F}), "Stream read error"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TSingleList l;
        try {
            l.RestoreFromText(c.Archive);
            ADD_FAILURE() << "accepted";
        } catch (const std::exception &e) {
            EXPECT_EQ(e.what(), c.Message);
        }
    }
    // The vector lists carry a second version.
    std::string vt = v.StoreToText();
    vt.back() = 1;
    TVectorList bad;
    EXPECT_THROW(bad.RestoreFromText(vt), EFilerError);
}

TEST(VectorLists, AssignCopiesEntriesOfTheSameClass)
{
    TSingleList a, b;
    a.AddValue(2);
    a.AddValue(3);
    a.GrowthDelta = 4;
    b.Assign(a);
    ASSERT_EQ(b.Count(), 2);
    EXPECT_EQ(b[1], 3.0f);
    EXPECT_EQ(b.GrowthDelta, 4);
    EXPECT_EQ(b.Capacity(), 2);
}

} // namespace
} // namespace orv
