#include "platform/CursorService.h"

namespace orv {

namespace {
TCursorService NoCursor;
TCursorService *Installed = nullptr;
} // namespace

TCursorService &CursorService() { return Installed ? *Installed : NoCursor; }

void SetCursorService(TCursorService *Service) { Installed = Service; }

} // namespace orv
