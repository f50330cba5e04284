// The plug-in library "Velmarox.OCX": the simulation control's in-process
// server. Registers its type library and classes in the class registry,
// hands out the control's class factory by class id, and makes controls
// that draw offscreen until the host asks for their window.

#include "platform/ClassRegistry.h"
#include "platform/ComServer.h"
#include "platform/CursorService.h"
#include "platform/ui/QtCursorService.h"
#include "simcontrol/VelmaroxOCXCtrl.h"
#include "simcontrol/VelmaroxRegistration.h"
#include "simcontrol/ui/VelmaroxWidget.h"

#include <QApplication>
#include <QPointer>

#include <atomic>
#include <dlfcn.h>
#include <string>

#define ORV_EXPORT extern "C" __attribute__((visibility("default")))

namespace orv {
namespace {

std::atomic<int> LiveObjects{0};

std::string ModulePath()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void *>(&ModulePath), &info) == 0 || !info.dli_fname)
        return {};
    char resolved[4096];
    return ::realpath(info.dli_fname, resolved) ? std::string(resolved) : info.dli_fname;
}

// The toolkit's cursor for this module's drags, once a window exists.
void InstallCursorService()
{
    static TQtCursorService *service = nullptr;
    if (!service && QApplication::instance()) {
        service = new TQtCursorService;
        SetCursorService(service);
    }
}

class CVelmaroxObject : public TComObject, public TOleControl {
public:
    CVelmaroxObject() { ++LiveObjects; }
    // The widget may be in one of its own handlers (the replay's progress
    // window serves messages): it lets go of the control now and goes later.
    ~CVelmaroxObject() override
    {
        if (FWidget) {
            FWidget->Detach();
            FWidget->hide();
            FWidget->deleteLater();
        }
        --LiveObjects;
    }
    TComResult Invoke(int32_t Id, TInvokeKind Kind, const std::vector<TVariant> &Args,
                      TVariant *Result) override
    {
        return FCtrl.Invoke(Id, Kind, Args, Result);
    }
    void Release() override { delete this; }
    TOleControl *Control() override { return this; }

    void *CreateControlWindow(void *Parent) override
    {
        if (!FWidget) {
            InstallCursorService();
            FWidget = new CVelmaroxWidget(FCtrl, static_cast<QWidget *>(Parent));
        }
        return FWidget.data();
    }
    void DrawOffscreen(int Width, int Height) override { FCtrl.OnDraw(Width, Height); }
    TComResult DoVerb(int Verb) override
    {
        if (Verb != OleVerbProperties)
            return E_NOTIMPL;
        if (!FWidget)
            return E_FAIL; // the page belongs to the control's window
        FWidget->ShowPropertyPage();
        return S_OK;
    }

private:
    CVelmaroxOCXCtrl FCtrl;
    QPointer<CVelmaroxWidget> FWidget;
};

class CVelmaroxFactory : public TClassFactory {
public:
    TComResult CreateInstance(TComObject **Object) override
    {
        if (!Object)
            return E_POINTER;
        *Object = new CVelmaroxObject;
        return S_OK;
    }
    void Release() override {}
};

CVelmaroxFactory Factory;

} // namespace
} // namespace orv

ORV_EXPORT orv::TComResult DllRegisterServer()
{
    orv::TClassRegistry registry;
    return orv::RegisterVelmarox(orv::ModulePath(), registry);
}

ORV_EXPORT orv::TComResult DllUnregisterServer()
{
    orv::TClassRegistry registry;
    return orv::UnregisterVelmarox(registry);
}

ORV_EXPORT orv::TComResult DllGetClassObject(const char *ClassId, orv::TClassFactory **Factory)
{
    if (!Factory)
        return orv::E_POINTER;
    *Factory = nullptr;
    if (!ClassId || std::string(ClassId) != orv::VelmaroxClassId)
        return orv::CLASS_E_CLASSNOTAVAILABLE;
    *Factory = &orv::Factory;
    return orv::S_OK;
}

ORV_EXPORT orv::TComResult DllCanUnloadNow()
{
    return orv::LiveObjects == 0 ? orv::S_OK : orv::S_FALSE;
}
