#include <algorithm>
#include <cmath>

#include "graphics/IGraphics.h"
#include "graphics/LICE_Blit.h"
#include "graphics/LICE_MemBitmap.h"
#include "graphics/LICE_Scaled.h"
#include "graphics/LICE_Shapes.h"
#include "graphics/LICE_SysBitmap.h"
#include "graphics/controls/IControl.h"

// Drawing buffers, dirty collection, the two drawing passes and the drawing
// operations into the back buffer.

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kRadiansPerDegree = kPi / 180.0;
const IRgba kScratchGround(255, 255, 255, 255);  // the rotated mask is composed over white
}  // namespace

void IGraphics::CreateDrawBuffers() {
    backBuffer = std::make_unique<LICE_SysBitmap>(width, height);
    scratch = std::make_unique<LICE_MemBitmap>(0, 0, 4);
}

void IGraphics::MarkAllControlsDirty() {
    if (OnAnotherThread()) {
        allDirtyPending.store(true, std::memory_order_release);
        return;
    }
    for (IControl* c : controls) c->MarkDirty(false);
}

void IGraphics::SetStrictDrawing(bool strict) {
    strictDrawing = strict;
    MarkAllControlsDirty();
}

bool IGraphics::CollectDirtyArea(IBounds& area) {
    bool any = false;
    for (IControl* c : controls) {
        if (!c->NeedsDraw()) continue;
        area = IBounds::Union(area, c->DrawArea());
        any = true;
    }
    return any;
}

bool IGraphics::DrawDirty(const IBounds& area) {
    if (controls.empty()) return true;
    if (strictDrawing) {
        // Everything that overlaps the area is drawn, clipped to it, in list
        // order; every control is then clean (hidden ones included).
        drawArea = area;
        for (IControl* c : controls) {
            if (!c->IsHidden() && IBounds::Intersects(area, c->DrawArea())) c->Draw(*this);
            c->MarkClean();
        }
    } else if (controls[0]->NeedsDraw()) {
        // The background changed: everything visible is drawn over it.
        drawArea = controls[0]->DrawArea();
        for (size_t i = 0; i < controls.size(); ++i) {
            IControl* c = controls[i];
            if (i != 0 && c->IsHidden()) continue;
            c->Draw(*this);
            c->MarkClean();
        }
    } else {
        // Each changed control in turn: it and whatever visible lies under or
        // over its area are drawn, clipped to that area; only it is cleaned.
        for (size_t i = 1; i < controls.size(); ++i) {
            IControl* dirtyControl = controls[i];
            if (!dirtyControl->NeedsDraw()) continue;
            drawArea = dirtyControl->DrawArea();
            for (size_t j = 0; j < controls.size(); ++j) {
                IControl* c = controls[j];
                if (c->IsHidden()) continue;
                if (j == i || IBounds::Intersects(c->DrawArea(), drawArea)) c->Draw(*this);
            }
            dirtyControl->MarkClean();
        }
    }
    return PaintToWindow(area);
}

bool IGraphics::DrawBitmap(const IBitmapRef& ref, const IBounds& dest, int srcX, int srcY, const IBlend* blend) {
    if (ref.IsEmpty()) return true;
    const IBounds c = IBounds::Intersection(dest, drawArea);
    if (c.Width() <= 0 || c.Height() <= 0) return true;
    const IBlend* b = BlendOrDefault(blend);
    LICE::Blit(backBuffer.get(), ref.bitmap, c.left, c.top, srcX + c.left - dest.left, srcY + c.top - dest.top,
               c.Width(), c.Height(), b->weight, b->ImageMode());
    return true;
}

bool IGraphics::DrawBitmapFrame(const IBitmapRef& ref, const IBounds& dest, int frame, const IBlend* blend) {
    int srcX = 0;
    int srcY = 0;
    const int n = ref.Frames();
    if (n >= 2 && frame >= 2) {
        if (ref.framesHorizontal)
            srcX = static_cast<int>(std::floor(static_cast<double>(ref.width) * (frame - 1) / n + 0.5));
        else
            srcY = static_cast<int>(std::floor(static_cast<double>(ref.height) * (frame - 1) / n + 0.5));
    }
    return DrawBitmap(ref, dest, srcX, srcY, blend);
}

bool IGraphics::FillRect(IRgba colour, const IBounds& area, const IBlend* blend) {
    // Clipped like the blits, so the back buffer outside the pass's area keeps
    // what it shows.
    const IBounds c = IBounds::Intersection(area, drawArea);
    if (c.Width() <= 0 || c.Height() <= 0) return true;
    const IBlend* b = BlendOrDefault(blend);
    LICE::FillRectangle(backBuffer.get(), c.left, c.top, c.Width(), c.Height(), colour.Packed(), b->weight,
                        b->ImageMode());
    return true;
}

bool IGraphics::DrawLine(IRgba colour, float x1, float y1, float x2, float y2, const IBlend* blend,
                         bool antialias) {
    // Coordinates are truncated to whole pixels; the line runs through
    // those pixels' centres.
    const auto centre = [](float v) { return static_cast<float>(static_cast<int>(v)) + 0.5f; };
    const IBlend* b = BlendOrDefault(blend);
    LICE::Line(backBuffer.get(), centre(x1), centre(y1), centre(x2), centre(y2), colour.Packed(), b->weight,
               b->ShapeMode(), antialias);
    return true;
}

bool IGraphics::DrawPoint(IRgba colour, float x, float y, const IBlend* blend, bool antialias) {
    const IBlend* b = BlendOrDefault(blend);
    const float px = x + 0.5f;
    const float py = y + 0.5f;
    LICE::Line(backBuffer.get(), px, py, px, py, colour.Packed(), b->weight, b->ShapeMode(), antialias);
    return true;
}

bool IGraphics::ForcePixel(IRgba colour, int x, int y) {
    LICE_IBitmap* bb = backBuffer.get();
    if (!bb || !bb->Pixels() || x < 0 || y < 0 || x >= bb->Width() || y >= bb->Height()) return true;
    bb->Pixels()[x + y * bb->RowSpan()] = colour.Packed();
    return true;
}

IRgba IGraphics::ReadPixel(int x, int y) { return IRgba::FromPacked(LICE::GetPixel(backBuffer.get(), x, y)); }

bool IGraphics::DrawArc(IRgba colour, float cx, float cy, float r, float minAngle, float maxAngle,
                        const IBlend* blend, bool antialias) {
    const IBlend* b = BlendOrDefault(blend);
    LICE::Arc(backBuffer.get(), cx, cy, r, minAngle, maxAngle, colour.Packed(), b->weight, b->ShapeMode(),
              antialias);
    return true;
}

bool IGraphics::DrawCircle(IRgba colour, float cx, float cy, float r, const IBlend* blend, bool antialias) {
    const IBlend* b = BlendOrDefault(blend);
    LICE::Circle(backBuffer.get(), cx, cy, r, colour.Packed(), b->weight, b->ShapeMode(), antialias);
    return true;
}

bool IGraphics::FillCircle(IRgba colour, int cx, int cy, float r, const IBlend* blend, bool antialias) {
    const IBlend* b = BlendOrDefault(blend);
    LICE::FillCircle(backBuffer.get(), static_cast<float>(cx), static_cast<float>(cy), r, colour.Packed(), b->weight,
                     b->ShapeMode(), antialias);
    return true;
}

bool IGraphics::DrawRoundRect(IRgba colour, const IBounds& area, const IBlend* blend, int cornerRadius,
                              bool antialias) {
    const IBlend* b = BlendOrDefault(blend);
    LICE::RoundRect(backBuffer.get(), static_cast<float>(area.left), static_cast<float>(area.top),
                    static_cast<float>(area.Width()), static_cast<float>(area.Height()), cornerRadius,
                    colour.Packed(), b->weight, b->ShapeMode(), antialias);
    return true;
}

bool IGraphics::FillRoundRect(IRgba colour, const IBounds& area, const IBlend* blend, int cornerRadius,
                              bool antialias) {
    // Three rectangles (a wide middle band, and the top and bottom bands
    // between the corners) and four corner circles.
    const int r = std::max(0, std::min(cornerRadius, std::min(area.Width(), area.Height()) / 2));
    const IBlend* b = BlendOrDefault(blend);
    const LICE_pixel p = colour.Packed();
    LICE_IBitmap* bb = backBuffer.get();
    const int mode = b->ImageMode();
    LICE::FillRectangle(bb, area.left, area.top + r, area.Width(), area.Height() - 2 * r, p, b->weight, mode);
    LICE::FillRectangle(bb, area.left + r, area.top, area.Width() - 2 * r, r, p, b->weight, mode);
    LICE::FillRectangle(bb, area.left + r, area.bottom - r, area.Width() - 2 * r, r, p, b->weight, mode);
    if (r > 0) {
        const float fr = static_cast<float>(r);
        const float l = static_cast<float>(area.left + r);
        const float t = static_cast<float>(area.top + r);
        const float rt = static_cast<float>(area.right - r - 1);
        const float bt = static_cast<float>(area.bottom - r - 1);
        LICE::FillCircle(bb, l, t, fr, p, b->weight, b->ShapeMode(), antialias);
        LICE::FillCircle(bb, rt, t, fr, p, b->weight, b->ShapeMode(), antialias);
        LICE::FillCircle(bb, l, bt, fr, p, b->weight, b->ShapeMode(), antialias);
        LICE::FillCircle(bb, rt, bt, fr, p, b->weight, b->ShapeMode(), antialias);
    }
    return true;
}

bool IGraphics::FillTriangle(IRgba colour, int x1, int y1, int x2, int y2, int x3, int y3, const IBlend* blend) {
    const IBlend* b = BlendOrDefault(blend);
    LICE::FillTriangle(backBuffer.get(), x1, y1, x2, y2, x3, y3, colour.Packed(), b->weight, b->ShapeMode());
    return true;
}

bool IGraphics::FillConvexPolygon(IRgba colour, const int* x, const int* y, int count, const IBlend* blend) {
    const IBlend* b = BlendOrDefault(blend);
    LICE::FillConvexPolygon(backBuffer.get(), x, y, count, colour.Packed(), b->weight, b->ShapeMode());
    return true;
}

bool IGraphics::DrawRectOutline(IRgba colour, const IBounds& area, const IBlend* blend, bool antialias) {
    const float l = static_cast<float>(area.left);
    const float t = static_cast<float>(area.top);
    const float r = static_cast<float>(area.right - 1);
    const float bm = static_cast<float>(area.bottom - 1);
    DrawLine(colour, l, t, r, t, blend, antialias);
    DrawLine(colour, l, bm, r, bm, blend, antialias);
    DrawLine(colour, l, t, l, bm, blend, antialias);
    DrawLine(colour, r, t, r, bm, blend, antialias);
    return true;
}

bool IGraphics::DrawVerticalLine(IRgba colour, int x, int top, int bottom) {
    const IBlend copy(IBlend::kCopy, 1.0f);
    return DrawLine(colour, static_cast<float>(x), static_cast<float>(top), static_cast<float>(x),
                    static_cast<float>(bottom), &copy, false);
}

bool IGraphics::DrawHorizontalLine(IRgba colour, int y, int left, int right) {
    const IBlend copy(IBlend::kCopy, 1.0f);
    return DrawLine(colour, static_cast<float>(left), static_cast<float>(y), static_cast<float>(right),
                    static_cast<float>(y), &copy, false);
}

bool IGraphics::DrawVerticalLineAt(IRgba colour, const IBounds& area, float fraction) {
    fraction = std::min(std::max(fraction, 0.0f), 1.0f);
    const int x = area.left + static_cast<int>(static_cast<float>(area.right - area.left) * fraction);
    return DrawVerticalLine(colour, x, area.top, area.bottom);
}

bool IGraphics::DrawHorizontalLineAt(IRgba colour, const IBounds& area, float fraction) {
    fraction = std::min(std::max(fraction, 0.0f), 1.0f);
    const int y = area.bottom - static_cast<int>(static_cast<float>(area.bottom - area.top) * fraction);
    return DrawHorizontalLine(colour, y, area.left, area.right);
}

bool IGraphics::DrawRadialLine(IRgba colour, float cx, float cy, float angle, float rMin, float rMax,
                               const IBlend* blend, bool antialias) {
    // The end points keep their fractions (unlike DrawLine, which snaps to
    // whole pixels), so an antialiased pointer moves smoothly with the angle.
    const float s = std::sin(angle);
    const float c = std::cos(angle);
    const IBlend* b = BlendOrDefault(blend);
    LICE::Line(backBuffer.get(), cx + s * rMin, cy - c * rMin, cx + s * rMax, cy - c * rMax, colour.Packed(),
               b->weight, b->ShapeMode(), antialias);
    return true;
}

bool IGraphics::DrawRotatedBitmap(const IBitmapRef& ref, int cx, int cy, double angle, int yOffset,
                                  const IBlend* blend) {
    if (ref.IsEmpty()) return true;
    const IBlend* b = BlendOrDefault(blend);
    const int w = ref.width;
    const int h = ref.height;
    LICE::RotatedBlit(backBuffer.get(), ref.bitmap, cx - w / 2, cy - h / 2, w, h, 0.0f, 0.0f,
                      static_cast<float>(w), static_cast<float>(h), static_cast<float>(angle * kRadiansPerDegree),
                      false, b->weight, b->ImageMode() | LICE::ModeFilter, 0.0f, static_cast<float>(yOffset));
    return true;
}

bool IGraphics::DrawRotatedMask(const IBitmapRef& base, const IBitmapRef& mask, const IBitmapRef& top, int x, int y,
                                double angle, const IBlend* blend) {
    // A base picture without pixels (damaged) would leave only the white ground.
    if (base.IsEmpty() || !scratch || base.bitmap->Pixels() == nullptr) return true;
    const int w = base.width;
    const int h = base.height;
    scratch->Resize(w, h);
    LICE::Clear(scratch.get(), kScratchGround.Packed());
    LICE::Blit(scratch.get(), base.bitmap, 0, 0, 0, 0, w, h, 1.0f, LICE::ModeCopy | LICE::ModeUseSourceAlpha);
    if (!mask.IsEmpty())
        LICE::RotatedBlit(scratch.get(), mask.bitmap, 0, 0, w, h, 0.0f, 0.0f, static_cast<float>(mask.width),
                          static_cast<float>(mask.height), static_cast<float>(angle * kRadiansPerDegree), true, 1.0f,
                          LICE::ModeCopy | LICE::ModeUseSourceAlpha | LICE::ModeFilter, 0.0f, 0.0f);
    if (!top.IsEmpty())
        LICE::Blit(scratch.get(), top.bitmap, 0, 0, 0, 0, w, h, 1.0f, LICE::ModeCopy | LICE::ModeUseSourceAlpha);
    const IBitmapRef composed(scratch.get(), w, h);
    return DrawBitmap(composed, IBounds(x, y, x + w, y + h), 0, 0, blend);
}

LICE_pixel* IGraphics::PixelData() { return backBuffer ? backBuffer->Pixels() : nullptr; }
