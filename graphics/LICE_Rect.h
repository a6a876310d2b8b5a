#pragma once

// A rectangle of pixels, right and bottom exclusive.
struct LICE_Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
