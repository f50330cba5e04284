#pragma once
// The 2D toolpath view ("2D Simulation"): keeps the drawing list that the
// 2D output adds to during a run, draws each element as it arrives (with
// the optional animated cutter), redraws the whole list after a change of
// scale, settings or selection, and handles picking, zoom, the Z gauge, the
// datum and saved pictures. Pixels and widgets are the view's business
// (TForm2DView); a form without a view keeps its list and draws nothing.

#include "engine/view2d/View2dGeometry.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TTimer;

struct TWindowBounds {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

class TForm2D;

// The element dialog's answer.
enum class TElementInfoResult { Ok, EditSource };

// Pictures and screen of the drawing window. The three pictures are the
// background (table, billet, animated cutter), the drawing (elements; white
// is transparent) and the composite the paint box shows.
class TForm2DView {
public:
    virtual ~TForm2DView() = default;
    // The form the view belongs to, once it is made.
    virtual void Attach(TForm2D &Form) {}

    virtual void ResizePictures(int Width, int Height) = 0;
    virtual int PictureWidth() const = 0;
    virtual int PictureHeight() const = 0;
    virtual TCanvas2D &Background() = 0;
    virtual TCanvas2D &Drawing() = 0;
    virtual void ClearDrawing() = 0;
    // Composite := background with the drawing over it and, when ShowDatum,
    // the datum symbol centred on Datum (pixels); the paint box shows it.
    virtual void Present(bool ShowDatum, TPixel Datum) = 0;
    // Writes the composite as a bitmap file; false when it could not.
    virtual bool SavePicture(const std::string &FileName) = 0;
    // Whether pictures of that size can be kept (the view's memory budget).
    virtual bool CanHoldPictures(long long Width, long long Height) const { return true; }
    // True when the view asks the form for each part of the pictures before
    // it shows or saves it (TForm2D::PaintPart): a new layout then paints
    // only what is looked at. Otherwise the pictures are painted whole.
    virtual bool PaintsOnDemand() const { return false; }

    // The screen; a view without one keeps the defaults.
    virtual int ScrollClientWidth() const { return 0; }
    virtual int ScrollClientHeight() const { return 0; }
    virtual void SetScrollPosition(double AnchorX, double AnchorY) {}
    virtual void SetStatusText(int Panel, const std::string &Text) {}
    virtual int GaugeHeight() const { return 0; }
    virtual void GaugeChanged() {}
    virtual void ShowDatumEdits(double X, double Y) {} // display units
    virtual void SetDatumEditsEnabled(bool Enabled) {}
    virtual void ShowDatumPanel(bool Visible) {}
    virtual bool DatumLocked() const { return true; }
    // The pointer over the paint box: the datum symbol while it is dragged,
    // else the ordinary one.
    virtual void ShowDatumPointer(bool Dragging) {}
    // Window bounds follow the picture: its width and height in pixels.
    virtual void FitToPicture(bool WithDatumPanel) {}
    // The window's place on the screen, pixels.
    virtual TWindowBounds Bounds() const { return {}; }
    virtual void SetBounds(const TWindowBounds &Bounds) {}
    virtual TElementInfoResult ShowElementInfo(const TDD_Type &Element, int Decimals,
                                               double AreaHeight, const std::string &FileName)
    {
        return TElementInfoResult::Ok;
    }
    // The setup dialog over the settings file; true on OK (the settings
    // are then saved and Settings holds them).
    virtual bool ShowSetupDialog(const std::string &FileName, TGraphicSettings &Settings)
    {
        return false;
    }
};

class TForm2D {
public:
    // Scale and fit scale 1, decimals 3, settings from the main settings
    // file, Z gauge for Z 1000, datum never set.
    explicit TForm2D(std::unique_ptr<TForm2DView> View = nullptr);
    // Writes the window's "graphics" keys to the main settings file.
    ~TForm2D();
    TForm2D(const TForm2D &) = delete;
    TForm2D &operator=(const TForm2D &) = delete;

    TForm2DView *View() const { return FView.get(); }

    // --- The drawing list ---
    // Appends the element, remembers its cutter radius for the Z gauge and
    // draws it at once (with the cutter animation when shown).
    void AddElement(const TDD_Type &Element);
    void ClearElements();
    // The list becomes Elements, drawn at once without animation.
    void SetElements(std::vector<TDD_Type> Elements);
    const TElementList &Elements() const { return FElements; }

    // Sizes the pictures for Scale (pixels per mm), paints the background.
    void Layout(double NewScale);
    // Layout at the present scale, every element, the gauge, the highlight.
    void Redraw();
    void Present();
    // Paints Part of the pictures (background, elements, highlight) when
    // the last layout left it unpainted; a view that paints on demand asks
    // for each part before it shows it.
    void PaintPart(const TPixelRect &Part);
    // The whole pictures painted.
    void PaintAll();

    // --- Z gauge ---
    void ShowZ(int NewDecimals, double Z);
    void SetZCutter(TColor Colour, double Diameter);
    void SetZBillet(TColor Colour, double ZSize);
    const TZGauge &Gauge() const { return FGauge; }
    void SetGaugeSize(int Width, int Height);

    // --- Selection ---
    // Highlights the first element of source line Line + 1 (message 48
    // when there is none), then redraws.
    void HighlightLine(int Line);
    int Selected() const { return FSelected; }
    void DropHighlight() { FSelected = -1; }
    // A left press at a pixel of the paint box: ends a datum drag, starts
    // one near the datum symbol, else remembers the zoom point and picks
    // when allowed.
    void LeftPress(TPixel At);
    // "Object Data...": message 47 with nothing highlighted, else the
    // element dialog; "Edit Source" fires OnEditSource with line - 1.
    void ObjectData();

    // --- Zoom ---
    void ZoomIn();
    void ZoomOut();
    void ShowAll();
    bool CanZoomIn() const { return Scale < ZoomMenuLimit && PicturesFitAt(Scale * ZoomFactor); }
    bool CanZoomOut() const { return Scale > FitScale; }
    bool CanSavePicture() const { return !PictureName.empty(); }
    bool CanShowObjectData() const { return FSelected >= 0; }

    // "X=" x ", " "Y=" y in display units for a pixel of the paint box.
    std::string PointerHint(TPixel At) const;

    // --- Settings and pictures ---
    void SetUnits(TUnits Units);
    void SetCurrentFilename(const std::string &FileName);
    const std::string &CurrentFilename() const { return FCurrentFilename; }
    void LoadGraphicsSettings(const std::string &FileName);
    const TGraphicSettings &Settings() const { return FSettings; }
    void SetSettings(const TGraphicSettings &Settings) { FSettings = Settings; }
    // "Setup Graphics...": the dialog, then a redraw.
    void SetupGraphics();
    // Writes the picture when the name is not empty, the picture is not
    // empty and the name's drive is ready; false otherwise.
    bool SavePicture(const std::string &FileName);
    // "Save Bitmap As...": the save dialog prefilled with PictureName.
    void SaveBitmapAs();
    // End of program: saves to PictureName when "Auto Save Bitmap?".
    void AutoSavePicture();

    // --- Datum (with X,Y offsets) ---
    bool DatumNeverSet() const { return DatumShownX == NoValue; }
    // Datum from machine millimetres; the edits show it in display units.
    void SetDatumFromMachine(double X, double Y);
    TPixel DatumPixel() const;
    bool DraggingDatum() const { return FDraggingDatum; }
    // The pointer moved over the paint box: while the datum is dragged the
    // edits and DatumShown follow it.
    void PointerMove(TPixel At);
    // The operator changed a datum edit (values in display units): the
    // datum follows once no change came for 300 ms. Ignored while dragging.
    void DatumEdited(double X, double Y);
    bool DatumEditPending() const;
    // Set by the output between start and stop: no datum dragging, no
    // datum edits; a change typed just before the start is applied first.
    void SetRunning(bool Value);

    // --- Cutter animation ---
    // Animates the cutter symbol at a view point until Done returns true
    // (the dwell), serving messages.
    void AnimateCutterUntil(TPoint2D At, double CutterRadius, const std::function<bool()> &Done);
    bool Animating() const { return FAnimating; }
    // Ends a running animation at its next tick (the run stops).
    void StopAnimation() { FStopAnimation = true; }

    double Scale = 1;
    double FitScale = 1;
    int AreaWidth = 0; // drawn area, whole mm
    int AreaHeight = 0;
    TPixelRect BilletRect; // whole mm
    Extended DatumX = 0, DatumY = 0; // mm from the bottom-left of the drawn area
    // Lower ends of the machine travel, mm (the output sets them): the datum
    // edits show machine positions, the datum is kept from the area's corner.
    double TravelXMinus = 0, TravelYMinus = 0;
    double DatumShownX = NoValue, DatumShownY = NoValue;
    TColor ElementColour = clBlack;
    int Decimals = 3;
    bool PickingAllowed = true;
    bool Running = false;
    bool SpindleTurning = false;
    std::string PictureName;
    int TickCount = 0;

    // The window's own "graphics" keys.
    int TimerInterval = 100;
    bool AutoSaveBitmap = false;
    bool UseOffsets = false;
    bool ThinCutter = true;
    int ZWidth = 12;

    std::function<void(int Line)> OnEditSource;
    std::function<void()> OnToggleOffsets;
    // The view's language changed: texts made from a translated word and a
    // value are made again.
    std::function<void()> OnLanguageChanged;
    void LanguageChanged()
    {
        if (OnLanguageChanged)
            OnLanguageChanged();
    }

private:
    // The pictures at that scale stay within the view's budget.
    bool PicturesFitAt(double NewScale) const;
    void AnchorAtLastPress();
    // A selection that still names an element of the list.
    bool SelectionInList() const
    {
        return FSelected >= 0 && FSelected < static_cast<int>(FElements.size());
    }
    void DrawLive(const TDD_Type &Element);
    void DrawHighlight();
    bool PaintingOnDemand() const;
    void SizePictures();
    void PaintBackground();
    void PaintPiece(const TPixelRect &Piece);
    TPixelRect WholePicture() const;
    bool AnimateAlong(const TDD_Type &Element);
    bool AnimateVertical(const TDD_Type &Element, TPixel At, double Step);
    bool AnimateStep(TPixel At, double CutterRadius);
    bool WaitTick();
    void FireEditSource(int Line);
    bool NearDatumSymbol(TPixel At) const;
    void StartDatumDrag();
    void EndDatumDrag(TPixel At);
    void ApplyDatumEdits();
    uint8_t DisplayUnits() const { return Decimals == 4 ? 1 : 0; }

    std::unique_ptr<TForm2DView> FView;
    TElementList FElements;
    TGraphicSettings FSettings;
    std::string FSettingsFile;
    std::string FCurrentFilename;
    TZGauge FGauge;
    double FLastCutterRadius = 2;
    int FSelected = -1;
    // The part of the pictures painted since the last layout.
    TPixelRect FPainted;
    TPixel FLastPress;
    bool FAnchorPending = false;
    double FAnchorX = 0, FAnchorY = 0;
    int FOrientation = 1;
    bool FAnimating = false;
    bool FStopAnimation = false;
    std::unique_ptr<TTimer> FTimer;
    bool FDraggingDatum = false;
    std::unique_ptr<TTimer> FDatumTimer; // single shot, 300 ms after a datum edit
    double FEditX = 0, FEditY = 0;       // the edits' values, display units
    std::shared_ptr<bool> FAlive;
};

} // namespace orv
