#pragma once
// The progress window of a long replay: "Working...", a bar over the
// counted moves and Cancel, which stops the replay after the record in hand.

#include "simcontrol/SimScene.h"

#include <QDialog>

class QProgressBar;

namespace orv {

class CProgressDlg : public QDialog, public CReplayProgress {
public:
    explicit CProgressDlg(long long Count);
    void Step() override;
    bool Cancelled() const override { return FCancelled; }

private:
    QProgressBar *FBar;
    long long FCount;
    long long FDone = 0;
    bool FCancelled = false;
};

} // namespace orv
