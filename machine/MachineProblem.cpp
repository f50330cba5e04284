#include "machine/MachineProblem.h"

#include "platform/MessageService.h"

namespace orv {

namespace {

TMachineProblemPresenter &Presenter() {
    static TMachineProblemPresenter presenter;
    return presenter;
}

} // namespace

void SetMachineProblemPresenter(TMachineProblemPresenter NewPresenter) {
    Presenter() = std::move(NewPresenter);
}

void ShowMachineProblem(const TMachineProblem &Problem) {
    if (Presenter()) {
        Presenter()(Problem);
        return;
    }
    std::string caption = Problem.Caption.empty() ? "Machine Error" : Problem.Caption;
    std::string text = Problem.Message;
    if (!Problem.Details.empty())
        text += "\n\n" + Problem.Details;
    MessageDlg(caption, text, mtError, mbOK);
}

} // namespace orv
