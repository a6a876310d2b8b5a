#pragma once

// The host library's keyboard-state query: which of the host's modifier keys
// are held. On Windows the host's Command key is Control, its Control key the
// Windows key and its Option key Alt; the state is the calling thread's as of
// the message it is handling. Elsewhere nothing is held. Called by the editor
// window on its own thread; no lock.
class CModifierKeys {
public:
    static bool Command();
    static bool Control();
    static bool Option();
};
