#pragma once
// Offscreen dialog tests: inspect a modal dialog once it is up, then close it.

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace orv::test {

// Runs Inspect on the modal dialog once it is up, then cancels it (or
// accepts it); the dialog is looked for again and again for a bounded
// number of turns.
inline void WhenModal(std::function<void(QDialog &)> Inspect, bool Accept = false)
{
    auto *timer = new QTimer;
    auto turns = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, turns, Inspect, Accept] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog && ++*turns < 500)
            return;
        timer->stop();
        timer->deleteLater();
        if (!dialog) {
            ADD_FAILURE() << "no dialog came up";
            return;
        }
        Inspect(*dialog);
        if (Accept)
            dialog->accept();
        else
            dialog->reject();
    });
    timer->start(5);
}

} // namespace orv::test
