#pragma once
// "RS 232 Setup": the CIM port's settings dialog, six radio groups whose
// item indexes are the ones kept in [RS232] (ComDrv32_Visual.h).

#include "links/ComDrv32_Visual.h"

#include <QDialog>

class QButtonGroup;

namespace orv {

class TRs232_form : public QDialog {
public:
    explicit TRs232_form(QWidget *Parent = nullptr);

    void SetGroups(const TRs232Groups &Groups);
    TRs232Groups Groups() const;

    QButtonGroup *ComPortRG = nullptr;
    QButtonGroup *BaudRateRG = nullptr;
    QButtonGroup *DataBitsRG = nullptr;
    QButtonGroup *ParityRG = nullptr;
    QButtonGroup *HandshakingRG = nullptr;
    QButtonGroup *stop_bits = nullptr;
};

// The dialog as the port component's Dialog: shown modally over Parent;
// mrOk with the groups taken, else mrCancel.
TRs232Dialog Rs232Dialog(QWidget *Parent);

} // namespace orv
