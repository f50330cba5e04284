#include "components/toolbar/TbCmn.h"

#include <memory>

namespace orv {

namespace {

struct THookClient {
    THookProc Callback;
    int Count;
    int InstalledCount; // registrations made outside design time
    THookEvents Kinds;
};

struct THookRegistry {
    std::vector<THookClient> Clients;
};

struct THookSlot {
    bool Installed = false;
    int UseCount = 0;
};

THookBackend *GBackend = nullptr;
std::unique_ptr<THookRegistry> GRegistry;
THookSlot GSlots[HookTypeCount];

bool NeedsType(THookEvents Kinds, THookType Type)
{
    switch (Type) {
    case htCallWndProc:
        return Kinds.Has(hkActivateApp) || Kinds.Has(hkWindowPosChanged);
    case htCBT:
        return Kinds.Has(hkDestroyWindow);
    case htGetMessage:
        return Kinds.Has(hkMouseMove);
    }
    return false;
}

void InstallHooks(THookEvents Kinds)
{
    for (int t = 0; t < HookTypeCount; ++t) {
        if (!NeedsType(Kinds, THookType(t)))
            continue;
        THookSlot &slot = GSlots[t];
        ++slot.UseCount;
        if (slot.Installed)
            continue;
        slot.Installed = true;
        if (GBackend)
            GBackend->InstallHook(THookType(t));
    }
}

void RemoveSlot(int Type)
{
    THookSlot &slot = GSlots[Type];
    slot.UseCount = 0;
    if (!slot.Installed)
        return;
    slot.Installed = false;
    if (GBackend)
        GBackend->RemoveHook(THookType(Type));
}

void ReleaseHooks(THookEvents Kinds)
{
    for (int t = 0; t < HookTypeCount; ++t) {
        if (!NeedsType(Kinds, THookType(t)) || GSlots[t].UseCount <= 0)
            continue;
        if (--GSlots[t].UseCount == 0)
            RemoveSlot(t);
    }
}

THookClient *FindClient(THookProc Callback)
{
    if (!GRegistry)
        return nullptr;
    for (THookClient &c : GRegistry->Clients)
        if (c.Callback == Callback)
            return &c;
    return nullptr;
}

void FreeRegistryWhenEmpty()
{
    if (GRegistry && GRegistry->Clients.empty())
        GRegistry.reset();
}

} // namespace

void SetHookBackend(THookBackend *Backend) { GBackend = Backend; }

THookBackend *HookBackend() { return GBackend; }

void AddHookClient(THookProc Callback, THookEvents Kinds, bool Designing)
{
    if (!GRegistry)
        GRegistry = std::make_unique<THookRegistry>();
    THookClient *client = FindClient(Callback);
    if (client)
        ++client->Count;
    else
        GRegistry->Clients.push_back({Callback, 1, 0, Kinds});
    client = FindClient(Callback);
    if (Designing)
        return;
    ++client->InstalledCount;
    InstallHooks(client->Kinds);
}

void RemoveHookClient(THookProc Callback)
{
    THookClient *client = FindClient(Callback);
    if (!client) {
        FreeRegistryWhenEmpty();
        return;
    }
    THookEvents kinds = client->Kinds;
    // A design-time registration installed nothing, so it releases nothing:
    // the hooks of run-time users stay in place.
    bool releases = client->InstalledCount > 0;
    if (releases)
        --client->InstalledCount;
    if (--client->Count == 0) {
        auto &list = GRegistry->Clients;
        list.erase(list.begin() + (client - list.data()));
    }
    if (releases)
        ReleaseHooks(kinds);
    FreeRegistryWhenEmpty();
}

void CallHookClients(THookEvent Kind, void *Wnd, intptr_t WParam, intptr_t LParam)
{
    if (!GRegistry)
        return;
    // A callback may register or unregister clients: walk a copy.
    std::vector<THookClient> clients = GRegistry->Clients;
    for (const THookClient &c : clients) {
        if (!c.Kinds.Has(Kind))
            continue;
        try {
            c.Callback(Kind, Wnd, WParam, LParam);
        } catch (...) {
            // A failing client must not stop the others or the hook chain.
        }
    }
}

void RemoveAllHooks()
{
    for (int t = 0; t < HookTypeCount; ++t)
        RemoveSlot(t);
    GRegistry.reset();
}

bool HookRegistryExists() { return GRegistry != nullptr; }

int HookClientCount(THookProc Callback)
{
    const THookClient *client = FindClient(Callback);
    return client ? client->Count : 0;
}

int HookUseCount(THookType Type) { return GSlots[Type].UseCount; }

bool HookInstalled(THookType Type) { return GSlots[Type].Installed; }

bool AppHasActiveWindow() { return GBackend && GBackend->HasActiveWindow(); }

namespace {

void QuickSort(std::vector<void *> &List, int L, int R, TListSortCompareEx Compare, void *Extra)
{
    while (L < R) {
        int i = L;
        int j = R;
        void *pivot = List[(L + R) / 2];
        do {
            while (Compare(List[i], pivot, Extra) < 0)
                ++i;
            while (Compare(List[j], pivot, Extra) > 0)
                --j;
            if (i <= j) {
                std::swap(List[i], List[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (L < j)
            QuickSort(List, L, j, Compare, Extra);
        L = i;
    }
}

} // namespace

void SortPointerList(std::vector<void *> &List, TListSortCompareEx Compare, void *ExtraData)
{
    if (List.size() < 2)
        return;
    QuickSort(List, 0, int(List.size()) - 1, Compare, ExtraData);
}

} // namespace orv
