#include "core/IMidiEvent.h"

#include <gtest/gtest.h>

TEST(IMidiEvent, ReadersAnswerOnlyForTheirKind) {
    IMidiEvent e;
    e.MakeNoteOn(64, 90, 12, 3);
    EXPECT_EQ(e.MessageKind(), IMidiEvent::NoteOn);
    EXPECT_EQ(e.status, 0x93);
    EXPECT_EQ(e.offset, 12);
    EXPECT_EQ(e.NoteNumber(), 64);
    EXPECT_EQ(e.Velocity(), 90);
    EXPECT_EQ(e.Program(), -1);
    EXPECT_EQ(e.ControlValue(7), -1.0);
    EXPECT_EQ(e.PitchWheelValue(), 0.0);

    e.MakeNoteOff(64, 3);
    EXPECT_EQ(e.status, 0x80);
    EXPECT_EQ(e.Velocity(), 0);
    EXPECT_EQ(e.KeyPressure(), -1);

    e.MakeControlChange(7, 1.0);
    EXPECT_EQ(e.ControlValue(7), 1.0);
    EXPECT_EQ(e.ControlValue(8), -1.0);
    e.MakeControlChange(7, 5.0);  // out of range: saturates to a valid data byte
    EXPECT_EQ(e.data2, 127);
}

TEST(IMidiEvent, PitchWheelRoundTripsAndSaturates) {
    IMidiEvent e;
    for (double x : {-1.0, -0.5, 0.0, 0.5}) {
        e.MakePitchWheel(x);
        EXPECT_NEAR(e.PitchWheelValue(), x, 1.0 / 8192) << x;
    }
    e.MakePitchWheel(0.0);
    EXPECT_EQ(e.data1, 0);
    EXPECT_EQ(e.data2, 64);
    e.MakePitchWheel(2.0);
    EXPECT_EQ(e.data1, 0x7F);
    EXPECT_EQ(e.data2, 0x7F);
    e.MakePitchWheel(-3.0);
    EXPECT_EQ(e.data1, 0);
    EXPECT_EQ(e.data2, 0);
    e.MakePitchWheel(1e300);
    EXPECT_EQ(e.data2, 0x7F);
}

TEST(IMidiEvent, KindsAndNames) {
    IMidiEvent e;
    e.status = 0xF8;
    EXPECT_EQ(e.MessageKind(), IMidiEvent::None);
    e.status = 0xC2;
    e.data1 = 5;
    EXPECT_EQ(e.Program(), 5);
    e.status = 0xD0;
    EXPECT_EQ(e.ChannelPressure(), 5);
    EXPECT_STREQ(IMidiEvent::KindName(IMidiEvent::ControlChange), "controlchange");
    EXPECT_STREQ(IMidiEvent::KindName(0), "none");
    EXPECT_STREQ(IMidiEvent::KindName(3), "unknown");
}
