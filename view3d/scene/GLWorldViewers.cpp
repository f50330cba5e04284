// The viewers without a window: a buffer of their own, and the memory
// viewer's off-screen context.
#include "view3d/scene/GLEntries.h"
#include "view3d/scene/GLGraphics.h"
#include "view3d/scene/GLWorld.h"

#include <algorithm>

namespace orv {

TGLNonVisualViewer::TGLNonVisualViewer(TComponent *Owner) : TComponent(Owner), FBuffer(this)
{
    FBuffer.OnChange = [this](TObject *Sender) { BufferChanged(Sender); };
    FBuffer.OnStructuralChange = [this](TObject *Sender) { BufferStructuralChange(Sender); };
    FBuffer.OnPrepareContext = [this](TObject *Sender) { PrepareContext(Sender); };
    FBuffer.Resize(FWidth, FHeight);
}

TGLNonVisualViewer::~TGLNonVisualViewer()
{
    FBuffer.OnChange = nullptr;
    FBuffer.OnStructuralChange = nullptr;
    FBuffer.OnPrepareContext = nullptr;
}

void TGLNonVisualViewer::SetWidth(int Value)
{
    FWidth = std::max(Value, 1);
    FBuffer.Resize(FWidth, FHeight);
}

void TGLNonVisualViewer::SetHeight(int Value)
{
    FHeight = std::max(Value, 1);
    FBuffer.Resize(FWidth, FHeight);
}

void TGLNonVisualViewer::CopyToTexture(TGLTexture &Texture)
{
    TGLContext *context = FBuffer.BufferContext();
    if (!context)
        return;
    TGLActivation active(*context);
    const TGLEntryTable &g = GL();
    const GLuint name = Texture.ObjectHandle();
    if (Texture.SentWidth() >= FWidth && Texture.SentHeight() >= FHeight) {
        g.glBindTexture(gl::TEXTURE_2D, name);
        g.glCopyTexSubImage2D(gl::TEXTURE_2D, 0, 0, 0, 0, 0, FWidth, FHeight);
        ClearTextureBindCache(); // bound here past the cache
        CheckGLError();
        return;
    }
    // Too small a texture object: the frame is read back and becomes the
    // texture's image (rows top first, B, G, R).
    std::vector<uint8_t> rgba(size_t(FWidth) * FHeight * 4);
    g.glPixelStorei(gl::PACK_ALIGNMENT, 1);
    g.glReadPixels(0, 0, FWidth, FHeight, gl::RGBA, gl::UNSIGNED_BYTE, rgba.data());
    TGLPicture picture;
    picture.Width = FWidth;
    picture.Height = FHeight;
    picture.BGR.resize(size_t(FWidth) * FHeight * 3);
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
            const uint8_t *from = &rgba[(size_t(FHeight - 1 - y) * FWidth + x) * 4];
            uint8_t *to = &picture.BGR[(size_t(y) * FWidth + x) * 3];
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    Texture.PersistentImage()->SetPicture(std::move(picture));
    Texture.ObjectHandle();
    ClearTextureBindCache();
    CheckGLError();
}

void TGLMemoryViewer::Render()
{
    TGLWorldBuffer &buffer = Buffer();
    if (buffer.BufferContext() && (FContextWidth != Width() || FContextHeight != Height()))
        buffer.FreeBufferContext();
    buffer.SetViewPort(0, 0, Width(), Height());
    if (!buffer.BufferContext()) {
        buffer.CreateBufferContext(nullptr, true);
        FContextWidth = Width();
        FContextHeight = Height();
    }
    buffer.Render();
}

} // namespace orv
