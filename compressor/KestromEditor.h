#pragma once

#include "compressor/KestromParams.h"
#include "graphics/IBounds.h"
#include "graphics/IRgba.h"

class IGraphics;
class IPlugBase;

// The compressor's editor: a fixed 298 × 400 panel of bitmaps. The layout is
// data (the tables below); MakeKestromEditor turns it into a graphics context
// of this platform's window layer with its pictures and controls. Bindings
// come from the parameter table's indices, so the editor cannot disagree with
// the plug-in about which control is which parameter.
namespace kestrom::editor {

constexpr int kWidth = 298;
constexpr int kHeight = 400;
constexpr int kFrameRate = 0;  // the graphics context's default, 25 redraws a second

// The pictures, by resource ordinal.
enum Picture : int {
    kBackgroundPicture = 101,
    kKnobInPicture = 102,
    kKnobOutPicture = 103,
    kLedPicture = 104,
    kNeedlePicture = 105,
    kBypassPicture = 106,
    kOverlayPicture = 107,
};

struct PictureEntry {
    int id;
    const char* name;  // what the loader is given next to the ordinal
    int frames;        // stacked vertically
};

// In the order they are loaded (Needle before LED, whatever the ordinals).
constexpr PictureEntry kPictures[] = {
    {kBackgroundPicture, "resources/img/BG.png", 1},
    {kKnobInPicture, "resources/img/KnobL1.png", 128},
    {kKnobOutPicture, "resources/img/KnobL2.png", 128},
    {kNeedlePicture, "resources/img/Needle.png", 1},
    {kLedPicture, "resources/img/LED.png", 2},
    {kBypassPicture, "resources/img/Bypass.png", 2},
    {kOverlayPicture, "resources/img/Overlay.png", 1},
};
constexpr int kPictureCount = static_cast<int>(sizeof kPictures / sizeof kPictures[0]);

// The controls' indices in the context: also the drawing order (later over
// earlier) and, backwards, the order in which the mouse is offered to them.
enum Control : int {
    kPanelControl = 0,
    kBackgroundControl,
    kNeedleControl,
    kPowerControl,
    kInKnobControl,
    kOutKnobControl,
    kDeepLedControl,
    kRelaxedLedControl,
    kDualMonoLedControl,
    kNegativeLedControl,
    kOverlayControl,
    kControlCount
};

constexpr IRgba kPanelColour(255, 0, 0, 0);  // opaque black behind everything

// The needle: a horizontal fader over the meter window, its left edge at
// 45 + (int)((214 - 16) × value). Bound to the meter's display index.
constexpr int kNeedleX = 45;
constexpr int kNeedleY = 61;
constexpr int kNeedleLength = 214;

// Power: the large switch whose clear window lies over the needle's track.
constexpr int kPowerX = 27;
constexpr int kPowerY = 49;

// Knobs: a vertical drag; a knob height times the gearing (148 × 4 = 592
// pixels) sweeps the whole range.
struct KnobPlacement {
    int paramIdx;
    int picture;
    int x, y;
};
constexpr KnobPlacement kKnobs[] = {
    {kIn, kKnobInPicture, 0, 163},
    {kOut, kKnobOutPicture, 143, 163},
};
constexpr double kKnobGearing = 4.0;

// The LED switches along the bottom, one per switch parameter but Power.
struct LedPlacement {
    int paramIdx;
    int x, y;
};
constexpr LedPlacement kLeds[] = {
    {kDeep, 37, 322},
    {kRelaxed, 101, 322},
    {kDualMono, 164, 322},
    {kNegative, 228, 322},
};

// The overlay: the whole panel; a click in this area shows it.
constexpr IBounds kOverlayClickArea(80, 10, 212, 62);

// A graphics context of the editor's size with every picture loaded and
// every control attached, in the order above. Its controls know plugin and
// its parameters; the caller attaches it with plugin->AttachEditor. Null when
// the window layer makes no context. Called from the plug-in's constructor.
IGraphics* MakeKestromEditor(IPlugBase* plugin);

}  // namespace kestrom::editor
