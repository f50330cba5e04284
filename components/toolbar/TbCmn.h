#pragma once
// Window hooks shared by the toolbar family: controls register one callback
// with the kinds of thread-wide window events they watch (activation, window
// position changes, window destruction, mouse moves); the registry installs
// at most one hook of each type through the installed hook backend, counted
// per use, and removes it with its last user. Also the list sort of the docks
// and toolbars.

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace orv {

enum THookEvent : uint8_t {
    hkActivateApp = 0,
    hkWindowPosChanged = 1,
    hkDestroyWindow = 2,
    hkMouseMove = 3
};

// A set of THookEvent values.
class THookEvents {
public:
    THookEvents() = default;
    THookEvents(std::initializer_list<THookEvent> Kinds)
    {
        for (THookEvent k : Kinds)
            FBits |= uint8_t(1u << k);
    }
    bool Has(THookEvent Kind) const { return (FBits >> Kind) & 1u; }

private:
    uint8_t FBits = 0;
};

// Hook callback: the event kind, the window concerned and the message's two
// parameters (zeros for hkDestroyWindow). For hkActivateApp, WParam is 1 on
// activation and 0 on deactivation.
using THookProc = void (*)(THookEvent Kind, void *Wnd, intptr_t WParam, intptr_t LParam);

// The system hook types: call-window-procedure (hkActivateApp,
// hkWindowPosChanged), computer-based-training (hkDestroyWindow) and
// get-message (hkMouseMove).
enum THookType : uint8_t { htCallWndProc = 0, htCBT = 1, htGetMessage = 2 };
constexpr int HookTypeCount = 3;

// What installs the hooks for the thread; the widget layer provides one
// (an application event filter) and tests provide their own.
class THookBackend {
public:
    virtual ~THookBackend() = default;
    virtual void InstallHook(THookType Type) = 0;
    virtual void RemoveHook(THookType Type) = 0;
    virtual bool HasActiveWindow() const = 0;
};

// Installs Backend for the hooks installed from now on; nullptr installs none.
void SetHookBackend(THookBackend *Backend);
THookBackend *HookBackend();

// Registers Callback for Kinds (the kinds of its first registration stay);
// a second registration raises its count. Unless Designing the hook types
// needed by the kinds are installed.
void AddHookClient(THookProc Callback, THookEvents Kinds, bool Designing);
// Lowers the callback's count (deleting it at zero) and releases the hooks
// that its run-time registrations installed.
void RemoveHookClient(THookProc Callback);

// Called by the backend's hooks: every registered callback whose kinds hold
// Kind, in registration order; a failing callback does not stop the others.
void CallHookClients(THookEvent Kind, void *Wnd, intptr_t WParam, intptr_t LParam);

// Finalisation: removes every hook type whatever its count and frees the registry.
void RemoveAllHooks();

// State of the registry, for diagnostics and tests.
bool HookRegistryExists();
int HookClientCount(THookProc Callback);
int HookUseCount(THookType Type);
bool HookInstalled(THookType Type);

// True when the thread has an active window (asked of the backend).
bool AppHasActiveWindow();

// Sorts List in place with a quicksort (pivot at the middle index);
// Compare returns negative, zero or positive. Fewer than two items: unchanged.
using TListSortCompareEx = int (*)(const void *Item1, const void *Item2, void *ExtraData);
void SortPointerList(std::vector<void *> &List, TListSortCompareEx Compare, void *ExtraData);

} // namespace orv
