// Hook registry of the toolbar family: counts, installed hook types, call
// order, failing callbacks, design-time registrations; and the list sort.
#include "components/toolbar/TbCmn.h"
#include "HookTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace orv {
namespace {

std::string GCalls;

void ProcA(THookEvent Kind, void *, intptr_t WParam, intptr_t)
{
    GCalls += "A" + std::to_string(Kind);
}
void ProcB(THookEvent Kind, void *, intptr_t, intptr_t) { GCalls += "B" + std::to_string(Kind); }
void ProcFails(THookEvent, void *, intptr_t, intptr_t) { throw std::runtime_error("boom"); }

class TRecordingBackend : public THookBackend {
public:
    void InstallHook(THookType Type) override { Log += "+" + std::to_string(Type); }
    void RemoveHook(THookType Type) override { Log += "-" + std::to_string(Type); }
    bool HasActiveWindow() const override { return Active; }
    std::string Log;
    bool Active = false;
};

class HookRegistry : public ::testing::Test {
protected:
    void SetUp() override { GCalls.clear(); }
    TRecordingBackend Backend;
    test::THookBackendScope HookScope{Backend};
};

TEST_F(HookRegistry, InstallsOneHookPerTypeAndCountsUsers)
{
    AddHookClient(ProcA, {hkActivateApp, hkMouseMove}, false);
    AddHookClient(ProcB, {hkActivateApp, hkWindowPosChanged, hkDestroyWindow}, false);
    EXPECT_EQ(Backend.Log, "+0+2+1");
    EXPECT_EQ(HookUseCount(htCallWndProc), 2);
    EXPECT_EQ(HookUseCount(htGetMessage), 1);
    EXPECT_EQ(HookUseCount(htCBT), 1);

    RemoveHookClient(ProcA);
    EXPECT_EQ(Backend.Log, "+0+2+1-2");
    EXPECT_TRUE(HookInstalled(htCallWndProc));
    RemoveHookClient(ProcB);
    EXPECT_EQ(Backend.Log, "+0+2+1-2-0-1");
    EXPECT_FALSE(HookRegistryExists());
}

TEST_F(HookRegistry, SameCallbackTwiceStaysAfterOneRemoval)
{
    AddHookClient(ProcA, {hkMouseMove}, false);
    AddHookClient(ProcA, {hkMouseMove}, false);
    EXPECT_EQ(HookClientCount(ProcA), 2);
    RemoveHookClient(ProcA);
    EXPECT_EQ(HookClientCount(ProcA), 1);
    EXPECT_TRUE(HookInstalled(htGetMessage));
    CallHookClients(hkMouseMove, nullptr, 0, 0);
    EXPECT_EQ(GCalls, "A3");
    RemoveHookClient(ProcA);
    EXPECT_FALSE(HookInstalled(htGetMessage));
    EXPECT_FALSE(HookRegistryExists());
}

TEST_F(HookRegistry, DesignTimeRegistrationInstallsAndRemovesNothing)
{
    AddHookClient(ProcA, {hkMouseMove}, false);
    AddHookClient(ProcB, {hkMouseMove}, true);
    EXPECT_EQ(HookUseCount(htGetMessage), 1);
    EXPECT_EQ(HookClientCount(ProcB), 1);
    RemoveHookClient(ProcB);
    EXPECT_TRUE(HookInstalled(htGetMessage)) << "the run-time user's hook must stay";
    EXPECT_EQ(HookUseCount(htGetMessage), 1);
    EXPECT_EQ(Backend.Log, "+2");
}

TEST_F(HookRegistry, CallsMatchingClientsInRegistrationOrder)
{
    AddHookClient(ProcB, {hkActivateApp, hkWindowPosChanged}, false);
    AddHookClient(ProcA, {hkActivateApp, hkMouseMove}, false);
    CallHookClients(hkActivateApp, nullptr, 1, 0);
    CallHookClients(hkWindowPosChanged, nullptr, 0, 0);
    CallHookClients(hkMouseMove, nullptr, 0, 0);
    CallHookClients(hkDestroyWindow, nullptr, 0, 0);
    EXPECT_EQ(GCalls, "B0A0B1A3");
}

TEST_F(HookRegistry, FailingCallbackDoesNotStopTheOthers)
{
    AddHookClient(ProcFails, {hkMouseMove}, false);
    AddHookClient(ProcA, {hkMouseMove}, false);
    EXPECT_NO_THROW(CallHookClients(hkMouseMove, nullptr, 0, 0));
    EXPECT_EQ(GCalls, "A3");
}

TEST_F(HookRegistry, RemovingAnUnknownCallbackFreesOnlyAnEmptyRegistry)
{
    RemoveHookClient(ProcA);
    EXPECT_FALSE(HookRegistryExists());
    AddHookClient(ProcB, {hkMouseMove}, false);
    RemoveHookClient(ProcA);
    EXPECT_EQ(HookClientCount(ProcB), 1);
    EXPECT_TRUE(HookInstalled(htGetMessage));
}

TEST_F(HookRegistry, FinalisationRemovesEveryHookWhateverItsCount)
{
    AddHookClient(ProcA, {hkActivateApp, hkDestroyWindow, hkMouseMove}, false);
    AddHookClient(ProcA, {hkActivateApp}, false);
    RemoveAllHooks();
    EXPECT_FALSE(HookInstalled(htCallWndProc));
    EXPECT_FALSE(HookInstalled(htCBT));
    EXPECT_FALSE(HookInstalled(htGetMessage));
    EXPECT_FALSE(HookRegistryExists());
}

TEST_F(HookRegistry, ActiveWindowIsAskedOfTheBackend)
{
    EXPECT_FALSE(AppHasActiveWindow());
    Backend.Active = true;
    EXPECT_TRUE(AppHasActiveWindow());
}

int CompareInts(const void *A, const void *B, void *Extra)
{
    ++*static_cast<int *>(Extra);
    int a = *static_cast<const int *>(A), b = *static_cast<const int *>(B);
    return a < b ? -1 : a > b ? 1 : 0;
}

TEST(SortPointerList, SortsInPlaceAndLeavesShortListsAlone)
{
    struct TCase {
        const char *Name;
        std::vector<int> Values;
    };
    const TCase cases[] = {
        {"empty", {}},
        {"one", {5}},
        {"two reversed", {2, 1}},
        {"duplicates", {3, 1, 3, 2, 1, 3}},
        {"sorted", {1, 2, 3, 4, 5, 6, 7}},
        {"reversed", {9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<int> values = c.Values;
        std::vector<void *> list;
        for (int &v : values)
            list.push_back(&v);
        int calls = 0;
        SortPointerList(list, CompareInts, &calls);
        std::vector<int> got;
        for (void *p : list)
            got.push_back(*static_cast<int *>(p));
        std::vector<int> want = c.Values;
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want);
        if (c.Values.size() < 2) {
            EXPECT_EQ(calls, 0);
        }
    }
}

} // namespace
} // namespace orv
