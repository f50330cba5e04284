#pragma once
// "Corvane Virtual Reality": the VR link's window. The view bar holds the
// "Setup" button (the world's device commands) and one button per view of
// the world; the container shows the mill's position in the world. The
// main window adopts it as an MDI child; without one it is top-level.

#include "links/VRLink.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;

namespace orv {

class TVr_flash;

class TVRT_form : public QWidget {
public:
    TVRT_form(TVRControl &Control, QWidget *Parent = nullptr);
    ~TVRT_form() override;

    // The view buttons (once) and the caption with the world's version.
    void WorldLoaded();
    void ShowCaption();
    // The position shown in the container.
    void ShowPosition();

    QWidget *VRTContainer = nullptr;
    QToolBar *ViewBar = nullptr;
    QToolButton *SetupButton = nullptr;
    QMenu *PopupMenu1 = nullptr;
    bool ViewsBuilt = false;

private:
    void DeviceCommand(int Code);
    TVRControl &FControl;
    QLabel *FPosition = nullptr;
    QTimer *FTimer = nullptr;
};

// The link's view over a TVRT_form; Adopt (the main window's) makes the
// form an MDI child when it is given.
class TVRTView : public TVRView {
public:
    TVRTView(TVRLink &Link, std::function<void(QWidget *)> Adopt);
    ~TVRTView() override;
    void Show() override;
    void WorldLoaded() override;
    void ToolSetup(const std::string &Text) override;
    TVRT_form *Form() const { return FForm; }

private:
    QPointer<TVRT_form> FForm;
    std::function<void(QWidget *)> FAdopt;
    std::unique_ptr<TVr_flash> FFlash;
};

} // namespace orv
