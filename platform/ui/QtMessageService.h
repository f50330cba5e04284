#pragma once
// Shows the suite's message boxes, prompts and file choices with Qt dialogs.

#include "platform/MessageService.h"

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

private:
    QWidget *FParent;
};

// "Text (*.a)|*.a|All (*.*)|*.*" as a Qt name filter list ";;".
QString QtFilterFromPipes(const std::string &Filter);

} // namespace orv
