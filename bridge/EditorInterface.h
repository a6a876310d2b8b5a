#pragma once

#include <cstdint>

class ProcessInterface;

// What the host process asks of the editor it shows in the host's window:
// open it in a window, close it, redraw it, and its size. The process owns
// it; it is created on the host's first size or view request. All
// operations run on the host's user-interface thread.
class EditorInterface {
public:
    explicit EditorInterface(ProcessInterface* owner) : process(owner) {}
    // Slot 0. Clears the references; destroys no window.
    virtual ~EditorInterface() = default;
    // Slot 1. Opens the editor inside `parentWindow`; x and y are not used.
    virtual bool Open(void* parentWindow, int16_t x, int16_t y) = 0;
    // Slot 2. Closes the editor's window.
    virtual bool Close() = 0;
    // Slot 3. The host asks for a redraw; the area is not used.
    virtual void Update(int16_t left, int16_t top, int16_t right, int16_t bottom) = 0;
    // Slot 4. The editor's rectangle: 0, 0, width, height.
    virtual void EditorRect(int16_t* left, int16_t* top, int16_t* right, int16_t* bottom) = 0;
    // Slots 5 to 7. Host notifications and a query this editor does not use.
    virtual void Notify4(int32_t, int32_t, int32_t, int32_t) {}
    virtual void Notify3(int32_t, int32_t, int32_t) {}
    virtual void Query3(int32_t, int32_t, int32_t* out) {
        if (out) *out = 0;
    }

protected:
    ProcessInterface* process;
};
