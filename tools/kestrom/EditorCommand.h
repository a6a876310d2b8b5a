#pragma once

#include <string>
#include <vector>

#include "tools/kestrom/Console.h"
#include "tools/kestrom/EditorOptions.h"

namespace kestrom::host {
class HostedPlugin;
class ModuleHost;
}  // namespace kestrom::host

namespace kestrom::tool {

class PngFile;

// `kestrom editor`: loads the plug-in module as a host does, sets the
// plug-in up through its host controls, hands its needle a preview value
// through the module's meter routine (whatever Power says: the caller asked
// for it), shows the editor in a window of this host, clicks through the
// window system's mouse input and writes what the host's window shows of the
// editor as a PNG. Returns the exit status; a failure is one line on
// console.err and leaves no file behind.
int RunEditor(const EditorOptions& options, Console& console);

// The needle value for a gain reduction in dB: dB / 22, limited to 0 .. 1.
double NeedleValueForReduction(double reductionDb);

// Shows the hosted plug-in's editor in a window of this host, runs the
// window system's timers until it has drawn everything, clicks at each of
// `clicks` in order (editor pixels, drawn again after each: what a click
// reaches can depend on what was drawn last), and writes what the window
// shows of the editor into png, which then waits for OutputFile::CommitAll.
// The editor is detached and the window gone afterwards. False with a
// one-line message.
bool WriteHostedEditor(const kestrom::host::ModuleHost& module, const kestrom::host::HostedPlugin& plugin,
                       const std::vector<EditorOptions::Click>& clicks, PngFile& png, std::string& error);

}  // namespace kestrom::tool
