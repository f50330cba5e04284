#pragma once
// The engine form's small windows: the splash shown while it starts, the
// progress window of a source (caption, bar, two status panels) and the
// block search window "NC Program Restart". Each shows what the core tells
// it through its view interface and holds no logic of its own.

#include "engine/chain/EngineHost.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QComboBox;

namespace orv {

class TSplashWindow : public QWidget, public TSplashView {
    Q_OBJECT
public:
    explicit TSplashWindow(QWidget *Parent = nullptr);
    void ShowProgress(const std::string &Text) override;
    QString ProgressText() const;

private:
    QLabel *FText;
};

class TProgressWindow : public QWidget, public TProgressView {
    Q_OBJECT
public:
    explicit TProgressWindow(QWidget *Parent = nullptr);
    void SetCaption(const std::string &Caption) override;
    void SetMaximum(long long Maximum) override;
    void SetPosition(long long Position) override;
    void SetPanel(int Index, const std::string &Text) override;
    void Show() override { show(); }

    QProgressBar *Bar() const { return FBar; }
    QString Panel(int Index) const;

private:
    QProgressBar *FBar;
    QLabel *FPanels[2];
    long long FMaximum = 0;
};

class TBlockSearchForm : public QWidget, public TBlockSearchView {
    Q_OBJECT
public:
    explicit TBlockSearchForm(QWidget *Parent = nullptr);
    void ShowValues(const TBlockSearchShown &Values) override;
    void Show() override { show(); }

    QLabel *Gval, *XVal, *YVal, *ZVal, *FVal, *TVal, *MVal, *Sval;
    QLabel *BlockNo, *TargetBlock;
    QComboBox *McodeList;
};

} // namespace orv
