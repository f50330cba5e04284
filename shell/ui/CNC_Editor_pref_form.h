#pragma once
// The "Colour Preferences" dialog: for each of the twelve editor tokens a
// text colour, a background and a style, shown on an example.

#include "shell/ColourFormat.h"

#include <QDialog>

class QButtonGroup;
class QLabel;
class QTreeWidget;
class QWidget;

namespace orv {

class TCol_pref : public QDialog {
    Q_OBJECT
public:
    explicit TCol_pref(const TTokenColours &Colours, QWidget *Parent = nullptr);
    const TTokenColours &Colours() const { return FColours; }
    // Selects a token (from 0) and shows its panel.
    void SelectToken(int Index);
    void SetStyle(int Style);
    // Opens the colour dialog for the text (false) or the background (true).
    void ChooseColour(bool Background);

    QTreeWidget *Tree;
    QWidget *Cols;
    QLabel *Example;
    QLabel *Fcolor;
    QLabel *Bcolor;
    QButtonGroup *Style;

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    void ShowToken();
    TTokenColours FColours;
    int FIndex = -1;
};

} // namespace orv
