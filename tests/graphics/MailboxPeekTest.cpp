#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "EditorFixture.h"
#include "graphics/IValueMailbox.h"

// Reading the mailbox's latest value without taking it: what the command-line
// tool does to record every block's meter value while the editor keeps it.

TEST(IValueMailboxPeek, CountsPostsAndLeavesTheValueForTheConsumer) {
    IValueMailbox box;
    EXPECT_EQ(box.Peek(8).posts, 0u);
    EXPECT_EQ(box.Peek(8).value, 0.0);
    box.Post(8, 0.25);
    box.Post(8, 0.75);
    box.Post(3, 0.5);
    EXPECT_EQ(box.Peek(8).posts, 2u);
    EXPECT_EQ(box.Peek(8).value, 0.75);
    EXPECT_EQ(box.Peek(3).posts, 1u);
    // Peeking took nothing: the consumer still gets both values, and the
    // count and value stay readable afterwards.
    std::vector<std::pair<int, double>> taken;
    box.TakeAll([&](int i, double v) { taken.emplace_back(i, v); });
    EXPECT_EQ(taken, (std::vector<std::pair<int, double>>{{3, 0.5}, {8, 0.75}}));
    EXPECT_EQ(box.Peek(8).posts, 2u);
    EXPECT_EQ(box.Peek(8).value, 0.75);
    // Indices without a slot read as never posted.
    EXPECT_FALSE(box.Post(IValueMailbox::kCapacity, 1.0));
    EXPECT_EQ(box.Peek(IValueMailbox::kCapacity).posts, 0u);
    EXPECT_EQ(box.Peek(-1).posts, 0u);
}

// A producer posts 1, 2, 3 ... (post number n carries the value n); a reader
// peeking meanwhile must never see a value older than the count it read.
TEST(IValueMailboxPeek, AValueIsNeverOlderThanTheCountReadWithIt) {
    IValueMailbox box;
    constexpr int kPosts = 200000;
    std::atomic<bool> done{false};
    std::thread producer([&] {
        for (int n = 1; n <= kPosts; ++n) box.Post(8, n);
        done.store(true);
    });
    int peeks = 0;
    bool ordered = true;
    uint64_t lastPosts = 0;
    while (!done.load() || peeks == 0) {
        const IValueMailbox::Reading r = box.Peek(8);
        ordered = ordered && r.value >= static_cast<double>(r.posts) && r.posts >= lastPosts;
        lastPosts = r.posts;
        ++peeks;
    }
    producer.join();
    EXPECT_TRUE(ordered);
    EXPECT_EQ(box.Peek(8).posts, static_cast<uint64_t>(kPosts));
    EXPECT_EQ(box.Peek(8).value, static_cast<double>(kPosts));
}

TEST(IValueMailboxPeek, TheEditorStillAppliesAValueThatWasPeekedAt) {
    EditorFixture f(100, 80);
    f.AttachAndOpen();
    f.editor->SetParameterFromPlugin(EditorTestPlugin::kMeter, 0.4, true);
    EXPECT_EQ(f.editor->PeekDisplayValue(EditorTestPlugin::kMeter).value, 0.4);
    EXPECT_EQ(f.editor->PeekDisplayValue(EditorTestPlugin::kMeter).posts, 1u);
    auto* meter = new RecordingControl(&f.plugin, IBounds(0, 0, 10, 10), EditorTestPlugin::kMeter, kRed, "m", nullptr);
    f.editor->AttachControl(meter);
    f.editor->Tick();
    EXPECT_EQ(meter->Value(), 0.4);
    // Plug-in parameters never go through the mailbox.
    f.editor->SetParameterFromPlugin(EditorTestPlugin::kGain, 1.0, true);
    EXPECT_EQ(f.editor->PeekDisplayValue(EditorTestPlugin::kGain).posts, 0u);
}
