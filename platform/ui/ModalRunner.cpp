#include "platform/ui/ModalRunner.h"

#include <QDialog>

namespace orv {

namespace {
TModalScript &Script() {
    static TModalScript script;
    return script;
}
std::function<void(QDialog &)> &Preparer() {
    static std::function<void(QDialog &)> preparer;
    return preparer;
}
} // namespace

void SetModalPreparer(std::function<void(QDialog &)> Preparer_) {
    Preparer() = std::move(Preparer_);
}

void SetModalScript(TModalScript Script_) {
    Script() = std::move(Script_);
}

int RunModal(QDialog &Dialog) {
    if (Preparer())
        Preparer()(Dialog);
    if (Script()) {
        const int result = Script()(Dialog);
        Dialog.setResult(result);
        return result;
    }
    return Dialog.exec();
}

} // namespace orv
