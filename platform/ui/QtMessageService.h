#pragma once
// Shows the suite's message boxes, prompts and file choices with Qt dialogs.

#include "platform/MessageService.h"

#include <functional>

class QWidget;
class QString;

namespace orv {

class TQtMessageService : public TMessageService {
public:
    explicit TQtMessageService(QWidget *Parent = nullptr) : FParent(Parent) {}
    void SetParent(QWidget *Parent) { FParent = Parent; }

    int Show(const TMessageRequest &Request) override;
    bool InputQuery(const std::string &Caption, const std::string &Prompt, std::string &Value) override;
    std::optional<std::string> ChooseFile(const TFileRequest &Request) override;

    // The open dialog for NC programs (requests with ProgramPreview), with
    // the picture preview; unset: the plain file dialog.
    std::function<std::optional<std::string>(QWidget *Parent, const TFileRequest &Request)>
        ProgramDialog;
    // The dialog that asks for a text (the program's localised one); unset:
    // Qt's plain input dialog.
    std::function<bool(QWidget *Parent, const std::string &Caption, const std::string &Prompt,
                       std::string &Value)>
        InputDialog;
    // The file dialog of every other request; unset: Qt's plain one.
    std::function<std::optional<std::string>(QWidget *Parent, const TFileRequest &Request)>
        FileDialog;

private:
    QWidget *FParent;
};

// "Text (*.a)|*.a|All (*.*)|*.*" as a Qt name filter list ";;".
QString QtFilterFromPipes(const std::string &Filter);

} // namespace orv
