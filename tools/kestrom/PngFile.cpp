#include "tools/kestrom/PngFile.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "graphics/LICE_IBitmap.h"
#include "graphics/LICE_Pixel.h"

namespace kestrom::tool {

namespace {

constexpr int kBytesPerPixel = 3;  // red, green, blue

// libpng reports errors through this callback, which must not return; it
// jumps back to the setjmp in Encode.
[[noreturn]] void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

// Converts row y of bitmap (top row first, whichever way the bitmap stores
// its rows) into row, three bytes a pixel.
void ConvertRow(const LICE_IBitmap& bitmap, int y, unsigned char* row) {
    const int stored = bitmap.IsFlipped() ? bitmap.Height() - 1 - y : y;
    const LICE_pixel* src = bitmap.Pixels() + static_cast<std::ptrdiff_t>(stored) * bitmap.RowSpan();
    for (int x = 0; x < bitmap.Width(); ++x) {
        row[x * kBytesPerPixel + 0] = static_cast<unsigned char>(LICE::Red(src[x]));
        row[x * kBytesPerPixel + 1] = static_cast<unsigned char>(LICE::Green(src[x]));
        row[x * kBytesPerPixel + 2] = static_cast<unsigned char>(LICE::Blue(src[x]));
    }
}

// Writes the whole PNG stream to file. row is scratch of width × 3 bytes,
// owned by the caller: nothing with a destructor may live in this frame,
// because an error longjmps back into it past libpng's own frames.
bool Encode(std::FILE* file, const LICE_IBitmap& bitmap, unsigned char* row) {
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
    png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.Width()), static_cast<png_uint_32>(bitmap.Height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < bitmap.Height(); ++y) {
        ConvertRow(bitmap, y, row);
        png_write_row(png, row);
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

bool PngFile::WriteAndCommit(const LICE_IBitmap& bitmap, std::string& error, bool sync) {
    return Write(bitmap, error) && OutputFile::CommitAll({&file_}, sync, error);
}

bool PngFile::Write(const LICE_IBitmap& bitmap, std::string& error) {
    if (stream_ == nullptr) {
        error = "'" + file_.Target() + "' is not open";
        return false;
    }
    if (bitmap.Width() < 1 || bitmap.Height() < 1 || bitmap.Pixels() == nullptr) {
        error = "nothing to draw into '" + file_.Target() + "'";
        return false;
    }
    std::vector<unsigned char> row(static_cast<std::size_t>(bitmap.Width()) * kBytesPerPixel);
    errno = 0;
    const bool encoded = Encode(stream_, bitmap, row.data());
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
