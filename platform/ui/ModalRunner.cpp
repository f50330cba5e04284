#include "platform/ui/ModalRunner.h"

#include <QDialog>

namespace orv {

namespace {
TModalScript &Script() {
    static TModalScript script;
    return script;
}
} // namespace

void SetModalScript(TModalScript Script_) {
    Script() = std::move(Script_);
}

int RunModal(QDialog &Dialog) {
    if (Script()) {
        const int result = Script()(Dialog);
        Dialog.setResult(result);
        return result;
    }
    return Dialog.exec();
}

} // namespace orv
