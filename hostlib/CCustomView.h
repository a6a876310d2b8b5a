#pragma once

#include "hostlib/CPlugInView.h"

// The editor interface of the plug-in side; the host library only passes it on.
class EditorInterface;

// A view the plug-in draws itself: the host's draw requests for it are passed
// to the plug-in's editor, which the view is given once the process has made
// it. The host library's view registry builds views of this kind by class name
// (CNoResourceView::BuildSubview).
class CCustomView : public CPlugInView {
public:
    CCustomView() = default;

    // Gives the view the editor its draw requests go to (null: none). Called
    // by the process (the bridge's make-view callback) on the user-interface
    // thread, right after it built the view, with the routine table's lock
    // held. This base version keeps nothing; a view that draws through an
    // editor stores it.
    virtual void SetEditorInterface(EditorInterface* editor);
};
