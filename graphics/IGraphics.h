#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/IPlugEditor.h"
#include "core/IPlugLock.h"
#include "graphics/IBitmapRef.h"
#include "graphics/IBlend.h"
#include "graphics/IBounds.h"
#include "graphics/IMenu.h"
#include "graphics/IMouseState.h"
#include "graphics/IRgba.h"
#include "graphics/ITextStyle.h"
#include "graphics/IValueMailbox.h"
#include "graphics/LICE_IBitmap.h"
#include "graphics/LICE_IFont.h"

class IControl;
class IPlugBase;
class IPlugParam;

// The editor's model: owns the controls, the back buffer they draw into and
// the scratch bitmap, and knows the plug-in whose parameters they show. It
// turns mouse and key events into calls on the control under the pointer,
// control changes into parameter changes and parameter changes into control
// values, and redraws exactly the controls that changed. It knows no operating
// system: a window layer derives from it and supplies the operations marked
// "window layer" below.
//
// Threads: everything runs on the editor's thread (the thread that owns the
// window; the host's user-interface thread), except SetParameterFromPlugin for
// an index that is no parameter of the plug-in (a meter), which the audio
// thread calls and which only posts the value to a lock-free mailbox; the
// editor thread applies it at its next timer tick (ApplyPendingValues). While
// a window is open, SetParameterFromPlugin and MarkAllControlsDirty called on
// another thread (a host that sets controls or restores state from a second
// thread) are handed over the same way instead of touching the controls.
class IGraphics : public IPlugEditor {
public:
    static constexpr int kDefaultFrameRate = 25;

    // frameRate 0 or below means the default of 25 redraw checks per second.
    IGraphics(IPlugBase* plugin, int width, int height, int frameRate);
    IGraphics(const IGraphics&) = delete;
    IGraphics& operator=(const IGraphics&) = delete;

    // ---- Virtual operations, in slot order ---------------------------------
    // Unless said otherwise, each is called on the editor's thread without a
    // lock, by the context itself, the controls or the window layer.

    // Slot 0. Window layer: copies area of the back buffer to the screen.
    // Called at the end of DrawDirty.
    virtual bool PaintToWindow(const IBounds& area) = 0;
    // Slot 1. Measures text in style: area keeps its top (and its left for
    // left alignment) and takes the text's size. False when no font can be had.
    virtual bool MeasureText(ITextStyle& style, const char* text, IBounds& area);
    // Slot 2. Window layer: closes the in-place text entry without applying it.
    virtual void CancelTextEntry() = 0;
    // Slot 3. Sets the editor's size and starts over: releases the capture,
    // deletes every control and both buffers, makes new buffers and tells the
    // plug-in. Window layers extend it to resize their windows.
    virtual void Resize(int w, int h);
    // Slot 4. Whether the window is open: WindowHandle is not empty.
    virtual bool IsWindowOpen();
    // Slot 5. A text about the window system; empty here.
    virtual const char* InfoText();
    // Slot 6. Window layer: a message box; returns the button pressed.
    virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
    // Slot 7. Window layer: shows menu below area; returns the (sub)menu whose
    // item was chosen, with its chosenIndex set, or null when none was.
    virtual IMenu* ShowPopupMenu(IMenu& menu, const IBounds& area) = 0;
    // Slot 8. Window layer: opens the in-place text entry over area, holding
    // text, for control and its parameter (null for a control without one).
    virtual void ShowTextEntry(IControl* control, const ITextStyle& style, const IBounds& area,
                               const char* text, IPlugParam* param) = 0;
    // Slots 9 to 12. Window layer: the host's and this module's folders (with
    // their trailing separator), the desktop and the per-user application
    // data folder; empty when unknown.
    virtual void HostDirectory(std::string& out) = 0;
    virtual void ModuleDirectory(std::string& out) = 0;
    virtual void DesktopDirectory(std::string& out) = 0;
    virtual void AppDataDirectory(std::string& out) = 0;
    // Slot 13. Window layer: a file dialog; action 1 saves, others open. path
    // is emptied on cancel.
    virtual void PromptForFile(std::string& path, int action, std::string& directory,
                               const char* extensions) = 0;
    // Slot 14. Window layer: a colour dialog; true when a colour was chosen.
    virtual bool PromptForColour(IRgba& colour, const char* title) = 0;
    // Slot 15. Window layer: opens url; true on success.
    virtual bool OpenURL(const char* url, const char* title, const char* confirmText,
                         const char* failureText) = 0;
    // Slot 16. Reserved query; answers none.
    virtual void* ReservedQuery16(int a, int b, int c, int d);
    // Slot 17. Window layer: opens the editor window inside parent; returns it
    // or null.
    virtual void* OpenWindow(void* parent) = 0;
    // Slots 18 and 19. Reserved hooks; nothing.
    virtual void ReservedHook18(void* data);
    virtual void ReservedHook19();
    // Slot 20. Window layer: closes the window; the controls survive.
    virtual void CloseWindow() = 0;
    // Slot 21. Window layer: the open window, or null.
    virtual void* WindowHandle() = 0;
    // Slot 22. Deletes the key catcher, every control (last to first) and
    // both buffers. Called by the plug-in that owns the editor.
    ~IGraphics() override;
    // Slots 23 and 24. Hide the cursor and bring it back; window layers do it.
    virtual void HideCursor();
    virtual void RestoreCursor();
    // Slot 25. Reserved hook; nothing.
    virtual void ReservedHook25();
    // Slot 26. Window layer: the picture resource id (name gives only the
    // extension, which must be "png" in any case), its size read from its
    // header and its pixels decoded on first use (LICE_PngBitmap). Null when
    // there is no such picture or its header is unreadable. Called by
    // LoadBitmap under the bitmap cache's lock.
    virtual std::unique_ptr<LICE_IBitmap> LoadPlatformBitmap(int id, const char* name) = 0;
    // Slot 27. Window layer: makes a font for style (face, size, weight,
    // italic, angle, quality), or null. Called by FindOrCreateFont under the
    // font cache's lock; the cache owns the result.
    virtual std::unique_ptr<LICE_IFont> CreatePlatformFont(const ITextStyle& style) = 0;

    // ---- What the plug-in calls (IPlugEditor) ------------------------------

    // Gives every control bound to paramIdx the value (normalised through the
    // parameter unless isNormalised) and every control that lists it as an
    // auxiliary parameter its auxiliary value. Plug-in parameters are applied
    // at once (callers: the plug-in on the editor's thread, under its lock);
    // from another thread while the window is open they are posted to the
    // mailbox like display values (parameter indices below 64).
    // Any other index (the meter) is posted to the mailbox and applied by the
    // editor thread's next ApplyPendingValues; this part is safe from any
    // thread, never blocks and never allocates. Such display indices must lie
    // below IValueMailbox::kCapacity (64); values for others are dropped, and
    // a real (not normalised) value is taken as normalised, there being no
    // parameter to convert it with.
    void SetParameterFromPlugin(int paramIdx, double value, bool isNormalised) override;
    // A back buffer of the editor's size and an empty scratch bitmap.
    void CreateDrawBuffers() override;
    // MarkDirty(false) on every control; from another thread while the
    // window is open, at the editor thread's next ApplyPendingValues.
    void MarkAllControlsDirty() override;

    // ---- Controls -------------------------------------------------------------

    // Appends control (owned from now on); returns its index.
    int AttachControl(IControl* control);
    // A panel of colour over the whole editor, inserted at index 0.
    void AttachBackgroundColour(IRgba colour);
    // A bitmap control of picture id at (0, 0), no parameter, plain copy,
    // inserted at index 0.
    void AttachBackgroundBitmap(int id, const char* name);
    // Receives keys when no control but the background is under the pointer.
    void SetKeyCatcher(IControl* control);

    int NControls() const { return static_cast<int>(controls.size()); }
    IControl* GetControl(int index);
    IPlugBase* Plugin() { return plugin; }

    // ---- Bitmaps ----------------------------------------------------------------

    // The picture resource id with frameCount frames, from the process-wide
    // cache or added to it once. The reference has the picture's size at
    // once; its pixels are decoded once per process, when it is first drawn.
    // When the picture cannot be had the result is the empty reference (no
    // bitmap, 0 × 0), which every drawing operation skips; a later call tries
    // again. A picture whose image data turns out damaged when it is decoded
    // keeps its size but has no pixels, and draws nothing.
    IBitmapRef LoadBitmap(int id, const char* name, int frameCount = 1, bool framesHorizontal = false);
    // A new w × h picture of the whole source, filtered; cached under -1.
    // Like CropBitmap, the empty reference when the source has no pixels (a
    // picture that could not be decoded).
    IBitmapRef ScaleBitmap(const IBitmapRef& ref, int w, int h);
    // A new picture of area of the source; cached under -1.
    IBitmapRef CropBitmap(const IBitmapRef& ref, const IBounds& area);
    // Hands a bitmap made elsewhere to the cache (under -1), which then owns
    // it. A bitmap the cache already holds is not added twice.
    void RetainBitmap(const IBitmapRef& ref);
    // Removes the bitmap from the cache and deletes it. A bitmap the cache
    // does not hold is left alone: its owner is unknown.
    void ReleaseBitmap(const IBitmapRef& ref);

    // ---- Parameters -------------------------------------------------------------

    // SetValueFromPlugin on control controlIdx, if there is one.
    void SetControlFromPlugin(int controlIdx, double normalised);
    // SetValueFromUser on every control bound to paramIdx: the value goes to
    // the plug-in as though the user had set it.
    void SetParameterFromEditor(int paramIdx, double normalised);
    void ClampParameterControls(int paramIdx, double low, double high, bool isNormalised);
    void HideParameterControls(int paramIdx, bool hide);
    void GreyParameterControls(int paramIdx, bool grey);
    void SetStrictDrawing(bool strict);
    // Applies the values posted from other threads since the last call, each
    // index's latest value, as SetParameterFromPlugin would. The window layer
    // calls it first on every timer tick, before CollectDirtyArea.
    void ApplyPendingValues();
    // The latest value posted for a display index and how many were posted so
    // far, without taking it from the editor (which still applies it at its
    // next tick). Any thread, lock-free. Observers that must see each
    // hand-off (the command-line tool's meter file) compare the count before
    // and after a block.
    IValueMailbox::Reading PeekDisplayValue(int paramIdx) const { return mailbox.Peek(paramIdx); }

    // ---- Redraw -------------------------------------------------------------------

    // Unites the draw areas of the controls that need drawing into area (which
    // the caller starts empty); true when any did.
    bool CollectDirtyArea(IBounds& area);
    // Draws what area needs into the back buffer and paints it to the window.
    bool DrawDirty(const IBounds& area);

    // ---- Mouse and keys (called by the window layer) -------------------------

    void DispatchMouseDown(int x, int y, const IMouseState& state);
    void DispatchMouseUp(int x, int y, const IMouseState& state);
    // True when the control takes the double click as a mouse-down (the window
    // layer then captures the mouse).
    bool DispatchDoubleClick(int x, int y, const IMouseState& state);
    void DispatchMouseDrag(int x, int y, const IMouseState& state);
    bool DispatchMouseOver(int x, int y, const IMouseState& state);
    void DispatchMouseOut();
    // delta in wheel notches.
    void DispatchWheel(int x, int y, const IMouseState& state, int delta);
    bool DispatchKey(int x, int y, int key);
    void ClearCapture();
    // The topmost control that takes the mouse at (x, y), or the captured one;
    // -1 when none.
    int ControlIndexAt(int x, int y, bool forMouseOver);
    // The parameter of the control at (x, y) (-1 over the background or
    // nothing), remembered for TakeClickedParam.
    int ParamIndexAt(int x, int y);
    int TakeClickedParam();

    void SetHandleMouseOver(bool on) { handleMouseOver = on; }
    void SetTooltipsEnabled(bool on) { tooltipsEnabled = on; }
    int CaptureIndex() const { return captureIndex; }
    int MouseOverIndex() const { return mouseOverIndex; }

    // A popup menu (list and labelled switch parameters) or a text entry
    // (others) to set param for control, shown over area.
    void PromptForValue(IControl* control, IPlugParam* param, const IBounds& area);

    // ---- Drawing into the back buffer ------------------------------------------
    // Blend null means alpha blending at weight 1. Bitmap operations are
    // clipped to the area of the drawing pass in progress (DrawArea), and so is
    // FillRect; an empty bitmap reference draws nothing.

    bool DrawBitmap(const IBitmapRef& ref, const IBounds& dest, int srcX, int srcY,
                    const IBlend* blend = nullptr);
    // frame is 1-based.
    bool DrawBitmapFrame(const IBitmapRef& ref, const IBounds& dest, int frame,
                         const IBlend* blend = nullptr);
    bool FillRect(IRgba colour, const IBounds& area, const IBlend* blend = nullptr);
    bool DrawLine(IRgba colour, float x1, float y1, float x2, float y2, const IBlend* blend = nullptr,
                  bool antialias = false);
    // False when no font can be had for style.
    bool DrawText(ITextStyle& style, const char* text, const IBounds& area);
    bool DrawPoint(IRgba colour, float x, float y, const IBlend* blend = nullptr, bool antialias = false);
    bool ForcePixel(IRgba colour, int x, int y);
    IRgba ReadPixel(int x, int y);
    bool DrawArc(IRgba colour, float cx, float cy, float r, float minAngle, float maxAngle,
                 const IBlend* blend = nullptr, bool antialias = false);
    bool DrawCircle(IRgba colour, float cx, float cy, float r, const IBlend* blend = nullptr,
                    bool antialias = false);
    bool FillCircle(IRgba colour, int cx, int cy, float r, const IBlend* blend = nullptr,
                    bool antialias = false);
    bool DrawRoundRect(IRgba colour, const IBounds& area, const IBlend* blend, int cornerRadius,
                       bool antialias = false);
    bool FillRoundRect(IRgba colour, const IBounds& area, const IBlend* blend, int cornerRadius,
                       bool antialias = false);
    bool FillTriangle(IRgba colour, int x1, int y1, int x2, int y2, int x3, int y3,
                      const IBlend* blend = nullptr);
    bool FillConvexPolygon(IRgba colour, const int* x, const int* y, int count, const IBlend* blend = nullptr);
    bool DrawRectOutline(IRgba colour, const IBounds& area, const IBlend* blend = nullptr,
                         bool antialias = false);
    bool DrawVerticalLine(IRgba colour, int x, int top, int bottom);
    bool DrawHorizontalLine(IRgba colour, int y, int left, int right);
    bool DrawVerticalLineAt(IRgba colour, const IBounds& area, float fraction);
    bool DrawHorizontalLineAt(IRgba colour, const IBounds& area, float fraction);
    // angle in radians, 0 pointing up, clockwise.
    bool DrawRadialLine(IRgba colour, float cx, float cy, float angle, float rMin, float rMax,
                        const IBlend* blend = nullptr, bool antialias = false);
    // The whole picture centred on (cx, cy), rotated by angle degrees about a
    // point yOffset below its centre.
    bool DrawRotatedBitmap(const IBitmapRef& ref, int cx, int cy, double angle, int yOffset = 0,
                           const IBlend* blend = nullptr);
    // base, then mask rotated by angle degrees, then top, composed in the
    // scratch bitmap over white and blitted at (x, y).
    bool DrawRotatedMask(const IBitmapRef& base, const IBitmapRef& mask, const IBitmapRef& top, int x, int y,
                         double angle, const IBlend* blend = nullptr);
    LICE_pixel* PixelData();

    // The font of style from the process-wide cache, made once; also stored in
    // style.cachedFont. Null when the window layer cannot make it.
    LICE_IFont* FindOrCreateFont(ITextStyle& style);

    // ---- State -------------------------------------------------------------------

    int Width() const { return width; }
    int Height() const { return height; }
    int FrameRate() const { return frameRate; }
    bool StrictDrawing() const { return strictDrawing; }
    const IBounds& DrawArea() const { return drawArea; }
    LICE_IBitmap* BackBuffer() { return backBuffer.get(); }
    IPlugLock& Lock() { return lock; }

protected:
    // The window layer binds the editor to the thread that opens its window
    // (OpenWindow) and unbinds it when the window closes. Calls from other
    // threads are handed over while it is bound (see Threads above).
    void BindToCallingThread();
    void UnbindThread();

    bool cursorHidden = false;
    int savedCursorX = 0;
    int savedCursorY = 0;
    bool tooltipsEnabled = false;

private:
    void InsertControlAtFront(IControl* control);
    void DeleteControls();
    void ApplyValue(int paramIdx, double normalised);
    void BeginGesture(int paramIdx);
    void EndGesture();
    bool IsPluginParameter(int paramIdx) const;
    // Whether the caller must hand over instead of touching the controls.
    bool OnAnotherThread() const;

    IPlugLock lock;  // kept for derived layers; the context itself never takes it
    std::vector<IControl*> controls;  // owned; index 0 is the background
    IPlugBase* plugin = nullptr;
    IBounds drawArea;
    std::unique_ptr<LICE_IBitmap> backBuffer;
    std::unique_ptr<LICE_IBitmap> scratch;
    int width = 0;
    int height = 0;
    int frameRate = kDefaultFrameRate;
    int captureIndex = -1;
    int mouseOverIndex = -1;
    int lastX = 0;
    int lastY = 0;
    int clickedParam = -1;
    int gestureParam = -1;  // the parameter whose gesture a press began; -1 when none
    bool handleMouseOver = false;
    bool strictDrawing = true;
    IControl* keyCatcher = nullptr;  // owned
    IValueMailbox mailbox;           // values handed over from other threads
    std::atomic<bool> allDirtyPending{false};  // MarkAllControlsDirty handed over
    std::atomic<std::thread::id> windowThread{};  // the bound thread, or none
};
