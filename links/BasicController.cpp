#include "links/BasicController.h"

namespace orv {

TBasicController::TBasicController() = default;
TBasicController::~TBasicController() = default;

void TBasicController::ReportError(const std::string &Caption, const std::string &Message,
                                   const std::string &Details) {
    if (OnError)
        OnError(this, -1, Caption, Message, Details);
}

} // namespace orv
