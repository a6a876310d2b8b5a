#include "bridge/IPlugDigiView.h"

#include "bridge/EditorInterface.h"

IPlugDigiView::~IPlugDigiView() { editorInterface = nullptr; }

void IPlugDigiView::Draw(const PI_Rect& area) {
    if (editorInterface) editorInterface->Update(area.left, area.top, area.right, area.bottom);
}

void IPlugDigiView::SetEditorInterface(EditorInterface* editor) { editorInterface = editor; }
