#include "hostlib/CCustomView.h"

void CCustomView::SetEditorInterface(EditorInterface*) {}
