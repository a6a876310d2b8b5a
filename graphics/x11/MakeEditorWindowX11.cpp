// The X11 window layer answers the editor factory in binaries that show the
// editor on an X11 display (the LV2 plug-in).
#include "graphics/MakeEditorWindow.h"

#include "graphics/x11/IGraphicsX11.h"

IGraphics* MakeEditorWindow(IPlugBase* plugin, int w, int h, int frameRate) {
    return new IGraphicsX11(plugin, w, h, frameRate);
}
