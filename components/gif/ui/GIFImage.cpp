#include "components/gif/ui/GIFImage.h"

#include "components/TimerEx.h"
#include "platform/EventLoop.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <istream>
#include <ostream>

namespace orv {

TGIFImage::TGIFImage(QWidget *Parent) : QWidget(Parent) { resize(105, 105); }

TGIFImage::~TGIFImage() { FTimer.reset(); }

void TGIFImage::Clear()
{
    StopTimer();
    FFile = TGIFFile();
    FFrames.clear();
    FPrevious.clear();
    FComposition = QImage();
    FData.clear();
    FFirstBitmap = QImage();
    FCurrent = 1;
    FPasses = 1;
    FFirstTick = true;
    FAnyTransparent = false;
    update();
}

bool TGIFImage::LoadFromFile(const std::string &FileName)
{
    QFile file(QString::fromStdString(FileName));
    if (!file.open(QIODevice::ReadOnly))
        return Clear(), false;
    return LoadFromStream(file.readAll().toStdString());
}

bool TGIFImage::LoadFromStream(const std::string &Data)
{
    Clear();
    TGIFProgress progress;
    if (OnProgress)
        progress = [this](size_t Done, size_t Total, bool &Keep) {
            OnProgress(Done, Total, Total ? int(100 * Done / Total) : 0, Keep);
        };
    std::string error;
    TGIFFile file;
    if (!ReadGIF(Data, file, error, FirstImageOnly, progress))
        return false;
    std::vector<QImage> frames;
    for (const TGIFFrame &frame : file.Frames) {
        QByteArray bytes(frame.Wrapped.data(), qsizetype(frame.Wrapped.size()));
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, "gif");
        QImage image = reader.read();
        if (image.isNull())
            break; // decoding ends at an image that does not read
        frames.push_back(image.convertToFormat(QImage::Format_ARGB32));
    }
    if (frames.empty())
        return false;
    file.Frames.resize(frames.size());
    FFile = std::move(file);
    FFrames = std::move(frames);
    FPrevious.assign(FFrames.size(), QImage());
    FData = Data;
    FAnyTransparent = std::any_of(FFile.Frames.begin(), FFile.Frames.end(),
                                  [](const TGIFFrame &F) { return F.Transparent; });
    FComposition = QImage(FFile.LogicalWidth, FFile.LogicalHeight, QImage::Format_ARGB32);
    FComposition.fill(FAnyTransparent ? QColor(0, 0, 0, 0) : QColor(Qt::black));
    if (AutoSize)
        resize(FFile.LogicalWidth, FFile.LogicalHeight);
    if (OnChanging)
        OnChanging();
    DrawFrame(1);
    if (OnChange)
        OnChange();
    if (FAnimate && FFrames.size() > 1)
        Arm(FrameInterval(1));
    update();
    return true;
}

void TGIFImage::WriteData(std::ostream &Out) const
{
    if (FData.empty())
        return;
    const uint32_t size = uint32_t(FData.size());
    const char length[4] = {char(size & 0xFF), char(size >> 8 & 0xFF), char(size >> 16 & 0xFF),
                            char(size >> 24 & 0xFF)};
    Out.write(length, 4);
    Out.write(FData.data(), std::streamsize(FData.size()));
}

bool TGIFImage::ReadData(std::istream &In)
{
    unsigned char length[4];
    if (!In.read(reinterpret_cast<char *>(length), 4))
        return Clear(), false;
    const int32_t size =
        int32_t(uint32_t(length[0]) | uint32_t(length[1]) << 8 | uint32_t(length[2]) << 16 |
                uint32_t(length[3]) << 24);
    if (size <= 0)
        return Clear(), true;
    // Read in pieces: a length that the stream does not hold allocates no
    // more than what is there.
    std::string data;
    char piece[65536];
    while (data.size() < size_t(size)) {
        const size_t want = std::min(sizeof piece, size_t(size) - data.size());
        if (!In.read(piece, std::streamsize(want)))
            return Clear(), false;
        data.append(piece, want);
    }
    return LoadFromStream(data);
}

void TGIFImage::Assign(const TGIFImage *Source)
{
    if (Source == this)
        return;
    if (!Source || Source->Empty()) {
        Clear();
        return;
    }
    LoadFromStream(Source->Data());
}

void TGIFImage::AssignTo(QImage &Bitmap) const
{
    if (FFrames.empty()) {
        Bitmap = QImage();
        return;
    }
    if (FFirstBitmap.isNull())
        FFirstBitmap = FFrames.front().copy();
    Bitmap = FFirstBitmap;
}

// Transparent pixels keep what was there; an opaque frame covers its area.
void TGIFImage::DrawFrame(int Index)
{
    const TGIFFrame &frame = FFile.Frames[Index - 1];
    const QRect area(frame.Left, frame.Top, frame.Width, frame.Height);
    if (frame.Disposal == 3)
        FPrevious[Index - 1] = FComposition.copy(area);
    QPainter p(&FComposition);
    p.setCompositionMode(frame.Transparent ? QPainter::CompositionMode_SourceOver
                                           : QPainter::CompositionMode_Source);
    p.drawImage(area.topLeft(), FFrames[Index - 1]);
}

void TGIFImage::DisposeFrame(int Index)
{
    const TGIFFrame &frame = FFile.Frames[Index - 1];
    const QRect area(frame.Left, frame.Top, frame.Width, frame.Height);
    QPainter p(&FComposition);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    if (frame.Disposal == 2)
        p.fillRect(area, FAnyTransparent ? QColor(0, 0, 0, 0) : QColor(Qt::black));
    else if (frame.Disposal == 3 && !FPrevious[Index - 1].isNull())
        p.drawImage(area.topLeft(), FPrevious[Index - 1]);
}

int TGIFImage::FrameInterval(int Index) const
{
    const int delay = std::max(FFile.Frames[Index - 1].Delay, 50);
    return std::max(delay * 100 / FSpeed, 1);
}

bool TGIFImage::PassesLeft() const { return FLoop || FFile.LoopCount == 0 || FFile.LoopCount >= FPasses; }

void TGIFImage::Arm(int Interval)
{
    if (!FTimer) {
        FTimer = std::make_unique<TTimerEx>();
        FTimer->SetThreaded(FThreaded);
        FTimer->SetOnTimer([this] { Tick(); });
    }
    FTimer->SetInterval(unsigned(Interval));
}

void TGIFImage::StopTimer() { FTimer.reset(); }

int TGIFImage::TimerInterval() const { return FTimer ? int(FTimer->Interval()) : 0; }

void TGIFImage::Tick()
{
    if (FFrames.empty() || !FAnimate || !FTimer)
        return;
    const int64_t start = EventLoop().NowMs();
    const int count = FrameCount();
    if (FCurrent < 1 || FCurrent > count)
        FCurrent = 1;
    if (OnChanging)
        OnChanging();
    if (FFirstTick) {
        FFirstTick = false;
    } else {
        DisposeFrame(FCurrent == 1 ? count : FCurrent - 1);
        DrawFrame(FCurrent);
        repaint();
    }
    const int spent = int(EventLoop().NowMs() - start);
    const int next = std::max(FrameInterval(FCurrent) - spent, 1);
    bool wrapped = false;
    if (++FCurrent > count) {
        wrapped = true;
        FCurrent = 1;
        if (!FLoop && FFile.LoopCount > 0)
            ++FPasses;
    }
    if (PassesLeft())
        Arm(next);
    else
        StopTimer();
    if (OnChange)
        OnChange();
    if (wrapped && OnWrapAnimation)
        OnWrapAnimation();
}

void TGIFImage::SetAnimate(bool Value)
{
    FAnimate = Value;
    FPasses = 1;
    if (Value) {
        if (FrameCount() > 1)
            Arm(FrameInterval(FCurrent));
        return;
    }
    StopTimer();
    if (FCurrent > 1 && !FFrames.empty()) {
        DisposeFrame(std::min(FCurrent, FrameCount()));
        FCurrent = 1;
        DrawFrame(1);
        update();
    }
}

void TGIFImage::SetLoop(bool Value)
{
    const bool ranOut = !PassesLeft();
    FLoop = Value;
    if (Value && ranOut && FAnimate && FrameCount() > 1) {
        FCurrent = 1;
        Arm(FrameInterval(1));
    }
}

void TGIFImage::SetSpeed(int Value)
{
    FSpeed = std::max(Value, 1);
    if (FTimer)
        FTimer->SetInterval(1);
}

void TGIFImage::SetThreaded(bool Value)
{
    FThreaded = Value;
    if (FTimer)
        FTimer->SetThreaded(Value);
}

void TGIFImage::SetCurrentFrame(int Value)
{
    if (Value == FCurrent || Value < 1 || Value > FrameCount())
        return;
    if (OnChanging)
        OnChanging();
    DisposeFrame(std::clamp(FCurrent, 1, FrameCount()));
    FCurrent = Value;
    DrawFrame(FCurrent);
    repaint();
    if (OnChange)
        OnChange();
}

QRect TGIFImage::DestRect() const
{
    const int w = FFile.LogicalWidth, h = FFile.LogicalHeight;
    if (w == 0 || h == 0)
        return QRect();
    const bool differs = width() != w || height() != h;
    const bool stretching = (Stretch || StretchRatio) && differs &&
                            !(StretchBigOnly && width() >= w && height() >= h);
    if (stretching) {
        if (StretchRatio && !Stretch) {
            const float rx = float(width()) / float(w), ry = float(height()) / float(h);
            const float r = std::min(rx, ry);
            const int dw = int(std::lround(w * r)), dh = int(std::lround(h * r));
            return QRect((width() - dw) / 2, (height() - dh) / 2, dw, dh);
        }
        return rect();
    }
    if (Tile)
        return rect();
    if (Center)
        return QRect((width() - w) / 2, (height() - h) / 2, w, h);
    return QRect(0, 0, w, h);
}

void TGIFImage::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (Opaque)
        p.fillRect(rect(), Color);
    if (FComposition.isNull())
        return;
    const QRect dest = DestRect();
    if (Tile && dest == rect() && !(Stretch || StretchRatio)) {
        for (int y = 0; y < height(); y += FComposition.height())
            for (int x = 0; x < width(); x += FComposition.width())
                p.drawImage(x, y, FComposition);
        return;
    }
    p.drawImage(dest, FComposition);
}

} // namespace orv
