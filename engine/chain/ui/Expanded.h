#pragma once
// The expanded-code strip: a small always-on-top window that shows the text
// of a block a stage generated (an expanded cycle or arc) while it runs.
// The editor source owns one and fills it through TExpandedView.

#include "engine/chain/BasicInput.h"

#include <QWidget>

class QLabel;

namespace orv {

class TExpanded : public QWidget, public TExpandedView {
    Q_OBJECT
public:
    explicit TExpanded(QWidget *Parent = nullptr);

    void SetCode(const std::string &Text) override;
    void Show() override { show(); }
    void Hide() override { hide(); }

    QLabel *Caption() const { return FCaption; }
    QLabel *Code() const { return FCode; }

private:
    QLabel *FCaption;
    QLabel *FCode;
};

} // namespace orv
