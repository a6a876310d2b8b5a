#include "tools/kestrom/PngFile.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <vector>


namespace kestrom::tool {

namespace {

constexpr int kBytesPerPixel = 3;  // red, green, blue

// libpng reports errors through this callback, which must not return; it
// jumps back to the setjmp in Encode.
[[noreturn]] void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

// Writes the whole PNG stream to file from `rgb` (rows of width x 3 bytes).
// Nothing with a destructor may live in this frame, because an error
// longjmps back into it past libpng's own frames.
bool Encode(std::FILE* file, int width, int height, const unsigned char* rgb) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, rgb + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * kBytesPerPixel);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

PngFile::PngFile(std::string target) : file_(std::move(target)) {}

PngFile::~PngFile() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
    }
}

bool PngFile::Open(std::string& error) {
    if (!file_.Prepare(error)) {
        return false;
    }
    stream_ = file_.OpenStream("wb", error);
    return stream_ != nullptr;
}

bool PngFile::Write(int width, int height, const std::vector<unsigned char>& rgb, std::string& error) {
    if (stream_ == nullptr) {
        error = "'" + file_.Target() + "' is not open";
        return false;
    }
    if (width < 1 || height < 1 ||
        rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * kBytesPerPixel) {
        error = "nothing to draw into '" + file_.Target() + "'";
        return false;
    }
    errno = 0;
    const bool encoded = Encode(stream_, width, height, rgb.data());
    const bool flushed = std::fflush(stream_) == 0 && !std::ferror(stream_);
    const int reason = errno;
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    if (!encoded || !flushed || !closed) {
        error = "error writing '" + file_.Target() + "': " + std::strerror(reason != 0 ? reason : errno != 0 ? errno : EIO);
        file_.Discard();
        return false;
    }
    return true;
}

}  // namespace kestrom::tool
