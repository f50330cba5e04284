#pragma once
// The "CIM DDE Server" window: the last poked text, the status text, and
// the Connect/Disconnect and "Send Data" buttons over the DDE server
// (shell/simple_server_one.h), which it shows as it changes.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace orv {

class TDDEServer;

class TDDEServerWindow : public QDialog {
public:
    TDDEServerWindow(TDDEServer &Server, QWidget *Parent = nullptr);
    ~TDDEServerWindow() override;

    // Shows the server's texts and the button's caption again.
    void ShowState();

    QLineEdit *DDE_Input = nullptr;
    QLineEdit *DDE_output = nullptr;
    QPushButton *Con_Discon = nullptr;
    QPushButton *SendData = nullptr;
    QPushButton *OK = nullptr;

protected:
    void showEvent(QShowEvent *Event) override;

private:
    TDDEServer &FServer;
};

} // namespace orv
