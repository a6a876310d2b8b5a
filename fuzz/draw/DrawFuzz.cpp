// Drives every drawing operation with arbitrary arguments. Whatever the
// arguments, no operation may write outside the destination bitmap (its
// margin must keep the sentinel colour) or read outside the source (which is
// allocated to the exact pixel, so AddressSanitizer sees any stray read).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics/LICE_Blit.h"
#include "graphics/LICE_Scaled.h"
#include "graphics/LICE_Shapes.h"

namespace {

constexpr LICE_pixel kSentinel = 0x5A17C0DEu;
constexpr int kMargin = 4;

// A bitmap inside a block with a sentinel margin on every side.
class Guarded final : public LICE_IBitmap {
public:
    Guarded(int w, int h) : w_(w), h_(h), span_(w + 2 * kMargin), block_(static_cast<std::size_t>(span_) * (h + 2 * kMargin), kSentinel) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                Pixels()[y * span_ + x] = 0x80808080u;
            }
        }
    }
    LICE_pixel* Pixels() const override { return const_cast<LICE_pixel*>(block_.data()) + kMargin * span_ + kMargin; }
    int Width() const override { return w_; }
    int Height() const override { return h_; }
    int RowSpan() const override { return span_; }
    bool Resize(int, int) override { return false; }
    bool MarginIntact() const {
        for (std::size_t i = 0; i < block_.size(); ++i) {
            const int y = static_cast<int>(i / static_cast<std::size_t>(span_)) - kMargin;
            const int x = static_cast<int>(i % static_cast<std::size_t>(span_)) - kMargin;
            const bool inside = x >= 0 && y >= 0 && x < w_ && y < h_;
            if (!inside && block_[i] != kSentinel) {
                return false;
            }
        }
        return true;
    }

private:
    int w_, h_, span_;
    std::vector<LICE_pixel> block_;
};

// A bitmap whose pixels are exactly w × h on the heap, rows unpadded.
class Exact final : public LICE_IBitmap {
public:
    Exact(int w, int h) : w_(w), h_(h), pixels_(new LICE_pixel[static_cast<std::size_t>(w) * h]) {
        for (int i = 0; i < w * h; ++i) {
            pixels_[i] = static_cast<LICE_pixel>(i * 2654435761u);
        }
    }
    ~Exact() override { delete[] pixels_; }
    LICE_pixel* Pixels() const override { return pixels_; }
    int Width() const override { return w_; }
    int Height() const override { return h_; }
    int RowSpan() const override { return w_; }
    bool Resize(int, int) override { return false; }

private:
    int w_, h_;
    LICE_pixel* pixels_;
};

class Reader {
public:
    Reader(const uint8_t* d, size_t n) : d_(d), n_(n) {}
    bool More() const { return i_ < n_; }
    template <class T>
    T Get() {
        T v{};
        unsigned char raw[sizeof(T)] = {};
        for (size_t k = 0; k < sizeof(T) && i_ < n_; ++k) {
            raw[k] = d_[i_++];
        }
        std::memcpy(&v, raw, sizeof(T));
        return v;
    }
    // Small values most of the time, anything now and then.
    int Coord() {
        const uint8_t kind = Get<uint8_t>();
        return (kind & 7) == 0 ? Get<int>() : static_cast<int>(static_cast<int8_t>(Get<uint8_t>()));
    }
    float Real() {
        const uint8_t kind = Get<uint8_t>();
        return (kind & 7) == 0 ? Get<float>() : static_cast<float>(static_cast<int8_t>(Get<uint8_t>())) / 4.0f;
    }

private:
    const uint8_t* d_;
    size_t n_;
    size_t i_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in(data, size);
    Guarded dest(1 + in.Get<uint8_t>() % 24, 1 + in.Get<uint8_t>() % 24);
    Exact src(1 + in.Get<uint8_t>() % 24, 1 + in.Get<uint8_t>() % 24);
    for (int ops = 0; in.More() && ops < 64; ++ops) {
        const uint8_t op = in.Get<uint8_t>();
        const int mode = static_cast<int>(in.Get<uint32_t>() & 0x101FF);
        const float weight = in.Real();
        const LICE_pixel colour = in.Get<uint32_t>();
        switch (op % 14) {
            case 0: {
                const int a = in.Coord(), b = in.Coord(), c = in.Coord(), d = in.Coord(), e = in.Coord(), f = in.Coord();
                LICE::Blit(&dest, &src, a, b, c, d, e, f, weight, mode);
                break;
            }
            case 1: {
                const int a = in.Coord(), b = in.Coord(), c = in.Coord(), d = in.Coord();
                LICE::FillRectangle(&dest, a, b, c, d, colour, weight, mode);
                break;
            }
            case 2: {
                const int a = in.Coord(), b = in.Coord(), c = in.Coord(), d = in.Coord();
                const float e = in.Real(), f = in.Real(), g = in.Real(), h = in.Real();
                LICE::ScaledBlit(&dest, &src, a, b, c, d, e, f, g, h, weight, mode);
                break;
            }
            case 3: {
                const int a = in.Coord(), b = in.Coord(), c = in.Coord(), d = in.Coord();
                const float e = in.Real(), f = in.Real(), g = in.Real(), h = in.Real(), angle = in.Real();
                const float ox = in.Real(), oy = in.Real();
                LICE::RotatedBlit(&dest, &src, a, b, c, d, e, f, g, h, angle, (op & 0x80) != 0, weight, mode, ox, oy);
                break;
            }
            case 4: {
                const int a = in.Coord(), b = in.Coord();
                LICE::PutPixel(&dest, a, b, colour, weight, mode);
                (void)LICE::GetPixel(&src, a, b);
                break;
            }
            case 5: {
                const float a = in.Real(), b = in.Real(), c = in.Real(), d = in.Real();
                LICE::Line(&dest, a, b, c, d, colour, weight, mode, (op & 0x80) != 0);
                break;
            }
            case 6: {
                const float a = in.Real(), b = in.Real(), r = in.Real(), lo = in.Real(), hi = in.Real();
                LICE::Arc(&dest, a, b, r, lo, hi, colour, weight, mode, (op & 0x80) != 0);
                break;
            }
            case 7: {
                const float a = in.Real(), b = in.Real(), r = in.Real();
                LICE::Circle(&dest, a, b, r, colour, weight, mode, (op & 0x80) != 0);
                break;
            }
            case 8: {
                const float a = in.Real(), b = in.Real(), r = in.Real();
                LICE::FillCircle(&dest, a, b, r, colour, weight, mode, (op & 0x80) != 0);
                break;
            }
            case 9: {
                const float a = in.Real(), b = in.Real(), c = in.Real(), d = in.Real();
                const int r = in.Coord();
                LICE::RoundRect(&dest, a, b, c, d, r, colour, weight, mode, (op & 0x80) != 0);
                break;
            }
            case 10: {
                const int a = in.Coord(), b = in.Coord(), c = in.Coord(), d = in.Coord(), e = in.Coord(), f = in.Coord();
                LICE::FillTriangle(&dest, a, b, c, d, e, f, colour, weight, mode);
                break;
            }
            case 11: {
                int xs[8], ys[8];
                const int n = in.Get<uint8_t>() % 9;
                for (int i = 0; i < n; ++i) {
                    xs[i] = in.Coord();
                    ys[i] = in.Coord();
                }
                LICE::FillConvexPolygon(&dest, xs, ys, n, colour, weight, mode);
                break;
            }
            case 12: {
                const int a = in.Coord(), b = in.Coord(), c = in.Coord(), d = in.Coord(), e = in.Coord(), f = in.Coord();
                LICE::Blit(&dest, &dest, a, b, c, d, e, f, weight, mode);  // within one bitmap
                break;
            }
            default:
                LICE::Clear(&dest, colour);
                break;
        }
        if (!dest.MarginIntact()) {
            std::abort();
        }
    }
    return 0;
}
