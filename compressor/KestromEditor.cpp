#include "compressor/KestromEditor.h"

#include "graphics/IBitmapRef.h"
#include "graphics/IGraphics.h"
#include "graphics/MakeEditorWindow.h"
#include "graphics/controls/IBitmapControl.h"
#include "graphics/controls/IBitmapOverlayControl.h"
#include "graphics/controls/IFaderControl.h"
#include "graphics/controls/IKnobMultiControl.h"
#include "graphics/controls/ISwitchControl.h"

namespace kestrom::editor {

namespace {

// The loaded pictures, indexed by ordinal - kBackgroundPicture.
struct Pictures {
    IBitmapRef refs[kPictureCount];
    const IBitmapRef& operator[](int id) const { return refs[id - kBackgroundPicture]; }
};

static_assert(kOverlayPicture - kBackgroundPicture + 1 == kPictureCount, "the ordinals are consecutive");

}  // namespace

IGraphics* MakeKestromEditor(IPlugBase* plugin) {
    IGraphics* g = MakeEditorWindow(plugin, kWidth, kHeight, kFrameRate);
    if (!g) return nullptr;

    Pictures pictures;
    for (const PictureEntry& p : kPictures)
        pictures.refs[p.id - kBackgroundPicture] = g->LoadBitmap(p.id, p.name, p.frames);

    // The list is built in drawing order; the black panel goes in front of it.
    g->AttachBackgroundColour(kPanelColour);
    g->AttachControl(new IBitmapControl(plugin, 0, 0, pictures[kBackgroundPicture]));
    // The needle lies wholly inside Power's area, which comes later in the
    // list and so takes every click over the meter window: the needle is
    // moved by the processing only.
    g->AttachControl(
        new IFaderControl(plugin, kNeedleX, kNeedleY, kNeedleLength, kMeterIndex, pictures[kNeedlePicture],
                          IControl::kHorizontal, false));
    g->AttachControl(new ISwitchControl(plugin, kPowerX, kPowerY, kPower, pictures[kBypassPicture]));
    for (const KnobPlacement& k : kKnobs)
        g->AttachControl(new IKnobMultiControl(plugin, k.x, k.y, k.paramIdx, pictures[k.picture],
                                               IControl::kVertical, kKnobGearing));
    for (const LedPlacement& led : kLeds)
        g->AttachControl(new ISwitchControl(plugin, led.x, led.y, led.paramIdx, pictures[kLedPicture]));
    // Last, so that once shown it is drawn over everything and offered every
    // click first.
    g->AttachControl(
        new IBitmapOverlayControl(plugin, 0, 0, -1, pictures[kOverlayPicture], kOverlayClickArea));
    return g;
}

}  // namespace kestrom::editor
