#pragma once

// What the plug-in base needs of an attached editor. The graphics context
// implements it; tools and tests may attach small editors of their own.
// The plug-in owns the attached editor and deletes it.
class IPlugEditor {
public:
    virtual ~IPlugEditor() = default;

    // Sets every control bound to paramIdx (a normalised value when isNormalised,
    // else a real value the editor normalises through the parameter). Called by
    // the plug-in when it attaches the editor and refreshes it (plug-in lock
    // held), and by the effect's processing at the end of a block for its meter
    // (host audio thread, plug-in lock held).
    virtual void SetParameterFromPlugin(int paramIdx, double value, bool isNormalised) = 0;

    // Creates the drawing buffers. Called once by the plug-in when it attaches
    // the editor, after every parameter value was pushed, with the lock held.
    virtual void CreateDrawBuffers() = 0;

    // Marks every control for redraw without pushing values back to the
    // plug-in. Called by the effect's parameter-change hook, lock held.
    virtual void MarkAllControlsDirty() = 0;
};
