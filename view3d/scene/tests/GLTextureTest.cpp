#include "view3d/geometry/Assertion.h"
#include "view3d/scene/GLRecorder.h"
#include "view3d/scene/GLTexture.h"
#include "view3d/scene/JPEGImage.h"
#include "view3d/scene/RenderContextInfo.h"
#include "view3d/scene/XOpenGL.h"
#include "view3d/scene/tests/FakeContext.h"

#include <functional>
#include <gtest/gtest.h>
#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>
#include <unistd.h>

namespace orv {
namespace {

TGLPicture Picture(int W, int H, uint8_t B = 10, uint8_t G = 20, uint8_t R = 30)
{
    TGLPicture p;
    p.Width = W;
    p.Height = H;
    for (int i = 0; i < W * H; ++i)
        p.BGR.insert(p.BGR.end(), {B, G, R});
    return p;
}

TEST(GLTexture, ColoursFromWindowsValues)
{
    TGLColor c(nullptr, {0, 0, 0, 0.5f});
    c.FromWinColor(0x00FF8000); // B = 255, G = 128, R = 0
    EXPECT_EQ(c.Red(), 0);
    EXPECT_EQ(c.Green(), float(128 * (1.0L / 255)));
    EXPECT_EQ(c.Blue(), 1);
    EXPECT_EQ(c.Alpha(), 1); // reset to opaque
    SetSystemColorResolver([](int Index) { return Index == 15 ? 0x00010203u : 0u; });
    EXPECT_EQ(ColorToRGB(clBtnFace), 0x00010203u);
    SetSystemColorResolver(nullptr);
}

TEST(GLTexture, MaterialCullingBlendingAndFog)
{
    TGLRecorder gl;
    TGLMaterial m(nullptr);
    TRenderContextInfo rci;
    rci.FaceCulling = true;
    rci.StateSet = 0;
    ClearMaterialCache();
    gl.Clear();
    m.Apply(rci);
    // The buffer culls: back faces are culled and their properties never sent.
    EXPECT_TRUE(InStates(rci.StateSet, TGLState::CullFace));
    for (const TGLCall &c : gl.Of("glMaterialfv"))
        EXPECT_EQ(c.Args[0], gl::FRONT);
    EXPECT_TRUE(gl.Has("glDisable", {gl::TEXTURE_2D}) || !InStates(rci.StateSet, TGLState::Texture2D));

    m.SetFaceCulling(fcNoCull);
    m.SetBlendingMode(bmAdditive);
    gl.Clear();
    m.Apply(rci);
    EXPECT_FALSE(InStates(rci.StateSet, TGLState::CullFace));
    EXPECT_TRUE(gl.Has("glDisable", {gl::CULL_FACE}));
    EXPECT_GT(gl.Of("glMaterialfv").size(), 0u);
    for (const TGLCall &c : gl.Of("glMaterialfv"))
        EXPECT_EQ(c.Args[0], gl::BACK); // the front was sent already
    EXPECT_TRUE(gl.Has("glEnable", {gl::BLEND}));
    EXPECT_TRUE(gl.Has("glBlendFunc", {gl::SRC_ALPHA, gl::ONE}));

    // Two materials ignoring fog, nested: fog comes back only at the outer end.
    TGLMaterial outer(nullptr), inner(nullptr);
    outer.SetMaterialOptions(moIgnoreFog);
    inner.SetMaterialOptions(moIgnoreFog);
    EnableCapability(rci.StateSet, TGLState::Fog);
    outer.Apply(rci);
    EXPECT_EQ(rci.FogSuspendCount, 1);
    inner.Apply(rci);
    EXPECT_EQ(rci.FogSuspendCount, 2);
    gl.Clear();
    inner.UnApply(rci);
    EXPECT_FALSE(InStates(rci.StateSet, TGLState::Fog));
    EXPECT_EQ(gl.Count("glEnable"), 0);
    outer.UnApply(rci);
    EXPECT_TRUE(InStates(rci.StateSet, TGLState::Fog));
    EXPECT_TRUE(gl.Has("glEnable", {gl::FOG}));
    EXPECT_EQ(rci.FogSuspendCount, 0);
}

TEST(GLTexture, FaceProperties)
{
    TGLRecorder gl;
    int changes = 0;
    TGLUpdateAbleObject owner(nullptr);
    TGLFaceProperties f(&owner);
    f.OnChange = [&](TObject *) { ++changes; };
    TGLMaterial other(nullptr);
    f.AssignFrom(other); // not face properties: nothing
    EXPECT_EQ(changes, 0);
    TGLFaceProperties g(nullptr);
    g.Diffuse().AssignRGBA({1, 0, 0, 1});
    g.SetShininess(200);
    EXPECT_EQ(g.Shininess(), 128);
    f.AssignFrom(g);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(f.Diffuse().Red(), 1);
    ClearPolygonModeCache();
    f.SetPolygonMode(pmLines);
    f.ApplyFace(gl::FRONT);
    EXPECT_TRUE(gl.Has("glPolygonMode", {gl::FRONT, gl::LINE}));
}

TEST(GLTexture, TextureSendsParametersAndImageOncePerChange)
{
    TGLRecorder gl;
    TFakeContext context;
    context.CreateContext(nullptr);
    context.Activate();
    TGLMaterial m(nullptr);
    TGLTexture &t = m.Texture();
    t.PersistentImage()->SetPicture(Picture(4, 4));
    TRenderContextInfo rci;
    ClearTextureBindCache();

    gl.Clear();
    m.Apply(rci); // a new texture is disabled
    EXPECT_EQ(gl.Count("glTexImage2D") + gl.Count("gluBuild2DMipmaps"), 0);
    EXPECT_FALSE(InStates(rci.StateSet, TGLState::Texture2D));

    t.SetDisabled(false);
    t.SetMinFilter(miLinear);
    gl.Clear();
    m.Apply(rci);
    EXPECT_EQ(gl.Count("glGenTextures"), 1);
    EXPECT_EQ(gl.Count("glTexImage2D"), 1);
    EXPECT_TRUE(gl.Has("glTexImage2D",
                       {gl::TEXTURE_2D, 0, gl::RGBA, 4, 4, 0, gl::RGBA, gl::UNSIGNED_BYTE}));
    EXPECT_TRUE(gl.Has("glTexParameteri", {gl::TEXTURE_MIN_FILTER, gl::LINEAR_FILTER}) ||
                gl.Has("glTexParameteri",
                       {gl::TEXTURE_2D, gl::TEXTURE_MIN_FILTER, gl::LINEAR_FILTER}));
    EXPECT_TRUE(gl.Has("glTexParameteri", {gl::TEXTURE_2D, gl::TEXTURE_WRAP_S, gl::REPEAT}));
    EXPECT_TRUE(gl.Has("glTexEnvi", {gl::TEXTURE_ENV, gl::TEXTURE_ENV_MODE, gl::DECAL}));
    EXPECT_TRUE(InStates(rci.StateSet, TGLState::Texture2D));

    gl.Clear();
    m.UnApply(rci);
    m.Apply(rci);
    t.SetMagFilter(maLinear); // unchanged
    m.Apply(rci);
    EXPECT_EQ(gl.Count("glTexImage2D"), 0);
    EXPECT_EQ(gl.Count("glTexParameteri"), 0);
    EXPECT_EQ(gl.Count("glBindTexture"), 0);

    t.SetMagFilter(maNearest);
    m.Apply(rci);
    EXPECT_EQ(gl.Count("glTexImage2D"), 1);
    EXPECT_TRUE(gl.Has("glTexParameteri", {gl::TEXTURE_2D, gl::TEXTURE_MAG_FILTER, gl::NEAREST}));

    // Mipmapped filters build their mipmaps through GLU.
    t.SetMinFilter(miLinearMipmapLinear);
    gl.Clear();
    m.Apply(rci);
    EXPECT_EQ(gl.Count("gluBuild2DMipmaps"), 1);
    EXPECT_EQ(gl.Count("glTexImage2D"), 0);

    m.ReleaseTextureObject();
    EXPECT_EQ(gl.Count("glDeleteTextures"), 1);
    EXPECT_FALSE(t.HasTextureObject());
    context.Deactivate();
}

TEST(GLTexture, MaterialCopyCarriesTheWholeTexture)
{
    TGLRecorder gl;
    TFakeContext context;
    context.CreateContext(nullptr);
    context.Activate();
    TGLMaterial from(nullptr), to(nullptr);
    TGLTexture &t = from.Texture();
    t.PersistentImage()->SetPicture(Picture(8, 2));
    t.SetDisabled(false);
    t.SetTextureMode(tmModulate);
    t.SetTextureWrap(twNone);
    t.SetMinFilter(miNearest);
    t.SetMagFilter(maNearest);
    t.SetTextureFormat(tfRGB);
    t.SetMappingMode(tmmObjectLinear);
    t.MappingSCoordinates().AssignXYZW(0.5f, 0, 0, 0);
    t.MappingTCoordinates().AssignXYZW(0, 0.25f, 0, 0);
    from.SetFaceCulling(fcNoCull);

    to.AssignFrom(from);
    EXPECT_EQ(to.FaceCulling(), fcBufferDefault); // not part of the copy
    TRenderContextInfo rci;
    ClearTextureBindCache();
    gl.Clear();
    to.Apply(rci);
    // Lit the way the source is: modulated, not a flat decal.
    EXPECT_TRUE(gl.Has("glTexEnvi", {gl::TEXTURE_ENV, gl::TEXTURE_ENV_MODE, gl::MODULATE}));
    EXPECT_TRUE(gl.Has("glTexParameteri", {gl::TEXTURE_2D, gl::TEXTURE_WRAP_S, gl::CLAMP}));
    EXPECT_TRUE(gl.Has("glTexParameteri", {gl::TEXTURE_2D, gl::TEXTURE_WRAP_T, gl::CLAMP}));
    EXPECT_TRUE(gl.Has("glTexParameteri", {gl::TEXTURE_2D, gl::TEXTURE_MIN_FILTER, gl::NEAREST}));
    EXPECT_TRUE(gl.Has("glTexParameteri", {gl::TEXTURE_2D, gl::TEXTURE_MAG_FILTER, gl::NEAREST}));
    EXPECT_TRUE(gl.Has("glTexImage2D",
                       {gl::TEXTURE_2D, 0, gl::RGB, 8, 2, 0, gl::RGBA, gl::UNSIGNED_BYTE}));
    EXPECT_TRUE(gl.Has("glTexGeni", {gl::S, gl::TEXTURE_GEN_MODE, gl::OBJECT_LINEAR}));
    EXPECT_TRUE(gl.Has("glTexGenfv", {gl::S, gl::OBJECT_PLANE, 0.5, 0, 0, 0}));
    EXPECT_TRUE(gl.Has("glTexGenfv", {gl::T, gl::OBJECT_PLANE, 0, 0.25, 0, 0}));

    // Copying again sends parameters and image again, even when equal.
    to.UnApply(rci);
    gl.Clear();
    to.AssignFrom(from);
    to.Apply(rci);
    EXPECT_EQ(gl.Count("glTexImage2D"), 1);
    EXPECT_EQ(gl.Count("glTexParameteri"), 4);

    // A disabled source disables the copy: no texturing at all.
    from.Texture().SetDisabled(true);
    to.AssignFrom(from);
    to.UnApply(rci);
    to.Apply(rci);
    EXPECT_FALSE(InStates(rci.StateSet, TGLState::Texture2D));
    context.Deactivate();
}

TEST(GLTexture, BitmapSizesSent)
{
    TGLRecorder gl;
    struct Case {
        const char *Name;
        int W, H, Max;
        int SentW, SentH;
        bool Scaled;
    } cases[] = {
        {"3 x 2 stretched to 4 x 2", 3, 2, 1024, 4, 2, false},
        {"100 x 60 scaled to 128 x 64", 100, 60, 1024, 128, 64, true},
        {"above the maximum", 300, 200, 64, 64, 64, true},
        {"one row", 8, 1, 1024, 8, 1, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        gl.Values[gl::MAX_TEXTURE_SIZE] = {double(c.Max)};
        gl.Clear();
        TGLBitmap32 b;
        b.AssignPicture(Picture(c.W, c.H));
        EXPECT_EQ(b.Width() % 4, 0);
        int w, h;
        b.UploadTexture(gl::TEXTURE_2D, miLinear, gl::RGBA, w, h);
        EXPECT_EQ(w, c.SentW);
        EXPECT_EQ(h, c.SentH);
        EXPECT_EQ(gl.Count("gluScaleImage"), c.Scaled ? 1 : 0);
        EXPECT_TRUE(gl.Has("glTexImage2D", {gl::TEXTURE_2D, 0, gl::RGBA, double(c.SentW),
                                            double(c.SentH), 0, gl::RGBA, gl::UNSIGNED_BYTE}));
    }
}

TEST(GLTexture, BitmapRowsAndAlpha)
{
    TGLPicture p = Picture(4, 2);
    // Top-left pixel black, bottom-left pure red.
    p.BGR[0] = p.BGR[1] = p.BGR[2] = 0;
    p.BGR[12] = 0, p.BGR[13] = 0, p.BGR[14] = 255;
    TGLBitmap32 b;
    b.AssignPicture(p);
    // The first pixel of Data is the picture's bottom-left one.
    EXPECT_EQ(b.Data[0], 255);
    EXPECT_EQ(b.Data[1], 0);
    EXPECT_EQ(b.Data[3], 255);
    b.AlphaKeyColor(0); // super-black transparent
    int transparent = 0;
    for (size_t i = 3; i < b.Data.size(); i += 4)
        transparent += b.Data[i] == 0;
    EXPECT_EQ(transparent, 1);
    EXPECT_EQ(b.Data[4 * 4 + 3], 0); // the top-left pixel, in the last row
    b.AlphaFromIntensity();
    EXPECT_EQ(b.Data[3], 85);
    b.AlphaSqrtIntensity();
    EXPECT_EQ(b.Data[3], SqrtRamp255()[85]);
    b.AlphaFill(7);
    EXPECT_EQ(b.Data[7], 7);
    TGLBitmap32 top;
    top.TopDownRows = true;
    top.AssignPicture(p);
    EXPECT_EQ(top.Data[0], 0); // top-left first
    EXPECT_THROW(top.ResizeWidth(-1), EAssertionFailed);
    top.ResizeWidth(5);
    EXPECT_EQ(top.Width(), 8);
}

TEST(GLTexture, PictureFiles)
{
    TGLTexture t(nullptr);
    TGLPersistentImage &image = *t.PersistentImage();
    image.SetPicture(Picture(4, 4));
    try {
        image.LoadImageFile("/nonexistent/Wood.jpg");
        FAIL();
    } catch (const EAssertionFailed &e) {
        EXPECT_STREQ(e.what(), "Could not open file: /nonexistent/Wood.jpg");
    }
    EXPECT_TRUE(image.Picture().Empty());
    const std::string bad = testing::TempDir() + "broken_" + std::to_string(::getpid()) + ".jpg";
    WriteTextFile(bad, "this is no JPEG");
    try {
        image.LoadImageFile(bad);
        FAIL();
    } catch (const EInvalidGraphic &e) {
        EXPECT_EQ(std::string(e.what()).rfind("JPEG error #", 0), 0u);
    }
    std::remove(bad.c_str());
    std::string asked;
    image.OnTextureNeeded = [&](TObject *, std::string &Name) {
        asked = Name;
        Name = std::string(ORV_DATA_DIR) + "/pictures/checker.jpg";
    };
    image.LoadImageFile("Checker.jpg");
    EXPECT_EQ(asked, "Checker.jpg");
    EXPECT_EQ(image.GetWidth(), 64);
    EXPECT_EQ(image.GetHeight(), 64);
}

// A JPEG whose frame header names Width x Height: the 8 x 8 checker of the
// test data with its start-of-frame sizes rewritten.
std::string JPEGClaiming(uint16_t Width, uint16_t Height)
{
    std::string data = ReadTextFile(std::string(ORV_DATA_DIR) + "/pictures/checker.jpg");
    for (size_t i = 0; i + 9 < data.size(); ++i) {
        const auto marker = uint8_t(data[i + 1]);
        if (uint8_t(data[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
            data[i + 5] = char(Height >> 8);
            data[i + 6] = char(Height & 0xFF);
            data[i + 7] = char(Width >> 8);
            data[i + 8] = char(Width & 0xFF);
            return data;
        }
    }
    return {};
}

// A Width x Height JPEG of one colour, encoded from R, G, B rows.
std::string SolidJPEG(int Width, int Height, uint8_t R, uint8_t G, uint8_t B)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char *out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = JDIMENSION(Width);
    info.image_height = JDIMENSION(Height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row;
    for (int x = 0; x < Width; ++x)
        row.insert(row.end(), {R, G, B});
    while (info.next_scanline < info.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string data(reinterpret_cast<const char *>(out), size);
    std::free(out);
    return data;
}

TEST(GLTexture, DecodedPixelsAreBlueGreenRed)
{
    const std::string data = SolidJPEG(9, 5, 240, 120, 10);
    const TGLPicture p = DecodeJPEG(reinterpret_cast<const uint8_t *>(data.data()), data.size());
    ASSERT_EQ(p.Width, 9);
    ASSERT_EQ(p.Height, 5);
    ASSERT_EQ(p.BGR.size(), 9u * 5 * 3);
    for (size_t i = 0; i < p.BGR.size(); i += 3) {
        EXPECT_NEAR(p.BGR[i], 10, 4) << "blue of pixel " << i / 3;
        EXPECT_NEAR(p.BGR[i + 1], 120, 4) << "green of pixel " << i / 3;
        EXPECT_NEAR(p.BGR[i + 2], 240, 4) << "red of pixel " << i / 3;
    }
}

TEST(GLTexture, PicturesBeyondTheLimitAreRefusedBeforeDecoding)
{
    struct {
        const char *Name;
        uint16_t Width, Height;
        bool Refused;
    } cases[] = {
        {"largest header", 65500, 65500, true},
        {"one wide line", 65500, 1100, true},
        {"large but allowed", 2048, 1024, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string data = JPEGClaiming(c.Width, c.Height);
        ASSERT_FALSE(data.empty());
        const auto *bytes = reinterpret_cast<const uint8_t *>(data.data());
        if (!c.Refused) {
            // The scan data ends long before the picture does: decoded, the
            // rest is filled in.
            const TGLPicture p = DecodeJPEG(bytes, data.size());
            EXPECT_EQ(p.Width, c.Width);
            continue;
        }
        try {
            DecodeJPEG(bytes, data.size());
            ADD_FAILURE() << "decoded";
        } catch (const EInvalidGraphic &e) {
            EXPECT_STREQ(e.what(), ("JPEG error #" + std::to_string(JERR_IMAGE_TOO_BIG)).c_str());
        }
    }
}

TEST(XOpenGL, ModeChangesNest)
{
    TGLRecorder gl;
    SetStandardMode();
    BeginModeChange();
    BeginModeChange();
    SetDisabledMode();
    EndModeChange();
    EXPECT_EQ(XOpenGLMode(), xmStandard); // applied only at the outermost end
    EndModeChange();
    EXPECT_EQ(XOpenGLMode(), xmDisabled);
    BeginModeChange();
    SetStandardMode();
    SetDisabledMode();
    EndModeChange();
    EXPECT_EQ(XOpenGLMode(), xmDisabled);
    gl.Clear();
    xgl().TexCoord2f(1, 2); // disabled: nothing
    SetStandardMode();
    xgl().TexCoord2f(1, 2);
    EXPECT_EQ(gl.Names(), (std::vector<std::string>{"glTexCoord2f"}));
    GL().ARBMultitexture = false; // a driver without multitexturing
    EXPECT_THROW(SetDualTextureMode(), EAssertionFailed);
    EXPECT_THROW(SetSecondUnitMode(), EAssertionFailed);
    EXPECT_EQ(XOpenGLMode(), xmStandard);
    SetDisabledMode();
}

// Which units each mode's entries reach: unit 0 through the plain calls,
// unit 1 through the multitexture calls or a switch of the active unit,
// which always ends back on unit 0.
TEST(XOpenGL, EachModeSendsToItsUnits)
{
    const double u0 = gl::TEXTURE0_ARB, u1 = gl::TEXTURE1_ARB;
    using TCalls = std::vector<TGLCall>;
    struct Case {
        const char *Name;
        void (*Set)();
        TCalls TexCoord, TexGen, ClientState, Enable;
    } cases[] = {
        {"disabled", SetDisabledMode, {}, {}, {}, {}},
        {"standard",
         SetStandardMode,
         {{"glTexCoord2f", {0.25, 0.75}}},
         {{"glTexGeni", {gl::S, gl::TEXTURE_GEN_MODE, gl::SPHERE_MAP}}},
         {{"glEnableClientState", {0x8078}}},
         {{"glEnable", {gl::TEXTURE_2D}}}},
        {"dual texture: the same values to both units",
         SetDualTextureMode,
         {{"glTexCoord2f", {0.25, 0.75}}, {"glMultiTexCoord2fARB", {u1, 0.25, 0.75}}},
         {{"glTexGeni", {gl::S, gl::TEXTURE_GEN_MODE, gl::SPHERE_MAP}},
          {"glActiveTextureARB", {u1}},
          {"glTexGeni", {gl::S, gl::TEXTURE_GEN_MODE, gl::SPHERE_MAP}},
          {"glActiveTextureARB", {u0}}},
         {{"glEnableClientState", {0x8078}},
          {"glClientActiveTextureARB", {u1}},
          {"glEnableClientState", {0x8078}},
          {"glClientActiveTextureARB", {u0}}},
         {{"glEnable", {gl::TEXTURE_2D}},
          {"glActiveTextureARB", {u1}},
          {"glEnable", {gl::TEXTURE_2D}},
          {"glActiveTextureARB", {u0}}}},
        {"second unit only",
         SetSecondUnitMode,
         {{"glMultiTexCoord2fARB", {u1, 0.25, 0.75}}},
         {{"glActiveTextureARB", {u1}},
          {"glTexGeni", {gl::S, gl::TEXTURE_GEN_MODE, gl::SPHERE_MAP}},
          {"glActiveTextureARB", {u0}}},
         {{"glClientActiveTextureARB", {u1}},
          {"glEnableClientState", {0x8078}},
          {"glClientActiveTextureARB", {u0}}},
         {{"glActiveTextureARB", {u1}},
          {"glEnable", {gl::TEXTURE_2D}},
          {"glActiveTextureARB", {u0}}}},
    };
    auto same = [](const TCalls &A, const TCalls &B) {
        if (A.size() != B.size())
            return false;
        for (size_t i = 0; i < A.size(); ++i)
            if (A[i].Name != B[i].Name || A[i].Args != B[i].Args)
                return false;
        return true;
    };
    auto names = [](const TCalls &A) {
        std::string s;
        for (const TGLCall &c : A)
            s += c.Name + " ";
        return s;
    };
    TGLRecorder gl;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        c.Set();
        const std::pair<const TCalls *, std::function<void()>> calls[] = {
            {&c.TexCoord, [] { xgl().TexCoord2f(0.25f, 0.75f); }},
            {&c.TexGen, [] { xgl().TexGeni(gl::S, gl::TEXTURE_GEN_MODE, gl::SPHERE_MAP); }},
            {&c.ClientState, [] { xgl().EnableClientState(0x8078); }},
            {&c.Enable, [] { xgl().Enable(gl::TEXTURE_2D); }}};
        for (const auto &[expected, call] : calls) {
            gl.Clear();
            call();
            EXPECT_TRUE(same(gl.Calls, *expected)) << names(gl.Calls);
        }
    }
    // The vector forms carry the unit and as many values as their name says.
    SetDualTextureMode();
    gl.Clear();
    const GLfloat v[4] = {1, 2, 3, 4};
    xgl().TexCoord3fv(v);
    EXPECT_TRUE(gl.Has("glMultiTexCoord3fvARB", {u1, 1, 2, 3}));
    SetSecondUnitMode();
    gl.Clear();
    xgl().TexCoord4fv(v);
    EXPECT_EQ(gl.Names(), (std::vector<std::string>{"glMultiTexCoord4fvARB"}));
    EXPECT_TRUE(gl.Has("glMultiTexCoord4fvARB", {u1, 1, 2, 3, 4}));
    SetDisabledMode();
}

TEST(XOpenGL, AMultiUnitModeAskedDuringAModeChangeWaitsForItsEnd)
{
    TGLRecorder gl;
    SetStandardMode();
    BeginModeChange();
    SetSecondUnitMode();
    EXPECT_EQ(XOpenGLMode(), xmStandard);
    EndModeChange();
    EXPECT_EQ(XOpenGLMode(), xmSecondUnitOnly);
    // Dual, then Standard again, inside one change: nothing changes.
    SetStandardMode();
    BeginModeChange();
    SetDualTextureMode();
    SetStandardMode();
    EndModeChange();
    EXPECT_EQ(XOpenGLMode(), xmStandard);
    SetDisabledMode();
}

} // namespace
} // namespace orv
