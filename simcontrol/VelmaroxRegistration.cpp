#include "simcontrol/VelmaroxRegistration.h"

#include "platform/ClassRegistry.h"
#include "platform/ComServer.h"
#include "platform/Paths.h"
#include "simcontrol/VelmaroxOCXCtrl.h"

#include <string>
#include <utility>
#include <vector>

namespace orv {

namespace {

struct TKey {
    std::string Key, Name, Value;
};

bool WriteAll(TClassRegistry &Registry, const std::vector<TKey> &Keys)
{
    for (const TKey &k : Keys)
        if (!Registry.SetValue(k.Key, k.Name, k.Value))
            return false;
    return true;
}

std::string TypeLibKey() { return std::string("TypeLib\\") + VelmaroxTypeLibId; }

std::vector<TKey> TypeLibraryKeys(const std::string &Module)
{
    const std::string lib = TypeLibKey() + "\\1.0";
    const std::string disp = std::string("Interface\\") + VelmaroxDispatchId;
    const std::string events = std::string("Interface\\") + VelmaroxEventsId;
    return {
        {lib, "@", "VelmaroxOCX ActiveX Control module"},
        {lib + "\\0\\linux", "@", Module},
        {lib + "\\FLAGS", "@", "0"},
        {lib + "\\HELPDIR", "@", ExtractFilePath(Module)},
        {lib + "\\HELPFILE", "@", "VelmaroxOCX.hlp"},
        {lib + "\\Dispatch", "_DVelmaroxOCX", DescribeMembers(VelmaroxMembers())},
        {disp, "@", "_DVelmaroxOCX"},
        {disp + "\\TypeLib", "@", VelmaroxTypeLibId},
        {disp + "\\TypeLib", "Version", "1.0"},
        {events, "@", "_DVelmaroxOCXEvents"},
        {events + "\\TypeLib", "@", VelmaroxTypeLibId},
        {events + "\\TypeLib", "Version", "1.0"},
    };
}

std::vector<TKey> ClassKeys(const std::string &Module)
{
    const std::string cls = ClassKey(VelmaroxClassId);
    const std::string page = ClassKey(VelmaroxPropPageId);
    return {
        {cls, "@", "VelmaroxOCX Control"},
        {cls + "\\ProgID", "@", VelmaroxProgId},
        {cls + "\\InprocServer32", "@", Module},
        {cls + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {cls + "\\ToolboxBitmap32", "@", Module + ", 1"},
        {cls + "\\MiscStatus", "@", "0"},
        {cls + "\\MiscStatus\\1", "@", std::to_string(VelmaroxMiscStatus)},
        {cls + "\\Control", "@", ""},
        {cls + "\\TypeLib", "@", VelmaroxTypeLibId},
        {cls + "\\Version", "@", "1.0"},
        {VelmaroxProgId, "@", "VelmaroxOCX Control"},
        {std::string(VelmaroxProgId) + "\\CLSID", "@", VelmaroxClassId},
        {page, "@", "VelmaroxOCX Property Page"},
        {page + "\\InprocServer32", "@", Module},
        {page + "\\InprocServer32", "ThreadingModel", "Apartment"},
    };
}

} // namespace

TComResult RegisterVelmarox(const std::string &Module, TClassRegistry &Registry)
{
    if (!WriteAll(Registry, TypeLibraryKeys(Module)))
        return SELFREG_E_TYPELIB;
    if (!WriteAll(Registry, ClassKeys(Module)))
        return SELFREG_E_CLASS;
    return S_OK;
}

TComResult UnregisterVelmarox(TClassRegistry &Registry)
{
    if (!Registry.DeleteTree(TypeLibKey()) ||
        !Registry.DeleteTree(std::string("Interface\\") + VelmaroxDispatchId) ||
        !Registry.DeleteTree(std::string("Interface\\") + VelmaroxEventsId))
        return SELFREG_E_TYPELIB;
    if (!Registry.DeleteTree(ClassKey(VelmaroxClassId)) ||
        !Registry.DeleteTree(ClassKey(VelmaroxPropPageId)) ||
        !Registry.DeleteTree(VelmaroxProgId))
        return SELFREG_E_CLASS;
    return S_OK;
}

} // namespace orv
