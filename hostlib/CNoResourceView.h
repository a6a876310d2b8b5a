#pragma once

#include <cstdint>

#include "hostlib/CPlugInView.h"

// A view built in code rather than from a layout resource: a plain container
// of the size it is given, holding subviews built by class name.
class CNoResourceView : public CPlugInView {
public:
    CNoResourceView() = default;

    // Builds a subview from a description such as "!IPlugDigiView[('NoID')]"
    // (CViewDescription) with the creation routine registered under its class
    // name with the module's effect group, places it at (x, y) with the given
    // size and ID, and keeps it. Answers the subview, or null when the
    // description is malformed, no group is open, no class of that name is
    // registered or its routine made nothing. An exception of the creation
    // routine passes to the caller and adds nothing. User-interface thread.
    CPlugInView* BuildSubview(const char* description, int16_t x, int16_t y, int16_t width, int16_t height);
};
