#include "TestModule.h"

namespace hostlib_test {

int TestProcess::liveCount = 0;
bool TestProcess::throwNextRender = false;
int32_t TestProcess::throwCode = 0;

CPlugInView* MakeTestView() { return new TestView; }
CEffectProcess* MakeTestProcess() { return new TestProcess; }
CEffectProcess* MakeOfflineProcess() { return new OfflineProcess; }
CEffectProcess* MakeNoProcess() { return nullptr; }

void ModuleTest::SetUp() {
    TestProcess::throwNextRender = false;
    TestProcess::throwCode = 0;
    group = new TestGroup;
    group->Initialize();
    CEffectGroup::SetModuleGroup(group);
}

void ModuleTest::TearDown() {
    delete group;
    EXPECT_EQ(CEffectGroup::ModuleGroup(), nullptr);
    EXPECT_EQ(TestProcess::liveCount, 0) << "the group's destruction leaves no process behind";
}

PI_Instance ModuleTest::NewInstance(int32_t typeId, bool initialize) {
    PI_Instance instance = 0;
    EXPECT_EQ(host.create(typeId, &instance), PI_NoErr);
    if (initialize) {
        const PI_InstanceSetup setup{48000};
        EXPECT_EQ(host.initialize(instance, &setup), PI_NoErr);
    }
    return instance;
}

TestProcess* ModuleTest::ProcessOf(PI_Instance instance) {
    CInstanceRegistry::UiScope scope(CInstanceRegistry::Module());
    return dynamic_cast<TestProcess*>(CInstanceRegistry::Module().Find(instance));
}

}  // namespace hostlib_test
