#include "TestModule.h"

namespace hostlib_test {

int TestProcess::liveCount = 0;
bool TestProcess::throwNextRender = false;
int32_t TestProcess::throwCode = 0;

CPlugInView* MakeTestView() { return new TestView; }
CEffectProcess* MakeTestProcess() { return new TestProcess; }
CEffectProcess* MakeOfflineProcess() { return new OfflineProcess; }
CEffectProcess* MakeNoProcess() { return nullptr; }

Host::Host()
    : interfaceVersion(Routine<PI_InterfaceVersionProc>(PI_SEL_INTERFACE_VERSION)),
      groupInfo(Routine<PI_GroupInfoProc>(PI_SEL_GROUP_INFO)),
      groupOptionAt(Routine<PI_IndexedCodeProc>(PI_SEL_GROUP_OPTION_AT)),
      effectTypeCount(Routine<PI_CountProc>(PI_SEL_EFFECT_TYPE_COUNT)),
      effectTypeInfo(Routine<PI_EffectTypeInfoProc>(PI_SEL_EFFECT_TYPE_INFO)),
      effectTypeOptionAt(Routine<PI_EffectTypeOptionAtProc>(PI_SEL_EFFECT_TYPE_OPTION_AT)),
      findEffectType(Routine<PI_FindEffectTypeProc>(PI_SEL_FIND_EFFECT_TYPE)),
      viewClassCount(Routine<PI_CountProc>(PI_SEL_VIEW_CLASS_COUNT)),
      viewClassName(Routine<PI_IndexedTextProc>(PI_SEL_VIEW_CLASS_NAME)),
      create(Routine<PI_CreateInstanceProc>(PI_SEL_CREATE_INSTANCE)),
      initialize(Routine<PI_InitializeInstanceProc>(PI_SEL_INITIALIZE_INSTANCE)),
      destroy(Routine<PI_InstanceProc>(PI_SEL_DESTROY_INSTANCE)),
      setSampleRate(Routine<PI_InstanceSetIntProc>(PI_SEL_SET_SAMPLE_RATE)),
      getSampleRate(Routine<PI_InstanceGetIntProc>(PI_SEL_GET_SAMPLE_RATE)),
      channelCounts(Routine<PI_InstanceGetTwoIntsProc>(PI_SEL_GET_CHANNEL_COUNTS)),
      setSideChain(Routine<PI_InstanceSetIntProc>(PI_SEL_SET_SIDE_CHAIN)),
      stateChangeCount(Routine<PI_InstanceGetIntProc>(PI_SEL_STATE_CHANGE_COUNT)),
      maxBlockSize(Routine<PI_InstanceGetIntProc>(PI_SEL_MAX_BLOCK_SIZE)),
      clickedControl(Routine<PI_InstanceGetIntProc>(PI_SEL_CLICKED_CONTROL)),
      setCallbacks(Routine<PI_SetHostCallbacksProc>(PI_SEL_SET_HOST_CALLBACKS)),
      instanceType(Routine<PI_InstanceGetIntProc>(PI_SEL_INSTANCE_TYPE)),
      controlCount(Routine<PI_InstanceGetIntProc>(PI_SEL_CONTROL_COUNT)),
      controlInfo(Routine<PI_ControlInfoProc>(PI_SEL_CONTROL_INFO)),
      controlName(Routine<PI_ControlNameProc>(PI_SEL_CONTROL_NAME)),
      getValue(Routine<PI_ControlGetIntProc>(PI_SEL_GET_CONTROL_VALUE)),
      setValue(Routine<PI_ControlSetIntProc>(PI_SEL_SET_CONTROL_VALUE)),
      valueText(Routine<PI_ControlValueTextProc>(PI_SEL_CONTROL_VALUE_TEXT)),
      valueForText(Routine<PI_ControlValueForTextProc>(PI_SEL_CONTROL_VALUE_FOR_TEXT)),
      acceptsChar(Routine<PI_ControlAcceptsCharProc>(PI_SEL_CONTROL_ACCEPTS_CHAR)),
      findControl(Routine<PI_ControlGetIntProc>(PI_SEL_FIND_CONTROL)),
      touched(Routine<PI_ControlProc>(PI_SEL_CONTROL_TOUCHED)),
      released(Routine<PI_ControlProc>(PI_SEL_CONTROL_RELEASED)),
      toNumber(Routine<PI_ControlToNumberProc>(PI_SEL_CONTROL_TO_NUMBER)),
      fromNumber(Routine<PI_ControlFromNumberProc>(PI_SEL_CONTROL_FROM_NUMBER)),
      masterBypass(Routine<PI_InstanceGetIntProc>(PI_SEL_MASTER_BYPASS_CONTROL)),
      render(Routine<PI_RenderProc>(PI_SEL_RENDER)),
      setBypass(Routine<PI_InstanceSetIntProc>(PI_SEL_SET_BYPASS)),
      getBypass(Routine<PI_InstanceGetIntProc>(PI_SEL_GET_BYPASS)),
      latency(Routine<PI_InstanceGetIntProc>(PI_SEL_GET_LATENCY)),
      chunkCount(Routine<PI_InstanceGetIntProc>(PI_SEL_CHUNK_COUNT)),
      chunkId(Routine<PI_ChunkIdProc>(PI_SEL_CHUNK_ID)),
      chunkSize(Routine<PI_ChunkSizeProc>(PI_SEL_CHUNK_SIZE)),
      getChunk(Routine<PI_GetChunkProc>(PI_SEL_GET_CHUNK)),
      setChunk(Routine<PI_SetChunkProc>(PI_SEL_SET_CHUNK)),
      compareChunk(Routine<PI_CompareChunkProc>(PI_SEL_COMPARE_CHUNK)),
      viewRect(Routine<PI_ViewRectProc>(PI_SEL_VIEW_RECT)),
      makeView(Routine<PI_InstanceGetIntProc>(PI_SEL_MAKE_VIEW)),
      setWindow(Routine<PI_SetWindowProc>(PI_SEL_SET_WINDOW)),
      viewDraw(Routine<PI_ViewDrawProc>(PI_SEL_VIEW_DRAW)),
      editorIsOpen(Routine<PI_InstanceGetIntProc>(PI_SEL_EDITOR_IS_OPEN)),
      transport(Routine<PI_TransportProc>(PI_SEL_TRANSPORT)),
      hostVersion(Routine<PI_InterfaceVersionProc>(PI_SEL_HOST_VERSION)) {}

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
