#pragma once
// "Setting Up Machine": a small window with the progress bar Gauge, shown
// while the machine editor builds its tree and while a controller program
// is downloaded (through TProgressView: caption, bar range and position).

#include "engine/chain/EngineHost.h"

#include <QWidget>

class QProgressBar;
class QLabel;

namespace orv {

class Tprogress : public QWidget, public TProgressView {
    Q_OBJECT
public:
    explicit Tprogress(QWidget *Parent = nullptr);

    void SetCaption(const std::string &Caption) override;
    void SetMaximum(long long Maximum) override;
    void SetPosition(long long Position) override;
    void SetPanel(int Index, const std::string &Text) override;
    void Show() override { show(); }

    QProgressBar *Gauge;
    QLabel *Message;
};

} // namespace orv
