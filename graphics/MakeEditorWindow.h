#pragma once

class IGraphics;
class IPlugBase;

// The graphics context of this platform's window layer, for an effect that
// builds its editor without naming a platform: w × h pixels, frameRate redraw
// checks a second (0: the default of 25), showing plugin's parameters. The
// caller adds the bitmaps and controls and then hands the context to the
// plug-in with AttachEditor, which owns it from then on.
//
// Exactly one window layer defines it, chosen when the module is linked: the
// display-less layer on Linux (graphics/headless), the Win32 window on
// Windows. Called from the effect's constructor (the host's thread that
// creates the instance, under the module's creation lock). Null when the
// layer cannot make a context.
IGraphics* MakeEditorWindow(IPlugBase* plugin, int w, int h, int frameRate);
