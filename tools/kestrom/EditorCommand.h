#pragma once

#include <string>

#include "tools/kestrom/Console.h"
#include "tools/kestrom/EditorOptions.h"

class IGraphicsHeadless;

namespace kestrom::tool {

// `kestrom editor`: builds the plug-in, opens its own editor in the
// display-less window layer, applies the settings (stored as a restored state
// would be, and told to the editor as a host does), hands the needle its
// position the way the processing does (whatever Power says: the caller
// asked for it), clicks through the real mouse
// dispatch, and writes what reached the screen as a PNG. Returns the exit
// status; a failure is one line on console.err and leaves no file behind.
int RunEditor(const EditorOptions& options, Console& console);

// The needle value for a gain reduction in dB: dB / 22, limited to 0 .. 1.
double NeedleValueForReduction(double reductionDb);

// Opens the editor's window if it is closed, then runs the redraw timer until
// a tick finds nothing to draw. False (with a message) when the window cannot
// be opened.
bool SettleEditor(IGraphicsHeadless& editor, std::string& error);

}  // namespace kestrom::tool
