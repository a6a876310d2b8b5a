// The window-less layer answers the editor factory in binaries that never
// show the editor (the LV2 plug-ins' DSP binary).
#include "graphics/MakeEditorWindow.h"

#include "graphics/windowless/IGraphicsWindowless.h"

IGraphics* MakeEditorWindow(IPlugBase* plugin, int w, int h, int frameRate) {
    return new IGraphicsWindowless(plugin, w, h, frameRate);
}
