// The plug-in library through the class registry: self-registration,
// creation by class id, dispatch calls, unregistration.
#include "platform/ClassRegistry.h"
#include "platform/ComServer.h"
#include "platform/IniFile.h"
#include "platform/tests/TempDir.h"
#include "simcontrol/VelmaroxOCXCtrl.h"
#include "simcontrol/render/SavedImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

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
    const std::string module = std::filesystem::canonical(ORV_VELMAROX_OCX).string();
    // Exactly these keys and values, nothing more: the type library with
    // its two interfaces, the control's class with its ProgID, the property
    // page. The dispatch table is checked member by member below.
    const std::string lib = std::string("TypeLib\\") + VelmaroxTypeLibId + "\\1.0";
    const std::string disp = std::string("Interface\\") + VelmaroxDispatchId;
    const std::string events = std::string("Interface\\") + VelmaroxEventsId;
    const std::string page = std::string("CLSID\\") + VelmaroxPropPageId;
    const std::string progId = "VELMAROXOCX.VelmaroxOCXCtrl.1";
    const std::string folder = std::filesystem::path(module).parent_path().string() + "/";
    std::vector<std::string> expected = {
        lib + "|@=VelmaroxOCX ActiveX Control module",
        lib + "\\0\\linux|@=" + module,
        lib + "\\FLAGS|@=0",
        lib + "\\HELPDIR|@=" + folder,
        lib + "\\HELPFILE|@=VelmaroxOCX.hlp",
        disp + "|@=_DVelmaroxOCX",
        disp + "\\TypeLib|@=" + VelmaroxTypeLibId,
        disp + "\\TypeLib|Version=1.0",
        events + "|@=_DVelmaroxOCXEvents",
        events + "\\TypeLib|@=" + VelmaroxTypeLibId,
        events + "\\TypeLib|Version=1.0",
        cls + "|@=VelmaroxOCX Control",
        cls + "\\ProgID|@=" + progId,
        cls + "\\InprocServer32|@=" + module,
        cls + "\\InprocServer32|ThreadingModel=Apartment",
        cls + "\\ToolboxBitmap32|@=" + module + ", 1",
        cls + "\\MiscStatus|@=0",
        cls + "\\MiscStatus\\1|@=131473",
        cls + "\\Control|@=",
        cls + "\\TypeLib|@=" + VelmaroxTypeLibId,
        cls + "\\Version|@=1.0",
        progId + "|@=VelmaroxOCX Control",
        progId + "\\CLSID|@=" + VelmaroxClassId,
        page + "|@=VelmaroxOCX Property Page",
        page + "\\InprocServer32|@=" + module,
        page + "\\InprocServer32|ThreadingModel=Apartment",
    };
    std::vector<std::string> written;
    const TIniFile file(Registry);
    for (const std::string &key : reg.Keys())
        for (const std::string &value : file.ReadSectionValues(key))
            if (key != lib + "\\Dispatch" || value.rfind("_DVelmaroxOCX=", 0) != 0)
                written.push_back(key + "|" + value);
    std::sort(expected.begin(), expected.end());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, expected);
    EXPECT_FALSE(reg.KeyExists(cls + "\\Insertable"));
    // The dispatch table of the type library lists every member with its
    // dispatch id, in order.
    std::vector<TDispMember> members;
    ASSERT_TRUE(ParseMembers(reg.Value(lib + "\\Dispatch", "_DVelmaroxOCX"), members));
    std::vector<std::string> listed;
    for (const TDispMember &m : members)
        listed.push_back(std::to_string(m.Id) + " " + m.Name);
    const std::vector<std::string> dispatch = {
        "1 Mode",     "2 Rapid",  "3 Tilt",        "4 Rotation",   "5 BackgroundColour",
        "6 BilletColour", "7 SurfaceColour", "8 SetBillet", "9 Linear", "10 Arc",
        "11 ShowViewer", "12 Save", "13 Tool",     "14 Redraw",    "-552 AboutBox"};
    EXPECT_EQ(listed, dispatch);

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
    EXPECT_TRUE(reg.Keys().empty()) << "every key it wrote is gone";
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
