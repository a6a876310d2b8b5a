// The editor routines and the host-library views behind them: the view rectangle,
// the host view built from a description, draw requests, the window port.

#include <gtest/gtest.h>

#include "TestModule.h"
#include "hostlib/CNoResourceView.h"

using namespace hostlib_test;

namespace {

using ViewRoutines = ModuleTest;

}  // namespace

TEST_F(ViewRoutines, TheViewRectangleComesFromTheProcess) {
    const PI_Instance instance = NewInstance(kStereoType, false);
    PI_Rect rect{1, 2, 3, 4};
    EXPECT_EQ(host.viewRect(instance, &rect), PI_NoErr);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.bottom, 400);
    EXPECT_EQ(rect.right, 298);
    EXPECT_EQ(host.viewRect(instance, nullptr), PI_ErrNullPointer);
}

TEST_F(ViewRoutines, TheHostViewHoldsTheRegisteredViewAndGetsDrawRequests) {
    const PI_Instance instance = NewInstance();
    TestProcess* process = ProcessOf(instance);
    const PI_Rect area{10, 20, 30, 40};
    EXPECT_EQ(host.viewDraw(instance, &area), PI_ErrNotInitialized) << "no view made yet";

    int32_t made = 0;
    ASSERT_EQ(host.makeView(instance, &made), PI_NoErr);
    EXPECT_EQ(made, 1);
    TestView* view = process->view;
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Parent(), process->HostView());
    EXPECT_EQ(view->Width(), 298);
    EXPECT_EQ(view->Height(), 400);
    EXPECT_EQ(view->ViewId(), FourCC("TsVw"));
    EXPECT_EQ(view->editor, reinterpret_cast<EditorInterface*>(static_cast<TestProcessBase*>(process)));

    EXPECT_EQ(host.viewDraw(instance, &area), PI_NoErr);
    EXPECT_EQ(view->draws, 1);
    EXPECT_EQ(view->lastArea.top, 10);
    EXPECT_EQ(view->lastArea.right, 40);
    EXPECT_EQ(host.viewDraw(instance, nullptr), PI_ErrNullPointer);
}

TEST_F(ViewRoutines, SubviewsGetDrawRequestsInTheirOwnCoordinates) {
    CEffectGroup::SetModuleGroup(group);
    CNoResourceView root;
    root.SetSize(200, 100);
    auto* a = dynamic_cast<TestView*>(root.BuildSubview("!TestView", 0, 0, 50, 50));
    auto* b = dynamic_cast<TestView*>(root.BuildSubview("!TestView[('Bvw ')]", 60, 30, 50, 50));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(root.SubviewCount(), 2);
    EXPECT_EQ(root.Subview(1), b);
    EXPECT_EQ(root.Subview(2), nullptr);
    root.Draw(PI_Rect{40, 70, 50, 90});
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->lastArea.top, 10);
    EXPECT_EQ(b->lastArea.left, 10);
    EXPECT_EQ(b->lastArea.bottom, 20);
    EXPECT_EQ(b->lastArea.right, 30);
}

TEST_F(ViewRoutines, ADescriptionThatNamesNoRegisteredClassBuildsNothing) {
    const char* const descriptions[] = {"!Unknown[('NoID')]", "!TestView[('NoID')", "TestView", ""};
    for (const char* description : descriptions) {
        CNoResourceView root;
        EXPECT_EQ(root.BuildSubview(description, 0, 0, 10, 10), nullptr) << description;
        EXPECT_EQ(root.SubviewCount(), 0);
    }
    // Nor without an open module.
    CEffectGroup::SetModuleGroup(nullptr);
    CNoResourceView root;
    EXPECT_EQ(root.BuildSubview("!TestView", 0, 0, 10, 10), nullptr);
    CEffectGroup::SetModuleGroup(group);

    // The process still answers a view, without the editor's part.
    const PI_Instance instance = NewInstance();
    ProcessOf(instance)->viewDescription = "!Unknown[('NoID')]";
    int32_t made = 0;
    EXPECT_EQ(host.makeView(instance, &made), PI_NoErr);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(ProcessOf(instance)->view, nullptr);
}

TEST_F(ViewRoutines, AFailedViewKeepsTheOldOneAliveButUndrawn) {
    const PI_Instance instance = NewInstance();
    TestProcess* process = ProcessOf(instance);
    int32_t made = 0;
    ASSERT_EQ(host.makeView(instance, &made), PI_NoErr);
    TestView* old = process->view;

    process->failMakeView = true;
    ASSERT_EQ(host.makeView(instance, &made), PI_NoErr);
    EXPECT_EQ(made, 0);
    const PI_Rect area{0, 0, 10, 10};
    EXPECT_EQ(host.viewDraw(instance, &area), PI_ErrNotInitialized);
    // The plug-in side may still hold the old view (as the bridge does when it
    // detaches): it is alive.
    old->SetStateFlag(0);
    EXPECT_EQ(old->StateFlag(), 0);
    EXPECT_EQ(old->draws, 0);

    process->failMakeView = false;
    ASSERT_EQ(host.makeView(instance, &made), PI_NoErr);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(host.viewDraw(instance, &area), PI_NoErr);
    EXPECT_EQ(process->view->draws, 1);
}

TEST_F(ViewRoutines, TheWindowPortIsRecordedThenPassedOn) {
    const PI_Instance instance = NewInstance();
    TestProcess* process = ProcessOf(instance);
    int32_t open = -1;
    EXPECT_EQ(host.editorIsOpen(instance, &open), PI_NoErr);
    EXPECT_EQ(open, 0);
    EXPECT_EQ(host.setWindow(instance, 0x1234), PI_NoErr);
    EXPECT_EQ(process->WindowPort(), 0x1234);
    EXPECT_EQ(host.editorIsOpen(instance, &open), PI_NoErr);
    EXPECT_EQ(open, 1);
    EXPECT_EQ(host.setWindow(instance, 0), PI_NoErr);
    EXPECT_EQ(host.editorIsOpen(instance, &open), PI_NoErr);
    EXPECT_EQ(open, 0);
    EXPECT_EQ(process->ports, (std::vector<PI_Port>{0x1234, 0}));
    EXPECT_EQ(host.editorIsOpen(instance, nullptr), PI_ErrNullPointer);
}
