// The interim Windows layer answers the editor factory in Windows builds
// until the Win32 window layer replaces it.
#include "graphics/MakeEditorWindow.h"

#include "graphics/wininterim/IGraphicsWinInterim.h"

IGraphics* MakeEditorWindow(IPlugBase* plugin, int w, int h, int frameRate) {
    return new IGraphicsWinInterim(plugin, w, h, frameRate);
}
