#pragma once

#include <cstdint>
#include <memory>

#include "bridge/ProcessInterface.h"
#include "core/IStateChunk.h"
#include "hostlib/CEffectProcess.h"

class EditorInterface;
class IPlugRTAS;

// The process side of the bridge: one per plug-in instance in the host. It
// owns the plug-in (made under the module's creation lock), turns each
// parameter into a host control (control 1 the master bypass, parameter i
// control i + 2), answers the host's control, chunk and editor requests, and
// serves the plug-in as its ProcessInterface.
//
// The host library calls the overrides below on the host's user-interface
// thread with its routine table's lock held (see CEffectProcess); the plug-in
// takes its own lock where it touches parameters. The plug-in side calls the
// ProcessInterface operations from the UI or editor thread.
class IPlugProcess : public ProcessInterface, public virtual CEffectProcess {
public:
    // The IDs of the host controls.
    static constexpr uint32_t kBypassId = 0x62797061;        // 'bypa'
    static constexpr uint32_t kFirstParamId = 0x206C6420;    // + parameter index
    static constexpr const char* kBypassNames = "Master Bypass\nMastrByp\nMByp\nByp";
    static constexpr const char* kViewDescription = "!IPlugDigiView[('NoID')]";

    // Makes the plug-in. `processId` is also the state chunk's ID.
    explicit IPlugProcess(int32_t processId);
    // Closes the editor's window, deletes the editor interface, releases the
    // MIDI client, deletes the plug-in.
    ~IPlugProcess() override;

    int32_t ProcessId() const { return processId; }

    // ---- ProcessInterface ----------------------------------------------------
    void StoreControlValue(int controlIndex, int32_t controlValue) override;
    int32_t ControlQuery2(int controlIndex, int32_t* value) override;
    int32_t ControlQuery3(int controlIndex, int32_t* value) override;
    void SetEditorInterface(EditorInterface* editor) override;
    void BeginControlGesture(int controlIndex) override;
    void EndControlGesture(int controlIndex) override;
    void Refresh() override;
    void* ModuleInstance() override;
    int32_t UseModuleResources() override;
    void RestoreResources(int32_t saved) override;
    IPlugRTAS* Plugin() override;
    IGraphics* PluginEditor() override;
    void MarkStateChanged() override;
    int32_t PackedHostVersion() override;
    bool ControlValueForParameter(int controlIndex, double value, int32_t* controlValue) override;
    void CloseEditorForResize() override;
    void SendResizeToken() override;

    // ---- The host library's callbacks ---------------------------------------
    // Creates the host controls, connects the channels of the type, passes
    // the sample rate and resets the plug-in.
    void CreateControls() override;
    // A host control changed: the parameter follows (not for the bypass).
    void UpdateControlValueInAlgorithm(int32_t controlIndex) override;
    void SideChainChanged(bool connected) override;
    // The host destroyed the instance: the editor's window closes and its
    // child window leaves the host's window, so it takes no more input.
    void InstanceWithdrawn() override;
    int32_t ChunkCount() override;
    PI_Status ChunkIdAt(int32_t index, int32_t* id) override;
    PI_Status ChunkSize(int32_t id, int32_t* size) override;
    PI_Status GetChunk(int32_t id, void* chunk, int32_t capacity) override;
    PI_Status SetChunk(int32_t id, const void* chunk, int32_t size) override;
    PI_Status CompareChunk(const void* chunk, int32_t size, bool* equal) override;
    bool GetViewRect(PI_Rect* rect) override;
    CPlugInView* MakeView() override;
    void SetWindow(PI_Port port) override;
    int32_t ClickedControl() override;
    int32_t LatencyFrames() override;
    void GetTransport(PI_Transport* out) override;
    int32_t MaxRenderFrames() override;
    // The effect's meters, read from (and handed to) its editor's display
    // values: the editor always exists, open or not.
    int32_t MeterCount() override;
    PI_Status MeterValue(int32_t meter, double* value, uint32_t* updates) override;
    PI_Status ShowMeterValue(int32_t meter, double value) override;
    void SampleRateChanged(int32_t rate) override;

    EditorInterface* Editor() const { return editorInterface.get(); }

protected:
    // The editor rectangle as the host takes it: top, left, bottom, right.
    struct HostRect {
        int16_t top = 0, left = 0, bottom = 0, right = 0;
    };

private:
    void MakeEditorInterface();
    // Opens the editor in the window behind `port`; throws a CDAEError (the
    // status to answer) or the system's error code when it cannot.
    void AttachEditor(PI_Port port);
    // The plug-in's state bytes, or false when it could not be saved.
    bool SerializeState(IStateChunk& state);

    PI_Port hostPort = 0;
    std::unique_ptr<EditorInterface> editorInterface;
    HostRect editorRect;
    int16_t editorOrigin[2] = {0, 0};
    CPlugInView* view = nullptr;  // not owned: the host library keeps it
    std::unique_ptr<IPlugRTAS> plugin;
    void* moduleInstance = nullptr;
    void* midiClient = nullptr;
    int32_t processId;
};
