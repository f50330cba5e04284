#pragma once
// Services of the main window that other windows use: a window made by any
// part of the program becomes an MDI child of the main window (with its
// menus merged into the main menu while it is active), and help files
// open in the desktop's viewer. Without a main window (tests, tools) a
// window stays top-level and a document request is only recorded.
#include <functional>
#include <string>

class QWidget;

namespace orv {

// The main window's adoption: true when Window became an MDI child.
using TMdiAdopter = std::function<bool(QWidget *Window)>;
void SetMdiAdopter(TMdiAdopter Adopter);
bool AdoptAsMdiChild(QWidget *Window);
// Shows a window: its MDI sub-window when it has one, else the window.
void ShowWindowOrChild(QWidget *Window);

// Opens a file (help, a web page) in the desktop's viewer, at Anchor when
// one is given; false when the desktop could not. A test's opener receives
// Path, or Path + "#" + Anchor, and answers as the desktop would.
using TDocumentOpener = std::function<bool(const std::string &Path)>;
void SetDocumentOpener(TDocumentOpener Opener);
bool OpenDocument(const std::string &Path, const std::string &Anchor = "");

} // namespace orv
