#include "view3d/scene/JPEGImage.h"

#include "view3d/scene/GLMisc.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

namespace orv {

namespace {

struct TJPEGError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
};

void ErrorExit(j_common_ptr Info)
{
    std::longjmp(reinterpret_cast<TJPEGError *>(Info->err)->Jump, 1);
}

void NoMessage(j_common_ptr) {}

// The largest picture decoded (pixels, 192 MB as RGB): a broken or hostile
// header can name up to 65500 x 65500, far beyond any texture, and the
// decoder would take gigabytes before reading the first line.
constexpr uint64_t cMaxPicturePixels = 64u * 1024 * 1024;

std::string Extension(const std::string &FileName)
{
    const size_t dot = FileName.find_last_of('.');
    std::string e = dot == std::string::npos ? "" : FileName.substr(dot);
    std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return std::tolower(c); });
    return e;
}

} // namespace

TGLPicture DecodeJPEG(const uint8_t *Data, size_t Size)
{
    jpeg_decompress_struct info{};
    TJPEGError error{};
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = ErrorExit;
    error.Manager.output_message = NoMessage;
    // Only plain data lives across the jump: the picture is built after it.
    std::vector<uint8_t> *rows = new std::vector<uint8_t>();
    int width = 0, height = 0;
    if (setjmp(error.Jump)) {
        const int code = error.Manager.msg_code;
        jpeg_destroy_decompress(&info);
        delete rows;
        throw EInvalidGraphic("JPEG error #" + std::to_string(code));
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, Data, static_cast<unsigned long>(Size));
    jpeg_read_header(&info, TRUE);
    if (uint64_t(info.image_width) * info.image_height > cMaxPicturePixels)
        ERREXIT1(&info, JERR_IMAGE_TOO_BIG, unsigned(info.image_width));
    // The rows come out in the picture's own order, B, G, R.
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    width = int(info.output_width);
    height = int(info.output_height);
    try {
        rows->resize(size_t(width) * size_t(height) * 3);
    } catch (...) {
        jpeg_destroy_decompress(&info);
        delete rows;
        throw;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &(*rows)[size_t(info.output_scanline) * size_t(width) * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);

    TGLPicture p;
    p.Width = width;
    p.Height = height;
    p.BGR = std::move(*rows);
    delete rows;
    return p;
}

TGLPicture LoadPictureFile(const std::string &FileName)
{
    const std::string ext = Extension(FileName);
    if (ext != ".jpg" && ext != ".jpeg")
        throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
    const std::string data = ReadTextFile(FileName);
    if (data.empty())
        throw EInvalidGraphic("Cannot open file \"" + FileName + "\"");
    return DecodeJPEG(reinterpret_cast<const uint8_t *>(data.data()), data.size());
}

} // namespace orv
