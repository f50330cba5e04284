// The plug-in library through the class registry: self-registration,
// creation by class id, dispatch calls, unregistration.
#include "platform/ClassRegistry.h"
#include "platform/ComServer.h"
#include "platform/tests/TempDir.h"
#include "simcontrol/VelmaroxOCXCtrl.h"
#include "simcontrol/render/SavedImage.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace orv {
namespace {

class SimPluginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Registry = Dir.File("classes.reg");
        ::setenv("ORV_CLASS_REGISTRY", Registry.c_str(), 1);
    }
    void TearDown() override { ::unsetenv("ORV_CLASS_REGISTRY"); }
    test::TTempDir Dir;
    std::string Registry;
};

TEST_F(SimPluginTest, RegisterCreateUnregister)
{
    TComPtr control;
    EXPECT_EQ(CreateInstance(VelmaroxClassId, control), REGDB_E_CLASSNOTREG);
    ASSERT_EQ(CallRegistrationExport(ORV_VELMAROX_OCX, "DllRegisterServer"), S_OK);

    TClassRegistry reg(Registry);
    const std::string cls = std::string("CLSID\\") + VelmaroxClassId;
    const std::string module = reg.Value(cls + "\\InprocServer32");
    EXPECT_EQ(module, std::filesystem::canonical(ORV_VELMAROX_OCX).string());
    const struct {
        std::string Key, Name, Value;
    } keys[] = {
        {cls, "@", "VelmaroxOCX Control"},
        {cls + "\\ProgID", "@", "VELMAROXOCX.VelmaroxOCXCtrl.1"},
        {cls + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {cls + "\\ToolboxBitmap32", "@", module + ", 1"},
        {cls + "\\MiscStatus\\1", "@", "131473"},
        {cls + "\\TypeLib", "@", VelmaroxTypeLibId},
        {cls + "\\Version", "@", "1.0"},
        {std::string("CLSID\\") + VelmaroxPropPageId, "@", "VelmaroxOCX Property Page"},
        {std::string("TypeLib\\") + VelmaroxTypeLibId + "\\1.0", "@",
         "VelmaroxOCX ActiveX Control module"},
    };
    for (const auto &k : keys) {
        SCOPED_TRACE(k.Key);
        EXPECT_EQ(reg.Value(k.Key, k.Name), k.Value);
    }
    EXPECT_FALSE(reg.KeyExists(cls + "\\Insertable"));
    // The dispatch table of the type library lists every member.
    std::vector<TDispMember> members;
    ASSERT_TRUE(
        ParseMembers(reg.Value(std::string("TypeLib\\") + VelmaroxTypeLibId + "\\1.0\\Dispatch",
                               "_DVelmaroxOCX"),
                     members));
    EXPECT_EQ(members.size(), 15u);

    ASSERT_EQ(CreateInstance(VelmaroxClassId, control), S_OK);
    ASSERT_TRUE(control);
    ASSERT_TRUE(control->Control());
    EXPECT_EQ(control->Invoke(dispMode, DISPATCH_PROPERTYPUT, {TVariant::I2(2)}, nullptr), S_OK);
    control->Control()->DrawOffscreen(160, 120);
    TVariant saved;
    EXPECT_EQ(
        control->Invoke(dispSave, DISPATCH_METHOD, {TVariant::Str(Dir.File("p.bmp"))}, &saved),
        S_OK);
    EXPECT_TRUE(saved.AsBool());
    CSavedBitmap bmp;
    std::string error;
    EXPECT_TRUE(ReadSavedBitmap(Dir.File("p.bmp"), bmp, error)) << error;
    EXPECT_EQ(control->Invoke(99, DISPATCH_METHOD, {}, nullptr), DISP_E_MEMBERNOTFOUND);
    control.reset();

    EXPECT_EQ(CallRegistrationExport(ORV_VELMAROX_OCX, "DllUnregisterServer"), S_OK);
    EXPECT_FALSE(reg.KeyExists(cls));
    EXPECT_FALSE(reg.KeyExists(cls + "\\InprocServer32"));
    EXPECT_EQ(CreateInstance(VelmaroxClassId, control), REGDB_E_CLASSNOTREG);
}

TEST_F(SimPluginTest, UnwritableRegistryAndBadLibraries)
{
    const std::string blocker = Dir.Write("file", "x");
    ::setenv("ORV_CLASS_REGISTRY", (blocker + "/classes.reg").c_str(), 1);
    EXPECT_EQ(CallRegistrationExport(ORV_VELMAROX_OCX, "DllRegisterServer"), SELFREG_E_TYPELIB);
    EXPECT_EQ(CallRegistrationExport(Dir.Write("junk.OCX", "not a library"), "DllRegisterServer"),
              CO_E_DLLNOTFOUND);
    // A class whose server is gone cannot be made.
    TClassRegistry reg(Registry);
    ASSERT_TRUE(reg.SetValue(std::string("CLSID\\") + VelmaroxClassId + "\\InprocServer32", "@",
                             Dir.File("gone.OCX")));
    TComPtr control;
    EXPECT_EQ(CreateInstance(VelmaroxClassId, control, reg), CO_E_DLLNOTFOUND);
}

} // namespace
} // namespace orv
