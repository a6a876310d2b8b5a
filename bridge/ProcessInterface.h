#pragma once

#include <cstdint>

#include "core/HostTimeRecord.h"

class EditorInterface;
class IGraphics;
class IPlugRTAS;

// What the plug-in side of the bridge (IPlugRTAS) asks of the host process
// that owns it. The process implements it; the plug-in holds it from
// AttachProcess on. Slots 1 to 19 in this order; the last three are the
// bridge's own seam to the host controls and the editor window.
class ProcessInterface {
public:
    virtual ~ProcessInterface() = default;

    // 1. Stores a control value into control `controlIndex` and passes it to
    // the host library's set-value path (to the host, or applied at once).
    // Called by the plug-in (host UI or editor thread) when a parameter
    // changed on its side, never with the plug-in's lock held: the host's
    // answer takes the routine table's lock, which comes first.
    virtual void StoreControlValue(int controlIndex, int32_t controlValue) = 0;
    // 2, 3. Control queries forwarded to the host library; unused here.
    virtual int32_t ControlQuery2(int controlIndex, int32_t* value) = 0;
    virtual int32_t ControlQuery3(int controlIndex, int32_t* value) = 0;
    // 4. Keeps the editor interface (owned by the process).
    virtual void SetEditorInterface(EditorInterface* editor) = 0;
    // 5, 6. The host's control-touched and control-released notices: a
    // gesture from the editor begins and ends. Editor thread, without the
    // plug-in's lock, as slot 1.
    virtual void BeginControlGesture(int controlIndex) = 0;
    virtual void EndControlGesture(int controlIndex) = 0;
    // 7. A refresh forwarded to the host library; unused here.
    virtual void Refresh() = 0;
    // 8. The module instance.
    virtual void* ModuleInstance() = 0;
    // 9, 10. Makes the module's resource file current and undoes one level
    // of it again; calls nest. UI thread.
    virtual int32_t UseModuleResources() = 0;
    virtual void RestoreResources(int32_t saved) = 0;
    // 11, 12. The owned plug-in, and its editor (none when it has none).
    virtual IPlugRTAS* Plugin() = 0;
    virtual IGraphics* PluginEditor() = 0;
    // 13. Counts one more change of the plug-in's state for the host.
    virtual void MarkStateChanged() = 0;
    // 14. The largest block the host renders, in frames.
    virtual int MaxBlockSize() = 0;
    // 15 - 18. The host's transport; 0 and untouched records while the host
    // gives none. Audio thread.
    virtual double TransportTempo() = 0;
    virtual void TransportMeter(int* numerator, int* denominator) = 0;
    virtual int TransportSamplePosition() = 0;
    virtual void TransportState(HostTimeRecord* record) = 0;
    // 19. The host's version, packed as the plug-in base takes it.
    virtual int32_t PackedHostVersion() = 0;

    // The control value that control `controlIndex` holds for the parameter
    // value `value`, by the control's own conversion (a switch, integer or
    // list value truncated to an integer first). False, with nothing written,
    // when there is no such control.
    virtual bool ControlValueForParameter(int controlIndex, double value, int32_t* controlValue) = 0;
    // The editor changed its size: closes the editor window and has the host
    // rebuild it at the new size (the resize token). UI thread.
    virtual void CloseEditorForResize() = 0;
    virtual void SendResizeToken() = 0;
};
