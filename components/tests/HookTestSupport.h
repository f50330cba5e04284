#pragma once
// Hook registry set-up of the toolbar tests: a test's hook backend goes in
// over an empty registry and leaves with every hook removed, so no hook
// client of one test reaches the next.

#include "components/toolbar/TbCmn.h"

namespace orv::test {

class THookBackendScope {
public:
    explicit THookBackendScope(THookBackend &Backend)
    {
        RemoveAllHooks();
        SetHookBackend(&Backend);
    }
    ~THookBackendScope()
    {
        RemoveAllHooks();
        SetHookBackend(nullptr);
    }
    THookBackendScope(const THookBackendScope &) = delete;
    THookBackendScope &operator=(const THookBackendScope &) = delete;
};

} // namespace orv::test
