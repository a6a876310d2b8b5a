#pragma once

#include <cstdint>

// One MIDI message at a sample offset within the block. The effect handles no
// MIDI; the type serves the base's MIDI hooks.
struct IMidiEvent {
    enum Kind {
        None = 0,
        NoteOff = 8,
        NoteOn = 9,
        Aftertouch = 10,
        ControlChange = 11,
        ProgramChange = 12,
        ChannelAftertouch = 13,
        PitchWheel = 14,
    };

    int32_t offset = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;

    // Upper four bits of a channel-voice status (0x80..0xEF), else None.
    int MessageKind() const;
    static const char* KindName(int kind);
    int Channel() const { return status & 0x0F; }

    // Readers: -1 (0 for the pitch wheel) when the event is of another kind.
    int NoteNumber() const;
    int Velocity() const;
    int KeyPressure() const;
    int ChannelPressure() const;
    int Program() const;
    double PitchWheelValue() const;  // -1 .. +1
    double ControlValue(int controller) const;  // 0 .. 1, only for that controller

    // Builders: clear the event, then set it.
    void MakeNoteOn(int note, int velocity, int sampleOffset, int channel = 0);
    void MakeNoteOff(int note, int sampleOffset, int channel = 0);
    void MakePitchWheel(double x, int channel = 0);
    void MakeControlChange(int controller, double x, int channel = 0);

    void Clear() { *this = IMidiEvent(); }
};
