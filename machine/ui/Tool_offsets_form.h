#pragma once
// The "Tool Offsets" dialog: the numbered tool offset table on four tabs,
// kept in the main settings file; "File" exports, imports or empties it.
// OK writes every entry, Cancel writes nothing.

#include "machine/ToolOffsetTable.h"

#include <QDialog>

#include <vector>

class QLineEdit;
class QPushButton;
class QTabBar;
class QWidget;

namespace orv {

class TTOffsets : public QDialog {
    Q_OBJECT
public:
    explicit TTOffsets(QWidget *Parent = nullptr);

    int OffsetCount = 64;
    // Lays out OffsetCount entries and loads them from the main settings file.
    void FillOffsetTable();

    QLineEdit *Edit(int Number) const { return FEdits[Number - 1]; }
    QTabBar *Tabs() const { return FTabs; }
    QWidget *Panel(int Tab) const { return FPanels[Tab]; }

    void ExportClick();
    void ImportClick();
    void NewClick();
    void OkClick();

private:
    void FormCreate();
    void ShowTexts();
    void TakeTexts();
    void TabChanged(int Tab);

    TToolOffsetTable FTable;
    QTabBar *FTabs = nullptr;
    std::vector<QWidget *> FPanels;
    std::vector<QLineEdit *> FEdits;
    QPushButton *FOk = nullptr;
    QPushButton *FCancel = nullptr;
};

} // namespace orv
