#pragma once
// The "Tool Data" dialog: the seven values of one tool of the library, the
// lengths in the operator's units. A text that does not convert is put back
// to the last good value; OK writes the tool's section.

#include "engine/core/data_types.h"
#include "machine/ToolEditValues.h"

#include <QDialog>

#include <array>
#include <string>

class QLineEdit;

namespace orv {

class TToolEditForm : public QDialog {
    Q_OBJECT
public:
    // FocusNumber 1 to 7 picks the edit that gets the focus (else the diameter).
    TToolEditForm(QWidget *Owner, TUnits Units, int FocusNumber, const std::string &ToolName,
                  const std::string &LibraryFile);

    QLineEdit *Edit(int Number) const { return FEdits[Number - 1]; }

protected:
    void keyPressEvent(QKeyEvent *Event) override;

private:
    void FormCreate(int FocusNumber);
    void EditChanged(int Number);
    void OkClick();

    TUnits FUnits;
    std::string FToolName, FLibraryFile;
    TToolEditValues FValues;
    std::array<QLineEdit *, TToolEditValues::EditCount> FEdits{};
    std::array<std::string, TToolEditValues::EditCount> FLastGood;
};

} // namespace orv
