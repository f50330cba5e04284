#pragma once
// Showing a machine error: the "Machine Error" dialog when the program
// installed one (machine/ui), otherwise an error box of the message service.
// The caller passes the texts already translated.

#include <functional>
#include <string>

namespace orv {

struct TMachineProblem {
    std::string Caption; // window caption; empty: "Machine Error"
    std::string Message; // the message panel
    std::string Details; // shown under "Details >"
};

using TMachineProblemPresenter = std::function<void(const TMachineProblem &Problem)>;
// Installs the dialog that shows machine problems (empty: message boxes).
void SetMachineProblemPresenter(TMachineProblemPresenter Presenter);

// Shows the problem modally.
void ShowMachineProblem(const TMachineProblem &Problem);

} // namespace orv
