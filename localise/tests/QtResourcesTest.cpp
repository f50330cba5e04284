#include "localise/LxCustomDictionary.h"
#include "localise/LxResources.h"
#include "localise/LxSystem.h"
#include "localise/LxTextDictionary.h"
#include "localise/ui/LxQtResources.h"
#include "localise/tests/LxTestSupport.h"
#include "localise/ui/LxWidgetText.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

using namespace orv;

namespace {

class LxQtResourcesTest : public test::TLxEnvironmentTest {
protected:
    void SetUp() override
    {
        TLxEnvironmentTest::SetUp();
        FPrevious = SetLxResourceLoader(nullptr);
        InstallLxQtResources();
    }
    void TearDown() override
    {
        SetLxResourceLoader(FPrevious);
        TLxEnvironmentTest::TearDown();
    }

private:
    TLxResourceLoader FPrevious;
};

} // namespace

TEST_F(LxQtResourcesTest, TablesFromTheProgramsResources)
{
    for (const TLxStorage storage : {lxsResource, lxsEmbedded}) {
        SCOPED_TRACE(storage);
        TLxTextDictionary dictionary;
        dictionary.SetStorage(storage);
        dictionary.SetOwnerClassName("TMess");
        dictionary.SetDictionaryName("Dictionary1");
        dictionary.SetOptions(lxdoAll & ~lxdoTranslateResourceStrings);
        dictionary.SetLanguage(1);
        dictionary.Open();
        ASSERT_TRUE(dictionary.Active());
        EXPECT_EQ(dictionary.GetLanguageCount(), 2);
        EXPECT_EQ(TranslateText(&dictionary, "File not found."), "Datei nicht gefunden.");
        dictionary.SetLanguage(0);
        EXPECT_EQ(TranslateText(&dictionary, "Tool"), "Tool");
    }
    std::string data;
    EXPECT_FALSE(LoadLxResource("LINGVARD", "MlLocale", data));
}

TEST(LxWidgetText, TranslatesAndWidensWidgets)
{
    QCheckBox box(QStringLiteral("x"));
    box.resize(10, 20);
    TLxWidgetText boxText(&box);
    TranslateWindowText(nullptr, boxText, "A much longer caption", true);
    EXPECT_EQ(box.text(), QStringLiteral("A much longer caption"));
    EXPECT_EQ(box.width(), boxText.TextWidth("A much longer caption") + 20);
    EXPECT_EQ(box.height(), 20);
    EXPECT_TRUE(boxText.HasMark());

    QLabel label(QStringLiteral("Label"));
    label.resize(500, 20);
    TLxWidgetText labelText(&label);
    TranslateWindowText(nullptr, labelText, "", true);
    EXPECT_EQ(label.text(), QStringLiteral("Label"));
    EXPECT_EQ(label.width(), 500);
    EXPECT_FALSE(labelText.HasMark());

    QWidget window;
    TLxWidgetText windowText(&window);
    windowText.SetText("Sprache wählen");
    EXPECT_EQ(windowText.Text(), "Sprache wählen");
}
