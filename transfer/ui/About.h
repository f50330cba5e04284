#pragma once
// TAboutBox: "About Rostrel" with the program's version, taken from the
// build's version constants.

#include <QDialog>

#include <string>

class QLabel;

namespace orv {

// "Ver: " and the four parts joined by "."; "a " follows for a special
// build and " *BETA*" for a pre-release.
std::string VersionText(int Major, int Minor, int Release, int Build, bool SpecialBuild,
                        bool PreRelease);

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *Parent = nullptr);
    // The version text of this build.
    static std::string GetVersionText();
    void FormShow();
    QString Version() const;

private:
    QLabel *FVersion;
};

} // namespace orv
