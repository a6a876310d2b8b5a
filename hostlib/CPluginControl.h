#pragma once

#include <cstdint>
#include <string>

// A host control: what the host sees of one plug-in parameter, or of the
// master bypass. It holds a signed 32-bit control value (the host's own
// units: -2147483648 stands for the bottom of the control's range and
// 2147483647 for the top) and answers the host's questions about it: its name
// at a display width, a value as text at a width, the value a typed text
// stands for, which characters may be typed, how many steps it has and
// whether it may be automated.
//
// The host library's process owns its controls and calls them on the host's
// user-interface thread (the bridge converts their values when a parameter
// changes, on that thread too). A control has no lock of its own; its callers
// do not call it from two threads at once.
//
// Text buffers. NameForWidth and ValueTextForWidth write into a caller's
// buffer `out` of at least width + 1 bytes: at most `width` characters and a
// terminator, never more, whatever the text. Width 0 writes only the
// terminator. A negative width writes nothing and answers kErrorNegativeWidth;
// a null `out` answers kErrorNullPointer.
//
// Typed text. ControlValueForText answers kNoError and gives the control value
// through its out parameter, or answers a negative error code and leaves the
// out parameter as it was: a rejected text never yields a value.
class CPluginControl {
public:
    // Status codes of the operations that can fail; 0 is success.
    static constexpr int32_t kNoError = 0;
    static constexpr int32_t kErrorNullPointer = -1;    // a null text or output pointer
    static constexpr int32_t kErrorNegativeWidth = -2;  // a display width below 0
    static constexpr int32_t kErrorTextRejected = -3;   // a typed text that stands for no value

    // Bottom and top of every control's range of control values.
    static constexpr int32_t kBottom = INT32_MIN;
    static constexpr int32_t kTop = INT32_MAX;

    // Character codes of the host's editing keys: backspace and the left and
    // right arrows, and the up and down arrows.
    static constexpr int32_t kBackspace = 8;
    static constexpr int32_t kLeftArrow = 28;
    static constexpr int32_t kRightArrow = 29;
    static constexpr int32_t kUpArrow = 30;
    static constexpr int32_t kDownArrow = 31;

    CPluginControl(const CPluginControl&) = delete;
    CPluginControl& operator=(const CPluginControl&) = delete;

    // ---- Virtual operations, in slot order --------------------------------

    // Slot 0. The control's four-character code. Called by the host library's
    // process when it registers the control and when the host looks a control
    // up by its ID, on the user-interface thread.
    virtual uint32_t Id() const;
    // Slot 1. The held control value: the control value of the value the
    // control holds, as SetFromControlValue and the constructors store it.
    // Called by the host library's process whenever the host reads the
    // control (its generic controls, automation recording, saving a session),
    // on the user-interface thread.
    virtual int32_t CurrentControlValue() const;
    // Slot 2. Sets the held value from a control value, as the control's own
    // conversion stores it. Called by the host library's process when the host
    // changes the control (automation playback, its generic controls, a
    // bypass request) and when the bridge reports an editor change, on the
    // user-interface thread, before the process's control-change callback.
    virtual void SetFromControlValue(int32_t controlValue) = 0;
    // Slot 3. How many distinct values the host should offer (at least 1).
    // Called by the host library's process when it sets up its generic
    // control for this one, on the user-interface thread.
    virtual int32_t StepCount() const = 0;
    // Slot 4. The control value that a text the user typed stands for (see
    // "Typed text" above). Called by the host library's process when the user
    // finishes typing into the host's generic control, on the user-interface
    // thread.
    virtual int32_t ControlValueForText(const char* text, int32_t* outControlValue) const = 0;
    // Slot 5. Whether the host may let the user type character `code` into
    // this control. Called by the host library's process for every key the user
    // presses while typing, on the user-interface thread.
    virtual bool AcceptsCharacter(int32_t code) const = 0;
    // Slot 6. The control's name in the form chosen for `width` (see "Text
    // buffers" above): the first of the line-feed-separated forms, longest
    // first, that is at most width characters long, else the last form cut to
    // width. Called by the host library's process when the host lays out a
    // label, on the user-interface thread.
    virtual int32_t NameForWidth(char* out, int32_t width) const;
    // Slots 7 to 9. Queries the host library's process may make about the
    // control's presentation, on the user-interface thread; this library
    // answers 0 to each.
    virtual int32_t ReservedQuery7() const;
    virtual int32_t ReservedQuery8() const;
    virtual int32_t ReservedQuery9() const;
    // Slot 10. The text for control value `controlValue` at `width` (see "Text
    // buffers" above). Called by the host library's process when the host
    // shows the control's value, on the user-interface thread.
    virtual int32_t ValueTextForWidth(char* out, int32_t width, int32_t controlValue) const = 0;
    // Slot 11. Whether the host may automate the control. Called by the host
    // library's process when the host builds its automation lists, on the
    // user-interface thread.
    virtual bool IsAutomatable() const;
    // Slot 12. Called by the host library's process when it is destroyed, on
    // the user-interface thread.
    virtual ~CPluginControl();

    // The line-feed-separated name forms as given.
    const char* Names() const { return names.c_str(); }

protected:
    // A null `names` gives the empty name. The held control value starts at
    // the bottom; each derived constructor sets it from its default.
    CPluginControl(uint32_t id, const char* names, bool automatable);

    // Stores the control value CurrentControlValue answers.
    void SetHeldControlValue(int32_t c) { controlValue = c; }

    // kNoError when `out` and `width` meet the text buffer rules above, else
    // the error code to answer (nothing may then be written).
    static int32_t CheckTextBuffer(const char* out, int32_t width);

private:
    uint32_t id;
    int32_t controlValue = kBottom;
    std::string names;
    bool automatable;
};
