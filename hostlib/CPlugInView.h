#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "hostlib/PluginRoutines.h"

// A view of the host's plug-in window: a rectangle at a position inside its
// parent, with subviews it owns, that receives the host's draw requests. The
// process hands the host a tree of these (its make-view callback); the host
// library keeps the tree for the host and destroys it with the instance.
//
// Views are built, drawn and destroyed on the host's user-interface thread;
// they hold no lock.
class CPlugInView {
public:
    CPlugInView() = default;
    CPlugInView(const CPlugInView&) = delete;
    CPlugInView& operator=(const CPlugInView&) = delete;

    // The host's draw request for `area` (in this view's coordinates). Called
    // by the host library's draw routine on the user-interface thread, no lock
    // held, for the root view; each view's base version passes the area on to
    // its subviews in their own coordinates. An override that draws must call
    // this base version if its view has subviews.
    virtual void Draw(const PI_Rect& area);
    // Called by whoever owns the view (its parent, or the host library's
    // process for a root view) on the user-interface thread, with the routine
    // table's lock held when the host library destroys it. Subviews go after
    // the view's own destructor body, with the view's members.
    virtual ~CPlugInView();

    void SetPosition(int16_t x, int16_t y);
    int16_t X() const { return x; }
    int16_t Y() const { return y; }
    // Negative sizes are taken as 0.
    void SetSize(int16_t width, int16_t height);
    int16_t Width() const { return width; }
    int16_t Height() const { return height; }

    // The four-character ID the view was described with ('NoID' for none).
    void SetViewId(int32_t id) { viewId = id; }
    int32_t ViewId() const { return viewId; }

    // One byte of state the host keeps with the view; the bridge clears it
    // when the editor window is detached. 1 when the view is built.
    void SetStateFlag(uint8_t flag) { stateFlag = flag; }
    uint8_t StateFlag() const { return stateFlag; }

    CPlugInView* Parent() const { return parent; }
    int32_t SubviewCount() const { return static_cast<int32_t>(subviews.size()); }
    // The subview at `index` from 0, or null outside the list.
    CPlugInView* Subview(int32_t index) const;

protected:
    // Takes ownership of `view` (null is ignored) and answers it.
    CPlugInView* AddSubview(std::unique_ptr<CPlugInView> view);

private:
    int16_t x = 0;
    int16_t y = 0;
    int16_t width = 0;
    int16_t height = 0;
    int32_t viewId = 0x4E6F4944;  // 'NoID'
    uint8_t stateFlag = 1;
    CPlugInView* parent = nullptr;
    std::vector<std::unique_ptr<CPlugInView>> subviews;
};
