#pragma once
// In-process component servers: a shared library that registers its
// classes in the class registry (DllRegisterServer), hands out a class
// factory per class id (DllGetClassObject) and says when it may be
// unloaded (DllCanUnloadNow). Objects are created by class id, driven
// through TDispatch and freed by Release in their own library. A control
// also has a window side, a child of a parent widget the host gives.

#include "platform/ComDispatch.h"

#include <memory>
#include <string>

namespace orv {

class TClassRegistry;

class TOleControl {
public:
    virtual ~TOleControl() = default;
    // Makes the control's window a child of Parent (a widget of the
    // user-interface toolkit, passed opaquely) and returns it.
    virtual void *CreateControlWindow(void *Parent) = 0;
    // The framework's draw hook with no screen: bounds of Width x Height
    // pixels and an invalid area covering them.
    virtual void DrawOffscreen(int Width, int Height) = 0;
    // Runs one of the control's verbs (OleVerbProperties: its property
    // page); E_NOTIMPL for a verb it does not have.
    virtual TComResult DoVerb(int Verb) { return E_NOTIMPL; }
};

// The verb that opens a control's property page.
constexpr int OleVerbProperties = -7;

class TComObject : public TDispatch {
public:
    // Frees the object in the library that made it.
    virtual void Release() = 0;
    // The control's window side; null for an object without one.
    virtual TOleControl *Control() { return nullptr; }
};

class TClassFactory {
public:
    virtual TComResult CreateInstance(TComObject **Object) = 0;
    virtual void Release() = 0;

protected:
    ~TClassFactory() = default;
};

struct TComRelease {
    void operator()(TComObject *Object) const
    {
        if (Object)
            Object->Release();
    }
};
using TComPtr = std::unique_ptr<TComObject, TComRelease>;

// Signatures of the server exports.
extern "C" {
using TDllGetClassObject = TComResult (*)(const char *ClassId, TClassFactory **Factory);
using TDllRegistrationEntry = TComResult (*)();
}

// Creates an object of a registered class from its in-process server
// (loaded once and kept). REGDB_E_CLASSNOTREG when the class has no
// server in the registry, CO_E_DLLNOTFOUND when the library does not
// load, CO_E_ERRORINDLL when it lacks DllGetClassObject; else the
// factory's result.
TComResult CreateInstance(const std::string &ClassId, TComPtr &Object);
TComResult CreateInstance(const std::string &ClassId, TComPtr &Object,
                          const TClassRegistry &Registry);

// Calls DllRegisterServer or DllUnregisterServer of a library file.
TComResult CallRegistrationExport(const std::string &Library, const char *Export);

// The registry key of a class: "CLSID\" + ClassId.
std::string ClassKey(const std::string &ClassId);

} // namespace orv
