#pragma once
// Every modal dialog of the shell is run through RunModal, so a test can
// answer it: the installed script gets the dialog (built and filled) and
// returns its result instead of the dialog's own loop.
#include <functional>

class QDialog;

namespace orv {

using TModalScript = std::function<int(QDialog &Dialog)>;
void SetModalScript(TModalScript Script);
// Called with every dialog before it runs (the program gives each one its
// translator); none by default.
void SetModalPreparer(std::function<void(QDialog &Dialog)> Preparer);
// The dialog's result (QDialog::Accepted / Rejected, or its own).
int RunModal(QDialog &Dialog);

} // namespace orv
