#include "core/IMidiEvent.h"

#include <cmath>

namespace {

// A data byte is seven bits; anything else would corrupt the message.
uint8_t DataByte(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 127 ? 127 : v); }
uint8_t StatusByte(int kindBits, int channel) {
    return static_cast<uint8_t>(kindBits | (channel & 0x0F));
}
// Truncation toward zero, saturated into [lo, hi] (NaN gives lo).
int TruncClamped(double v, int lo, int hi) {
    if (!(v > lo)) return lo;
    if (v > hi) return hi;
    return static_cast<int>(v);
}

}  // namespace

int IMidiEvent::MessageKind() const {
    if (status >= 0x80 && status <= 0xEF) return status >> 4;
    return None;
}

const char* IMidiEvent::KindName(int kind) {
    switch (kind) {
        case None: return "none";
        case NoteOff: return "noteoff";
        case NoteOn: return "noteon";
        case Aftertouch: return "aftertouch";
        case ControlChange: return "controlchange";
        case ProgramChange: return "programchange";
        case ChannelAftertouch: return "channelaftertouch";
        case PitchWheel: return "pitchwheel";
        default: return "unknown";
    }
}

int IMidiEvent::NoteNumber() const {
    const int k = MessageKind();
    return (k == NoteOff || k == NoteOn || k == Aftertouch) ? data1 : -1;
}

int IMidiEvent::Velocity() const {
    const int k = MessageKind();
    return (k == NoteOff || k == NoteOn) ? data2 : -1;
}

int IMidiEvent::KeyPressure() const { return MessageKind() == Aftertouch ? data2 : -1; }
int IMidiEvent::ChannelPressure() const { return MessageKind() == ChannelAftertouch ? data1 : -1; }
int IMidiEvent::Program() const { return MessageKind() == ProgramChange ? data1 : -1; }

double IMidiEvent::PitchWheelValue() const {
    if (MessageKind() != PitchWheel) return 0.0;
    return (data2 * 128 + data1 - 8192) / 8192.0;
}

double IMidiEvent::ControlValue(int controller) const {
    if (MessageKind() != ControlChange || data1 != controller) return -1.0;
    return data2 / 127.0;
}

void IMidiEvent::MakeNoteOn(int note, int velocity, int sampleOffset, int channel) {
    Clear();
    status = StatusByte(0x90, channel);
    data1 = DataByte(note);
    data2 = DataByte(velocity);
    offset = sampleOffset;
}

void IMidiEvent::MakeNoteOff(int note, int sampleOffset, int channel) {
    Clear();
    status = StatusByte(0x80, channel);
    data1 = DataByte(note);
    offset = sampleOffset;
}

void IMidiEvent::MakePitchWheel(double x, int channel) {
    Clear();
    status = StatusByte(0xE0, channel);
    // 14-bit value centred on 8192; out-of-range positions saturate.
    int v = 8192 - TruncClamped(x * -8192.0, -100000, 100000);
    if (v < 0) v = 0;
    if (v > 16383) v = 16383;
    data2 = static_cast<uint8_t>(v >> 7);
    data1 = static_cast<uint8_t>(v & 0x7F);
}

void IMidiEvent::MakeControlChange(int controller, double x, int channel) {
    Clear();
    status = StatusByte(0xB0, channel);
    data1 = DataByte(controller);
    data2 = DataByte(TruncClamped(x * 127.0, 0, 127));
}
