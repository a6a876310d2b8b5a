// The display-less window layer answers the editor factory on platforms
// without a window layer of their own (Linux: tests, the command-line tool).
#include "graphics/MakeEditorWindow.h"

#include "graphics/headless/IGraphicsHeadless.h"

IGraphics* MakeEditorWindow(IPlugBase* plugin, int w, int h, int frameRate) {
    return new IGraphicsHeadless(plugin, w, h, frameRate);
}
