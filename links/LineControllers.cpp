#include "links/LineControllers.h"

#include "links/ControllerNextMove.h"
#include "links/ControllerNextMoveES.h"
#include "links/ControllerQuorel.h"
#include "links/ControllerTRIO.h"
#include "links/LowLevelNew.h"

namespace orv {

std::unique_ptr<TBasicController> CreateLineController(int Type, const std::string &SettingsFile) {
    if (Type == 1)
        return std::make_unique<TControllerNextMove>();
    if (Type == 7)
        return std::make_unique<TControllerNextMoveES>();
    if (Type == 2) {
        auto c = std::make_unique<TControllerQuorel>();
        c->SettingsFile = SettingsFile;
        return c;
    }
    if (Type == 3) {
        auto c = std::make_unique<TControllerTRIO>();
        c->SettingsFile = SettingsFile;
        return c;
    }
    if (Type == 4) {
        auto c = std::make_unique<TControllerLowLevelNew>();
        c->SettingsFile = SettingsFile;
        return c;
    }
    return nullptr;
}

} // namespace orv
