#pragma once
// The "3D Simulation" window: holds the simulation control (driven only by
// dispatch id), its menu "3D Viewer" (draw mode, colours, the rapid-move
// threshold, picture saving, X,Y offsets), the status panels and the
// window's settings in section "3D Graphics" of the main settings file.
// Widgets belong to the view (TThreeDView); a form without one keeps its
// state and calls the control all the same.

#include "platform/ComServer.h"
#include "platform/EventLoop.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TThreeD_form;

// Colours of the control that the menu sets.
enum class TSimColour { Background, Surface, Billet };

class TThreeDView {
public:
    virtual ~TThreeDView() = default;
    // The form the view belongs to, once it is made.
    virtual void Attach(TThreeD_form &Form) {}
    // The panel the control's window goes into (a widget, opaque); null: none.
    virtual void *ControlParent() { return nullptr; }
    // The control's window, once made.
    virtual void SetControlWindow(void *Window) {}
    // Status panels 0 "X=", 1 "Y=", 2 "Z=", 3 "Tool=".
    virtual void SetStatusText(int Panel, const std::string &Text) {}
    virtual void TickDrawMode(int Mode) {}
    virtual void SetAutoSaveTick(bool Ticked) {}
    virtual void SetOffsetsTick(bool Ticked) {}
    // The colour dialog from Colour; true with the choice on OK.
    virtual bool ChooseColour(uint32_t &Colour) { return false; }
    // The "Display Rapid Feeds" dialog; true with the new threshold on OK.
    virtual bool EditRapidFeed(double &Threshold) { return false; }
    // Paints the control's panel into a bitmap file; false when it could not.
    virtual bool SavePicture(const std::string &FileName) { return false; }
    // The save dialog for a picture name; empty when cancelled.
    virtual std::string ChoosePictureFile(const std::string &Suggested) { return {}; }
};

class TThreeD_form {
public:
    TThreeD_form(std::unique_ptr<TThreeDView> View, TComPtr Control, std::string SettingsFile);
    // Writes "Rapid Feed", "Use Offsets" and "AutoSave Bitmap"; frees the control.
    ~TThreeD_form();
    TThreeD_form(const TThreeD_form &) = delete;
    TThreeD_form &operator=(const TThreeD_form &) = delete;

    // Reads the settings and sets the control's Mode and colours.
    void FormCreate();

    TThreeDView *View() const { return FView.get(); }
    TComObject *Control() const { return FControl.get(); }

    // Dispatch calls to the control; the control's result code (E_POINTER
    // without a control).
    TComResult Call(int32_t Id, const std::vector<TVariant> &Args, TVariant *Result = nullptr);
    TComResult Put(int32_t Id, const TVariant &Value);
    TComResult Get(int32_t Id, TVariant &Value);
    TComResult Redraw(int DrawMode);
    // One of the control's verbs (the container's verb menu: "Properties").
    TComResult ControlVerb(int Verb);
    // The control's About box (its AboutBox method), from the container's menu.
    TComResult AboutBox();

    // Menu "3D Viewer".
    void SetDrawMode(int Mode);
    void ChooseColour(TSimColour Which);
    void EditRapidFeed();
    void ToggleAutoSave();
    void ToggleOffsets();
    // "Save as Bitmap": the picture to PictureFileName; false when none is known.
    bool SavePicture();
    // "Save Bitmap As...".
    bool SavePictureAs();

    // The container was resized: Redraw(9) now, Redraw(4) and (9) 500 ms
    // after the last resize.
    void ContainerResized();
    // The view has its texts in a new language: the texts composed from
    // words (the tool panel) are made again in it.
    void LanguageChanged();

    double RapidFeed = -1; // mm/min; below 0: only rapids are drawn as rapids
    bool UseOffsets = false;
    bool AutoSave = false;
    int DrawMode = 2;
    std::string PictureFileName;
    std::function<void()> OnToggleOffsets;
    std::function<void()> OnLanguageChanged;

private:
    std::string ColourKey(TSimColour Which) const;
    int32_t ColourId(TSimColour Which) const;

    std::unique_ptr<TThreeDView> FView;
    TComPtr FControl;
    std::string FSettingsFile;
    TTimer FTimer;
};

} // namespace orv
