#pragma once
// TSplash_form: the start-up window the engine form writes its progress
// into while it builds itself; the main window releases it at the end of
// its first show.
#include "engine/chain/EngineHost.h"

#include <QWidget>

class QLabel;

namespace orv {

class TSplash_form : public QWidget, public TSplashView {
public:
    explicit TSplash_form(QWidget *Parent = nullptr);
    void ShowProgress(const std::string &Text) override;

    QLabel *description = nullptr;
    QLabel *VersionInfo = nullptr;

protected:
    void paintEvent(QPaintEvent *Event) override;
};

} // namespace orv
