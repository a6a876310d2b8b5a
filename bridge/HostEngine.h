#pragma once

#include <cstdint>

#include "standins/engine/EngineRoutines.h"

// The host engine's routines as the bridge uses them, each looked up in the
// loaded engine library when called; a routine the engine lacks gives the
// documented fallback instead.
class HostEngine {
public:
    // The engine's open/close registrar, or null.
    static KS_SetPlugInOpenAndCloseProcs Registrar();

    // The largest block the engine renders: 32 when the engine answers 0 to
    // 'vqta' (or cannot be asked), else its largest quantum, 32 when that is
    // below 1, and at most kMaxBlockFrames - a larger claim is held to that
    // bound (a longer block still runs, in pieces) rather than sizing the
    // buffers by it.
    static int MaxBlockSize();
    static constexpr int kFallbackBlockFrames = 32;
    static constexpr int kMaxBlockFrames = 1 << 20;

    // The engine's version (major in the high byte), 0 without an engine.
    static uint16_t Version();
    // The version as the plug-in base takes it: ((v & 0xFF00) * 10 + (v & 0xFF)) * 16.
    static int32_t PackedVersion();
    static int32_t PackVersion(uint16_t version);

    // Hands the engine a KS_ENGINE_TOKEN_SIZE-byte token; false without an engine.
    static bool DispatchToken(const void* token);
    // Releases a direct-MIDI client (nothing for null).
    static void UnregisterMidiClient(void* client);
};
