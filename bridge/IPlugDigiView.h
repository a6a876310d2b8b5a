#pragma once

#include "hostlib/CCustomView.h"

class EditorInterface;

// The host view the host builds for the plug-in's editor (registered by the
// group under "IPlugDigiView"): it passes the host's draw requests on to the
// editor interface. Called on the host's user-interface thread.
class IPlugDigiView : public CCustomView {
public:
    IPlugDigiView() = default;
    ~IPlugDigiView() override;
    // Called by the host library when the host asks the view to draw an
    // area: the editor interface's Update, when one is set.
    void Draw(const PI_Rect& area) override;
    // Called by the process after it built the view.
    void SetEditorInterface(EditorInterface* editor) override;
    EditorInterface* Editor() const { return editorInterface; }

private:
    EditorInterface* editorInterface = nullptr;  // not owned
};
