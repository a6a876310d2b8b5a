#pragma once

#include <cstdint>
#include <memory>

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include "compressor/KestromParams.h"
#include "core/IPlugBase.h"

class IGraphicsX11;

// The LV2 plug-ins' editor in a host (ui:X11UI): the compressor's editor,
// bound not to a Kestrom but to this stand-in, which holds only the seven
// parameters. So the editor's controls work as they do on the plug-in itself
// (SetParameterFromGUI sets the parameter here), while the DSP instance the
// host runs stays untouched by the UI: the two share no mutable state, and
// the values travel only through the host's ports.
//
// - A control the user moves sends its parameter's value to the host through
//   the write function (the control port, ui:floatProtocol), inside a touch
//   gesture (ui:touch grabbed at the press, released with it) when the host
//   offers ui:touch.
// - The host's port events show its values: a parameter port sets the
//   parameter here and its controls (a switch is on above 0; a NaN is no
//   value); the gain-reduction port moves the needle to value / 22 dB,
//   limited to 0 ... 1.
// - The window is the X11 window layer's child of ui:parent; the host's idle
//   calls (ui:idleInterface) read its events and run the 25-per-second
//   redraw. Where the host offers ui:resize it is told the editor's size.
//
// Threads: everything on the host's UI thread: Create, PortEvent, Idle and
// the destructor. The plug-in lock of IPlugBase is taken as the editor
// expects, but no other thread ever holds it.
class KestromLv2Ui : public IPlugBase {
public:
    // The editor opened in `parent` (an X11 window id), or null when the
    // parent is 0 or the editor's window cannot be made. `write` may be null
    // (changes then go nowhere); `features` may be null: ui:resize and
    // ui:touch are used when present.
    static std::unique_ptr<KestromLv2Ui> Create(void* parent, LV2UI_Write_Function write,
                                                LV2UI_Controller controller, const LV2_Feature* const* features);
    ~KestromLv2Ui() override;

    // The editor's X11 window, as the host's widget.
    void* Widget();
    // A port event from the host: `format` 0 with one float is a port's value;
    // anything else, and ports the editor does not show, are ignored.
    void PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer);
    // The host's idle call: 0 while the editor is open, 1 once its window is
    // gone (closed with the host's window).
    int Idle();
    IGraphicsX11& Graphics() { return *editor; }

    // ---- Host slots (IPlugBase) ----------------------------------------------
    // Called by the editor's gesture and parameter handling on the UI thread,
    // with this object's lock held (IPlugBase::SetParameterFromGUI and the
    // context's gestures take it).

    // ui:touch grabbed / released for the parameter's port.
    void BeginParamGesture(int index) override;
    void EndParamGesture(int index) override;
    // The parameter's value (in its own units) written to its port.
    void TellHostParamValue(int index, double normalised) override;
    // Every parameter's value written to its port.
    void TellHostAllParams() override;
    // Marks the editor for a full redraw, as the plug-in does after a change.
    // Also called by PortEvent, under the lock, for a value from the host.
    void HandleParamChange(int index) override;
    // Transport and MIDI: the editor calls none of them; there is no
    // transport or MIDI here (answers are neutral), whoever would call.
    int HostSamplePosition() override { return 0; }
    double HostTempo() override { return 0.0; }
    void HostTimeSignature(int* numerator, int* denominator) override;
    void HostTransport(HostTimeRecord* info) override;
    bool SendMidiEvent(const IMidiEvent&) override { return false; }
    // The editor's new size to the host (ui:resize), when it offers it.
    // Called by the editor's Resize on the UI thread, without the lock.
    void EditorResized(int width, int height) override;

private:
    KestromLv2Ui();
    void WritePort(int index);

    LV2UI_Write_Function write = nullptr;
    LV2UI_Controller controller = nullptr;
    const LV2UI_Resize* resize = nullptr;
    const LV2UI_Touch* touch = nullptr;
    IGraphicsX11* editor = nullptr;  // owned by IPlugBase
};
