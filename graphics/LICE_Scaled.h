#pragma once

#include "graphics/LICE_IBitmap.h"

// Resampling blits. Source rectangles are in floating-point pixels; arguments
// that are not finite draw nothing. Samples never come from outside the
// source bitmap and nothing is written outside the destination.
namespace LICE {

// Draws the source rectangle stretched to the destination rectangle.
// ModeFilter (mode & 0xFF00 == 0x100) selects bilinear filtering over the
// 2 × 2 neighbourhood. When the sizes agree within 0.001 this is a plain Blit
// from the source position rounded (+0.5, truncated): always without
// ModeFilter, and with it only when the position lies within 0.03 of whole
// pixels.
void ScaledBlit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstX, int dstY, int dstW, int dstH, float srcX,
                float srcY, float srcW, float srcH, float weight, int mode);

// Draws the source rectangle mapped onto the destination rectangle and rotated
// by angle (radians, clockwise on screen) about the destination rectangle's
// centre plus (centreOffsetX, centreOffsetY). With clipToSource, destination
// pixels whose sample falls outside the source rectangle are left alone;
// without it they may sample anywhere inside the source bitmap.
void RotatedBlit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstX, int dstY, int dstW, int dstH, float srcX,
                 float srcY, float srcW, float srcH, float angle, bool clipToSource, float weight, int mode,
                 float centreOffsetX, float centreOffsetY);

}  // namespace LICE
