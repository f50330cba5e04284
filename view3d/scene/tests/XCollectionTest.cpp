#include "view3d/geometry/Assertion.h"
#include "view3d/scene/GLRecorder.h"
#include "view3d/scene/GLWorld.h"
#include "view3d/scene/XCollection.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

namespace orv {
namespace {

class TItemA : public TXCollectionItem {
public:
    using TXCollectionItem::TXCollectionItem;
    std::string ItemTitle() const override { return "A item"; }
};
class TItemB : public TXCollectionItem {
public:
    using TXCollectionItem::TXCollectionItem;
    std::string ItemTitle() const override { return "B item"; }
};
class TSingle : public TXCollectionItem {
public:
    using TXCollectionItem::TXCollectionItem;
    std::string ItemTitle() const override { return "Single"; }
    bool SingleInstance() const override { return true; }
};
class TSingleChild : public TSingle {
public:
    using TSingle::TSingle;
};

const bool gRegistered = [] {
    RegisterXCollectionItemClass<TItemA>("A");
    RegisterXCollectionItemClass<TItemB>("B");
    RegisterXCollectionItemClass<TSingle>("TSingle", true);
    RegisterXCollectionItemClass<TSingleChild>("TSingleChild", true);
    return true;
}();

std::string Bytes(std::initializer_list<int> B)
{
    std::string s;
    for (int b : B)
        s.push_back(char(b));
    return s;
}

TEST(XCollection, StreamNamesEachClassOnce)
{
    TXCollection c(nullptr);
    (new TItemA(&c))->Name = "a";
    (new TItemB(&c))->Name = "b";
    FindItemClass("A")->Create(&c); // named after its title
    // 3, "A", data, "B", data, 0, data; an item's data is version 0 and its name.
    const std::string expected = Bytes({2, 3, 6, 1, 'A', 2, 0, 6, 1, 'a', 6, 1, 'B', 2, 0, 6, 1,
                                        'b', 2, 0, 2, 0, 6, 6, 'A', ' ', 'i', 't', 'e', 'm'});
    EXPECT_EQ(c.SaveToText(), expected);

    // Through a file and back, byte for byte.
    const std::string file =
        testing::TempDir() + "collection_" + std::to_string(::getpid()) + ".bin";
    {
        std::ofstream f(file, std::ios::binary);
        f << c.SaveToText();
    }
    std::ifstream f(file, std::ios::binary);
    const std::string read{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    TXCollection back(nullptr);
    back.LoadFromText(read);
    std::remove(file.c_str());
    ASSERT_EQ(back.Count(), 3);
    EXPECT_NE(dynamic_cast<TItemB *>(back.Items(1)), nullptr);
    EXPECT_EQ(back.Items(2)->Name, "A item");
    EXPECT_EQ(back.SaveToText(), expected);

    TXCollection empty(nullptr);
    empty.LoadFromText(Bytes({2, 0}));
    EXPECT_EQ(empty.Count(), 0);
}

TEST(XCollection, BrokenStreamsAreRefused)
{
    struct Case {
        const char *Name;
        std::string Stream;
        std::string Message;
    } cases[] = {
        {"unknown class", Bytes({2, 1, 6, 1, 'Q', 2, 0, 6, 0}),
         "Class Q unknown. Add the relevant unit to your \"uses\"."},
        {"index before any name", Bytes({2, 1, 2, 0, 2, 0, 6, 0}), "Broken XCollection stream"},
        {"index past the names", Bytes({2, 2, 6, 1, 'A', 2, 0, 6, 0, 2, 1, 2, 0, 6, 0}),
         "Broken XCollection stream"},
        {"negative count", Bytes({2, -1}), "Broken XCollection stream"},
        {"item version 1", Bytes({2, 1, 6, 1, 'A', 2, 1, 6, 0}),
         "Assertion failed: Assertion failure"},
        {"count larger than the items", Bytes({4, -1, -1, -1, 0x7F, 6, 1, 'A', 2, 0, 6, 0}),
         "Stream read error"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TXCollection x(nullptr);
        try {
            x.LoadFromText(c.Stream);
            ADD_FAILURE() << "accepted";
        } catch (const std::exception &e) {
            EXPECT_EQ(e.what(), c.Message);
        }
    }
}

TEST(XCollection, AssignNamePathAndSingleInstances)
{
    TXCollection a(nullptr), b(nullptr);
    (new TItemA(&a))->Name = "x";
    b.AssignFrom(a);
    ASSERT_EQ(b.Count(), 1);
    EXPECT_EQ(b.Items(0)->Name, "x");
    TGLBaseSceneObject node;
    EXPECT_THROW(b.AssignFrom(node.Behaviours()), EConvertError);

    node.Name = "Quad";
    new TGLBehaviour(&node.Behaviours());
    auto *second = new TGLBehaviour(&node.Behaviours());
    EXPECT_EQ(second->GetNamePath(), "Quad.XCollection[1]");
    EXPECT_NE(node.BehavioursData(), "");
    EXPECT_EQ(node.EffectsData(), "");
    // Behaviours refuse effects; effects take only effects.
    EXPECT_FALSE(node.Behaviours().AcceptsClass(*FindItemClass("TGLObjectEffect")));
    EXPECT_TRUE(node.Effects().AcceptsClass(*FindItemClass("TGLObjectPostEffect")));
    EXPECT_FALSE(node.Effects().AcceptsClass(*FindItemClass("TGLBehaviour")));

    TXCollection s(nullptr);
    EXPECT_TRUE(s.AcceptsClass(*FindItemClass("TSingle")));
    new TSingle(&s);
    EXPECT_FALSE(s.AcceptsClass(*FindItemClass("TSingle")));
    EXPECT_FALSE(s.AcceptsClass(*FindItemClass("TSingleChild")));
    EXPECT_TRUE(s.AcceptsClass(*FindItemClass("A")));
}

// An after-effect renders once the whole scene is drawn.
class TCountingAfterEffect : public TGLObjectAfterEffect {
public:
    using TGLObjectAfterEffect::TGLObjectAfterEffect;
    int *Count = nullptr;
    void Render(TGLWorldBuffer *, TRenderContextInfo &) override { ++*Count; }
};

TEST(XCollection, EffectsRenderAroundTheObject)
{
    TGLRecorder gl;
    TGLWorld scene;
    auto *node = scene.Objects().NewChild<TDirectOpenGL>();
    int afterEffects = 0;
    auto *effect = new TCountingAfterEffect(&node->Effects());
    effect->Count = &afterEffects;
    TRenderContextInfo rci;
    TComponent owner;
    TGLWorldBuffer buffer(&owner);
    rci.Buffer = &buffer;
    node->Render(rci);
    ASSERT_EQ(buffer.AfterEffects.size(), 1u);
    EXPECT_EQ(afterEffects, 0); // queued, drawn by the scene at the end of the frame
}

} // namespace
} // namespace orv
