#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "hostlib/CProcess.h"
#include "hostlib/PluginRoutines.h"

class CEffectType;
class CInstanceRegistry;
class CPlugInView;
class CPluginControl;

// The process of one effect instance: its host controls, its channels and
// stem formats (from its type), the bypass and side-chain flags, the host's
// callbacks, the host view it made, and the callbacks the plug-in side (the
// bridge) overrides to answer the host.
//
// The bridge's process class derives from an interface of its own and from
// this class as a virtual base, and its real-time class from that and from
// CEffectProcessRTAS (which derives from this class virtually too), so there
// is one CEffectProcess in the object. Hence the default constructor: the
// type is bound by CEffectType::CreateProcess after construction, before the
// process is initialised.
//
// Controls are numbered from 1 in the order they are added; the process owns
// them. The master bypass is the control marked with SetMasterBypassControl.
//
// Threads and locks. The callbacks are called on the host's user-interface
// thread, mostly with the routine table's lock held (it is recursive: a
// callback may reach the host, which may call a routine again), except Render
// and RenderBlock, which the audio thread calls without it. The plug-in side
// takes its own lock where it must, always after the registry's: it never
// holds its own lock while it reports to the host (the host's answer takes
// the registry's). What the audio thread reads here (the
// bypass and side-chain flags, the channel counts) is atomic or fixed before
// the first render. The other operations below are for the user-interface
// thread.
class CEffectProcess : public CProcess {
public:
    CEffectProcess();
    // Deletes the controls and the host view. Called as CProcess's destructor
    // says; the routine layer has already dropped the host view.
    ~CEffectProcess() override;

    // ---- Callbacks the plug-in side overrides ------------------------------
    //
    // Unless a callback says otherwise, it is called by the routine named in
    // it on the host's user-interface thread with the routine table's lock
    // held, and the instance is initialised.

    // The create-controls step: adds the controls (AddControl, marking the
    // master bypass) and prepares the plug-in for rendering at SampleRate().
    // Called once, through Initialize, by the initialise-instance routine,
    // before the instance counts as initialised. If it throws, the controls
    // added so far are deleted and the instance stays uninitialised. This
    // base version adds none.
    virtual void CreateControls();
    // Control `controlIndex` holds a new value: the algorithm must follow it.
    // Called by ApplyControlValue whenever a control's value is stored: by the
    // set-control-value and set-bypass routines, and by SetControlValue when
    // no host callback is connected (then on the thread and under the locks of
    // whoever called SetControlValue; the routine table's lock only if that
    // came through a routine). Called for the master bypass too (IsBypassed()
    // already follows it). This base version does nothing.
    virtual void UpdateControlValueInAlgorithm(int32_t controlIndex);
    // The host connected or disconnected the side chain (SideChainConnected()
    // already tells the new state). Called by the set-side-chain routine; the
    // instance may be uninitialised. This base version does nothing.
    virtual void SideChainChanged(bool connected);
    // A gesture of the host on control `controlIndex` begins (or ends): the
    // user holds the host's own control or its automation writes. Called by
    // the control-touched and control-released routines. This base version
    // does nothing.
    virtual void HostGesture(int32_t controlIndex, bool begins);
    // The host destroyed the instance (or closed the module): its handle is
    // withdrawn and the host callbacks are already disconnected; the process
    // must reach the host no more and take no more input (close its editor
    // window). It is deleted later, once nothing further up the stack uses
    // it. Called once by the instance registry, with its lock held, on the
    // thread that destroyed the instance - possibly from inside a host
    // callback that the plug-in side made. Must not throw (anything thrown is
    // dropped). This base version does nothing.
    virtual void InstanceWithdrawn();

    // Saved state. The process keeps its state in chunks, each behind the
    // host library's 56-byte header (size at offset 0, chunk ID at offset 20)
    // and followed by whole 8-byte values. The chunk routines check every size
    // before a call: these callbacks get chunks whose byte count is at least
    // 56, fits what the host handed over and leaves whole values after the
    // header.
    //
    // How many chunks there are. Called by the chunk-count and chunk-ID
    // routines. This base version answers 0.
    virtual int32_t ChunkCount();
    // The ID of chunk `index`, from 1 to ChunkCount(). Called by the chunk-ID
    // routine with an index in that range. This base version answers
    // PI_ErrBadIndex.
    virtual PI_Status ChunkIdAt(int32_t index, int32_t* id);
    // The byte count of chunk `id`, header included, in *size; PI_ErrBadChunkId
    // for an ID that is not the process's. Called by the chunk-size,
    // get-chunk and compare-chunk routines. This base version answers
    // PI_ErrBadChunkId.
    virtual PI_Status ChunkSize(int32_t id, int32_t* size);
    // Writes chunk `id` into `chunk`, which holds `capacity` bytes, at least
    // the size ChunkSize has just answered: the size field at offset 0 and the
    // state from offset 56; the host library writes the rest of the header
    // afterwards. Writes no more than capacity bytes: a state that has grown
    // beyond it answers PI_ErrBufferTooSmall. Called by the get-chunk routine.
    // This base version answers PI_ErrBadChunkId.
    virtual PI_Status GetChunk(int32_t id, void* chunk, int32_t capacity);
    // Restores the state from chunk `id` of `size` bytes (the size its header
    // gives, checked as above; the ID at offset 20 equals `id`). Called by the
    // set-chunk routine. This base version answers PI_ErrBadChunkId.
    virtual PI_Status SetChunk(int32_t id, const void* chunk, int32_t size);
    // Whether the state in `chunk` of `size` bytes equals the current one, in
    // *equal. The chunk's ID is at offset 20, and `size` equals what
    // ChunkSize answers for it. Called by the compare-chunk routine. This
    // base version answers PI_ErrBadChunkId.
    virtual PI_Status CompareChunk(const void* chunk, int32_t size, bool* equal);

    // The rectangle the editor needs, into *rect (cleared before the call);
    // false when there is no editor. Called by the view-rectangle routine; the
    // instance may be uninitialised. This base version answers false.
    virtual bool GetViewRect(PI_Rect* rect);
    // Makes the host view for the editor (a CNoResourceView holding the
    // editor's custom view), or null; the host library owns what it answers.
    // Called by BuildHostView from the make-view routine; the instance may be
    // uninitialised. This base version makes none.
    virtual CPlugInView* MakeView();
    // The host attaches the editor to `port`, or detaches it with 0;
    // WindowPort() already tells the new port. An attach that fails throws
    // (a CDAEError with the status to answer) and leaves the editor detached.
    // Called by AttachWindow from the set-window routine, on the host's UI
    // thread under the instance registry's lock; the instance may be
    // uninitialised. This base version does nothing.
    virtual void SetWindow(PI_Port port);
    // The control the user last clicked in the editor, from 1, or 0 for none.
    // Called by the clicked-control routine, which answers 0 for anything
    // outside 0..ControlCount(). This base version answers 0.
    virtual int32_t ClickedControl();
    // The plug-in's own meters. MeterCount: how many (0 here). MeterValue:
    // the value last handed to meter `meter` (from 0, below MeterCount) and
    // how many values it was handed, read without taking it. ShowMeterValue:
    // hands the meter a value as the plug-in's processing would. Called by
    // the meter routines; the instance may be uninitialised. The base
    // versions answer PI_ErrBadIndex.
    virtual int32_t MeterCount();
    virtual PI_Status MeterValue(int32_t meter, double* value, uint32_t* updates);
    virtual PI_Status ShowMeterValue(int32_t meter, double value);
    // A host query with four arguments that this library answers 0 to. No
    // routine reaches it; it is kept for plug-in sides that call it.
    virtual int32_t HostQuery(int32_t selector, int32_t first, int32_t second, int32_t third);

    // The largest block the plug-in renders at once. Called by the
    // max-block-size routine; the instance may be uninitialised. This base
    // version answers 32.
    virtual int32_t MaxRenderFrames();
    // The plug-in's latency in frames. Called by the latency routine. This
    // base version answers 0.
    virtual int32_t LatencyFrames();
    // What the plug-in sees of the host's transport, into *out (cleared
    // before the call). Called by the transport routine; the instance may be
    // uninitialised. This base version leaves it cleared.
    virtual void GetTransport(PI_Transport* out);

    // Renders one block described by `record`. Called by the render routine
    // on the audio thread, no lock held, only for an initialised process,
    // with the record pointer checked. This base version renders nothing and
    // answers PI_ErrUnsupported; CEffectProcessRTAS renders.
    virtual PI_Status Render(const PI_RenderRecord& record);

    // ---- Controls ------------------------------------------------------------

    // Takes ownership of `control` and answers its index (from 1). Throws
    // CDAEError(PI_ErrNullPointer) for a null control.
    int32_t AddControl(CPluginControl* control);
    int32_t ControlCount() const { return static_cast<int32_t>(controls.size()); }
    // The control at `index` from 1, or null outside 1..ControlCount().
    CPluginControl* Control(int32_t index) const;
    // The index of the control with ID `id`, or 0.
    int32_t FindControl(uint32_t id) const;
    // Marks control `index` as the master bypass (0 for none). Throws
    // CDAEError(PI_ErrBadIndex) for an index without a control.
    void SetMasterBypassControl(int32_t index);
    int32_t MasterBypassControl() const { return masterBypass; }

    // The plug-in sets a control's value (its editor moved, a state was
    // restored). With the host's setControlValue callback connected the value
    // goes to the host, which answers through PI_SetControlValue as its
    // automation would; without it the value is stored (ApplyControlValue) at
    // once. PI_ErrBadIndex for an index without a control, PI_ErrBadInstance
    // (nothing done) once the instance is withdrawn.
    //
    // This, ReportControlValue, TouchControl and ReleaseControl are the
    // plug-in side's reports. They may come from inside a routine or from
    // the editor outside any (on the thread that owns its window); they take
    // the instance registry's lock themselves (CInstanceRegistry::
    // PluginScope), so the caller must hold no lock that a routine takes
    // after the registry's (the plug-in's own lock).
    PI_Status SetControlValue(int32_t index, int32_t value);
    // The control takes `value` at once (what the host shows even if it
    // never answers), then it goes on as SetControlValue.
    PI_Status ReportControlValue(int32_t index, int32_t value);
    // The host sets a control's value: stores it in the control, updates the
    // bypass flag when it is the master bypass, then calls
    // UpdateControlValueInAlgorithm. PI_ErrBadIndex for an index without a
    // control.
    PI_Status ApplyControlValue(int32_t index, int32_t value);
    PI_Status GetControlValue(int32_t index, int32_t* value) const;
    // The plug-in's gestures on a control, told to the host's controlTouched
    // and controlReleased callbacks when connected. PI_ErrBadIndex for an
    // index without a control, PI_ErrBadInstance once withdrawn.
    PI_Status TouchControl(int32_t index);
    PI_Status ReleaseControl(int32_t index);

    // The host's callbacks; null (or all entries null) disconnects them.
    void SetHostCallbacks(const PI_HostCallbacks* callbacks);
    // Whether a host callback is running right now (user-interface thread).
    bool InHostCallback() const { return hostCallbackDepth > 0; }

    // ---- Type, channels, flags -------------------------------------------------

    const CEffectType* Type() const { return type; }
    int32_t TypeId() const { return typeId; }
    int32_t InputChannels() const { return inputChannels; }
    int32_t OutputChannels() const { return outputChannels; }
    int32_t InputStemFormat() const { return inputStemFormat; }
    int32_t OutputStemFormat() const { return outputStemFormat; }

    // True while the master bypass control's value is above 0. Any thread.
    bool IsBypassed() const { return bypassed.load(std::memory_order_relaxed); }
    // The host's bypass request: the master bypass control is set to
    // 2147483647 (on) or -2147483648 (off) as ApplyControlValue sets it; a
    // process without a master bypass only sets the flag.
    void SetBypass(bool on);

    // Whether the host feeds a side-chain input (one input more to render).
    bool SideChainConnected() const { return sideChain.load(std::memory_order_relaxed); }
    // Stores the flag, then calls SideChainChanged.
    void SetSideChainConnected(bool connected);

    // ---- Editor -----------------------------------------------------------------

    PI_Port WindowPort() const { return windowPort; }
    // Records `port`, then calls SetWindow; when that throws, the port is
    // forgotten (no editor is attached) and the exception passes.
    void AttachWindow(PI_Port port);
    // Calls MakeView and keeps what it made as the view the host's draw
    // requests go to, destroying the earlier views. When MakeView makes
    // nothing or throws, the earlier view no longer gets draw requests (the
    // failed attempt may have taken down the editor it draws through) but is
    // kept alive until the next view is made or the process goes, since the
    // plug-in side may still refer to it. Answers whether a view was made;
    // exceptions of MakeView pass.
    bool BuildHostView();
    CPlugInView* HostView() const { return hostView.get(); }
    // Destroys the host views. The routine layer calls it before it destroys
    // the process, while the plug-in side the views may refer to still exists.
    void DropHostView();

protected:
    // Runs CreateControls (see there). Called once by CProcess::Initialize.
    void InitializeProcess() final;

private:
    friend class CEffectType;
    friend class CInstanceRegistry;

    // Called by the registry when it withdraws the handle: disconnects the
    // callbacks, then InstanceWithdrawn.
    void Withdraw();

    // Called by CEffectType::CreateProcess right after construction.
    void BindType(const CEffectType& boundType);
    void UpdateBypassFlag(int32_t index);
    void RetireHostView();

    // Counts the host callbacks in progress around one call.
    class CallbackScope;

    const CEffectType* type = nullptr;
    int32_t typeId = 0;
    int32_t inputChannels = 0;
    int32_t outputChannels = 0;
    int32_t inputStemFormat = -1;
    int32_t outputStemFormat = -1;

    std::vector<std::unique_ptr<CPluginControl>> controls;
    int32_t masterBypass = 0;
    std::atomic<bool> bypassed{false};
    std::atomic<bool> sideChain{false};

    // Set by the registry that holds the process; the callbacks, the
    // depth and the flag below are used under its lock.
    CInstanceRegistry* registry = nullptr;
    PI_HostCallbacks callbacks{};
    int32_t hostCallbackDepth = 0;
    bool withdrawn = false;

    PI_Port windowPort = 0;
    std::unique_ptr<CPlugInView> hostView;
    std::unique_ptr<CPlugInView> retiredView;
};
