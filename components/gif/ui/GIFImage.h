#pragma once
// The animated picture control: shows a GIF and plays its animation. The
// block reader (components/gif/GIFReader.h) hands each image re-wrapped to
// Qt's image reader; composing the frames by their disposal, the delays
// (at least 50 ms, scaled by Speed), the passes of the NETSCAPE loop count
// and the placement (stretch, ratio, centre, tile) are this control's. The
// frames advance from a TTimerEx, optionally ticking from a worker thread.

#include "components/gif/GIFReader.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TTimerEx;

class TGIFImage : public QWidget {
public:
    explicit TGIFImage(QWidget *Parent = nullptr);
    ~TGIFImage() override;

    // False (the control cleared) when the data is no GIF, empty, holds a
    // failed image, is too large or the load was aborted.
    bool LoadFromStream(const std::string &Data);
    bool LoadFromFile(const std::string &FileName);
    void Clear();
    bool Empty() const { return FFrames.empty(); }

    bool Animate() const { return FAnimate; }
    void SetAnimate(bool Value);
    bool Loop() const { return FLoop; }
    void SetLoop(bool Value);
    // Per cent; values below 1 become 1.
    int Speed() const { return FSpeed; }
    void SetSpeed(int Value);
    int CurrentFrame() const { return FCurrent; }
    // Out-of-range frames are ignored; the frames between are not played.
    void SetCurrentFrame(int Value);
    bool Threaded() const { return FThreaded; }
    void SetThreaded(bool Value);
    bool AutoSize = false, Center = false, Stretch = false, StretchRatio = false;
    bool StretchBigOnly = false, Tile = false, Opaque = false, FirstImageOnly = false;
    bool DoubleBuffered = true;
    QColor Color = Qt::lightGray;

    int FrameCount() const { return int(FFrames.size()); }
    int LoopCount() const { return FFile.LoopCount; }
    TGIFVersion Version() const { return FFile.Version; }
    const TGIFFrame &Frame(int Index) const { return FFile.Frames[Index - 1]; }
    // The composed picture (logical screen size; alpha 0 where transparent).
    const QImage &Composition() const { return FComposition; }
    // Where the picture is drawn in the control.
    QRect DestRect() const;
    // The timer's interval now (0: no timer).
    int TimerInterval() const;
    const std::string &Data() const { return FData; }
    // The "Data" form value: a 32-bit little-endian length, then that many
    // bytes of the GIF file; nothing for an empty control.
    void WriteData(std::ostream &Out) const;
    // Reads a "Data" value and decodes it. A length of 0 or less holds no
    // picture (the control is cleared, true). False, the control cleared,
    // when the value is cut short or its GIF does not decode.
    bool ReadData(std::istream &In);
    // No source, or one without a picture, clears the control; otherwise
    // the source's Data is decoded here.
    void Assign(const TGIFImage *Source);
    // Bitmap becomes a copy of the first frame (a null image when empty).
    void AssignTo(QImage &Bitmap) const;

    std::function<void()> OnChanging, OnChange, OnWrapAnimation;
    // Bytes processed, bytes in all, per cent, keep on (false aborts).
    std::function<void(size_t, size_t, int, bool &)> OnProgress;

    // One step of the animation (the timer's tick).
    void Tick();

protected:
    void paintEvent(QPaintEvent *Event) override;

private:
    void DrawFrame(int Index);
    void DisposeFrame(int Index);
    void Arm(int Interval);
    void StopTimer();
    int FrameInterval(int Index) const;
    bool PassesLeft() const;

    std::string FData;
    mutable QImage FFirstBitmap; // AssignTo's copy, made once per picture
    TGIFFile FFile;
    std::vector<QImage> FFrames;
    std::vector<QImage> FPrevious; // area under a disposal-3 frame
    QImage FComposition;
    bool FAnyTransparent = false;
    bool FAnimate = false, FLoop = false, FThreaded = false;
    int FSpeed = 100;
    int FCurrent = 1;
    int FPasses = 1;
    bool FFirstTick = true;
    std::unique_ptr<TTimerEx> FTimer;
};

} // namespace orv
