#pragma once

// Buttons and modifier keys at a mouse event, as the window layer saw them.
class IMouseState {
public:
    bool left = false;
    bool right = false;
    bool shift = false;
    bool control = false;
    bool alt = false;

    // Control or Shift: the fine-adjustment modifiers of knobs and the wheel.
    bool Fine() const { return control || shift; }
};
